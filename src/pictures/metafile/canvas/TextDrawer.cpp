#include "TextDrawer.h"

#include "CanvasGeometry.h"
#include "PictureLimits.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

using namespace CanvasGeometry;

bool TextDrawer::countGlyphs(qsizetype count) {
    m_glyphs += count;
    return m_glyphs <= MetafileLimits::kMostGlyphs;
}

bool TextDrawer::place(const TextRun& run, const DeviceContext& dc, const QTransform& t,
                       double deviceScale, Placement& placement) {
    const GdiFont& gf = dc.font;
    const FontMapper::Metrics metrics = m_fonts.metrics(gf);
    const Scales scales = orient(run, dc, t, placement);
    const double em = gf.height == 0 ? 16.0 * deviceScale / (metrics.ascent + metrics.descent)
                                     : m_fonts.emHeight(gf, gf.height) * scales.unitsPerLogical;
    if (!std::isfinite(em) || em < 0.2 || em > 1e6)
        return false;
    chooseFont(gf, metrics, em, scales.unitsPerLogical, placement);
    const double width = placeCharacters(run, dc, scales, placement);
    align(dc.textAlign, width, metrics.ascent * em, metrics.descent * em, placement);
    return true;
}

TextDrawer::Scales TextDrawer::orient(const TextRun& run, const DeviceContext& dc,
                                      const QTransform& t, Placement& placement) {
    const QPointF reference =
        (dc.textAlign & DeviceContext::UpdateCurrentPosition) ? dc.currentPosition : run.reference;
    const double escapement = dc.font.escapement / 10.0;
    if (run.advancedMode) {
        const double logicalScale = transformScale(t); // output pixels per logical unit (mean)
        placement.toOutput = QTransform::fromScale(1 / std::max(logicalScale, 1e-12),
                                                   1 / std::max(logicalScale, 1e-12)) *
                             QTransform().rotate(-escapement) *
                             QTransform::fromTranslate(reference.x(), reference.y()) * t;
        return {logicalScale, logicalScale};
    }
    // Compatible mode: glyphs stay upright on the output, sized by the vertical scale.
    const QPointF origin = t.map(reference);
    placement.toOutput =
        QTransform().rotate(-escapement) * QTransform::fromTranslate(origin.x(), origin.y());
    return {std::hypot(t.m21(), t.m22()), std::hypot(t.m11(), t.m12())};
}

void TextDrawer::chooseFont(const GdiFont& gf, const FontMapper::Metrics& metrics, double em,
                            double unitsPerLogical, Placement& placement) {
    const int pixelSize = int(std::lround(std::clamp(em, 1.0, 2048.0)));
    placement.fontScale = em / pixelSize;
    placement.font = m_fonts.font(gf, pixelSize);
    if (gf.width == 0)
        return;
    const double natural = metrics.averageWidth * em;
    const double wanted = std::abs(gf.width) * unitsPerLogical;
    if (natural > 0 && std::isfinite(wanted))
        placement.font.setStretch(qBound(1, int(std::lround(100 * wanted / natural)), 4000));
}

double TextDrawer::placeCharacters(const TextRun& run, const DeviceContext& dc,
                                   const Scales& scales, Placement& placement) {
    const QFontMetricsF fm(placement.font);
    const qsizetype count = qMin<qsizetype>(run.text.size(), MetafileLimits::kLongestText);
    placement.count = count;
    placement.positions.reserve(count);
    double x = 0;
    double y = 0;
    const bool explicitAdvances = run.advances.size() >= count;
    const double extra = dc.textCharExtra * scales.advanceScale;
    placement.evenlySpaced = !explicitAdvances && extra == 0;
    for (qsizetype i = 0; i < count; ++i) {
        placement.positions.append(QPointF(x, y));
        if (explicitAdvances) {
            x += run.advances[i] * scales.advanceScale;
            if (i < run.risings.size())
                y -= run.risings[i] * scales.unitsPerLogical;
        } else {
            x += fm.horizontalAdvance(run.text[i]) * placement.fontScale + extra;
        }
    }
    return x;
}

void TextDrawer::align(quint32 textAlign, double width, double ascent, double descent,
                       Placement& placement) {
    const quint32 horizontal = textAlign & 0x06;
    if (horizontal == DeviceContext::AlignCenter)
        placement.originX = -width / 2;
    else if (horizontal == DeviceContext::AlignRight)
        placement.originX = -width;
    placement.baseline = ascent; // top alignment
    const quint32 vertical = textAlign & 0x18;
    if (vertical == DeviceContext::AlignBaseline)
        placement.baseline = 0;
    else if (vertical == DeviceContext::AlignBottom)
        placement.baseline = -descent;
    placement.box = QRectF(placement.originX, placement.baseline - ascent, width, ascent + descent);
}

void TextDrawer::draw(QPainter& p, const TextRun& run, const DeviceContext& dc,
                      const Placement& placement) const {
    p.setTransform(placement.toOutput);
    if (dc.backgroundMode == DeviceContext::Opaque)
        p.fillRect(placement.box, opaque(dc.backgroundColor));
    const double fontScale = placement.fontScale;
    p.setTransform(QTransform::fromScale(fontScale, fontScale) * placement.toOutput);
    p.setFont(placement.font);
    p.setPen(opaque(dc.textColor));
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
