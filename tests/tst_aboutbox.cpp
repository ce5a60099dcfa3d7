#include "about/aboutbox.h"
#include "fakes/fakeprompts.h"
#include "fakes/fakeshell.h"
#include "fakes/fakesysinfosystem.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>

using namespace Qt::StringLiterals;

namespace {

const QString homePage = QStringLiteral("https://www.example.org/pennoro/");

// Each control with its text and, where it has its own, its font.
const QStringList controls = {
    u"picIcon: "_s,
    u"lblTitle: Pennoro / Times New Roman 15.75 bold"_s,
    u"lblVersion: ﾌﾟﾛｸﾞﾗﾑｳﾞｧｰｼﾞｮﾝ: 2.0.3"_s,
    u"Label1: Copyright (C) Pennoro 開発者一同\n \n作者の許可なく転載することを禁止します。 / ＭＳ ゴシック 9"_s,
    u"Command1: HomePage: https://www.example.org/pennoro/ / ＭＳ ゴシック 9"_s,
    u"Command2: E-Mail Address: pennoro@example.com / ＭＳ ゴシック 9"_s,
    u"Line1: "_s,
    u"cmdOK: OK(&O)"_s,
    u"cmdSysInfo: ｼｽﾃﾑ情報(&S)"_s,
};

// The About box over fake services.
struct Fixture {
    FakePrompts prompts;
    FakeShell shell;
    FakeSysInfoSystem system;
    pennoro::AboutBox about{prompts, shell, system};
};

// What a label or a button shows, rich text as the plain text it reads as.
QString shownText(const QWidget* widget)
{
    if (const auto* button = qobject_cast<const QPushButton*>(widget))
        return button->text();
    QTextDocument document;
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        document.setHtml(label->text());
    return document.toPlainText();
}

} // namespace

class TestAboutBox : public QObject {
    Q_OBJECT

private slots:
    // A fixed dialog; the title is blue and the line grey.
    void textsAndFonts()
    {
        Fixture f;
        const auto dialog = f.about.build(nullptr);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Pennoro ｳﾞｧｰｼﾞｮﾝ情報"));
        QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
        QStringList shown;
        for (const QString& control : controls) {
            const QString name = control.section(u':', 0, 0);
            const auto* widget = dialog->findChild<QWidget*>(name);
            QVERIFY2(widget, qPrintable(name));
            const QFont font = widget->font();
            shown.append(name + u": "_s + shownText(widget) +
                         (font == dialog->font() ? QString()
                                                 : u" / %1 %2%3"_s.arg(font.families().value(0))
                                                       .arg(font.pointSizeF())
                                                       .arg(font.bold() ? u" bold" : u"")));
        }
        QCOMPARE(shown, controls);
        const auto colour = [&](const char* name, QPalette::ColorRole role) {
            return dialog->findChild<QWidget*>(QLatin1String(name))->palette().color(role);
        };
        QCOMPARE(colour("lblTitle", QPalette::WindowText), QColor(0, 0, 255));
        QCOMPARE(colour("Line1", QPalette::Window), QColor(128, 128, 128));
    }

    // Enter presses the focused button, OK at first; Esc and Alt+O close from anywhere. The links
    // and the system information, reached by Tab or Alt+S, open and leave the dialog open; without
    // the tool, each press says so.
    void keys_data()
    {
        QTest::addColumn<int>("tabs");
        QTest::addColumn<QKeyCombination>("key");
        QTest::addColumn<QStringList>("opened"); // addresses and messages; none: the dialog closes

        const QString failed = QStringLiteral("Pennoro, no icon: ｼｽﾃﾑ情報をｵｰﾌﾟﾝ出来ませんでした");
        const QKeyCombination enter(Qt::Key_Return);
        // clang-format off
        QTest::newRow("Enter") << 0 << enter << QStringList();
        QTest::newRow("Esc on a link") << 2 << QKeyCombination(Qt::Key_Escape) << QStringList();
        QTest::newRow("Alt+O on a link") << 1 << (Qt::ALT | Qt::Key_O) << QStringList();
        QTest::newRow("Enter on the homepage") << 1 << enter << QStringList{homePage};
        QTest::newRow("Space on the mail address") << 2 << QKeyCombination(Qt::Key_Space) << QStringList{"mailto:pennoro@example.com"};
        QTest::newRow("Alt+S") << 2 << (Qt::ALT | Qt::Key_S) << QStringList{failed};
        QTest::newRow("Enter twice on the system information") << 3 << enter << QStringList{failed, failed};
        // clang-format on
    }

    void keys()
    {
        QFETCH(int, tabs);
        QFETCH(QKeyCombination, key);
        QFETCH(QStringList, opened);

        Fixture f;
        const auto dialog = f.about.build(nullptr);
        dialog->show();
        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        for (int tab = 0; tab < tabs; ++tab)
            QTest::keyClick(dialog->windowHandle(), Qt::Key_Tab);
        for (qsizetype press = 0; press < std::max(opened.size(), qsizetype(1)); ++press)
            QTest::keyClick(dialog->windowHandle(), key.key(), key.keyboardModifiers());
        QTRY_COMPARE(dialog->isVisible(), !opened.isEmpty());
        QTRY_COMPARE(f.shell.opened + f.prompts.shown(), opened); // access keys animate a moment
    }
};

QTEST_MAIN(TestAboutBox)
#include "tst_aboutbox.moc"
