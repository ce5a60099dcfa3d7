// Commands on a large memo in the shown main window: a tag command (bold, Ctrl+B) on a short
// selection in the middle and on the whole memo, each alone and with the repaint that follows; and
// save-and-exit's writing of the memo store (reading the memo, encoding, the atomic write). Run it
// under a real X server. Prints key=value lines, times as medians in milliseconds.
//
//   bench_largememo [MEGABYTES]    default: 10 (MB being 2^20 bytes of the memo store)

#include "app/mainwindow.h"
#include "benchtext.h"
#include "memo/memoedit.h"
#include "memo/memostore.h"
#include "realwindow.h"
#include "tags/taginsertion.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace pennoro;

namespace {

constexpr int runs = 9;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

const TagCommand& boldCommand()
{
    const auto catalogue = tags::catalogue();
    return *std::find_if(catalogue.begin(), catalogue.end(),
                         [](const TagCommand& command) { return command.control == u"mnuTG6"; });
}

struct Timing {
    double command;
    double repainted;
};

// Runs the bold command on the selection that select() makes, then takes it back, several times.
template <typename Select> Timing timeBold(MemoEdit& memo, Select select)
{
    std::vector<double> command, repainted;
    for (int run = 0; run < runs; ++run) {
        select();
        QApplication::processEvents();
        QElapsedTimer clock;
        clock.start();
        tags::insert(memo, boldCommand());
        command.push_back(clock.nsecsElapsed() / 1e6);
        QApplication::processEvents();
        repainted.push_back(clock.nsecsElapsed() / 1e6);
        memo.undo();
        QApplication::processEvents();
    }
    return {median(command), median(repainted)};
}

void print(const char* name, const Timing& timing)
{
    std::printf("%s_ms=%.2f\n%s_repainted_ms=%.2f\n", name, timing.command, name, timing.repainted);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const qsizetype megabytes = argc > 1 ? QString::fromLocal8Bit(argv[1]).toLongLong() : 10;
    QTemporaryDir folder;
    QDir::setCurrent(folder.path());

    RealWindow real;
    MainWindow& window = real.window;
    MemoEdit& memo = *window.memo();
    memo.loadText(bench::japaneseHtml(megabytes * 1024 * 1024));
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        std::fprintf(stderr, "the window was not exposed\n");
    const int characters = memo.document()->characterCount();
    std::printf("platform=%s\nmemo_characters=%d\n", qPrintable(QApplication::platformName()),
                characters);

    print("tag_small_selection", timeBold(memo, [&] {
              QTextCursor cursor(memo.document());
              cursor.setPosition(characters / 2);
              cursor.setPosition(characters / 2 + 20, QTextCursor::KeepAnchor);
              memo.setTextCursor(cursor);
          }));
    print("tag_whole_memo", timeBold(memo, [&] { memo.selectAll(); }));

    std::vector<double> save;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer clock;
        clock.start();
        window.saveAndExit(); // nothing listens to exitRequested: the window stays
        save.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::printf("save_and_exit_write_ms=%.2f\nstore_bytes=%lld\n", median(save),
                static_cast<long long>(QFileInfo(memostore::fileName).size()));
    return 0;
}
