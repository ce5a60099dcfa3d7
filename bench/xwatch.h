#pragma once

// Watching programs from outside, through the X server, for the benchmarks that time whole
// processes: the windows a started program maps and their titles, what it draws into them (the
// Damage extension), the CLIPBOARD's owner, and keys pressed as a user presses them (XTest).

#include <xcb/xcb.h>

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace pennoro {

using BenchClock = std::chrono::steady_clock;

class XWatch {
public:
    XWatch();
    ~XWatch();
    XWatch(const XWatch&) = delete;
    XWatch& operator=(const XWatch&) = delete;

    // Waits up to the deadline for a mapped top-level window whose title contains the text.
    std::optional<xcb_window_t> waitForWindow(const std::string& title,
                                              BenchClock::time_point deadline, pid_t child);

    // Waits up to the deadline for the program to draw into its window after showing it.
    bool waitForDrawing(BenchClock::time_point deadline, pid_t child);

    // Reads what has arrived without waiting, so that the next wait sees only what comes after.
    void takeEvents();

    // Waits up to the deadline for the next drawing into the window found; when it arrived.
    std::optional<BenchClock::time_point> waitForNextDrawing(BenchClock::time_point deadline,
                                                             pid_t child);

    // The area of the drawing waitForNextDrawing() waited for (its first rectangle).
    xcb_rectangle_t lastArea() const { return lastArea_; }
    // Drawings no wider than this do not count: a caret shown again before the text is redrawn.
    void ignoreDrawingsUpTo(int width) { ignoredWidth_ = width; }

    // Makes this program the CLIPBOARD's owner, so that the program under test changes it.
    void ownClipboard();

    // Focuses the window and sends it the key's press and release, addressed to it.
    void sendKey(xcb_window_t window, xcb_keysym_t keysym);

    // Focuses the window.
    void focus(xcb_window_t window);

    // Presses (or releases) the key on the X server's keyboard, as a user does.
    void fakeKey(xcb_keysym_t keysym, bool press);

    // Moves the pointer to the point of the window, counted from its left (or, when negative, its
    // right) and top (bottom) edges, and clicks the button there, as a user does.
    void fakeClick(xcb_window_t window, int x, int y, uint8_t button);

    // The window's width and height.
    xcb_rectangle_t windowSize(xcb_window_t window);

    // Waits up to the deadline for the CLIPBOARD to have another owner than this program.
    bool waitForClipboardChange(BenchClock::time_point deadline, pid_t child);

private:
    template <typename Done> bool pump(BenchClock::time_point deadline, pid_t child, Done done);
    xcb_atom_t atom(const char* name);
    xcb_window_t clipboardOwner();
    xcb_keycode_t keycode(xcb_keysym_t keysym);
    std::string property(xcb_window_t window, xcb_atom_t name);
    bool titleContains(xcb_window_t window);
    void handle(xcb_generic_event_t* event);

    xcb_connection_t* connection_;
    xcb_screen_t* screen_;
    xcb_atom_t netWmName_;
    xcb_atom_t clipboard_;
    uint8_t damageNotify_;
    bool hasTest_ = false;
    xcb_window_t owner_ = XCB_NONE;
    std::string title_;
    std::set<xcb_window_t> mapped_;
    std::optional<xcb_window_t> found_;
    bool drawn_ = false;
    std::optional<BenchClock::time_point> lastDrawing_;
    xcb_rectangle_t lastArea_{};
    int ignoredWidth_ = 0;
};

namespace xkeys {

// The keysym of a key's X name: a letter or digit, F1 to F12, or one of the few others the
// benchmarks press (End, Home, Down, Page_Down, Control_L, ...); nothing for an unknown name.
std::optional<xcb_keysym_t> keysym(const std::string& name);

} // namespace xkeys

namespace childprocess {

// Ends the benchmark with the message on the standard error.
[[noreturn]] void die(const std::string& message);

// Reads "--name value" pairs up to "--", handing each to `take` (which says whether it knows the
// name), and gives the program and its arguments after "--", ended by a null pointer for start().
// Dies with `usage` when no program follows.
std::vector<char*>
parseCommandLine(int argc, char* argv[],
                 const std::function<bool(const std::string&, const char*)>& take,
                 const std::string& usage);

// Starts the command (its last element a null pointer) in the directory.
pid_t start(const std::string& dir, const std::vector<char*>& command);

// Waits for the program's end up to the deadline, then kills it; returns its peak RSS in KiB, or
// -1 when it had to be killed.
long reap(pid_t child, BenchClock::time_point deadline, int& status);

// The CPU time the process has taken so far, in clock ticks.
long cpuTicks(pid_t child);

} // namespace childprocess

} // namespace pennoro
