#include "BrowserFixture.h"
#include "PictureCell.h"
#include "frmImage.h"
#include "frmPantalla.h"

#include <QAction>
#include <QApplication>
#include <QtTest>

namespace {

// Draws numbers it was given, in order.
struct ScriptedRandom : RandomSource {
    QList<double> draws;
    double uniform() override { return draws.isEmpty() ? 0.0 : draws.takeFirst(); }
};

// Three pictures of distinct sizes with a text file between them.
void addFolder(Viewer& v) {
    v.addPicture("a.bmp", QSize(40, 30));
    v.addFile("b.txt");
    v.addPicture("c.bmp", QSize(30, 60));
    v.addPicture("d.bmp", QSize(50, 50));
}

} // namespace

class FullScreenTest : public QObject {
    Q_OBJECT

private slots:
    void theSelectedFileComesFirstAndKeysStep() {
        Viewer v;
        addFolder(v);
        ImageBrowser& b = v.start();
        b.CboFiltro_Change("*.*");
        QVERIFY(b.File1().setListIndex(0));
        v.module.FileCount = static_cast<qint16>(b.File1().count());
        ScriptedRandom random;
        frmPantalla window(v.module, b, random);
        QCOMPARE(window.slidePicture().naturalSize, QSize(40, 30));
        QVERIFY(!window.Reloj().isActive()); // the single-picture view has no timer
        QTest::keyClick(&window, Qt::Key_Space);
        QCOMPARE(v.module.CurrentIndex, qint16(2));
        QCOMPARE(window.slidePicture().naturalSize, QSize(30, 60));
        QTest::keyClick(&window, Qt::Key_S);
        QCOMPARE(window.slidePicture().naturalSize, QSize(50, 50));
        QTest::keyClick(&window, Qt::Key_S);
        QCOMPARE(v.module.CurrentIndex, qint16(0));
        QTest::keyClick(&window, Qt::Key_A);
        QCOMPARE(v.module.CurrentIndex, qint16(3));
    }

    void thePreviewComesFirstThenTheEntryAfterTheIndex() {
        Viewer v;
        addFolder(v);
        ImageBrowser& b = v.start();
        b.CboFiltro_Change("*.*");
        QVERIFY(b.File1().setListIndex(0));
        b.Image1_Click(1); // c.bmp, in cell 1
        v.module.FileCount = static_cast<qint16>(b.File1().count());
        ScriptedRandom random;
        frmPantalla window(v.module, b, random);
        QCOMPARE(window.slidePicture().naturalSize, QSize(30, 60));
        QTest::keyClick(&window, Qt::Key_Space); // from the list position 0: the next picture
        QCOMPARE(v.module.CurrentIndex, qint16(2));
    }

    void proportionalPicturesAreCentred() {
        Viewer v;
        addFolder(v);
        Settings stored = Settings::startupDefaults(v.pictures());
        stored.Proportional = 1;
        ImageBrowser& b = v.start(stored);
        b.CboFiltro_Change("*.*");
        QVERIFY(b.File1().setListIndex(2)); // 30 x 60 on 800 x 600: 300 wide, 600 high
        v.module.FileCount = static_cast<qint16>(b.File1().count());
        ScriptedRandom random;
        frmPantalla window(v.module, b, random);
        QCOMPARE(window.findChild<PictureCell*>("Slide")->geometry(), QRect(250, 0, 300, 600));
    }

    void theSlideShowRunsItsTimerAndTheKeysChangeIt() {
        Viewer v;
        addFolder(v);
        Settings stored = Settings::startupDefaults(v.pictures());
        stored.ImageTempo = 3;
        ImageBrowser& b = v.start(stored);
        QVERIFY(b.File1().setListIndex(0));
        v.module.FileCount = static_cast<qint16>(b.File1().count());
        v.module.SlideShowMode = true;
        ScriptedRandom random;
        frmPantalla window(v.module, b, random);
        QVERIFY(window.Reloj().isActive());
        QCOMPARE(window.Reloj().interval(), 3000);
        QTest::keyClick(&window, Qt::Key_Plus);
        QCOMPARE(v.module.settings.ImageTempo, qint16(4));
        QCOMPARE(window.Reloj().interval(), 4000);
        QTest::keyClick(&window, Qt::Key_D);
        QVERIFY(!window.Reloj().isActive());
        QTest::keyClick(&window, Qt::Key_P);
        QVERIFY(window.Reloj().isActive());
        QCOMPARE(window.helpTopic(), 4);
        QCOMPARE(window.cursor().shape(), Qt::BitmapCursor);
    }

    void aTickStepsToTheNextPicture() {
        Viewer v;
        addFolder(v);
        Settings stored = Settings::startupDefaults(v.pictures());
        stored.ImageTempo = 1;
        ImageBrowser& b = v.start(stored);
        QVERIFY(b.File1().setListIndex(0));
        v.module.FileCount = static_cast<qint16>(b.File1().count());
        v.module.SlideShowMode = true;
        ScriptedRandom random;
        frmPantalla window(v.module, b, random);
        QSignalSpy ticks(&window.Reloj(), &QTimer::timeout);
        QVERIFY(ticks.wait(3000));
        QCOMPARE(v.module.CurrentIndex, qint16(1));
        QCOMPARE(window.slidePicture().naturalSize, QSize(30, 60));
    }

    void closingClearsTheWaitingPreview() {
        Viewer v;
        addFolder(v);
        ImageBrowser& b = v.start();
        v.module.UsePreviewPicture = true;
        v.module.FileCount = 0; // only the preview
        ScriptedRandom random;
        {
            frmPantalla window(v.module, b, random);
            QVERIFY(!v.module.UsePreviewPicture); // taken at once
            v.module.UsePreviewPicture = true;
            QTest::keyClick(&window, Qt::Key_Escape);
            QCOMPARE(window.result(), int(QDialog::Accepted));
        }
        QVERIFY(!v.module.UsePreviewPicture);
    }

    void theMainWindowOpensItModallyAndGetsControlBack() {
        TestFolder folder;
        auto windir = ScopedEnvironment::unset("windir");
        auto winbootdir = ScopedEnvironment::unset("winbootdir");
        XdgSettingsStore store(folder.filePath("config"));
        folder.write("pics/a.bmp", TestPictures::bmp(TestPictures::quadrants(40, 30)));
        Module1 module;
        frmImage main(module, store, VolumeTable({"/"}), folder.filePath("pics"));
        QVERIFY(main.browser().File1().setListIndex(0));
        bool sawFullScreen = false;
        QTimer::singleShot(0, &main, [&] {
            auto* modal = qobject_cast<frmPantalla*>(QApplication::activeModalWidget());
            sawFullScreen = modal != nullptr;
            if (modal)
                QTest::keyClick(modal, Qt::Key_Escape);
        });
        main.findChild<QAction*>("Diapositivas")->trigger();
        QVERIFY(sawFullScreen);
        QVERIFY(module.SlideShowMode);
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
    }
};

QTEST_MAIN(FullScreenTest)
#include "FullScreenTest.moc"
