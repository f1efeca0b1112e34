#pragma once

#include "GridLayout.h"
#include "ShownPicture.h"
#include "Twips.h"

#include <QCursor>
#include <QImage>
#include <QWidget>
#include <vector>

// The thumbnail cells of a page drawn by one widget: each cell's picture stretched to its image
// rectangle and its caption on one line under it, clipped to the caption's rectangle, from the
// cells' places in twips. It reports the mouse as the cells' own elements would: on a cell's
// image while the image is shown and nothing later lies over it; a caption takes the mouse from
// what lies under it and gives it to no cell. Cells are stacked in their order, each image
// under its caption, so any number of cells costs one widget.
class ThumbnailGrid : public QWidget {
    Q_OBJECT

public:
    explicit ThumbnailGrid(const TwipsScale& scale, QWidget* parent = nullptr);

    // Places the cells (twips, in the parent's coordinates) and covers them, and only them.
    // Cells that remain keep their content; new ones are empty.
    void setPlaces(const std::vector<CellPlacement>& places);
    void setCell(int cell, const QString& caption, const QImage& picture, bool imageVisible);
    // The mouse pointer over a shown image.
    void setImageCursor(const QCursor& cursor) { m_imageCursor = cursor; }
    const QCursor& imageCursor() const { return m_imageCursor; }
    // The captions' font, and the baseline of their line from the caption's top, in pixels.
    void setCaptionFont(const QFont& font, int baseline);

    int cellCount() const { return static_cast<int>(m_cells.size()); }
    // A cell's rectangles in this widget's pixels, its caption and whether its image shows.
    QRect imageRect(int cell) const { return m_cells.at(cell).image; }
    QRect captionRect(int cell) const { return m_cells.at(cell).caption; }
    const QString& caption(int cell) const { return m_cells.at(cell).text; }
    bool showsImage(int cell) const { return m_cells.at(cell).imageVisible; }
    // The cell whose shown image takes the mouse at a point of this widget, or -1.
    int cellAt(QPoint point) const;

signals:
    void clicked(int cell);
    void doubleClicked(int cell);
    void pressed(int cell, Qt::MouseButton button);
    void moved(int cell);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    struct Cell {
        QRect image; // pixels, in this widget's coordinates
        QRect caption;
        QString text;
        ShownPicture picture;
        bool imageVisible = false;
    };

    void repaintCell(const Cell& cell);

    TwipsScale m_scale;
    std::vector<Cell> m_cells;
    QCursor m_imageCursor;
    int m_baseline;
    QRect m_pendingRepaint; // what changed since the last paint, as one rectangle
    int m_pressedCell = -1;
};
