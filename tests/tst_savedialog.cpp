#include "app/mainwindow.h"
#include "app/memoedit.h"
#include "fakes/fakeclipboard.h"
#include "fakes/testfiles.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace pennoro;

namespace {

struct BoxSeen {
    QString text;
    QString title;
    QMessageBox::Icon icon;
};

struct DialogSeen {
    QString objectName;
    QString filterShown;
    QString folder;
    QString name; // the file name the dialog opened with
    QStringList listed;
};

// Answers the real message boxes and the real save dialog as a user would: each time one is
// open, the next step of the script handles it. Whatever is open when the script has run out,
// or after five seconds, is closed and counted as unexpected.
class ModalScript {
public:
    ModalScript()
    {
        clock_.start();
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start(10);
    }

    // Stops answering; true when every step ran and nothing unexpected opened.
    bool finish()
    {
        timer_.stop();
        if (!unexpected.isEmpty())
            qWarning() << "unexpected:" << unexpected;
        return steps_.isEmpty() && unexpected.isEmpty();
    }

    // A message box: read it and press OK.
    ModalScript& ok()
    {
        steps_.append([this](QWidget* window) {
            auto* box = qobject_cast<QMessageBox*>(window);
            if (!box)
                return fail(window);
            boxes.append({box->text(), box->windowTitle(), box->icon()});
            box->button(QMessageBox::Ok)->click();
            return true;
        });
        return *this;
    }

    // The save dialog: read it once its folder is listed, type the name (none: keep the name it
    // opened with) and press Return, or Escape to cancel.
    ModalScript& save(const QString& typed, bool cancel = false)
    {
        steps_.append([this, typed, cancel](QWidget* window) {
            auto* dialog = qobject_cast<QFileDialog*>(window);
            if (!dialog)
                return fail(window);
            auto* model = dialog->findChild<QFileSystemModel*>();
            const QModelIndex folder =
                dialog->findChild<QListView*>(QStringLiteral("listView"))->rootIndex();
            if (model->canFetchMore(folder) || model->rowCount(folder) == 0)
                return false;
            auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            auto* filter = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            DialogSeen seen{dialog->objectName(), filter->currentText(),
                            dialog->directory().absolutePath(), edit->text(), {}};
            for (int row = 0; row < model->rowCount(folder); ++row)
                seen.listed.append(model->index(row, 0, folder).data().toString());
            seen.listed.sort();
            dialogs.append(seen);
            if (!typed.isEmpty()) {
                edit->selectAll();
                QTest::keyClicks(edit, typed);
            }
            QTest::keyClick(edit, cancel ? Qt::Key_Escape : Qt::Key_Return);
            return true;
        });
        return *this;
    }

    QList<BoxSeen> boxes;
    QList<DialogSeen> dialogs;
    QStringList unexpected;

private:
    // Handles the open window; false to be called again later.
    using Step = std::function<bool(QWidget*)>;

    bool fail(QWidget* window)
    {
        unexpected.append(QString::fromLatin1(window->metaObject()->className()));
        if (auto* box = qobject_cast<QMessageBox*>(window))
            unexpected.append(box->text());
        if (auto* dialog = qobject_cast<QDialog*>(window))
            dialog->reject();
        return false;
    }

    void poll()
    {
        QWidget* window = QApplication::activeModalWidget();
        if (!window || !window->isVisible())
            return;
        if (steps_.isEmpty() || clock_.elapsed() > 5000)
            fail(window);
        else if (steps_.first()(window))
            steps_.removeFirst();
    }

    QList<Step> steps_;
    QTimer timer_;
    QElapsedTimer clock_;
};

const QString prefix = QStringLiteral("Pennoro Ver 2.0 - ");

} // namespace

