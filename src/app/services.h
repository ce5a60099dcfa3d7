#pragma once

namespace pennoro {

class Clipboard;
class Prompts;
class Shell;
class SysInfoSystem;

// The system services the main window's commands use. A null entry means the real one, which
// the window then makes for itself; tests hand in fakes.
struct Services {
    Prompts* prompts = nullptr;
    Clipboard* clipboard = nullptr;
    Shell* shell = nullptr;
    SysInfoSystem* sysInfo = nullptr;
};

} // namespace pennoro
