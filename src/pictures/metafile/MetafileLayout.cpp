#include "MetafileLayout.h"

#include "FilePlayback.h"
#include "GdiCanvas.h"
#include "PictureLimits.h"
#include "WmfPlayer.h"

#include <cmath>

namespace {

// Plain WMF files carry no unit; their logical units are taken as pixels at 96 dpi, and a
// drawing measured from its own shapes is brought down to this longest side.
constexpr double kLongestMeasuredSide = 1024;
// How far (as a share of its size) a drawing may pass its box or frame before the box is taken
// as wrong.
constexpr double kOverhang = 0.02;
// The least share of an EMF's recorded bounds that must fall in its frame for the frame to be
// believed.
constexpr double kLeastFrameShare = 0.25;

QSize roundedSize(double width, double height) {
    if (!std::isfinite(width) || !std::isfinite(height) || width <= 0 || height <= 0)
        return {};
    // Beyond the limit the exact figure does not matter; keep it representable.
    const double cap = 4.0 * PictureLimits::kLargestPixels;
    return QSize(int(std::clamp(std::round(width), 1.0, cap)),
                 int(std::clamp(std::round(height), 1.0, cap)));
}

// An EMF's device size in pixels at 96 dpi.
QSize emfNatural(QSizeF device, QPointF perMm) {
    return roundedSize(device.width() / perMm.x() * 96 / 25.4,
                       device.height() / perMm.y() * 96 / 25.4);
}

bool hasSize(const QRectF& ink) {
    return ink.isValid() && ink.width() >= 1 && ink.height() >= 1;
}

MetafileLayout failed(const QString& why) {
    MetafileLayout layout;
    layout.error = why;
    return layout;
}

// The output rectangle of everything the file draws, with the layout's WMF window mapping.
QRectF measureInk(QByteArrayView data, const MetafileHeader& header, const MetafileLayout& layout) {
    GdiCanvas measure(nullptr);
    FilePlayback::play(measure, data, header, layout.window, layout.viewport);
    return measure.bounds();
}

// A WMF whose window is known: the window fills the picture at its natural size.
MetafileLayout windowLayout(const QRectF& window, QSize natural) {
    if (!natural.isValid())
        return failed(QStringLiteral("the picture has no usable size"));
    MetafileLayout layout;
    layout.window = window;
    layout.natural = natural;
    layout.viewport = QSizeF(natural);
    layout.shown = QRectF(QPointF(0, 0), layout.viewport);
    return layout;
}

// A WMF with no unit and no window: logical units are device units, and the picture is what
// the file draws.
MetafileLayout measuredLayout(QByteArrayView data, const MetafileHeader& header) {
    MetafileLayout layout;
    layout.window = QRectF(0, 0, 1, 1);
    layout.viewport = QSizeF(1, 1);
    const QRectF ink = measureInk(data, header, layout);
    if (!hasSize(ink))
        return failed(QStringLiteral("the WMF draws nothing that has a size"));
    layout.shown = ink;
    const double longest = std::max(ink.width(), ink.height());
    const double scale = longest > kLongestMeasuredSide ? kLongestMeasuredSide / longest : 1;
    layout.natural = roundedSize(ink.width() * scale, ink.height() * scale);
    if (!layout.natural.isValid())
        return failed(QStringLiteral("the picture has no usable size"));
    return layout;
}

// The device space of a WMF is the picture at its natural size; the window maps onto it and
// the file's window records move that mapping as it plays.
MetafileLayout wmfBaseLayout(QByteArrayView data, const MetafileHeader& header) {
    const QRect box = header.boundingBox;
    if (header.placeable && box.width() > 1 && box.height() > 1) {
        const double inch = header.unitsPerInch > 0 ? header.unitsPerInch : 1440;
        // QRect sizes count both edges; the box spans right - left units.
        const double w = box.width() - 1;
        const double h = box.height() - 1;
        return windowLayout(QRectF(box.left(), box.top(), w, h),
                            roundedSize(w * 96 / inch, h * 96 / inch));
    }
    QRectF window;
    if (WmfPlayer::findWindow(data, header.recordsStart, &window))
        return windowLayout(window,
                            roundedSize(std::abs(window.width()), std::abs(window.height())));
    return measuredLayout(data, header);
}

// The layout showing another rectangle at its own natural size, when that size is usable.
MetafileLayout shownInstead(MetafileLayout layout, const QRectF& shown, QSize natural) {
    if (natural.isValid()) {
        layout.shown = shown;
        layout.natural = natural;
    }
    return layout;
}

// A placeable WMF that draws well beyond its own box has a wrong box: show what it draws, at
// the size that drawing has, as Windows does when it converts such a file for display. A small
// overhang, such as half a pen at the edge, does not count.
MetafileLayout showOverhang(MetafileLayout layout, QByteArrayView data,
                            const MetafileHeader& header) {
    if (!header.placeable || !layout.naturalAcceptable())
        return layout;
    const QRectF ink = measureInk(data, header, layout);
    const double slackX = layout.shown.width() * kOverhang;
    const double slackY = layout.shown.height() * kOverhang;
    const QRectF allowed = layout.shown.adjusted(-slackX, -slackY, slackX, slackY);
    if (!hasSize(ink) || allowed.contains(ink))
        return layout;
    return shownInstead(layout, ink, roundedSize(ink.width(), ink.height()));
}

QRectF emfBounds(const MetafileHeader& header) {
    const QRect b = header.bounds;
    return QRectF(b.left(), b.top(), double(b.right()) - b.left() + 1,
                  double(b.bottom()) - b.top() + 1);
}

// An EMF whose recorded bounds lie mostly outside its frame was written with the frame at
// another origin (a plain-record fallback nobody looked at); its bounds show the drawing.
MetafileLayout showBoundsOutsideFrame(MetafileLayout layout, const MetafileHeader& header) {
    const QRectF bounds = emfBounds(header);
    if (bounds.width() <= 1 || bounds.height() <= 1 || !layout.shown.isValid())
        return layout;
    const QRectF common = bounds & layout.shown;
    const double inside = common.isValid() ? common.width() * common.height() : 0;
    if (inside >= kLeastFrameShare * bounds.width() * bounds.height())
        return layout;
    return shownInstead(layout, bounds, emfNatural(bounds.size(), header.devicePixelsPerMm()));
}

} // namespace

