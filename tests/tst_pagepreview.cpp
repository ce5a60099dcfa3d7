// The memory menu's browser preview: the page it writes, where, and what it leaves alone.

#include "edit/pagepreview.h"
#include "fakes/testfiles.h"
#include "fakes/testwindow.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QUrl>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>
#endif

using namespace pennoro;
using namespace Qt::StringLiterals;

namespace {

const QByteArray byteOrderMark("\xEF\xBB\xBF");
// The folder the page's links start from, escaped in its base.
const QString site = QStringLiteral("/tmp/ﾍﾟ #&\"/");
const QString siteBase =
    QStringLiteral("<BASE HREF=\"file:///tmp/%EF%BE%8D%EF%BE%9F%20%23&amp;%22/\">");

// The folder the preview's folder is made in: the runtime folder, on Windows the temporary one.
#ifdef Q_OS_WIN
constexpr char runtimeVariable[] = "TMP";
#else
constexpr char runtimeVariable[] = "XDG_RUNTIME_DIR";
#endif

// Sets an environment variable (a null value takes it away) until the guard it gives ends.
auto environment(const char* name, const QString& value)
{
    std::optional<QByteArray> previous;
    if (qEnvironmentVariableIsSet(name))
        previous = qgetenv(name);
    value.isNull() ? qunsetenv(name) : qputenv(name, QFile::encodeName(value));
    return qScopeGuard([name, previous] { previous ? qputenv(name, *previous) : qunsetenv(name); });
}

// What the command must leave as it was: memo, selection, caption, undo and redo steps.
QString untouched(TestWindow& t)
{
    const QTextDocument& document = *t.memo().document();
    return QDebug::toString(QVariantList{t.memo().wholeText(), t.memo().selectedText(),
                                         t.window.windowTitle(), document.availableUndoSteps(),
                                         document.availableRedoSteps()});
}

} // namespace