// The export and the clipboard save through the real message boxes and the one real save dialog.
class TestSaveDialog : public QObject {
    Q_OBJECT

private slots:
    void oneDialogForTheWholeRun()
    {
        InTempDir dir;
        for (const char* name : {"a.TXT", "b.txt", "c.Txt", "d.html"})
            QVERIFY(writeBytes(dir.path(QString::fromLatin1(name)), "old"));
        FakeClipboard clipboard;
        MainWindow window(Services{nullptr, &clipboard});
        window.show();
        window.memo()->loadText(QStringLiteral("abc"));
        const QString chosen = dir.path(QStringLiteral("noext"));
        const auto run = [&](const QString& control, ModalScript& script) {
            window.findChild<QAction*>(control)->trigger();
            return script.finish();
        };

        // Export: the notice, then the dialog with the filter; "*.TXT" lists names in any case.
        ModalScript exporting;
        exporting.ok().save(QStringLiteral("noext"));
        QVERIFY(run(QStringLiteral("mnuFC"), exporting));
        QCOMPARE(exporting.boxes.size(), 1);
        QCOMPARE(exporting.boxes[0].text,
                 QStringLiteral("ﾃｷｽﾄﾌｧｲﾙに出力します。出力時に上書きﾁｪｯｸはされません!!"));
        QCOMPARE(exporting.boxes[0].title, QStringLiteral("Pennoro"));
        QCOMPARE(exporting.boxes[0].icon, QMessageBox::NoIcon);
        QCOMPARE(exporting.dialogs[0].objectName, QStringLiteral("CommonDialog1"));
        QCOMPARE(exporting.dialogs[0].filterShown, QStringLiteral("ﾉｰﾏﾙﾃｷｽﾄﾌｧｲﾙ(*.TXT)"));
        QCOMPARE(exporting.dialogs[0].listed, QStringList({"a.TXT", "b.txt", "c.Txt"}));
        QCOMPARE(fileBytes(chosen), QByteArray("abc\r\n"));
        QCOMPARE(window.windowTitle(), prefix + chosen);

        // Export again, type another name and cancel: nothing written, the prefix alone.
        window.memo()->setWholeText(QStringLiteral("second"));
        ModalScript cancelled;
        cancelled.ok().save(QStringLiteral("typed"), true);
        QVERIFY(run(QStringLiteral("mnuFC"), cancelled));
        QCOMPARE(cancelled.dialogs[0].name, QStringLiteral("noext"));
        QCOMPARE(cancelled.dialogs[0].folder, QDir(dir.path(QString())).absolutePath());
        QCOMPARE(window.windowTitle(), prefix);
        QCOMPARE(fileBytes(chosen), QByteArray("abc\r\n"));

        // The clipboard save opens the same dialog with the name chosen last and replaces the
        // file without a question.
        clipboard.content = QStringLiteral("clip");
        ModalScript saving;
        saving.ok().save(QString());
        QVERIFY(run(QStringLiteral("mnuFCS"), saving));
        QCOMPARE(saving.dialogs[0].name, QStringLiteral("noext"));
        QCOMPARE(fileBytes(chosen), QByteArray("clip\r\n"));
        QCOMPARE(window.windowTitle(), prefix);

        // The warnings carry the exclamation icon and their titles.
        window.memo()->setWholeText(QString());
        clipboard.content.reset();
        ModalScript warned;
        warned.ok().ok();
        window.findChild<QAction*>(QStringLiteral("mnuFC"))->trigger();
        QVERIFY(run(QStringLiteral("mnuFCS"), warned));
        QCOMPARE(warned.boxes[0].title, QStringLiteral("保存"));
        QCOMPARE(warned.boxes[0].icon, QMessageBox::Warning);
        QCOMPARE(warned.boxes[1].text, QStringLiteral("現在ｸﾘｯﾌﾟﾎﾞｰﾄﾞにﾃｷｽﾄﾃﾞｰﾀはありません。"));
        QCOMPARE(warned.boxes[1].title, QStringLiteral("Pennoro"));
        QCOMPARE(warned.boxes[1].icon, QMessageBox::Warning);
        QCOMPARE(window.windowTitle(), QStringLiteral("Pennoro Ver 2.0 - Normal"));
    }
};

QTEST_MAIN(TestSaveDialog)
#include "tst_savedialog.moc"
