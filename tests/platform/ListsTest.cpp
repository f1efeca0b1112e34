#include "DriveList.h"
#include "FileList.h"
#include "FolderList.h"
#include "TestFolders.h"
#include "VolumeTable.h"

#include <QSignalSpy>
#include <QtTest>
#include <algorithm>

class ListsTest : public QObject {
    Q_OBJECT

private slots:
    void naturalOrder_data() {
        QTest::addColumn<QStringList>("names");
        QTest::newRow("numbers by value") << QStringList{"img2.jpg", "img10.jpg", "img100.jpg"};
        QTest::newRow("letter case ignored")
            << QStringList{"apple.gif", "Banana.gif", "cherry.gif"};
    }

    void naturalOrder() {
        QFETCH(QStringList, names);
        QStringList shuffled = names;
        std::reverse(shuffled.begin(), shuffled.end());
        std::sort(shuffled.begin(), shuffled.end(), naturalLess);
        QCOMPARE(shuffled, names);
        for (const QString& name : names)
            QVERIFY(!naturalLess(name, name));
    }

    // Files only, matching the pattern, in natural order; a refresh keeps the selected name, also
    // when it was renamed, and drops a deleted one.
    void fileList() {
        TestFolder folder;
        for (const char* name : {"b10.jpg", "b9.JPG", "notes.txt", ".hidden.jpg", "other/x.jpg"})
            folder.write(name, "x");
        folder.makeFolder("sub.jpg");
        FileList list(folder.path());
        list.setPattern("*.jpg");
        QCOMPARE(list.entries(), (QStringList{"b9.JPG", "b10.jpg"}));
        QVERIFY(!list.setListIndex(2));
        QVERIFY(list.setListIndex(1));

        folder.write("a.jpg", "x");
        list.refresh();
        QCOMPARE(list.entry(list.listIndex()), QString("b10.jpg"));
        QVERIFY(QFile::rename(folder.filePath("b10.jpg"), folder.filePath("c.jpg")));
        list.refresh("b10.jpg", "c.jpg");
        QCOMPARE(list.entry(list.listIndex()), QString("c.jpg"));
        QVERIFY(QFile::remove(folder.filePath("c.jpg")));
        list.refresh();
        QCOMPARE(list.listIndex(), -1);
    }

    // The folder changes only for another readable folder; a drive opens at its last shown folder.
    void folderList() {
        TestFolder folder;
        const QString a = folder.makeFolder("a");
        folder.makeFolder("a/z2");
        folder.makeFolder("a/z10");
        const QString deep = folder.makeFolder("a/z2/deep");
        const QString b = folder.makeFolder("b");
        const VolumeTable volumes({"/", a, b}); // the list keeps a reference
        FolderList list(volumes, folder.path());
        QSignalSpy changes(&list, &FolderList::Change);
        QVERIFY(list.setDrive(a)); // never shown: its mount point
        QCOMPARE(list.subfolders(), (QStringList{a + "/z2", a + "/z10"}));
        QVERIFY(list.setPath(a + "/")); // the same folder written differently
        QVERIFY(!list.setPath(folder.filePath("missing")));
        QCOMPARE(list.path(), a);
        QCOMPARE(changes.count(), 1);
        QVERIFY(list.setPath(deep));
        QVERIFY(list.setDrive(b));
        QVERIFY(list.setDrive(a));
        QCOMPARE(list.path(), deep);
    }

    void theDriveOfAFolderIsTheMountPointHoldingIt() {
        const VolumeTable volumes({"/media/usb", "/", "/media/usb2", "/home"});
        QCOMPARE(volumes.volumeOf("/media/usb2/fotos"), QString("/media/usb2"));
        QCOMPARE(volumes.volumeOf("/media/usbx"), QString("/"));
        // Choosing the drive already chosen raises no change.
        DriveList drives(volumes);
        QSignalSpy changes(&drives, &DriveList::Change);
        drives.setDrive("/home/ana/fotos");
        QCOMPARE(drives.drive(), QString("/home"));
        drives.setDrive("/home");
        QCOMPARE(changes.count(), 1);
        // The machine's own volumes start at the root and leave out system mounts.
        const VolumeTable mounted = VolumeTable::mounted();
        QCOMPARE(mounted.mountPoints().value(0), QString("/"));
        QVERIFY(!mounted.mountPoints().contains("/proc"));
    }
};

QTEST_GUILESS_MAIN(ListsTest)
#include "ListsTest.moc"
