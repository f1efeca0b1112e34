#include "SlideShow.h"
#include "ScriptedRandom.h"
#include "Settings.h"

#include <QtTest>

namespace {

// Records what the show asked of its window. Files whose names contain "bad" cannot be read;
// those whose names contain "slow" are still being read until arrive() is called.
struct RecordingHost : SlideShowHost {
    QStringList loads;
    QString shown; // the file the slide holds
    QSize shownSize;
    QRectF lastRect;
    bool visible = false;
    bool running = false;
    int periodMs = 0;
    int timerUpdates = 0;
    bool waiting = false;
    QString reading;

    bool takeWaitingPicture() override {
        if (!waiting)
            return false;
        waiting = false;
        shown = "preview";
        shownSize = QSize(400, 300);
        return true;
    }
    Load loadSlide(const QString& path) override {
        loads.append(path);
        if (path.contains("bad"))
            return Load::Failed;
        if (path.contains("slow")) {
            reading = path;
            return Load::Pending;
        }
        shown = path;
        shownSize = QSize(200, 100);
        return Load::Ready;
    }
    void arrive(SlideShow& show) {
        shown = reading;
        shownSize = QSize(100, 200);
        show.presentSlide();
    }
    QSize slidePictureSize() const override { return shownSize; }
    QSizeF screenSize() const override { return {1000, 800}; }
    void hideSlide() override { visible = false; }
    void showSlide(const QRectF& rect) override {
        visible = true;
        lastRect = rect;
    }
    void timerChanged(bool r, int p) override {
        running = r;
        periodMs = p;
        ++timerUpdates;
    }
};

struct Show {
    Settings settings = Settings::startupDefaults("/f");
    int currentIndex = 0;
    RecordingHost host;
    ScriptedRandom random;
    SlideShow show{host, settings, currentIndex, random};

    explicit Show(const QStringList& entries, int start = 0) {
        currentIndex = start;
        show.setList(entries, static_cast<int>(entries.size()), "/f");
    }
};

const QStringList kMixed{"a.jpg", "notes.txt", "b.GIF", "c.doc", "d.JPEG"};

// A step of the walk: "first" and "last" go to the ends of the list, anything else is a
// direction for OtraD.
void step(Show& s, const QString& direction) {
    if (direction == "first" || direction == "last")
        s.show.showListEnd(direction == "first" ? SlideShow::ListEnd::First
                                                : SlideShow::ListEnd::Last);
    else
        s.show.OtraD(direction);
}

QStringList loadedList(const QString& loaded) {
    return loaded.isEmpty() ? QStringList{} : QStringList{loaded};
}

} // namespace

class SlideShowTest : public QObject {
    Q_OBJECT

private slots:
    void walk_data() {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("direction");
        QTest::addColumn<int>("expectedIndex");
        QTest::addColumn<QString>("loaded"); // empty when nothing is loaded

        const QStringList one{"x.txt", "only.bmp", "y.txt"};
        const QStringList none{"x.txt", "y.txt"};
        QTest::newRow("next skips non-pictures") << kMixed << 0 << "S" << 2 << "/f/b.GIF";
        QTest::newRow("next wraps to the start") << kMixed << 4 << "S" << 0 << "/f/a.jpg";
        QTest::newRow("previous wraps to the end") << kMixed << 0 << "A" << 4 << "/f/d.JPEG";
        QTest::newRow("previous skips non-pictures") << kMixed << 4 << "A" << 2 << "/f/b.GIF";
        QTest::newRow("next from a non-picture") << kMixed << 1 << "S" << 2 << "/f/b.GIF";
        QTest::newRow("current entry") << kMixed << 2 << "N" << 2 << "/f/b.GIF";
        QTest::newRow("current entry not a picture") << kMixed << 1 << "N" << 1 << "";
        QTest::newRow("other letters act as current") << kMixed << 2 << "X" << 2 << "/f/b.GIF";
        QTest::newRow("the only picture, next") << one << 1 << "S" << 1 << "/f/only.bmp";
        QTest::newRow("the only picture, previous") << one << 1 << "A" << 1 << "/f/only.bmp";
        QTest::newRow("no picture: back at the start") << none << 0 << "S" << 0 << "";
        QTest::newRow("start beyond a shorter list, no picture ends")
            << none << 7 << "S" << 7 << "";
        QTest::newRow("start beyond the list walks from its remainder")
            << QStringList{"a.bmp", "x.txt", "c.ico"} << 7 << "S" << 2 << "/f/c.ico";
        QTest::newRow("negative start changes nothing") << kMixed << -1 << "S" << -1 << "";
        QTest::newRow("empty list, next") << QStringList{} << 3 << "S" << 3 << "";
        QTest::newRow("empty list, previous") << QStringList{} << 3 << "A" << 3 << "";
    }

