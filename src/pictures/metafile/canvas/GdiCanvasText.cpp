// The canvas's text: the opaque box, the budget and the clip around what TextDrawer lays out
// and paints.
#include "CanvasGeometry.h"
#include "GdiCanvas.h"

#include <QPainter>

using namespace CanvasGeometry;

void GdiCanvas::text(const TextRun& run) {
    if (limitReached())
        return;
    const QTransform t = logicalToOutput();
    const bool hasRect = !(run.options & TextRun::NoRect) && run.rectangle.isValid();
    if ((run.options & TextRun::Opaque) && hasRect && !m_path.isOpen())
        paintOpaqueBox(run, t);
    if (run.text.isEmpty() || (run.options & TextRun::GlyphIndex) || m_path.isOpen())
        return;

    TextDrawer::Placement placement;
    if (!m_text.place(run, m_dc, t, transformScale(m_deviceToOutput), placement))
        return;
    const QRectF outputBox = placement.toOutput.mapRect(placement.box);
    if ((m_dc.textAlign & DeviceContext::UpdateCurrentPosition) && t.isInvertible()) {
        // The position moves to the end the text grew towards.
        const bool rightAligned = (m_dc.textAlign & 0x06) == DeviceContext::AlignRight;
        const double endX = placement.originX + (rightAligned ? 0 : placement.box.width());
        m_dc.currentPosition =
            t.inverted().map(placement.toOutput.map(QPointF(endX, placement.baseline)));
    }
    if (!m_text.countGlyphs(placement.count))
        m_limitReached = true;
    if (!m_budget.characters(placement.count) ||
        !m_budget.area(outputBox, DrawingBudget::Pixels::Drawn))
        return;
    noteDrawn(outputBox);
    if (measuring() || isFar(outputBox))
        return;
    drawGlyphs(run, (run.options & TextRun::Clipped) && hasRect, placement);
}

// The opaque rectangle is filled with the background colour whatever the background mode.
void GdiCanvas::paintOpaqueBox(const TextRun& run, const QTransform& t) {
    GdiBrush background;
    background.color = m_dc.backgroundColor;
    QPainterPath box;
    box.addRect(run.rectangle.normalized());
    const int savedRop = m_dc.rop2;
    m_dc.rop2 = 13;
    // With no text this only clears the background; it is not measured as drawing.
    m_measureInk = !run.text.isEmpty();
    paintOutput(box, t, true, false, background);
    m_measureInk = true;
    m_dc.rop2 = savedRop;
}

void GdiCanvas::drawGlyphs(const TextRun& run, bool clipToRect,
                           const TextDrawer::Placement& placement) {
    applyClip();
    if (clipToRect) {
        QRegion clip = m_clip.outputRegion(logicalRectRegion(run.rectangle), logicalToOutput());
        if (m_dc.hasClip)
            clip &= m_dc.clip;
        m_painter->resetTransform();
        m_painter->setClipRegion(clip);
        m_clip.invalidatePainter();
    }
    m_text.draw(*m_painter, run, m_dc, placement);
}
