#include "MetafileRenderer.h"

#include "EmfPlayer.h"
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

bool drawable(QSize size) {
    return size.isValid() && size.width() <= MetafileLimits::kLargestSide &&
           size.height() <= MetafileLimits::kLargestSide &&
           PictureLimits::withinPixelLimit(size.width(), size.height(),
                                           MetafileLimits::kLargestPixels);
}

bool acceptableNatural(QSize size) {
    return size.isValid() && PictureLimits::withinPixelLimit(size.width(), size.height());
}

// Maps a rectangle (which may have negative sizes) onto the output image.
QTransform rectToOutput(const QRectF& from, QSize size) {
    const double sx = size.width() / from.width();
    const double sy = size.height() / from.height();
    return QTransform(sx, 0, 0, sy, -from.x() * sx, -from.y() * sy);
}

} // namespace

MetafileRenderer::MetafileRenderer(QByteArray data)
    : m_data(std::move(data)), m_header(MetafileHeader::read(m_data)) {}

bool MetafileRenderer::recognise(QByteArrayView head) {
    return MetafileHeader::read(head).format != MetafileHeader::Format::Unknown ||
           // The EMF header record can be longer than the bytes looked at.
           (head.size() >= 44 && head.sliced(0, 4) == QByteArrayView("\x01\0\0\0", 4) &&
            head.sliced(40, 4) == QByteArrayView(" EMF"));
}

bool MetafileRenderer::fail(const QString& message) {
    m_error = message;
    return false;
}

QSize MetafileRenderer::naturalSize() {
    return computeLayout() ? m_natural : QSize();
}

bool MetafileRenderer::computeLayout() {
    if (m_layoutDone)
        return m_layoutOk;
    m_layoutDone = true;
    if (!isValid())
        return m_layoutOk = fail(QStringLiteral("not a WMF or EMF file"));

    const QPointF perMm = m_header.devicePixelsPerMm();
    if (m_header.format == MetafileHeader::Format::Wmf) {
        // The device space of a WMF is the picture at its natural size; the window maps onto
        // it and the file's window records move that mapping as it plays.
        const QRect box = m_header.boundingBox;
        bool measured = false;
        if (m_header.placeable && box.width() > 1 && box.height() > 1) {
            const double inch = m_header.unitsPerInch > 0 ? m_header.unitsPerInch : 1440;
            // QRect sizes count both edges; the box spans right - left units.
            const double w = box.width() - 1;
            const double h = box.height() - 1;
            m_wmfWindow = QRectF(box.left(), box.top(), w, h);
            m_natural = roundedSize(w * 96 / inch, h * 96 / inch);
        } else if (WmfPlayer::findWindow(m_data, m_header.recordsStart, &m_wmfWindow)) {
            m_natural = roundedSize(std::abs(m_wmfWindow.width()), std::abs(m_wmfWindow.height()));
        } else {
            // No unit and no window: logical units are device units, and the picture is what
            // the file draws.
            m_wmfWindow = QRectF(0, 0, 1, 1);
            m_wmfViewport = QSizeF(1, 1);
            const QRectF ink = measureInk();
            if (!ink.isValid() || ink.width() < 1 || ink.height() < 1)
                return m_layoutOk = fail(QStringLiteral("the WMF draws nothing that has a size"));
            m_shown = ink;
            const double longest = std::max(ink.width(), ink.height());
            const double scale =
                longest > kLongestMeasuredSide ? kLongestMeasuredSide / longest : 1;
            m_natural = roundedSize(ink.width() * scale, ink.height() * scale);
            measured = true;
        }
        if (!measured) {
            if (!m_natural.isValid())
                return m_layoutOk = fail(QStringLiteral("the picture has no usable size"));
            m_wmfViewport = QSizeF(m_natural);
            m_shown = QRectF(QPointF(0, 0), m_wmfViewport);
        }
    } else {
        const QRect frame = m_header.frame;
        const QRect bounds = m_header.bounds;
        const double frameWidth = double(frame.right()) - frame.left();
        const double frameHeight = double(frame.bottom()) - frame.top();
        const double boundsWidth = double(bounds.right()) - bounds.left() + 1;
        const double boundsHeight = double(bounds.bottom()) - bounds.top() + 1;
        if (frameWidth > 0 && frameHeight > 0) {
            m_shown = QRectF(frame.left() * perMm.x() / 100, frame.top() * perMm.y() / 100,
                             frameWidth * perMm.x() / 100, frameHeight * perMm.y() / 100);
        } else if (boundsWidth > 1 && boundsHeight > 1) {
            m_shown = QRectF(bounds.left(), bounds.top(), boundsWidth, boundsHeight);
        } else {
            m_shown = QRectF();
        }
        if (m_shown.isEmpty()) {
            m_shown = measureInk();
            if (!m_shown.isValid() || m_shown.width() < 1 || m_shown.height() < 1)
                return m_layoutOk = fail(QStringLiteral("the EMF has no frame and draws nothing"));
        }
        m_natural = roundedSize(m_shown.width() / perMm.x() * 96 / 25.4,
                                m_shown.height() / perMm.y() * 96 / 25.4);
    }
    if (!m_natural.isValid())
        return m_layoutOk = fail(QStringLiteral("the picture has no usable size"));

    // A placeable WMF that draws well beyond its own box has a wrong box: show what it draws,
    // at the size that drawing has, as Windows does when it converts such a file for display.
    // A small overhang, such as half a pen at the edge, does not count.
    if (m_header.format == MetafileHeader::Format::Wmf && m_header.placeable &&
        acceptableNatural(m_natural)) {
        const QRectF ink = measureInk();
        const double slackX = m_shown.width() * kOverhang;
        const double slackY = m_shown.height() * kOverhang;
        const QRectF allowed = m_shown.adjusted(-slackX, -slackY, slackX, slackY);
        if (ink.isValid() && ink.width() >= 1 && ink.height() >= 1 && !allowed.contains(ink)) {
            const QSize natural = roundedSize(ink.width(), ink.height());
            if (natural.isValid()) {
                m_shown = ink;
                m_natural = natural;
            }
        }
    }
    // An EMF whose recorded bounds lie mostly outside its frame was written with the frame at
    // another origin (a plain-record fallback nobody looked at); its bounds show the drawing.
    if (m_header.format == MetafileHeader::Format::Emf) {
        const QRect b = m_header.bounds;
        const QRectF bounds(b.left(), b.top(), double(b.right()) - b.left() + 1,
                            double(b.bottom()) - b.top() + 1);
        if (bounds.width() > 1 && bounds.height() > 1 && m_shown.isValid()) {
            const QRectF common = bounds & m_shown;
            const double inside = common.isValid() ? common.width() * common.height() : 0;
            if (inside < kLeastFrameShare * bounds.width() * bounds.height()) {
                const QSize natural = roundedSize(bounds.width() / perMm.x() * 96 / 25.4,
                                                  bounds.height() / perMm.y() * 96 / 25.4);
                if (natural.isValid()) {
                    m_shown = bounds;
                    m_natural = natural;
                }
            }
        }
    }
    return m_layoutOk = true;
}

