#include "MainWindowFixture.h"
#include "PictureCell.h"
#include "ThumbnailGrid.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QtTest>

namespace {

// Picks an item from the pattern box's open list, as the keyboard does.
void pickPattern(QComboBox* box, int item) {
    box->showPopup();
    box->view()->setCurrentIndex(box->model()->index(item, 0));
    QTest::keyClick(box->view(), Qt::Key_Return);
}

// How many rows of an image hold something other than its top left pixel's colour.
int inkRows(const QImage& image) {
    const QRgb background = image.pixel(0, 0);
    int rows = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != background) {
                ++rows;
                break;
            }
        }
    }
    return rows;
}

QStringList menuBarTitles(QMenuBar* bar) {
    QStringList titles;
    for (QAction* a : bar->actions())
        titles.append(a->text());
    return titles;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void menusAndCaptions_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("bar");
        QTest::addColumn<QStringList>("viewEntries");
        QTest::addColumn<QStringList>("pictureMenu");
        QTest::addColumn<QString>("closeButton");
        QTest::addColumn<int>("helpTopic");
        QTest::newRow("spanish")
            << 0 << QStringList{"&Ver", "&Preferencias", "Ay&uda"}
            << QStringList{"&Portapapeles", QString::fromUtf8("&Pantalla Completa"),
                           "&Diapositivas", "",
                           "&Actualizar",   "",
                           "&Modo Zoom",    QString::fromUtf8("&Más Zoom"),
                           "&Menos Zoom"}
            << QStringList{"Copiar al Portapapeles",
                           "",
                           "&Pantalla Completa",
                           "",
                           "Copiar a...",
                           "Renombrar",
                           QString::fromUtf8("Información"),
                           "",
                           "&Cerrar"}
            << "&Cerrar" << 1;
        QTest::newRow("english")
            << 200 << QStringList{"&View", "&Preferences", "He&lp"}
            << QStringList{"&Clipboard", "&Full Screen", "&Slides",    "",          "&Refresh",
                           "",           "&Zoom Mode",   "&More Zoom", "&Less Zoom"}
            << QStringList{"Copy to Clipboard", "", "&Full Screen", "", "Copy to...", "Rename",
                           "Properties",        "", "&Close"}
            << "&Close" << 201;
    }

    void menusAndCaptions() {
        QFETCH(int, language);
        QFETCH(QStringList, bar);
        QFETCH(QStringList, viewEntries);
        QFETCH(QStringList, pictureMenu);
        QFETCH(QString, closeButton);
        QFETCH(int, helpTopic);
        Window w;
        frmImage& window = w.open(static_cast<qint16>(language));
        QCOMPARE(menuBarTitles(window.menuBar()), bar);
        QStringList view;
        for (QAction* a : w.child<QMenu>("Ver")->actions())
            view.append(a->text());
        QCOMPARE(view, viewEntries);
        QStringList popup;
        for (QAction* a : window.Opciones()->actions())
            popup.append(a->text());
        QCOMPARE(popup, pictureMenu);
        QCOMPARE(w.child<QPushButton>("cerrar")->text(), closeButton);
        QCOMPARE(window.helpTopic(), helpTopic);
        QCOMPARE(w.child<QComboBox>("CboFiltro")->count(), 8);
        QCOMPARE(w.child<QComboBox>("CboFiltro")->currentText(),
                 language ? QString("All Formats") : QString("Todos los Formatos"));
        QCOMPARE(w.action("Acercade")->text(),
                 language ? QString("&About...") : QString("&Acerca de..."));
    }

    void shortcutsAndThePopupThatNeverShowsInTheBar() {
        Window w;
        frmImage& window = w.open();
        const std::pair<const char*, Qt::Key> keys[] = {
            {"Portapapeles", Qt::Key_F2}, {"Pantalla", Qt::Key_F3}, {"Diapositivas", Qt::Key_F4},
            {"Actualizar", Qt::Key_F5},   {"Modo", Qt::Key_F6},     {"Mas", Qt::Key_F7},
            {"Menos", Qt::Key_F8}};
        for (const auto& [name, key] : keys)
            QCOMPARE(w.action(name)->shortcut(), QKeySequence(key));
        for (QAction* a : window.menuBar()->actions())
            QVERIFY(a->menu() != window.Opciones());
    }

    void tooltips() {
        Window w;
        w.open(200);
        QCOMPARE(w.child<QComboBox>("Drive1")->toolTip(), QString("Select Drive"));
        QCOMPARE(w.child<QWidget>("Dir1")->toolTip(), QString("Select Folder"));
        QCOMPARE(w.child<QComboBox>("CboFiltro")->toolTip(), QString("Select or Imput Pattern"));
        QCOMPARE(w.child<QListView>("File1")->toolTip(), QString("Select File"));
        QCOMPARE(w.child<QWidget>("Image2")->toolTip(), QString("Previous Page"));
        QCOMPARE(w.child<QWidget>("Image3")->toolTip(), QString("Next Page"));
    }

    void zoomModeShowsItsMenuEntriesAndIcon_data() {
        QTest::addColumn<bool>("storedZoomMode");
        QTest::newRow("off") << false;
        QTest::newRow("on") << true;
    }

    void zoomModeShowsItsMenuEntriesAndIcon() {
        QFETCH(bool, storedZoomMode);
        Window w;
        frmImage& window = w.open(0, storedZoomMode);
        QCOMPARE(w.action("Modo")->isChecked(), storedZoomMode);
        QCOMPARE(w.action("Mas")->isVisible(), storedZoomMode);
        QCOMPARE(w.action("Menos")->isVisible(), storedZoomMode);
        const QString captionBefore = w.action("Modo")->text();
        const qint64 iconBefore = window.windowIcon().cacheKey();
        w.action("Modo")->trigger();
        QCOMPARE(w.action("Modo")->isChecked(), !storedZoomMode);
        QCOMPARE(w.action("Mas")->isVisible(), !storedZoomMode);
        QCOMPARE(w.action("Modo")->text(), captionBefore);
        QVERIFY(window.windowIcon().cacheKey() != iconBefore);
    }

    void controlsSitAtTheirPlacesForTheScreenClass() {
        Window w;
        w.open(0, false, {1024, 768});
        QCOMPARE(w.module.ScreenClass, qint16(3));
        // Class 3 places the file list at (1, 4560) twips, 2100 x 5355: 15 twips a pixel.
        QCOMPARE(w.child<QListView>("File1")->geometry(), QRect(0, 304, 140, 357));
        QCOMPARE(w.child<QPushButton>("cerrar")->geometry(), QRect(80, 672, 56, 25));
    }

    void aPageOfCellsAndThePreview() {
        Window w;
        frmImage& window = w.open();
        auto* file1 = w.child<QListView>("File1");
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
        // Cell 0 at (2700, 75) twips, 500 x 500.
        QCOMPARE(grid->imageRect(0).translated(grid->pos()), QRect(180, 5, 33, 33));

        window.show();
        QTest::mouseClick(grid, Qt::LeftButton, {}, grid->imageRect(0).center());
        auto* zoom = w.child<PictureCell>("ZoomImg");
        QVERIFY(zoom->isVisible());
        QCOMPARE(zoom->geometry(),
                 w.module.screen.scale.toPixels(window.browser().zoomView().rect));
        QTest::keyClick(file1, Qt::Key_Escape);
        QVERIFY(!zoom->isVisible());
        QCOMPARE(window.windowTitle(), QString("Lumi Vart [2]"));
    }

    void thePatternBoxAppliesExactlyWhatIsTypedOrPicked() {
        Window w;
        frmImage& window = w.open();
        for (const char* name : {"c.g", "d.gif", "T"})
            w.folder.write(QString("pics/") + name, "x");
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto* box = w.child<QComboBox>("CboFiltro");
        box->lineEdit()->setFocus(); // inline completion acts only in the focused box
        const FileList& files = window.browser().File1();
        // The box shows exactly what was typed, never a completion, and the list follows it.
        const std::pair<QString, QString> typedAndListed[] = {
            {"*.g", "c.g"}, {"T", "T"}}; // "T" starts "Todos los Formatos"
        for (const auto& [typed, listed] : typedAndListed) {
            box->lineEdit()->clear();
            QTest::keyClicks(box->lineEdit(), typed);
            QCOMPARE(box->lineEdit()->displayText(), typed);
            QCOMPARE(files.entries(), QStringList{listed});
        }

        pickPattern(box, 2); // "Bitmaps (*.bmp, *.dib)"
        QCOMPARE(files.entries(), (QStringList{"a.bmp", "b.bmp"}));
        w.folder.write("pics/e.dib", "x");
        pickPattern(box, 2); // the text already shown is applied again
        QCOMPARE(files.entries(), (QStringList{"a.bmp", "b.bmp", "e.dib"}));
    }

    void captionsShowTheirNamesWholeAndAsTheyAre_data() {
        QTest::addColumn<double>("dpi");
        QTest::newRow("96 dpi, 11-pixel captions") << 96.0;
        QTest::newRow("72 dpi, 8-pixel captions") << 72.0;
        QTest::newRow("144 dpi, 16-pixel captions") << 144.0;
    }

    void captionsShowTheirNamesWholeAndAsTheyAre() {
        QFETCH(double, dpi);
        Window w;
        w.module.screen.scale = TwipsScale(dpi);
        w.folder.write("pics/<i>gy_.bmp", TestPictures::bmp(TestPictures::quadrants(40, 30)));
        frmImage& window = w.open();
        QVERIFY(window.browser().File1().setListIndex(0));
        QVERIFY(w.pageFilled());
        auto* grid = w.child<ThumbnailGrid>("Thumbnails");
        QVERIFY(grid->cellCount() > 1);
        QCOMPARE(grid->caption(0), QString("<i>gy_.bmp"));
        // Shown as plain text: the markup is drawn, not obeyed, and the name is not cut short.
        const QImage named = grid->grab(grid->captionRect(0)).toImage();
        const QFontMetrics metrics(grid->font());
        int inkRight = 0;
        for (int x = 0; x < named.width(); ++x)
            for (int y = 0; y < named.height(); ++y)
                if (named.pixel(x, y) != named.pixel(0, 0))
                    inkRight = x;
        QVERIFY(inkRight >= metrics.horizontalAdvance("<i>gy_.bm"));
        // Accented capitals, descenders and underscores are drawn whole: a caption shows as many
        // rows of ink as the same text drawn with room to spare, in a font not needlessly small.
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
            QCOMPARE(inkRows(grid->grab(grid->captionRect(cell)).toImage()), inkRows(roomy));
        }
        QVERIFY(grid->font().pixelSize() * 3 >= grid->captionRect(0).height() * 2);
    }

    void thePatternListIsAsWideAsItsLongestText() {
        Window w;
        frmImage& window = w.open(200);
        window.show();
        auto* box = w.child<QComboBox>("CboFiltro");
        box->showPopup();
        QVERIFY(box->view()->isVisible());
        QVERIFY(box->view()->viewport()->width() >= box->view()->sizeHintForColumn(0));
        QVERIFY(box->view()->viewport()->width() > box->width()); // "Windows MetaFiles (...)"
    }

    void cursorsOfCellsAndTheZoomView() {
        Window w;
        w.open();
        QCOMPARE(w.child<ThumbnailGrid>("Thumbnails")->imageCursor().shape(), Qt::BitmapCursor);
        QCOMPARE(w.child<PictureCell>("ZoomImg")->cursor().shape(), Qt::BitmapCursor);
    }

    void itOpensMaximisedAndRestoresToItsOwnSizeInTheMiddle() {
        Window w;
        frmImage& window = w.open();
        window.show();
        QVERIFY(window.isMaximized());
        window.showNormal();
        QCOMPARE(window.size(), QSize(632, 435)); // 9480 x 6525 twips
        const QRect free = window.screen()->availableGeometry();
        const QRect frame = window.frameGeometry();
        QVERIFY(free.contains(frame));
        // In the middle, but for the frame's own width and height.
        const QSize border = frame.size() - window.size();
        QVERIFY(qAbs((frame.left() - free.left()) - (free.right() - frame.right())) <=
                border.width() + 1);
        QVERIFY(qAbs((frame.top() - free.top()) - (free.bottom() - frame.bottom())) <=
                border.height() + 1);
    }

    void theCloseButtonSavesAndTheTitleBarDoesNot() {
        Window w;
        frmImage& window = w.open();
        const QString sub = w.folder.makeFolder("pics/sub");
        QVERIFY(window.browser().Dir1().setPath(sub));
        window.show();
        window.close(); // the title bar's close
        Settings afterTitleBar;
        LoadSettings(afterTitleBar, w.store);
        QCOMPARE(afterTitleBar.CurrentFolder, w.folder.filePath("pics"));

        window.show();
        QTest::mouseClick(w.child<QPushButton>("cerrar"), Qt::LeftButton);
        QVERIFY(!window.isVisible());
        Settings afterClose;
        LoadSettings(afterClose, w.store);
        QCOMPARE(afterClose.CurrentFolder, sub);
    }

    void aCloseThatCannotSaveSaysWhyThenCloses_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<bool>("recordBlocked"); // else the exchange file
        QTest::addColumn<QString>("message");
        QTest::newRow("record, spanish") << 0 << true << QString::fromUtf8("Atención|No se pudo");
        QTest::newRow("exchange file, english") << 200 << false << "Attention|The settings could";
    }

    void aCloseThatCannotSaveSaysWhyThenCloses() {
        QFETCH(int, language);
        QFETCH(bool, recordBlocked);
        QFETCH(QString, message);
        Window w;
        frmImage& window = w.open(static_cast<qint16>(language));
        const QString blocked = recordBlocked ? w.recordFile() : w.exchangeFile();
        QVERIFY(QFile::remove(blocked));
        QVERIFY(QDir().mkpath(blocked + "/in the way"));
        window.show();
        QString shown;
        QTimer::singleShot(0, &window, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                if (box->textFormat() == Qt::PlainText) // it names a file
                    shown = box->windowTitle() + '|' + box->text();
                box->accept();
            }
        });
        QTest::mouseClick(w.child<QPushButton>("cerrar"), Qt::LeftButton);
        QVERIFY2(shown.startsWith(message) && shown.contains(blocked), qPrintable(shown));
        QVERIFY(!window.isVisible());
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
