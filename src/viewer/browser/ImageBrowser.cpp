#include "ImageBrowser.h"

#include "FittedSize.h"
#include "ImagePatterns.h"
#include "MainWindowLayout.h"
#include "Module1.h"
#include "PageFill.h"
#include "PictureLoader.h"
#include "SettingsPersistence.h"
#include "StringTable.h"
#include "ThumbnailWorkers.h"
#include "ZoomPictureLoad.h"
#include "ZoomPlacement.h"

#include <QCursor>
#include <QFileInfo>
#include <QGuiApplication>
#include <QThreadPool>

namespace {

constexpr char kDescription[] = "Lumi Vart";
constexpr char kNoMoreFiles[] = "No hay más archivos...";
constexpr qint16 kLargestZoom = 2; // the smallest divisor gives the largest view
constexpr qint16 kSmallestZoom = 4;

// The pattern box's texts, in the order it lists them, with the pattern each one stands for.
struct PatternText {
    TextId text;
    const char* pattern;
};
const PatternText kPatternTexts[] = {{kTextAllFormats, kAllPictureFormatsPattern},
                                     {kTextAllFiles, "*.*"},
                                     {kTextBitmapFiles, "*.bmp;*.dib"},
                                     {kTextJpegFiles, "*.jpg;*.jpeg"},
                                     {kTextGifFiles, "*.gif"},
                                     {kTextIconFiles, "*.ico;*.cur"},
                                     {kTextMetafiles, "*.wmf;*.emf"},
                                     {kTextRleFiles, "*.rle"}};

QString pictureFile(const QString& folder, const QString& name) { return folder + '/' + name; }

} // namespace

ImageBrowser::ImageBrowser(Module1& module, SettingsStore& store, VolumeTable volumes,
                           BrowserFeedback& feedback, const QString& currentDirectory,
                           QObject* parent)
    : QObject(parent), m_module(module), m_store(store), m_feedback(feedback),
      m_volumes(std::move(volumes)), m_drive1(m_volumes), m_dir1(m_volumes, currentDirectory),
      m_file1(m_dir1.path()), m_startFolder(m_dir1.path()), m_cells(1), m_title(kDescription),
      m_workers(std::make_unique<ThumbnailWorkers>()),
      m_pageFill(std::make_unique<PageFill>(
          *m_workers, std::make_shared<const ThumbnailCache>(ThumbnailCache::user()))),
      // Not the page's threads: those are taken until the page is complete.
      m_zoomLoad(std::make_unique<ZoomPictureLoad>(*QThreadPool::globalInstance())) {
    connect(m_pageFill.get(), &PageFill::pictureReady, this, &ImageBrowser::pictureArrived);
    connect(m_pageFill.get(), &PageFill::failed, this, &ImageBrowser::pictureFailed);
    connect(m_pageFill.get(), &PageFill::completed, this, &ImageBrowser::pageCompleted);
    connect(m_zoomLoad.get(), &ZoomPictureLoad::loaded, this, &ImageBrowser::zoomPictureLoaded);
    m_drive1.setDrive(m_startFolder);
    connect(&m_drive1, &DriveList::Change, this, &ImageBrowser::Drive1_Change);
    connect(&m_dir1, &FolderList::Change, this, &ImageBrowser::Dir1_Change);
    connect(&m_file1, &FileList::PathChange, this, &ImageBrowser::File1_PathChange);
    connect(&m_file1, &FileList::PatternChange, this, &ImageBrowser::File1_PatternChange);
    connect(&m_file1, &FileList::Click, this, &ImageBrowser::File1_Click);
}

ImageBrowser::~ImageBrowser() { setBusyPointer(false); }

QString ImageBrowser::titleWith(const QString& text) {
    return QStringLiteral("%1 [%2]").arg(QLatin1String(kDescription), text);
}

void ImageBrowser::setTitle(const QString& title) {
    m_title = title;
    emit titleChanged(m_title);
}

void ImageBrowser::loadSettingsAndFolder() {
    Module1& m = m_module;
    Settings& s = m.settings;
    s = Settings::startupDefaults(m_startFolder);
    m.UsePreviewPicture = false;
    m.PreviewName.clear();
    m.CaptionHeight = 165;
    m.LayoutChanged = true;
    m.LastCell = 0;
    LoadSettings(s, m_store);
    s.repairUnusableValues();
    m.ZoomHeight = m.screen.twips().width() / s.ZoomDivisor;
    ModoZ(s.ZoomMode);
    // The folder first, then its drive; a folder that is gone leaves both lists as they were.
    if (m_dir1.setPath(s.CurrentFolder))
        m_drive1.setDrive(s.CurrentFolder);
}

