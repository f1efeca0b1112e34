#include "MainWindowFixture.h"
#include "ModalAnswerer.h"
#include "PictureCell.h"
#include "ThumbnailGrid.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QtTest>

namespace {

// Picks an item from the pattern box's open list, as the keyboard does.
void pickPattern(QComboBox* box, int item) {
    if (!box->view()->isVisible())
        box->showPopup();
    box->view()->setCurrentIndex(box->model()->index(item, 0));
    QTest::keyClick(box->view(), Qt::Key_Return);
}

// The entries' texts, each followed by its shortcut, if any, and "|" between entries.
QString entries(const QList<QAction*>& actions) {
    QStringList texts;
    for (QAction* a : actions)
        texts.append((a->text() + ' ' + a->shortcut().toString()).trimmed());
    return texts.join('|');
}

// The smallest rectangle holding every pixel not of the top left pixel's colour.
QRect ink(const QImage& image) {
    QRect inked;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != image.pixel(0, 0))
                inked |= QRect(x, y, 1, 1);
    return inked;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    // In English on 1024 x 768 pixels: the menu bar, the View menu with its shortcuts, the
    // thumbnail menu, which never shows in the bar, the help topic and the screen class's places.
    void inEnglishOnTheLargestScreenClass() {
        Window w;
        frmImage& window = w.open(200, {1024, 768});
        QCOMPARE(entries(window.menuBar()->actions()), QString("&View|&Preferences|He&lp"));
        QCOMPARE(entries(w.child<QMenu>("Ver")->actions()),
                 QString("&Clipboard F2|&Full Screen F3|&Slides F4||&Refresh F5||&Zoom Mode "
                         "F6|&More Zoom F7|&Less Zoom F8"));
        QCOMPARE(entries(window.Opciones()->actions()),
                 QString("Copy to Clipboard||&Full Screen||Copy to...|Rename|Properties||&Close"));
        QCOMPARE(window.helpTopic(), 201);
        QCOMPARE(w.module.ScreenClass, qint16(3));
        // Class 3 places the file list at (1, 4560) twips, 2100 x 5355: 15 twips a pixel.
        QCOMPARE(w.child<QListView>("File1")->geometry(), QRect(0, 304, 140, 357));
    }

    void aPageOfCellsAndThePreview() {
        Window w;
        frmImage& window = w.open();
        auto* file1 = w.child<QListView>("File1");
        file1->setCurrentIndex(file1->model()->index(1, 0)); // choosing a file opens it
        QCOMPARE(window.windowTitle(), QString("Lumi Vart [b.bmp]"));
        file1->setCurrentIndex(file1->model()->index(0, 0));
        QCOMPARE(window.windowTitle(), QString("Lumi Vart [a.bmp]"));
        QVERIFY(w.pageFilled());
        auto* grid = w.child<ThumbnailGrid>("Thumbnails");
        QCOMPARE(grid->cellCount(), w.module.LastCell + 1);
        QStringList shown;
        for (int cell = 0; cell < grid->cellCount(); ++cell)
            if (!grid->caption(cell).isEmpty())
                shown.append(grid->caption(cell));
        QCOMPARE(shown, (QStringList{"a.bmp", "b.bmp"}));

        window.show();
        QTest::mouseClick(grid, Qt::LeftButton, {}, grid->imageRect(0).center());
        auto* zoom = w.child<PictureCell>("ZoomImg");
        QVERIFY(zoom->isVisible());
        QCOMPARE(zoom->geometry(),
                 w.module.screen.scale.toPixels(window.browser().zoomView().rect));
        QTest::keyClick(file1, Qt::Key_Escape);
        QVERIFY(!zoom->isVisible());
        QCOMPARE(window.windowTitle(), QString("Lumi Vart [2]"));

        // The next-page arrow counts a press only when it is released over it; past the last
        // page it says there are no more files.
        const ModalAnswerer answerer;
        auto* next = w.child<PictureCell>("Image3");
        QTest::mousePress(next, Qt::LeftButton);
        QTest::mouseRelease(next, Qt::LeftButton, {}, QPoint(-5, -5));
        QVERIFY(answerer.messages().isEmpty());
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(answerer.messages().size(), 1);
    }

