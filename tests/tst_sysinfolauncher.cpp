#include "about/standinsysinfosystem.h"
#include "about/sysinfolauncher.h"
#include "fakes/fakesysinfosystem.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using pennoro::Lookup;
using pennoro::Registry;
namespace sysinfo = pennoro::sysinfo;

Q_DECLARE_METATYPE(Lookup)

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

void writeScript(const QString& path, const QByteArray& body)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("#!/bin/sh\n" + body) > 0);
    QVERIFY(file.setPermissions(file.permissions() | QFileDevice::ExeOwner));
}

} // namespace

class TestSysInfoLauncher : public QObject {
    Q_OBJECT

private slots:
    void getKeyValue_data()
    {
        QTest::addColumn<uint>("type"); // 0: no key
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<Lookup>("result");
        QTest::addColumn<QByteArray>("keyVal");

        const QByteArray full(1024, 'x');
        QTest::newRow("text with its zero") << 1u << QByteArray("C:\\a b\\t.exe", 13)
                                            << Lookup::Found << QByteArray("C:\\a b\\t.exe");
        QTest::newRow("empty text") << 1u << QByteArray(1, '\0') << Lookup::Found << QByteArray();
        QTest::newRow("1024 bytes, no zero") << 1u << full << Lookup::Found << full;
        QTest::newRow("1024 bytes with zero")
            << 1u << full.left(1023) + '\0' << Lookup::Found << full.left(1023);
        QTest::newRow("1025 bytes") << 1u << full + '\0' << Lookup::Missing << QByteArray();
        QTest::newRow("no key") << 0u << QByteArray() << Lookup::Missing << QByteArray();
        QTest::newRow("no bytes") << 1u << QByteArray() << Lookup::Broken << QByteArray();
        // "&h", the earlier text, the bytes from the last one without leading zeros; a last zero
        // byte is taken for a text's end.
        QTest::newRow("number") << 4u << QByteArray("\x1f\xa0\x01\x00", 4) << Lookup::Found
                                << QByteArray("&hold1A01F");
        QTest::newRow("expandable text")
            << 2u << QByteArray("%SystemRoot%\\x.exe", 19) << Lookup::Found << QByteArray("old");
    }

    void getKeyValue()
    {
        QFETCH(uint, type);
        QFETCH(QByteArray, data);
        QFETCH(Lookup, result);
        QFETCH(QByteArray, keyVal);

        pennoro::MemoryRegistry registry;
        if (type != 0)
            registry.setValue(Registry::localMachine, "SOFTWARE\\Pennoro\\Test", "Value", type,
                              data.toStdString());
        std::string value = "old";
        // Registry names are found in any letter case.
        QCOMPARE(pennoro::getKeyValue(registry, Registry::localMachine, "software\\PENNORO\\test",
                                      "VALUE", value),
                 result);
        QCOMPARE(text(value), keyVal);
        QCOMPARE(registry.openKeys(), std::size_t(0));
    }

    // The recorded path is started without a check; otherwise the recorded folder and the tool's
    // file name, joined as they are, when that names a file. Every file that a wrong turn (such as
    // a look at the folder after the path) would start exists.
    void startSysInfo_data()
    {
        QTest::addColumn<uint>("pathType"); // 0: no value
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<uint>("folderType");
        QTest::addColumn<QByteArray>("folder");
        QTest::addColumn<QByteArray>("probed");
        QTest::addColumn<QByteArray>("started");

        const QByteArray none;
        const QByteArray path = text(toolPath + '\0');
        const QByteArray folder = text(toolFolder + '\0');
        const QByteArray inFolder = text(toolFolder + sysinfo::toolFileName);
        const QByteArray doubled = text(toolFolder + "\\\\MSINFO32.EXE");
        QTest::newRow("path") << 1u << path << 1u << folder << none << text(toolPath);
        QTest::newRow("folder") << 0u << none << 1u << folder << inFolder << inFolder;
        QTest::newRow("folder ending in a backslash")
            << 0u << none << 1u << text(toolFolder + "\\") << doubled << doubled;
        QTest::newRow("folder without the tool") << 0u << none << 1u << QByteArray("C:\\Empty")
                                                 << QByteArray("C:\\Empty\\MSINFO32.EXE") << none;
        QTest::newRow("neither value") << 0u << none << 0u << none << none << none;
        QTest::newRow("path names a missing file")
            << 1u << QByteArray("C:\\Gone\\msinfo32.exe", 21) << 1u << folder << none << none;
        QTest::newRow("path has no bytes") << 1u << none << 1u << folder << none << none;
        QTest::newRow("path is expandable: empty path")
            << 2u << QByteArray("%ProgramFiles%\\msinfo32.exe", 28) << 1u << folder << none << none;
        // An empty folder looks for the tool in the root folder of the current drive.
        QTest::newRow("folder is expandable")
            << 0u << none << 2u << QByteArray("%ProgramFiles%", 15)
            << QByteArray(sysinfo::toolFileName) << none;
    }

