#include "FontMapper.h"

#include <QFontMetricsF>
#include <cmath>

namespace {

struct KnownFace {
    const char* name;
    FontMapper::Metrics metrics;
};

// Windows ascent, descent and average width of the faces most metafiles name, in ems.
constexpr KnownFace kKnownFaces[] = {
    {"arial", {0.905, 0.212, 0.441}},           {"helvetica", {0.905, 0.212, 0.441}},
    {"times new roman", {0.891, 0.216, 0.401}}, {"times", {0.891, 0.216, 0.401}},
    {"courier new", {0.833, 0.300, 0.600}},     {"courier", {0.833, 0.300, 0.600}},
    {"tahoma", {1.000, 0.207, 0.489}},          {"verdana", {1.005, 0.210, 0.508}},
    {"symbol", {1.005, 0.220, 0.600}},          {"calibri", {0.952, 0.269, 0.440}},
    {"cambria", {0.950, 0.222, 0.460}},         {"segoe ui", {1.079, 0.251, 0.470}},
    {"ms sans serif", {0.905, 0.212, 0.441}},   {"system", {0.905, 0.212, 0.441}},
};

} // namespace

QFont FontMapper::font(const GdiFont& gdiFont, int pixelSize) const {
    QFont font(gdiFont.face.isEmpty() ? QStringLiteral("Arial") : gdiFont.face);
    font.setPixelSize(qMax(1, pixelSize));
    const int weight = gdiFont.weight <= 0 ? 400 : qBound(1, gdiFont.weight, 1000);
    font.setWeight(QFont::Weight(weight));
    font.setItalic(gdiFont.italic);
    font.setUnderline(gdiFont.underline);
    font.setStrikeOut(gdiFont.strikeOut);
    font.setKerning(false);
    return font;
}

FontMapper::Metrics FontMapper::metrics(const GdiFont& gdiFont) {
    const QString key = gdiFont.face.toLower();
    const auto cached = m_cache.constFind(key);
    if (cached != m_cache.constEnd())
        return cached.value();
    Metrics result;
    bool known = false;
    for (const KnownFace& face : kKnownFaces) {
        if (key == QLatin1String(face.name)) {
            result = face.metrics;
            known = true;
            break;
        }
    }
    if (!known) {
        GdiFont probe = gdiFont;
        probe.weight = 400;
        probe.italic = false;
        const QFontMetricsF fm(font(probe, 1000));
        if (fm.ascent() > 0 && fm.height() > 0) {
            result.ascent = fm.ascent() / 1000;
            result.descent = fm.descent() / 1000;
            result.averageWidth = fm.averageCharWidth() / 1000;
        }
    }
    m_cache.insert(key, result);
    return result;
}

double FontMapper::emHeight(const GdiFont& gdiFont, double height) {
    if (height < 0)
        return -height;
    const Metrics m = metrics(gdiFont);
    const double cell = m.ascent + m.descent;
    return cell > 0 ? height / cell : height;
}