bool MetafileLayout::naturalAcceptable() const {
    return natural.isValid() && PictureLimits::withinPixelLimit(natural.width(), natural.height());
}

MetafileLayout MetafileLayout::ofWmf(QByteArrayView data, const MetafileHeader& header) {
    const MetafileLayout layout = wmfBaseLayout(data, header);
    return layout.valid() ? showOverhang(layout, data, header) : layout;
}

MetafileLayout MetafileLayout::ofEmf(QByteArrayView data, const MetafileHeader& header) {
    MetafileLayout layout;
    const QRectF bounds = emfBounds(header);
    if (const std::optional<QRectF> frame = emfFrame(header))
        layout.shown = *frame;
    else if (bounds.width() > 1 && bounds.height() > 1)
        layout.shown = bounds;
    if (layout.shown.isEmpty()) {
        layout.shown = measureInk(data, header, layout);
        if (!hasSize(layout.shown))
            return failed(QStringLiteral("the EMF has no frame and draws nothing"));
    }
    layout.natural = emfNatural(layout.shown.size(), header.devicePixelsPerMm());
    if (!layout.natural.isValid())
        return failed(QStringLiteral("the picture has no usable size"));
    return showBoundsOutsideFrame(layout, header);
}

std::optional<QRectF> MetafileLayout::emfFrame(const MetafileHeader& header) {
    const QPointF perMm = header.devicePixelsPerMm();
    const QRect f = header.frame;
    const double width = double(f.right()) - f.left();
    const double height = double(f.bottom()) - f.top();
    if (width <= 0 || height <= 0)
        return std::nullopt;
    return QRectF(f.left() * perMm.x() / 100, f.top() * perMm.y() / 100, width * perMm.x() / 100,
                  height * perMm.y() / 100);
}
