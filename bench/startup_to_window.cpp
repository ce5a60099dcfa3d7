// Whole-process start-up to a shown window, timed from outside through the X server: starts a
// program, waits until one of its top-level windows is mapped with a title that contains the given
// text (a program that sets its title after loading a file is caught when it does), then either
// runs a follow-up command or ends the program. Prints one line:
//
//   shown_ms=<start to shown> visible_ms=<start to the first drawing after shown>
//   [answered_ms=<start to the answer to the key>] then_ms=<follow-up start to the program's end>
//   maxrss_kb=<peak RSS>
//
//   startup_to_window [--dir DIR] [--title TEXT] [--answer KEY] [--then COMMAND] [--timeout S]
//                     -- PROGRAM ARGS...
//
// visible_ms: the program's first drawing into that window once it is shown (the X server's
// Damage extension reports it): the first frame with the loaded text, for a program that puts the
// text in before it shows its window or names the file in its title once the text is in.
// --answer KEY: right when the window is shown, focuses it and presses KEY (an X key name, such as
// F4), then waits until the program has changed who owns the CLIPBOARD selection, which this
// program owns before the start (F4, clear the clipboard, or F5, copy all, in Pennoro): the time
// until the program answers the keyboard.
// Without --then the program is ended with SIGTERM half a second after it showed its window (and
// answered the key).
// COMMAND runs through /bin/sh with WINDOW set to the window's id; the program must then end by
// itself. Needs DISPLAY (an Xvfb of its own is best: no window manager, no other windows).

#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Options {
    std::string dir = ".";
    std::string title;
    std::string then;
    std::string answerKey;
    int timeoutSeconds = 120;
    std::vector<char*> command;
};

[[noreturn]] void die(const std::string& message)
{
    std::fprintf(stderr, "startup_to_window: %s\n", message.c_str());
    std::exit(2);
}

Options parse(int argc, char* argv[])
{
    Options options;
    int i = 1;
    for (; i < argc && std::strcmp(argv[i], "--") != 0; i += 2) {
        if (i + 1 >= argc)
            die(std::string("no value for ") + argv[i]);
        const std::string name = argv[i];
        if (name == "--dir")
            options.dir = argv[i + 1];
        else if (name == "--title")
            options.title = argv[i + 1];
        else if (name == "--then")
            options.then = argv[i + 1];
        else if (name == "--answer")
            options.answerKey = argv[i + 1];
        else if (name == "--timeout")
            options.timeoutSeconds = std::atoi(argv[i + 1]);
        else
            die("unknown option " + name);
    }
    for (++i; i < argc; ++i)
        options.command.push_back(argv[i]);
    if (options.command.empty())
        die("usage: startup_to_window [--dir DIR] [--title TEXT] [--answer KEY] "
            "[--then COMMAND] [--timeout S] -- PROGRAM ARGS...");
    options.command.push_back(nullptr);
    return options;
}

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

class XWatch {
public:
    XWatch()
    {
        connection_ = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(connection_))
            die("cannot open the display");
        screen_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
        netWmName_ = atom("_NET_WM_NAME");
        clipboard_ = atom("CLIPBOARD");
        const auto* damage = xcb_get_extension_data(connection_, &xcb_damage_id);
        if (!damage || !damage->present)
            die("the X server has no Damage extension");
        damageNotify_ = damage->first_event + XCB_DAMAGE_NOTIFY;
        std::free(xcb_damage_query_version_reply(
            connection_, xcb_damage_query_version(connection_, 1, 1), nullptr));
        // Every window created or mapped on the screen from now on is reported to us.
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(connection_, screen_->root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(connection_);
    }
    ~XWatch() { xcb_disconnect(connection_); }

    // Waits up to the deadline for a mapped top-level window whose title contains the text.
    std::optional<xcb_window_t> waitForWindow(const std::string& title, Clock::time_point deadline,
                                              pid_t child)
    {
        title_ = title;
        pump(deadline, child, [&] { return found_.has_value(); });
        return found_;
    }

    // Waits up to the deadline for the program to draw into its window after showing it.
    bool waitForDrawing(Clock::time_point deadline, pid_t child)
    {
        return pump(deadline, child, [&] { return drawn_; });
    }

