#include "xwatch.h"

#include <xcb/damage.h>
#include <xcb/xtest.h>

#include <errno.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

namespace pennoro {

namespace childprocess {

void die(const std::string& message)
{
    std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, message.c_str());
    std::exit(2);
}

std::vector<char*>
parseCommandLine(int argc, char* argv[],
                 const std::function<bool(const std::string&, const char*)>& take,
                 const std::string& usage)
{
    int i = 1;
    for (; i < argc && std::strcmp(argv[i], "--") != 0; i += 2) {
        if (i + 1 >= argc)
            die(std::string("no value for ") + argv[i]);
        if (!take(argv[i], argv[i + 1]))
            die(std::string("unknown option ") + argv[i]);
    }
    std::vector<char*> command(argv + std::min(i + 1, argc), argv + argc);
    if (command.empty())
        die("usage: " + usage);
    command.push_back(nullptr);
    return command;
}

pid_t start(const std::string& dir, const std::vector<char*>& command)
{
    const pid_t child = fork();
    if (child < 0)
        die("fork failed");
    if (child == 0) {
        if (chdir(dir.c_str()) != 0) {
            std::perror("chdir");
            _exit(127);
        }
        execvp(command[0], command.data());
        std::perror("exec");
        _exit(127);
    }
    return child;
}

long reap(pid_t child, BenchClock::time_point deadline, int& status)
{
    rusage usage{};
    while (wait4(child, &status, WNOHANG, &usage) == 0) {
        if (BenchClock::now() >= deadline) {
            std::fprintf(stderr, "%s: the program did not end; killed\n",
                         program_invocation_short_name);
            kill(child, SIGKILL);
            wait4(child, &status, 0, &usage);
            return -1;
        }
        usleep(1000);
    }
    return usage.ru_maxrss;
}

long cpuTicks(pid_t child)
{
    std::ifstream file("/proc/" + std::to_string(child) + "/stat");
    std::string line;
    std::getline(file, line);
    // The command's name, in parentheses, may hold spaces: the fields count from its end.
    const auto end = line.rfind(')');
    if (end == std::string::npos)
        return -1;
    std::istringstream fields(line.substr(end + 2));
    std::string field;
    long ticks = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i)
        if (i == 14 || i == 15) // utime, stime
            ticks += std::atol(field.c_str());
    return ticks;
}

} // namespace childprocess

namespace xkeys {

std::optional<xcb_keysym_t> keysym(const std::string& name)
{
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0])))
        return xcb_keysym_t(name[0]);
    if (name.size() >= 2 && name.size() <= 3 && name[0] == 'F') {
        const int number = std::atoi(name.c_str() + 1);
        if (number >= 1 && number <= 12)
            return xcb_keysym_t(0xFFBE + number - 1);
    }
    static const std::map<std::string, xcb_keysym_t> others = {
        {"BackSpace", 0xFF08}, {"Return", 0xFF0D}, {"Home", 0xFF50},      {"Left", 0xFF51},
        {"Up", 0xFF52},        {"Right", 0xFF53},  {"Down", 0xFF54},      {"Page_Up", 0xFF55},
        {"Page_Down", 0xFF56}, {"End", 0xFF57},    {"Control_L", 0xFFE3}, {"space", 0x20},
        {"Delete", 0xFFFF},
    };
    const auto found = others.find(name);
    if (found == others.end())
        return std::nullopt;
    return found->second;
}

} // namespace xkeys

using childprocess::die;

XWatch::XWatch()
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
    std::free(xcb_damage_query_version_reply(connection_,
                                             xcb_damage_query_version(connection_, 1, 1), nullptr));
    const auto* test = xcb_get_extension_data(connection_, &xcb_test_id);
    hasTest_ = test && test->present;
    // Every window created or mapped on the screen from now on is reported to us.
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection_, screen_->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection_);
}

XWatch::~XWatch()
{
    xcb_disconnect(connection_);
}

std::optional<xcb_window_t> XWatch::waitForWindow(const std::string& title,
                                                  BenchClock::time_point deadline, pid_t child)
{
    title_ = title;
    pump(deadline, child, [&] { return found_.has_value(); });
    return found_;
}

bool XWatch::waitForDrawing(BenchClock::time_point deadline, pid_t child)
{
    return pump(deadline, child, [&] { return drawn_; });
}

void XWatch::takeEvents()
{
    pump(BenchClock::now() + std::chrono::milliseconds(1), 0, [] { return true; });
    lastDrawing_.reset();
}

std::optional<BenchClock::time_point> XWatch::waitForNextDrawing(BenchClock::time_point deadline,
                                                                 pid_t child)
{
    lastDrawing_.reset();
    pump(deadline, child, [&] { return lastDrawing_.has_value(); });
    return lastDrawing_;
}

