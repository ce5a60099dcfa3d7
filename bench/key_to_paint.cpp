// Typing latency as a user sees it, timed from outside through the X server: starts a program,
// waits for its window (a top-level window whose title contains the given text) and until it has
// settled, places the caret with keys, then presses a key again and again, each time measuring the
// time from the press (through XTest, as a keyboard presses it) to the program's first drawing into
// its window after it (the Damage extension). Prints one line:
//
//   shown_ms=<start to shown> ready_ms=<start to settled with the caret placed>
//   key_ms=<press to drawn> key_ms=... [gave_up_ms=<the key that took too long>]
//
//   key_to_paint [--dir DIR] [--title TEXT] [--place KEYS] [--key KEY] [--count N]
//                [--give-up-ms MS] [--timeout S] [--wider-than PX] -- PROGRAM ARGS...
//
// KEYS: presses separated by spaces, each an X key name with optional ctrl+ before it, such as
// "ctrl+End" or "ctrl+Home Down Down", or a click, "clickB:X,Y" (button B at X, Y in the window,
// each in pixels from the left or top edge, from the right or bottom when negative, or a percentage
// of the width or height, such as "click2:-8,50%"). KEY: the key typed (default x). A key that
// takes longer than --give-up-ms (default none) ends the run after it. Before each press the
// program must have settled (taken almost no CPU for a quarter of a second, up to a few seconds)
// and the press comes right after the caret blinked, so that neither the rest of the previous key's
// work nor the blink is taken for the answer. With --wider-than, only a drawing wider than PX
// pixels answers the key: a command may show the caret again before it redraws the text. The
// program is killed at the end, its typing unsaved. Needs DISPLAY (an Xvfb of its own: no window
// manager, no other windows).

#include "xwatch.h"

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

using namespace pennoro;
using childprocess::die;

