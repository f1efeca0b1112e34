#pragma once

#include <QByteArrayView>
#include <QPointF>
#include <QRect>
#include <QSizeF>

// The fixed headers at the start of a metafile: the placeable WMF header (its bounding box and
// units per inch), the WMF header (the size of the object table) and the EMF header record (its
// bounds, picture frame and reference device). read() checks every field it uses against the
// data; a file it does not recognise comes back with format Unknown.
struct MetafileHeader {
    enum class Format { Unknown, Wmf, Emf };

    Format format = Format::Unknown;
    qint64 recordsStart = 0; // offset of the first record after the headers

    // WMF
    bool placeable = false;
    QRect boundingBox;    // placeable: logical units, normalised
    int unitsPerInch = 0; // placeable
    quint16 objectCount = 0;

    // EMF
    QRect bounds; // device units, inclusive
    QRect frame;  // 0.01 mm, inclusive
    QSizeF deviceMillimetres;
    QSizeF devicePixels;
    quint32 handles = 0;

    static MetafileHeader read(QByteArrayView data);

    // EMF: reference-device pixels per millimetre (96 dpi when the header gives nothing usable).
    QPointF devicePixelsPerMm() const;
};
