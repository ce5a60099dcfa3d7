#include "app/mainwindow.h"
#include "app/memoloader.h"
#include "app/qtsetup.h"
#include "app/startup.h"
#include "common/texts.h"
#include "common/version.h"
#include "platform/prompts.h"
#include "platform/qtclipboard.h"
#include "platform/shell.h"
#include "platform/sysinfolauncher.h"
#include "platform/sysinfosystem.h"
#include "platform/writesignals.h"

#include <QApplication>

#include <optional>

using namespace pennoro;

int main(int argc, char* argv[])
{
    // First of all: a write beyond the file size limit must fail and be reported, not end the
    // program with the memo in its window.
    writesignals::ignore();
    // A start that cannot have its threads says so and ends, rather than waiting for ever.
    std::optional<ThreadFailureGuard> threadFailures(std::in_place);
    // Reads the memo store while Qt starts up and the window is made.
    StoreReading reading;
    QApplication app(argc, argv);
    qtsetup::loadJapaneseTranslation(app);
    qtsetup::keepNoSettings();
    QApplication::setApplicationName(texts::applicationTitle);
    // Lets a desktop session match the window to the installed menu entry and its icon.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(version::desktopId));

    // The real services, made once here; the window and its commands only use them.
    QtPrompts prompts;
    QtClipboard clipboard;
    QtShell shell;
    const std::unique_ptr<SysInfoSystem> sysInfo = sysinfo::makeSystem();
    MainWindow window(Services{prompts, clipboard, shell, *sysInfo});

    LoadingNote note(window, reading.quietUntil());
    if (!startup::waitForStore(window, reading, note))
        return 0; // closed while the store was read
    std::optional<QString> memo = startup::loadMemo(prompts, reading.take());
    if (!memo)
        return 1;
    prompts.setOwner(&window);
    QObject::connect(&window, &MainWindow::exitRequested, &app, &QApplication::quit);
    // The memo takes the text over: a large store's copy does not stay for the whole run.
    startup::showWithMemo(window, std::move(*memo), note);
    if (!window.isVisible())
        return 0; // closed while the memo was loading
    threadFailures.reset();
    return QApplication::exec();
}
