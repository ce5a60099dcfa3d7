#pragma once

#include "app/mainwindow.h"
#include "platform/prompts.h"
#include "platform/qtclipboard.h"
#include "platform/shell.h"
#include "platform/sysinfolauncher.h"
#include "platform/sysinfosystem.h"

#include <memory>

// The main window over the real services, made as main() makes them.
struct RealWindow {
    pennoro::QtPrompts prompts;
    pennoro::QtClipboard clipboard;
    pennoro::QtShell shell;
    std::unique_ptr<pennoro::SysInfoSystem> sysInfo = pennoro::sysinfo::makeSystem();
    pennoro::MainWindow window{pennoro::Services{prompts, clipboard, shell, *sysInfo}};

    RealWindow() { prompts.setOwner(&window); }
};
