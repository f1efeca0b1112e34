#include "MetafileRenderer.h"

#include "GdiCanvas.h"
#include "PictureLimits.h"
#include "WmfPlayer.h"

namespace {

bool drawable(QSize size) {
    return size.isValid() && size.width() <= MetafileLimits::kLargestSide &&
           size.height() <= MetafileLimits::kLargestSide &&
           PictureLimits::withinPixelLimit(size.width(), size.height(),
                                           MetafileLimits::kLargestPixels);
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

const MetafileLayout& MetafileRenderer::layout() {
    if (m_layout)
        return *m_layout;
    switch (m_header.format) {
    case MetafileHeader::Format::Wmf:
        m_layout = MetafileLayout::ofWmf(m_data, m_header);
        break;
    case MetafileHeader::Format::Emf:
        m_layout = MetafileLayout::ofEmf(m_data, m_header);
        break;
    case MetafileHeader::Format::Unknown:
        m_layout = MetafileLayout{};
        m_layout->error = QStringLiteral("not a WMF or EMF file");
        break;
    }
    if (!m_layout->valid())
        fail(m_layout->error);
    return *m_layout;
}

QSize MetafileRenderer::naturalSize() {
    return layout().valid() ? m_layout->natural : QSize();
}

QImage MetafileRenderer::render(QSize size) {
    m_stoppedEarly = false;
    m_workUsed = 0;
    if (!layout().valid())
        return {};
    if (!m_layout->naturalAcceptable()) {
        fail(QStringLiteral("the picture is too large (%1 x %2 pixels)")
                 .arg(m_layout->natural.width())
                 .arg(m_layout->natural.height()));
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
        return renderEmf(image, m_data, m_header, m_layout->shown);
    return renderWmf(image);
}

QImage MetafileRenderer::renderWmf(QImage& image) {
    // A WMF that carries a whole EMF in its comments is drawn from the EMF, which is the
    // richer of the two; the WMF records are the fallback.
    const QImage fromEmf = renderEmbeddedEmf(image);
    if (!fromEmf.isNull())
        return fromEmf;
    return finish(image, playOnto(image, m_data, m_header, m_layout->shown), QStringLiteral("WMF"));
}

QImage MetafileRenderer::renderEmbeddedEmf(const QImage& image) {
    const QByteArray emf =
        m_nested ? QByteArray() : WmfPlayer::embeddedEmf(m_data, m_header.recordsStart);
    if (emf.isEmpty())
        return {};
    const MetafileHeader emfHeader = MetafileHeader::read(emf);
    if (emfHeader.format != MetafileHeader::Format::Emf)
        return {};
    // Its own frame fills the WMF's output.
    const std::optional<QRectF> frame = MetafileLayout::emfFrame(emfHeader);
    if (!frame) {
        fail(QStringLiteral("the embedded EMF has no frame"));
        return {};
    }
    QImage copy = image.copy();
    return renderEmf(copy, emf, emfHeader, *frame);
}

QImage MetafileRenderer::renderEmf(QImage& image, QByteArrayView data, const MetafileHeader& header,
                                   const QRectF& frame) {
    const FilePlayback::Outcome outcome = playOnto(image, data, header, frame);
    // An EMF that draws nothing itself but carries the WMF it was converted from shows that.
    if (outcome.drawings == 0 && !outcome.embeddedWmf.isEmpty() && !m_nested) {
        const QImage drawn = renderConvertedWmf(outcome.embeddedWmf, image.size());
        if (!drawn.isNull())
            return drawn;
    }
    const QImage finished = finish(image, outcome, QStringLiteral("EMF"));
    if (outcome.sawEmfPlus && outcome.drawings == 0) {
        fail(QStringLiteral("the EMF draws only with EMF+ records, which are not supported"));
        return {};
    }
    return finished;
}

QImage MetafileRenderer::renderConvertedWmf(const QByteArray& wmf, QSize size) {
    MetafileRenderer inner(wmf);
    inner.m_nested = true;
    inner.m_workLimit = m_workLimit - m_workUsed;
    const QImage drawn = inner.naturalSize().isValid() ? inner.render(size) : QImage();
    m_workUsed += inner.workUsed();
    return drawn;
}

FilePlayback::Outcome MetafileRenderer::playOnto(QImage& image, QByteArrayView data,
                                                 const MetafileHeader& header,
                                                 const QRectF& shown) {
    GdiCanvas canvas(&image, m_workLimit - m_workUsed);
    canvas.setDeviceToOutput(rectToOutput(shown, image.size()));
    const FilePlayback::Outcome outcome =
        FilePlayback::play(canvas, data, header, m_layout->window, m_layout->viewport);
    m_workUsed += canvas.workUsed();
    return outcome;
}

QImage MetafileRenderer::finish(const QImage& image, const FilePlayback::Outcome& outcome,
                                const QString& format) {
    m_stoppedEarly = outcome.malformed || outcome.limited;
    if (!m_stoppedEarly || outcome.drawings > 0)
        return image;
    fail(outcome.limited
             ? QStringLiteral("the %1 goes beyond a safety limit before drawing anything")
                   .arg(format)
             : QStringLiteral("the %1 is malformed before drawing anything").arg(format));
    return {};
}
