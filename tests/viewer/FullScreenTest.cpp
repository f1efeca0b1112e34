#include "BrowserFixture.h"
#include "HelpViewer.h"
#include "PictureCell.h"
#include "ScriptedRandom.h"
#include "ViewCommands.h"
#include "frmImage.h"
#include "frmPantalla.h"

#include <QAction>
#include <QApplication>
#include <QTextBrowser>
#include <QtTest>
#include <memory>

namespace {

// A browser on three pictures of distinct sizes with a text file between them, all listed, and
// the full-screen window opened over it.
struct Screen {
    Viewer v;
    Settings stored;
    ScriptedRandom random;
    std::optional<FullScreenRequest> request;
    std::unique_ptr<frmPantalla> window;

    Screen() {
        v.addPicture("a.bmp", QSize(40, 30));
        v.addFile("b.txt");
        v.addPicture("c.bmp", QSize(30, 60));
        v.addPicture("d.bmp", QSize(50, 50));
        stored = Settings::startupDefaults(v.pictures());
    }

    ImageBrowser& start() {
        ImageBrowser& b = v.start(stored);
        b.CboFiltro_Change("*.*");
        return b;
    }

    // Opens the window on the browser's list from the entry selected, the zoom view's picture
    // first while the view shows, as the main window's commands do.
    frmPantalla& open(int selected, bool slideShow = false) {
        ImageBrowser& b = *v.browser;
        if (selected >= 0 && b.File1().listIndex() != selected)
            b.File1().setListIndex(selected);
        request.emplace(FullScreenRequest{v.module.settings, b.File1().entries(),
                                          std::max(0, b.File1().listIndex()), slideShow, {}});
        if (b.zoomView().visible)
            request->firstPicture = WaitingPicture{b.zoomView().picture, b.zoomView().sourcePath};
        window = std::make_unique<frmPantalla>(*request, v.module.screen.pixels, random);
        return *window;
    }
};

} // namespace

class FullScreenTest : public QObject {
    Q_OBJECT

private slots:
    void theSelectedFileComesFirstAndAKeyShowsTheNext() {
        Screen s;
        s.start();
        frmPantalla& window = s.open(0);
        QTRY_COMPARE(window.slidePicture().naturalSize, QSize(40, 30));
        QVERIFY(!window.Reloj().isActive()); // the single-picture view has no timer
        QTest::keyClick(&window, Qt::Key_Space);
        QTRY_COMPARE(window.slidePicture().naturalSize, QSize(30, 60));
    }

    void thePreviewComesFirstThenTheEntryAfterTheIndex() {
        Screen s;
        ImageBrowser& b = s.start();
        QVERIFY(s.v.select(0));
        b.Image1_Click(1); // c.bmp, in cell 1
        frmPantalla& window = s.open(0);
        QTRY_COMPARE(window.slidePicture().naturalSize, QSize(30, 60));
        QVERIFY(!s.request->firstPicture); // taken once
        QTest::keyClick(&window, Qt::Key_Space); // from the list position 0: the next picture
        QCOMPARE(s.request->position, 2);
    }

    void proportionalPicturesAreCentred() {
        Screen s;
        s.stored.Proportional = 1;
        s.start();
        frmPantalla& window = s.open(2); // 30 x 60 on 800 x 600: 300 wide, 600 high
        QTRY_COMPARE(window.findChild<PictureCell*>("Slide")->geometry(), QRect(250, 0, 300, 600));
    }

    // A picture larger than the screen is read at the screen's device pixels (run once more
    // with QT_SCALE_FACTOR=2), so it is as sharp as the screen shows it.
    void slidesAreReadAtTheScreensDevicePixels() {
        Screen s;
        s.v.addPicture("big.bmp", QSize(2000, 1500));
        s.start();
        frmPantalla& window = s.open(2);
        const qreal ratio = qEnvironmentVariableIsSet("QT_SCALE_FACTOR")
                                ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble()
                                : 1.0;
        QCOMPARE(window.devicePixelRatioF(), ratio);
        QTRY_COMPARE(window.slidePicture().naturalSize, QSize(2000, 1500));
        QCOMPARE(window.slidePicture().image.size(), (QSizeF(800, 600) * ratio).toSize());
    }

    void theSlideShowStepsByItsTimerAndTheKeysChangeIt() {
        Screen s;
        s.stored.ImageTempo = 1;
        s.start();
        frmPantalla& window = s.open(0, true);
        QCOMPARE(window.Reloj().interval(), 1000);
        QSignalSpy ticks(&window.Reloj(), &QTimer::timeout);
        QVERIFY(ticks.wait(3000));
        QCOMPARE(s.request->position, 2); // the text file is skipped
        QTRY_COMPARE(window.slidePicture().naturalSize, QSize(30, 60));
        QTest::keyClick(&window, Qt::Key_Plus);
        QCOMPARE(s.v.module.settings.ImageTempo, qint16(2));
        QCOMPARE(window.Reloj().interval(), 2000);
        QTest::keyClick(&window, Qt::Key_D);
        QVERIFY(!window.Reloj().isActive());
        QTest::keyClick(&window, Qt::Key_P);
        QVERIFY(window.Reloj().isActive());
        QCOMPARE(window.helpTopic(), 4);
        QCOMPARE(window.cursor().shape(), Qt::BitmapCursor);
    }

