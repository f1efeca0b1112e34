#pragma once

#include "GridLayout.h"
#include "Picture.h"

#include <QObject>
#include <QStringList>
#include <memory>
#include <vector>

class BrowserFeedback;
struct Module1;
class PageFill;
class ThumbnailWorkers;

// A thumbnail cell: its image, drawn stretched to its place, and the caption line under it. A
// cell whose picture is still being made has its caption and a hidden image, as an empty cell.
struct ThumbnailCell {
    CellPlacement place;
    QString caption;
    Picture picture;
    bool imageVisible = false;
};

// The page of thumbnails: its cells laid out for the module's screen class and settings, their
// captions at once and their pictures made on worker threads, handed to the cells in list order
// as they come, with the busy pointer meanwhile. A new fill, a cancel or the page's end abandons
// the fill under way.
class ThumbnailPage : public QObject {
    Q_OBJECT

public:
    ThumbnailPage(Module1& module, BrowserFeedback& feedback, QObject* parent = nullptr);
    ~ThumbnailPage() override;

    const std::vector<ThumbnailCell>& cells() const { return m_cells; }
    void setDevicePixelRatio(qreal ratio) { m_pixelRatio = ratio; }
    // The pixels of a cell's picture: the cell's image at device pixels.
    QSize cellPixels() const;

    // Lays the grid out for the screen class; false when its arithmetic fails.
    bool layOut();
    // Lays the grid out again when the module says its layout changed; false when it fails.
    bool layOutIfChanged();
    // Shows these captions at once and fills their cells with the pictures of these files, the
    // first that fails emptying its cell and every cell after it; the cells after them empty.
    void fill(const QStringList& names, const QStringList& paths);
    // Makes these files' pictures ahead of need, for the page after this one.
    void readAhead(const QStringList& paths);
    bool isFilling() const;
    // Abandons the fill under way: the cells waiting for their pictures stay as they are.
    void cancel();
    // While another window works, the workers leave it the processors: the fill under way stops,
    // and resumes with the same page unless another fill began.
    void suspend();
    void resume();

    bool isEmpty() const { return m_cells.front().caption.isEmpty(); }
    void emptyFrom(int cell);
    // A cell's caption, empty for a cell that does not exist.
    QString caption(int cell) const;
    // A cell takes the mouse while its image shows.
    bool showsImage(int cell) const;
    // A renamed file's cell takes the new name and keeps its picture.
    void renameCaption(const QString& from, const QString& to);

signals:
    // Cells were destroyed and created anew, each at its place.
    void laidOut();
    void cellChanged(int cell);
    // The fill has handed every picture over, or stopped at the first that failed.
    void fillEnded();
    // The fill has handed every picture over (after fillEnded()).
    void completed();

private:
    void start();
    void pictureArrived(int cell, const Picture& picture);
    void pictureFailed(int cell);
    void pageCompleted();

    Module1& m_module;
    BrowserFeedback& m_feedback;
    std::vector<ThumbnailCell> m_cells;
    qreal m_pixelRatio = 1;
    QStringList m_files; // the pictures of the page filled last
    bool m_suspended = false;
    // The threads outlive the work they are given, so they come first.
    std::unique_ptr<ThumbnailWorkers> m_workers;
    std::unique_ptr<PageFill> m_pageFill;
};
