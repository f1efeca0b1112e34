#include "SlideShow.h"
#include "Settings.h"

#include <QtTest>
#include <deque>

namespace {

// Draws the numbers it was given, in order.
struct ScriptedRandom : RandomSource {
    std::deque<double> draws;
    int drawn = 0;
    double uniform() override {
        ++drawn;
        if (draws.empty())
            return 0.0;
        const double value = draws.front();
        draws.pop_front();
        return value;
    }
};

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

        QTest::newRow("next skips non-pictures") << kMixed << 0 << "S" << 2 << "/f/b.GIF";
        QTest::newRow("next wraps to the start") << kMixed << 4 << "S" << 0 << "/f/a.jpg";
        QTest::newRow("previous wraps to the end") << kMixed << 0 << "A" << 4 << "/f/d.JPEG";
        QTest::newRow("previous skips non-pictures") << kMixed << 4 << "A" << 2 << "/f/b.GIF";
        QTest::newRow("current entry") << kMixed << 2 << "N" << 2 << "/f/b.GIF";
        QTest::newRow("current entry not a picture") << kMixed << 1 << "N" << 1 << "";
        QTest::newRow("other letters act as current") << kMixed << 2 << "X" << 2 << "/f/b.GIF";
        QTest::newRow("one picture among others, next")
            << QStringList{"x.txt", "only.bmp", "y.txt"} << 1 << "S" << 1 << "/f/only.bmp";
        QTest::newRow("one picture among others, previous")
            << QStringList{"x.txt", "only.bmp", "y.txt"} << 1 << "A" << 1 << "/f/only.bmp";
        QTest::newRow("no picture: back at the start")
            << QStringList{"x.txt", "y.txt"} << 0 << "S" << 0 << "";
        QTest::newRow("start beyond a shorter list, no picture ends")
            << QStringList{"x.txt", "y.txt"} << 7 << "S" << 7 << "";
        QTest::newRow("start beyond the list walks from its remainder")
            << QStringList{"a.bmp", "x.txt", "c.ico"} << 7 << "S" << 2 << "/f/c.ico";
        QTest::newRow("negative start changes nothing") << kMixed << -1 << "S" << -1 << "";
        QTest::newRow("jpeg in any case")
            << QStringList{"x.txt", "P.JpEg"} << 0 << "S" << 1 << "/f/P.JpEg";
    }

    void walk() {
        QFETCH(QStringList, entries);
        QFETCH(int, start);
        QFETCH(QString, direction);
        QFETCH(int, expectedIndex);
        QFETCH(QString, loaded);
        Show s(entries, start);
        s.show.OtraD(direction);
        QCOMPARE(s.currentIndex, expectedIndex);
        QCOMPARE(s.host.loads, loaded.isEmpty() ? QStringList{} : QStringList{loaded});
    }

    void listEndsAreTheFirstAndLastPictures_data() {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<bool>("first");
        QTest::addColumn<int>("expectedIndex");
        const QStringList framed{"x.txt", "a.bmp", "b.bmp", "y.txt"};
        QTest::newRow("first skips what is no picture") << framed << true << 1;
        QTest::newRow("last skips what is no picture") << framed << false << 2;
        QTest::newRow("first is the last entry") << QStringList{"x.txt", "z.bmp"} << true << 1;
        QTest::newRow("no picture at all: nothing moves")
            << QStringList{"x.txt", "y.txt", "z.txt"} << true << 1;
    }

    void listEndsAreTheFirstAndLastPictures() {
        QFETCH(QStringList, entries);
        QFETCH(bool, first);
        QFETCH(int, expectedIndex);
        Show s(entries, 1);
        s.settings.RandomOrder = 1; // the ends are the list's, whatever the order
        s.show.showListEnd(first ? SlideShow::ListEnd::First : SlideShow::ListEnd::Last);
        QCOMPARE(s.currentIndex, expectedIndex);
        QCOMPARE(s.random.drawn, 0);
    }

    void theUpcomingFileIsWhatTheNextStepLoads_data() {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<int>("start");
        QTest::newRow("skips non-pictures") << kMixed << 0;
        QTest::newRow("wraps around") << kMixed << 4;
        QTest::newRow("from a non-picture") << kMixed << 1;
        QTest::newRow("the only picture") << QStringList{"x.txt", "only.bmp"} << 1;
    }

    void theUpcomingFileIsWhatTheNextStepLoads() {
        QFETCH(QStringList, entries);
        QFETCH(int, start);
        Show s(entries, start);
        const std::optional<QString> upcoming = s.show.upcomingFile();
        QCOMPARE(s.currentIndex, start); // looking ahead moves nothing
        s.show.OtraD(u"S");
        QCOMPARE(upcoming, std::optional<QString>(s.host.loads.value(0)));
    }

    void nothingIsUpcomingInRandomOrderOrWithoutPictures() {
        Show random(kMixed, 0);
        random.settings.RandomOrder = 1;
        QCOMPARE(random.show.upcomingFile(), std::nullopt);
        QCOMPARE(random.random.drawn, 0);
        Show none({"x.txt", "y.txt"}, 0);
        QCOMPARE(none.show.upcomingFile(), std::nullopt);
    }

    void anEmptyListLeavesEverything() {
        Show s({}, 3);
        s.show.OtraD(u"S");
        s.show.OtraD(u"A");
        QCOMPARE(s.currentIndex, 3);
        QVERIFY(s.host.loads.isEmpty());
        QCOMPARE(s.random.drawn, 0);
    }

    void randomNextDrawsAndMaySeeTheSamePictureAgain() {
        Show s(kMixed, 2);
        s.settings.RandomOrder = 1;
        s.random.draws = {0.45}; // floor(5 * 0.45) = 2: the start itself
        s.show.OtraD(u"S");
        QCOMPARE(s.currentIndex, 2);
        QCOMPARE(s.host.loads, QStringList{"/f/b.GIF"});

        s.random.draws = {0.25, 0.7, 0.99}; // 1 (text), 3 (text), 4
        s.show.OtraD(u"S");
        QCOMPARE(s.currentIndex, 4);
        QCOMPARE(s.random.drawn, 4);
    }

    void randomOrderStillStepsBackInListOrder() {
        Show s(kMixed, 4);
        s.settings.RandomOrder = 1;
        s.show.OtraD(u"A");
        QCOMPARE(s.currentIndex, 2);
        QCOMPARE(s.random.drawn, 0);
    }

    void randomOrderWithoutPicturesEnds() {
        Show s({"x.txt", "y.txt", "z.txt"}, 0);
        s.settings.RandomOrder = 1;
        s.random.draws = {0.5, 0.9};
        s.show.OtraD(u"S");
        QCOMPARE(s.currentIndex, 0);
        QVERIFY(s.host.loads.isEmpty());
    }

    void aFailedLoadKeepsThePictureAndTheWalkGoesOnFromIt() {
        Show s({"a.bmp", "bad.bmp", "c.bmp"}, 0);
        s.show.DiapoZ(u"N");
        QCOMPARE(s.host.shown, QString("/f/a.bmp"));
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
        QCOMPARE(s.currentIndex, 1); // the step is taken at once
        QCOMPARE(s.host.lastRect, QRectF(0, 0, 1000, 800));
        QCOMPARE(s.host.shown, QString("/f/a.bmp")); // the earlier picture stays meanwhile
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
        QTest::newRow("stretched")
            << QSizeF(300, 400) << QSizeF(1000, 800) << false << QRectF(0, 0, 1000, 800);
        QTest::newRow("wide fills the width")
            << QSizeF(400, 100) << QSizeF(1000, 800) << true << QRectF(0, 275, 1000, 250);
        QTest::newRow("wide but less wide than the screen overflows")
            << QSizeF(500, 450) << QSizeF(1000, 800) << true << QRectF(0, -50, 1000, 900);
        QTest::newRow("tall fills the height")
            << QSizeF(100, 400) << QSizeF(1000, 800) << true << QRectF(400, 0, 200, 800);
        QTest::newRow("square is laid out as tall")
            << QSizeF(50, 50) << QSizeF(1000, 800) << true << QRectF(100, 0, 800, 800);
        QTest::newRow("tall on a tall screen may overflow")
            << QSizeF(450, 500) << QSizeF(800, 1000) << true << QRectF(-50, 0, 900, 1000);
    }

    void rectangle() {
        QFETCH(QSizeF, picture);
        QFETCH(QSizeF, screen);
        QFETCH(bool, proportional);
        QFETCH(QRectF, expected);
        QCOMPARE(slideRectangle(picture, screen, proportional), expected);
    }

    void keys_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("delayBefore");
        QTest::addColumn<int>("delayAfter");
        QTest::addColumn<bool>("runningAfter");
        QTest::addColumn<int>("timerUpdates");
        QTest::newRow("plus") << "+" << 5 << 6 << false << 1;
        QTest::newRow("equals is plus") << "=" << 5 << 6 << false << 1;
        QTest::newRow("plus at 200 stays") << "+" << 200 << 200 << false << 1;
        QTest::newRow("minus") << "-" << 5 << 4 << false << 1;
        QTest::newRow("underscore is minus") << "_" << 5 << 4 << false << 1;
        QTest::newRow("minus at 2 stays") << "-" << 2 << 2 << false << 1;
        QTest::newRow("minus at 1 stays") << "-" << 1 << 1 << false << 1;
        QTest::newRow("pause then resume") << "dP" << 5 << 5 << false << 2;
        QTest::newRow("pause starts a still view") << "p" << 5 << 5 << true << 1;
        QTest::newRow("other keys do nothing") << "xQ1" << 5 << 5 << false << 0;
    }

    void keys() {
        QFETCH(QString, keys);
        QFETCH(int, delayBefore);
        QFETCH(int, delayAfter);
        QFETCH(bool, runningAfter);
        QFETCH(int, timerUpdates);
        Show s(kMixed, 0);
        s.settings.ImageTempo = static_cast<qint16>(delayBefore);
        for (const QChar key : keys)
            s.show.keyPressed(key);
        QCOMPARE(s.settings.ImageTempo, delayAfter);
        QCOMPARE(s.show.timerRunning(), runningAfter);
        QCOMPARE(s.host.timerUpdates, timerUpdates);
        if (timerUpdates > 0)
            QCOMPARE(s.host.periodMs, delayAfter * 1000);
    }

    void stepKeysAndEscape() {
        Show s(kMixed, 0);
        QCOMPARE(s.show.keyPressed(u' '), SlideShow::KeyResult::Handled);
        QCOMPARE(s.currentIndex, 2);
        s.show.keyPressed(u's');
        QCOMPARE(s.currentIndex, 4);
        s.show.keyPressed(u'A');
        QCOMPARE(s.currentIndex, 2);
        QCOMPARE(s.show.keyPressed(QChar(27)), SlideShow::KeyResult::Close);
        QCOMPARE(s.show.keyPressed(u'z'), SlideShow::KeyResult::Ignored);
    }

    void timerPeriod_data() {
        QTest::addColumn<int>("delay");
        QTest::addColumn<int>("periodMs");
        QTest::newRow("preferences minimum") << 1 << 1000;
        QTest::newRow("ordinary") << 7 << 7000;
        QTest::newRow("maximum") << 200 << 200000;
        QTest::newRow("unset delay does not spin") << 0 << 2000;
        QTest::newRow("negative delay does not spin") << -3 << 2000;
    }

    void timerPeriod() {
        QFETCH(int, delay);
        QFETCH(int, periodMs);
        QCOMPARE(slideTimerPeriodMs(static_cast<qint16>(delay)), periodMs);
    }
};

QTEST_GUILESS_MAIN(SlideShowTest)
#include "SlideShowTest.moc"
