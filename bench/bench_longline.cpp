// Edits on one long unbreakable line in the shown main window: pasting such a line into the middle
// of ordinary text, and typing a character, or composing one through an input method, into the
// middle of such a line, each with the repaint that follows. Run it under a real X server. Prints
// key=value lines, times as medians in ms.
//
//   bench_longline [PASTE_MIB [TYPE_MIB [RUNS]]]    defaults: 1, 4 (MiB of line) and 7

#include "app/mainwindow.h"
#include "benchtext.h"
#include "memo/memoedit.h"
#include "realwindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QInputMethodEvent>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace pennoro;

namespace {

int runs = 7;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void placeCaret(MemoEdit& memo, int position)
{
    QTextCursor cursor(memo.document());
    cursor.setPosition(position);
    memo.setTextCursor(cursor);
    QApplication::processEvents();
}

// Runs edit() a few times on the memo, each time from the same caret and taken back after.
template <typename Edit, typename TakeBack>
double timeEdit(MemoEdit& memo, int caret, Edit edit, TakeBack takeBack)
{
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        placeCaret(memo, caret);
        QElapsedTimer clock;
        clock.start();
        edit();
        QApplication::processEvents();
        times.push_back(clock.nsecsElapsed() / 1e6);
        takeBack();
        QApplication::processEvents();
    }
    return median(times);
}

template <typename Edit> double timeEdit(MemoEdit& memo, int caret, Edit edit)
{
    return timeEdit(memo, caret, edit, [&] { memo.undo(); });
}

qsizetype mebibytes(int argc, char* argv[], int index, qsizetype fallback)
{
    return (argc > index ? QString::fromLocal8Bit(argv[index]).toLongLong() : fallback) << 20;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const qsizetype pasteLength = mebibytes(argc, argv, 1, 1);
    const qsizetype typeLength = mebibytes(argc, argv, 2, 4);
    if (argc > 3)
        runs = QString::fromLocal8Bit(argv[3]).toInt();
    QTemporaryDir folder;
    QDir::setCurrent(folder.path());

    RealWindow real;
    MainWindow& window = real.window;
    MemoEdit& memo = *window.memo();
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        std::fprintf(stderr, "the window was not exposed\n");
    std::printf("platform=%s\n", qPrintable(QApplication::platformName()));

    memo.loadText(bench::japaneseHtml(1 << 20));
    const QString pasted = bench::unbreakableLine(pasteLength);
    const int middle = memo.document()->characterCount() / 2;
    std::printf("paste_unbreakable_line_ms=%.1f\n",
                timeEdit(memo, middle, [&] { memo.setSelectedText(pasted); }));

    memo.loadText(bench::unbreakableLine(typeLength));
    std::printf("type_into_unbreakable_line_ms=%.1f\n",
                timeEdit(memo, int(typeLength / 2), [&] { QTest::keyClick(&memo, Qt::Key_X); }));
    const auto compose = [&](const QString& word) {
        QInputMethodEvent event(word, {});
        QApplication::sendEvent(&memo, &event);
    };
    std::printf("compose_in_unbreakable_line_ms=%.1f\n",
                timeEdit(
                    memo, int(typeLength / 2), [&] { compose(u"あ"_qs); }, [&] { compose({}); }));
    return 0;
}
