#pragma once

#include "app/mainwindow.h"
#include "fakes/fakeclipboard.h"
#include "fakes/fakeprompts.h"
#include "fakes/fakeshell.h"
#include "fakes/fakesysinfosystem.h"
#include "memo/memoedit.h"

#include <QAction>
#include <QApplication>
#include <QTest>
#include <QTextCursor>

// The real main window over fake services (or the real prompts), not shown yet.
template <typename PromptsType = FakePrompts> struct WindowOver {
    PromptsType prompts;
    FakeClipboard clipboard;
    FakeShell shell;
    FakeSysInfoSystem sysInfo;
    pennoro::MainWindow window{pennoro::Services{prompts, clipboard, shell, sysInfo}};

    pennoro::MemoEdit& memo() { return *window.memo(); }
};

// The same, shown and made active so that keys reach it the way a user's would. Every test checks
// QVERIFY(t.ready()) before it uses it.
struct TestWindow : WindowOver<> {
    TestWindow()
    {
        window.show();
        window.activateWindow();
        window.memo()->setFocus();
        // The platform reports the activation through its event queue; until then the menu keys
        // go nowhere.
        active_ = QTest::qWaitForWindowActive(&window) &&
                  QTest::qWaitFor([this] { return memo().hasFocus(); });
    }

    // Whether the window became active with the keyboard in the memo.
    [[nodiscard]] bool ready() const { return active_; }

    QAction* action(const QString& control) { return window.findChild<QAction*>(control); }

    // Puts text in the memo and selects [start, start + length).
    void setMemo(const QString& text, int start = 0, int length = 0)
    {
        memo().loadText(text);
        select(start, length);
    }

    void select(int start, int length)
    {
        QTextCursor cursor(memo().document());
        cursor.setPosition(start);
        cursor.setPosition(start + length, QTextCursor::KeepAnchor);
        memo().setTextCursor(cursor);
    }

    int caret() { return memo().textCursor().position(); }
    bool hasSelection() { return memo().textCursor().hasSelection(); }

private:
    bool active_ = false;
};
