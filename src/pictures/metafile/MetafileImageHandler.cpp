#include "MetafileImageHandler.h"

#include "DeviceReading.h"
#include "MetafileRenderer.h"
#include "PictureLimits.h"

#include <QIODevice>
#include <QVariant>

namespace {
constexpr qint64 kHeadBytes = 64;
} // namespace

MetafileImageHandler::MetafileImageHandler() = default;
MetafileImageHandler::~MetafileImageHandler() = default;

bool MetafileImageHandler::canRead(QIODevice* device) {
    return device && MetafileRenderer::recognise(device->peek(kHeadBytes));
}

bool MetafileImageHandler::canRead() const {
    if (m_renderer)
        return m_renderer->isValid();
    if (!canRead(device()))
        return false;
    const QByteArray head = device()->peek(kHeadBytes);
    const_cast<MetafileImageHandler*>(this)->setFormat(
        head.startsWith("\x01\0\0\0") && head.mid(40, 4) == " EMF" ? "emf" : "wmf");
    return true;
}

bool MetafileImageHandler::load() const {
    if (m_loaded)
        return m_renderer && m_renderer->isValid();
    m_loaded = true;
    QIODevice* dev = device();
    if (!dev)
        return false;
    std::optional<QByteArray> data =
        DeviceReading::readAtMost(*dev, MetafileLimits::kLargestFileBytes);
    if (!data)
        return false;
    m_renderer = std::make_unique<MetafileRenderer>(std::move(*data));
    return m_renderer->isValid();
}

bool MetafileImageHandler::read(QImage* image) {
    if (!image || !load())
        return false;
    const QSize natural = m_renderer->naturalSize();
    const QSize target = m_scaledSize.isValid() && !m_scaledSize.isEmpty() ? m_scaledSize : natural;
    const QImage drawn = m_renderer->render(target);
    if (drawn.isNull())
        return false;
    *image = drawn;
    return true;
}

QVariant MetafileImageHandler::option(ImageOption option) const {
    switch (option) {
    case Size:
        if (!load())
            return {};
        return m_renderer->naturalSize();
    case ScaledSize:
        return m_scaledSize;
    case ImageFormat:
        return QImage::Format_ARGB32_Premultiplied;
    default:
        return {};
    }
}

void MetafileImageHandler::setOption(ImageOption option, const QVariant& value) {
    if (option == ScaledSize)
        m_scaledSize = value.toSize();
}

bool MetafileImageHandler::supportsOption(ImageOption option) const {
    return option == Size || option == ScaledSize || option == ImageFormat;
}
