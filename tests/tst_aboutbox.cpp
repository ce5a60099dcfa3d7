#include "about/aboutbox.h"
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

// The layout in pixels, at 15 twips a pixel, with each control's font where it has its own.
struct Placed {
    const char* name;
    QRect geometry;
    QString family; // empty: the dialog's default font
    qreal points;
    bool bold;
};
const Placed layout[] = {
    {"picIcon", {8, 8, 36, 36}, {}, 0, false},
    {"lblTitle", {64, 8, 323, 32}, QStringLiteral("Times New Roman"), 15.75, true},
    {"lblVersion", {64, 40, 323, 15}, {}, 0, false},
    {"Label1", {8, 72, 377, 41}, QStringLiteral("ＭＳ ゴシック"), 9, false},
    {"Command1", {8, 120, 377, 17}, QStringLiteral("ＭＳ ゴシック"), 9, false},
    {"Command2", {8, 144, 377, 17}, QStringLiteral("ＭＳ ゴシック"), 9, false},
    {"Line1", {8, 176, 378, 1}, {}, 0, false},
    {"cmdOK", {200, 184, 87, 23}, {}, 0, false},
    {"cmdSysInfo", {296, 184, 87, 23}, {}, 0, false},
};

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

    void texts()
    {
        const auto dialog = about_->build(nullptr);
        QCOMPARE(dialog->windowTitle(), caption);
        const std::pair<const char*, QString> texts[] = {
            {"lblTitle", QStringLiteral("Pennoro")},
            {"lblVersion", QStringLiteral("ﾌﾟﾛｸﾞﾗﾑｳﾞｧｰｼﾞｮﾝ: 2.0.3")},
            {"cmdOK", QStringLiteral("OK(&O)")},
            {"cmdSysInfo", QStringLiteral("ｼｽﾃﾑ情報(&S)")},
            {"Command1", QStringLiteral("HomePage: ") + homePage},
            {"Command2", QStringLiteral("E-Mail Address: pennoro@example.com")}};
        for (const auto& [name, text] : texts) {
            auto* label = dialog->findChild<QLabel*>(QLatin1String(name));
            auto* button = dialog->findChild<QPushButton*>(QLatin1String(name));
            QVERIFY2(label || button, name);
            QCOMPARE(label ? label->text() : button->text(), text);
        }
        QTextDocument credits;
        auto* label1 = dialog->findChild<QLabel*>(QStringLiteral("Label1"));
        QVERIFY(label1);
        credits.setHtml(label1->text());
        QCOMPARE(credits.toPlainText(), QStringLiteral("Copyright (C) Pennoro 開発者一同\n \n"
                                                       "作者の許可なく転載することを禁止します。"));
    }

    // A fixed dialog of 394 x 210 pixels, each control where the layout puts it, in its font; the
    // title is blue and the line grey.
    void layoutAndFonts()
    {
        const auto dialog = about_->build(nullptr);
        QCOMPARE(dialog->minimumSize(), QSize(394, 210));
        QCOMPARE(dialog->maximumSize(), QSize(394, 210));
        const QFont standard = dialog->font();
        for (const Placed& placed : layout) {
            auto* widget = dialog->findChild<QWidget*>(QLatin1String(placed.name));
            QVERIFY2(widget, placed.name);
            QCOMPARE(widget->geometry(), placed.geometry);
            if (placed.family.isEmpty()) {
                QCOMPARE(widget->font(), standard);
                continue;
            }
            QCOMPARE(widget->font().families().value(0), placed.family);
            QCOMPARE(widget->font().pointSizeF(), placed.points);
            QCOMPARE(widget->font().bold(), placed.bold);
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
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QStringList>("opened"); // addresses and messages; none: the dialog closes

        QTest::newRow("Enter") << 0 << int(Qt::Key_Return) << 0 << QStringList();
        QTest::newRow("keypad Enter")
            << 0 << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << QStringList();
        QTest::newRow("Esc on a link") << 2 << int(Qt::Key_Escape) << 0 << QStringList();
        QTest::newRow("Alt+O on a link")
            << 1 << int(Qt::Key_O) << int(Qt::AltModifier) << QStringList();
        QTest::newRow("Enter on the homepage")
            << 1 << int(Qt::Key_Return) << 0 << QStringList{homePage};
        QTest::newRow("Space on the mail address")
            << 2 << int(Qt::Key_Space) << 0
            << QStringList{QStringLiteral("mailto:pennoro@example.com")};
        const QString failed = QStringLiteral("Pennoro, no icon: ｼｽﾃﾑ情報をｵｰﾌﾟﾝ出来ませんでした");
        QTest::newRow("Alt+S") << 2 << int(Qt::Key_S) << int(Qt::AltModifier)
                               << QStringList{failed};
        QTest::newRow("Enter twice on the system information")
            << 3 << int(Qt::Key_Return) << 0 << QStringList{failed, failed};
    }

    void keys()
    {
        QFETCH(int, tabs);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QStringList, opened);

        const auto dialog = shown();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        for (int tab = 0; tab < tabs; ++tab)
            QTest::keyClick(dialog->windowHandle(), Qt::Key_Tab);
        for (qsizetype press = 0; press < std::max(opened.size(), qsizetype(1)); ++press)
            QTest::keyClick(dialog->windowHandle(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QTRY_COMPARE(dialog->isVisible(), !opened.isEmpty());
        QTRY_COMPARE(shell_.opened + prompts_.shown(), opened); // access keys animate a moment
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
        return dialog;
    }

    FakePrompts prompts_;
    FakeShell shell_;
    FakeSysInfoSystem system_;
    std::unique_ptr<pennoro::AboutBox> about_;
};

QTEST_MAIN(TestAboutBox)
#include "tst_aboutbox.moc"
