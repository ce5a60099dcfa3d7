// What one edit costs a paragraph kept in one text layout: the layout is changed (as an edit
// changes a block's layout) and laid out again, with every line as the memo lays it out, then with
// only its first line, which still makes the layout analyse and size its whole text: the least any
// way of breaking lines could cost. Prints
// key=value lines, medians of RUNS in ms, for lines of hex, HTML and Japanese, with the heap kept
// as the program keeps it.
//
//   bench_layoutfloor [RUNS]    default 5; QT_QPA_PLATFORM=offscreen is enough

#include "benchtext.h"
#include "common/fonts.h"
#include "layout/heapforlayout.h"
#include "layout/wraplines.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTextLayout>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace pennoro;

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

constexpr qreal width = 600;

// Lays the text out after a one-character change, as `layOut` does, timing it.
template <typename LayOut>
double relayout(QTextLayout& layout, QString& text, LayOut layOut, int runs)
{
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        text[text.size() - 1] = QChar(u'a' + run % 2);
        QElapsedTimer clock;
        clock.start();
        layout.setText(text);
        layOut();
        times.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    return median(times);
}

// The least a layout can do: one line, broken anywhere, so that only its own characters are
// shaped; the text's analysis is still made for all of it.
void firstLineOnly(QTextLayout& layout)
{
    const QTextOption option = layout.textOption();
    QTextOption anywhere = option;
    anywhere.setWrapMode(QTextOption::WrapAnywhere);
    layout.setTextOption(anywhere);
    layout.beginLayout();
    layout.createLine().setLineWidth(width);
    layout.endLayout();
    layout.setTextOption(option);
}

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    const std::vector<std::pair<const char*, std::function<QString(qsizetype)>>> shapes = {
        {"hex", bench::unbreakableLine},
        {"html", bench::htmlLine},
        {"japanese", [](qsizetype bytes) { return bench::japaneseLine(bytes); }},
    };
    for (const auto& [name, make] : shapes) {
        for (const qsizetype kib : {4, 64, 256, 1024, 4096}) {
            QString text = make(kib << 10);
            QTextLayout layout(text, fonts::msPGothic(11.25));
            layout.setCacheEnabled(true);
            QTextOption option;
            option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
            layout.setTextOption(option);
            // Both with the heap as the memo's layout takes it.
            const double every = relayout(
                layout, text,
                [&] {
                    const HeapForLayout heap;
                    wraplines::breakLines(layout, text, width);
                },
                runs);
            const double first = relayout(
                layout, text,
                [&] {
                    const HeapForLayout heap;
                    firstLineOnly(layout);
                },
                runs);
            std::printf("%s_%lldK_every_line_ms=%.1f %s_%lldK_first_line_ms=%.1f\n", name,
                        static_cast<long long>(kib), every, name, static_cast<long long>(kib),
                        first);
            std::fflush(stdout);
        }
    }
    return 0;
}