QRectF MetafileRenderer::measureInk() {
    GdiCanvas measure(nullptr);
    DeviceContext& dc = measure.dc();
    if (m_header.format == MetafileHeader::Format::Wmf) {
        dc.setMapMode(DeviceContext::Anisotropic);
        dc.setWindowOrg(m_wmfWindow.topLeft());
        dc.setWindowExt(QPointF(m_wmfWindow.width(), m_wmfWindow.height()));
        dc.setViewportExt(QPointF(m_wmfViewport.width(), m_wmfViewport.height()));
        WmfPlayer player(measure, m_header.objectCount);
        player.play(m_data, m_header.recordsStart);
    } else {
        dc.setDevicePixelsPerMm(m_header.devicePixelsPerMm());
        EmfPlayer player(measure, m_header.handles);
        player.play(m_data, m_header.recordsStart);
    }
    return measure.bounds();
}

QImage MetafileRenderer::render(QSize size) {
    m_stoppedEarly = false;
    m_workUsed = 0;
    if (!computeLayout())
        return {};
    if (!acceptableNatural(m_natural)) {
        fail(QStringLiteral("the picture is too large (%1 x %2 pixels)")
                 .arg(m_natural.width())
                 .arg(m_natural.height()));
        return {};
    }
    if (!drawable(size)) {
        fail(QStringLiteral("the requested size is empty or too large"));
        return {};
    }
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        fail(QStringLiteral("out of memory for the picture"));
        return {};
    }
    image.fill(Qt::transparent);
    if (m_header.format == MetafileHeader::Format::Emf)
        return renderEmf(image, m_data, m_header);
    return renderWmf(image);
}

