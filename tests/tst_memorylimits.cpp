// The memo under a limit on the address space the process may take (RLIMIT_AS), and the heap that
// long paragraphs' layouts keep; each case in a child of the test so that the limit and the heap's
// settings end with it.
//
// A forked child has only the thread that forked; a pool thread that painting started in the
// parent would be missing there and a paint in the child would wait for it for ever. So the
// children that paint come first, before the parent ever shows a window.

#include "fakes/childprocess.h"
#include "fakes/testfiles.h"
#include "fakes/testwindow.h"
#include "layout/heapforlayout.h"
#include "load/memoload.h"
#include "load/storereading.h"
#include "memo/memoedit.h"
#include "memo/memostore.h"
#include "platform/cp932codec.h"
#include "platform/filereasons.h"

#include <QSignalSpy>

#include <cerrno>
#include <cstring>
#include <vector>

#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace pennoro;
using namespace Qt::StringLiterals;

namespace {

#ifdef __GLIBC__
// For the address space limit: one heap, whose large blocks are mapped of their own and given
// back when freed. By default every thread's heap reserves 64 MiB, where allocations that the
// limit refuses elsewhere would still find room, and a freed copy of the memo could stay mapped.
const bool heapForLimits = mallopt(M_ARENA_MAX, 1) == 1 && mallopt(M_MMAP_THRESHOLD, 1 << 20) == 1;
#endif

// Takes up what the heap holds free (long paragraphs' layouts leave their blocks there), so that a
// limit leaves the process no more room than it gives. The blocks are held until they are dropped.
std::vector<QByteArray> takeFreeHeap()
{
    std::vector<QByteArray> taken;
#ifdef __GLIBC__
    for (int i = 0; i < 64 && mallinfo2().fordblks > (1 << 20); ++i)
        taken.emplace_back(qsizetype(mallinfo2().fordblks / 2), '\0');
#endif
    return taken;
}

// Lets the process take `room` bytes more than it holds now; an answer for the test when it fails.
QByteArray limitAddressSpace(rlim_t room)
{
    const rlim_t most = addressSpaceInUse() + room;
    const rlimit limit{most, most};
    if (setrlimit(RLIMIT_AS, &limit) != 0)
        return "no limit: " + QByteArray::number(most) + " " + strerror(errno);
    return {};
}

} // namespace

class TestMemoryLimits : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
#ifdef PENNORO_SANITIZED
        QSKIP("AddressSanitizer's reserved address space leaves no room for a limit");
#endif
#ifdef __GLIBC__
        QVERIFY(heapForLimits);