    // Makes this program the CLIPBOARD's owner, so that the program under test changes it.
    void ownClipboard()
    {
        owner_ = xcb_generate_id(connection_);
        xcb_create_window(connection_, XCB_COPY_FROM_PARENT, owner_, screen_->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
        xcb_set_selection_owner(connection_, owner_, clipboard_, XCB_CURRENT_TIME);
        xcb_flush(connection_);
    }

    // Focuses the window and presses and releases the key there.
    void pressKey(xcb_window_t window, const std::string& keyName)
    {
        const xcb_keycode_t code = keycode(keyName);
        xcb_set_input_focus(connection_, XCB_INPUT_FOCUS_POINTER_ROOT, window, XCB_CURRENT_TIME);
        for (const uint8_t type : {XCB_KEY_PRESS, XCB_KEY_RELEASE}) {
            xcb_key_press_event_t key{};
            key.response_type = type;
            key.detail = code;
            key.time = XCB_CURRENT_TIME;
            key.root = screen_->root;
            key.event = window;
            key.child = XCB_NONE;
            key.same_screen = 1;
            const uint32_t mask =
                type == XCB_KEY_PRESS ? XCB_EVENT_MASK_KEY_PRESS : XCB_EVENT_MASK_KEY_RELEASE;
            xcb_send_event(connection_, 0, window, mask, reinterpret_cast<const char*>(&key));
        }
        xcb_flush(connection_);
    }

    // Waits up to the deadline for the CLIPBOARD to have another owner than this program.
    bool waitForClipboardChange(Clock::time_point deadline, pid_t child)
    {
        return pump(deadline, child, [&] { return clipboardOwner() != owner_; });
    }

private:
    template <typename Done> bool pump(Clock::time_point deadline, pid_t child, Done done)
    {
        while (Clock::now() < deadline) {
            while (xcb_generic_event_t* raw = xcb_poll_for_event(connection_)) {
                std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> event(raw, &std::free);
                handle(event.get());
            }
            if (done())
                return true;
            if (xcb_connection_has_error(connection_))
                die("lost the display");
            int status = 0;
            if (waitpid(child, &status, WNOHANG) == child)
                die("the program ended early");
            pollfd descriptor{xcb_get_file_descriptor(connection_), POLLIN, 0};
            poll(&descriptor, 1, 1);
        }
        return false;
    }

    xcb_atom_t atom(const char* name)
    {
        auto* reply = xcb_intern_atom_reply(
            connection_, xcb_intern_atom(connection_, 0, uint16_t(std::strlen(name)), name),
            nullptr);
        if (!reply)
            die(std::string("no atom ") + name);
        const xcb_atom_t result = reply->atom;
        std::free(reply);
        return result;
    }

    xcb_window_t clipboardOwner()
    {
        auto* reply = xcb_get_selection_owner_reply(
            connection_, xcb_get_selection_owner(connection_, clipboard_), nullptr);
        const xcb_window_t owner = reply ? reply->owner : XCB_NONE;
        std::free(reply);
        return owner;
    }

    xcb_keycode_t keycode(const std::string& keyName)
    {
        // The function keys' keysyms: F1 is 0xFFBE.
        if (keyName.size() < 2 || keyName[0] != 'F')
            die("--answer takes a function key (F1 to F12)");
        const uint32_t keysym = 0xFFBE + uint32_t(std::atoi(keyName.c_str() + 1)) - 1;
        const xcb_setup_t* setup = xcb_get_setup(connection_);
        const int count = setup->max_keycode - setup->min_keycode + 1;
        auto* reply = xcb_get_keyboard_mapping_reply(
            connection_, xcb_get_keyboard_mapping(connection_, setup->min_keycode, uint8_t(count)),
            nullptr);
        if (!reply)
            die("cannot read the keyboard mapping");
        const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(reply);
        const int perCode = reply->keysyms_per_keycode;
        std::optional<xcb_keycode_t> found;
        for (int i = 0; i < count * perCode && !found; ++i)
            if (syms[i] == keysym)
                found = xcb_keycode_t(setup->min_keycode + i / perCode);
        std::free(reply);
        if (!found)
            die("no key " + keyName + " on the keyboard");
        return *found;
    }

    std::string property(xcb_window_t window, xcb_atom_t name)
    {
        auto* reply = xcb_get_property_reply(
            connection_,
            xcb_get_property(connection_, 0, window, name, XCB_GET_PROPERTY_TYPE_ANY, 0, 4096),
            nullptr);
        if (!reply)
            return {};
        std::string text(static_cast<const char*>(xcb_get_property_value(reply)),
                         size_t(xcb_get_property_value_length(reply)));
        std::free(reply);
        return text;
    }

    bool titleContains(xcb_window_t window)
    {
        return property(window, netWmName_).find(title_) != std::string::npos ||
               property(window, XCB_ATOM_WM_NAME).find(title_) != std::string::npos;
    }

    void handle(xcb_generic_event_t* event)
    {
        const uint8_t type = event->response_type & 0x7f;
        if (type == damageNotify_) {
            // Drawing before the window showed what we wait for (an empty window, for a program
            // that loads after showing it) does not count.
            const auto* damage = reinterpret_cast<xcb_damage_notify_event_t*>(event);
            drawn_ = drawn_ || (found_ && damage->drawable == *found_);
            return;
        }
        switch (type) {
        case XCB_CREATE_NOTIFY: {
            // Follow the new window's title (some programs set it only after loading) and what
            // is drawn into it.
            const auto* created = reinterpret_cast<xcb_create_notify_event_t*>(event);
            const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
            xcb_change_window_attributes(connection_, created->window, XCB_CW_EVENT_MASK, &mask);
            xcb_damage_create(connection_, xcb_generate_id(connection_), created->window,
                              XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
            xcb_flush(connection_);
            break;
        }
        case XCB_MAP_NOTIFY: {
            const auto* mapped = reinterpret_cast<xcb_map_notify_event_t*>(event);
            if (mapped->override_redirect)
                break;
            mapped_.insert(mapped->window);
            if (!found_ && titleContains(mapped->window))
                found_ = mapped->window;
            break;
        }
        case XCB_UNMAP_NOTIFY:
            mapped_.erase(reinterpret_cast<xcb_unmap_notify_event_t*>(event)->window);
            break;
        case XCB_PROPERTY_NOTIFY: {
            const auto* changed = reinterpret_cast<xcb_property_notify_event_t*>(event);
            if (!found_ && (changed->atom == netWmName_ || changed->atom == XCB_ATOM_WM_NAME) &&
                mapped_.count(changed->window) && titleContains(changed->window))
                found_ = changed->window;
            break;
        }
        }
    }

    xcb_connection_t* connection_;
    xcb_screen_t* screen_;
    xcb_atom_t netWmName_;
    xcb_atom_t clipboard_;
    uint8_t damageNotify_;
    xcb_window_t owner_ = XCB_NONE;
    std::string title_;
    std::set<xcb_window_t> mapped_;
    std::optional<xcb_window_t> found_;
    bool drawn_ = false;
};

pid_t start(const Options& options)
{
    const pid_t child = fork();
    if (child < 0)
        die("fork failed");
    if (child == 0) {
        if (chdir(options.dir.c_str()) != 0) {
            std::perror("chdir");
            _exit(127);
        }
        execvp(options.command[0], options.command.data());
        std::perror("exec");
        _exit(127);
    }
    return child;
}

// Waits for the program's end up to the deadline, then kills it; returns its peak RSS in KiB.
long reap(pid_t child, Clock::time_point deadline, int& status)
{
    rusage usage{};
    while (wait4(child, &status, WNOHANG, &usage) == 0) {
        if (Clock::now() >= deadline) {
            std::fprintf(stderr, "startup_to_window: the program did not end; killed\n");
            kill(child, SIGKILL);
            wait4(child, &status, 0, &usage);
            return -1;
        }
        usleep(1000);
    }
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char* argv[])
{
    const Options options = parse(argc, argv);
    XWatch watch;
    const auto deadline = [&] {
        return Clock::now() + std::chrono::seconds(options.timeoutSeconds);
    };
    if (!options.answerKey.empty())
        watch.ownClipboard();

    const auto started = Clock::now();
    const pid_t child = start(options);
    const auto window = watch.waitForWindow(options.title, deadline(), child);
    const double shown = millisecondsSince(started);
    if (!window) {
        kill(child, SIGKILL);
        die("no window with \"" + options.title + "\" in its title");
    }
    if (!options.answerKey.empty())
        watch.pressKey(*window, options.answerKey);
    if (!watch.waitForDrawing(deadline(), child)) {
        kill(child, SIGKILL);
        die("nothing was drawn into the window");
    }
    const double visible = millisecondsSince(started);
    std::string answered;
    if (!options.answerKey.empty()) {
        if (!watch.waitForClipboardChange(deadline(), child)) {
            kill(child, SIGKILL);
            die("the program did not answer " + options.answerKey);
        }
        char text[64];
        std::snprintf(text, sizeof text, " answered_ms=%.1f", millisecondsSince(started));
        answered = text;
    }

    const auto thenStarted = Clock::now();
    if (options.then.empty()) {
        usleep(500 * 1000); // let it paint and settle before it ends
        kill(child, SIGTERM);
    } else {
        setenv("WINDOW", std::to_string(*window).c_str(), 1);
        if (std::system(options.then.c_str()) != 0)
            std::fprintf(stderr, "startup_to_window: the follow-up command failed\n");
    }
    int status = 0;
    const long maxRss = reap(child, deadline(), status);
    const double then = millisecondsSince(thenStarted);
    std::printf("shown_ms=%.1f visible_ms=%.1f%s then_ms=%.1f maxrss_kb=%ld\n", shown, visible,
                answered.c_str(), then, maxRss);
    const bool endedByItself = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return maxRss >= 0 && (options.then.empty() || endedByItself) ? 0 : 1;
}
