#include "ViewCommands.h"
#include "BrowserFixture.h"
#include "ColourManagement.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QtTest>

namespace {
// Runs a command that reads its picture off the user-interface thread, until it has ended.
bool ranToItsEnd(ImageBrowser& browser, BrowserFeedback& feedback,
                 void (ViewCommands::*command)()) {
    ViewCommands commands(browser, feedback);
    (commands.*command)();
    return QTest::qWaitFor([&] { return !commands.isReading(); });
}
} // namespace

class ViewCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void init() { QGuiApplication::clipboard()->clear(); }

    // Full screen opens on the selection, else on the first entry, else, with a picture in the
    // zoom view, where the last window left off; on an empty list only for a picture in the view.
    void fullScreenCommands_data() {
        QTest::addColumn<int>("files");
        QTest::addColumn<int>("selected");
        QTest::addColumn<bool>("previewShown");
        QTest::addColumn<bool>("slides");
        QTest::addColumn<int>("position"); // where the window starts; 7 is the index before
        QTest::newRow("empty list, no preview: nothing") << 0 << -1 << false << false << 7;
        QTest::newRow("no selection starts at 0") << 3 << -1 << false << false << 0;
        QTest::newRow("a selection starts there") << 3 << 1 << false << true << 1;
        QTest::newRow("the first entry selected") << 3 << 0 << true << false << 0;
        QTest::newRow("preview shown keeps the index") << 3 << -1 << true << true << 7;
    }

    void fullScreenCommands() {
        QFETCH(int, files);
        QFETCH(int, selected);
        QFETCH(bool, previewShown);
        QFETCH(bool, slides);
        QFETCH(int, position);
        Viewer v;
        v.addPictures(files);
        ImageBrowser& b = v.start();
        if (previewShown)
            QVERIFY(v.preview());
        QVERIFY(v.select(selected)); // its page fill hides the view
        if (previewShown)
            b.Zoom();
        v.module.CurrentIndex = 7;
        ViewCommands commands(b, v.feedback);
        if (slides)
            commands.Diapositivas_Click();
        else
            commands.Pantalla_Click();
        const bool opened = files > 0 || previewShown;
        QCOMPARE(v.feedback.fullScreenOpened, opened ? 1 : 0);
        QCOMPARE(v.module.CurrentIndex, position); // read back from the window
        if (opened) {
            const FullScreenRequest& request = *v.feedback.fullScreen;
            QCOMPARE(request.position, position);
            QCOMPARE(request.slideShow, slides);
            QCOMPARE(request.entries, b.File1().entries());
            QCOMPARE(request.firstPicture.has_value(), previewShown);
        }
    }

    // The copy goes to the clipboard whole; the view shows it and keeps its name.
    // A file that cannot be read is reported in the user's language.
    void copyToTheClipboard() {
        Viewer v;
        v.addPicture("a.bmp", QSize(400, 300));
        v.addPicture("b.bmp", QSize(80, 200));
        ImageBrowser& b = v.start();
        QVERIFY(v.preview());
        v.module.CurrentIndex = 1;
        QVERIFY(ranToItsEnd(b, v.feedback, &ViewCommands::opcport_Click));
        QVERIFY(v.feedback.messages.isEmpty());
        QCOMPARE(QGuiApplication::clipboard()->image().size(), QSize(80, 200));
        QCOMPARE(b.zoomView().picture.naturalSize, QSize(80, 200));
        QCOMPARE(v.module.PreviewName, QString("a.bmp"));

        QGuiApplication::clipboard()->clear();
        QVERIFY(QFile::remove(v.pictures() + "/b.bmp"));
        v.module.settings.LanguageOffset = 200;
        QVERIFY(ranToItsEnd(b, v.feedback, &ViewCommands::opcport_Click));
        QCOMPARE(v.feedback.messages, QStringList{"Attention|Format Not Compatible..."});
        QVERIFY(QGuiApplication::clipboard()->image().isNull());
    }

    // Other programs take a pasted picture as sRGB, and the view shows it in the screen's
    // colours. Red stored with a profile that swaps red and green is green in sRGB; on a screen
    // of that same profile it is red again.
    void theCopyIsInSrgb() {
        const QByteArray swapped = TestPictures::installedProfile("colord/SwappedRedAndGreen.icc");
        QVERIFY(Colour::setDisplayProfile(swapped) && !swapped.isEmpty());
        const auto screenBack = qScopeGuard([] { Colour::setDisplayProfile({}); });
        Viewer v;
        QImage red(40, 30, QImage::Format_RGB32);
        red.fill(Qt::red);
        v.addFile("red.jpg", TestPictures::withIccProfile(TestPictures::jpeg(red), swapped));
        ImageBrowser& b = v.start();
        QVERIFY(v.select(0));
        v.module.CurrentIndex = 0;
        QVERIFY(ranToItsEnd(b, v.feedback, &ViewCommands::opcport_Click));
        const QImage copied = QGuiApplication::clipboard()->image();
        QVERIFY(TestPictures::near(TestPictures::colourAt(copied, 0.5, 0.5), Qt::green));
        const QImage shown = b.zoomView().picture.image;
        QVERIFY(TestPictures::near(TestPictures::colourAt(shown, 0.5, 0.5), Qt::red));
    }

    void fullScreenFromAThumbnail_data() {
        QTest::addColumn<bool>("readable");
        QTest::newRow("readable") << true;
        QTest::newRow("gone before the command: nothing opens, no message") << false;
    }

    void fullScreenFromAThumbnail() {
        QFETCH(bool, readable);
        Viewer v;
        v.addPicture("a.bmp");
        v.addPicture("b.bmp", QSize(90, 60));
        ImageBrowser& b = v.start();
        QVERIFY(v.select(0));
        if (!readable)
            QVERIFY(QFile::remove(v.pictures() + "/b.bmp"));
        v.module.CurrentIndex = 1;
        QVERIFY(ranToItsEnd(b, v.feedback, &ViewCommands::opcfull_Click));
        QCOMPARE(v.feedback.fullScreenOpened, readable ? 1 : 0);
        QVERIFY(v.feedback.messages.isEmpty());
        if (readable) {
            const FullScreenRequest& request = *v.feedback.fullScreen;
            QCOMPARE(request.firstPicture->picture.naturalSize, QSize(90, 60));
            QVERIFY(!b.zoomView().visible); // loaded, not shown
            QCOMPARE(v.module.PreviewName, QString("b.bmp"));
        }
    }
};

QTEST_MAIN(ViewCommandsTest)
#include "ViewCommandsTest.moc"
