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

#include "xwatch.h"

#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace pennoro;
using childprocess::die;

namespace {

using Clock = BenchClock;

struct Options {
    std::string dir = ".";
    std::string title;
    std::string then;
    std::string answerKey;
    int timeoutSeconds = 120;
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
        else if (name == "--then")
            options.then = value;
        else if (name == "--answer")
            options.answerKey = value;
        else if (name == "--timeout")
            options.timeoutSeconds = std::atoi(value);
        else
            return false;
        return true;
    };
    options.command = childprocess::parseCommandLine(
        argc, argv, take,
        "startup_to_window [--dir DIR] [--title TEXT] [--answer KEY] [--then COMMAND] "
        "[--timeout S] -- PROGRAM ARGS...");
    return options;
}

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char* argv[])
{
    const Options options = parse(argc, argv);
    const auto answerKey = xkeys::keysym(options.answerKey);
    if (!options.answerKey.empty() && (!answerKey || options.answerKey[0] != 'F'))
        die("--answer takes a function key (F1 to F12)");
    XWatch watch;
    const auto deadline = [&] {
        return Clock::now() + std::chrono::seconds(options.timeoutSeconds);
    };
    if (!options.answerKey.empty())
        watch.ownClipboard();

    const auto started = Clock::now();
    const pid_t child = childprocess::start(options.dir, options.command);
    const auto window = watch.waitForWindow(options.title, deadline(), child);
    const double shown = millisecondsSince(started);
    if (!window) {
        kill(child, SIGKILL);
        die("no window with \"" + options.title + "\" in its title");
    }
    if (!options.answerKey.empty())
        watch.sendKey(*window, *answerKey);
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
    const long maxRss = childprocess::reap(child, deadline(), status);
    const double then = millisecondsSince(thenStarted);
    std::printf("shown_ms=%.1f visible_ms=%.1f%s then_ms=%.1f maxrss_kb=%ld\n", shown, visible,
                answered.c_str(), then, maxRss);
    const bool endedByItself = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return maxRss >= 0 && (options.then.empty() || endedByItself) ? 0 : 1;
}
