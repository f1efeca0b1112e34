#include "BrowserFixture.h"

#include <QtTest>

class ImageBrowserTest : public QObject {
    Q_OBJECT

private slots:
    // The stored folder is shown when it still exists; values the browser cannot use (the saver
    // stores sizes of zero) are repaired.
    void startUp_data() {
        QTest::addColumn<QString>("stored"); // the folder stored, under the test folder
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("listed");
        QTest::newRow("first run: nothing stored") << ""
                                                   << "pics" << 2;
        QTest::newRow("stored") << "pics/sub"
                                << "pics/sub" << 0;
        QTest::newRow("vanished folder") << "gone"
                                         << "pics" << 2;
    }

    void startUp() {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QFETCH(int, listed);
        Viewer v;
        v.addPicture("a.bmp");
        v.addPicture("b.bmp");
        v.addFile("c.txt");
        v.folder.makeFolder("pics/sub");
        Settings zeroSizes;
        zeroSizes.CurrentFolder = v.folder.filePath(stored);
        ImageBrowser& b = v.start(stored.isEmpty() ? std::nullopt : std::optional(zeroSizes));
        QCOMPARE(b.Dir1().path(), v.folder.filePath(shown));
        QCOMPARE(v.module.settings.CurrentFolder,
                 stored.isEmpty() ? v.pictures() : zeroSizes.CurrentFolder);
        QCOMPARE(v.module.settings.ThumbWidth, qint16(500));
        QCOMPARE(b.title(), listed ? QString("Lumi Vart [%1]").arg(listed) : QString("Lumi Vart"));
    }

