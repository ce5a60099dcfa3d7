#pragma once

#include "platform/sysinfosystem.h"

#include <memory>

class QDialog;
class QWidget;

namespace pennoro {

class Prompts;
class Shell;

// The About box: one object for the run, created on first use, that builds a fresh dialog
// "frmAbout" each time it is opened. The dialog shows the program icon, title and version, a
// credit line, and buttons for the homepage, a mail to the authors and the system information
// tool.
class AboutBox {
public:
    AboutBox(Prompts& prompts, Shell& shell, SysInfoSystem& system);

    // Builds a fresh dialog, shows it modally over parent and returns when it has closed; the
    // dialog is destroyed then.
    void exec(QWidget* parent);

    // Builds the dialog with its texts set, not yet shown: exec() shows what this builds, and
    // tests look at it without a modal loop.
    std::unique_ptr<QDialog> build(QWidget* parent);

    // The system information button: starts the tool, or shows the one failure message.
    void startSysInfo();

private:
    Prompts& prompts_;
    Shell& shell_;
    SysInfoSystem& system_;
};

} // namespace pennoro
