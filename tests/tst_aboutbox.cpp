#include "about/aboutbox.h"
#include "fakes/fakeprompts.h"
#include "fakes/fakeshell.h"
#include "fakes/fakesysinfosystem.h"

#include "about/sysinfolauncher.h"
#include "platform/registry.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>

namespace {

const QString caption = QStringLiteral("Pennoro ｳﾞｧｰｼﾞｮﾝ情報");

template <typename Control = QWidget> Control* control(QDialog* dialog, const char* name)
{
    auto* found = dialog->findChild<Control*>(QLatin1String(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

QPushButton* button(QDialog* dialog, const char* name)
{
    return control<QPushButton>(dialog, name);
}

} // namespace

class TestAboutBox : public QObject {
    Q_OBJECT

private slots:
    void init();
    void showsTitleAndVersion();
    void layout_data();
    void layout();
    void fonts();
    void focusOrder();
    void linksOpenTheirAddresses();
    void sysInfoFailureShowsOneMessage();
    void sysInfoStartsTheTool();
    void keysClose_data();
    void keysClose();
    void enterPressesTheFocusedButton();
    void eachOpeningIsFresh();

private:
    std::unique_ptr<QDialog> shown();

    FakePrompts prompts_;
    FakeShell shell_;
    FakeSysInfoSystem system_;
    std::unique_ptr<pennoro::AboutBox> about_;
};

void TestAboutBox::init()
{
    prompts_ = {};
    shell_.opened.clear();
    system_.files.clear();
    system_.started.clear();
    about_ = std::make_unique<pennoro::AboutBox>(prompts_, shell_, system_);
}

std::unique_ptr<QDialog> TestAboutBox::shown()
{
    auto dialog = about_->build(nullptr);
    dialog->show();
    dialog->activateWindow();
    if (!QTest::qWaitForWindowActive(dialog.get()))
        qWarning("the dialog did not become active");
    return dialog;
}

void TestAboutBox::showsTitleAndVersion()
{
    const auto dialog = about_->build(nullptr);
    QCOMPARE(dialog->objectName(), QStringLiteral("frmAbout"));
    QCOMPARE(dialog->windowTitle(), caption);
    QCOMPARE(control<QLabel>(dialog.get(), "lblTitle")->text(), QStringLiteral("Pennoro"));
    QCOMPARE(control<QLabel>(dialog.get(), "lblVersion")->text(),
             QStringLiteral("ﾌﾟﾛｸﾞﾗﾑｳﾞｧｰｼﾞｮﾝ: 2.0.3"));
    QCOMPARE(button(dialog.get(), "cmdOK")->text(), QStringLiteral("OK(&O)"));
    QCOMPARE(button(dialog.get(), "cmdSysInfo")->text(), QStringLiteral("ｼｽﾃﾑ情報(&S)"));
    // A credit line, an empty line and the notice.
    QTextDocument credits;
    credits.setHtml(control<QLabel>(dialog.get(), "Label1")->text());
    QCOMPARE(credits.blockCount(), 3);
    QVERIFY(credits.findBlockByNumber(0).text().contains(QStringLiteral("Pennoro")));
    QCOMPARE(credits.findBlockByNumber(1).text().trimmed(), QString());
    QVERIFY(credits.findBlockByNumber(2).text().contains(QStringLiteral("転載")));
    QVERIFY(!control<QLabel>(dialog.get(), "picIcon")->pixmap().isNull());
}

void TestAboutBox::layout_data()
{
    QTest::addColumn<QRect>("geometry");
    // Pixels at 15 twips each.
    QTest::newRow("picIcon") << QRect(8, 8, 36, 36);
    QTest::newRow("lblTitle") << QRect(64, 8, 323, 32);
    QTest::newRow("lblVersion") << QRect(64, 40, 323, 15);
    QTest::newRow("Label1") << QRect(8, 72, 377, 41);
    QTest::newRow("Command1") << QRect(8, 120, 377, 17);
    QTest::newRow("Command2") << QRect(8, 144, 377, 17);
    QTest::newRow("Line1") << QRect(8, 176, 378, 1);
    QTest::newRow("cmdOK") << QRect(200, 184, 87, 23);
    QTest::newRow("cmdSysInfo") << QRect(296, 184, 87, 23);
}

void TestAboutBox::layout()
{
    QFETCH(QRect, geometry);
    const auto dialog = about_->build(nullptr);
    QCOMPARE(dialog->minimumSize(), QSize(394, 210));
    QCOMPARE(dialog->maximumSize(), QSize(394, 210));
    QCOMPARE(control(dialog.get(), QTest::currentDataTag())->geometry(), geometry);
}

void TestAboutBox::fonts()
{
    const auto dialog = about_->build(nullptr);
    auto* title = control<QLabel>(dialog.get(), "lblTitle");
    QCOMPARE(title->font().families().value(0), QStringLiteral("Times New Roman"));
    QCOMPARE(title->font().pointSizeF(), 15.75);
    QCOMPARE(title->font().weight(), QFont::Bold);
    QCOMPARE(title->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    for (const char* name : {"Label1", "Command1", "Command2"}) {
        const QFont font = control(dialog.get(), name)->font();
        QCOMPARE(font.families().value(0), QStringLiteral("ＭＳ ゴシック"));
        QCOMPARE(font.pointSizeF(), 9.0);
        QCOMPARE(font.weight(), QFont::Normal);
    }
}

void TestAboutBox::focusOrder()
{
    const auto dialog = shown();
    QCOMPARE(QApplication::focusWidget(), button(dialog.get(), "cmdOK"));
    for (const char* name : {"Command1", "Command2", "cmdSysInfo", "cmdOK"}) {
        QTest::keyClick(dialog->windowHandle(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QLatin1String(name));
    }
    for (const char* name : {"picIcon", "lblTitle", "lblVersion", "Label1"})
        QCOMPARE(control(dialog.get(), name)->focusPolicy(), Qt::NoFocus);
}

void TestAboutBox::linksOpenTheirAddresses()
{
    const auto dialog = shown();
    QTest::mouseClick(button(dialog.get(), "Command1"), Qt::LeftButton);
    QTest::mouseClick(button(dialog.get(), "Command2"), Qt::LeftButton);
    QCOMPARE(shell_.opened, QStringList({QStringLiteral("https://www.example.org/pennoro/"),
                                         QStringLiteral("mailto:pennoro@example.com")}));
    // The captions name the same addresses, and the dialog stays open.
    QCOMPARE(button(dialog.get(), "Command1")->text(),
             QStringLiteral("HomePage: https://www.example.org/pennoro/"));
    QCOMPARE(button(dialog.get(), "Command2")->text(),
             QStringLiteral("E-Mail Address: pennoro@example.com"));
    QVERIFY(dialog->isVisible());
}

void TestAboutBox::sysInfoFailureShowsOneMessage()
{
    const auto dialog = shown();
    // Alt+S and a click: each failure shows the message again.
    // An access key presses its button with a short animation.
    QTest::keyClick(dialog->windowHandle(), Qt::Key_S, Qt::AltModifier);
    QTRY_COMPARE(prompts_.messages.size(), 1);
    QTest::mouseClick(button(dialog.get(), "cmdSysInfo"), Qt::LeftButton);
    QCOMPARE(prompts_.messages.size(), 2);
    for (const auto& message : prompts_.messages) {
        QCOMPARE(message.text, QStringLiteral("ｼｽﾃﾑ情報をｵｰﾌﾟﾝ出来ませんでした"));
        QCOMPARE(message.title, QStringLiteral("Pennoro"));
        QCOMPARE(message.icon, pennoro::Prompts::Icon::None);
    }
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->windowTitle(), caption);
}

void TestAboutBox::sysInfoStartsTheTool()
{
    const std::string tool = "C:\\Program Files\\MSInfo\\msinfo32.exe";
    system_.fakeRegistry.setValue(pennoro::Registry::localMachine, pennoro::sysinfo::toolPathKey,
                                  pennoro::sysinfo::toolPathValue, pennoro::Registry::text,
                                  tool + '\0');
    system_.files = {tool};
    const auto dialog = shown();
    QTest::mouseClick(button(dialog.get(), "cmdSysInfo"), Qt::LeftButton);
    QCOMPARE(system_.started, std::vector{tool});
    QVERIFY(prompts_.messages.isEmpty());
    QVERIFY(dialog->isVisible());
}

void TestAboutBox::keysClose_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");

    QTest::newRow("Enter") << QStringLiteral("cmdOK") << int(Qt::Key_Return) << 0;
    QTest::newRow("keypad Enter") << QStringLiteral("cmdOK") << int(Qt::Key_Enter)
                                  << int(Qt::KeypadModifier);
    QTest::newRow("Esc on OK") << QStringLiteral("cmdOK") << int(Qt::Key_Escape) << 0;
    QTest::newRow("Esc on a link") << QStringLiteral("Command2") << int(Qt::Key_Escape) << 0;
    QTest::newRow("Alt+O on a link")
        << QStringLiteral("Command1") << int(Qt::Key_O) << int(Qt::AltModifier);
}

void TestAboutBox::keysClose()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(int, modifiers);

    const auto dialog = shown();
    dialog->findChild<QWidget*>(focus)->setFocus();
    QTest::keyClick(dialog->windowHandle(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QTRY_VERIFY(!dialog->isVisible());
    QVERIFY(shell_.opened.isEmpty());
}

void TestAboutBox::enterPressesTheFocusedButton()
{
    const auto dialog = shown();
    button(dialog.get(), "Command1")->setFocus();
    QTest::keyClick(dialog->windowHandle(), Qt::Key_Return);
    QCOMPARE(shell_.opened, QStringList{QStringLiteral("https://www.example.org/pennoro/")});
    QVERIFY(dialog->isVisible());
}

void TestAboutBox::eachOpeningIsFresh()
{
    // A stand-in for the main window: the About box leaves its memo and caption alone.
    QWidget window;
    window.setWindowTitle(QStringLiteral("Pennoro Ver 2.0 - Normal"));
    auto* memo = new QPlainTextEdit(QStringLiteral("<B>abc</B>\r\n"), &window);
    QTextCursor selection = memo->textCursor();
    selection.setPosition(3);
    selection.setPosition(6, QTextCursor::KeepAnchor);
    memo->setTextCursor(selection);
    window.show();

    QList<QPointer<QDialog>> opened;
    QStringList captions;
    const auto closeWhenShown = [&] {
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            opened.append(dialog);
            captions.append(dialog->windowTitle() + u'|' +
                            control<QLabel>(dialog, "lblVersion")->text() + u'|' +
                            control<QLabel>(dialog, "lblTitle")->text());
            QTest::keyClick(dialog->windowHandle(), Qt::Key_Escape);
        });
    };
    for (int opening = 0; opening < 2; ++opening) {
        closeWhenShown();
        about_->exec(&window);
    }

    QCOMPARE(captions.size(), 2);
    QCOMPARE(captions.first(), caption + QStringLiteral("|ﾌﾟﾛｸﾞﾗﾑｳﾞｧｰｼﾞｮﾝ: 2.0.3|Pennoro"));
    QCOMPARE(captions.last(), captions.first());
    // Each opening built its own window, destroyed when it closed.
    QVERIFY(opened.first() != opened.last() || opened.first().isNull());
    QVERIFY(opened.first().isNull() && opened.last().isNull());
    QCOMPARE(memo->toPlainText(), QStringLiteral("<B>abc</B>\n"));
    QCOMPARE(memo->textCursor().selectedText(), QStringLiteral("abc"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Pennoro Ver 2.0 - Normal"));
}

QTEST_MAIN(TestAboutBox)
#include "tst_aboutbox.moc"
