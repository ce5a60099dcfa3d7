// Copy all (F5) of a large memo onto the real clipboard: reads the whole memo, clears the
// clipboard and sets its text, checking that the text took. Run it under a real X server
// (xvfb-run) or with QT_QPA_PLATFORM=offscreen.
//
//   bench_editcommands [MEGABYTES...]    default: 1 10

#include "benchtext.h"
#include "edit/editcommands.h"
#include "memo/memoedit.h"
#include "platform/prompts.h"
#include "platform/qtclipboard.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace pennoro;

namespace {

// Counts the failure reports instead of showing them.
class CountingPrompts final : public Prompts {
public:
    void message(const QString&, const QString&, Icon) override { ++messages; }
    QString saveFileName(const QString&) override { return {}; }
    int messages = 0;
};

template <typename Step> double millisecondsFor(Step step)
{
    QElapsedTimer clock;
    clock.start();
    step();
    return clock.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    std::printf("platform=%s\n", qPrintable(QGuiApplication::platformName()));
    for (const QString& size : arguments.isEmpty() ? QStringList{"1", "10"} : arguments) {
        MemoEdit memo;
        memo.loadText(bench::japaneseHtml(size.toLongLong() * 1024 * 1024));
        QtClipboard clipboard;
        CountingPrompts prompts;
        std::vector<double> whole, copyAll;
        for (int run = 0; run < 7; ++run) {
            whole.push_back(millisecondsFor([&] { (void)memo.wholeText(); }));
            copyAll.push_back(millisecondsFor([&] { edit::copyAll(memo, clipboard, prompts); }));
            // Let the window system take the data, as between two key presses.
            QApplication::processEvents();
        }
        std::sort(whole.begin(), whole.end());
        std::sort(copyAll.begin(), copyAll.end());
        const QByteArray mb = size.toLatin1();
        std::printf("characters_%s=%lld copy_all_ms_%s=%.1f copy_all_fastest_ms_%s=%.1f "
                    "whole_text_ms_%s=%.1f failures_%s=%d\n",
                    mb.constData(), static_cast<long long>(memo.wholeText().size()), mb.constData(),
                    copyAll[copyAll.size() / 2], mb.constData(), copyAll.front(), mb.constData(),
                    whole[whole.size() / 2], mb.constData(), prompts.messages);
    }
    return 0;
}
