#include "PictureCell.h"

#include <QMouseEvent>
#include <QPainter>

PictureCell::PictureCell(QWidget* parent) : QWidget(parent) { setMouseTracking(true); }

void PictureCell::setPicture(const QImage& picture) {
    m_picture.set(picture);
    update();
}

void PictureCell::paintEvent(QPaintEvent*) {
    if (m_picture.isNull())
        return;
    QPainter p(this);
    p.drawImage(rect(), m_picture.at(size() * devicePixelRatio()));
}

void PictureCell::mousePressEvent(QMouseEvent* event) { emit pressed(event->button()); }

void PictureCell::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

void PictureCell::mouseDoubleClickEvent(QMouseEvent*) { emit doubleClicked(); }

void PictureCell::mouseMoveEvent(QMouseEvent*) { emit moved(); }
