// Runs on a real X server (xcb), where a window manager's request to close a window arrives as a
// client message among the user's input, not as a call to QWidget::close, and where keys are bound
// as on a Linux desktop.
#include "app/mainwindow.h"
#include "fakes/testfiles.h"
#include "fakes/testwindow.h"
#include "load/memoload.h"
#include "load/storereading.h"
#include "memo/memoedit.h"
#include "platform/cp932codec.h"

#include <QAction>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLabel>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <xcb/xcb.h>

using namespace pennoro;

namespace {

using Window = WindowOver<>;

xcb_atom_t atom(xcb_connection_t* connection, const char* name)
{
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, uint16_t(strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t found = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return found;
}

// What a window manager sends when the user clicks the close button.
void requestClose(QWidget& window)
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11->connection();
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = xcb_window_t(window.winId());
    event.type = atom(connection, "WM_PROTOCOLS");
    event.data.data32[0] = atom(connection, "WM_DELETE_WINDOW");
    event.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(connection, 0, event.window, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(connection);
}

// The percent the loading note shows, -1 while it shows none.
int notePercent(const QWidget& window)
{
    const auto* note = window.findChild<QLabel*>(QStringLiteral("loadingNote"));
    const auto shown = QRegularExpression(QStringLiteral("(\\d+)%"))
                           .match(note && note->isVisible() ? note->text() : QString());
    return shown.hasMatch() ? shown.captured(1).toInt() : -1;
}

QByteArray storeOfLines(int count)
{
    QByteArray store;
    for (int line = 0; line < count; ++line)
        store += "<P>" + QByteArray::number(line) + " \x82\xA0\x82\xA2\x82\xA4 text</P>\r\n";
    return store;
}

} // namespace

class TestCloseRequest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QStringLiteral("xcb"))
            QSKIP("needs an X server: run with QT_QPA_PLATFORM=xcb");
    }

    // Closing the window during the load ends it within half a second, whatever the load is
    // doing: reading the store (the note under 30 %) or filling the memo (over it).
    void closedDuringTheLoad_data()
    {
        QTest::addColumn<int>("closeAtPercent");
        QTest::newRow("while the store is read") << 0;
        QTest::newRow("while the memo fills") << 60;
    }

    void closedDuringTheLoad()
    {
        QFETCH(int, closeAtPercent);
        const InTempDir dir;
        QVERIFY(writeBytes(dir.path(QStringLiteral("Data.pnr")), storeOfLines(600'000)));
        Window w;
        QElapsedTimer sinceRequest;
        int percentAtRequest = -1;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            const int percent = notePercent(w.window);
            if (sinceRequest.isValid() || percent < closeAtPercent)
                return;
            percentAtRequest = percent;
            requestClose(w.window);
            sinceRequest.start();
        });
        watch.start(0);
        MemoLoad load(w.window, w.memo());
        MemoLoad::Phase reached;
        {
            StoreReading reading(dir.path(QStringLiteral("Data.pnr")),
                                 std::chrono::milliseconds(0));
            reached = load.run(reading, w.prompts);
        } // a reading still going on is given up here
        QVERIFY(sinceRequest.isValid());
        const qint64 took = sinceRequest.elapsed();
        QCOMPARE(reached, MemoLoad::Phase::Abandoned);
        QVERIFY(!w.window.isVisible());
        QVERIFY2(
            took < 500,
            qPrintable(
                QStringLiteral("%1 ms after the request at %2 %").arg(took).arg(percentAtRequest)));
        if (closeAtPercent == 0 && percentAtRequest > 30)
            qWarning("the store was read before the request came: the fill was closed instead");
    }

    // While shared lines are split again when idle, the window closes as at any other time.
    void closedWhileLinesAreSplit()
    {
        const InTempDir dir;
        QVERIFY(writeBytes(dir.path(QStringLiteral("Data.pnr")), storeOfLines(200'000)));
        Window w;
        StoreReading reading(dir.path(QStringLiteral("Data.pnr")));
        MemoLoad load(w.window, w.memo());
        QCOMPARE(load.run(reading, w.prompts), MemoLoad::Phase::Splitting);
        QElapsedTimer sinceRequest;
        requestClose(w.window);
        sinceRequest.start();
        QTRY_VERIFY_WITH_TIMEOUT(!w.window.isVisible(), 5000);
        QVERIFY2(sinceRequest.elapsed() < 500, qPrintable(QString::number(sinceRequest.elapsed())));
    }

    // Qt's text edit takes these keys a paragraph at a time, where a memo loaded in part holds
    // several lines to a paragraph. Every key they are bound to here is a menu command's, which the
    // memo leaves to the menu (Ctrl+K, the link tag); the others are bound on macOS only.
    void paragraphKeysAreMenuCommands()
    {
        QVERIFY2(!QKeySequence::keyBindings(QKeySequence::DeleteEndOfLine).isEmpty(),
                 "not the keys of an X11 desktop");
        Window w;
        QList<QKeySequence> menu;
        for (const QAction* action : w.window.findChildren<QAction*>())
            menu += action->shortcuts();
        for (const auto key : {QKeySequence::DeleteEndOfLine, QKeySequence::MoveToStartOfBlock,
                               QKeySequence::MoveToEndOfBlock, QKeySequence::SelectStartOfBlock,
                               QKeySequence::SelectEndOfBlock})
            for (const QKeySequence& binding : QKeySequence::keyBindings(key))
                QVERIFY2(menu.contains(binding), qPrintable(binding.toString()));
    }
};

QTEST_MAIN(TestCloseRequest)
#include "tst_closerequest.moc"
