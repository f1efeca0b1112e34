#include "frmImage.h"

#include "CaptionFont.h"
#include "FileListView.h"
#include "FilePropertiesBox.h"
#include "FolderListView.h"
#include "HelpViewer.h"
#include "LocalFileLayer.h"
#include "MainWindowLayout.h"
#include "Module1.h"
#include "PictureCell.h"
#include "ProgramArt.h"
#include "StringTable.h"
#include "ThumbnailGrid.h"
#include "frmPantalla.h"
#include "frmPrefer.h"
#include "frmacerca.h"
#include "frmcopiar.h"
#include "frmpassword.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>

namespace {

QString withAccessKey(const QString& text, int position = 0) {
    QString caption = text;
    caption.insert(position, u'&');
    return caption;
}
} // namespace

frmImage::frmImage(Module1& module, SettingsStore& store, VolumeTable volumes,
                   const QString& currentDirectory, QWidget* parent)
    : QMainWindow(parent), m_module(module),
      m_browser(module, store, std::move(volumes), *this, currentDirectory, this),
      m_commands(m_browser, *this), m_random(QRandomGenerator::global()->generate()) {
    setObjectName("frmImage");
    setWindowTitle(m_browser.title());
    // Placed by its frame, so that un-maximising brings back a window whose title bar is on
    // the screen.
    const QRect restored =
        restoredWindowPlace(screen()->availableGeometry(), m_module.screen.scale);
    resize(restored.size());
    move(restored.topLeft());
    setWindowState(Qt::WindowMaximized);
    m_browser.setDevicePixelRatio(devicePixelRatioF());
    buildControls();
    buildMenus();
    connectMenus();
    connectBrowser();
    qApp->installEventFilter(this); // sees every key before the focused control does

    m_browser.loadSettingsAndFolder();
    m_helpTopic = m_module.settings.LanguageOffset + kHelpMainWindow;
    m_image2->setPicture(ProgramArt::icon(ProgramArt::kIconPreviousPage));
    m_image3->setPicture(ProgramArt::icon(ProgramArt::kIconNextPage));
    applyCaptions();
    m_cboFiltro->setCurrentIndex(0);
    m_browser.CboFiltro_Change(m_cboFiltro->itemText(0));
    m_browser.chooseScreenClassAndLayOut();
    placeControls();
}

frmImage::~frmImage() { qApp->removeEventFilter(this); }

void frmImage::buildControls() {
    m_client = new QWidget(this);
    setCentralWidget(m_client);

    m_drive1 = new QComboBox(m_client);
    m_drive1->setObjectName("Drive1");
    m_drive1->addItems(m_browser.Drive1().volumes().mountPoints());
    m_dir1 = new FolderListView(m_browser.Dir1(), m_client);
    m_dir1->setObjectName("Dir1");
    m_cboFiltro = new QComboBox(m_client);
    m_cboFiltro->setObjectName("CboFiltro");
    m_cboFiltro->setEditable(true);
    m_cboFiltro->setInsertPolicy(QComboBox::NoInsert);
    m_cboFiltro->setCompleter(nullptr); // the list follows what is typed, never a completion
    m_file1 = new FileListView(m_browser.File1(), m_client);
    m_file1->setObjectName("File1");
    m_image2 = new PictureCell(m_client);
    m_image2->setObjectName("Image2");
    m_image3 = new PictureCell(m_client);
    m_image3->setObjectName("Image3");
    m_cerrar = new QPushButton(m_client);
    m_cerrar->setObjectName("cerrar");

    m_grid = new ThumbnailGrid(m_module.screen.scale, m_client);
    m_grid->setObjectName("Thumbnails");
    m_grid->setImageCursor(ProgramArt::cursor(ProgramArt::kCursorMagnifier));

    m_zoomImg = new PictureCell(m_client);
    m_zoomImg->setObjectName("ZoomImg");
    m_zoomImg->setCursor(ProgramArt::cursor(ProgramArt::kCursorZoomMagnifier));
    m_zoomImg->hide();

    connect(m_drive1, &QComboBox::activated, this,
            [this](int index) { m_browser.Drive1().setDrive(m_drive1->itemText(index)); });
    // Every edit applies the text as it stands, and every pick applies the picked text, even
    // when it is the text already shown.
    connect(m_cboFiltro->lineEdit(), &QLineEdit::textEdited, this,
            [this](const QString& text) { m_browser.CboFiltro_Change(text); });
    connect(m_cboFiltro, &QComboBox::activated, this,
            [this](int item) { m_browser.CboFiltro_Change(m_cboFiltro->itemText(item)); });
    connect(m_image2, &PictureCell::clicked, &m_browser, &ImageBrowser::Image2_Click);
    connect(m_image3, &PictureCell::clicked, &m_browser, &ImageBrowser::Image3_Click);
    connect(m_cerrar, &QPushButton::clicked, this, &frmImage::cerrar_Click);
    connect(m_grid, &ThumbnailGrid::clicked, &m_browser, &ImageBrowser::Image1_Click);
    connect(m_grid, &ThumbnailGrid::pressed, &m_browser, &ImageBrowser::Image1_MouseDown);
    connect(m_grid, &ThumbnailGrid::moved, &m_browser, &ImageBrowser::Image1_MouseMove);
    connect(m_zoomImg, &PictureCell::pressed, &m_browser, &ImageBrowser::ZoomImg_MouseDown);
    connect(m_zoomImg, &PictureCell::doubleClicked, &m_browser, &ImageBrowser::ZoomImg_DblClick);
    connect(m_zoomImg, &PictureCell::moved, &m_browser, &ImageBrowser::ZoomImg_MouseMove);
}