#endif
    }

    // A large block that a long paragraph's layout took stays with the process once freed, and the
    // next layout takes it again rather than new pages; any other large block is given back.
    void heapForLayouts()
    {
        const QString answer = answerOfChild([]() -> QByteArray {
            constexpr rlim_t size = 64 << 20;
            const rlim_t before = addressSpaceInUse();
            QByteArray block;
            const auto layOut = [&](char fill) {
                const HeapForLayout heap;
                block = QByteArray(size, fill);
            };
            layOut('x');
            block = QByteArray();
            const rlim_t kept = addressSpaceInUse();
            if (kept < before + size)
                return "a layout's block given back";
            layOut('y');
            if (addressSpaceInUse() != kept)
                return "a layout's block taken anew";
            block = QByteArray(2 * size, 'z');
            block = QByteArray();
            return addressSpaceInUse() == kept ? "kept for layouts only" : "kept elsewhere too";
        });
        QCOMPARE(answer, u"kept for layouts only"_s);
    }

    void loadUnderAddressSpaceLimit_data()
    {
        QTest::addColumn<bool>("duringSplit");
        QTest::addColumn<QString>("expected");
        // Room for reading the store, not for the memo in the window (a fill let in at this limit
        // ends by a segmentation fault inside Qt): refused before the fill.
        QTest::newRow("before the fill") << false << u"Failed: too large"_s;
        // The limit falls once the memo is whole: the lines keep their shared paragraphs, and the
        // memo is saved as loaded.
        QTest::newRow("during the split") << true << u"Done saved"_s;
    }

    // A store too large for the memory the process may take is reported, never a crash; a split
    // that runs short stops and leaves the memo whole.
    void loadUnderAddressSpaceLimit()
    {
        QFETCH(bool, duringSplit);
        QFETCH(QString, expected);
        InTempDir dir;
        QByteArray store;
        for (int line = 0; line < 100'000; ++line) // 4 MiB of short lines
            store += "<P>" + QByteArray::number(line) + " \x82\xA0\x82\xA2 text line</P>\r\n";
        QVERIFY(writeBytes(memostore::fileName, store));
        WindowOver<> w;
        QSignalSpy exits(&w.window, &MainWindow::exitRequested);
        (void)cp932::encode(u"x"); // the code page's tables, made once, in the parent
        const QString answer = answerOfChild([&]() -> QByteArray {
            if (!duringSplit) {
                if (QByteArray failed = limitAddressSpace(40 << 20); !failed.isEmpty())
                    return failed;
            }
            MemoLoad load(w.window, w.memo());
            StoreReading reading;
            if (load.run(reading, w.prompts) != MemoLoad::Phase::Splitting) {
                const QString shown = w.prompts.shown().join(u'\n');
                return shown.contains(filereasons::tooLarge) ? "Failed: too large" : shown.toUtf8();
            }
            if (QByteArray failed = limitAddressSpace(4 << 20); !failed.isEmpty())
                return failed;
            if (!QTest::qWaitFor([&] { return load.phase() == MemoLoad::Phase::Done; }))
                return "still splitting";
            if (w.memo().document()->blockCount() >= 100'000)
                return "split whole";
            QTest::keyClick(&w.memo(), Qt::Key_F2);
            return exits.count() == 1 ? "Done saved" : "Done, no exit";
        });
        QCOMPARE(answer, expected);
        if (duringSplit)
            QVERIFY(fileBytes(memostore::fileName) == store);
    }

    void saveAndExitUnderAddressSpaceLimit_data()
    {
        QTest::addColumn<QString>("memo");
        const QString line = u"<P>日本語のﾃｷｽﾄ😀¥\u00A0"_s + QString(1000, u'x') + u"</P>"_s;
        QTest::newRow("many lines") << (line + u"\r\n"_s).repeated(6000); // 12 MiB of text
        QTest::newRow("one line") << line.repeated(2000);
    }

    // Save-and-exit holds no more of the memo than a piece at a time, even of one long line: under
    // an address space limit that leaves no room for a copy of the whole text (that copy fails
    // first, to show it), F2 still writes the store whole.
    void saveAndExitUnderAddressSpaceLimit()
    {
        QFETCH(QString, memo);
        InTempDir dir;
        TestWindow t;
        QVERIFY(t.ready());
        QSignalSpy exits(&t.window, &MainWindow::exitRequested);
        t.setMemo(memo);
        (void)cp932::encode(u"x"); // the code page's tables, made once, in the parent
        const QString answer = answerOfChild([&]() -> QByteArray {
            const std::vector<QByteArray> taken = takeFreeHeap();
            // Half the size of the text.
            if (QByteArray failed = limitAddressSpace(rlim_t(memo.size())); !failed.isEmpty())
                return failed;
            try {
                (void)t.memo().wholeText();
                return "the whole text fits";
            } catch (const std::bad_alloc&) {
            }
            QTest::keyClick(&t.memo(), Qt::Key_F2);
            if (!t.prompts.messages.isEmpty())
                return t.prompts.shown().join(u'\n').toUtf8();
            return exits.count() == 1 ? "saved" : "no exit";
        });
        QCOMPARE(answer, u"saved"_s);
        QVERIFY(fileBytes(memostore::fileName) == cp932::encode(memo).value().bytes + "\r\n");
    }
};

QTEST_MAIN(TestMemoryLimits)
#include "tst_memorylimits.moc"
