#pragma once

#include "BusyPointer.h"
#include "CopyRenameLogic.h"
#include "ImageBrowser.h"
#include "SlideShow.h"
#include "ViewCommands.h"

#include <QMainWindow>
#include <vector>

class QAction;
class QComboBox;
class QMenu;
class QPushButton;
class FileListView;
class FolderListView;
class PictureCell;
class ThumbnailGrid;
struct Module1;
class SettingsStore;

// The viewer's main window: the drive, folder, pattern and file lists on the left, the thumbnail
// page on the right, the zoom view over it, and the menus. Its behaviour lives in ImageBrowser;
// the window shows that state and forwards its events.
class frmImage : public QMainWindow, private BrowserFeedback {
    Q_OBJECT

public:
    frmImage(Module1& module, SettingsStore& store, VolumeTable volumes,
             const QString& currentDirectory, QWidget* parent = nullptr);
    ~frmImage() override;

    ImageBrowser& browser() { return m_browser; }
    int helpTopic() const { return m_helpTopic; }
    QMenu* Opciones() const { return m_opciones; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void showMessage(const QString& text, const QString& title) override;
    void openPictureMenu() override;
    void showFullScreenWindow(FullScreenRequest& request) override;
    void openHelp(int topic) override;
    void showBusy(bool busy) override { m_busyPointer.show(busy); }

    void buildControls();
    void buildMenus();
    void connectMenus();
    void connectBrowser();
    void applyCaptions();
    void placeControls();
    void rebuildCells();
    void showCopyDialog(CopyRenameLogic::Mode mode);
    void opcprop_Click();
    void showCell(int cell);
    void showZoomView();
    void applyZoomMode(bool on);
    void cerrar_Click();
    void Acercade_Click();
    void Preferencias_Click();
    QRect pixelsOf(const QRect& twips) const;

    Module1& m_module;
    BusyPointer m_busyPointer{Qt::BusyCursor}; // outlives the browser, which takes it back
    ImageBrowser m_browser;
    ViewCommands m_commands;
    GeneratorRandom m_random;
    int m_helpTopic = 0;

    QWidget* m_client = nullptr;
    QComboBox* m_drive1 = nullptr;
    FolderListView* m_dir1 = nullptr;
    QComboBox* m_cboFiltro = nullptr;
    FileListView* m_file1 = nullptr;
    PictureCell* m_image2 = nullptr;
    PictureCell* m_image3 = nullptr;
    QPushButton* m_cerrar = nullptr;
    PictureCell* m_zoomImg = nullptr;
    ThumbnailGrid* m_grid = nullptr; // the cells of the page

    QMenu* m_ver = nullptr;
    QAction* m_portapapeles = nullptr;
    QAction* m_pantalla = nullptr;
    QAction* m_diapositivas = nullptr;
    QAction* m_actualizar = nullptr;
    QAction* m_modo = nullptr;
    QAction* m_mas = nullptr;
    QAction* m_menos = nullptr;
    QAction* m_preferencias = nullptr;
    QMenu* m_help = nullptr;
    QAction* m_ayuda = nullptr;
    QAction* m_acercade = nullptr;
    QMenu* m_opciones = nullptr;
    QAction* m_opcport = nullptr;
    QAction* m_opcfull = nullptr;
    QAction* m_opccop = nullptr;
    QAction* m_opcrena = nullptr;
    QAction* m_opcprop = nullptr;
    QAction* m_opcclos = nullptr;
};
