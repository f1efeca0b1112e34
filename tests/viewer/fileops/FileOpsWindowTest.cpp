#include "MainWindowFixture.h"
#include "StringTable.h"
#include "ThumbnailGrid.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace {

// The main window with a.bmp selected, so that its page shows a.bmp in cell 0 and b.bmp in cell 1.
frmImage& openWithFirstSelected(Window& w, qint16 language) {
    frmImage& window = w.open(language);
    auto* file1 = w.child<QListView>("File1");
    file1->setCurrentIndex(file1->model()->index(0, 0));
    w.pageFilled(); // a page still filling shows no thumbnail to click: the menu would not open
    window.show();
    return window;
}

// Right-clicks a thumbnail, picks an item of the menu that opens, and runs `whileOpen` on the
// modal window the item opens, as soon as that window runs. False when no modal window came up.
bool chooseFromThumbnailMenu(frmImage& window, int cell, const char* item,
                             const std::function<void(QWidget&)>& whileOpen) {
    auto* grid = window.findChild<ThumbnailGrid*>("Thumbnails");
    bool opened = false;
    QTimer::singleShot(0, &window, [&] {
        QMenu* menu = window.Opciones();
        QTimer::singleShot(0, &window, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal && QTest::qWaitForWindowActive(modal)) { // access keys need it active
                opened = true;
                whileOpen(*modal);
                modal->close();
            }
        });
        menu->setActiveAction(window.findChild<QAction*>(item));
        QTest::keyClick(menu, Qt::Key_Return);
    });
    QTest::mouseClick(grid, Qt::RightButton, {}, grid->imageRect(cell).center());
    return opened;
}

// Presses Alt and a letter, and waits for the button whose access key it is: an access key
// shows the press before it clicks.
bool pressAccessKey(QWidget& dialog, Qt::Key letter) {
    QSignalSpy clicked(dialog.findChild<QPushButton*>("boton"), &QPushButton::clicked);
    QTest::keyClick(&dialog, letter, Qt::AltModifier);
    return clicked.wait();
}

// Types a text into a field in place of the one it holds, then presses the button by its key.
bool typeAndPress(QWidget& dialog, const QString& text, Qt::Key letter) {
    auto* edit = dialog.findChild<QLineEdit*>("TxtDest");
    edit->selectAll();
    QTest::keyClicks(edit, text);
    return pressAccessKey(dialog, letter);
}

// The text a label, a field or a button of a dialog shows.
QString textOf(QWidget& dialog, const char* name) {
    return dialog.findChild<QWidget*>(name)->property("text").toString();
}

// The dialog's title, then its texts from top to bottom: the labels and fields, the status line
// and the button.
QStringList textsOf(QWidget& dialog) {
    QStringList texts{dialog.windowTitle()};
    for (const char* name : {"lblorig", "TxtOrig", "lbldest", "TxtDest", "lblresul", "boton"})
        texts.append(textOf(dialog, name));
    return texts;
}

} // namespace

class FileOpsWindowTest : public QObject {
    Q_OBJECT

private slots:
    void copyFromTheThumbnailMenu() {
        Window w;
        frmImage& window = openWithFirstSelected(w, 0);
        const QString pics = w.folder.filePath("pics");
        const bool opened = chooseFromThumbnailMenu(window, 0, "opccop", [&](QWidget& dialog) {
            QVERIFY(!dialog.windowIcon().isNull());
            // The folder is the last copy's.
            QCOMPARE(textsOf(dialog),
                     (QStringList{"Copiar a...", "Copiar en:", pics, "Nombre de Archivo:", "a.bmp",
                                  "Especifique la Ruta y Nombre de Archivo.", "&Copiar"}));
            // 1800, 840, 5535 x 285 twips; the dialog 850 twips right of the screen's centre.
            QCOMPARE(dialog.findChild<QLineEdit*>("TxtDest")->geometry(), QRect(120, 56, 369, 19));
            QCOMPARE(dialog.pos(), QPoint(205, 240));

            QVERIFY(typeAndPress(dialog, "c.bmp", Qt::Key_C));
            QTRY_COMPARE(textOf(dialog, "lblresul"),
                         QString::fromUtf8("Atención: La operación fue exitosa."));
            QCOMPARE(textOf(dialog, "boton"), QString("&Cerrar"));
            QCOMPARE(window.windowTitle(), QString("Lumi Vart [3]"));
            QVERIFY(pressAccessKey(dialog, Qt::Key_C));
            QVERIFY(!dialog.isVisible());
        });
        QVERIFY(opened);
        QCOMPARE(w.folder.read("pics/c.bmp"), w.folder.read("pics/a.bmp"));
        QCOMPARE(w.module.settings.CopyFolder, pics);
    }

    void renameFromTheThumbnailMenu() {
        Window w;
        frmImage& window = openWithFirstSelected(w, 200);
        const QByteArray a = w.folder.read("pics/a.bmp");
        const bool opened = chooseFromThumbnailMenu(window, 0, "opcrena", [&](QWidget& dialog) {
            QCOMPARE(textsOf(dialog),
                     (QStringList{"Rename...", "Filename:", "a.bmp", "New Name:", "",
                                  "Change the name of the file...", "&Rename"}));
            QVERIFY(!dialog.findChild<QLineEdit*>("TxtOrig")->isEnabled());

            QVERIFY(typeAndPress(dialog, "z.bmp", Qt::Key_R));
            QCOMPARE(textOf(dialog, "lblresul"), QString("Attention: Operation successful."));
            QTest::keyClick(&dialog, Qt::Key_Escape);
            QVERIFY(!dialog.isVisible());
        });
        QVERIFY(opened);
        QCOMPARE(w.folder.read("pics/z.bmp"), a);
        ImageBrowser& browser = window.browser();
        QCOMPARE(browser.File1().entry(browser.File1().listIndex()), QString("z.bmp"));
        QCOMPARE(window.findChild<ThumbnailGrid*>("Thumbnails")->caption(0), QString("z.bmp"));
        QVERIFY(browser.cells()[0].imageVisible && !browser.cells()[0].picture.isNull());
        QCOMPARE(window.windowTitle(), QString("Lumi Vart [2]"));
    }

    void propertiesFromTheThumbnailMenu() {
        Window w;
        frmImage& window = openWithFirstSelected(w, kEnglishOffset);
        const QString path = w.folder.filePath("pics/b.bmp").toUpper();
        const bool opened = chooseFromThumbnailMenu(window, 1, "opcprop", [&](QWidget& modal) {
            auto* box = qobject_cast<QMessageBox*>(&modal);
            QVERIFY(box);
            QCOMPARE(box->windowTitle(), QString("File Information... "));
            QCOMPARE(box->icon(), QMessageBox::NoIcon);
            QCOMPARE(box->buttons().size(), 1);
            QVERIFY2(box->text().startsWith("File: b.bmp\r\n\r\nPath: " + path + "\r\n"),
                     qPrintable(box->text()));
        });
        QVERIFY(opened);
    }
};

QTEST_MAIN(FileOpsWindowTest)
#include "FileOpsWindowTest.moc"
