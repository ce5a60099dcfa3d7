#include "fakes/fakesysinfosystem.h"
#include "fakes/testfiles.h"
#include "platform/standinsysinfosystem.h"
#include "platform/sysinfolauncher.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using pennoro::Registry;
namespace sysinfo = pennoro::sysinfo;

namespace {

const std::string toolPath = "C:\\Program Files\\Common Files\\MSInfo\\msinfo32.exe";
const std::string toolFolder = "C:\\Program Files\\Common Files\\MSInfo";

QByteArray text(const std::string& value)
{
    return QByteArray::fromStdString(value);
}

// The items joined by "|".
QByteArray joined(const std::vector<std::string>& items)
{
    QByteArrayList list;
    for (const std::string& item : items)
        list.append(text(item));
    return list.join('|');
}

// A registry value by its type (0: none) and bytes.
struct Value {
    uint type = 0;
    QByteArray data;
};

void store(pennoro::MemoryRegistry& registry, const char* key, const char* name, const Value& value)
{
    if (value.type != 0)
        registry.setValue(Registry::localMachine, key, name, value.type, value.data.toStdString());
}

// A program that writes the path it was started by into `marker`.
void writeScript(const QString& path, const QString& marker)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) &&
            file.write("#!/bin/sh\nprintf %s \"$0\" > '" + marker.toLocal8Bit() + "'\n") > 0);
    QVERIFY(file.setPermissions(file.permissions() | QFileDevice::ExeOwner));
}

} // namespace

Q_DECLARE_METATYPE(Value)

class TestSysInfoLauncher : public QObject {
    Q_OBJECT

private slots:
    // The recorded path starts unchecked; else the folder and the tool's name, joined as they are,
    // when that names a file. Every file that a wrong turn would start exists.
    void startSysInfo_data()
    {
        QTest::addColumn<Value>("path");
        QTest::addColumn<Value>("folder");
        QTest::addColumn<QByteArray>("outcome"); // files probed > started

        const Value none;
        const Value path{1, text(toolPath + '\0')};
        const Value folder{1, text(toolFolder + '\0')};
        const QByteArray inFolder = text(toolFolder + sysinfo::toolFileName);
        const QByteArray doubled = text(toolFolder + "\\\\MSINFO32.EXE");
        const QByteArray nothing(" > ");
        // clang-format off
        QTest::newRow("path") << path << folder << " > " + text(toolPath);
        QTest::newRow("folder") << none << folder << inFolder + " > " + inFolder;
        QTest::newRow("folder ending in a backslash") << none << Value{1, text(toolFolder + "\\")} << doubled + " > " + doubled;
        QTest::newRow("folder without the tool") << none << Value{1, "C:\\Empty"} << QByteArray("C:\\Empty\\MSINFO32.EXE > ");
        QTest::newRow("neither value") << none << none << nothing;
        QTest::newRow("path names a missing file") << Value{1, QByteArray("C:\\Gone\\msinfo32.exe", 21)} << folder << nothing;
        QTest::newRow("path has no bytes") << Value{1, {}} << folder << nothing;
        QTest::newRow("path is expandable: empty path") << Value{2, QByteArray("%ProgramFiles%\\msinfo32.exe", 28)} << folder << nothing;
        // An empty folder looks for the tool in the root folder of the current drive.
        QTest::newRow("folder is expandable") << none << Value{2, QByteArray("%ProgramFiles%", 15)} << sysinfo::toolFileName + nothing;
        // clang-format on
    }

    void startSysInfo()
    {
        QFETCH(Value, path);
        QFETCH(Value, folder);
        QFETCH(QByteArray, outcome);

        FakeSysInfoSystem system;
        system.files = {toolPath, toolFolder + sysinfo::toolFileName,
                        toolFolder + "\\\\MSINFO32.EXE", "%ProgramFiles%\\msinfo32.exe"};
        store(system.fakeRegistry, sysinfo::toolPathKey, sysinfo::toolPathValue, path);
        store(system.fakeRegistry, sysinfo::toolFolderKey, sysinfo::toolFolderValue, folder);
        QCOMPARE(sysinfo::startSysInfo(system), !outcome.endsWith("> "));
        QCOMPARE(joined(system.probed) + " > " + joined(system.started), outcome);
        QCOMPARE(system.fakeRegistry.openKeys(), std::size_t(0));
    }

    // Elsewhere the first installed tool in the search path is the recorded path, and it starts as
    // one path, spaces and all. Only absolute folders are searched: the current folder, named by
    // "." or an empty entry, and the folders below it hold tools that are never found nor started.
    // A file that may not run is none; the preferred tool wins over a lesser one found earlier.
    void standInFindsAndStartsInstalledTools_data()
    {
        QTest::addColumn<QString>("searchPath"); // <a>, <b>: two absolute folders
        QTest::addColumn<QString>("found");      // the tool recorded and started; empty: none

        // clang-format off
        QTest::newRow("current folder as .") << "." << QString();
        QTest::newRow("empty entries") << "::" << QString();
        QTest::newRow("relative folder") << "bin" << QString();
        QTest::newRow("relative folder from .") << "./bin" << QString();
        QTest::newRow("absolute folder after all of them") << ".::bin:./bin:<a>" << "<a>/kinfocenter";
        QTest::newRow("preferred tool in a later folder") << "<a>::<b>" << "<b>/hardinfo";
        QTest::newRow("missing folder") << ":<a>/none" << QString();
        // clang-format on
    }

    void standInFindsAndStartsInstalledTools()
    {
        QFETCH(QString, searchPath);
        QFETCH(QString, found);

        // The preferred tool in the current folder and below it; in <a> a lesser one beside the
        // preferred one that may not run; in <b>, whose name has a space, a better one.
        InTempDir current;
        QTemporaryDir a;
        QTemporaryDir b;
        const QString folderB = b.filePath(QStringLiteral("system tools"));
        const QString started = current.path(QStringLiteral("started"));
        QVERIFY(QDir().mkdir(current.path(QStringLiteral("bin"))) && QDir().mkdir(folderB));
        for (const QString& tool :
             {current.path(QStringLiteral("hardinfo2")),
              current.path(QStringLiteral("bin/hardinfo2")),
              a.filePath(QStringLiteral("kinfocenter")), folderB + QStringLiteral("/hardinfo")})
            writeScript(tool, started);
        QVERIFY(QFile(a.filePath(QStringLiteral("hardinfo2"))).open(QIODevice::WriteOnly));
        const auto absolute = [&](QString text) {
            return text.replace(QStringLiteral("<a>"), a.path())
                .replace(QStringLiteral("<b>"), folderB)
                .toLocal8Bit();
        };
        const std::string path = absolute(searchPath).toStdString();

        pennoro::StandInRegistry registry(path);
        std::string recorded;
        sysinfo::getKeyValue(registry, Registry::localMachine, sysinfo::toolPathKey,
                             sysinfo::toolPathValue, recorded);
        QCOMPARE(text(recorded), absolute(found));
        pennoro::StandInSysInfoSystem system(path);
        QCOMPARE(sysinfo::startSysInfo(system), !found.isEmpty());
        if (!found.isEmpty())
            QTRY_COMPARE_WITH_TIMEOUT(fileBytes(started), absolute(found), 10000);
    }
};

QTEST_GUILESS_MAIN(TestSysInfoLauncher)
#include "tst_sysinfolauncher.moc"