    void aFolderPastSixteenBitsIsWalkedToItsEnd() {
        Screen s;
        constexpr int kTextFiles = 32766; // after a, b, c and d: the last picture at 32,770
        s.v.folder.makeFolder("pics");
        for (int i = 0; i < kTextFiles; ++i)
            QFile(s.v.folder.filePath(QStringLiteral("pics/n%1.txt").arg(i, 5, 10, QChar('0'))))
                .open(QIODevice::WriteOnly);
        s.v.addPicture("z.bmp", QSize(20, 10));
        ImageBrowser& b = s.start();
        QVERIFY(b.File1().setListIndex(32770));
        ViewCommands(b, s.v.feedback).Pantalla_Click();
        s.request.emplace(*s.v.feedback.fullScreen);
        QCOMPARE(s.request->entries.size(), 32771);
        frmPantalla window(*s.request, s.v.module.screen.pixels, s.random);
        QTRY_COMPARE(window.slidePicture().naturalSize, QSize(20, 10));
        QTest::keyClick(&window, Qt::Key_Space); // past the end: the first entry
        QCOMPARE(s.request->position, 0);
        QTest::keyClick(&window, Qt::Key_A); // before the first: the last entry
        QCOMPARE(s.request->position, 32770);
        QTRY_COMPARE(window.slidePicture().naturalSize, QSize(20, 10));
    }

    void navigationKeysAndTheWheelStep_data() {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("key"); // 0: the wheel, by the sign of the delta
        QTest::addColumn<int>("wheelDelta");
        QTest::addColumn<int>("expectedIndex");
        QTest::newRow("space") << 0 << int(Qt::Key_Space) << 0 << 2;
        QTest::newRow("S wraps to the start") << 3 << int(Qt::Key_S) << 0 << 0;
        QTest::newRow("A wraps to the end") << 0 << int(Qt::Key_A) << 0 << 3;
        QTest::newRow("right") << 0 << int(Qt::Key_Right) << 0 << 2;
        QTest::newRow("down") << 0 << int(Qt::Key_Down) << 0 << 2;
        QTest::newRow("page down") << 0 << int(Qt::Key_PageDown) << 0 << 2;
        QTest::newRow("left") << 2 << int(Qt::Key_Left) << 0 << 0;
        QTest::newRow("up") << 0 << int(Qt::Key_Up) << 0 << 3;
        QTest::newRow("page up") << 0 << int(Qt::Key_PageUp) << 0 << 3;
        QTest::newRow("home") << 3 << int(Qt::Key_Home) << 0 << 0;
        QTest::newRow("end") << 0 << int(Qt::Key_End) << 0 << 3;
        QTest::newRow("wheel towards the user") << 0 << 0 << -120 << 2;
        QTest::newRow("wheel away from the user") << 2 << 0 << 120 << 0;
        QTest::newRow("half a wheel notch waits") << 0 << 0 << -60 << 0;
    }

    void navigationKeysAndTheWheelStep() {
        QFETCH(int, start);
        QFETCH(int, key);
        QFETCH(int, wheelDelta);
        QFETCH(int, expectedIndex);
        Screen s;
        s.start();
        frmPantalla& window = s.open(start);
        if (key != 0) {
            QTest::keyClick(&window, Qt::Key(key));
        } else {
            const QPointF centre(400, 300);
            QWheelEvent wheel(centre, centre, {}, QPoint(0, wheelDelta), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(&window, &wheel);
        }
        QCOMPARE(s.request->position, expectedIndex);
        QCOMPARE(s.v.module.settings.ImageTempo, s.stored.ImageTempo);
    }

    void helpLooksTheSameAsFromAnyOtherWindow() {
        Screen s;
        s.start();
        frmPantalla& window = s.open(0);
        QTest::keyClick(&window, Qt::Key_F1);
        auto* fromFullScreen = window.findChild<QTextBrowser*>("HelpPage");
        QVERIFY(fromFullScreen);
        QWidget plainOwner;
        QVERIFY(HelpViewer::showTopic(window.helpTopic(), &plainOwner));
        auto* fromPlainWindow = plainOwner.findChild<QTextBrowser*>("HelpPage");
        const QImage seen = fromFullScreen->viewport()->grab().toImage();
        const QImage expected = fromPlainWindow->viewport()->grab().toImage();
        QCOMPARE(seen.pixelColor(2, 2), expected.pixelColor(2, 2));
        QCOMPARE(seen, expected);
    }

    void theMainWindowOpensItModallyAndGetsControlBack() {
        TemporarySettings settings;
        TestFolder& folder = settings.folder;
        XdgSettingsStore& store = settings.store;
        folder.write("pics/a.bmp", TestPictures::bmp(TestPictures::quadrants(40, 30)));
        Module1 module;
        frmImage main(module, store, VolumeTable({"/"}), folder.filePath("pics"));
        QVERIFY(main.browser().File1().setListIndex(0));
        bool sawFullScreen = false;
        bool sawSlideShow = false;
        QTimer::singleShot(0, &main, [&] {
            auto* modal = qobject_cast<frmPantalla*>(QApplication::activeModalWidget());
            sawFullScreen = modal != nullptr;
            if (!modal)
                return;
            sawSlideShow = modal->Reloj().isActive();
            QTest::keyClick(modal, Qt::Key_Escape);
        });
        main.findChild<QAction*>("Diapositivas")->trigger();
        QVERIFY(sawFullScreen);
        QVERIFY(sawSlideShow);
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
    }
};

QTEST_MAIN(FullScreenTest)
#include "FullScreenTest.moc"