    void thePatternBoxAppliesExactlyWhatIsTypedOrPicked() {
        Window w;
        frmImage& window = w.open();
        w.folder.write("pics/T", "x");
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto* box = w.child<QComboBox>("CboFiltro");
        box->lineEdit()->setFocus(); // inline completion acts only in the focused box
        const FileList& files = window.browser().File1();
        // The box shows exactly what was typed, never a completion, and the list follows it:
        // "T" starts "Todos los Formatos".
        box->lineEdit()->clear();
        QTest::keyClicks(box->lineEdit(), "T");
        QCOMPARE(box->lineEdit()->displayText(), QString("T"));
        QCOMPARE(files.entries(), QStringList{"T"});

        pickPattern(box, 2); // "Bitmaps (*.bmp, *.dib)"
        QCOMPARE(files.entries(), (QStringList{"a.bmp", "b.bmp"}));
        w.folder.write("pics/e.dib", "x");
        pickPattern(box, 2); // the text already shown is applied again
        QCOMPARE(files.entries(), (QStringList{"a.bmp", "b.bmp", "e.dib"}));
    }

    void captionsShowTheirNamesWholeAndAsTheyAre() {
        Window w;
        w.folder.write("pics/<i>gy_.bmp", TestPictures::bmp(TestPictures::quadrants(40, 30)));
        frmImage& window = w.open();
        QVERIFY(window.browser().File1().setListIndex(0));
        QVERIFY(w.pageFilled());
        auto* grid = w.child<ThumbnailGrid>("Thumbnails");
        QVERIFY(grid->cellCount() > 1);
        QCOMPARE(grid->caption(0), QString("<i>gy_.bmp"));
        // Shown as plain text: the markup is drawn, not obeyed, and the name is not cut short.
        QVERIFY(ink(grid->grab(grid->captionRect(0)).toImage()).right() >=
                QFontMetrics(grid->font()).horizontalAdvance("<i>gy_.bm"));
        // Accented capitals, descenders and underscores are drawn whole: a caption's ink is as
        // tall as that of the same text drawn with room to spare, in a font not needlessly small.
        const QString tallest = QString::fromUtf8(" ÁÑgjpqy_"); // the blank keeps (0, 0) clear
        QImage roomy(400, 200, QImage::Format_RGB32);
        roomy.fill(Qt::white);
        {
            QPainter painter(&roomy);
            painter.setFont(grid->font());
            painter.drawText(roomy.rect(), Qt::AlignCenter, tallest);
        }
        for (int cell = 0; cell < grid->cellCount(); ++cell) {
            grid->setCell(cell, tallest, {}, false);
            QCOMPARE(ink(grid->grab(grid->captionRect(cell)).toImage()).height(),
                     ink(roomy).height());
        }
        QVERIFY(grid->font().pixelSize() * 3 >= grid->captionRect(0).height() * 2);
    }

    void theCloseButtonSavesAndTheTitleBarDoesNot() {
        Window w;
        frmImage& window = w.open();
        const QString sub = w.folder.makeFolder("pics/sub");
        QVERIFY(window.browser().Dir1().setPath(sub));
        QCOMPARE(w.child<QListWidget>("Dir1")->currentItem()->text().trimmed(), QString("sub"));
        Settings saved;
        window.show();
        window.close(); // the title bar's close
        LoadSettings(saved, w.store);
        QCOMPARE(saved.CurrentFolder, w.folder.filePath("pics"));

        window.show();
        QTest::mouseClick(w.child<QPushButton>("cerrar"), Qt::LeftButton);
        QVERIFY(!window.isVisible());
        LoadSettings(saved, w.store);
        QCOMPARE(saved.CurrentFolder, sub);
    }

    // The record cannot be written: the message names it, and the window closes.
    void aCloseThatCannotSaveSaysWhyThenCloses() {
        Window w;
        frmImage& window = w.open();
        QVERIFY(QFile::remove(w.recordFile()));
        QVERIFY(QDir().mkpath(w.recordFile() + "/in the way"));
        window.show();
        const ModalAnswerer answerer;
        QTest::mouseClick(w.child<QPushButton>("cerrar"), Qt::LeftButton);
        QCOMPARE(answerer.messages().size(), 1);
        const QString shown = answerer.messages().constFirst();
        QVERIFY2(shown.startsWith(QString::fromUtf8("Atención|No se pudo")) &&
                     shown.contains(QString::fromUtf8("archivo\n") + w.recordFile()),
                 qPrintable(shown));
        QVERIFY(!window.isVisible());
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
