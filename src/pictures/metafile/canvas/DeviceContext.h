#pragma once

#include "GdiObjects.h"

#include <QPointF>
#include <QRegion>
#include <QTransform>

// The state a metafile changes as it plays: the mapping from logical to device units (mapping
// mode, window and viewport, the EMF world transform), the selected objects, colours and modes,
// the current position and the clip. SaveDC copies it whole; RestoreDC puts a copy back.
class DeviceContext {
public:
    enum MapMode {
        Text = 1,
        LoMetric = 2,
        HiMetric = 3,
        LoEnglish = 4,
        HiEnglish = 5,
        Twips = 6,
        Isotropic = 7,
        Anisotropic = 8
    };
    enum BackgroundMode { Transparent = 1, Opaque = 2 };
    enum FillMode { Alternate = 1, Winding = 2 };
    enum ArcDirection { CounterClockwise = 1, Clockwise = 2 };
    enum TextAlign : quint32 {
        UpdateCurrentPosition = 0x01,
        AlignRight = 0x02,
        AlignCenter = 0x06,
        AlignBottom = 0x08,
        AlignBaseline = 0x18
    };

    // Device pixels per millimetre of the reference device, for the fixed mapping modes.
    void setDevicePixelsPerMm(QPointF pixelsPerMm) { m_pixelsPerMm = pixelsPerMm; }

    int mapMode() const { return m_mapMode; }
    void setMapMode(int mode);
    void setWindowOrg(QPointF origin) { m_windowOrg = origin; }
    void setWindowExt(QPointF extent);
    void setViewportOrg(QPointF origin) { m_viewportOrg = origin; }
    void setViewportExt(QPointF extent);
    void offsetWindowOrg(QPointF by) { m_windowOrg += by; }
    // Multiply an extent by xNum/xDenom and yNum/yDenom; a zero denominator leaves it alone.
    void scaleWindowExt(double xNum, double xDenom, double yNum, double yDenom);
    void scaleViewportExt(double xNum, double xDenom, double yNum, double yDenom);
    QPointF windowOrg() const { return m_windowOrg; }
    QPointF viewportOrg() const { return m_viewportOrg; }

    // Logical (after the world transform) to device units.
    QTransform pageTransform() const;

    const QTransform& world() const { return m_world; }
    void setWorld(const QTransform& world);
    // EMF ModifyWorldTransform: 1 identity, 2 left-multiply, 3 right-multiply, 4 set.
    void modifyWorld(const QTransform& data, quint32 mode);

    // Copies a pen, brush, font or palette into the matching slot; other objects are ignored.
    void select(const GdiObject& object);

    GdiPen pen = GdiStockObjects::defaultPen();
    GdiBrush brush = GdiStockObjects::defaultBrush();
    GdiFont font = GdiStockObjects::defaultFont();
    GdiPalette palette = std::get<GdiPalette>(GdiStockObjects::object(0x8000000f));
    QColor textColor = Qt::black;
    QColor backgroundColor = Qt::white;
    int backgroundMode = Opaque;
    int fillMode = Alternate;
    int rop2 = 13; // COPYPEN
    int stretchMode = 1;
    quint32 textAlign = 0;
    int arcDirection = CounterClockwise;
    double textCharExtra = 0;
    double miterLimit = 10;
    QPointF currentPosition;

    // The clip, in output pixels; no clip when hasClip is false.
    bool hasClip = false;
    QRegion clip;

private:
    int m_mapMode = Text;
    QPointF m_windowOrg{0, 0};
    QPointF m_windowExt{1, 1};
    QPointF m_viewportOrg{0, 0};
    QPointF m_viewportExt{1, 1};
    QPointF m_pixelsPerMm{96 / 25.4, 96 / 25.4};
    QTransform m_world;
};
