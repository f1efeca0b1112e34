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

    // Writes an executable shell script.
    void program(const QString& name, const QByteArray& body = {}) const {
        QFile::setPermissions(folder.write(name, "#!/bin/sh\n" + body),
                              QFile::ReadOwner | QFile::ExeOwner);
    }
};
} // namespace

class SystemInfoToolTest : public QObject {
    Q_OBJECT

private slots:
    // The first program of the list that is found wins, wherever it lies on the search path, and
    // is started; an empty search path finds nothing, never falling back on the process's own path.
    void findAndStart() {
        SearchPath search;
        QVERIFY(!SystemInfoTool::start(search.path));
        const QString marker = search.folder.filePath("started");
        search.program("a/gnome-system-monitor");
        search.program("b/hardinfo", "touch '" + marker.toLocal8Bit() + "'\n");
        QCOMPARE(SystemInfoTool::find(search.path), search.folder.filePath("b/hardinfo"));
        QVERIFY(SystemInfoTool::start(search.path));
        QTRY_VERIFY(QFile::exists(marker));
        const ScopedEnvironment processPath("PATH", search.path.toLocal8Bit());
        QCOMPARE(SystemInfoTool::find(QString()), QString());
    }
};

QTEST_GUILESS_MAIN(SystemInfoToolTest)
#include "SystemInfoToolTest.moc"