    // The file announced as upcoming is the one the next step then loads.
    void walk() {
        QFETCH(QStringList, entries);
        QFETCH(int, start);
        QFETCH(QString, direction);
        QFETCH(int, expectedIndex);
        QFETCH(QString, loaded);
        Show s(entries, start);
        const std::optional<QString> upcoming = s.show.upcomingFile();
        s.show.OtraD(direction);
        QCOMPARE(s.currentIndex, expectedIndex);
        QCOMPARE(s.host.loads, loadedList(loaded));
        if (direction == "S")
            QCOMPARE(upcoming.value_or(""), loaded);
    }

    // In random order the next picture is drawn, until a draw lands on a picture or on the
    // start; the previous one and the ends are still the list's, and nothing is upcoming.
    void randomWalk_data() {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("direction");
        QTest::addColumn<QList<double>>("draws");
        QTest::addColumn<int>("expectedIndex");
        QTest::addColumn<QString>("loaded");
        QTest::addColumn<int>("drawn");
        const QStringList framed{"x.txt", "a.bmp", "b.bmp", "y.txt"};
        const QList<double> half{0.5};
        QTest::newRow("a draw may land on the start") // floor(5 x 0.45) = 2
            << kMixed << 2 << "S" << QList<double>{0.45} << 2 << "/f/b.GIF" << 1;
        QTest::newRow("draws of no picture are drawn again") // 1 (text), 3 (text), 4
            << kMixed << 2 << "S" << QList<double>{0.25, 0.7, 0.99} << 4 << "/f/d.JPEG" << 3;
        QTest::newRow("previous in list order")
            << kMixed << 4 << "A" << half << 2 << "/f/b.GIF" << 0;
        QTest::newRow("no picture: nothing drawn")
            << QStringList{"x.txt", "y.txt"} << 0 << "S" << half << 0 << "" << 0;
        QTest::newRow("empty list") << QStringList{} << 3 << "S" << half << 3 << "" << 0;
        QTest::newRow("first skips what is no picture")
            << framed << 1 << "first" << half << 1 << "/f/a.bmp" << 0;
        QTest::newRow("last skips what is no picture")
            << framed << 1 << "last" << half << 2 << "/f/b.bmp" << 0;
        QTest::newRow("first is the last entry")
            << QStringList{"x.txt", "z.bmp"} << 0 << "first" << half << 1 << "/f/z.bmp" << 0;
        QTest::newRow("no picture at all: no end moves")
            << QStringList{"x.txt", "y.txt", "z.txt"} << 1 << "last" << half << 1 << "" << 0;
    }

    void randomWalk() {
        QFETCH(QStringList, entries);
        QFETCH(int, start);
        QFETCH(QString, direction);
        QFETCH(QList<double>, draws);
        QFETCH(int, expectedIndex);
        QFETCH(QString, loaded);
        Show s(entries, start);
        s.settings.RandomOrder = 1;
        s.random.draws = draws;
        QCOMPARE(s.show.upcomingFile(), std::nullopt);
        step(s, direction);
        QCOMPARE(s.currentIndex, expectedIndex);
        QCOMPARE(s.host.loads, loadedList(loaded));
        QTEST(s.random.drawn, "drawn");
    }

    // A picture that cannot be read keeps the one shown; one still being read is shown when it
    // arrives, the earlier one staying meanwhile; a picture waiting in the window comes first.
    void aFailedLoadKeepsThePictureAndTheWalkGoesOnFromIt() {
        Show s({"a.bmp", "bad.bmp", "c.bmp"}, 0);
        s.show.DiapoZ(u"N");
        s.show.DiapoZ(u"S");
        QCOMPARE(s.currentIndex, 1);
        QCOMPARE(s.host.shown, QString("/f/a.bmp"));
        QVERIFY(s.host.visible);
        s.show.DiapoZ(u"S");
        QCOMPARE(s.host.shown, QString("/f/c.bmp"));
    }

    void aPictureStillBeingReadIsShownWhenItArrives() {
        Show s({"a.bmp", "slow.bmp", "c.bmp"}, 0);
        s.show.DiapoZ(u"N");
        s.show.DiapoZ(u"S");
        QCOMPARE(s.currentIndex, 1);
        QCOMPARE(s.host.lastRect, QRectF(0, 0, 1000, 800));
        QCOMPARE(s.host.shown, QString("/f/a.bmp"));
        s.settings.Proportional = 1;
        s.host.arrive(s.show);
        QCOMPARE(s.host.shown, QString("/f/slow.bmp"));
        QVERIFY(s.host.visible);
        QCOMPARE(s.host.lastRect, QRectF(300, 0, 400, 800));
    }

