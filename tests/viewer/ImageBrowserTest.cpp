#include "BrowserFixture.h"
#include "StringTable.h"

#include <QSignalSpy>
#include <QtTest>

class ImageBrowserTest : public QObject {
    Q_OBJECT

private slots:
    void theFirstRunOpensOnTheCurrentFolder() {
        Viewer v;
        v.addPicture("a.bmp");
        v.addPicture("b.bmp");
        v.addFile("c.txt");
        ImageBrowser& b = v.start();
        QCOMPARE(b.Dir1().path(), v.pictures());
        QCOMPARE(v.module.settings.CurrentFolder, v.pictures());
        QCOMPARE(v.module.settings.LanguageOffset, qint16(0));
        QCOMPARE(v.module.settings.ThumbWidth, qint16(500));
        QCOMPARE(v.module.settings.ZoomMode, false);
        QCOMPARE(b.title(), QString("Lumi Vart [2]"));
        QCOMPARE(v.module.ScreenClass, qint16(2));
        QCOMPARE(v.module.LastCell, qint16(89));
        QCOMPARE(v.module.ZoomHeight, 6000.0);
        QCOMPARE(v.visibleImages(), 0); // no page until a file is selected
    }

    void theStoredFolderAndLanguageComeBack() {
        Viewer v;
        const QString sub = v.folder.makeFolder("pics/sub");
        Settings stored = Settings::startupDefaults(sub);
        stored.LanguageOffset = 200;
        ImageBrowser& b = v.start(stored);
        QCOMPARE(b.Dir1().path(), sub);
        QCOMPARE(b.File1().folder(), sub);
        QCOMPARE(b.File1().pattern(), QString(kAllPictureFormatsPattern));
    }

    void aVanishedStoredFolderLeavesTheListsWhereTheyWere() {
        Viewer v;
        ImageBrowser& b = v.start(Settings::startupDefaults(v.folder.filePath("gone")));
        QCOMPARE(b.Dir1().path(), v.pictures());
        QCOMPARE(v.module.settings.CurrentFolder, v.folder.filePath("gone"));
        QVERIFY(v.feedback.messages.isEmpty());
    }

    void unusableStoredValuesAreRepaired() {
        Viewer v;
        Settings unusable; // zero sizes as the saver leaves them, a hand-edited language
        unusable.CurrentFolder = v.folder.path();
        unusable.LanguageOffset = 7;
        v.start(unusable);
        QCOMPARE(v.module.settings.ThumbWidth, qint16(500));
        QCOMPARE(v.module.settings.ZoomDivisor, qint16(2));
        QCOMPARE(v.module.settings.LanguageOffset, qint16(0));
        QCOMPARE(v.module.LastCell, qint16(89));
    }

