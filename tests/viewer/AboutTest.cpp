#include "AboutAnimation.h"
#include "ModalAnswerer.h"
#include "Module1.h"
#include "ProgramArt.h"
#include "SpriteCanvas.h"
#include "StringTable.h"
#include "TestFolders.h"
#include "TestPictures.h"
#include "frmacerca.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

namespace {
constexpr QSize kSprite{32, 32};

AboutAnimation bouncing(QSize window, QSize sprite = kSprite) {
    AboutAnimation animation;
    animation.switchKind(window, sprite);
    return animation;
}

// Blinks until the first icon shows, as it does at open.
void showFirstIcon(frmacerca& box) {
    const QList<QLabel*> icons = box.findChildren<QLabel*>("PIC_Icon");
    for (int ticks = 0; ticks < 2 && !icons.at(0)->isVisible(); ++ticks)
        box.Timer1_Timer();
    QVERIFY(icons.at(0)->isVisible() && !icons.at(1)->isVisible());
}
} // namespace

class AboutTest : public QObject {
    Q_OBJECT

private slots:
    // Places of the sprite after each bouncing step, which starts at the top left corner.
    void bounceSteps_data() {
        QTest::addColumn<QSize>("window");
        QTest::addColumn<QSize>("sprite");
        QTest::addColumn<QList<int>>("xs");
        QTest::addColumn<QList<int>>("ys");
        QTest::newRow("turns at every edge")
            << QSize(100, 80) << kSprite << QList<int>{15, 30, 45, 60, 75, 60, 45, 30, 15, 0, 15}
            << QList<int>{15, 30, 45, 60, 45, 30, 15, 0, 15, 30, 45};
        QTest::newRow("middle on the edge goes on, half size rounded down")
            << QSize(91, 91) << QSize(33, 33) << QList<int>{15, 30, 45, 60, 75, 60}
            << QList<int>{15, 30, 45, 60, 75, 60};
        QTest::newRow("middle one pixel past the edge turns")
            << QSize(91, 120) << QSize(34, 34) << QList<int>{15, 30, 45, 60, 45, 30}
            << QList<int>{15, 30, 45, 60, 75, 90};
    }
    void bounceSteps() {
        QFETCH(QSize, sprite);
        QFETCH(QList<int>, xs);
        QFETCH(QList<int>, ys);
        QFETCH(QSize, window);
        AboutAnimation animation = bouncing(window, sprite);
        QPoint at(0, 0);
        for (qsizetype i = 0; i < xs.size(); ++i) {
            const AboutAnimation::Step step = animation.bounce();
            QCOMPARE(step.from, at);
            at = QPoint(xs[i], ys[i]);
            QCOMPARE(step.to, at);
        }
    }

    void bouncingResumesWhereItStoppedMovingRightAndDown() {
        AboutAnimation animation = bouncing({100, 80});
        for (int i = 0; i < 6; ++i)
            animation.bounce(); // to (60, 30), moving left and up
        animation.switchKind({100, 80}, kSprite);
        QCOMPARE(animation.running(), AboutAnimation::Kind::Blinking);
        animation.switchKind({100, 80}, kSprite);
        QCOMPARE(animation.bounce().to, QPoint(75, 45));
    }

    // Presses with the left button first, then with another; the other timer keeps its period.
    void speedTables_data() {
        QTest::addColumn<bool>("whileBouncing");
        QTest::addColumn<int>("leftPresses");
        QTest::addColumn<int>("otherPresses");
        QTest::addColumn<int>("period");
        QTest::newRow("blink faster by 50 to 50, then slower") << false << 9 << 1 << 100;
        QTest::newRow("blink slower by 50 to 2000 and no further") << false << 0 << 40 << 2000;
        QTest::newRow("bounce faster by 25 to 25, by 2 to 1, then slower past 2000 once")
            << true << 20 << 45 << 2001;
    }
    void speedTables() {
        QFETCH(bool, whileBouncing);
        QFETCH(int, leftPresses);
        QFETCH(int, otherPresses);
        QFETCH(int, period);
        AboutAnimation animation = whileBouncing ? bouncing({100, 80}) : AboutAnimation();
        for (int i = 0; i < leftPresses + otherPresses; ++i)
            animation.changeSpeed(i < leftPresses);
        if (whileBouncing)
            animation.switchKind({100, 80}, kSprite); // back to blinking, keeping both periods
        QCOMPARE(whileBouncing ? animation.bouncePeriod() : animation.blinkPeriod(), period);
        QCOMPARE(whileBouncing ? animation.blinkPeriod() : animation.bouncePeriod(),
                 whileBouncing ? AboutAnimation::kBlinkStartMs : AboutAnimation::kBounceStartMs);
    }

