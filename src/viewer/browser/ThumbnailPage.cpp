#include "ThumbnailPage.h"

#include "BrowserFeedback.h"
#include "Module1.h"
#include "PageFill.h"
#include "ThumbnailWorkers.h"

ThumbnailPage::ThumbnailPage(Module1& module, BrowserFeedback& feedback, QObject* parent)
    : QObject(parent), m_module(module), m_feedback(feedback), m_cells(1),
      m_workers(std::make_unique<ThumbnailWorkers>()),
      m_pageFill(std::make_unique<PageFill>(
          *m_workers, std::make_shared<const ThumbnailCache>(ThumbnailCache::user()))) {
    connect(m_pageFill.get(), &PageFill::pictureReady, this, &ThumbnailPage::pictureArrived);
    connect(m_pageFill.get(), &PageFill::failed, this, &ThumbnailPage::pictureFailed);
    connect(m_pageFill.get(), &PageFill::completed, this, &ThumbnailPage::pageCompleted);
}

ThumbnailPage::~ThumbnailPage() = default;

QSize ThumbnailPage::cellPixels() const {
    const QSizeF image = m_module.screen.scale.toPixels(QRectF(m_cells.front().place.image)).size();
    return (image * m_pixelRatio).toSize();
}

bool ThumbnailPage::layOut() {
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
    emit laidOut();
    return true;
}

bool ThumbnailPage::layOutIfChanged() {
    if (!m_module.LayoutChanged)
        return true;
    if (!layOut())
        return false;
    m_module.LayoutChanged = false;
    return true;
}

void ThumbnailPage::fill(const QStringList& names, const QStringList& paths) {
    for (int k = 0; k < names.size(); ++k) {
        ThumbnailCell& cell = m_cells[k];
        cell.caption = names[k];
        cell.picture = {};
        cell.imageVisible = false;
        emit cellChanged(k);
    }
    emptyFrom(static_cast<int>(names.size()));
    m_files = paths;
    start();
}

void ThumbnailPage::start() {
    m_suspended = false;
    m_feedback.showBusy(true);
    m_pageFill->start(m_files, cellPixels());
}

void ThumbnailPage::readAhead(const QStringList& paths) {
    m_pageFill->readAhead(paths, cellPixels());
}

void ThumbnailPage::pictureArrived(int cell, const Picture& picture) {
    if (cell < 0 || cell >= static_cast<int>(m_cells.size()))
        return;
    m_cells[cell].picture = picture;
    m_cells[cell].imageVisible = true;
    emit cellChanged(cell);
}

void ThumbnailPage::pictureFailed(int cell) {
    emptyFrom(cell);
    m_feedback.showBusy(false);
    emit fillEnded();
}

void ThumbnailPage::pageCompleted() {
    m_feedback.showBusy(false);
    emit fillEnded();
    emit completed();
}

bool ThumbnailPage::isFilling() const { return m_pageFill->isFilling(); }

void ThumbnailPage::cancel() {
    m_suspended = false;
    m_pageFill->cancel();
    m_feedback.showBusy(false);
}

void ThumbnailPage::suspend() {
    const bool filling = isFilling();
    cancel();
    m_suspended = filling;
}

void ThumbnailPage::resume() {
    // Again from the first picture: those already shown come back from memory at once.
    if (m_suspended)
        start();
}

void ThumbnailPage::emptyFrom(int cell) {
    for (int j = cell; j <= m_module.LastCell && j < static_cast<int>(m_cells.size()); ++j) {
        ThumbnailCell& emptied = m_cells[j];
        emptied.caption.clear();
        emptied.picture = {};
        emptied.imageVisible = false;
        emit cellChanged(j);
    }
}

QString ThumbnailPage::caption(int cell) const {
    return cell >= 0 && cell < static_cast<int>(m_cells.size()) ? m_cells[cell].caption : QString();
}

// An empty cell, or one whose picture is still being made, does not take the mouse.
bool ThumbnailPage::showsImage(int cell) const {
    return cell >= 0 && cell < static_cast<int>(m_cells.size()) && m_cells[cell].imageVisible;
}

void ThumbnailPage::renameCaption(const QString& from, const QString& to) {
    for (int i = 0; !from.isEmpty() && i < static_cast<int>(m_cells.size()); ++i) {
        if (m_cells[i].caption == from) {
            m_cells[i].caption = to;
            emit cellChanged(i);
        }
    }
}