void frmImage::buildMenus() {
    auto action = [this](const char* name, QKeySequence shortcut = {}) {
        auto* a = new QAction(this);
        a->setObjectName(name);
        a->setShortcut(shortcut);
        return a;
    };
    m_ver = menuBar()->addMenu(QString());
    m_ver->setObjectName("Ver");
    m_portapapeles = action("Portapapeles", Qt::Key_F2);
    m_pantalla = action("Pantalla", Qt::Key_F3);
    m_diapositivas = action("Diapositivas", Qt::Key_F4);
    m_actualizar = action("Actualizar", Qt::Key_F5);
    m_modo = action("Modo", Qt::Key_F6);
    m_modo->setCheckable(true);
    m_mas = action("Mas", Qt::Key_F7);
    m_menos = action("Menos", Qt::Key_F8);
    m_ver->addActions({m_portapapeles, m_pantalla, m_diapositivas});
    m_ver->addSeparator();
    m_ver->addAction(m_actualizar);
    m_ver->addSeparator();
    m_ver->addActions({m_modo, m_mas, m_menos});

    m_preferencias = action("Preferencias");
    menuBar()->addAction(m_preferencias);

    m_help = menuBar()->addMenu(QString());
    m_help->setObjectName("Help");
    m_ayuda = action("Ayuda");
    m_acercade = action("Acercade");
    m_help->addActions({m_ayuda, m_acercade});

    // The thumbnail menu never shows in the menu bar; a right click on a thumbnail opens it.
    m_opciones = new QMenu(this);
    m_opciones->setObjectName("Opciones");
    m_opcport = action("opcport");
    m_opcfull = action("opcfull");
    m_opccop = action("opccop");
    m_opcrena = action("opcrena");
    m_opcprop = action("opcprop");
    m_opcclos = action("opcclos");
    m_opciones->addAction(m_opcport);
    m_opciones->addSeparator();
    m_opciones->addAction(m_opcfull);
    m_opciones->addSeparator();
    m_opciones->addActions({m_opccop, m_opcrena, m_opcprop});
    m_opciones->addSeparator();
    m_opciones->addAction(m_opcclos);
}

void frmImage::connectMenus() {
    auto command = [this](QAction* entry, void (ViewCommands::*handler)()) {
        connect(entry, &QAction::triggered, this, [this, handler] { (m_commands.*handler)(); });
    };
    command(m_portapapeles, &ViewCommands::Portapapeles_Click);
    command(m_pantalla, &ViewCommands::Pantalla_Click);
    command(m_diapositivas, &ViewCommands::Diapositivas_Click);
    command(m_ayuda, &ViewCommands::Ayuda_Click);
    command(m_opcport, &ViewCommands::opcport_Click);
    command(m_opcfull, &ViewCommands::opcfull_Click);
    connect(m_acercade, &QAction::triggered, this, &frmImage::Acercade_Click);
    connect(m_preferencias, &QAction::triggered, this, &frmImage::Preferencias_Click);
    connect(m_opccop, &QAction::triggered, this,
            [this] { showCopyDialog(CopyRenameLogic::Mode::Copy); });
    connect(m_opcrena, &QAction::triggered, this,
            [this] { showCopyDialog(CopyRenameLogic::Mode::Rename); });
    connect(m_opcprop, &QAction::triggered, this, &frmImage::opcprop_Click);
    connect(m_actualizar, &QAction::triggered, &m_browser, &ImageBrowser::Actualizar_Click);
    connect(m_modo, &QAction::triggered, &m_browser, &ImageBrowser::Modo_Click);
    connect(m_mas, &QAction::triggered, &m_browser, &ImageBrowser::Mas_Click);
    connect(m_menos, &QAction::triggered, &m_browser, &ImageBrowser::Menos_Click);
}

