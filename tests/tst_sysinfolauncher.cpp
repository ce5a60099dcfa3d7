#include "about/standinregistry.h"
#include "about/standinsysinfosystem.h"
#include "about/sysinfolauncher.h"
#include "fakes/fakesysinfosystem.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <stdexcept>

using pennoro::Lookup;
using pennoro::Registry;
namespace sysinfo = pennoro::sysinfo;

Q_DECLARE_METATYPE(Lookup)

namespace {

const std::string testKey = "SOFTWARE\\Pennoro\\Test";
const std::string toolPath =
    "C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo\\msinfo32.exe";
const std::string toolFolder = "C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo";
const std::string toolInFolder = toolFolder + sysinfo::toolFileName;

std::string bytes(const QByteArray& data)
{
    return data.toStdString();
}
QByteArray text(const std::string& value)
{
    return QByteArray::fromStdString(value);
}

void setToolPath(FakeSysInfoSystem& system, std::uint32_t type, const std::string& data)
{
    system.fakeRegistry.setValue(Registry::localMachine, sysinfo::toolPathKey,
                                 sysinfo::toolPathValue, type, data);
}

void setToolFolder(FakeSysInfoSystem& system, std::uint32_t type, const std::string& data)
{
    system.fakeRegistry.setValue(Registry::localMachine, sysinfo::toolFolderKey,
                                 sysinfo::toolFolderValue, type, data);
}

void writeScript(const QString& path, const QByteArray& body)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n" + body);
    file.close();
    QVERIFY(file.setPermissions(file.permissions() | QFileDevice::ExeOwner));
}

} // namespace

class TestSysInfoLauncher : public QObject {
    Q_OBJECT

private slots:
    void getKeyValue_data();
    void getKeyValue();
    void missingKeysEmptyTheText();
    void firstLookupStartsWithoutCheck();
    void secondLookupChecksTheFolder_data();
    void secondLookupChecksTheFolder();
    void failuresEndTheLaunch_data();
    void failuresEndTheLaunch();
    void standInFindsInstalledTools();
    void standInStartsTheToolAsOneProgramPath();
};

void TestSysInfoLauncher::getKeyValue_data()
{
    QTest::addColumn<uint>("type");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QByteArray>("incoming");
    QTest::addColumn<Lookup>("result");
    QTest::addColumn<QByteArray>("keyVal");

    const QByteArray full(1024, 'x');
    QTest::newRow("text with its zero")
        << 1u << QByteArray("C:\\a b\\t.exe", 13) << QByteArray("old") << Lookup::Found
        << QByteArray("C:\\a b\\t.exe");
    QTest::newRow("text without zero")
        << 1u << QByteArray("abc") << QByteArray() << Lookup::Found << QByteArray("abc");
    QTest::newRow("empty text") << 1u << QByteArray(1, '\0') << QByteArray("old") << Lookup::Found
                                << QByteArray();
    QTest::newRow("1024 bytes, no zero") << 1u << full << QByteArray() << Lookup::Found << full;
    QTest::newRow("1024 bytes with zero")
        << 1u << full.left(1023) + '\0' << QByteArray() << Lookup::Found << full.left(1023);
    QTest::newRow("1025 bytes") << 1u << full + '\0' << QByteArray("old") << Lookup::Missing
                                << QByteArray();
    QTest::newRow("no bytes") << 1u << QByteArray() << QByteArray("old") << Lookup::Broken
                              << QByteArray();
    QTest::newRow("number 258") << 4u << QByteArray("\x02\x01\x00\x00", 4) << QByteArray()
                                << Lookup::Found << QByteArray("&h012");
    QTest::newRow("number appends") << 4u << QByteArray("\x1f\xa0\x00\x07", 4) << QByteArray("ab")
                                    << Lookup::Found << QByteArray("&hab70A01F");
    QTest::newRow("expandable text") << 2u << QByteArray("%SystemRoot%\\x.exe", 19)
                                     << QByteArray("old") << Lookup::Found << QByteArray("old");
}

