#pragma once

#include "ShownPicture.h"

#include <QImage>
#include <QWidget>

// An image element: draws its picture stretched to its own rectangle and reports the mouse.
class PictureCell : public QWidget {
    Q_OBJECT

public:
    explicit PictureCell(QWidget* parent = nullptr);

    void setPicture(const QImage& picture);

signals:
    void clicked();
    void doubleClicked();
    void pressed(Qt::MouseButton button);
    void moved();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    ShownPicture m_picture;
};