    void startSysInfo()
    {
        QFETCH(uint, pathType);
        QFETCH(QByteArray, path);
        QFETCH(uint, folderType);
        QFETCH(QByteArray, folder);
        QFETCH(QByteArray, probed);
        QFETCH(QByteArray, started);

        FakeSysInfoSystem system;
        system.files = {toolPath, toolFolder + sysinfo::toolFileName,
                        toolFolder + "\\\\MSINFO32.EXE", "%ProgramFiles%\\msinfo32.exe"};
        if (pathType != 0)
            system.fakeRegistry.setValue(Registry::localMachine, sysinfo::toolPathKey,
                                         sysinfo::toolPathValue, pathType, path.toStdString());
        if (folderType != 0)
            system.fakeRegistry.setValue(Registry::localMachine, sysinfo::toolFolderKey,
                                         sysinfo::toolFolderValue, folderType,
                                         folder.toStdString());

        QCOMPARE(pennoro::startSysInfo(system), !started.isEmpty());
        QCOMPARE(joined(system.started), started);
        QCOMPARE(joined(system.probed), probed);
        QCOMPARE(system.fakeRegistry.openKeys(), std::size_t(0));
    }

    // On other systems the first installed tool in the search path counts as the recorded path: a
    // file that may not run is none, and the preferred tool wins over the search order. The tool is
    // started as one program path, spaces and all.
    void standInFindsAndStartsInstalledTools()
    {
        QTemporaryDir first;
        QTemporaryDir second;
        const QString folder = second.filePath(QStringLiteral("system tools"));
        const QString marker = second.filePath(QStringLiteral("started"));
        QVERIFY(QDir().mkdir(folder));
        writeScript(first.filePath(QStringLiteral("kinfocenter")), "exit 0\n");
        writeScript(folder + QStringLiteral("/hardinfo"), "touch '" + marker.toLocal8Bit() + "'\n");
        QVERIFY(QFile(first.filePath(QStringLiteral("hardinfo2"))).open(QIODevice::WriteOnly));

        const std::string searchPath = (first.path() + QStringLiteral("::") + folder).toStdString();
        pennoro::StandInRegistry registry(searchPath);
        std::string found;
        QCOMPARE(pennoro::getKeyValue(registry, Registry::localMachine, sysinfo::toolPathKey,
                                      sysinfo::toolPathValue, found),
                 Lookup::Found);
        QCOMPARE(text(found), (folder + QStringLiteral("/hardinfo")).toLocal8Bit());
        QCOMPARE(pennoro::getKeyValue(registry, Registry::localMachine, sysinfo::toolFolderKey,
                                      sysinfo::toolFolderValue, found),
                 Lookup::Missing);

        pennoro::StandInSysInfoSystem system(searchPath);
        QVERIFY(pennoro::startSysInfo(system));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 10000);
        pennoro::StandInSysInfoSystem bare(":" +
                                           first.filePath(QStringLiteral("none")).toStdString());
        QVERIFY(!pennoro::startSysInfo(bare));
    }
};

QTEST_GUILESS_MAIN(TestSysInfoLauncher)
#include "tst_sysinfolauncher.moc"