void frmImage::connectBrowser() {
    connect(&m_browser, &ImageBrowser::titleChanged, this, &QWidget::setWindowTitle);
    connect(&m_browser, &ImageBrowser::gridLaidOut, this, &frmImage::rebuildCells);
    connect(&m_browser, &ImageBrowser::cellChanged, this, &frmImage::showCell);
    connect(&m_browser, &ImageBrowser::zoomViewChanged, this, &frmImage::showZoomView);
    connect(&m_browser, &ImageBrowser::zoomModeApplied, this, &frmImage::applyZoomMode);
    connect(&m_browser.Drive1(), &DriveList::Change, this, [this] {
        m_drive1->setCurrentIndex(m_drive1->findText(m_browser.Drive1().drive()));
    });
    m_drive1->setCurrentIndex(m_drive1->findText(m_browser.Drive1().drive()));
}

void frmImage::applyCaptions() {
    const qint16 language = m_module.settings.LanguageOffset;
    auto text = [language](TextId id) { return LocalText(id, language); };

    m_cerrar->setText(withAccessKey(text(kTextClose)));
    m_actualizar->setText(withAccessKey(text(kTextRefresh)));
    m_drive1->setToolTip(text(kTextSelectDrive));
    m_dir1->setToolTip(text(kTextSelectFolder));
    m_cboFiltro->setToolTip(text(kTextSelectPattern));
    m_file1->setToolTip(text(kTextSelectFile));
    m_image2->setToolTip(text(kTextPreviousPage));
    m_image3->setToolTip(text(kTextNextPage));
    m_cboFiltro->addItems(m_browser.patternBoxTexts());
    // The open list is as wide as its longest text, however narrow the box.
    QAbstractItemView* list = m_cboFiltro->view();
    list->setMinimumWidth(list->sizeHintForColumn(0) + 2 * list->frameWidth());

    m_ver->setTitle(withAccessKey(text(kTextView)));
    m_portapapeles->setText(withAccessKey(text(kTextClipboard)));
    m_pantalla->setText(withAccessKey(text(kTextFullScreen)));
    m_diapositivas->setText(withAccessKey(text(kTextSlides)));
    m_modo->setText(withAccessKey(text(kTextZoomMode)));
    m_mas->setText(withAccessKey(text(kTextMoreZoom)));
    m_menos->setText(withAccessKey(text(kTextLessZoom)));
    m_preferencias->setText(withAccessKey(text(kTextPreferences)));
    m_help->setTitle(withAccessKey(text(kTextHelp), 2));
    m_ayuda->setText(withAccessKey(text(kTextHelpContents)));
    m_acercade->setText(withAccessKey(text(kTextAbout)) + "...");
    m_opcport->setText(text(kTextCopyToClipboard));
    m_opcfull->setText(withAccessKey(text(kTextFullScreen)));
    m_opccop->setText(text(kTextCopyTo));
    m_opcrena->setText(text(kTextRename));
    m_opcprop->setText(text(kTextProperties));
    m_opcclos->setText(withAccessKey(text(kTextClose)));
}

QRect frmImage::pixelsOf(const QRect& twips) const {
    return m_module.screen.scale.toPixels(QRectF(twips));
}

