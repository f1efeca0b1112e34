#include "ProgramArt.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace ProgramArt {
namespace {

constexpr int kIconSize = 32;
constexpr int kCursorSize = 32;

QImage blank(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// A framed picture: sky, sun and a hill, the program's sign.
void drawLandscape(QPainter& p, const QColor& sky, const QColor& sun) {
    p.setPen(QPen(QColor(40, 40, 60), 2));
    p.setBrush(sky);
    p.drawRoundedRect(QRectF(3, 5, 26, 22), 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(sun);
    p.drawEllipse(QPointF(21, 12), 3.5, 3.5);
    QPainterPath hill;
    hill.moveTo(4, 26);
    hill.cubicTo(10, 14, 16, 16, 28, 24);
    hill.lineTo(28, 26);
    hill.closeSubpath();
    p.setBrush(QColor(46, 139, 87));
    p.drawPath(hill);
}

void drawMagnifier(QPainter& p, const QPointF& centre, double radius) {
    p.setPen(QPen(Qt::black, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre + QPointF(radius * 0.7, radius * 0.7), centre + QPointF(radius * 1.9, radius * 1.9));
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(QColor(220, 235, 255, 200));
    p.drawEllipse(centre, radius, radius);
}

void drawArrow(QPainter& p, bool pointsRight) {
    QPolygonF arrow{{6, 12}, {18, 12}, {18, 5}, {28, 16}, {18, 27}, {18, 20}, {6, 20}};
    if (!pointsRight) {
        for (QPointF& point : arrow)
            point.setX(kIconSize - point.x());
    }
    p.setPen(QPen(QColor(20, 60, 120), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(70, 130, 220));
    p.drawPolygon(arrow);
}

void drawBadge(QPainter& p, const QColor& colour) {
    p.setPen(QPen(colour.darker(150), 2));
    p.setBrush(colour);
    p.drawEllipse(QRectF(3, 3, 26, 26));
    p.setPen(QPen(Qt::white, 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

// The sprite and its mask share one shape: a small balloon. The sprite is drawn on black, the
// mask is the shape in black on white, so ANDing the mask and ORing the sprite paints it.
QPainterPath balloon() {
    QPainterPath path;
    path.addEllipse(QRectF(7, 3, 18, 20));
    path.moveTo(16, 23);
    path.lineTo(13, 28);
    path.lineTo(19, 28);
    path.closeSubpath();
    return path;
}

} // namespace

QImage icon(Icon id, int pixels) {
    QImage image = blank(pixels);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(double(pixels) / kIconSize, double(pixels) / kIconSize);
    const QRectF whole(0, 0, kIconSize, kIconSize);
    switch (id) {
    case kIconProgramAtNight: // the same picture at night
        drawLandscape(p, QColor(25, 25, 112), QColor(245, 245, 210));
        break;
    case kIconZoomMode:
        drawLandscape(p, QColor(135, 206, 250), QColor(255, 140, 0));
        drawMagnifier(p, QPointF(13, 13), 6);
        break;
    case kIconProgram:
        drawLandscape(p, QColor(135, 206, 250), QColor(255, 215, 0));
        break;
    case kIconRefusal:
        drawBadge(p, QColor(200, 40, 40));
        p.drawLine(QPointF(11, 11), QPointF(21, 21));
        p.drawLine(QPointF(21, 11), QPointF(11, 21));
        break;
    case kIconSuccess:
        drawBadge(p, QColor(40, 150, 60));
        p.drawPolyline(QPolygonF{{9, 16}, {14, 21}, {23, 11}});
        break;
    case kIconNextPage:
        drawArrow(p, true);
        break;
    case kIconPreviousPage:
        drawArrow(p, false);
        break;
    case kIconAboutSprite:
        // Unsmoothed, like its mask, so it is black wherever the mask keeps the background.
        p.setRenderHint(QPainter::Antialiasing, false);
        p.fillRect(whole, Qt::black);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(230, 60, 90));
        p.drawPath(balloon());
        break;
    case kIconAboutSpriteMask:
        p.setRenderHint(QPainter::Antialiasing, false);
        p.fillRect(whole, Qt::white);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawPath(balloon());
        break;
    case kIconAboutBackground:
        p.fillRect(whole, QColor(192, 192, 192));
        break;
    case kIconWaiting:
        drawBadge(p, QColor(40, 90, 190));
        p.drawPoint(QPointF(16, 9));
        p.drawLine(QPointF(16, 14), QPointF(16, 23));
        break;
    }
    return image;
}

QCursor cursor(Cursor id) {
    QImage image = blank(kCursorSize);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPoint hotspot(kCursorSize / 2, kCursorSize / 2);
    switch (id) {
    case kCursorMagnifier:
    case kCursorZoomMagnifier:
        drawMagnifier(p, QPointF(11, 11), 8);
        hotspot = QPoint(11, 11);
        if (id == kCursorZoomMagnifier) {
            p.setPen(QPen(Qt::black, 1.6));
            p.drawLine(QPointF(6, 9), QPointF(11, 9)); // plus, upper left
            p.drawLine(QPointF(8.5, 6.5), QPointF(8.5, 11.5));
            p.drawLine(QPointF(11, 14), QPointF(16, 14)); // minus, lower right
        }
        break;
    case kCursorCross:
        p.setPen(QPen(Qt::white, 3));
        p.drawLine(16, 10, 16, 22);
        p.drawLine(10, 16, 22, 16);
        p.setPen(QPen(Qt::black, 1));
        p.drawLine(16, 10, 16, 22);
        p.drawLine(10, 16, 22, 16);
        break;
    case kCursorHidden: // nothing is drawn
        break;
    }
    p.end();
    return QCursor(QPixmap::fromImage(image), hotspot.x(), hotspot.y());
}

} // namespace ProgramArt