namespace {

using Clock = BenchClock;
using std::chrono::milliseconds;
using std::chrono::seconds;

struct Options {
    std::string dir = ".";
    std::string title;
    std::string place;
    std::string key = "x";
    int count = 15;
    double giveUpMs = 0;
    int timeoutSeconds = 300;
    int ignoredWidth = 0;
    std::vector<char*> command;
};

Options parse(int argc, char* argv[])
{
    Options options;
    const auto take = [&](const std::string& name, const char* value) {
        if (name == "--dir")
            options.dir = value;
        else if (name == "--title")
            options.title = value;
        else if (name == "--place")
            options.place = value;
        else if (name == "--key")
            options.key = value;
        else if (name == "--count")
            options.count = std::atoi(value);
        else if (name == "--give-up-ms")
            options.giveUpMs = std::atof(value);
        else if (name == "--timeout")
            options.timeoutSeconds = std::atoi(value);
        else if (name == "--wider-than")
            options.ignoredWidth = std::atoi(value);
        else
            return false;
        return true;
    };
    options.command = childprocess::parseCommandLine(
        argc, argv, take,
        "key_to_paint [--dir DIR] [--title TEXT] [--place KEYS] [--key KEY] [--count N] "
        "[--give-up-ms MS] [--timeout S] [--wider-than PX] -- PROGRAM ARGS...");
    return options;
}

double inMilliseconds(Clock::duration duration)
{
    return std::chrono::duration<double, std::milli>(duration).count();
}

// One press: the key and whether Control is held for it, or a click of the button at the point.
struct Chord {
    xcb_keysym_t key = 0;
    bool control = false;
    uint8_t button = 0;
    std::string x, y;
};

// A click's coordinate: pixels from the near edge, from the far edge when negative, or a
// percentage of the length.
int coordinate(const std::string& text, int length)
{
    const int number = std::atoi(text.c_str());
    return !text.empty() && text.back() == '%' ? length * number / 100 : number;
}

Chord chord(const std::string& text)
{
    if (text.rfind("click", 0) == 0) {
        const auto colon = text.find(':');
        const auto comma = text.find(',');
        if (colon == std::string::npos || comma == std::string::npos || comma < colon)
            die("a click is clickB:X,Y, not " + text);
        Chord click;
        click.button = uint8_t(std::atoi(text.c_str() + 5));
        click.x = text.substr(colon + 1, comma - colon - 1);
        click.y = text.substr(comma + 1);
        return click;
    }
    const bool control = text.rfind("ctrl+", 0) == 0;
    const std::string name = control ? text.substr(5) : text;
    const auto key = xkeys::keysym(name);
    if (!key)
        die("unknown key " + name);
    Chord pressed;
    pressed.key = *key;
    pressed.control = control;
    return pressed;
}

const xcb_keysym_t controlKey = *xkeys::keysym("Control_L");

void press(XWatch& watch, xcb_window_t window, const Chord& chord)
{
    if (chord.button) {
        const xcb_rectangle_t size = watch.windowSize(window);
        watch.fakeClick(window, coordinate(chord.x, size.width), coordinate(chord.y, size.height),
                        chord.button);
        return;
    }
    if (chord.control)
        watch.fakeKey(controlKey, true);
    watch.fakeKey(chord.key, true);
    watch.fakeKey(chord.key, false);
    if (chord.control)
        watch.fakeKey(controlKey, false);
}

// Waits until the program has taken at most one clock tick of CPU in a quarter of a second, or
// for the longest wait; whether it settled.
bool settle(pid_t child, Clock::duration longest)
{
    const auto end = Clock::now() + longest;
    long before = childprocess::cpuTicks(child);
    while (Clock::now() < end) {
        usleep(250 * 1000);
        const long now = childprocess::cpuTicks(child);
        if (now < 0)
            die("the program ended early");
        if (now - before <= 1)
            return true;
        before = now;
    }
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    const Options options = parse(argc, argv);
    std::vector<Chord> placing;
    std::istringstream words(options.place);
    for (std::string word; words >> word;)
        placing.push_back(chord(word));
    const Chord typed = chord(options.key);

    XWatch watch;
    const auto started = Clock::now();
    const auto deadline = started + seconds(options.timeoutSeconds);
    const pid_t child = childprocess::start(options.dir, options.command);
    const auto fail = [&](const std::string& message) {
        kill(child, SIGKILL);
        die(message);
    };
    const auto window = watch.waitForWindow(options.title, deadline, child);
    const double shown = inMilliseconds(Clock::now() - started);
    if (!window)
        fail("no window with \"" + options.title + "\" in its title");
    if (!watch.waitForDrawing(deadline, child))
        fail("nothing was drawn into the window");

    // Let it finish loading, then place the caret and let it finish that.
    watch.focus(*window);
    settle(child, deadline - Clock::now());
    for (const Chord& each : placing) {
        press(watch, *window, each);
        settle(child, deadline - Clock::now());
    }
    const double ready = inMilliseconds(Clock::now() - started);

    std::string line;
    char text[64];
    for (int i = 0; i < options.count; ++i) {
        settle(child, seconds(5));
        // Right after a blink the caret stays as it is for a while (no blink: after a second).
        watch.takeEvents();
        watch.waitForNextDrawing(Clock::now() + milliseconds(1100), child);
        watch.takeEvents();
        const auto pressed = Clock::now();
        watch.ignoreDrawingsUpTo(options.ignoredWidth);
        press(watch, *window, typed);
        const auto drawn = watch.waitForNextDrawing(deadline, child);
        watch.ignoreDrawingsUpTo(0);
        if (!drawn)
            fail("nothing was drawn after a key");
        const double took = inMilliseconds(*drawn - pressed);
        if (std::getenv("KEY_TO_PAINT_VERBOSE")) {
            const xcb_rectangle_t area = watch.lastArea();
            std::fprintf(stderr, "key %d: %.2f ms, drawn %dx%d at %d,%d\n", i, took, area.width,
                         area.height, area.x, area.y);
        }
        if (options.giveUpMs > 0 && took > options.giveUpMs) {
            std::snprintf(text, sizeof text, " gave_up_ms=%.1f", took);
            line += text;
            break;
        }
        std::snprintf(text, sizeof text, " key_ms=%.2f", took);
        line += text;
    }
    kill(child, SIGKILL);
    int status = 0;
    childprocess::reap(child, Clock::now() + seconds(10), status);
    std::printf("shown_ms=%.1f ready_ms=%.1f%s\n", shown, ready, line.c_str());
    return 0;
}