void ImageBrowser::chooseScreenClassAndLayOut() {
    m_module.ScreenClass = screenClassOf(m_module.screen.pixels);
    layOutGrid();
}

void ImageBrowser::saveSettings() {
    const FileWriteResult saved = SaveSettings(m_module.settings, m_store);
    if (!saved.written) {
        const qint16 language = m_module.settings.LanguageOffset;
        m_feedback.showMessage(settingsNotSavedText(saved, language),
                               LocalText(kTextAttention, language));
    }
}

bool ImageBrowser::showPath(const QString& path) {
    const QFileInfo info(path);
    const QString folder = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
    if (!info.exists() || !m_dir1.setPath(folder))
        return false;
    m_drive1.setDrive(m_dir1.path());
    if (info.isDir())
        return true;
    const int position = static_cast<int>(m_file1.entries().indexOf(info.fileName()));
    if (position >= 0)
        m_file1.setListIndex(position);
    return true;
}

void ImageBrowser::escapePressed() {
    if (m_zoom.visible)
        hideZoomView();
    else
        Dir1_Change();
    File1_PatternChange();
}

// ----- Navigation -----

void ImageBrowser::Drive1_Change() {
    if (!m_dir1.setDrive(m_drive1.drive())) {
        const qint16 language = m_module.settings.LanguageOffset;
        m_feedback.showMessage(LocalText(kTextDeviceNotReady, language),
                               LocalText(kTextAttention, language));
    }
}

void ImageBrowser::Dir1_Change() {
    cancelPageFill(); // nothing of the old folder lands on the emptied page
    m_module.settings.CurrentFolder = m_dir1.path();
    m_file1.setFolder(m_module.settings.CurrentFolder);
    if (!m_cells.front().caption.isEmpty())
        emptyCells(0);
    hideZoomView();
    m_module.settings.CurrentFolder = m_dir1.path();
}

void ImageBrowser::File1_PathChange() { File1_PatternChange(); }

void ImageBrowser::File1_PatternChange() {
    const int count = m_file1.count();
    setTitle(count == 0 ? QString::fromLatin1(kDescription) : titleWith(QString::number(count)));
}

QStringList ImageBrowser::patternBoxTexts() const {
    QStringList texts;
    for (const PatternText& item : kPatternTexts)
        texts.append(LocalText(item.text, m_module.settings.LanguageOffset));
    return texts;
}

void ImageBrowser::CboFiltro_Change(const QString& text) {
    const QString trimmed = text.trimmed();
    for (const PatternText& item : kPatternTexts) {
        if (trimmed == LocalText(item.text, m_module.settings.LanguageOffset)) {
            m_file1.setPattern(QString::fromLatin1(item.pattern));
            return;
        }
    }
    m_file1.setPattern(text);
}

void ImageBrowser::Actualizar_Click() {
    m_dir1.refresh();
    m_file1.refresh();
    if (!m_zoom.visible)
        File1_Click();
    else
        emit zoomViewChanged();
    File1_PatternChange();
    if (m_zoom.visible)
        setTitleWith(m_module.PreviewName);
}

void ImageBrowser::refreshAfterFileChange(const QString& renamedFrom, const QString& renamedTo) {
    m_file1.refresh(renamedFrom, renamedTo);
    for (int i = 0; !renamedFrom.isEmpty() && i < static_cast<int>(m_cells.size()); ++i) {
        if (m_cells[i].caption == renamedFrom) {
            m_cells[i].caption = renamedTo;
            emit cellChanged(i);
        }
    }
    File1_PatternChange();
}

// ----- Thumbnail pages -----

void ImageBrowser::File1_Click() {
    setTitleWith(m_file1.entry(m_file1.listIndex()));
    if (m_module.settings.ZoomMode)
        showSelectedInZoomView();
    else
        fillPage();
}

bool ImageBrowser::layOutGrid() {
    Module1& m = m_module;
    m.MaxZoomWidth = maxZoomWidthOf(m.ScreenClass);
    const auto grid = Calculos(m.ScreenClass, m.settings, m.CaptionHeight);
    if (!grid)
        return false;
    m.GridColumns = grid->GridColumns;
    m.GridRows = grid->GridRows;
    m.LastCell = grid->LastCell;
    // Cell 0 stays for good; the others are made anew. With no whole cell, cell 0 keeps its
    // place and content.
    m_cells.resize(1);
    if (!grid->cells.empty()) {
        m_cells.front().place = grid->cells.front();
        for (std::size_t i = 1; i < grid->cells.size(); ++i)
            m_cells.push_back(ThumbnailCell{grid->cells[i], {}, {}, false});
    }
    emit gridLaidOut();
    return true;
}

