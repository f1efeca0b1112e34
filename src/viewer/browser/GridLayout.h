#pragma once

#include <QRect>
#include <QtGlobal>
#include <optional>
#include <vector>

struct Settings;

// Where one thumbnail cell sits, in twips: its image and the caption line under it.
struct CellPlacement {
    QRect image;
    QRect caption;
};

// The thumbnail grid of a page, laid out for a screen class from the thumbnail sizes and gaps.
struct GridLayout {
    qint16 GridColumns = 0;
    qint16 GridRows = 0;
    qint16 LastCell = -1; // index of the last cell, also the paging step
    qint16 MaxZoomWidth = 0;
    std::vector<CellPlacement> cells; // LastCell + 1 of them, row by row from the top left
};

// The grid's arithmetic: columns and rows are the whole number of (size + gap) steps that fit in
// the grid area of the screen class (the sums in 16 bits, the division in floating point), and
// each column is drawn 300 twips right of its counted place. Nothing when a sum or the cell count
// overflows 16 bits, a step is zero, or a count comes out negative.
std::optional<GridLayout> Calculos(qint16 screenClass, const Settings& settings,
                                   qint16 captionHeight);

// The widest zoom view of a screen class, in twips.
qint16 maxZoomWidthOf(qint16 screenClass);
