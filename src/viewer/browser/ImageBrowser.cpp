#include "ImageBrowser.h"

#include "ImagePatterns.h"
#include "MainWindowLayout.h"
#include "Module1.h"
#include "PictureLoader.h"
#include "SettingsPersistence.h"
#include "StringTable.h"
#include "ZoomPlacement.h"

#include <QCursor>
#include <QGuiApplication>

namespace {

constexpr char kDescription[] = "Lumi Vart";
constexpr char kNoMoreFiles[] = "No hay más archivos...";
constexpr int kPatternTextFirstId = 12;
constexpr int kPatternTextCount = 8;
constexpr qint16 kLargestZoom = 2; // the smallest divisor gives the largest view
constexpr qint16 kSmallestZoom = 4;

// The patterns of the pattern box's eight texts, in the order of the texts (ids 12 to 19).
const char* const kPatternOfText[kPatternTextCount] = {
    kAllPictureFormatsPattern, "*.*", "*.bmp;*.dib", "*.jpg;*.jpeg",
    "*.gif",                   "*.ico;*.cur", "*.wmf;*.emf", "*.rle"};

// The application's wait pointer for the life of the object.
class WaitPointer {
public:
    WaitPointer() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitPointer() { QGuiApplication::restoreOverrideCursor(); }
    WaitPointer(const WaitPointer&) = delete;
    WaitPointer& operator=(const WaitPointer&) = delete;
};

QString pictureFile(const QString& folder, const QString& name) { return folder + '/' + name; }

} // namespace

ImageBrowser::ImageBrowser(Module1& module, SettingsStore& store, VolumeTable volumes,
                           BrowserFeedback& feedback, const QString& currentDirectory,
                           QObject* parent)
    : QObject(parent), m_module(module), m_store(store), m_feedback(feedback),
      m_volumes(std::move(volumes)), m_drive1(m_volumes), m_dir1(m_volumes, currentDirectory),
      m_file1(m_dir1.path()), m_startFolder(m_dir1.path()), m_cells(1), m_title(kDescription) {
    m_drive1.setDrive(m_startFolder);
    connect(&m_drive1, &DriveList::Change, this, &ImageBrowser::Drive1_Change);
    connect(&m_dir1, &FolderList::Change, this, &ImageBrowser::Dir1_Change);
    connect(&m_file1, &FileList::PathChange, this, &ImageBrowser::File1_PathChange);
    connect(&m_file1, &FileList::PatternChange, this, &ImageBrowser::File1_PatternChange);
    connect(&m_file1, &FileList::Click, this, &ImageBrowser::File1_Click);
}

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
        m_feedback.showMessage(settingsNotSavedText(saved, language), LocalText(22, language));
    }
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
        m_feedback.showMessage(LocalText(25, language), LocalText(22, language));
    }
}

void ImageBrowser::Dir1_Change() {
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

void ImageBrowser::CboFiltro_Change(const QString& text) {
    const QString trimmed = text.trimmed();
    for (int i = 0; i < kPatternTextCount; ++i) {
        if (trimmed == LocalText(kPatternTextFirstId + i, m_module.settings.LanguageOffset)) {
            m_file1.setPattern(QString::fromLatin1(kPatternOfText[i]));
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
    WaitPointer wait;
    hideZoomView();

    // The page's picture entries are decoded together; they are then given to the cells in list
    // order, and the first that failed empties its cell and every cell after it.
    QStringList names;
    for (int i = 0; i <= m.LastCell; ++i) {
        const QString name = m_file1.entry(m_file1.listIndex() + i);
        if (isPictureName(name))
            names.append(name);
    }
    QStringList paths;
    for (const QString& name : names)
        paths.append(pictureFile(m.settings.CurrentFolder, name));
    std::vector<PictureLoader::Result> loaded = PictureLoader::loadAll(paths, cellPictureBound());

    int k = 0;
    for (; k < static_cast<int>(loaded.size()); ++k) {
        if (!loaded[k].ok())
            break;
        ThumbnailCell& cell = m_cells[k];
        cell.caption = names[k];
        cell.picture = std::move(loaded[k].picture);
        cell.imageVisible = true;
        emit cellChanged(k);
    }
    emptyCells(k);
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

QSize ImageBrowser::cellPictureBound() const {
    const Module1& m = m_module;
    const TwipsScale& scale = m.screen.scale;
    const QSize widestZoomView(scale.toPixels(m.MaxZoomWidth),
                               scale.toPixels(m.screen.twips().width() / kLargestZoom));
    const QSize cell(scale.toPixels(m.settings.ThumbWidth), scale.toPixels(m.settings.ThumbHeight));
    return widestZoomView.expandedTo(cell);
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
        PictureLoader::load(pictureFile(m_module.settings.CurrentFolder, name), cellPictureBound());
    if (!loaded.ok())
        return;
    setZoomPicture(std::move(loaded.picture), pictureFile(m_module.settings.CurrentFolder, name));
    m_module.PreviewName = name;
    Zoom();
}

void ImageBrowser::Image1_Click(int cell) {
    if (cell < 0 || cell >= static_cast<int>(m_cells.size()))
        return;
    hideZoomView();
    setZoomPicture(m_cells[cell].picture, cellFile(cell));
    m_module.PreviewName = m_cells[cell].caption;
    Zoom();
}

void ImageBrowser::Image1_MouseDown(int cell, Qt::MouseButton button) {
    if (button != Qt::RightButton || cell < 0 || cell >= static_cast<int>(m_cells.size()))
        return;
    m_module.CurrentIndex = static_cast<qint16>(cell);
    m_feedback.openPictureMenu();
}

void ImageBrowser::Image1_MouseMove(int cell) {
    if (cell >= 0 && cell < static_cast<int>(m_cells.size()))
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