    void theWaitingPictureComesFirstAndTheWalkThenGoesOn() {
        Show s(kMixed, 0);
        s.host.waiting = true;
        s.show.DiapoZ(u"N");
        QCOMPARE(s.host.shown, QString("preview"));
        QVERIFY(s.host.loads.isEmpty());
        s.show.DiapoZ(u"S");
        QCOMPARE(s.host.shown, QString("/f/b.GIF"));
    }

    void nothingToShowLeavesTheScreenBlack() {
        Show s({"x.txt", "y.bmp"}, 0);
        s.show.DiapoZ(u"N");
        QVERIFY(!s.host.visible);
    }

    void rectangle_data() {
        QTest::addColumn<QSizeF>("picture");
        QTest::addColumn<QSizeF>("screen");
        QTest::addColumn<bool>("proportional");
        QTest::addColumn<QRectF>("expected");
        const QSizeF wide(1000, 800);
        QTest::newRow("stretched") << QSizeF(300, 400) << wide << false << QRectF(0, 0, 1000, 800);
        QTest::newRow("wide fills the width")
            << QSizeF(400, 100) << wide << true << QRectF(0, 275, 1000, 250);
        QTest::newRow("wide but less wide than the screen overflows")
            << QSizeF(500, 450) << wide << true << QRectF(0, -50, 1000, 900);
        QTest::newRow("square is laid out as tall")
            << QSizeF(50, 50) << wide << true << QRectF(100, 0, 800, 800);
        QTest::newRow("tall on a tall screen may overflow")
            << QSizeF(450, 500) << QSizeF(800, 1000) << true << QRectF(-50, 0, 900, 1000);
    }

    void rectangle() {
        QFETCH(QSizeF, picture);
        QFETCH(QSizeF, screen);
        QFETCH(bool, proportional);
        QTEST(slideRectangle(picture, screen, proportional), "expected");
    }

    // Keys typed into the show; the delay and the timer after them, and the index walked to.
    void keys_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("delayBefore");
        QTest::addColumn<int>("delayAfter");
        QTest::addColumn<bool>("runningAfter");
        QTest::addColumn<int>("timerUpdates");
        QTest::addColumn<int>("index");
        QTest::newRow("plus") << "+" << 5 << 6 << false << 1 << 0;
        QTest::newRow("equals is plus") << "=" << 5 << 6 << false << 1 << 0;
        QTest::newRow("plus at 200 stays") << "+" << 200 << 200 << false << 1 << 0;
        QTest::newRow("minus") << "-" << 5 << 4 << false << 1 << 0;
        QTest::newRow("underscore is minus") << "_" << 5 << 4 << false << 1 << 0;
        QTest::newRow("minus at 1 stays") << "-" << 1 << 1 << false << 1 << 0;
        QTest::newRow("minus at 2 stays") << "-" << 2 << 2 << false << 1 << 0;
        QTest::newRow("pause then resume") << "dP" << 5 << 5 << false << 2 << 0;
        QTest::newRow("pause starts a still view") << "p" << 5 << 5 << true << 1 << 0;
        QTest::newRow("other keys do nothing") << "xQ1" << 5 << 5 << false << 0 << 0;
        QTest::newRow("space, s, then A") << " sA" << 5 << 5 << false << 0 << 2;
    }

    void keys() {
        QFETCH(QString, keys);
        QFETCH(int, delayBefore);
        QFETCH(int, timerUpdates);
        Show s(kMixed, 0);
        s.settings.ImageTempo = static_cast<qint16>(delayBefore);
        for (const QChar key : keys) {
            const SlideShow::KeyResult result = s.show.keyPressed(key);
            QCOMPARE(result, QString(" sSA+=-_pPdD").contains(key) ? SlideShow::KeyResult::Handled
                                                                   : SlideShow::KeyResult::Ignored);
        }
        QTEST(int(s.settings.ImageTempo), "delayAfter");
        QTEST(s.show.timerRunning(), "runningAfter");
        QTEST(s.host.timerUpdates, "timerUpdates");
        QTEST(s.currentIndex, "index");
        if (timerUpdates > 0)
            QCOMPARE(s.host.periodMs, s.settings.ImageTempo * 1000);
        QCOMPARE(s.show.keyPressed(QChar(27)), SlideShow::KeyResult::Close);
    }

    void timerPeriod_data() {
        QTest::addColumn<int>("delay");
        QTest::addColumn<int>("periodMs");
        QTest::newRow("preferences minimum") << 1 << 1000;
        QTest::newRow("maximum") << 200 << 200000;
        QTest::newRow("unset delay does not spin") << 0 << 2000;
        QTest::newRow("negative delay does not spin") << -3 << 2000;
    }

    void timerPeriod() {
        QFETCH(int, delay);
        QTEST(slideTimerPeriodMs(static_cast<qint16>(delay)), "periodMs");
    }
};

QTEST_GUILESS_MAIN(SlideShowTest)
#include "SlideShowTest.moc"