void TestSysInfoLauncher::getKeyValue()
{
    QFETCH(uint, type);
    QFETCH(QByteArray, data);
    QFETCH(QByteArray, incoming);
    QFETCH(Lookup, result);
    QFETCH(QByteArray, keyVal);

    RecordingRegistry registry;
    registry.setValue(Registry::localMachine, testKey, "Value", type, bytes(data));
    std::string value = bytes(incoming);
    // Registry names are found in any letter case.
    QCOMPARE(pennoro::getKeyValue(registry, Registry::localMachine, "software\\PENNORO\\test",
                                  "VALUE", value),
             result);
    QCOMPARE(text(value), keyVal);
    QCOMPARE(registry.openKeys(), std::size_t(0));
}

void TestSysInfoLauncher::missingKeysEmptyTheText()
{
    RecordingRegistry registry;
    registry.addKey(Registry::localMachine, testKey);
    registry.setValue(Registry::localMachine, "SOFTWARE\\Locked", "Value", Registry::text,
                      std::string("x\0", 2));
    registry.denyKey(Registry::localMachine, "SOFTWARE\\Locked");
    registry.setValue(Registry::currentUser, "SOFTWARE\\Elsewhere", "Value", Registry::text,
                      std::string("x\0", 2));

    const std::pair<std::string, std::string> missing[] = {{"SOFTWARE\\Nothing", "Value"},
                                                           {testKey, "Value"},
                                                           {"SOFTWARE\\Locked", "Value"},
                                                           {"SOFTWARE\\Elsewhere", "Value"}};
    for (const auto& [key, value] : missing) {
        std::string keyVal = "old";
        QCOMPARE(pennoro::getKeyValue(registry, Registry::localMachine, key, value, keyVal),
                 Lookup::Missing);
        QCOMPARE(text(keyVal), QByteArray());
    }
    QCOMPARE(registry.openKeys(), std::size_t(0));
}

void TestSysInfoLauncher::firstLookupStartsWithoutCheck()
{
    FakeSysInfoSystem system;
    setToolPath(system, Registry::text, toolPath + '\0');
    setToolFolder(system, Registry::text, toolFolder + '\0');
    system.files = {toolPath, toolInFolder};

    QVERIFY(pennoro::startSysInfo(system));
    // The path with its spaces reaches the starter whole, and nothing else is looked at.
    QCOMPARE(system.started, std::vector{toolPath});
    QCOMPARE(system.fakeRegistry.opened, std::vector<std::string>{sysinfo::toolPathKey});
    QVERIFY(system.probed.empty());
}

void TestSysInfoLauncher::secondLookupChecksTheFolder_data()
{
    QTest::addColumn<QByteArray>("folder");
    QTest::addColumn<QByteArray>("program");

    QTest::newRow("with zero") << text(toolFolder + '\0') << text(toolInFolder);
    QTest::newRow("without zero") << text(toolFolder) << text(toolInFolder);
    // The folder and the file name are joined as they are, even with a doubled backslash.
    QTest::newRow("ending in a backslash")
        << text(toolFolder + "\\") << text(toolFolder + "\\\\MSINFO32.EXE");
}

void TestSysInfoLauncher::secondLookupChecksTheFolder()
{
    QFETCH(QByteArray, folder);
    QFETCH(QByteArray, program);

    FakeSysInfoSystem system;
    system.fakeRegistry.addKey(Registry::localMachine, sysinfo::toolPathKey);
    setToolFolder(system, Registry::text, bytes(folder));
    system.files = {bytes(program)};

    QVERIFY(pennoro::startSysInfo(system));
    QCOMPARE(system.probed, std::vector{bytes(program)});
    QCOMPARE(system.started, std::vector{bytes(program)});

    // The same folder without the tool in it.
    system.files.clear();
    system.started.clear();
    QVERIFY(!pennoro::startSysInfo(system));
    QVERIFY(system.started.empty());
}

