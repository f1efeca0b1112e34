#include "MetafileRenderer.h"

#include "EmfPlayer.h"
#include "GdiCanvas.h"
#include "MetafileLimits.h"
#include "WmfPlayer.h"

#include <cmath>

namespace {

// Plain WMF files carry no unit; their logical units are taken as pixels at 96 dpi, and a
// drawing measured from its own shapes is brought down to this longest side.
constexpr double kLongestMeasuredSide = 1024;

QSize roundedSize(double width, double height) {
    if (!std::isfinite(width) || !std::isfinite(height) || width <= 0 || height <= 0)
        return {};
    // Beyond the limit the exact figure does not matter; keep it representable.
    const double cap = 4.0 * MetafileLimits::kLargestSide;
    return QSize(int(std::clamp(std::round(width), 1.0, cap)),
                 int(std::clamp(std::round(height), 1.0, cap)));
}

bool withinLimits(QSize size) {
    return size.isValid() && size.width() > 0 && size.height() > 0 &&
           size.width() <= MetafileLimits::kLargestSide &&
           size.height() <= MetafileLimits::kLargestSide &&
           qint64(size.width()) * size.height() <= MetafileLimits::kLargestPixels;
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

    if (m_header.format == MetafileHeader::Format::Wmf) {
        const QRect box = m_header.boundingBox;
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
            GdiCanvas measure(nullptr);
            measure.dc().setMapMode(DeviceContext::Anisotropic);
            WmfPlayer player(measure, m_header.objectCount);
            player.play(m_data, m_header.recordsStart);
            const QRectF bounds = measure.bounds();
            if (!bounds.isValid() || bounds.width() < 1 || bounds.height() < 1)
                return m_layoutOk = fail(QStringLiteral("the WMF draws nothing that has a size"));
            m_wmfWindow = bounds;
            const double longest = std::max(bounds.width(), bounds.height());
            const double scale =
                longest > kLongestMeasuredSide ? kLongestMeasuredSide / longest : 1;
            m_natural = roundedSize(bounds.width() * scale, bounds.height() * scale);
        }
    } else {
        const QPointF perMm = m_header.devicePixelsPerMm();
        const QRect frame = m_header.frame;
        const QRect bounds = m_header.bounds;
        const double frameWidth = double(frame.right()) - frame.left();
        const double frameHeight = double(frame.bottom()) - frame.top();
        const double boundsWidth = double(bounds.right()) - bounds.left() + 1;
        const double boundsHeight = double(bounds.bottom()) - bounds.top() + 1;
        if (frameWidth > 0 && frameHeight > 0) {
            m_emfDeviceFrame = QRectF(frame.left() * perMm.x() / 100, frame.top() * perMm.y() / 100,
                                      frameWidth * perMm.x() / 100, frameHeight * perMm.y() / 100);
            m_natural = roundedSize(frameWidth / 100 * 96 / 25.4, frameHeight / 100 * 96 / 25.4);
        } else if (boundsWidth > 1 && boundsHeight > 1) {
            m_emfDeviceFrame = QRectF(bounds.left(), bounds.top(), boundsWidth, boundsHeight);
            m_natural = roundedSize(boundsWidth / perMm.x() * 96 / 25.4,
                                    boundsHeight / perMm.y() * 96 / 25.4);
        } else {
            GdiCanvas measure(nullptr);
            measure.dc().setDevicePixelsPerMm(perMm);
            EmfPlayer player(measure, m_header.handles);
            player.play(m_data, m_header.recordsStart);
            const QRectF drawn = measure.bounds();
            if (!drawn.isValid() || drawn.width() < 1 || drawn.height() < 1)
                return m_layoutOk = fail(QStringLiteral("the EMF has no frame and draws nothing"));
            m_emfDeviceFrame = drawn;
            m_natural = roundedSize(drawn.width() / perMm.x() * 96 / 25.4,
                                    drawn.height() / perMm.y() * 96 / 25.4);
        }
    }
    if (!m_natural.isValid())
        return m_layoutOk = fail(QStringLiteral("the picture has no usable size"));
    return m_layoutOk = true;
}

QImage MetafileRenderer::render(QSize size) {
    m_stoppedEarly = false;
    if (!computeLayout())
        return {};
    if (!withinLimits(m_natural)) {
        fail(QStringLiteral("the picture is too large (%1 x %2 pixels)")
                 .arg(m_natural.width())
                 .arg(m_natural.height()));
        return {};
    }
    if (!withinLimits(size)) {
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
    const QByteArray emf = WmfPlayer::embeddedEmf(m_data, m_header.recordsStart);
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
        GdiCanvas canvas(&image);
        DeviceContext& dc = canvas.dc();
        dc.setMapMode(DeviceContext::Anisotropic);
        dc.setWindowOrg(m_wmfWindow.topLeft());
        dc.setWindowExt(QPointF(m_wmfWindow.width(), m_wmfWindow.height()));
        dc.setViewportOrg(QPointF(0, 0));
        dc.setViewportExt(QPointF(image.width(), image.height()));
        WmfPlayer player(canvas, m_header.objectCount);
        player.play(m_data, m_header.recordsStart);
        drawings = canvas.drawingCount();
        malformed = player.malformed();
        limited = canvas.limitReached();
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
    QRectF frame = m_emfDeviceFrame;
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
    {
        GdiCanvas canvas(&image);
        canvas.dc().setDevicePixelsPerMm(header.devicePixelsPerMm());
        canvas.setDeviceToOutput(rectToOutput(frame, image.size()));
        EmfPlayer player(canvas, header.handles);
        player.play(data, header.recordsStart);
        drawings = canvas.drawingCount();
        malformed = player.malformed();
        limited = canvas.limitReached();
        emfPlus = player.sawEmfPlus();
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
