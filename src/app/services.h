#pragma once

namespace pennoro {

class Clipboard;
class Prompts;
class Shell;
class SysInfoSystem;

// The system services the main window's commands use: the real ones, made once by main(), or
// fakes in tests.
struct Services {
    Prompts& prompts;
    Clipboard& clipboard;
    Shell& shell;
    SysInfoSystem& sysInfo;
};

} // namespace pennoro
