#include "SaverSession.h"
#include "SaverFixture.h"
#include "SaverTarget.h"

namespace {

// A session over a home, loaded as the saver's window does at load.
struct Session {
    explicit Session(SaverHome& h) : home(h) {}

    SaverHome& home;
    SaverModule module;
    ScriptedRandom random;
    SaverSession session{module, home.store};

    bool load(double draw = 0.0) {
        random.draws = {draw};
        return session.load(home.folder.filePath("saver/start"), random);
    }
};

} // namespace

class SaverSessionTest : public QObject {
    Q_OBJECT

private slots:
    void theExchangeFileChoosesFolderPatternDelayAndProtection() {
        SaverHome home;
        for (const QString name : {"a.bmp", "b.bmp", "c.jpg"})
            home.addPicture(name, {8, 8});
        Settings viewer = Settings::startupDefaults("/somewhere/else");
        viewer.ImagePath = home.pictures();
        viewer.ImageFilter = "*.BMP";
        viewer.ImageTempo = 7;
        viewer.ImageProtect = 1;
        viewer.ProtectPassword = "luna";
        viewer.RandomOrder = 1;
        home.saveAsTheViewer(viewer);

        Session s(home);
        QVERIFY(s.load(0.75));
        QCOMPARE(s.session.entries(), QStringList({"a.bmp", "b.bmp"}));
        QCOMPARE(s.module.CurrentIndex, 1); // floor(2 x 0.75)
        QCOMPARE(s.module.settings.ImageTempo, qint16(7));
        QCOMPARE(s.module.settings.ImageProtect, quint8(1));

        // Written back unchanged: the record's own folder stays where the viewer left it.
        QVERIFY(s.session.unload());
        const Settings stored = home.loadAsTheViewer();
        Settings expected = viewer;
        expected.WindowsDir = stored.WindowsDir;
        QCOMPARE(stored, expected);
    }

    void withoutAnExchangeFileTheRecordsFolderIsShown() {
        SaverHome home;
        home.addPicture("a.bmp", {8, 8});
        home.folder.write("pics/notes.txt", "not listed");
        home.addPicture("b.gif", {8, 8});
        Settings viewer = Settings::startupDefaults(home.pictures());
        viewer.LanguageOffset = 100;      // neither language, as a hand-edited record may hold
        viewer.CopyFolder = "/media/usb"; // the current folder is shown, not this one
        home.saveAsTheViewer(viewer);
        QVERIFY(QFile::remove(home.exchangeFile()));

        Session s(home);
        QVERIFY(s.load());
        QCOMPARE(s.module.settings.ImagePath, home.pictures());
        QCOMPARE(s.module.settings.LanguageOffset, qint16(0)); // repaired as the viewer does
        QCOMPARE(s.session.entries(), QStringList({"a.bmp", "b.gif"}));
    }

    // Thirty stray keys are absorbed, the next ends the show; Escape ends it at once. (Mouse
    // events are counted with the keys on the saver's window.)
    void activityEndsTheShowPastThirty() {
        using Verdict = SaverSession::Verdict;
        using Key = SlideShow::KeyResult;
        SaverHome home;
        SaverModule module;
        SaverSession session(module, home.store);
        QCOMPARE(session.keyPressed(Key::Close), Verdict::EndSaver);
        for (int i = 0; i < 30; ++i)
            QCOMPARE(session.keyPressed(Key::Ignored), Verdict::GoOn);
        QCOMPARE(session.keyPressed(Key::Ignored), Verdict::EndSaver);
    }

    void whereTheSlidesGo_data() {
        using Kind = SaverTarget::Kind;
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("variable");
        QTest::addColumn<SaverTarget>("target");
        QTest::newRow("hexadecimal, one dash")
            << QStringList{"-window-id", "0x2a"} << "" << SaverTarget{Kind::ForeignWindow, 42};
        QTest::newRow("root with the daemon's variable")
            << QStringList{"-root"} << "0x9" << SaverTarget{Kind::ForeignWindow, 9};
        QTest::newRow("an id that is no number, a variable of 0")
            << QStringList{"--window-id", "abc"} << "0" << SaverTarget{};
    }

    void whereTheSlidesGo() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, variable);
        arguments.prepend("lumivart-saver");
        QTEST(saverTargetOf(arguments, variable), "target");
    }
};

QTEST_GUILESS_MAIN(SaverSessionTest)
#include "SaverSessionTest.moc"