QImage MetafileRenderer::renderWmf(QImage& image) {
    // A WMF that carries a whole EMF in its comments is drawn from the EMF, which is the
    // richer of the two; the WMF records are the fallback.
    const QByteArray emf =
        m_nested ? QByteArray() : WmfPlayer::embeddedEmf(m_data, m_header.recordsStart);
    if (!emf.isEmpty()) {
        const MetafileHeader emfHeader = MetafileHeader::read(emf);
        if (emfHeader.format == MetafileHeader::Format::Emf) {
            QImage copy = image.copy();
            const QImage drawn = renderEmf(copy, emf, emfHeader);
            if (!drawn.isNull())
                return drawn;
        }
    }

    qint64 drawings = 0;
    bool malformed = false;
    bool limited = false;
    {
        GdiCanvas canvas(&image, m_workLimit - m_workUsed);
        DeviceContext& dc = canvas.dc();
        dc.setMapMode(DeviceContext::Anisotropic);
        dc.setWindowOrg(m_wmfWindow.topLeft());
        dc.setWindowExt(QPointF(m_wmfWindow.width(), m_wmfWindow.height()));
        dc.setViewportExt(QPointF(m_wmfViewport.width(), m_wmfViewport.height()));
        canvas.setDeviceToOutput(rectToOutput(m_shown, image.size()));
        WmfPlayer player(canvas, m_header.objectCount);
        player.play(m_data, m_header.recordsStart);
        drawings = canvas.drawingCount();
        malformed = player.malformed();
        limited = canvas.limitReached();
        m_workUsed += canvas.workUsed();
    }
    m_stoppedEarly = malformed || limited;
    if (m_stoppedEarly && drawings == 0) {
        fail(limited ? QStringLiteral("the WMF goes beyond a safety limit before drawing anything")
                     : QStringLiteral("the WMF is malformed before drawing anything"));
        return {};
    }
    return image;
}

QImage MetafileRenderer::renderEmf(QImage& image, QByteArrayView data,
                                   const MetafileHeader& header) {
    QRectF frame = m_shown;
    if (&header != &m_header) {
        // An EMF embedded in a WMF: its own frame fills the WMF's output.
        const QPointF perMm = header.devicePixelsPerMm();
        const QRect f = header.frame;
        const double w = double(f.right()) - f.left();
        const double h = double(f.bottom()) - f.top();
        if (w <= 0 || h <= 0) {
            fail(QStringLiteral("the embedded EMF has no frame"));
            return {};
        }
        frame = QRectF(f.left() * perMm.x() / 100, f.top() * perMm.y() / 100, w * perMm.x() / 100,
                       h * perMm.y() / 100);
    }
    qint64 drawings = 0;
    bool malformed = false;
    bool limited = false;
    bool emfPlus = false;
    QByteArray embeddedWmf;
    {
        GdiCanvas canvas(&image, m_workLimit - m_workUsed);
        canvas.dc().setDevicePixelsPerMm(header.devicePixelsPerMm());
        canvas.setDeviceToOutput(rectToOutput(frame, image.size()));
        EmfPlayer player(canvas, header.handles);
        player.play(data, header.recordsStart);
        drawings = canvas.drawingCount();
        malformed = player.malformed();
        limited = canvas.limitReached();
        m_workUsed += canvas.workUsed();
        emfPlus = player.sawEmfPlus();
        embeddedWmf = player.embeddedWmf();
    }
    // An EMF that draws nothing itself but carries the WMF it was converted from shows that.
    if (drawings == 0 && !embeddedWmf.isEmpty() && !m_nested) {
        MetafileRenderer inner(embeddedWmf);
        inner.m_nested = true;
        inner.m_workLimit = m_workLimit - m_workUsed;
        const QImage drawn = inner.naturalSize().isValid() ? inner.render(image.size()) : QImage();
        m_workUsed += inner.workUsed();
        if (!drawn.isNull())
            return drawn;
    }
    m_stoppedEarly = malformed || limited;
    if (emfPlus && drawings == 0) {
        fail(QStringLiteral("the EMF draws only with EMF+ records, which are not supported"));
        return {};
    }
    if (m_stoppedEarly && drawings == 0) {
        fail(limited ? QStringLiteral("the EMF goes beyond a safety limit before drawing anything")
                     : QStringLiteral("the EMF is malformed before drawing anything"));
        return {};
    }
    return image;
}