void frmImage::placeControls() {
    const qint16 screenClass = m_module.ScreenClass;
    auto place = [&](QWidget* widget, MainControl control) {
        QRect rect = pixelsOf(controlPlacement(screenClass, control));
        if (rect.height() == 0) // drive list and pattern box keep their own height
            rect.setHeight(widget->sizeHint().height());
        widget->setGeometry(rect);
    };
    place(m_drive1, MainControl::Drive1);
    place(m_dir1, MainControl::Dir1);
    place(m_cboFiltro, MainControl::CboFiltro);
    place(m_file1, MainControl::File1);
    place(m_image2, MainControl::Image2);
    place(m_image3, MainControl::Image3);
    place(m_cerrar, MainControl::cerrar);
}

void frmImage::rebuildCells() {
    // Cell 0 keeps its place when the layout gives it none; the others are placed anew, empty.
    std::vector<CellPlacement> places;
    for (const ThumbnailCell& cell : m_browser.cells())
        places.push_back(cell.place);
    m_grid->setPlaces(places);
    // Captions are placed by rounding their edges to pixels, so none is lower than the caption
    // height rounded down.
    const int captionPixels =
        static_cast<int>(m_module.CaptionHeight / m_module.screen.scale.twipsPerPixel());
    const CaptionFont captionFont = captionFontFitting(m_client->font(), captionPixels);
    m_grid->setCaptionFont(captionFont.font, captionFont.baseline);
    m_zoomImg->raise();
}

void frmImage::showCopyDialog(CopyRenameLogic::Mode mode) {
    LocalFileLayer files;
    frmcopiar dialog(
        m_module, mode, m_browser.cellCaption(m_module.CurrentIndex), files,
        [this](const QString& from, const QString& to) {
            m_browser.refreshAfterFileChange(from, to);
        },
        this);
    dialog.exec();
}

void frmImage::opcprop_Click() {
    ShowFileProperties(m_browser.cellFile(m_module.CurrentIndex), 1,
                       m_module.settings.LanguageOffset, this);
}

void frmImage::showCell(int cell) {
    const ThumbnailCell& state = m_browser.cells().at(cell);
    m_grid->setCell(cell, state.caption, state.picture.image, state.imageVisible);
}

void frmImage::showZoomView() {
    const ZoomView& zoom = m_browser.zoomView();
    m_zoomImg->setVisible(false);
    if (!zoom.visible)
        return;
    m_zoomImg->setPicture(zoom.picture.image);
    m_zoomImg->setGeometry(m_module.screen.scale.toPixels(zoom.rect));
    m_zoomImg->raise();
    m_zoomImg->show();
}

void frmImage::applyZoomMode(bool on) {
    setWindowIcon(QIcon(QPixmap::fromImage(
        ProgramArt::icon(on ? ProgramArt::kIconZoomMode : ProgramArt::kIconProgram))));
    m_modo->setChecked(on);
    m_mas->setVisible(on);
    m_menos->setVisible(on);
}

void frmImage::closeEvent(QCloseEvent* event) {
    m_browser.page().cancel(); // no work goes on for a window that is gone
    QMainWindow::closeEvent(event);
}

void frmImage::cerrar_Click() {
    m_browser.saveSettings();
    close();
}

void frmImage::Acercade_Click() {
    frmacerca box(m_module, this);
    box.exec();
}

void frmImage::Preferencias_Click() {
    Settings& s = m_module.settings;
    if (s.ImageProtect == 1) {
        frmpassword prompt(s.ProtectPassword, s.LanguageOffset, m_module.screen, this);
        m_module.PasswordAccepted = prompt.exec() == QDialog::Accepted;
        if (!m_module.PasswordAccepted)
            return;
    }
    frmPrefer preferences(m_module, this);
    if (preferences.exec() == QDialog::Accepted)
        m_browser.saveSettings();
}

bool frmImage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QMainWindow::eventFilter(watched, event);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this)
        return false;
    switch (static_cast<QKeyEvent*>(event)->key()) {
    case Qt::Key_Escape:
        m_browser.escapePressed();
        return true;
    case Qt::Key_F1:
        openHelp(m_helpTopic);
        return true;
    default:
        return false;
    }
}

void frmImage::showMessage(const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText); // a file's name in it is shown as it is
    box.exec();
}

void frmImage::openPictureMenu() { m_opciones->exec(QCursor::pos()); }

void frmImage::showFullScreenWindow(FullScreenRequest& request) {
    frmPantalla window(request, m_module.screen.pixels, m_random, this);
    window.exec();
}

void frmImage::openHelp(int topic) { HelpViewer::showTopic(topic, this); }
