// The page off the user-interface thread: pictures handed over in list order under the failure
// rule, abandoned fills, pictures recalled from memory; and the one widget that draws the cells and
// reports the mouse as the cells would.
#include "PageFill.h"
#include "TestFolders.h"
#include "ThumbnailGrid.h"
#include "ThumbnailWorkers.h"

#include <QSemaphore>
#include <QSignalSpy>
#include <QtTest>

#include <atomic>

namespace {

constexpr QSize kCell(20, 10);

// A page fill on files whose names say how their pictures are made: "bad..." fails, "slow..."
// waits until the gate opens; every other picture carries a width drawn from its name. The events
// are what the fill gave, in order: "3" for picture 3 (checked to be the picture of the right
// file), "!3" for the failure at 3, "done" when complete.
struct Page {
    TestFolder folder;
    std::atomic<int> made{0};
    QSemaphore gate;
    ThumbnailWorkers workers{2};
    std::unique_ptr<PageFill> fill = std::make_unique<PageFill>(workers, maker());
    QStringList paths; // of the fill started last
    QStringList events;

    Page() {
        QObject::connect(fill.get(), &PageFill::pictureReady, [this](int i, const Picture& p) {
            const bool right = i < paths.size() && p.naturalSize.width() == widthOf(paths[i]);
            events.append(right ? QString::number(i) : QString("wrong picture at %1").arg(i));
        });
        QObject::connect(fill.get(), &PageFill::failed,
                         [this](int i) { events.append("!" + QString::number(i)); });
        QObject::connect(fill.get(), &PageFill::completed, [this] { events.append("done"); });
    }
    static int widthOf(const QString& path) { return qHash(QFileInfo(path).fileName()) % 1000 + 1; }

    QStringList files(const QStringList& names) {
        QStringList written;
        for (const QString& name : names)
            written.append(folder.write(name, "content"));
        return written;
    }
    void start(const QStringList& files) {
        paths = files;
        events.clear();
        fill->start(paths, kCell);
    }
    bool ended() const {
        return QTest::qWaitFor([this] {
            return !events.isEmpty() && (events.last() == "done" || events.last().startsWith('!'));
        });
    }
    // Whatever the workers still post shows now.
    void settle() {
        workers.waitForDone();
        QCoreApplication::processEvents();
    }
    PageFill::Maker maker() {
        return [this](const QString& path, QSize pixels) {
            ++made;
            const QString name = QFileInfo(path).fileName();
            ThumbnailMaker::Made result;
            if (name.startsWith("slow"))
                gate.tryAcquire(1, 10000);
            if (name.startsWith("bad")) {
                result.error = "bad";
                gate.release(); // what waits may go on only now
                return result;
            }
            result.picture = {QImage(pixels, QImage::Format_RGB32), {widthOf(path), 1}};
            return result;
        };
    }
};

} // namespace

class ThumbnailPageTest : public QObject {
    Q_OBJECT

private slots:
    // ----- The fill -----

    void picturesComeInOrderAndTheFirstFailureEndsThePage_data() {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("all good") << QStringList{"a", "b", "c"}
                                  << QStringList{"0", "1", "2", "done"};
        QTest::newRow("bad made before a slower good one before it")
            << QStringList{"slow", "bad", "c"} << QStringList{"0", "!1"};
        QTest::newRow("two bad ones") << QStringList{"a", "bad1", "bad2"} << QStringList{"0", "!1"};
        QTest::newRow("empty page") << QStringList{} << QStringList{"done"};
    }

    void picturesComeInOrderAndTheFirstFailureEndsThePage() {
        QFETCH(QStringList, names);
        QFETCH(QStringList, expected);
        Page page;
        page.start(page.files(names));
        QVERIFY(page.ended());
        page.settle();
        QCOMPARE(page.events, expected);
        QVERIFY(!page.fill->isFilling());
    }

    // Paging on twice quickly, or the window closed during a fill: the running work is not
    // waited for, and nothing of the old page is made after it or lands anywhere.
    void anAbandonedFillStops_data() {
        QTest::addColumn<bool>("destroyed");
        QTest::newRow("a new fill") << false;
        QTest::newRow("the fill destroyed") << true;
    }

    void anAbandonedFillStops() {
        QFETCH(bool, destroyed);
        Page page;
        const QStringList second = page.files({"b1", "b2", "b3"});
        page.start(page.files({"slow1", "slow2", "a1", "a2"}));
        QTRY_COMPARE(page.made.load(), 2); // both threads wait on the first page
        if (destroyed)
            page.fill.reset();
        else
            page.start(second);
        page.gate.release(2);
        QVERIFY(destroyed || page.ended());
        page.settle();
        QCOMPARE(page.events, (destroyed ? QStringList() : QStringList{"0", "1", "2", "done"}));
        QCOMPARE(page.made.load(), destroyed ? 2 : 2 + 3); // the second page only after the two
    }