class TestPagePreview : public QObject {
    Q_OBJECT

private slots:
    // Where the base goes, or that none does.
    void page_data()
    {
        QTest::addColumn<QString>("page"); // the memo with "^" where the base goes
        const QString doctype =
            QStringLiteral("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">");
        QTest::newRow("no doctype: at the start") << "^<P>ﾃｽﾄ</P>";
        QTest::newRow("empty memo") << "^";
        QTest::newRow("right after the doctype") << doctype + "^\r\n<HTML>";
        QTest::newRow("lower-case doctype after white space, an XML declaration and a comment")
            << " \r\n<?xml version=\"1.0\"?>\r\n<!-- top -->\r\n<!doctype html>^<p>";
        QTest::newRow("doctype after a byte order mark in the memo") << "\uFEFF<!DOCTYPE html>^x";
        QTest::newRow("a comment and no doctype") << "^<!-- <!DOCTYPE html> -->\r\n<HTML>";
        QTest::newRow("white space and no doctype") << "^\r\n  <HTML>";
        QTest::newRow("a doctype after text is no leading doctype") << "^x<!DOCTYPE html>";
        QTest::newRow("an unclosed doctype") << "^<!DOCTYPE html";
        QTest::newRow("the memo's own base, any case: none added")
            << doctype + "<head><Base\r\nhref=\"http://example.org/\">";
        QTest::newRow("<BASEFONT> is not <BASE>") << "^<BASEFONT SIZE=4>ｱ";
        QTest::newRow("characters code page 932 cannot hold, as they are")
            << "^😀\u00A5한\u00BD\r\n";
    }

    void page()
    {
        QFETCH(QString, page);
        const QString memo = QString(page).remove(u'^');
        QCOMPARE(pagepreview::pageBytes(memo, site),
                 byteOrderMark + page.replace(u'^', siteBase).toUtf8());
    }

    // F6 (the menu item's key) writes the page into the program's runtime folder and hands its
    // file to the browser, each preview over the one before; a preview that cannot be shown says
    // why. Either way nothing else changes, and nothing is written where Qt would have put it
    // instead.
    void preview_data()
    {
        QTest::addColumn<QString>("setup");  // what the runtime folder is like
        QTest::addColumn<QString>("path");   // named in the message, under the runtime folder
        QTest::addColumn<QString>("reason"); // null: the system's
        const QString noRuntimeFolder = u"ﾕｰｻﾞｰ専用の実行時ﾌｫﾙﾀﾞ(XDG_RUNTIME_DIR)がありません"_s;
        // clang-format off
        QTest::newRow("shown") << u"fit"_s << QString() << QString();
#ifdef Q_OS_UNIX
        QTest::newRow("runtime folder not the user's alone") << u"group may read"_s << u""_s << noRuntimeFolder;
        QTest::newRow("no runtime folder at all") << u"none"_s << QString() << noRuntimeFolder;
#endif
        QTest::newRow("the program's folder is a file") << u"pennoro file"_s << u"pennoro"_s << u"ﾌｫﾙﾀﾞではありません"_s;
        QTest::newRow("page not written") << u"preview folder"_s << u"pennoro/preview.html"_s << QString();
        QTest::newRow("no browser") << u"no browser"_s << u"pennoro/preview.html"_s << u"ﾍﾟｰｼﾞを開くﾌﾞﾗｳｻﾞが見つかりません"_s;
        // clang-format on
    }

    void preview()
    {
        QFETCH(QString, setup);
        QFETCH(QString, path);
        QFETCH(QString, reason);
        QTemporaryDir scratch;
        const QString runtime = scratch.filePath("runtime");
        const QString temporary = scratch.filePath("tmp");
        QVERIFY(QDir().mkdir(runtime) && QDir().mkdir(temporary));
        QVERIFY(QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner |
                                                   QFile::ExeOwner | QFile::ReadUser |
                                                   QFile::WriteUser | QFile::ExeUser));
        // Where Qt looks for a runtime folder of its own when the named one is not fit.
        const auto inTemporary = environment("TMPDIR", temporary);
        const auto inRuntime = environment(runtimeVariable, setup == "none" ? QString() : runtime);
        InTempDir dir;
        TestWindow t;
        QVERIFY(t.ready());
#ifdef Q_OS_UNIX
        if (setup == "group may read")
            QVERIFY(QFile::setPermissions(runtime, QFileInfo(runtime).permissions() |
                                                       QFile::ReadGroup | QFile::ExeGroup));
        if (setup == "none")
            QVERIFY(writeBytes(temporary + "/runtime-" + getpwuid(geteuid())->pw_name, "x"));
#endif
        if (setup == "pennoro file")
            QVERIFY(writeBytes(runtime + "/pennoro", "x"));
        if (setup == "preview folder")
            QVERIFY(QDir().mkpath(runtime + "/pennoro/preview.html"));
        t.shell.opensFiles = setup != "no browser";
        const bool shows = setup == "fit";
        t.clipboard.content = u"clip"_s;
        const QString file = runtime + "/pennoro/preview.html";
        for (const QString& memo : {u"<!DOCTYPE html><P>ﾍﾟｰｼﾞ😀"_s, u"<P>ﾒﾓ"_s}) {
            t.memo().setWholeText(memo);
            t.select(2, 3);
            const QString before = untouched(t);
            t.shell.opened.clear();
            QTest::keyClick(&t.memo(), Qt::Key_F6);
            QCOMPARE(untouched(t), before);
            if (!shows)
                break;
            QCOMPARE(t.shell.opened, QStringList(QUrl::fromLocalFile(file).toString()));
            QCOMPARE(fileBytes(file), pagepreview::pageBytes(memo, QDir::currentPath()));
        }
        const QStringList shown = t.prompts.shown();
        if (shows) {
            QCOMPARE(shown, QStringList());
#ifdef Q_OS_UNIX
            // The folder is the user's alone whatever the umask.
            const auto owner = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
            const auto others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
            QCOMPARE(QFileInfo(runtime + "/pennoro").permissions() & (owner | others), owner);
#endif
        } else {
            QCOMPARE(shown.size(), 1);
            const QString where =
                path.isNull()
                    ? QString()
                    : QDir::toNativeSeparators(QDir::cleanPath(runtime + '/' + path)) + "\n\n";
            const QString start = "Pennoro, critical: ﾌﾞﾗｳｻﾞで表示出来ませんでした。"
                                  "ﾒﾓは変更していません。\n\n" +
                                  where + "理由: ";
            QVERIFY2(shown[0].startsWith(start) && shown[0].size() > start.size(),
                     qPrintable(shown[0]));
            if (!reason.isNull())
                QCOMPARE(shown[0].sliced(start.size()), reason);
            QCOMPARE(t.shell.opened.size(), setup == "no browser" ? 1 : 0);
        }
        QVERIFY(t.prompts.filters.isEmpty());
        QCOMPARE(t.clipboard.content, u"clip"_s);
        QVERIFY(t.clipboard.log.isEmpty());
        QCOMPARE(QDir(dir.path("")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 QStringList());
        for (QDirIterator it(temporary, QDirIterator::Subdirectories); it.hasNext();)
            QVERIFY2(QFileInfo(it.next()).fileName() != "pennoro", qPrintable(it.filePath()));
    }
};

QTEST_MAIN(TestPagePreview)
#include "tst_pagepreview.moc"
