#include "SpriteCanvas.h"

#include <QPainter>

SpriteCanvas::SpriteCanvas(QImage surface, QImage sprite, QImage mask)
    : m_surface(surface.convertToFormat(QImage::Format_RGB32)),
      m_sprite(sprite.convertToFormat(QImage::Format_RGB32)),
      m_mask(mask.convertToFormat(QImage::Format_RGB32)) {}

void SpriteCanvas::saveBackground(QPoint at) {
    m_saved = m_surface.copy(QRect(at, spriteSize()));
}

QRect SpriteCanvas::move(QPoint from, QPoint to) {
    const QRect erased = erase(from);
    saveBackground(to);
    QPainter painter(&m_surface);
    painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    painter.drawImage(to, m_mask);
    painter.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
    painter.drawImage(to, m_sprite);
    return erased.united(QRect(to, spriteSize()));
}

QRect SpriteCanvas::erase(QPoint at) {
    QPainter painter(&m_surface);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(at, m_saved);
    return QRect(at, m_saved.size());
}