    void filterChange_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("listed");
        const QStringList all{"a.bmp", "b.gif", "c.txt", "d.JPG", "e.jpeg"};
        QTest::newRow("all files") << 0 << "Todos los Archivos" << all;
        QTest::newRow("trimmed text picks its pattern")
            << 0 << "  Archivos GIF (*.gif) " << QStringList{"b.gif"};
        QTest::newRow("english texts")
            << 200 << "JPEG Files (*.jpg, *.jpeg)" << QStringList{"d.JPG", "e.jpeg"};
    }

    void filterChange() {
        QFETCH(int, language);
        QFETCH(QString, text);
        QFETCH(QStringList, listed);
        Viewer v;
        for (const char* name : {"a.bmp", "b.gif", "d.JPG", "e.jpeg"})
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

    // A page shows the pictures from the selection on, other files left out, up to the first
    // picture that cannot be read: that cell and the ones after it are emptied, without a word.
    void pageContent_data() {
        QTest::addColumn<QStringList>("files"); // a name after "!" is a broken picture
        QTest::addColumn<int>("selected");      // -1: a refresh with nothing selected
        QTest::addColumn<QStringList>("page");
        QStringList mixed; // 15 positions, 4 of them text files
        for (int i = 0; i < 15; ++i)
            mixed.append(Viewer::numbered(i, i % 4 == 1 ? ".txt" : ".bmp"));
        QStringList six, twenty;
        for (int i = 0; i < 20; ++i)
            (i < 6 ? six : twenty).append(Viewer::numbered(i));
        twenty = six + twenty;
        QTest::newRow("other files left out") << mixed << 0 << mixed.filter(".bmp");
        QStringList broken = six;
        broken[3].prepend('!');
        QTest::newRow("broken picture") << broken << 0 << six.mid(0, 3);
        QTest::newRow("refresh reads from position -1") << twenty << -1 << twenty.mid(0, 14);
    }

    void pageContent() {
        QFETCH(QStringList, files);
        QFETCH(int, selected);
        QFETCH(QStringList, page);
        Viewer v;
        for (const QString& name : files) {
            if (name.startsWith('!'))
                v.addFile(name.mid(1), "BM but truncated");
            else if (name.endsWith(".txt"))
                v.addFile(name);
            else
                v.addPicture(name);
        }
        ImageBrowser& b = v.start(Viewer::fifteenCells(v.pictures()));
        b.CboFiltro_Change("*.*");
        QCOMPARE(v.module.LastCell, qint16(14));
        if (selected < 0)
            b.Actualizar_Click();
        QVERIFY(selected < 0 ? v.pageFilled() : v.select(selected));
        QCOMPARE(b.File1().listIndex(), selected);
        QCOMPARE(v.captions(), page + QStringList(15 - page.size(), QString()));
        QCOMPARE(v.visibleImages(), page.size());
        QCOMPARE(b.title(), selected < 0 ? QString("Lumi Vart [%1]").arg(files.size())
                                         : "Lumi Vart [" + b.File1().entry(selected) + "]");
        QVERIFY(v.feedback.messages.isEmpty());
        QVERIFY(!v.feedback.busy);
    }

    void paging_data() {
        QTest::addColumn<int>("files");
        QTest::addColumn<int>("from");
        QTest::addColumn<bool>("next");
        QTest::addColumn<int>("expectedPosition");
        QTest::addColumn<bool>("message");
        QTest::newRow("next page steps by LastCell") << 40 << 3 << true << 17 << false;
        QTest::newRow("next page at the end") << 20 << 6 << true << 6 << true;
        QTest::newRow("previous from the first entry") << 40 << 0 << false << 0 << false;
        QTest::newRow("previous before the start") << 40 << 5 << false << 0 << true;
        QTest::newRow("previous to exactly -1") << 40 << 13 << false << -1 << false;
    }

    void paging() {
        QFETCH(int, files);
        QFETCH(int, from);
        QFETCH(bool, next);
        QFETCH(int, expectedPosition);
        QFETCH(bool, message);
        Viewer v;
        for (int i = 0; i < files; ++i)
            v.addFile(Viewer::numbered(i, ".txt"));
        ImageBrowser& b = v.start(Viewer::fifteenCells(v.pictures()));
        b.CboFiltro_Change("*.*");
        QVERIFY(v.select(from));
        if (next)
            b.Image3_Click();
        else
            b.Image2_Click();
        QCOMPARE(b.File1().listIndex(), expectedPosition);
        QCOMPARE(v.feedback.messages,
                 message ? QStringList{QString::fromUtf8("Lumi Vart|No hay más archivos...")}
                         : QStringList{});
    }

    // A folder named from outside is shown; a path to nothing leaves the lists where they were.
    // A picture's path, as a file manager gives it, is on the end-to-end road.
    void aPathFromOutsideShowsItsFolder_data() {
        QTest::addColumn<QString>("path"); // under the test folder
        QTest::addColumn<QString>("shown");
        QTest::newRow("folder, trailing separator") << "pics/sub/"
                                                    << "pics/sub";
        QTest::newRow("nothing there") << "pics/sub/gone.bmp"
                                       << "pics";
    }

    void aPathFromOutsideShowsItsFolder() {
        QFETCH(QString, path);
        QFETCH(QString, shown);
        Viewer v;
        v.addPicture("sub/a.bmp");
        ImageBrowser& b = v.start();
        QCOMPARE(b.showPath(v.folder.filePath(path)), shown != "pics");
        QCOMPARE(b.Dir1().path(), v.folder.filePath(shown));
        QCOMPARE(v.module.settings.CurrentFolder, v.folder.filePath(shown));
        QCOMPARE(b.title(), shown == "pics" ? QString("Lumi Vart") : QString("Lumi Vart [1]"));
    }

    // Pictures are made off the window's thread and arrive later: paging on or another folder
    // before they do, none of them lands in a cell; a waiting cell takes no click.
    void whatEndsAFillKeepsItsPicturesOut() {
        Viewer v;
        for (int i = 0; i < 40; ++i) // each picture's width tells its position
            v.addPicture(Viewer::numbered(i), QSize(20 + i, 10));
        const QString sub = v.folder.makeFolder("pics/sub");
        v.addPicture("sub/s.bmp", QSize(99, 10));
        ImageBrowser& b = v.start(Viewer::fifteenCells(v.pictures()));

        QVERIFY(b.File1().setListIndex(0)); // its pictures are still on their way
        QCOMPARE(v.captions().first(), QString("p00.bmp"));
        b.Image1_Click(0);
        QVERIFY(!b.zoomView().visible);
        b.Image3_Click();
        QVERIFY(v.pageFilled());
        for (int cell = 0; cell <= 14; ++cell) {
            QCOMPARE(v.captions()[cell], Viewer::numbered(14 + cell));
            QCOMPARE(b.cells()[cell].picture.naturalSize.width(), 20 + 14 + cell);
        }

        QVERIFY(b.File1().setListIndex(0));
        QVERIFY(b.Dir1().setPath(sub));
        QVERIFY(!b.page().isFilling());
        QVERIFY(!v.feedback.busy);
        QVERIFY(v.select(0));
        QCOMPARE(b.cells()[0].picture.naturalSize.width(), 99);
        QCOMPARE(v.visibleImages(), 1);
    }

    // Refresh keeps the zoom view; Escape hides it, and with none shown reads the folder again;
    // another folder empties the page and hides the view.
    void refreshEscapeAndAnotherFolder() {
        Viewer v;
        v.addPicture("a.bmp");
        const QString sub = v.folder.makeFolder("pics/sub");
        ImageBrowser& b = v.start();
        QVERIFY(v.preview());
        b.Actualizar_Click();
        QVERIFY(b.zoomView().visible);
        b.escapePressed();
        QVERIFY(!b.zoomView().visible);
        QCOMPARE(v.captions().first(), QString("a.bmp"));
        v.addPicture("b.bmp");
        b.escapePressed();
        QVERIFY(v.captions().first().isEmpty());
        QCOMPARE(b.title(), QString("Lumi Vart [2]"));

        QVERIFY(v.preview());
        QVERIFY(b.Dir1().setPath(sub));
        QCOMPARE(v.visibleImages(), 0);
        QVERIFY(!b.zoomView().visible);
        QCOMPARE(v.module.settings.CurrentFolder, sub);
    }

    // The view grows with the left button or the "more" command down to divisor 2, and shrinks
    // with any other button or "less" up to 4; the commands show a hidden view when they step.
    void zoomSteps_data() {
        QTest::addColumn<int>("divisor");
        QTest::addColumn<int>("button"); // -1: "more", -2: "less", both with the view hidden
        QTest::addColumn<int>("expectedDivisor");
        QTest::newRow("left enlarges") << 3 << int(Qt::LeftButton) << 2;
        QTest::newRow("left at the largest does nothing") << 2 << int(Qt::LeftButton) << 2;
        QTest::newRow("any other button reduces") << 3 << int(Qt::MiddleButton) << 4;
        QTest::newRow("reducing at the smallest does nothing") << 4 << int(Qt::RightButton) << 4;
        QTest::newRow("more at the largest: stays hidden") << 2 << -1 << 2;
        QTest::newRow("less") << 3 << -2 << 4;
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
        QVERIFY(v.preview());
        const double before = b.zoomView().rect.height();
        if (button < 0)
            b.ZoomImg_DblClick();
        if (button == -1)
            b.Mas_Click();
        else if (button == -2)
            b.Menos_Click();
        else
            b.ZoomImg_MouseDown(static_cast<Qt::MouseButton>(button));
        const bool stepped = divisor != expectedDivisor;
        QCOMPARE(v.module.settings.ZoomDivisor, qint16(expectedDivisor));
        QCOMPARE(v.module.ZoomHeight, 12000.0 / expectedDivisor);
        QCOMPARE(b.zoomView().rect.height(), stepped ? 12000.0 / expectedDivisor : before);
        QCOMPARE(b.zoomView().visible, button >= 0 || stepped);
    }

    // The mouse over a shown cell or the shown view names its picture; the right button on a
    // cell remembers it and opens the menu.
    void theMouseOnCellsAndTheView() {
        Viewer v;
        v.addPicture("a.bmp");
        v.addPicture("b.bmp");
        ImageBrowser& b = v.start();
        QVERIFY(v.select(0));
        b.Image1_MouseMove(1);
        QCOMPARE(b.title(), QString("Lumi Vart [b.bmp]"));
        b.ZoomImg_MouseMove(); // hidden view: no change
        QCOMPARE(b.title(), QString("Lumi Vart [b.bmp]"));
        b.Image1_MouseDown(1, Qt::LeftButton);
        QCOMPARE(v.feedback.menusOpened, 0);
        b.Image1_MouseDown(1, Qt::RightButton);
        QCOMPARE(v.module.CurrentIndex, qint16(1));
        QCOMPARE(v.feedback.menusOpened, 1);
        b.Image1_Click(0);
        b.ZoomImg_MouseMove();
        QCOMPARE(b.title(), QString("Lumi Vart [a.bmp]"));
    }

    // A cell keeps the pixels it shows, at the screen's device pixels. A click shows them in the
    // zoom view at once, without reading the file; the view then reads its own picture, up to
    // what its widest view shows.
    void cellsKeepWhatTheyShowAndTheZoomViewReadsItsOwn_data() {
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<QSize>("cell");
        QTest::addColumn<QSize>("kept"); // of a 2400 x 1800 picture
        QTest::addColumn<QRect>("view"); // twips
        // Kept: what fits the widest zoom view of the class (9500 or 13000 twips) and half the
        // screen's width high; cells of 500 twips: 33 pixels at 15 twips a pixel.
        QTest::newRow("class 2, 1280 x 1024: as wide as the view goes")
            << QSize(1280, 1024) << 1.0 << QSize(33, 33) << QSize(633, 474)
            << QRect(5875, 2941, 9500, 7125);
        QTest::newRow("class 3, 1024 x 768, two device pixels a pixel")
            << QSize(1024, 768) << 2.0 << QSize(66, 66) << QSize(1365, 1024)
            << QRect(3585, 1371, 10240, 7680);
    }

    void cellsKeepWhatTheyShowAndTheZoomViewReadsItsOwn() {
        QFETCH(QSize, screen);
        QFETCH(qreal, ratio);
        QFETCH(QSize, cell);
        QFETCH(QSize, kept);
        QFETCH(QRect, view);
        Viewer v;
        v.screen = screen;
        v.addPicture("big.bmp", QSize(2400, 1800));
        v.addPicture("small.bmp", QSize(60, 40));
        ImageBrowser& b = v.start();
        b.setDevicePixelRatio(ratio);
        QVERIFY(v.select(0));
        QCOMPARE(b.cells()[0].picture.naturalSize, QSize(2400, 1800));
        QCOMPARE(b.cells()[0].picture.image.size(), cell);
        QCOMPARE(b.cells()[1].picture.image.size(), cell);
        b.Image1_Click(0);
        const ZoomView& zoom = b.zoomView();
        QVERIFY(zoom.visible);
        QCOMPARE(zoom.picture.image.cacheKey(), b.cells()[0].picture.image.cacheKey());
        QCOMPARE(zoom.rect.toRect(), view);
        QCOMPARE(v.module.PreviewName, QString("big.bmp"));
        QCOMPARE(b.File1().listIndex(), 0);
        QTRY_COMPARE(zoom.picture.image.size(), kept);
        QCOMPARE(zoom.picture.naturalSize, QSize(2400, 1800));
    }
};

QTEST_MAIN(ImageBrowserTest)
#include "ImageBrowserTest.moc"
