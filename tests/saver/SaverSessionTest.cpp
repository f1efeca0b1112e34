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
        QCOMPARE(s.module.FileCount, 2);
        QCOMPARE(s.module.CurrentIndex, 1); // floor(2 x 0.75)
        QCOMPARE(s.module.settings.ImageTempo, qint16(7));
        QCOMPARE(s.module.settings.ImageProtect, quint8(1));

        // Written back unchanged: the record's own folder stays where the viewer left it.
        QVERIFY(s.session.unload());
        const Settings stored = home.loadAsTheViewer();
        QCOMPARE(stored.CurrentFolder, QString("/somewhere/else"));
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
        QCOMPARE(s.module.settings.ImageFilter, QString(kAllPictureFormatsPattern));
        QCOMPARE(s.session.entries(), QStringList({"a.bmp", "b.gif"}));
    }

    void aSaverRunBeforeTheViewerStoresUsableThumbnailSizes() {
        SaverHome home;
        home.folder.makeFolder("saver/start");
        Session s(home);
        QVERIFY(s.load());
        QVERIFY(s.session.unload());
        Settings viewer = home.loadAsTheViewer();
        QVERIFY(!viewer.repairUnusableValues()); // nothing for the viewer to repair
        QCOMPARE(viewer.ThumbHeight, qint16(500));
        QCOMPARE(viewer.ZoomDivisor, qint16(2));
        QCOMPARE(viewer.CurrentFolder, home.folder.filePath("saver/start"));
    }

    void activityEndsTheShowPastThirty_data() {
        // Events: k an unhandled key, h a handled key, e Escape, m the mouse; the event that ends
        // the show, -1 for none.
        QTest::addColumn<QString>("events");
        QTest::addColumn<int>("endsAt");
        QTest::newRow("31 mouse events are absorbed, the 32nd ends") << QString(32, 'm') << 31;
        QTest::newRow("30 keys are absorbed, the 31st ends") << QString(31, 'k') << 30;
        QTest::newRow("keys and mouse count together") << QString(15, 'k') + QString(17, 'm') << 31;
        QTest::newRow("a handled key starts the count again")
            << QString(30, 'm') + 'h' + QString(31, 'm') << -1;
        QTest::newRow("Escape ends at once") << "e" << 0;
    }

    void activityEndsTheShowPastThirty() {
        QFETCH(QString, events);
        SaverHome home;
        SaverModule module;
        SaverSession session(module, home.store);
        int ended = -1;
        for (int i = 0; i < events.size() && ended < 0; ++i) {
            const char event = events[i].toLatin1();
            const SaverSession::Verdict verdict =
                event == 'm' ? session.mouseEvent()
                             : session.keyPressed(event == 'k'   ? SlideShow::KeyResult::Ignored
                                                  : event == 'h' ? SlideShow::KeyResult::Handled
                                                                 : SlideShow::KeyResult::Close);
            if (verdict == SaverSession::Verdict::EndSaver)
                ended = i;
        }
        QTEST(ended, "endsAt");
    }

    void whereTheSlidesGo_data() {
        using Kind = SaverTarget::Kind;
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("variable");
        QTest::addColumn<SaverTarget>("target");
        QTest::newRow("nothing") << QStringList() << "" << SaverTarget{};
        QTest::newRow("a preview request") << QStringList{"/p", "1234"} << "" << SaverTarget{};
        QTest::newRow("a window id")
            << QStringList{"--window-id", "1234"} << "" << SaverTarget{Kind::ForeignWindow, 1234};
        QTest::newRow("hexadecimal, one dash")
            << QStringList{"-window-id", "0x2a"} << "" << SaverTarget{Kind::ForeignWindow, 42};
        QTest::newRow("with an equals sign")
            << QStringList{"--window-id=77"} << "" << SaverTarget{Kind::ForeignWindow, 77};
        QTest::newRow("the daemon's variable")
            << QStringList() << "0x400007" << SaverTarget{Kind::ForeignWindow, 0x400007};
        QTest::newRow("the command line first")
            << QStringList{"--window-id", "5"} << "0x9" << SaverTarget{Kind::ForeignWindow, 5};
        QTest::newRow("the root window")
            << QStringList{"--root"} << "" << SaverTarget{Kind::RootWindow, 0};
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
