#pragma once

#include "BrowserFeedback.h"
#include "FolderChain.h"
#include "ThumbnailPage.h"
#include "ZoomViewer.h"

#include <QObject>

struct Module1;
class SettingsStore;

// The main window's behaviour without its widgets. It composes the jobs: the chained drive,
// folder, pattern and file lists (FolderChain), the thumbnail page and its fill (ThumbnailPage),
// the zoom view (ZoomViewer); and it keeps start-up and shutdown with the settings, the title,
// and the handlers that tie the jobs together. The window forwards its events to the handlers
// here and shows the state kept in the jobs.
class ImageBrowser : public QObject {
    Q_OBJECT

public:
    ImageBrowser(Module1& module, SettingsStore& store, VolumeTable volumes,
                 BrowserFeedback& feedback, const QString& currentDirectory,
                 QObject* parent = nullptr);
    ~ImageBrowser() override;

    DriveList& Drive1() { return m_lists.drives(); }
    FolderList& Dir1() { return m_lists.folders(); }
    FileList& File1() { return m_lists.files(); }
    ThumbnailPage& page() { return m_page; }
    ZoomViewer& zoom() { return m_zoom; }
    const std::vector<ThumbnailCell>& cells() const { return m_page.cells(); }
    const ZoomView& zoomView() const { return m_zoom.view(); }
    const QString& title() const { return m_title; }
    Module1& module() { return m_module; }

    // Start-up up to the captions: defaults, stored settings, zoom level and mode, last folder.
    void loadSettingsAndFolder();
    // Start-up after the captions: the screen class and the first layout of the grid.
    void chooseScreenClassAndLayOut();
    // The Close button's saving. A file that cannot be written is told to the user, with the
    // system's reason.
    void saveSettings();

    // A folder or file named from outside (the command line): a folder is shown as if chosen in
    // the folder list; a file's folder is shown with the file selected, which fills its page.
    // False when the path names no folder or file that can be read; a file that the pattern does
    // not list leaves its folder shown with nothing selected.
    bool showPath(const QString& path) { return m_lists.showPath(path); }

    // Escape: hides the zoom view, or re-reads the folder when it is hidden; then the count.
    void escapePressed();

    void Drive1_Change();
    void Dir1_Change();
    void File1_PathChange();
    void File1_PatternChange();
    void File1_Click();
    // The pattern box's list, in the settings' language.
    QStringList patternBoxTexts() const;
    // A new text in the pattern box, typed or picked.
    void CboFiltro_Change(const QString& text);
    void Actualizar_Click();
    // After a file of the shown folder was copied or renamed: reads the list again, the
    // selection staying on its file (under the new name when that file was renamed), the
    // renamed file's cell taking the new name and keeping its picture; the title shows the count.
    void refreshAfterFileChange(const QString& renamedFrom = {}, const QString& renamedTo = {});

    void Image2_Click();
    void Image3_Click();

    void Zoom() { m_zoom.show(); }
    void ModoZ(bool on);
    void Modo_Click();
    void Mas_Click();
    void Menos_Click();
    void Image1_Click(int cell);
    void Image1_MouseDown(int cell, Qt::MouseButton button);
    void Image1_MouseMove(int cell);
    void ZoomImg_MouseDown(Qt::MouseButton button);
    void ZoomImg_DblClick();
    void ZoomImg_MouseMove();

    // Device pixels per pixel of the screen the window shows on: pictures are made at device
    // pixels, so they are as sharp as the screen allows.
    void setDevicePixelRatio(qreal ratio);

    // A cell's caption, empty for a cell that does not exist; and the file of its picture, the
    // current folder and that caption.
    QString cellCaption(int cell) const { return m_page.caption(cell); }
    QString cellFile(int cell) const;
    // The title: the program's description, then the text in brackets.
    void setTitleWith(const QString& text);

    static QString titleWith(const QString& text);

signals:
    void titleChanged(const QString& title);
    // Cells were destroyed and created anew, each at its place.
    void gridLaidOut();
    void cellChanged(int cell);
    void zoomViewChanged();
    // Zoom mode was applied to the menus and the window icon.
    void zoomModeApplied(bool on);
    // The page fill has handed every picture over, or stopped at the first that failed.
    void pageFillEnded();

private:
    void connectJobs();
    void setTitle(const QString& title);
    void fillPage();
    // The files of the pictures of the page that starts at list position `from`, and their names.
    QStringList pagePictures(int from, QStringList& names) const;
    void readNextPageAhead();
    void showSelectedInZoomView();

    Module1& m_module;
    SettingsStore& m_store;
    BrowserFeedback& m_feedback;
    FolderChain m_lists;
    ThumbnailPage m_page;
    ZoomViewer m_zoom;
    QString m_title;
};
