#include "SystemInfoTool.h"
#include "TestFolders.h"

#include <QDir>
#include <QFile>
#include <QtTest>

namespace {
// A folder with subfolders a and b, searched in that order.
struct SearchPath {
    TestFolder folder;
    QString path = folder.makeFolder("a") + QDir::listSeparator() + folder.makeFolder("b");

    // Writes a shell script, executable unless told otherwise.
    void program(const QString& name, const QByteArray& body = {}, bool executable = true) const {
        const QString written = folder.write(name, "#!/bin/sh\n" + body);
        QFile::setPermissions(written,
                              executable ? QFile::ReadOwner | QFile::ExeOwner : QFile::ReadOwner);
    }
};
} // namespace

class SystemInfoToolTest : public QObject {
    Q_OBJECT

private slots:
    // Programs as "folder/name"; a trailing "-" marks one that is not executable.
    void find_data() {
        QTest::addColumn<QStringList>("programs");
        QTest::addColumn<QString>("found");
        QTest::newRow("none") << QStringList{"a/ls", "b/hardinfo.txt"} << QString();
        QTest::newRow("one") << QStringList{"a/ls", "b/kinfocenter"} << "b/kinfocenter";
        QTest::newRow("two: the list's order beats the path's")
            << QStringList{"a/gnome-system-monitor", "b/hardinfo"} << "b/hardinfo";
        QTest::newRow("one twice: the first folder")
            << QStringList{"a/hardinfo", "b/hardinfo"} << "a/hardinfo";
        QTest::newRow("not executable: skipped")
            << QStringList{"a/hardinfo-", "b/mate-system-monitor"} << "b/mate-system-monitor";
    }

    void find() {
        QFETCH(QStringList, programs);
        QFETCH(QString, found);
        SearchPath search;
        for (const QString& name : programs)
            search.program(name.endsWith(u'-') ? name.chopped(1) : name, {}, !name.endsWith(u'-'));
        QCOMPARE(SystemInfoTool::find(search.path),
                 found.isEmpty() ? found : search.folder.filePath(found));
        // An empty search path finds nothing, never falling back on the process's own path.
        const ScopedEnvironment processPath("PATH", search.path.toLocal8Bit());
        QCOMPARE(SystemInfoTool::find(QString()), QString());
        QCOMPARE(SystemInfoTool::find(QString(QDir::listSeparator())), QString());
    }

    void startRunsTheProgramFound() {
        SearchPath search;
        QVERIFY(!SystemInfoTool::start(search.path));
        const QString marker = search.folder.filePath("started");
        search.program("b/kinfocenter", "touch '" + marker.toLocal8Bit() + "'\n");
        QVERIFY(SystemInfoTool::start(search.path));
        QTRY_VERIFY(QFile::exists(marker));
    }
};

QTEST_GUILESS_MAIN(SystemInfoToolTest)
#include "SystemInfoToolTest.moc"