    void blinkTakesTurns() {
        AboutAnimation animation;
        const QList<int> shown{animation.blink(), animation.blink(), animation.blink()};
        QCOMPARE(shown, (QList<int>{1, 0, 1}));
    }

    // Over a detailed background, along a bounce that leaves the surface at its right and bottom
    // edges: the sprite shows exactly its shape (where its mask is black), and erasing it leaves
    // the background as it was.
    void spriteMovesWithoutTrace() {
        const QImage background =
            TestPictures::photoLike(100, 80).convertToFormat(QImage::Format_RGB32);
        const QImage sprite = ProgramArt::icon(ProgramArt::kIconAboutSprite);
        const QImage mask = ProgramArt::icon(ProgramArt::kIconAboutSpriteMask);
        SpriteCanvas canvas(background, sprite, mask);
        AboutAnimation animation = bouncing(background.size());
        canvas.saveBackground(animation.spritePosition());
        for (int i = 0; i < 12; ++i) {
            const AboutAnimation::Step step = animation.bounce();
            const QRect changed = canvas.move(step.from, step.to);
            QVERIFY(changed.contains(QRect(step.from, kSprite)) &&
                    changed.contains(QRect(step.to, kSprite)));
            QImage expected = background;
            for (int y = 0; y < mask.height(); ++y)
                for (int x = 0; x < mask.width(); ++x)
                    if (expected.rect().contains(step.to + QPoint(x, y)) &&
                        mask.pixel(x, y) == qRgb(0, 0, 0))
                        expected.setPixel(step.to + QPoint(x, y), sprite.pixel(x, y));
            QCOMPARE(canvas.surface(), expected);
        }
        canvas.erase(animation.spritePosition());
        QCOMPARE(canvas.surface(), background);
    }

    void doubleClickBouncesAndLeavesNoTrace() {
        Module1 module;
        frmacerca box(module);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        showFirstIcon(box);
        const QImage before = box.grab().toImage();
        const QPoint emptyPlace(8, box.height() - 8);

        QTest::mouseDClick(&box, Qt::LeftButton, {}, emptyPlace);
        QVERIFY(box.tmrBounce().isActive() && !box.Timer1().isActive());
        QTest::mousePress(box.findChild<QLabel*>("LAB_1"), Qt::LeftButton);
        QCOMPARE(box.tmrBounce().interval(), 125);
        box.tmrBounce_Timer();
        const QRect sprite(box.animation().spritePosition(), kSprite);
        QVERIFY(box.grab().toImage().copy(sprite) != before.copy(sprite));

        QTest::mouseDClick(&box, Qt::LeftButton, {}, emptyPlace);
        QVERIFY(box.Timer1().isActive() && !box.tmrBounce().isActive());
        showFirstIcon(box);
        QCOMPARE(box.grab().toImage(), before);
    }

    void englishBoxWithoutToolSaysNotAvailable() {
        TestFolder folder;
        const ScopedEnvironment path("PATH", folder.path().toLocal8Bit());
        Module1 module;
        module.settings.LanguageOffset = kEnglishOffset;
        frmacerca box(module);
        QCOMPARE(box.windowTitle(), QString("About Lumi Vart"));
        QCOMPARE(box.findChild<QLabel*>("LAB_2")->text(), QString("Visualization of Files"));
        QCOMPARE(box.helpTopic(), 203);
        box.show();
        const ModalAnswerer answerer;
        box.findChild<QPushButton*>("System")->click();
        QVERIFY(!box.isVisible());
        QCOMPARE(answerer.messages(),
                 QStringList{"Attention|The System Information is not available at this time..."});
    }
};

QTEST_MAIN(AboutTest)
#include "AboutTest.moc"