void ImageBrowser::fillPage() {
    Module1& m = m_module;
    if (m.LayoutChanged) {
        if (!layOutGrid())
            return;
        m.LayoutChanged = false;
    }
    hideZoomView();

    // The captions at once; the pictures follow in list order as the workers make them, and the
    // first that fails empties its cell and every cell after it.
    QStringList names;
    m_pageFiles = pagePictures(m_file1.listIndex(), names);
    for (int k = 0; k < names.size(); ++k) {
        ThumbnailCell& cell = m_cells[k];
        cell.caption = names[k];
        cell.picture = {};
        cell.imageVisible = false;
        emit cellChanged(k);
    }
    emptyCells(static_cast<int>(names.size()));
    startPageFill();
}

void ImageBrowser::startPageFill() {
    m_fillSuspended = false;
    setBusyPointer(true);
    m_pageFill->start(m_pageFiles, cellPixels());
}

QStringList ImageBrowser::pagePictures(int from, QStringList& names) const {
    QStringList paths;
    for (int i = 0; i <= m_module.LastCell; ++i) {
        const QString name = m_file1.entry(from + i);
        if (isPictureName(name)) {
            names.append(name);
            paths.append(pictureFile(m_module.settings.CurrentFolder, name));
        }
    }
    return paths;
}

void ImageBrowser::pictureArrived(int cell, const Picture& picture) {
    if (cell < 0 || cell >= static_cast<int>(m_cells.size()))
        return;
    m_cells[cell].picture = picture;
    m_cells[cell].imageVisible = true;
    emit cellChanged(cell);
}

void ImageBrowser::pictureFailed(int cell) {
    emptyCells(cell);
    setBusyPointer(false);
    emit pageFillEnded();
}

void ImageBrowser::pageCompleted() {
    setBusyPointer(false);
    emit pageFillEnded();
    // The next page, made while the user looks at this one, comes at once when asked for.
    const int next = m_file1.listIndex() + m_module.LastCell;
    if (m_module.LastCell > 0 && !m_file1.entry(next).isEmpty()) {
        QStringList names;
        m_pageFill->readAhead(pagePictures(next, names), cellPixels());
    }
}

void ImageBrowser::cancelPageFill() {
    m_fillSuspended = false;
    m_pageFill->cancel();
    setBusyPointer(false);
}

void ImageBrowser::suspendPageFill() {
    const bool filling = isFillingPage();
    cancelPageFill();
    m_fillSuspended = filling;
}

void ImageBrowser::resumePageFill() {
    // Again from the first picture: those already shown come back from memory at once.
    if (m_fillSuspended)
        startPageFill();
}

bool ImageBrowser::isFillingPage() const { return m_pageFill->isFilling(); }

// The application's busy pointer while a page fills: the window answers meanwhile.
void ImageBrowser::setBusyPointer(bool busy) {
    if (busy == m_busyPointer)
        return;
    m_busyPointer = busy;
    if (busy)
        QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}

QSize ImageBrowser::cellPixels() const {
    const QSizeF image = m_module.screen.scale.toPixels(QRectF(m_cells.front().place.image)).size();
    return (image * m_pixelRatio).toSize();
}

void ImageBrowser::emptyCells(int from) {
    for (int j = from; j <= m_module.LastCell && j < static_cast<int>(m_cells.size()); ++j) {
        ThumbnailCell& cell = m_cells[j];
        cell.caption.clear();
        cell.picture = {};
        cell.imageVisible = false;
        emit cellChanged(j);
    }
}

void ImageBrowser::Image2_Click() {
    const int position = m_file1.listIndex();
    if (m_file1.entry(position).isEmpty() || position == 0)
        return;
    if (!m_file1.setListIndex(position - m_module.LastCell)) {
        m_feedback.showMessage(QString::fromUtf8(kNoMoreFiles), QString::fromLatin1(kDescription));
        m_file1.setListIndex(0);
    }
}

void ImageBrowser::Image3_Click() {
    const int position = m_file1.listIndex();
    if (m_file1.entry(position).isEmpty())
        return;
    if (!m_file1.setListIndex(position + m_module.LastCell))
        m_feedback.showMessage(QString::fromUtf8(kNoMoreFiles), QString::fromLatin1(kDescription));
}

QSize ImageBrowser::zoomPictureBound() const {
    const Module1& m = m_module;
    const TwipsScale& scale = m.screen.scale;
    const QSizeF widestZoomView(scale.toPixels(m.MaxZoomWidth),
                                scale.toPixels(m.screen.twips().width() / kLargestZoom));
    return (widestZoomView * m_pixelRatio).toSize();
}

// ----- Preview and zoom -----

