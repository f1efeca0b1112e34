#include "ZoomViewer.h"

#include "FittedSize.h"
#include "Module1.h"
#include "PictureLoader.h"
#include "ZoomPlacement.h"

namespace {
constexpr qint16 kLargestZoom = 2; // the smallest divisor gives the largest view
constexpr qint16 kSmallestZoom = 4;
} // namespace

ZoomViewer::ZoomViewer(Module1& module, QObject* parent) : QObject(parent), m_module(module) {}

QSize ZoomViewer::pictureBound() const {
    const TwipsScale& scale = m_module.screen.scale;
    const QSizeF widestZoomView(scale.toPixels(m_module.MaxZoomWidth),
                                scale.toPixels(m_module.screen.twips().width() / kLargestZoom));
    return (widestZoomView * m_pixelRatio).toSize();
}

void ZoomViewer::show() {
    m_view.visible = false;
    if (!m_view.picture.isNull()) {
        m_view.rect = zoomRectangle(m_view.picture.naturalSize, m_module.ZoomHeight,
                                    m_module.MaxZoomWidth, m_module.screen.twips());
        m_view.visible = true;
    }
    emit changed();
}

void ZoomViewer::hide() {
    if (!m_view.visible)
        return;
    m_view.visible = false;
    emit changed();
}

void ZoomViewer::setPicture(Picture picture, QString sourcePath) {
    m_load.cancel();
    m_view.picture = std::move(picture);
    m_view.sourcePath = std::move(sourcePath);
    if (m_view.visible)
        emit changed();
}

void ZoomViewer::showThumbnail(const Picture& thumbnail, const QString& file) {
    hide();
    setPicture(thumbnail, file);
    show();
    // The cell holds the pixels of a thumbnail: the view shows them at once, and the picture at
    // the view's own size when it has been read.
    const QSize shown = thumbnail.image.size();
    const QSize wanted = fittedSize(thumbnail.naturalSize, pictureBound());
    if (shown.width() < wanted.width() || shown.height() < wanted.height())
        readPicture(file, [this, file](Picture picture) { setPicture(std::move(picture), file); });
}

void ZoomViewer::readPicture(const QString& file, std::function<void(Picture)> read) {
    m_load.request([file, bound = pictureBound()] { return PictureLoader::load(file, bound); },
                   [read](PictureLoader::Result loaded) {
                       if (loaded.ok())
                           read(std::move(loaded.picture));
                   });
}

void ZoomViewer::step(int direction) {
    Settings& s = m_module.settings;
    const qint16 divisor = static_cast<qint16>(s.ZoomDivisor + direction);
    if (divisor < kLargestZoom || divisor > kSmallestZoom)
        return;
    s.ZoomDivisor = divisor;
    m_module.ZoomHeight = m_module.screen.twips().width() / divisor;
    show();
}
