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
    int periodMs = 0;
    QString reading;

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
        shownSize = QSize(300, 300);
        show.presentSlide();
    }
    QSize slidePictureSize() const override { return shownSize; }
    QSizeF screenSize() const override { return {1000, 800}; }
    void hideSlide() override { visible = false; }
    void showSlide(const QRectF& rect) override {
        visible = true;
        lastRect = rect;
    }
    void timerChanged(bool, int p) override { periodMs = p; }
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

        const QStringList none{"x.txt", "y.txt"};
        QTest::newRow("next from a non-picture") << kMixed << 1 << "S" << 2 << "/f/b.GIF";
        QTest::newRow("previous skips non-pictures") << kMixed << 4 << "A" << 2 << "/f/b.GIF";
        QTest::newRow("no picture: back at the start") << none << 0 << "S" << 0 << "";
        QTest::newRow("start beyond the list walks from its remainder")
            << QStringList{"a.bmp", "x.txt", "c.ico"} << 7 << "S" << 2 << "/f/c.ico";
        QTest::newRow("negative start changes nothing") << kMixed << -1 << "S" << -1 << "";
        QTest::newRow("empty list") << QStringList{} << 3 << "A" << 3 << "";
        QTest::newRow("last skips what is no picture")
            << QStringList{"x.txt", "a.bmp", "b.bmp", "y.txt"} << 0 << "last" << 2 << "/f/b.bmp";
    }

    // The file announced as upcoming is the one the next step then loads; "last" goes to the
    // list's end.
    void walk() {
        QFETCH(QStringList, entries);
        QFETCH(int, start);
        QFETCH(QString, direction);
        QFETCH(QString, loaded);
        Show s(entries, start);
        const std::optional<QString> upcoming = s.show.upcomingFile();
        if (direction == "last")
            s.show.showListEnd(SlideShow::ListEnd::Last);
        else
            s.show.OtraD(direction);
        QTEST(s.currentIndex, "expectedIndex");
        QCOMPARE(s.host.loads, loadedList(loaded));
        if (direction == "S")
            QCOMPARE(upcoming.value_or(""), loaded);
    }

    // In random order the next picture is drawn, until a draw lands on a picture or on the start
    // (here 1, a text, 3, a text, then 4), and nothing is upcoming; a list without a picture is
    // not drawn from at all.
    void randomWalk() {
        Show s(kMixed, 2);
        s.settings.RandomOrder = 1;
        s.random.draws = {0.25, 0.7, 0.99};
        QCOMPARE(s.show.upcomingFile(), std::nullopt);
        s.show.OtraD(u"S");
        QCOMPARE(s.currentIndex, 4);
        QCOMPARE(s.host.loads, QStringList{"/f/d.JPEG"});
        QCOMPARE(s.random.drawn, 3);
        Show none({"x.txt", "y.txt"}, 0);
        none.settings.RandomOrder = 1;
        none.show.OtraD(u"S");
        QCOMPARE(none.random.drawn, 0);
    }

    // A picture that cannot be read keeps the one shown and the walk goes on from it; one still
    // being read is shown when it arrives, the earlier one staying meanwhile. Shown in proportion,
    // a wide picture fills the screen's width, a square one its height.
    void aFailedOrSlowLoadKeepsThePictureShown() {
        Show s({"a.bmp", "bad.bmp", "slow.bmp"}, 0);
        s.settings.Proportional = 1;
        s.show.DiapoZ(u"N");
        s.show.DiapoZ(u"S");
        QCOMPARE(s.currentIndex, 1);
        QCOMPARE(s.host.shown, QString("/f/a.bmp"));
        QVERIFY(s.host.visible);
        s.show.DiapoZ(u"S");
        QCOMPARE(s.host.shown, QString("/f/a.bmp"));
        QCOMPARE(s.host.lastRect, QRectF(0, 150, 1000, 500));
        s.host.arrive(s.show);
        QCOMPARE(s.host.shown, QString("/f/slow.bmp"));
        QCOMPARE(s.host.lastRect, QRectF(100, 0, 800, 800));
    }

    // The delay keys stop at the slowest and the fastest delay; the step keys walk the list.
    void keys() {
        using Key = SlideShow::KeyResult;
        Show s(kMixed, 0);
        s.settings.ImageTempo = 200;
        for (const QChar key : QString("+="))
            QCOMPARE(s.show.keyPressed(key), Key::Handled);
        QCOMPARE(s.settings.ImageTempo, qint16(200));
        s.settings.ImageTempo = 2;
        for (const QChar key : QString("-_"))
            QCOMPARE(s.show.keyPressed(key), Key::Handled);
        QCOMPARE(s.settings.ImageTempo, qint16(2));
        QCOMPARE(s.host.periodMs, 2000);
        for (const QChar key : QString(" sA"))
            QCOMPARE(s.show.keyPressed(key), Key::Handled);
        QCOMPARE(s.currentIndex, 2);
        QCOMPARE(s.show.keyPressed(QChar(27)), Key::Close);
    }

    void timerPeriod() {
        QCOMPARE(slideTimerPeriodMs(1), 1000);
        QCOMPARE(slideTimerPeriodMs(0), 2000); // an unset delay does not spin
    }
};

QTEST_GUILESS_MAIN(SlideShowTest)
#include "SlideShowTest.moc"
