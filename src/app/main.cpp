#include "app/mainwindow.h"
#include "memo/memoedit.h"
#include "app/startup.h"
#include "common/texts.h"
#include "platform/prompts.h"

#include <QApplication>

using namespace pennoro;

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(texts::applicationTitle);
    // Lets a desktop session match the window to the installed menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.Pennoro"));

    QtPrompts startUpPrompts(nullptr);
    std::optional<QString> memo = loadMemoForStartUp(startUpPrompts);
    if (!memo)
        return 1;

    MainWindow window;
    window.memo()->loadText(*memo);
    // The memo now holds the text; a large store's copy would otherwise stay for the whole run.
    memo.reset();
    QObject::connect(&window, &MainWindow::exitRequested, &app, &QApplication::quit);
    window.show();
    return QApplication::exec();
}
