#include "DeviceContext.h"

#include <cmath>

namespace {

// Extents beyond this are treated as broken: they only come from corrupt files, and keeping them
// out spares every later computation from infinities.
constexpr double kLargestExtent = 1e9;

bool usableExtent(QPointF extent) {
    return extent.x() != 0 && extent.y() != 0 && std::abs(extent.x()) < kLargestExtent &&
           std::abs(extent.y()) < kLargestExtent;
}

bool finiteTransform(const QTransform& t) {
    for (double v : {t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy(), t.m13(), t.m23(), t.m33()})
        if (!std::isfinite(v) || std::abs(v) > 1e12)
            return false;
    return true;
}

// Millimetres in one logical unit of the fixed mapping modes (y grows upwards in all of them);
// 0 for the modes whose scale comes from the window and viewport, or the one-to-one text mode.
double millimetresPerUnit(int mapMode) {
    switch (mapMode) {
    case DeviceContext::LoMetric:
        return 0.1;
    case DeviceContext::HiMetric:
        return 0.01;
    case DeviceContext::LoEnglish:
        return 0.254;
    case DeviceContext::HiEnglish:
        return 0.0254;
    case DeviceContext::Twips:
        return 25.4 / 1440;
    default:
        return 0;
    }
}

} // namespace

void DeviceContext::setMapMode(int mode) {
    if (mode < Text || mode > Anisotropic)
        return;
    m_mapMode = mode;
}

void DeviceContext::setWindowExt(QPointF extent) {
    if (usableExtent(extent))
        m_windowExt = extent;
}

void DeviceContext::setViewportExt(QPointF extent) {
    if (usableExtent(extent))
        m_viewportExt = extent;
}

void DeviceContext::scaleWindowExt(double xNum, double xDenom, double yNum, double yDenom) {
    if (xDenom == 0 || yDenom == 0)
        return;
    setWindowExt({m_windowExt.x() * xNum / xDenom, m_windowExt.y() * yNum / yDenom});
}

void DeviceContext::scaleViewportExt(double xNum, double xDenom, double yNum, double yDenom) {
    if (xDenom == 0 || yDenom == 0)
        return;
    setViewportExt({m_viewportExt.x() * xNum / xDenom, m_viewportExt.y() * yNum / yDenom});
}

QTransform DeviceContext::pageTransform() const {
    double sx = 1;
    double sy = 1;
    switch (m_mapMode) {
    case Isotropic:
    case Anisotropic:
        sx = m_viewportExt.x() / m_windowExt.x();
        sy = m_viewportExt.y() / m_windowExt.y();
        if (m_mapMode == Isotropic) {
            // Both axes take the smaller scale; the signs (the flips) stay.
            const double s = std::min(std::abs(sx), std::abs(sy));
            sx = std::copysign(s, sx);
            sy = std::copysign(s, sy);
        }
        break;
    default:
        if (const double mm = millimetresPerUnit(m_mapMode); mm > 0) {
            sx = mm * m_pixelsPerMm.x();
            sy = -mm * m_pixelsPerMm.y();
        } // else Text: one logical unit is one device pixel
        break;
    }
    // d = (p - windowOrg) * scale + viewportOrg
    return QTransform(sx, 0, 0, sy, m_viewportOrg.x() - m_windowOrg.x() * sx,
                      m_viewportOrg.y() - m_windowOrg.y() * sy);
}

void DeviceContext::setWorld(const QTransform& world) {
    if (finiteTransform(world) && world.isInvertible())
        m_world = world;
}

void DeviceContext::modifyWorld(const QTransform& data, quint32 mode) {
    switch (mode) {
    case 1:
        m_world.reset();
        break;
    case 2:
        setWorld(data * m_world);
        break;
    case 3:
        setWorld(m_world * data);
        break;
    case 4:
        setWorld(data);
        break;
    default:
        break;
    }
}

void DeviceContext::select(const GdiObject& object) {
    if (const auto* p = std::get_if<GdiPen>(&object))
        pen = *p;
    else if (const auto* b = std::get_if<GdiBrush>(&object))
        brush = *b;
    else if (const auto* f = std::get_if<GdiFont>(&object))
        font = *f;
    else if (const auto* pal = std::get_if<GdiPalette>(&object))
        palette = *pal;
}
