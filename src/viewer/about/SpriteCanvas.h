#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>

// A surface with a sprite moved over it without layers: before the sprite is drawn somewhere the
// pixels under it are saved, and they are copied back when it moves on. The sprite is drawn by
// ANDing its mask (black where the sprite is, white around it) and then ORing the sprite (black
// around its shape). Places may lie partly outside the surface; what falls outside is dropped.
class SpriteCanvas {
public:
    SpriteCanvas(QImage surface, QImage sprite, QImage mask);

    const QImage& surface() const { return m_surface; }
    QSize spriteSize() const { return m_sprite.size(); }

    // Saves the pixels of the place where the sprite will first be drawn.
    void saveBackground(QPoint at);
    // Copies the saved pixels back at `from`, saves those at `to` and draws the sprite there.
    // Returns the part of the surface that changed.
    QRect move(QPoint from, QPoint to);
    // Copies the saved pixels back at the sprite's place, which leaves no trace of it.
    QRect erase(QPoint at);

private:
    QImage m_surface;
    QImage m_sprite;
    QImage m_mask;
    QImage m_saved;
};
