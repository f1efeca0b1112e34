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
        QTest::newRow("letter case ignored") << QStringList{"apple.gif", "Banana.gif", "cherry.gif"};
        QTest::newRow("leading zeros") << QStringList{"a1.bmp", "a02.bmp", "a3.bmp"};
        QTest::newRow("shorter name first") << QStringList{"foto.jpg", "foto1.jpg"};
        QTest::newRow("digits before letters") << QStringList{"1.jpg", "a.jpg"};
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

    void namesDifferingOnlyInCaseHaveAFixedOrder() {
        QVERIFY(naturalLess("A.jpg", "a.jpg") != naturalLess("a.jpg", "A.jpg"));
    }

    void fileListReadsMatchingFilesOnly() {
        TestFolder folder;
        for (const char* name : {"b10.jpg", "b9.JPG", "notes.txt", ".hidden.jpg"})
            folder.write(name, "x");
        folder.makeFolder("sub.jpg");
        FileList list(folder.path());
        QCOMPARE(list.count(), 0); // no pattern yet
        QSignalSpy patternChanged(&list, &FileList::PatternChange);
        list.setPattern("*.jpg");
        QCOMPARE(patternChanged.count(), 1);
        QCOMPARE(list.entries(), (QStringList{"b9.JPG", "b10.jpg"}));
        QCOMPARE(list.listIndex(), -1);
    }

    void positionsOutsideTheListReadEmptyAndCannotBeSelected() {
        TestFolder folder;
        folder.write("a.gif", "x");
        folder.write("b.gif", "x");
        FileList list(folder.path());
        list.setPattern("*.*");
        QSignalSpy clicks(&list, &FileList::Click);
        QVERIFY(list.entry(-1).isEmpty());
        QVERIFY(list.entry(2).isEmpty());
        QVERIFY(!list.setListIndex(2));
        QVERIFY(!list.setListIndex(-2));
        QCOMPARE(clicks.count(), 0);
        QVERIFY(list.setListIndex(1));
        QVERIFY(list.setListIndex(-1));
        QCOMPARE(clicks.count(), 2);
        QCOMPARE(list.listIndex(), -1);
    }

    void refreshKeepsTheSelectedName() {
        TestFolder folder;
        folder.write("b.gif", "x");
        FileList list(folder.path());
        list.setPattern("*.gif");
        QVERIFY(list.setListIndex(0));
        folder.write("a.gif", "x");
        list.refresh();
        QCOMPARE(list.entry(list.listIndex()), QString("b.gif"));
        QFile::remove(folder.filePath("b.gif"));
        list.refresh();
        QCOMPARE(list.listIndex(), -1);
    }

    void settingTheFolderReadsItAgain() {
        TestFolder folder;
        const QString other = folder.makeFolder("other");
        folder.write("other/x.bmp", "x");
        FileList list(folder.path());
        list.setPattern("*.bmp");
        QSignalSpy pathChanged(&list, &FileList::PathChange);
        list.setFolder(other);
        QCOMPARE(pathChanged.count(), 1);
        QCOMPARE(list.entries(), QStringList{"x.bmp"});
        list.setFolder(folder.filePath("missing"));
        QCOMPARE(list.count(), 0);
    }

    void folderListChangesOnlyForAnotherReadableFolder() {
        TestFolder folder;
        const QString a = folder.makeFolder("a");
        folder.makeFolder("a/z2");
        folder.makeFolder("a/z10");
        const VolumeTable volumes({"/"});
        FolderList list(volumes, folder.path());
        QSignalSpy changes(&list, &FolderList::Change);
        QVERIFY(list.setPath(a));
        QCOMPARE(changes.count(), 1);
        QCOMPARE(list.path(), a);
        QCOMPARE(list.subfolders(), (QStringList{a + "/z2", a + "/z10"}));
        QVERIFY(list.setPath(a + "/")); // the same folder written differently
        QCOMPARE(changes.count(), 1);
        QVERIFY(!list.setPath(folder.filePath("missing")));
        QCOMPARE(list.path(), a);
        QCOMPARE(changes.count(), 1);
    }

    void aDriveOpensAtItsLastShownFolder() {
        TestFolder folder;
        const QString driveA = folder.makeFolder("driveA");
        const QString deep = folder.makeFolder("driveA/deep");
        const QString driveB = folder.makeFolder("driveB");
        const VolumeTable volumes({"/", driveA, driveB});
        FolderList list(volumes, folder.path());
        QVERIFY(list.setDrive(driveA)); // never shown: its mount point
        QCOMPARE(list.path(), driveA);
        QVERIFY(list.setPath(deep));
        QVERIFY(list.setDrive(driveB));
        QVERIFY(list.setDrive(driveA));
        QCOMPARE(list.path(), deep);
    }

    void theDriveOfAFolderIsTheMountPointHoldingIt() {
        const VolumeTable volumes({"/media/usb", "/", "/media/usb2", "/home"});
        QCOMPARE(volumes.mountPoints().first(), QString("/"));
        QCOMPARE(volumes.volumeOf("/media/usb2/fotos"), QString("/media/usb2"));
        QCOMPARE(volumes.volumeOf("/media/usb"), QString("/media/usb"));
        QCOMPARE(volumes.volumeOf("/media/usbx"), QString("/"));
        QCOMPARE(volumes.volumeOf("/home/ana"), QString("/home"));
    }

    void choosingTheSameDriveRaisesNoChange() {
        DriveList drives(VolumeTable({"/", "/home"}));
        QSignalSpy changes(&drives, &DriveList::Change);
        drives.setDrive("/home/ana/fotos");
        QCOMPARE(drives.drive(), QString("/home"));
        drives.setDrive("/home");
        QCOMPARE(changes.count(), 1);
    }

    void theMachinesVolumesStartAtTheRoot() {
        const VolumeTable volumes = VolumeTable::mounted();
        QVERIFY(!volumes.mountPoints().isEmpty());
        QCOMPARE(volumes.volumeOf(QDir::tempPath()).isEmpty(), false);
        QVERIFY(!volumes.mountPoints().contains("/proc"));
    }
};

QTEST_GUILESS_MAIN(ListsTest)
#include "ListsTest.moc"
