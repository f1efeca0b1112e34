#include "ThumbnailGrid.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

ThumbnailGrid::ThumbnailGrid(const TwipsScale& scale, QWidget* parent)
    : QWidget(parent), m_scale(scale), m_baseline(fontMetrics().ascent()) {
    setMouseTracking(true);
}

void ThumbnailGrid::setPlaces(const std::vector<CellPlacement>& places) {
    std::vector<QRect> images;
    std::vector<QRect> captions;
    images.reserve(places.size());
    captions.reserve(places.size());
    QRect covered;
    for (const CellPlacement& place : places) {
        images.push_back(m_scale.toPixels(QRectF(place.image)));
        captions.push_back(m_scale.toPixels(QRectF(place.caption)));
        covered |= images.back() | captions.back();
    }
    m_cells.resize(places.size());
    for (std::size_t i = 0; i < places.size(); ++i) {
        Cell& cell = m_cells[i];
        cell.image = images[i].translated(-covered.topLeft());
        cell.caption = captions[i].translated(-covered.topLeft());
    }
    setGeometry(covered);
    m_pendingRepaint = rect();
    update();
}

void ThumbnailGrid::setCell(int cell, const QString& caption, const QImage& picture,
                            bool imageVisible) {
    if (cell < 0 || cell >= cellCount())
        return;
    Cell& c = m_cells[cell];
    c.text = caption;
    c.picture.set(picture);
    c.imageVisible = imageVisible;
    repaintCell(c);
}

void ThumbnailGrid::setCaptionFont(const QFont& font, int baseline) {
    setFont(font);
    m_baseline = baseline;
    update();
}

void ThumbnailGrid::repaintCell(const Cell& cell) {
    // One growing rectangle: asking for each cell's rectangle on its own would build a region
    // of thousands of rectangles on a page of small cells.
    m_pendingRepaint |= cell.image | cell.caption;
    update(m_pendingRepaint);
}

int ThumbnailGrid::cellAt(QPoint point) const {
    for (int i = cellCount() - 1; i >= 0; --i) {
        const Cell& cell = m_cells[i];
        if (cell.caption.contains(point))
            return -1;
        if (cell.imageVisible && cell.image.contains(point))
            return i;
    }
    return -1;
}

void ThumbnailGrid::paintEvent(QPaintEvent* event) {
    m_pendingRepaint = {};
    QPainter painter(this);
    const qreal ratio = painter.device()->devicePixelRatioF();
    const QRect exposed = event->rect();
    painter.setPen(palette().color(QPalette::WindowText));
    for (Cell& cell : m_cells) {
        if (cell.imageVisible && !cell.picture.isNull() && cell.image.intersects(exposed)) {
            const QSize device = (QSizeF(cell.image.size()) * ratio).toSize();
            painter.drawImage(cell.image, cell.picture.at(device));
        }
        if (!cell.text.isEmpty() && cell.caption.intersects(exposed)) {
            // Drawn on the baseline that shows accents and descenders whole, clipped to the
            // caption as a label of its own would be.
            painter.setClipRect(cell.caption);
            painter.drawText(cell.caption.topLeft() + QPoint(0, m_baseline), cell.text);
            painter.setClipping(false);
        }
    }
}

void ThumbnailGrid::mousePressEvent(QMouseEvent* event) {
    m_pressedCell = cellAt(event->position().toPoint());
    if (m_pressedCell < 0) {
        event->ignore();
        return;
    }
    emit pressed(m_pressedCell, event->button());
}

void ThumbnailGrid::mouseReleaseEvent(QMouseEvent* event) {
    const int cell = m_pressedCell;
    m_pressedCell = -1;
    if (cell < 0 || cell >= cellCount()) {
        event->ignore();
        return;
    }
    if (event->button() == Qt::LeftButton &&
        m_cells[cell].image.contains(event->position().toPoint()))
        emit clicked(cell);
}

void ThumbnailGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    m_pressedCell = cellAt(event->position().toPoint());
    if (m_pressedCell < 0) {
        event->ignore();
        return;
    }
    emit doubleClicked(m_pressedCell);
}

void ThumbnailGrid::mouseMoveEvent(QMouseEvent* event) {
    const int cell = cellAt(event->position().toPoint());
    if (cell < 0) {
        unsetCursor();
        event->ignore();
        return;
    }
    setCursor(m_imageCursor);
    emit moved(cell);
}