    void filterChange_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("listed");
        const QStringList all{"a.bmp", "b.gif", "c.txt", "d.JPG"};
        QTest::newRow("all files") << 0 << "Todos los Archivos" << all;
        QTest::newRow("trimmed text picks its pattern") << 0 << "  Archivos GIF (*.gif) " << QStringList{"b.gif"};
        QTest::newRow("letter case differs: literal pattern") << 0 << "todos los archivos" << QStringList{};
        QTest::newRow("english texts") << 200 << "JPEG Files (*.jpg, *.jpeg)" << QStringList{"d.JPG"};
        QTest::newRow("the other language's text is literal") << 200 << "Todos los Archivos" << QStringList{};
        QTest::newRow("typed pattern") << 0 << "*.txt" << QStringList{"c.txt"};
        QTest::newRow("partly typed pattern") << 0 << "*.tx" << QStringList{};
        QTest::newRow("two typed patterns") << 0 << "*.gif;*.bmp" << QStringList{"a.bmp", "b.gif"};
    }

    void filterChange() {
        QFETCH(int, language);
        QFETCH(QString, text);
        QFETCH(QStringList, listed);
        Viewer v;
        for (const char* name : {"a.bmp", "b.gif", "d.JPG"})
            v.addPicture(name);
        v.addFile("c.txt");
        Settings stored = Settings::startupDefaults(v.pictures());
        stored.LanguageOffset = static_cast<qint16>(language);
        ImageBrowser& b = v.start(stored);
        b.CboFiltro_Change(text);
        QCOMPARE(b.File1().entries(), listed);
        QCOMPARE(b.title(), listed.isEmpty() ? QString("Lumi Vart")
                                             : QString("Lumi Vart [%1]").arg(listed.size()));
    }

    void pageShowsPicturesOnlyAndEmptiesTheRest() {
        Viewer v;
        // 15 positions, 4 of them text files: 11 pictures fill cells 0 to 10.
        for (int i = 0; i < 15; ++i) {
            const QString name = QString("f%1").arg(i, 2, 10, QChar('0'));
            if (i % 4 == 1)
                v.addFile(name + ".txt");
            else
                v.addPicture(name + ".bmp");
        }
        ImageBrowser& b = v.start(Viewer::fifteenCells(v.pictures()));
        b.CboFiltro_Change("*.*");
        QCOMPARE(v.module.LastCell, qint16(14));
        QVERIFY(v.select(0));
        QCOMPARE(b.title(), QString("Lumi Vart [f00.bmp]"));
        QCOMPARE(v.visibleImages(), 11);
        QCOMPARE(v.captions().mid(0, 3), (QStringList{"f00.bmp", "f02.bmp", "f03.bmp"}));
        for (int cell = 11; cell <= 14; ++cell) {
            QVERIFY(v.captions()[cell].isEmpty());
            QVERIFY(!b.cells()[cell].imageVisible);
        }
        QVERIFY(!v.module.LayoutChanged);
    }

    void theFirstFailedPictureEmptiesItsCellAndTheRest_data() {
        QTest::addColumn<int>("badPosition");
        QTest::addColumn<int>("filledCells");
        QTest::newRow("first") << 0 << 0;
        QTest::newRow("middle") << 3 << 3;
        QTest::newRow("last") << 5 << 5;
    }

    void theFirstFailedPictureEmptiesItsCellAndTheRest() {
        QFETCH(int, badPosition);
        QFETCH(int, filledCells);
        Viewer v;
        for (int i = 0; i < 6; ++i) {
            const QString name = QString("p%1.bmp").arg(i);
            if (i == badPosition)
                v.addFile(name, "BM but truncated");
            else
                v.addPicture(name);
        }
        v.start(Viewer::fifteenCells(v.pictures()));
        QVERIFY(v.select(0));
        QCOMPARE(v.visibleImages(), filledCells);
        for (int cell = 0; cell < filledCells; ++cell)
            QCOMPARE(v.captions()[cell], QString("p%1.bmp").arg(cell));
        for (int cell = filledCells; cell <= 14; ++cell)
            QVERIFY(v.captions()[cell].isEmpty());
        QVERIFY(v.feedback.messages.isEmpty());
        QVERIFY(!v.feedback.busy);
    }

    void refreshWithNoSelectionReadsPositionMinusOneAsEmpty() {
        Viewer v;
        for (int i = 0; i < 20; ++i)
            v.addPicture(QString("p%1.bmp").arg(i, 2, 10, QChar('0')));
        ImageBrowser& b = v.start(Viewer::fifteenCells(v.pictures()));
        b.Actualizar_Click();
        QVERIFY(v.pageFilled());
        QCOMPARE(b.File1().listIndex(), -1);
        QCOMPARE(v.visibleImages(), 14); // positions 0 to 13
        QCOMPARE(v.captions().first(), QString("p00.bmp"));
        QCOMPARE(v.captions()[13], QString("p13.bmp"));
        QCOMPARE(b.title(), QString("Lumi Vart [20]"));
    }

    void paging_data() {
        QTest::addColumn<int>("files");
        QTest::addColumn<int>("from");
        QTest::addColumn<bool>("next");
        QTest::addColumn<int>("expectedPosition");
        QTest::addColumn<bool>("message");
        QTest::newRow("next page steps by LastCell") << 40 << 3 << true << 17 << false;
        QTest::newRow("next page at the end") << 20 << 6 << true << 6 << true;
        QTest::newRow("previous page") << 40 << 17 << false << 3 << false;
        QTest::newRow("previous from the first entry") << 40 << 0 << false << 0 << false;
        QTest::newRow("previous before the start") << 40 << 5 << false << 0 << true;
        QTest::newRow("previous to exactly -1") << 40 << 13 << false << -1 << false;
        QTest::newRow("next with no selection") << 40 << -1 << true << -1 << false;
    }

    void paging() {
        QFETCH(int, files);
        QFETCH(int, from);
        QFETCH(bool, next);
        QFETCH(int, expectedPosition);
        QFETCH(bool, message);
        Viewer v;
        for (int i = 0; i < files; ++i)
            v.addFile(QString("f%1.txt").arg(i, 2, 10, QChar('0')));
        ImageBrowser& b = v.start(Viewer::fifteenCells(v.pictures()));
        b.CboFiltro_Change("*.*");
        QVERIFY(v.select(from));
        if (next)
            b.Image3_Click();
        else
            b.Image2_Click();
        QCOMPARE(b.File1().listIndex(), expectedPosition);
        QCOMPARE(v.feedback.messages, message ? QStringList{QString::fromUtf8("Lumi Vart|No hay más archivos...")}
                                              : QStringList{});
    }

    void aPathFromOutsideShowsItsFolder_data() {
        QTest::addColumn<QString>("path"); // under the test folder
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QStringList>("page");
        QTest::addColumn<QString>("title");
        QTest::newRow("folder") << "pics/sub" << true << "pics/sub" << -1 << QStringList{}
                                << "Lumi Vart [3]";
        QTest::newRow("folder with a trailing separator")
            << "pics/sub/" << true << "pics/sub" << -1 << QStringList{} << "Lumi Vart [3]";
        QTest::newRow("picture") << "pics/sub/b.bmp" << true << "pics/sub" << 1
                                 << QStringList{"b.bmp", "c.bmp"} << "Lumi Vart [b.bmp]";
        QTest::newRow("file the pattern leaves out")
            << "pics/sub/notes.txt" << true << "pics/sub" << -1 << QStringList{} << "Lumi Vart [3]";
        QTest::newRow("nothing there")
            << "pics/sub/gone.bmp" << false << "pics" << -1 << QStringList{} << "Lumi Vart";
    }

    void aPathFromOutsideShowsItsFolder() {
        QFETCH(QString, path);
        QFETCH(bool, shown);
        QFETCH(QString, folder);
        QFETCH(int, selected);
        QFETCH(QStringList, page);
        QFETCH(QString, title);
        Viewer v;
        v.folder.makeFolder("pics/sub");
        for (const char* name : {"a.bmp", "b.bmp", "c.bmp", "notes.txt"})
            v.folder.write(QString("pics/sub/") + name,
                           TestPictures::bmp(TestPictures::quadrants(8, 6)));
        ImageBrowser& b = v.start();
        QCOMPARE(b.showPath(v.folder.filePath(path)), shown);
        QVERIFY(v.pageFilled());
        QCOMPARE(b.Dir1().path(), v.folder.filePath(folder));
        QCOMPARE(v.module.settings.CurrentFolder, v.folder.filePath(folder));
        QCOMPARE(b.File1().listIndex(), selected);
        QCOMPARE(v.visibleImages(), page.size());
        QCOMPARE(v.captions().mid(0, page.size()), page);
        QCOMPARE(b.title(), title);
    }

    // Pictures are made off the window's thread and arrive later: whatever ends a fill before
    // they do, none of its pictures lands in a cell, and a waiting cell takes no click.
    void whatEndsAFillKeepsItsPicturesOut() {
        Viewer v;
        for (int i = 0; i < 40; ++i) // each picture's width tells its position
            v.addPicture(QString("p%1.bmp").arg(i, 2, 10, QChar('0')), QSize(20 + i, 10));
        const QString sub = v.folder.makeFolder("pics/sub");
        v.folder.write("pics/sub/s.bmp", TestPictures::bmp(TestPictures::quadrants(99, 10)));
        ImageBrowser& b = v.start(Viewer::fifteenCells(v.pictures()));

        QVERIFY(b.File1().setListIndex(0)); // its pictures are still on their way
        QCOMPARE(v.captions().first(), QString("p00.bmp"));
        b.Image1_Click(0);
        QVERIFY(!b.zoomView().visible);
        b.Image3_Click();
        QVERIFY(v.pageFilled());
        for (int cell = 0; cell <= 14; ++cell) {
            QCOMPARE(v.captions()[cell], QString("p%1.bmp").arg(14 + cell));
            QCOMPARE(b.cells()[cell].picture.naturalSize.width(), 20 + 14 + cell);
        }

        QVERIFY(b.File1().setListIndex(0));
        QVERIFY(b.Dir1().setPath(sub));
        QVERIFY(!b.page().isFilling());
        QVERIFY(!v.feedback.busy);
        QVERIFY(v.select(0));
        QCOMPARE(b.cells()[0].picture.naturalSize.width(), 99);
        QCOMPARE(v.visibleImages(), 1);

        QVERIFY(b.Dir1().setPath(v.pictures()));
        QVERIFY(b.File1().setListIndex(0));
        v.browser.reset(); // the window closed during a fill
        QVERIFY(!v.feedback.busy);
    }

    void aFolderChangeEmptiesAShownPage() {
        Viewer v;
        v.addPicture("a.bmp");
        const QString sub = v.folder.makeFolder("pics/sub");
        ImageBrowser& b = v.start();
        QVERIFY(v.select(0));
        b.Image1_Click(0);
        QVERIFY(b.zoomView().visible);
        QVERIFY(b.Dir1().setPath(sub));
        QVERIFY(v.captions().first().isEmpty());
        QCOMPARE(v.visibleImages(), 0);
        QVERIFY(!b.zoomView().visible);
        QCOMPARE(v.module.settings.CurrentFolder, sub);
        QCOMPARE(b.title(), QString("Lumi Vart"));
    }

    void anUnreadyDriveIsReportedAndChangesNothing() {
        Viewer v;
        v.addPicture("a.bmp");
        const QString unmounted = v.folder.filePath("unmounted"); // its mount point cannot be opened
        v.volumes = VolumeTable({"/", unmounted});
        ImageBrowser& b = v.start();
        b.Drive1().setDrive(unmounted);
        QCOMPARE(v.feedback.messages, QStringList{QString::fromUtf8("Atención|Dispositivo no Disponible...")});
        QCOMPARE(b.Drive1().drive(), unmounted);
        QCOMPARE(b.Dir1().path(), v.pictures());
        QCOMPARE(b.File1().count(), 1);
        QCOMPARE(v.module.settings.CurrentFolder, v.pictures());
    }

    void previewShowsTheCellsPictureWithoutReadingTheFile() {
        Viewer v;
        v.addPicture("wide.bmp", QSize(400, 300));
        ImageBrowser& b = v.start();
        QVERIFY(v.select(0));
        QFile::remove(v.pictures() + "/wide.bmp");
        b.Image1_Click(0);
        const ZoomView& zoom = b.zoomView();
        QVERIFY(zoom.visible);
        QCOMPARE(zoom.picture.image.cacheKey(), b.cells()[0].picture.image.cacheKey());
        QCOMPARE(v.module.PreviewName, QString("wide.bmp"));
        QVERIFY(qAbs(zoom.rect.left() - 3025.0) < 0.01);
        QVERIFY(qAbs(zoom.rect.width() - 8000.0) < 0.01);
        QCOMPARE(b.File1().listIndex(), 0);
    }

    void zoomSteps_data() {
        QTest::addColumn<int>("divisor");
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("expectedDivisor");
        QTest::newRow("left enlarges") << 3 << int(Qt::LeftButton) << 2;
        QTest::newRow("left at the largest does nothing") << 2 << int(Qt::LeftButton) << 2;
        QTest::newRow("right reduces") << 2 << int(Qt::RightButton) << 3;
        QTest::newRow("middle reduces") << 3 << int(Qt::MiddleButton) << 4;
        QTest::newRow("no button reduces") << 2 << int(Qt::NoButton) << 3;
        QTest::newRow("reducing at the smallest does nothing") << 4 << int(Qt::RightButton) << 4;
    }

    void zoomSteps() {
        QFETCH(int, divisor);
        QFETCH(int, button);
        QFETCH(int, expectedDivisor);
        Viewer v;
        v.addPicture("a.bmp", QSize(400, 300));
        Settings stored = Settings::startupDefaults(v.pictures());
        stored.ZoomDivisor = static_cast<qint16>(divisor);
        ImageBrowser& b = v.start(stored);
        QVERIFY(v.select(0));
        b.Image1_Click(0);
        const QRectF before = b.zoomView().rect;
        b.ZoomImg_MouseDown(static_cast<Qt::MouseButton>(button));
        QCOMPARE(v.module.settings.ZoomDivisor, qint16(expectedDivisor));
        QCOMPARE(v.module.ZoomHeight, 12000.0 / expectedDivisor);
        QCOMPARE(b.zoomView().rect.height(), divisor == expectedDivisor ? before.height()
                                                                        : 12000.0 / expectedDivisor);
    }

    void moreZoomShowsTheHiddenViewAgain() {
        Viewer v;
        v.addPicture("a.bmp");
        Settings stored = Settings::startupDefaults(v.pictures());
        stored.ZoomDivisor = 3;
        ImageBrowser& b = v.start(stored);
        QVERIFY(v.select(0));
        b.Image1_Click(0);
        b.ZoomImg_DblClick();
        QVERIFY(!b.zoomView().visible);
        b.Mas_Click();
        QVERIFY(b.zoomView().visible);
        QCOMPARE(v.module.settings.ZoomDivisor, qint16(2));
        b.ZoomImg_DblClick();
        b.Mas_Click(); // already the largest: stays hidden
        QVERIFY(!b.zoomView().visible);
        b.Menos_Click();
        QCOMPARE(v.module.settings.ZoomDivisor, qint16(3));
    }

    void zoomModeShowsTheSelectedFileInsteadOfAPage() {
        Viewer v;
        v.addPicture("a.bmp", QSize(80, 60));
        v.addFile("b.bmp", "broken");
        v.addFile("c.txt");
        ImageBrowser& b = v.start();
        b.CboFiltro_Change("*.*");
        QSignalSpy applied(&b, &ImageBrowser::zoomModeApplied);
        b.Modo_Click();
        QCOMPARE(applied.takeFirst().first().toBool(), true);
        QVERIFY(v.module.settings.ZoomMode);

        QVERIFY(v.select(0));
        QVERIFY(b.zoomView().visible);
        QCOMPARE(b.zoomView().picture.naturalSize, QSize(80, 60));
        QCOMPARE(v.module.PreviewName, QString("a.bmp"));
        QCOMPARE(v.visibleImages(), 0); // the page is not filled

        QVERIFY(v.select(2)); // not a picture: the view stays as it was
        QVERIFY(b.zoomView().visible);
        QCOMPARE(b.title(), QString("Lumi Vart [c.txt]"));

        QVERIFY(v.select(1)); // cannot be loaded: the view stays hidden
        QVERIFY(!b.zoomView().visible);
        QCOMPARE(v.module.PreviewName, QString("a.bmp"));
        QVERIFY(v.feedback.messages.isEmpty());

        b.Modo_Click();
        QCOMPARE(applied.takeFirst().first().toBool(), false);
    }

    void escapeHidesTheViewFirstThenReadsTheFolderAgain() {
        Viewer v;
        v.addPicture("a.bmp");
        ImageBrowser& b = v.start();
        QVERIFY(v.select(0));
        b.Image1_Click(0);
        b.escapePressed();
        QVERIFY(!b.zoomView().visible);
        QCOMPARE(v.captions().first(), QString("a.bmp"));
        QCOMPARE(b.title(), QString("Lumi Vart [1]"));
        v.addPicture("b.bmp");
        b.escapePressed();
        QVERIFY(v.captions().first().isEmpty());
        QCOMPARE(b.title(), QString("Lumi Vart [2]"));
    }

    void mouseOverCellsAndTheViewSetsTheTitle() {
        Viewer v;
        v.addPicture("a.bmp");
        v.addPicture("b.bmp");
        ImageBrowser& b = v.start();
        QVERIFY(v.select(0));
        b.Image1_MouseMove(1);
        QCOMPARE(b.title(), QString("Lumi Vart [b.bmp]"));
        b.ZoomImg_MouseMove(); // hidden view: no change
        QCOMPARE(b.title(), QString("Lumi Vart [b.bmp]"));
        b.Image1_Click(0);
        b.ZoomImg_MouseMove();
        QCOMPARE(b.title(), QString("Lumi Vart [a.bmp]"));
    }

    void theRightButtonRemembersTheCellAndOpensTheMenu() {
        Viewer v;
        v.addPicture("a.bmp");
        v.addPicture("b.bmp");
        ImageBrowser& b = v.start();
        QVERIFY(v.select(0));
        b.Image1_MouseDown(1, Qt::LeftButton);
        QCOMPARE(v.feedback.menusOpened, 0);
        b.Image1_MouseDown(1, Qt::RightButton);
        QCOMPARE(v.module.CurrentIndex, qint16(1));
        QCOMPARE(v.feedback.menusOpened, 1);
    }

    void refreshWithTheViewShownKeepsItsName() {
        Viewer v;
        v.addPicture("a.bmp");
        ImageBrowser& b = v.start();
        QVERIFY(v.select(0));
        b.Image1_Click(0);
        b.Actualizar_Click();
        QVERIFY(b.zoomView().visible);
        QCOMPARE(b.title(), QString("Lumi Vart [a.bmp]"));
    }

    // A cell keeps the pixels it shows, at the screen's device pixels; the zoom view reads its
    // own picture, up to what its widest view shows.
    void cellsKeepWhatTheyShowAndTheZoomViewReadsItsOwn_data() {
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<QSize>("bound");
        QTest::addColumn<QSize>("cell");
        QTest::addColumn<QSize>("kept"); // of a 2400 x 1800 picture
        // The widest zoom view of the class (7450, 9500 or 13000 twips) and half the screen's
        // width high; cells of 500 twips: 33 pixels at 15 twips a pixel.
        QTest::newRow("class 1, 640 x 480")
            << QSize(640, 480) << 1.0 << QSize(497, 320) << QSize(33, 33) << QSize(426, 320);
        QTest::newRow("class 2, 1920 x 1080")
            << QSize(1920, 1080) << 1.0 << QSize(633, 960) << QSize(33, 33) << QSize(633, 474);
        QTest::newRow("class 3, 1024 x 768, two device pixels a pixel")
            << QSize(1024, 768) << 2.0 << QSize(1734, 1024) << QSize(66, 66) << QSize(1365, 1024);
    }

    void cellsKeepWhatTheyShowAndTheZoomViewReadsItsOwn() {
        QFETCH(QSize, screen);
        QFETCH(qreal, ratio);
        QFETCH(QSize, bound);
        QFETCH(QSize, cell);
        QFETCH(QSize, kept);
        Viewer v;
        v.screen = screen;
        v.addPicture("big.bmp", QSize(2400, 1800));
        v.addPicture("small.bmp", QSize(60, 40));
        ImageBrowser& b = v.start();
        b.setDevicePixelRatio(ratio);
        QVERIFY(v.select(0));
        QCOMPARE(b.zoom().pictureBound(), bound);
        QCOMPARE(b.cells()[0].picture.naturalSize, QSize(2400, 1800));
        QCOMPARE(b.cells()[0].picture.image.size(), cell);
        QCOMPARE(b.cells()[1].picture.image.size(), cell);
        b.Image1_Click(0);
        QCOMPARE(b.zoomView().picture.image.size(), cell); // at once, from the cell
        QTRY_COMPARE(b.zoomView().picture.image.size(), kept);
        QCOMPARE(b.zoomView().picture.naturalSize, QSize(2400, 1800));
    }
};

QTEST_MAIN(ImageBrowserTest)
#include "ImageBrowserTest.moc"