void ImageBrowser::hideZoomView() {
    if (!m_zoom.visible)
        return;
    m_zoom.visible = false;
    emit zoomViewChanged();
}

void ImageBrowser::Zoom() {
    m_zoom.visible = false;
    // A view that never held a picture has no proportions to show.
    if (!m_zoom.picture.isNull()) {
        const Module1& m = m_module;
        m_zoom.rect = zoomRectangle(m_zoom.picture.naturalSize, m.ZoomHeight, m.MaxZoomWidth,
                                    m.screen.twips());
        m_zoom.visible = true;
    }
    emit zoomViewChanged();
}

void ImageBrowser::showSelectedInZoomView() {
    const QString name = m_file1.entry(m_file1.listIndex());
    if (!isPictureName(name))
        return;
    hideZoomView();
    PictureLoader::Result loaded =
        PictureLoader::load(pictureFile(m_module.settings.CurrentFolder, name), zoomPictureBound());
    if (!loaded.ok())
        return;
    setZoomPicture(std::move(loaded.picture), pictureFile(m_module.settings.CurrentFolder, name));
    m_module.PreviewName = name;
    Zoom();
}

// A cell takes the mouse while its image shows: an empty cell, or one whose picture is still
// being made, does not.
bool ImageBrowser::showsImage(int cell) const {
    return cell >= 0 && cell < static_cast<int>(m_cells.size()) && m_cells[cell].imageVisible;
}

void ImageBrowser::Image1_Click(int cell) {
    if (!showsImage(cell))
        return;
    hideZoomView();
    const QString file = cellFile(cell);
    setZoomPicture(m_cells[cell].picture, file);
    m_module.PreviewName = m_cells[cell].caption;
    Zoom();
    // The cell holds the pixels of a thumbnail: the view shows them at once, and the picture at
    // the view's own size when it has been read.
    const QSize shown = m_cells[cell].picture.image.size();
    const QSize wanted = fittedSize(m_zoom.picture.naturalSize, zoomPictureBound());
    if (shown.width() < wanted.width() || shown.height() < wanted.height())
        m_zoomLoad->request(file, zoomPictureBound());
}

void ImageBrowser::zoomPictureLoaded(const QString& path, const Picture& picture) {
    if (path == m_zoom.sourcePath)
        setZoomPicture(picture, path);
}

void ImageBrowser::Image1_MouseDown(int cell, Qt::MouseButton button) {
    if (button != Qt::RightButton || !showsImage(cell))
        return;
    m_module.CurrentIndex = static_cast<qint16>(cell);
    m_feedback.openPictureMenu();
}

void ImageBrowser::Image1_MouseMove(int cell) {
    if (showsImage(cell))
        setTitleWith(m_cells[cell].caption);
}

void ImageBrowser::ZoomImg_MouseDown(Qt::MouseButton button) {
    stepZoom(button == Qt::LeftButton ? -1 : +1);
}

void ImageBrowser::stepZoom(int direction) {
    Settings& s = m_module.settings;
    const qint16 divisor = static_cast<qint16>(s.ZoomDivisor + direction);
    if (divisor < kLargestZoom || divisor > kSmallestZoom)
        return;
    s.ZoomDivisor = divisor;
    m_module.ZoomHeight = m_module.screen.twips().width() / divisor;
    Zoom();
}

void ImageBrowser::setZoomPicture(Picture picture, QString sourcePath) {
    m_zoomLoad->cancel();
    m_zoom.picture = std::move(picture);
    m_zoom.sourcePath = std::move(sourcePath);
    if (m_zoom.visible)
        emit zoomViewChanged();
}

QString ImageBrowser::cellCaption(int cell) const {
    return cell >= 0 && cell < static_cast<int>(m_cells.size()) ? m_cells[cell].caption : QString();
}

QString ImageBrowser::cellFile(int cell) const {
    return pictureFile(m_module.settings.CurrentFolder, cellCaption(cell));
}

void ImageBrowser::setTitleWith(const QString& text) { setTitle(titleWith(text)); }

void ImageBrowser::ZoomImg_DblClick() { hideZoomView(); }

void ImageBrowser::ZoomImg_MouseMove() {
    if (m_zoom.visible)
        setTitleWith(m_module.PreviewName);
}

void ImageBrowser::Modo_Click() {
    m_module.settings.ZoomMode = !m_module.settings.ZoomMode;
    ModoZ(m_module.settings.ZoomMode);
}

void ImageBrowser::ModoZ(bool on) { emit zoomModeApplied(on); }

void ImageBrowser::Mas_Click() { ZoomImg_MouseDown(Qt::LeftButton); }

void ImageBrowser::Menos_Click() { ZoomImg_MouseDown(Qt::NoButton); }
