#include "ImageBrowser.h"

#include "ImagePatterns.h"
#include "MainWindowLayout.h"
#include "Module1.h"
#include "SettingsPersistence.h"
#include "StringTable.h"

namespace {

constexpr char kDescription[] = "Lumi Vart";
constexpr char kNoMoreFiles[] = "No hay más archivos...";

QString pictureFile(const QString& folder, const QString& name) {
    return folder + '/' + name;
}

} // namespace

ImageBrowser::ImageBrowser(Module1& module, SettingsStore& store, VolumeTable volumes,
                           BrowserFeedback& feedback, const QString& currentDirectory,
                           QObject* parent)
    : QObject(parent), m_module(module), m_store(store), m_feedback(feedback),
      m_lists(std::move(volumes), currentDirectory), m_page(module, feedback), m_zoom(module),
      m_title(kDescription) {
    connectJobs();
}

ImageBrowser::~ImageBrowser() {
    m_feedback.showBusy(false);
}

void ImageBrowser::connectJobs() {
    connect(&m_page, &ThumbnailPage::laidOut, this, &ImageBrowser::gridLaidOut);
    connect(&m_page, &ThumbnailPage::cellChanged, this, &ImageBrowser::cellChanged);
    connect(&m_page, &ThumbnailPage::fillEnded, this, &ImageBrowser::pageFillEnded);
    connect(&m_page, &ThumbnailPage::completed, this, &ImageBrowser::readNextPageAhead);
    connect(&m_zoom, &ZoomViewer::changed, this, &ImageBrowser::zoomViewChanged);
    connect(&Drive1(), &DriveList::Change, this, &ImageBrowser::Drive1_Change);
    connect(&Dir1(), &FolderList::Change, this, &ImageBrowser::Dir1_Change);
    connect(&File1(), &FileList::PathChange, this, &ImageBrowser::File1_PathChange);
    connect(&File1(), &FileList::PatternChange, this, &ImageBrowser::File1_PatternChange);
    connect(&File1(), &FileList::Click, this, &ImageBrowser::File1_Click);
}

QString ImageBrowser::titleWith(const QString& text) {
    return QStringLiteral("%1 [%2]").arg(QLatin1String(kDescription), text);
}

void ImageBrowser::setTitle(const QString& title) {
    m_title = title;
    emit titleChanged(m_title);
}

void ImageBrowser::setTitleWith(const QString& text) {
    setTitle(titleWith(text));
}

// ----- Settings -----

void ImageBrowser::loadSettingsAndFolder() {
    Module1& m = m_module;
    Settings& s = m.settings;
    s = Settings::startupDefaults(m_lists.startFolder());
    m.PreviewName.clear();
    m.CaptionHeight = 165;
    m.LayoutChanged = true;
    m.LastCell = 0;
    LoadSettings(s, m_store);
    s.repairUnusableValues();
    m.ZoomHeight = m.screen.twips().width() / s.ZoomDivisor;
    ModoZ(s.ZoomMode);
    m_lists.restoreFolder(s.CurrentFolder);
}

void ImageBrowser::chooseScreenClassAndLayOut() {
    m_module.ScreenClass = screenClassOf(m_module.screen.pixels);
    m_page.layOut();
}

void ImageBrowser::saveSettings() {
    const FileWriteResult saved = SaveSettings(m_module.settings, m_store);
    if (!saved.written) {
        const qint16 language = m_module.settings.LanguageOffset;
        m_feedback.showMessage(settingsNotSavedText(saved, language),
                               LocalText(kTextAttention, language));
    }
}

void ImageBrowser::setDevicePixelRatio(qreal ratio) {
    m_page.setDevicePixelRatio(ratio);
    m_zoom.setDevicePixelRatio(ratio);
}

void ImageBrowser::escapePressed() {
    if (m_zoom.view().visible)
        m_zoom.hide();
    else
        Dir1_Change();
    File1_PatternChange();
}

// ----- Navigation -----

void ImageBrowser::Drive1_Change() {
    if (!m_lists.followDrive()) {
        const qint16 language = m_module.settings.LanguageOffset;
        m_feedback.showMessage(LocalText(kTextDeviceNotReady, language),
                               LocalText(kTextAttention, language));
    }
}

void ImageBrowser::Dir1_Change() {
    m_page.cancel(); // nothing of the old folder lands on the emptied page
    m_module.settings.CurrentFolder = Dir1().path();
    File1().setFolder(m_module.settings.CurrentFolder);
    if (!m_page.isEmpty())
        m_page.emptyFrom(0);
    m_zoom.hide();
    m_module.settings.CurrentFolder = Dir1().path();
}

void ImageBrowser::File1_PathChange() {
    File1_PatternChange();
}

void ImageBrowser::File1_PatternChange() {
    const int count = File1().count();
    setTitle(count == 0 ? QString::fromLatin1(kDescription) : titleWith(QString::number(count)));
}

QStringList ImageBrowser::patternBoxTexts() const {
    return FolderChain::patternBoxTexts(m_module.settings.LanguageOffset);
}

