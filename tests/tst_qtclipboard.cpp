#include "platform/qtclipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QTest>

using namespace pennoro;

// The offscreen platform keeps a clipboard inside the process: enough to check what the program
// puts there and how it reads back what others put there.
class TestQtClipboard : public QObject {
    Q_OBJECT

private slots:
    // The program's CR LF become the platform's LF on the clipboard and come back as CR LF.
    void setTextPutsLfLineEndsOnTheClipboard()
    {
        QtClipboard clipboard;
        QVERIFY(clipboard.setText(QStringLiteral("a\r\nb\r\n\r\nc")));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("a\nb\n\nc"));
        QCOMPARE(clipboard.text(), QStringLiteral("a\r\nb\r\n\r\nc"));
        QVERIFY(clipboard.setText(QString()));
        QVERIFY(QGuiApplication::clipboard()->mimeData()->hasText());
    }

    void whatOthersPutThereReadsAsText()
    {
        QtClipboard clipboard;
        QGuiApplication::clipboard()->setText(
            QStringLiteral("lf\ncr\rcrlf\r\n\n\r\rpara\u2029line\u2028end"));
        QCOMPARE(clipboard.text(),
                 QStringLiteral("lf\r\ncr\r\ncrlf\r\n\r\n\r\n\r\npara\r\nline\r\nend"));
        QGuiApplication::clipboard()->setImage(QImage(4, 4, QImage::Format_RGB32));
        QCOMPARE(clipboard.text(), QString(""));
        // Clearing reports no failure of its own; what counts is what is left.
        clipboard.clear();
        const QMimeData* left = QGuiApplication::clipboard()->mimeData();
        QVERIFY(!left || left->formats().isEmpty());
        QCOMPARE(clipboard.text(), QString(""));
    }
};

QTEST_MAIN(TestQtClipboard)
#include "tst_qtclipboard.moc"
