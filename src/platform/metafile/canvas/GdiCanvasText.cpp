// The canvas's text.
#include "CanvasGeometry.h"
#include "GdiCanvas.h"
#include "PictureLimits.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

using namespace CanvasGeometry;

// Where and how a run of text is drawn. Text space has x along the baseline and y down, in about
// output pixels; toOutput maps it onto the output. The font has a whole pixel size, and
// fontScale brings it to the em height wanted.
struct GdiCanvas::TextPlacement {
    QTransform toOutput;
    QFont font;
    double fontScale = 1;
    qsizetype count = 0;       // characters drawn
    QList<QPointF> positions;  // of each character, in text space
    bool evenlySpaced = false; // the font's own advances, nothing added: drawn as one string
    double originX = 0;        // of the first character
    double baseline = 0;
    QRectF box; // the cell of the whole run, in text space
};

void GdiCanvas::text(const TextRun& run) {
    if (limitReached())
        return;
    const QTransform t = logicalToOutput();
    const bool hasRect = !(run.options & TextRun::NoRect) && run.rectangle.isValid();

    // The opaque rectangle is filled with the background colour whatever the background mode.
    if ((run.options & TextRun::Opaque) && hasRect && !m_pathOpen) {
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
    if (run.text.isEmpty() || (run.options & TextRun::GlyphIndex) || m_pathOpen)
        return;

    TextPlacement placement;
    if (!placeText(run, t, placement))
        return;
    const QRectF outputBox = placement.toOutput.mapRect(placement.box);
    if ((m_dc.textAlign & DeviceContext::UpdateCurrentPosition) && t.isInvertible()) {
        // The position moves to the end the text grew towards.
        const bool rightAligned = (m_dc.textAlign & 0x06) == DeviceContext::AlignRight;
        const double endX = placement.originX + (rightAligned ? 0 : placement.box.width());
        m_dc.currentPosition =
            t.inverted().map(placement.toOutput.map(QPointF(endX, placement.baseline)));
    }
    m_glyphs += placement.count;
    if (m_glyphs > MetafileLimits::kMostGlyphs)
        m_limitReached = true;
    if (!m_budget.characters(placement.count) ||
        !m_budget.area(outputBox, DrawingBudget::Pixels::Drawn))
        return;
    noteDrawn(outputBox);
    if (measuring() || isFar(outputBox))
        return;
    drawGlyphs(run, (run.options & TextRun::Clipped) && hasRect, placement);
}

bool GdiCanvas::placeText(const TextRun& run, const QTransform& t, TextPlacement& placement) {
    const GdiFont& gf = m_dc.font;
    const FontMapper::Metrics metrics = m_fonts.metrics(gf);
    const QPointF reference = (m_dc.textAlign & DeviceContext::UpdateCurrentPosition)
                                  ? m_dc.currentPosition
                                  : run.reference;
    const double escapement = gf.escapement / 10.0;
    const double logicalScale = transformScale(t); // output pixels per logical unit (mean)
    double unitsPerLogical; // text-space units per logical unit, for heights and advances
    double advanceScale;
    if (run.advancedMode) {
        unitsPerLogical = logicalScale;
        advanceScale = logicalScale;
        placement.toOutput = QTransform::fromScale(1 / std::max(logicalScale, 1e-12),
                                                   1 / std::max(logicalScale, 1e-12)) *
                             QTransform().rotate(-escapement) *
                             QTransform::fromTranslate(reference.x(), reference.y()) * t;
    } else {
        // Compatible mode: glyphs stay upright on the output, sized by the vertical scale.
        unitsPerLogical = std::hypot(t.m21(), t.m22());
        advanceScale = std::hypot(t.m11(), t.m12());
        const QPointF origin = t.map(reference);
        placement.toOutput =
            QTransform().rotate(-escapement) * QTransform::fromTranslate(origin.x(), origin.y());
    }
    double em;
    if (gf.height == 0)
        em = 16.0 * transformScale(m_deviceToOutput) / (metrics.ascent + metrics.descent);
    else
        em = m_fonts.emHeight(gf, gf.height) * unitsPerLogical;
    if (!std::isfinite(em) || em < 0.2 || em > 1e6)
        return false;

    const int pixelSize = int(std::lround(std::clamp(em, 1.0, 2048.0)));
    placement.fontScale = em / pixelSize;
    placement.font = m_fonts.font(gf, pixelSize);
    if (gf.width != 0) {
        const double natural = metrics.averageWidth * em;
        const double wanted = std::abs(gf.width) * unitsPerLogical;
        if (natural > 0 && std::isfinite(wanted))
            placement.font.setStretch(qBound(1, int(std::lround(100 * wanted / natural)), 4000));
    }
    const QFontMetricsF fm(placement.font);

    // Character positions along the baseline.
    const qsizetype count = qMin<qsizetype>(run.text.size(), MetafileLimits::kLongestText);
    placement.count = count;
    placement.positions.reserve(count);
    double x = 0;
    double y = 0;
    const bool explicitAdvances = run.advances.size() >= count;
    const double extra = m_dc.textCharExtra * advanceScale;
    placement.evenlySpaced = !explicitAdvances && extra == 0;
    for (qsizetype i = 0; i < count; ++i) {
        placement.positions.append(QPointF(x, y));
        if (explicitAdvances) {
            x += run.advances[i] * advanceScale;
            if (i < run.risings.size())
                y -= run.risings[i] * unitsPerLogical;
        } else {
            x += fm.horizontalAdvance(run.text[i]) * placement.fontScale + extra;
        }
    }
    const double width = x;
    const double ascent = metrics.ascent * em;
    const double descent = metrics.descent * em;

    const quint32 horizontal = m_dc.textAlign & 0x06;
    if (horizontal == DeviceContext::AlignCenter)
        placement.originX = -width / 2;
    else if (horizontal == DeviceContext::AlignRight)
        placement.originX = -width;
    placement.baseline = ascent; // top alignment
    const quint32 vertical = m_dc.textAlign & 0x18;
    if (vertical == DeviceContext::AlignBaseline)
        placement.baseline = 0;
    else if (vertical == DeviceContext::AlignBottom)
        placement.baseline = -descent;
    placement.box = QRectF(placement.originX, placement.baseline - ascent, width, ascent + descent);
    return true;
}

void GdiCanvas::drawGlyphs(const TextRun& run, bool clipToRect, const TextPlacement& placement) {
    applyClip();
    QPainter& p = *m_painter;
    if (clipToRect) {
        QRegion clip = outputRegion(logicalRectRegion(run.rectangle), logicalToOutput());
        if (m_dc.hasClip)
            clip &= m_dc.clip;
        p.resetTransform();
        p.setClipRegion(clip);
        m_clipDirty = true;
    }
    p.setTransform(placement.toOutput);
    if (m_dc.backgroundMode == DeviceContext::Opaque)
        p.fillRect(placement.box, opaque(m_dc.backgroundColor));
    const double fontScale = placement.fontScale;
    p.setTransform(QTransform::fromScale(fontScale, fontScale) * placement.toOutput);
    p.setFont(placement.font);
    p.setPen(opaque(m_dc.textColor));
    const double glyphY = placement.baseline / fontScale;
    if (placement.evenlySpaced) {
        p.drawText(QPointF(placement.originX / fontScale, glyphY), run.text.left(placement.count));
        return;
    }
    for (qsizetype i = 0; i < placement.count; ++i) {
        QString glyph(run.text[i]);
        if (run.text[i].isHighSurrogate() && i + 1 < placement.count)
            glyph.append(run.text[i + 1]);
        else if (run.text[i].isLowSurrogate())
            continue;
        const QPointF at = placement.positions[i];
        p.drawText(QPointF((placement.originX + at.x()) / fontScale, glyphY + at.y() / fontScale),
                   glyph);
    }
}
