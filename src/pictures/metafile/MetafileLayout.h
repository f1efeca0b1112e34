#pragma once

#include "MetafileHeader.h"

#include <QRectF>
#include <QSize>
#include <QString>

#include <optional>

// Where a metafile's drawing lies and how large the picture is: its natural size in pixels at
// 96 dpi and the device rectangle shown on the output. ofWmf and ofEmf work it out from the
// headers, and where those say too little or are wrong, from what the file draws.
struct MetafileLayout {
    QSize natural;
    // WMF: the viewport or the drawn bounds; EMF: the picture frame in reference-device pixels
    // (or the bounds).
    QRectF shown;
    // WMF: the window the drawing starts in and the viewport it maps onto (device units).
    QRectF window;
    QSizeF viewport;
    // Why there is no layout; empty when there is one.
    QString error;

    bool valid() const { return error.isEmpty(); }
    // Whether the natural size is within the picture loader's pixel limit.
    bool naturalAcceptable() const;

    static MetafileLayout ofWmf(QByteArrayView data, const MetafileHeader& header);
    static MetafileLayout ofEmf(QByteArrayView data, const MetafileHeader& header);
    // An EMF's picture frame in reference-device pixels; none when it has no area.
    static std::optional<QRectF> emfFrame(const MetafileHeader& header);
};
