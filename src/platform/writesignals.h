#pragma once

// Signals that a failing write raises and that would end the program, losing the memo in the
// window: SIGXFSZ for a write beyond the file size limit (`ulimit -f`), SIGPIPE for a write into a
// pipe whose reader has gone. Ignored, they turn into failed writes ("File too large", "Broken
// pipe") that the program reports like any other.
namespace pennoro::writesignals {

// Called first thing in main(), before anything could write a file.
void ignore();

} // namespace pennoro::writesignals