void XWatch::ownClipboard()
{
    owner_ = xcb_generate_id(connection_);
    xcb_create_window(connection_, XCB_COPY_FROM_PARENT, owner_, screen_->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_set_selection_owner(connection_, owner_, clipboard_, XCB_CURRENT_TIME);
    xcb_flush(connection_);
}

void XWatch::focus(xcb_window_t window)
{
    xcb_set_input_focus(connection_, XCB_INPUT_FOCUS_POINTER_ROOT, window, XCB_CURRENT_TIME);
    xcb_flush(connection_);
}

void XWatch::sendKey(xcb_window_t window, xcb_keysym_t keysym)
{
    const xcb_keycode_t code = keycode(keysym);
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

void XWatch::fakeKey(xcb_keysym_t keysym, bool press)
{
    if (!hasTest_)
        die("the X server has no XTEST extension");
    xcb_test_fake_input(connection_, press ? XCB_KEY_PRESS : XCB_KEY_RELEASE, keycode(keysym),
                        XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_flush(connection_);
}

void XWatch::fakeClick(xcb_window_t window, int x, int y, uint8_t button)
{
    if (!hasTest_)
        die("the X server has no XTEST extension");
    auto* geometry =
        xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window), nullptr);
    auto* origin = xcb_translate_coordinates_reply(
        connection_, xcb_translate_coordinates(connection_, window, screen_->root, 0, 0), nullptr);
    if (!geometry || !origin)
        die("cannot find where the window is");
    const int rootX = origin->dst_x + (x < 0 ? geometry->width + x : x);
    const int rootY = origin->dst_y + (y < 0 ? geometry->height + y : y);
    std::free(geometry);
    std::free(origin);
    xcb_test_fake_input(connection_, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, screen_->root,
                        int16_t(rootX), int16_t(rootY), 0);
    xcb_test_fake_input(connection_, XCB_BUTTON_PRESS, button, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_test_fake_input(connection_, XCB_BUTTON_RELEASE, button, XCB_CURRENT_TIME, XCB_NONE, 0, 0,
                        0);
    xcb_flush(connection_);
}

xcb_rectangle_t XWatch::windowSize(xcb_window_t window)
{
    auto* geometry =
        xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window), nullptr);
    if (!geometry)
        die("cannot find where the window is");
    const xcb_rectangle_t size{0, 0, geometry->width, geometry->height};
    std::free(geometry);
    return size;
}

bool XWatch::waitForClipboardChange(BenchClock::time_point deadline, pid_t child)
{
    return pump(deadline, child, [&] { return clipboardOwner() != owner_; });
}

// Reads and handles events until done() or the deadline; a child of 0 is not watched.
template <typename Done> bool XWatch::pump(BenchClock::time_point deadline, pid_t child, Done done)
{
    while (BenchClock::now() < deadline) {
        while (xcb_generic_event_t* raw = xcb_poll_for_event(connection_)) {
            std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> event(raw, &std::free);
            handle(event.get());
        }
        if (done())
            return true;
        if (xcb_connection_has_error(connection_))
            die("lost the display");
        int status = 0;
        if (child > 0 && waitpid(child, &status, WNOHANG) == child)
            die("the program ended early");
        pollfd descriptor{xcb_get_file_descriptor(connection_), POLLIN, 0};
        poll(&descriptor, 1, 1);
    }
    return false;
}

xcb_atom_t XWatch::atom(const char* name)
{
    auto* reply = xcb_intern_atom_reply(
        connection_, xcb_intern_atom(connection_, 0, uint16_t(std::strlen(name)), name), nullptr);
    if (!reply)
        die(std::string("no atom ") + name);
    const xcb_atom_t result = reply->atom;
    std::free(reply);
    return result;
}

xcb_window_t XWatch::clipboardOwner()
{
    auto* reply = xcb_get_selection_owner_reply(
        connection_, xcb_get_selection_owner(connection_, clipboard_), nullptr);
    const xcb_window_t owner = reply ? reply->owner : XCB_NONE;
    std::free(reply);
    return owner;
}

xcb_keycode_t XWatch::keycode(xcb_keysym_t keysym)
{
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
        die("no key for keysym " + std::to_string(keysym) + " on the keyboard");
    return *found;
}

std::string XWatch::property(xcb_window_t window, xcb_atom_t name)
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

bool XWatch::titleContains(xcb_window_t window)
{
    return property(window, netWmName_).find(title_) != std::string::npos ||
           property(window, XCB_ATOM_WM_NAME).find(title_) != std::string::npos;
}

void XWatch::handle(xcb_generic_event_t* event)
{
    const uint8_t type = event->response_type & 0x7f;
    if (type == damageNotify_) {
        // Drawing before the window showed what we wait for (an empty window, for a program that
        // loads after showing it) does not count.
        const auto* damage = reinterpret_cast<xcb_damage_notify_event_t*>(event);
        if (found_ && damage->drawable == *found_ && damage->area.width > ignoredWidth_) {
            drawn_ = true;
            if (!lastDrawing_) {
                lastDrawing_ = BenchClock::now();
                lastArea_ = damage->area;
            }
        }
        return;
    }
    switch (type) {
    case XCB_CREATE_NOTIFY: {
        // Follow the new window's title (some programs set it only after loading) and what is
        // drawn into it.
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

} // namespace pennoro
