#include "app/qtsetup.h"
#include "memo/memoedit.h"
#include "platform/qtclipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSaveFile>
#include <QTest>

#include <memory>

using namespace pennoro;

// Qt as the program meets it: its own words, wherever the user meets them, are Japanese whatever
// the system's language; its clipboard (on the offscreen platform one inside the process) holds
// the program's text with the platform's line ends.
class TestQtSetup : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qtsetup::keepNoSettings(); // the file dialog below would otherwise write settings
        QVERIFY(qtsetup::loadJapaneseTranslation(*qApp));
    }

    // The memo's right-click menu, its items' captions without their shortcuts.
    void memoContextMenu()
    {
        MemoEdit memo;
        const std::unique_ptr<QMenu> menu(memo.createStandardContextMenu());
        QStringList captions;
        for (const QAction* action : menu->actions())
            if (!action->isSeparator())
                captions.append(action->text().section(u'\t', 0, 0));
        QCOMPARE(captions.join(u'|'), QStringLiteral("元に戻す(&U)|やり直す(&R)|切り取り(&T)|"
                                                     "コピー(&C)|貼り付け(&P)|削除|すべてを選択"));
    }

    // The save dialog's labels and buttons.
    void saveDialog()
    {
        QFileDialog dialog;
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setOption(QFileDialog::DontUseNativeDialog, true);
        QStringList words;
        for (const char* label : {"lookInLabel", "fileNameLabel", "fileTypeLabel"})
            words.append(dialog.findChild<QLabel*>(QString::fromLatin1(label))->text());
        auto* buttons = dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
        for (const auto button : {QDialogButtonBox::Save, QDialogButtonBox::Cancel})
            words.append(buttons->button(button)->text());
        QCOMPARE(words.join(u'|'),
                 QStringLiteral("アドレス:|ファイル名(&N):|ファイルの種類:|保存(&S)|キャンセル"));
    }

    // The reason Qt gives when a file cannot be written: here, because a folder has the name.
    void fileFailure()
    {
        QSaveFile file(QDir::tempPath());
        QVERIFY(!file.open(QIODevice::WriteOnly));
        QCOMPARE(file.errorString(),
                 QStringLiteral("ファイルではなくディレクトリを参照しています"));
    }

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

QTEST_MAIN(TestQtSetup)
#include "tst_qtsetup.moc"