void ImageBrowser::CboFiltro_Change(const QString& text) {
    m_lists.setPatternText(text, m_module.settings.LanguageOffset);
}

void ImageBrowser::Actualizar_Click() {
    m_lists.refresh();
    if (!m_zoom.view().visible)
        File1_Click();
    else
        emit zoomViewChanged();
    File1_PatternChange();
    if (m_zoom.view().visible)
        setTitleWith(m_module.PreviewName);
}

void ImageBrowser::refreshAfterFileChange(const QString& renamedFrom, const QString& renamedTo) {
    File1().refresh(renamedFrom, renamedTo);
    m_page.renameCaption(renamedFrom, renamedTo);
    File1_PatternChange();
}

// ----- Thumbnail pages -----

void ImageBrowser::File1_Click() {
    setTitleWith(m_lists.selectedName());
    if (m_module.settings.ZoomMode)
        showSelectedInZoomView();
    else
        fillPage();
}

void ImageBrowser::fillPage() {
    if (!m_page.layOutIfChanged())
        return;
    m_zoom.hide();
    // The captions at once; the pictures follow in list order as the workers make them.
    QStringList names;
    const QStringList paths = pagePictures(File1().listIndex(), names);
    m_page.fill(names, paths);
}

QStringList ImageBrowser::pagePictures(int from, QStringList& names) const {
    names = m_lists.pictureNames(from, m_module.LastCell + 1);
    QStringList paths;
    for (const QString& name : names)
        paths.append(pictureFile(m_module.settings.CurrentFolder, name));
    return paths;
}

// The next page, made while the user looks at this one, comes at once when asked for.
void ImageBrowser::readNextPageAhead() {
    const int next = File1().listIndex() + m_module.LastCell;
    if (m_module.LastCell > 0 && !File1().entry(next).isEmpty()) {
        QStringList names;
        m_page.readAhead(pagePictures(next, names));
    }
}

void ImageBrowser::Image2_Click() {
    const int position = File1().listIndex();
    if (File1().entry(position).isEmpty() || position == 0)
        return;
    if (!File1().setListIndex(position - m_module.LastCell)) {
        m_feedback.showMessage(QString::fromUtf8(kNoMoreFiles), QString::fromLatin1(kDescription));
        File1().setListIndex(0);
    }
}

void ImageBrowser::Image3_Click() {
    const int position = File1().listIndex();
    if (File1().entry(position).isEmpty())
        return;
    if (!File1().setListIndex(position + m_module.LastCell))
        m_feedback.showMessage(QString::fromUtf8(kNoMoreFiles), QString::fromLatin1(kDescription));
}

QString ImageBrowser::cellFile(int cell) const {
    return pictureFile(m_module.settings.CurrentFolder, cellCaption(cell));
}

void ImageBrowser::Image1_MouseDown(int cell, Qt::MouseButton button) {
    if (button != Qt::RightButton || !m_page.showsImage(cell))
        return;
    m_module.CurrentIndex = static_cast<qint16>(cell);
    m_feedback.openPictureMenu();
}

void ImageBrowser::Image1_MouseMove(int cell) {
    if (m_page.showsImage(cell))
        setTitleWith(cellCaption(cell));
}

// ----- Preview and zoom -----

void ImageBrowser::showSelectedInZoomView() {
    const QString name = m_lists.selectedName();
    if (!isPictureName(name))
        return;
    m_zoom.hide();
    const QString file = pictureFile(m_module.settings.CurrentFolder, name);
    m_zoom.readPicture(file, [this, file, name](Picture picture) {
        // Shown only while its file is still the selection in zoom mode.
        if (!m_module.settings.ZoomMode || m_lists.selectedName() != name ||
            pictureFile(m_module.settings.CurrentFolder, name) != file)
            return;
        m_zoom.setPicture(std::move(picture), file);
        m_module.PreviewName = name;
        m_zoom.show();
    });
}

void ImageBrowser::Image1_Click(int cell) {
    if (!m_page.showsImage(cell))
        return;
    m_module.PreviewName = cellCaption(cell);
    m_zoom.showThumbnail(cells()[cell].picture, cellFile(cell));
}

void ImageBrowser::ZoomImg_MouseDown(Qt::MouseButton button) {
    m_zoom.step(button == Qt::LeftButton ? -1 : +1);
}

void ImageBrowser::ZoomImg_DblClick() {
    m_zoom.hide();
}

void ImageBrowser::ZoomImg_MouseMove() {
    if (m_zoom.view().visible)
        setTitleWith(m_module.PreviewName);
}

void ImageBrowser::Modo_Click() {
    m_module.settings.ZoomMode = !m_module.settings.ZoomMode;
    ModoZ(m_module.settings.ZoomMode);
}

void ImageBrowser::ModoZ(bool on) {
    emit zoomModeApplied(on);
}

void ImageBrowser::Mas_Click() {
    ZoomImg_MouseDown(Qt::LeftButton);
}

void ImageBrowser::Menos_Click() {
    ZoomImg_MouseDown(Qt::NoButton);
}
