#include "app/mainwindow.h"
#include "app/qtsetup.h"
#include "common/texts.h"
#include "common/version.h"
#include "load/memoload.h"
#include "load/storereading.h"
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

    // Messages stand over the window; a failure to read the store shows before the window does.
    prompts.setOwner(&window);
    // Queued: a save-and-exit typed during the load runs before the event loop does.
    QObject::connect(&window, &MainWindow::exitRequested, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    // Lives for the run: the lines the load put several to a paragraph are split while idle.
    MemoLoad load(window, *window.memo());
    switch (load.run(reading, prompts)) {
    case MemoLoad::Phase::Failed:
        return 1;
    case MemoLoad::Phase::Abandoned:
        return 0; // closed during the load: closing keeps nothing
    default:
        break;
    }
    threadFailures.reset();
    return QApplication::exec();
}
