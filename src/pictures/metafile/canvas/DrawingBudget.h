#pragma once

#include <QRect>

class QPainterPath;
class QTransform;

// The drawing work one playback may do, counted before each drawing is painted, in units of
// about a nanosecond of painting with Qt's antialiased raster engine (measured by
// bench_metafile --heavy). What a drawing costs is the pixels the painting goes over: a fill or
// a wide stroke goes over the whole box of its shape (the rasteriser's work grows with the box,
// not with the pixels that end up inked, so a thin diagonal costs as much as a filled square),
// a one-pixel line over its length, a blit, a glyph cell or a gradient over its rectangle; path
// elements, characters and decoded bitmap pixels add theirs. The budget
// (MetafileLimits::kDrawingWork for a whole render) does not grow with the canvas, so that no
// metafile takes much more than a second to draw at any size.
class DrawingBudget {
public:
    // canvas: the output image; a null rectangle measures instead of painting, and then only
    // elements and characters count. limit: the units that may be spent.
    DrawingBudget(QRect canvas, qint64 limit);

    // Each of these adds its work and returns false once the budget is spent (by this work or
    // before), in which case the drawing must not be painted.

    // Path elements built, mapped and flattened.
    bool elements(qint64 count);
    // Filling a shape whose output box is this, with a solid colour or a pattern (a hatch or a
    // bitmap).
    bool fill(const QRectF& outputBox, bool patterned);
    // Stroking a path mapped onto the output: a one-pixel line by its length (a curve by the
    // length of its control points), a wider pen by the output box of what it draws.
    bool stroke(const QPainterPath& path, const QTransform& toOutput, const QRectF& outputBox,
                bool onePixel);
    // How the pixels of a rectangle are painted: plainly (a colour or a linear gradient), drawn
    // from a source (an image, the glyphs of a text), covered in a layer that a raster operation
    // then combines with the page pixel by pixel (the layers of what it combines count on their
    // own), or shaded one by one.
    enum class Pixels { Plain, Drawn, Layered, Shaded };
    bool area(const QRectF& outputRect, Pixels kind);
    // A bitmap of so many pixels, decoded and prepared for drawing.
    bool bitmap(qint64 pixels);
    bool characters(qint64 count);

    bool spent() const { return m_used > m_limit; }
    qint64 used() const { return m_used; }

private:
    bool add(qint64 units);
    // The pixels of an output rectangle on the canvas (none when measuring).
    qint64 pixelsOf(const QRectF& outputRect) const;

    QRect m_canvas;
    qint64 m_limit;
    qint64 m_used = 0;
};
