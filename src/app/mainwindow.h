#pragma once

#include "app/services.h"

#include <QMainWindow>

class QAction;

#include <memory>

namespace pennoro {

class AboutBox;
struct CommandLabel;
class ClickLabel;
class MemoEdit;

// Form1: the memo, the three command labels below it and the menu bar. The window only lays
// these out and connects each menu item to its command.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(const Services& services);
    ~MainWindow() override;

    MemoEdit* memo() const { return memo_; }

    // Save-and-exit: writes the memo store and asks the program to end; on failure it reports
    // and the window stays with the memo intact.
    void saveAndExit();

signals:
    // Save-and-exit has written the memo store: the program ends now.
    void exitRequested();

private:
    void buildCentralArea();
    void buildMenus();
    void addLabel(const CommandLabel& look, QAction* twin);
    void placeWindow();
    void showAbout();

    Services services_;
    // Made on first use, kept for the rest of the run.
    std::unique_ptr<AboutBox> about_;
    MemoEdit* memo_ = nullptr;
};

} // namespace pennoro
