// Whole-process start-up to a shown window, timed from outside through the X server: starts a
// program, waits until one of its top-level windows is mapped with a title that contains the given
// text (a program that sets its title after loading a file is caught when it does), then either
// runs a follow-up command or ends the program. Prints one line:
//
//   shown_ms=<start to shown> then_ms=<follow-up start to the program's end> maxrss_kb=<peak RSS>
//
//   startup_to_window [--dir DIR] [--title TEXT] [--then COMMAND] [--timeout S] -- PROGRAM ARGS...
//
// Without --then the program is ended with SIGTERM half a second after it showed its window.
// COMMAND runs through /bin/sh with WINDOW set to the window's id; the program must then end by
// itself. Needs DISPLAY (an Xvfb of its own is best: no window manager, no other windows).

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
        else if (name == "--timeout")
            options.timeoutSeconds = std::atoi(argv[i + 1]);
        else
            die("unknown option " + name);
    }
    for (++i; i < argc; ++i)
        options.command.push_back(argv[i]);
    if (options.command.empty())
        die("usage: startup_to_window [--dir DIR] [--title TEXT] [--then COMMAND] "
            "[--timeout S] -- PROGRAM ARGS...");
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
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
        netWmName_ = atom("_NET_WM_NAME");
        // Every window created or mapped on the screen from now on is reported to us.
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(connection_, root_, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(connection_);
    }
    ~XWatch() { xcb_disconnect(connection_); }

    // Waits up to the deadline for a mapped top-level window whose title contains the text.
    std::optional<xcb_window_t> waitForWindow(const std::string& title, Clock::time_point deadline,
                                              pid_t child)
    {
        while (Clock::now() < deadline) {
            while (xcb_generic_event_t* raw = xcb_poll_for_event(connection_)) {
                std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> event(raw, &std::free);
                if (const auto found = handle(event.get(), title))
                    return found;
            }
            if (xcb_connection_has_error(connection_))
                die("lost the display");
            int status = 0;
            if (waitpid(child, &status, WNOHANG) == child)
                die("the program ended before it showed its window");
            pollfd descriptor{xcb_get_file_descriptor(connection_), POLLIN, 0};
            poll(&descriptor, 1, 5);
        }
        return std::nullopt;
    }

private:
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

    bool titleContains(xcb_window_t window, const std::string& title)
    {
        return property(window, netWmName_).find(title) != std::string::npos ||
               property(window, XCB_ATOM_WM_NAME).find(title) != std::string::npos;
    }

    std::optional<xcb_window_t> handle(xcb_generic_event_t* event, const std::string& title)
    {
        switch (event->response_type & 0x7f) {
        case XCB_CREATE_NOTIFY: {
            // Follow the new window's title: some programs set it only after loading.
            const auto* created = reinterpret_cast<xcb_create_notify_event_t*>(event);
            const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
            xcb_change_window_attributes(connection_, created->window, XCB_CW_EVENT_MASK, &mask);
            xcb_flush(connection_);
            break;
        }
        case XCB_MAP_NOTIFY: {
            const auto* mapped = reinterpret_cast<xcb_map_notify_event_t*>(event);
            if (mapped->override_redirect)
                break;
            mapped_.insert(mapped->window);
            if (titleContains(mapped->window, title))
                return mapped->window;
            break;
        }
        case XCB_UNMAP_NOTIFY:
            mapped_.erase(reinterpret_cast<xcb_unmap_notify_event_t*>(event)->window);
            break;
        case XCB_PROPERTY_NOTIFY: {
            const auto* changed = reinterpret_cast<xcb_property_notify_event_t*>(event);
            if ((changed->atom == netWmName_ || changed->atom == XCB_ATOM_WM_NAME) &&
                mapped_.count(changed->window) && titleContains(changed->window, title))
                return changed->window;
            break;
        }
        }
        return std::nullopt;
    }

    xcb_connection_t* connection_;
    xcb_window_t root_;
    xcb_atom_t netWmName_;
    std::set<xcb_window_t> mapped_;
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

    const auto started = Clock::now();
    const pid_t child = start(options);
    const auto window = watch.waitForWindow(options.title, deadline(), child);
    const double shown = millisecondsSince(started);
    if (!window) {
        kill(child, SIGKILL);
        die("no window with \"" + options.title + "\" in its title");
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
    std::printf("shown_ms=%.1f then_ms=%.1f maxrss_kb=%ld\n", shown, then, maxRss);
    const bool endedByItself = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return maxRss >= 0 && (options.then.empty() || endedByItself) ? 0 : 1;
}
