#include "about/aboutbox.h"
#include "about/sysinfolauncher.h"
#include "fakes/fakeprompts.h"
#include "fakes/fakeshell.h"
#include "fakes/fakesysinfosystem.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>
#include <QTimer>

namespace {

const QString caption = QStringLiteral("Pennoro ｳﾞｧｰｼﾞｮﾝ情報");
const QString homePage = QStringLiteral("https://www.example.org/pennoro/");

template <typename Control = QWidget> Control* control(QDialog* dialog, const char* name)
{
    auto* found = dialog->findChild<Control*>(QLatin1String(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

QString text(QDialog* dialog, const char* name)
{
    if (auto* label = qobject_cast<QLabel*>(control(dialog, name)))
        return label->text();
    return control<QPushButton>(dialog, name)->text();
}

} // namespace

class TestAboutBox : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        prompts_ = {};
        shell_.opened.clear();
        system_ = {};
        about_ = std::make_unique<pennoro::AboutBox>(prompts_, shell_, system_);
    }

    // Texts, geometry in pixels of 15 twips, fonts.
    void appearance()
    {
        const auto dialog = about_->build(nullptr);
        QCOMPARE(dialog->windowTitle(), caption);
        QCOMPARE(text(dialog.get(), "lblTitle"), QStringLiteral("Pennoro"));
        QCOMPARE(text(dialog.get(), "lblVersion"), QStringLiteral("ﾌﾟﾛｸﾞﾗﾑｳﾞｧｰｼﾞｮﾝ: 2.0.3"));
        QCOMPARE(text(dialog.get(), "cmdOK"), QStringLiteral("OK(&O)"));
        QCOMPARE(text(dialog.get(), "cmdSysInfo"), QStringLiteral("ｼｽﾃﾑ情報(&S)"));
        QCOMPARE(text(dialog.get(), "Command1"), QStringLiteral("HomePage: ") + homePage);
        QCOMPARE(text(dialog.get(), "Command2"),
                 QStringLiteral("E-Mail Address: pennoro@example.com"));
        QTextDocument credits;
        credits.setHtml(text(dialog.get(), "Label1"));
        QCOMPARE(credits.toPlainText(), QStringLiteral("Copyright (C) Pennoro 開発者一同\n \n"
                                                       "作者の許可なく転載することを禁止します。"));
        QVERIFY(!control<QLabel>(dialog.get(), "picIcon")->pixmap().isNull());

        QCOMPARE(dialog->minimumSize(), QSize(394, 210));
        QCOMPARE(dialog->maximumSize(), QSize(394, 210));
        const std::pair<const char*, QRect> geometries[] = {
            {"picIcon", {8, 8, 36, 36}},       {"lblTitle", {64, 8, 323, 32}},
            {"lblVersion", {64, 40, 323, 15}}, {"Label1", {8, 72, 377, 41}},
            {"Command1", {8, 120, 377, 17}},   {"Command2", {8, 144, 377, 17}},
            {"Line1", {8, 176, 378, 1}},       {"cmdOK", {200, 184, 87, 23}},
            {"cmdSysInfo", {296, 184, 87, 23}}};
        for (const auto& [name, geometry] : geometries)
            QCOMPARE(control(dialog.get(), name)->geometry(), geometry);

        const QFont title = control(dialog.get(), "lblTitle")->font();
        QCOMPARE(title.families().value(0), QStringLiteral("Times New Roman"));
        QCOMPARE(title.pointSizeF(), 15.75);
        QCOMPARE(title.weight(), QFont::Bold);
        QCOMPARE(control(dialog.get(), "lblTitle")->palette().color(QPalette::WindowText),
                 QColor(0, 0, 255));
        for (const char* name : {"Label1", "Command1", "Command2"}) {
            const QFont font = control(dialog.get(), name)->font();
            QCOMPARE(font.families().value(0), QStringLiteral("ＭＳ ゴシック"));
            QCOMPARE(font.pointSizeF(), 9.0);
            QCOMPARE(font.weight(), QFont::Normal);
        }
    }

    void focusOrder()
    {
        const auto dialog = shown();
        QCOMPARE(QApplication::focusWidget(), control(dialog.get(), "cmdOK"));
        for (const char* name : {"Command1", "Command2", "cmdSysInfo", "cmdOK"}) {
            QTest::keyClick(dialog->windowHandle(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), QLatin1String(name));
        }
    }

    // Alt+S and a click: each failure shows the one message again; with the tool there, it starts.
    void sysInfo()
    {
        const auto dialog = shown();
        QTest::keyClick(dialog->windowHandle(), Qt::Key_S, Qt::AltModifier);
        QTRY_COMPARE(prompts_.messages.size(), 1); // an access key presses with a short animation
        auto* button = control<QPushButton>(dialog.get(), "cmdSysInfo");
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(prompts_.messages.size(), 2);
        for (const auto& message : prompts_.messages) {
            QCOMPARE(message.text, QStringLiteral("ｼｽﾃﾑ情報をｵｰﾌﾟﾝ出来ませんでした"));
            QCOMPARE(message.title, QStringLiteral("Pennoro"));
            QCOMPARE(message.icon, pennoro::Prompts::Icon::None);
        }

        const std::string tool = "C:\\Program Files\\MSInfo\\msinfo32.exe";
        system_.fakeRegistry.setValue(
            pennoro::Registry::localMachine, pennoro::sysinfo::toolPathKey,
            pennoro::sysinfo::toolPathValue, pennoro::Registry::text, tool);
        system_.files = {tool};
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(system_.started, std::vector{tool});
        QCOMPARE(prompts_.messages.size(), 2);
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), caption);
    }

    // Enter presses the focused button, OK by default; Esc and Alt+O close from anywhere. The links
    // open their addresses and leave the dialog open.
    void keys_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QStringList>("opened"); // nothing opened: the dialog closes

        const QStringList none;
        QTest::newRow("Enter") << "cmdOK" << int(Qt::Key_Return) << 0 << none;
        QTest::newRow("keypad Enter")
            << "cmdOK" << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << none;
        QTest::newRow("Esc on a link") << "Command2" << int(Qt::Key_Escape) << 0 << none;
        QTest::newRow("Alt+O on a link")
            << "Command1" << int(Qt::Key_O) << int(Qt::AltModifier) << none;
        QTest::newRow("Enter on the homepage")
            << "Command1" << int(Qt::Key_Return) << 0 << QStringList{homePage};
        QTest::newRow("Space on the mail address")
            << "Command2" << int(Qt::Key_Space) << 0
            << QStringList{QStringLiteral("mailto:pennoro@example.com")};
    }

    void keys()
    {
        QFETCH(QString, focus);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QStringList, opened);

        const auto dialog = shown();
        dialog->findChild<QWidget*>(focus)->setFocus();
        QTest::keyClick(dialog->windowHandle(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QTRY_COMPARE(dialog->isVisible(), !opened.isEmpty());
        QCOMPARE(shell_.opened, opened);
    }

    // Each opening builds its own dialog, destroyed when it closes.
    void eachOpeningIsFresh()
    {
        QWidget window;
        window.show();
        QList<QPointer<QDialog>> opened;
        for (int opening = 0; opening < 2; ++opening) {
            QTimer::singleShot(0, [&] {
                auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
                QVERIFY(dialog);
                QCOMPARE(dialog->windowTitle(), caption);
                opened.append(dialog);
                QTest::keyClick(dialog->windowHandle(), Qt::Key_Escape);
            });
            about_->exec(&window);
        }
        QCOMPARE(opened.size(), 2);
        QVERIFY(opened.first().isNull() && opened.last().isNull());
    }

private:
    std::unique_ptr<QDialog> shown()
    {
        auto dialog = about_->build(nullptr);
        dialog->show();
        dialog->activateWindow();
        if (!QTest::qWaitForWindowActive(dialog.get()))
            qWarning("the dialog did not become active");
        return dialog;
    }

    FakePrompts prompts_;
    FakeShell shell_;
    FakeSysInfoSystem system_;
    std::unique_ptr<pennoro::AboutBox> about_;
};

QTEST_MAIN(TestAboutBox)
#include "tst_aboutbox.moc"
