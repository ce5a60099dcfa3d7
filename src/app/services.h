#pragma once

namespace pennoro {

class Clipboard;
class Prompts;

// The system services the main window's commands use. A null entry means the real one, which
// the window then makes for itself; tests hand in fakes.
struct Services {
    Prompts* prompts = nullptr;
    Clipboard* clipboard = nullptr;
};

} // namespace pennoro
