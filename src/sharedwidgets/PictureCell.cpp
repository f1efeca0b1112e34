#include "PictureCell.h"

#include <QMouseEvent>
#include <QPainter>

PictureCell::PictureCell(QWidget* parent) : QWidget(parent) { setMouseTracking(true); }

void PictureCell::setPicture(const QImage& picture) {
    m_picture = picture;
    m_shown = {};
    update();
}

void PictureCell::paintEvent(QPaintEvent*) {
    if (m_picture.isNull())
        return;
    // Drawing a large picture into a small cell samples it too sparsely; a copy reduced with
    // averaging to the cell's device pixels is kept until the size or the picture changes.
    const QSize device = size() * devicePixelRatio();
    if (m_shown.size() != device)
        m_shown = m_picture.size() == device
                      ? m_picture
                      : m_picture.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QPainter p(this);
    p.drawImage(rect(), m_shown);
}

void PictureCell::mousePressEvent(QMouseEvent* event) { emit pressed(event->button()); }

void PictureCell::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

void PictureCell::mouseDoubleClickEvent(QMouseEvent*) { emit doubleClicked(); }

void PictureCell::mouseMoveEvent(QMouseEvent*) { emit moved(); }
