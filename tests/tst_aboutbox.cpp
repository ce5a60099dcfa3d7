#include "about/aboutbox.h"
#include "fakes/fakeprompts.h"
#include "fakes/fakeshell.h"
#include "fakes/fakesysinfosystem.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>

namespace {

const QString homePage = QStringLiteral("https://www.example.org/pennoro/");
const QString gothic = QStringLiteral("ＭＳ ゴシック");
const QString credits =
    QStringLiteral("Copyright (C) Pennoro 開発者一同\n \n作者の許可なく転載することを禁止します。");

// Each control where the layout puts it, in pixels at 15 twips a pixel, with its text and its font
// where it has its own (no family: the dialog's default font).
const struct {
    const char* name;
    QRect geometry;
    QString text;
    QString family;
    qreal points;
    bool bold;
} controls[] = {
    {"picIcon", {8, 8, 36, 36}, {}, {}, 0, false},
    {"lblTitle", {64, 8, 323, 32}, "Pennoro", "Times New Roman", 15.75, true},
    {"lblVersion", {64, 40, 323, 15}, "ﾌﾟﾛｸﾞﾗﾑｳﾞｧｰｼﾞｮﾝ: 2.0.3", {}, 0, false},
    {"Label1", {8, 72, 377, 41}, credits, gothic, 9, false},
    {"Command1", {8, 120, 377, 17}, "HomePage: " + homePage, gothic, 9, false},
    {"Command2", {8, 144, 377, 17}, "E-Mail Address: pennoro@example.com", gothic, 9, false},
    {"Line1", {8, 176, 378, 1}, {}, {}, 0, false},
    {"cmdOK", {200, 184, 87, 23}, "OK(&O)", {}, 0, false},
    {"cmdSysInfo", {296, 184, 87, 23}, "ｼｽﾃﾑ情報(&S)", {}, 0, false},
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
    // A fixed dialog of 394 x 210 pixels; the title is blue and the line grey.
    void layoutTextsAndFonts()
    {
        Fixture f;
        const auto dialog = f.about.build(nullptr);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Pennoro ｳﾞｧｰｼﾞｮﾝ情報"));
        QCOMPARE(dialog->minimumSize(), QSize(394, 210));
        QCOMPARE(dialog->maximumSize(), QSize(394, 210));
        for (const auto& control : controls) {
            const auto* widget = dialog->findChild<QWidget*>(QLatin1String(control.name));
            QVERIFY2(widget, control.name);
            QCOMPARE(widget->geometry(), control.geometry);
            QCOMPARE(shownText(widget), control.text);
            if (control.family.isEmpty()) {
                QCOMPARE(widget->font(), dialog->font());
                continue;
            }
            QCOMPARE(widget->font().families().value(0), control.family);
            QCOMPARE(widget->font().pointSizeF(), control.points);
            QCOMPARE(widget->font().bold(), control.bold);
        }
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
        QTest::newRow("Enter") << 0 << QKeyCombination(Qt::Key_Return) << QStringList();
        QTest::newRow("Esc on a link") << 2 << QKeyCombination(Qt::Key_Escape) << QStringList();
        QTest::newRow("Alt+O on a link") << 1 << (Qt::ALT | Qt::Key_O) << QStringList();
        QTest::newRow("Enter on the homepage")
            << 1 << QKeyCombination(Qt::Key_Return) << QStringList{homePage};
        QTest::newRow("Space on the mail address")
            << 2 << QKeyCombination(Qt::Key_Space)
            << QStringList{QStringLiteral("mailto:pennoro@example.com")};
        QTest::newRow("Alt+S") << 2 << (Qt::ALT | Qt::Key_S) << QStringList{failed};
        QTest::newRow("Enter twice on the system information")
            << 3 << QKeyCombination(Qt::Key_Return) << QStringList{failed, failed};
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
