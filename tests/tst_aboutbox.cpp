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

template <typename Control = QWidget> Control* control(QDialog* dialog, const char* name)
{
    auto* found = dialog->findChild<Control*>(QLatin1String(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
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
            QCOMPARE(label ? label->text() : control<QPushButton>(dialog.get(), name)->text(),
                     text);
        }
        QTextDocument credits;
        credits.setHtml(control<QLabel>(dialog.get(), "Label1")->text());
        QCOMPARE(credits.toPlainText(), QStringLiteral("Copyright (C) Pennoro 開発者一同\n \n"
                                                       "作者の許可なく転載することを禁止します。"));
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
