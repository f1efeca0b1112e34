#pragma once

#include "DriveList.h"
#include "FileList.h"
#include "FolderList.h"
#include "GridLayout.h"
#include "Picture.h"

#include <QObject>
#include <QRectF>
#include <memory>
#include <vector>

struct Module1;
class PageFill;
class SettingsStore;
class ThumbnailWorkers;
class ZoomPictureLoad;

// What the main window shows on behalf of the browser's logic.
class BrowserFeedback {
public:
    virtual ~BrowserFeedback() = default;
    // A modal message box with the information icon.
    virtual void showMessage(const QString& text, const QString& title) = 0;
    // Opens the thumbnail menu at the mouse position.
    virtual void openPictureMenu() = 0;
    // Shows the full-screen window modally; returns when it has closed.
    virtual void showFullScreenWindow() = 0;
    // Opens the program's help at a topic, without waiting for it.
    virtual void openHelp(int topic) = 0;
};

// A thumbnail cell: its image, drawn stretched to its place, and the caption line under it. A
// cell whose picture is still being made has its caption and a hidden image, as an empty cell.
struct ThumbnailCell {
    CellPlacement place;
    QString caption;
    Picture picture;
    bool imageVisible = false;
};

// The zoom view: one picture large, with its proportions kept.
struct ZoomView {
    Picture picture;
    QString sourcePath; // the picture's file; empty for the clipboard's picture
    bool visible = false;
    QRectF rect; // twips
};

// The main window's behaviour without its widgets: start-up and shutdown, the chained drive,
// folder, pattern and file lists, the thumbnail pages with their paging, and the preview and
// zoom mode. The window forwards its events to the handlers here and shows the state kept here.
// A page's pictures are made on worker threads and handed to the cells in list order as they
// come; a new fill, a folder change or the browser's end abandons the fill under way.
class ImageBrowser : public QObject {
    Q_OBJECT

public:
    ImageBrowser(Module1& module, SettingsStore& store, VolumeTable volumes,
                 BrowserFeedback& feedback, const QString& currentDirectory,
                 QObject* parent = nullptr);
    ~ImageBrowser() override;

    DriveList& Drive1() { return m_drive1; }
    FolderList& Dir1() { return m_dir1; }
    FileList& File1() { return m_file1; }
    const std::vector<ThumbnailCell>& cells() const { return m_cells; }
    const ZoomView& zoomView() const { return m_zoom; }
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
    bool showPath(const QString& path);

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

    // Lays the grid out for the screen class; false when its arithmetic fails.
    bool layOutGrid();
    void Image2_Click();
    void Image3_Click();

    void Zoom();
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
    void setDevicePixelRatio(qreal ratio) { m_pixelRatio = ratio; }
    // The pixels of a cell's picture: the cell's image at device pixels.
    QSize cellPixels() const;
    // The largest picture the zoom view is given: what its widest view shows, at device pixels.
    QSize zoomPictureBound() const;
    bool isFillingPage() const;
    // Abandons the page fill under way: the cells waiting for their pictures stay as they are.
    void cancelPageFill();
    // While another window works (full screen), the page's workers leave it the processors:
    // the fill under way stops, and resumes with the same page unless another fill began.
    void suspendPageFill();
    void resumePageFill();

    // Gives the zoom view another picture without showing, hiding or moving it.
    void setZoomPicture(Picture picture, QString sourcePath);
    // A cell's caption, empty for a cell that does not exist; and the file of its picture, the
    // current folder and that caption.
    QString cellCaption(int cell) const;
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
    void setTitle(const QString& title);
    void hideZoomView();
    void fillPage();
    // The files of the pictures of the page that starts at list position `from`, and their names.
    QStringList pagePictures(int from, QStringList& names) const;
    void startPageFill();
    void pictureArrived(int cell, const Picture& picture);
    void pictureFailed(int cell);
    void pageCompleted();
    void setBusyPointer(bool busy);
    bool showsImage(int cell) const;
    void showSelectedInZoomView();
    void zoomPictureLoaded(const QString& path, const Picture& picture);
    void emptyCells(int from);
    void stepZoom(int direction);

    Module1& m_module;
    SettingsStore& m_store;
    BrowserFeedback& m_feedback;
    VolumeTable m_volumes;
    DriveList m_drive1;
    FolderList m_dir1;
    FileList m_file1;
    QString m_startFolder; // the process's current directory
    std::vector<ThumbnailCell> m_cells;
    ZoomView m_zoom;
    QString m_title;
    qreal m_pixelRatio = 1;
    bool m_busyPointer = false;
    QStringList m_pageFiles;    // the pictures of the page filled last
    bool m_fillSuspended = false;
    // The threads outlive the work they are given, so they come first.
    std::unique_ptr<ThumbnailWorkers> m_workers;
    std::unique_ptr<PageFill> m_pageFill;
    std::unique_ptr<ZoomPictureLoad> m_zoomLoad;
};