void TestSysInfoLauncher::failuresEndTheLaunch_data()
{
    QTest::addColumn<uint>("pathType");
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<uint>("folderType");
    QTest::addColumn<QByteArray>("folder");
    QTest::addColumn<bool>("secondLookup");
    QTest::addColumn<QByteArray>("probed");

    const QByteArray none;
    const QByteArray folder = text(toolFolder + '\0');
    QTest::newRow("neither value") << 0u << none << 0u << none << true << none;
    QTest::newRow("first names a missing file")
        << 1u << QByteArray("C:\\Gone\\msinfo32.exe", 21) << 1u << folder << false << none;
    QTest::newRow("first has no bytes") << 1u << none << 1u << folder << false << none;
    QTest::newRow("first longer than 1024 bytes")
        << 1u << QByteArray(1025, 'x') << 0u << none << true << none;
    QTest::newRow("first is expandable: empty path")
        << 2u << QByteArray("%ProgramFiles%\\msinfo32.exe", 28) << 1u << folder << false << none;
    QTest::newRow("first is a number")
        << 4u << QByteArray("\x01\x00\x00\x00", 4) << 1u << folder << false << none;
    QTest::newRow("second has no bytes") << 0u << none << 1u << none << true << none;
    // An empty folder looks for the tool in the root folder of the current drive.
    QTest::newRow("second is expandable") << 0u << none << 2u << QByteArray("%ProgramFiles%", 15)
                                          << true << QByteArray(sysinfo::toolFileName);
}

void TestSysInfoLauncher::failuresEndTheLaunch()
{
    QFETCH(uint, pathType);
    QFETCH(QByteArray, path);
    QFETCH(uint, folderType);
    QFETCH(QByteArray, folder);
    QFETCH(bool, secondLookup);
    QFETCH(QByteArray, probed);

    FakeSysInfoSystem system;
    // Every file but the tool in the folder exists, so a wrong turn would start something.
    system.files = {toolPath, "%ProgramFiles%\\msinfo32.exe"};
    if (pathType != 0)
        setToolPath(system, pathType, bytes(path));
    if (folderType != 0)
        setToolFolder(system, folderType, bytes(folder));

    QVERIFY(!pennoro::startSysInfo(system));
    QVERIFY(system.started.empty());
    QCOMPARE(system.fakeRegistry.opened.size(), std::size_t(secondLookup ? 2 : 1));
    QCOMPARE(system.probed.empty() ? QByteArray() : text(system.probed.front()), probed);
    QCOMPARE(system.fakeRegistry.openKeys(), std::size_t(0));
}

void TestSysInfoLauncher::standInFindsInstalledTools()
{
    QTemporaryDir first;
    QTemporaryDir second;
    // A file that may not run is no tool; the preferred tool wins over the search order.
    writeScript(first.filePath(QStringLiteral("kinfocenter")), "exit 0\n");
    writeScript(second.filePath(QStringLiteral("hardinfo")), "exit 0\n");
    QFile plain(first.filePath(QStringLiteral("hardinfo2")));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();

    const std::string searchPath =
        (first.path() + QStringLiteral("::") + second.path()).toStdString();
    pennoro::StandInRegistry registry(searchPath);
    std::string path;
    QCOMPARE(pennoro::getKeyValue(registry, Registry::localMachine, sysinfo::toolPathKey,
                                  sysinfo::toolPathValue, path),
             Lookup::Found);
    QCOMPARE(text(path), second.filePath(QStringLiteral("hardinfo")).toLocal8Bit());
    QCOMPARE(pennoro::getKeyValue(registry, Registry::localMachine, sysinfo::toolFolderKey,
                                  sysinfo::toolFolderValue, path),
             Lookup::Missing);

    pennoro::StandInRegistry nothingInstalled(std::string(":") + first.path().toStdString() +
                                              "/none");
    QCOMPARE(pennoro::getKeyValue(nothingInstalled, Registry::localMachine, sysinfo::toolPathKey,
                                  sysinfo::toolPathValue, path),
             Lookup::Missing);
}

void TestSysInfoLauncher::standInStartsTheToolAsOneProgramPath()
{
    QTemporaryDir root;
    QVERIFY(QDir(root.path()).mkpath(QStringLiteral("system tools")));
    const QString folder = root.filePath(QStringLiteral("system tools"));
    const QString marker = root.filePath(QStringLiteral("started"));
    writeScript(folder + QStringLiteral("/hardinfo"), "touch '" + marker.toLocal8Bit() + "'\n");

    pennoro::StandInSysInfoSystem system(folder.toStdString());
    QVERIFY(pennoro::startSysInfo(system));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 10000);

    pennoro::StandInSysInfoSystem bare(root.filePath(QStringLiteral("none")).toStdString());
    QVERIFY(!pennoro::startSysInfo(bare));
}

QTEST_GUILESS_MAIN(TestSysInfoLauncher)
#include "tst_sysinfolauncher.moc"
