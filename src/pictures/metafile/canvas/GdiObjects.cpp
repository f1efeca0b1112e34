#include "GdiObjects.h"

namespace GdiStockObjects {
namespace {

GdiBrush solidBrush(QColor color) {
    GdiBrush brush;
    brush.color = color;
    return brush;
}

GdiPen solidPen(QColor color) {
    GdiPen pen;
    pen.color = color;
    return pen;
}

GdiFont namedFont(const char* face, int height, bool fixedPitch) {
    GdiFont font;
    font.face = QString::fromLatin1(face);
    font.height = height;
    font.weight = fixedPitch ? 400 : 700;
    return font;
}

} // namespace

GdiObject object(quint32 handle) {
    if (!(handle & kStockFlag))
        return {};
    switch (handle & ~kStockFlag) {
    case 0x00:
        return solidBrush(Qt::white);
    case 0x01:
        return solidBrush(QColor(0xc0, 0xc0, 0xc0));
    case 0x02:
        return solidBrush(QColor(0x80, 0x80, 0x80));
    case 0x03:
        return solidBrush(QColor(0x40, 0x40, 0x40));
    case 0x04:
        return solidBrush(Qt::black);
    case 0x05: {
        GdiBrush brush;
        brush.style = GdiBrush::Null;
        return brush;
    }
    case 0x06:
        return solidPen(Qt::white);
    case 0x07:
        return solidPen(Qt::black);
    case 0x08: {
        GdiPen pen;
        pen.style = GdiPen::Null;
        return pen;
    }
    case 0x0a: // OEM fixed
    case 0x0b: // ANSI fixed
    case 0x10: // system fixed
        return namedFont("Courier New", 16, true);
    case 0x0c: { // ANSI variable
        GdiFont font = namedFont("Arial", 16, false);
        font.weight = 400;
        return font;
    }
    case 0x0d: // system
    case 0x0e: // device default
        return namedFont("Arial", 16, false);
    case 0x0f: // default palette: the twenty static colours are enough for index colours
        return GdiPalette{{0xff000000, 0xff800000, 0xff008000, 0xff808000, 0xff000080,
                           0xff800080, 0xff008080, 0xffc0c0c0, 0xffc0dcc0, 0xffa6caf0,
                           0xfffffbf0, 0xffa0a0a4, 0xff808080, 0xffff0000, 0xff00ff00,
                           0xffffff00, 0xff0000ff, 0xffff00ff, 0xff00ffff, 0xffffffff}};
    case 0x11: { // default GUI font
        GdiFont font = namedFont("Arial", -11, false);
        font.weight = 400;
        return font;
    }
    case 0x12:
        return solidBrush(Qt::white); // DC brush
    case 0x13:
        return solidPen(Qt::black); // DC pen
    default:
        return {};
    }
}

GdiPen defaultPen() {
    return solidPen(Qt::black);
}
GdiBrush defaultBrush() {
    return solidBrush(Qt::white);
}
GdiFont defaultFont() {
    GdiFont font = namedFont("Arial", 16, false);
    return font;
}

} // namespace GdiStockObjects
