// Start-up to a shown window with a large memo store: reads the store, fills the memo, shows
// the main window and waits until it has been exposed (painted once). Run it under a real X
// server (xvfb-run) or with QT_QPA_PLATFORM=offscreen.
//
//   bench_startup [MEGABYTES...]    default: 0 1 10

#include "app/mainwindow.h"
#include "app/memoedit.h"
#include "app/startup.h"
#include "benchtext.h"
#include "platform/prompts.h"
#include "platform/textfile.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace pennoro;

namespace {

struct Timings {
    double load, fill, shown;
};

Timings startOnce()
{
    QElapsedTimer clock;
    clock.start();
    QtPrompts prompts(nullptr);
    const std::optional<QString> memo = loadMemoForStartUp(prompts);
    const double load = clock.nsecsElapsed() / 1e6;
    MainWindow window;
    window.memo()->loadText(memo.value_or(QString()));
    const double fill = clock.nsecsElapsed() / 1e6;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        std::fprintf(stderr, "window was not exposed\n");
    QApplication::processEvents();
    return {load, fill, clock.nsecsElapsed() / 1e6};
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QStringList sizes = app.arguments().mid(1);
    if (sizes.isEmpty())
        sizes = {"0", "1", "10"};
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    std::printf("%8s %12s %12s %12s\n", "MB", "load ms", "+fill ms", "+shown ms");
    for (const QString& size : sizes) {
        const QString text = bench::japaneseHtml(size.toLongLong() * 1000 * 1000);
        if (!writeTextFile(QStringLiteral("Data.pnr"), text).ok())
            return 1;
        std::vector<double> load, fill, shown;
        for (int run = 0; run < 5; ++run) {
            const Timings t = startOnce();
            load.push_back(t.load);
            fill.push_back(t.fill);
            shown.push_back(t.shown);
        }
        std::printf("%8s %12.1f %12.1f %12.1f\n", qPrintable(size), median(load), median(fill),
                    median(shown));
    }
    return 0;
}
