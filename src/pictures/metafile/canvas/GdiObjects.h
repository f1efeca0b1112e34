#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QRect>
#include <QString>
#include <variant>

// The drawing objects a metafile creates, selects and deletes. They are plain values: selecting
// one copies it into the device context, so deleting it later leaves the selection intact.

struct GdiPen {
    enum Style {
        Solid = 0,
        Dash = 1,
        Dot = 2,
        DashDot = 3,
        DashDotDot = 4,
        Null = 5,
        InsideFrame = 6,
        UserStyle = 7,
        Alternate = 8
    };
    enum Cap { CapRound = 0, CapSquare = 1, CapFlat = 2 };
    enum Join { JoinRound = 0, JoinBevel = 1, JoinMiter = 2 };

    int style = Solid;
    Cap cap = CapRound;
    Join join = JoinRound;
    double width = 0;       // logical units; 0 draws one device pixel whatever the mapping
    bool geometric = false; // an extended pen whose width scales with the mapping
    QColor color = Qt::black;
    QList<double> dashes; // user dash pattern in logical units (UserStyle)
};

struct GdiBrush {
    enum Style { Solid = 0, Null = 1, Hatched = 2, Pattern = 3, DibPattern = 5 };
    enum Hatch {
        Horizontal = 0,
        Vertical = 1,
        ForwardDiagonal = 2,
        BackwardDiagonal = 3,
        Cross = 4,
        DiagonalCross = 5
    };

    int style = Solid;
    QColor color = Qt::white;
    int hatch = Horizontal;
    QImage pattern;          // Pattern and DibPattern brushes
    bool monochrome = false; // a 1-bit pattern takes the text and background colours
};

struct GdiFont {
    int height = 0;     // < 0: character height; > 0: cell height; 0: a default size
    int width = 0;      // average character width; 0: natural
    int escapement = 0; // tenths of a degree, counter-clockwise
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    quint8 charSet = 0;
    QString face;
};

struct GdiPalette {
    QList<QRgb> entries;
};

// A region as the rectangles it is made of, in the units of the record that made it.
struct GdiRegion {
    QList<QRect> rectangles;
};

using GdiObject = std::variant<std::monostate, GdiPen, GdiBrush, GdiFont, GdiPalette, GdiRegion>;

namespace GdiStockObjects {

// Stock-object handles have the top bit set.
inline constexpr quint32 kStockFlag = 0x80000000u;

// The stock object for a handle with the top bit set; monostate for an unknown one.
GdiObject object(quint32 handle);

GdiPen defaultPen();
GdiBrush defaultBrush();
GdiFont defaultFont();

} // namespace GdiStockObjects
