#include "AboutAnimation.h"
#include "ModalAnswerer.h"
#include "Module1.h"
#include "StringTable.h"
#include "TestFolders.h"
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
    // From the top left corner the sprite moves 15 pixels a step across and down; its middle
    // (half its size, rounded down) may reach the far edge, not pass it, and it turns at 0.
    void bounceSteps() {
        const std::tuple<QSize, QSize, QList<int>, QList<int>> windowSpriteAndPlaces[] = {
            {{91, 91}, {33, 33}, {15, 30, 45, 60, 75, 60}, {15, 30, 45, 60, 75, 60}},
            {{91, 120},
             {34, 34},
             {15, 30, 45, 60, 45, 30, 15, 0, 15},
             {15, 30, 45, 60, 75, 90, 75, 60, 45}}};
        for (const auto& [window, sprite, xs, ys] : windowSpriteAndPlaces) {
            AboutAnimation animation = bouncing(window, sprite);
            for (qsizetype i = 0; i < xs.size(); ++i)
                QCOMPARE(animation.bounce().to, QPoint(xs[i], ys[i]));
        }
    }

    // Presses with the left button first, then with another, on the running animation: the left
    // one speeds it up, another slows it down, each within bounds; the other timer keeps its
    // period.
    void speedTables() {
        const std::tuple<bool, int, int, int> whileBouncingPressesAndPeriod[] = {
            {false, 9, 1, 100},    // blink faster by 50 to 50, then slower
            {false, 0, 40, 2000},  // blink slower by 50 to 2000 and no further
            {true, 20, 45, 2001}}; // bounce faster by 25 to 25, by 2 to 1, then slower past 2000
        for (const auto& [whileBouncing, leftPresses, otherPresses, period] :
             whileBouncingPressesAndPeriod) {
            AboutAnimation animation = whileBouncing ? bouncing({100, 80}) : AboutAnimation();
            for (int i = 0; i < leftPresses + otherPresses; ++i)
                animation.changeSpeed(i < leftPresses);
            if (whileBouncing)
                animation.switchKind({100, 80}, kSprite); // back to blinking, keeping both periods
            QCOMPARE(whileBouncing ? animation.bouncePeriod() : animation.blinkPeriod(), period);
            QCOMPARE(whileBouncing ? animation.blinkPeriod() : animation.bouncePeriod(),
                     whileBouncing ? AboutAnimation::kBlinkStartMs
                                   : AboutAnimation::kBounceStartMs);
        }
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
