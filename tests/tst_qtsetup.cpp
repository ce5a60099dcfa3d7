#include "app/qtsetup.h"
#include "memo/memoedit.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSaveFile>
#include <QTest>

#include <memory>

using namespace pennoro;

// Qt's own words, wherever the user meets them, are Japanese whatever the system's language.
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
};

QTEST_MAIN(TestQtSetup)
#include "tst_qtsetup.moc"