    // A page read ahead, or seen before, comes from memory, unless its file changed or no
    // longer opens.
    void pagesReadAheadOrSeenBeforeAreRecalled() {
        Page page;
        const QStringList paths = page.files({"a", "b", "c"});
        const auto fillOnce = [&] {
            page.start(paths);
            return page.ended();
        };
        QSignalSpy ready(page.fill.get(), &PageFill::readAheadDone);
        page.fill->readAhead(paths, kCell);
        QVERIFY(ready.wait());
        QCOMPARE(page.made.load(), 3);
        QVERIFY(fillOnce());
        QCOMPARE(page.events, (QStringList{"0", "1", "2", "done"}));
        QCOMPARE(page.made.load(), 3);
        QFile changed(paths[1]);
        QVERIFY(changed.open(QIODevice::ReadWrite));
        QVERIFY(changed.setFileTime(QDateTime::currentDateTime().addSecs(60),
                                    QFileDevice::FileModificationTime));
        changed.close();
        QVERIFY(fillOnce());
        QCOMPARE(page.made.load(), 4);
        QVERIFY(QFile::remove(paths[2]));
        QVERIFY(fillOnce());
        QCOMPARE(page.events, (QStringList{"0", "1", "!2"}));
    }

    // ----- The grid -----

    // Two rows of two cells; captions (165 twips) reach 75 twips into the row below, and cell
    // 3's image is hidden. The mouse goes to the shown image on top: presses name the cell and
    // the button, a click is a left press and release on the same image; a caption, the gap
    // between images and a hidden image are nobody's.
    void mouseSignalsNameTheShownImageOnTop() {
        QWidget parent;
        ThumbnailGrid grid(TwipsScale(), &parent);
        layOutTwoRows(grid);
        QCOMPARE(grid.geometry(), QRect(100, 0, 60, 49)); // the cells and nothing else
        parent.show();
        QStringList heard;
        const auto hear = [&heard](const char* what) {
            return [&heard, what](int cell) { heard.append(what + QString::number(cell)); };
        };
        connect(&grid, &ThumbnailGrid::pressed, [&](int cell, Qt::MouseButton button) {
            hear(button == Qt::RightButton ? "right " : "left ")(cell);
        });
        connect(&grid, &ThumbnailGrid::clicked, hear("click "));
        connect(&grid, &ThumbnailGrid::doubleClicked, hear("double "));
        connect(&grid, &ThumbnailGrid::moved, hear("move "));
        const QPoint cell1 = QPoint(145, 5) - grid.pos();
        QTest::mouseClick(&grid, Qt::RightButton, {}, cell1);
        QTest::mouseClick(&grid, Qt::LeftButton, {}, cell1);
        QTest::mousePress(&grid, Qt::LeftButton, {}, cell1);
        QTest::mouseRelease(&grid, Qt::LeftButton, {}, QPoint(135, 5) - grid.pos()); // the gap
        QTest::mouseDClick(&grid, Qt::LeftButton, {}, cell1);
        QTest::mouseMove(&grid, QPoint(105, 24) - grid.pos()); // cell 2 over cell 0's caption
        for (const QPoint nobodys : {QPoint(105, 18), QPoint(135, 5), QPoint(145, 24)})
            QTest::mouseClick(&grid, Qt::RightButton, {}, nobodys - grid.pos());
        QCOMPARE(heard,
                 (QStringList{"right 1", "left 1", "click 1", "left 1", "double 1", "move 2"}));
    }

private:
    static void layOutTwoRows(ThumbnailGrid& grid) {
        std::vector<CellPlacement> places;
        for (int row = 0; row < 2; ++row)
            for (int column = 0; column < 2; ++column) {
                const int left = 1500 + column * 600;
                const int top = row * 330;
                places.push_back({QRect(left, top, 300, 240), QRect(left, top + 240, 300, 165)});
            }
        grid.setPlaces(places);
        const QImage picture(20, 16, QImage::Format_RGB32);
        for (int i = 0; i < 4; ++i)
            grid.setCell(i, QStringLiteral("cell %1").arg(i), picture, i != 3);
    }
};

QTEST_MAIN(ThumbnailPageTest)
#include "ThumbnailPageTest.moc"
