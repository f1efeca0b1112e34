#pragma once

#include "FilePlayback.h"
#include "MetafileHeader.h"
#include "MetafileLayout.h"
#include "PictureLimits.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <optional>

// Renders a whole WMF or EMF file: works out its natural size and plays it onto an image of any
// requested size (the picture stretched to fill it), transparent where nothing is drawn.
//
// Malformed records: playback stops at the first one and keeps what was drawn before it; if
// nothing had been drawn by then, the render fails. Limits reached (see PictureLimits.h) are
// treated the same way. A file that draws only with EMF+ records fails.
class MetafileRenderer {
public:
    explicit MetafileRenderer(QByteArray data);

    // False when the headers are not those of a metafile we can play.
    bool isValid() const { return m_header.format != MetafileHeader::Format::Unknown; }
    const MetafileHeader& header() const { return m_header; }

    // The picture's size in pixels at 96 dots per inch; invalid when it cannot be known.
    QSize naturalSize();

    // The picture drawn at the given size; a null image on failure (see errorString()).
    QImage render(QSize size);
    // Drawn at the natural size.
    QImage render() { return render(naturalSize()); }

    QString errorString() const { return m_error; }
    // True when the last render stopped early at a malformed record or a limit.
    bool stoppedEarly() const { return m_stoppedEarly; }
    // The drawing work the last render did, in the units of MetafileLimits::kDrawingWork.
    qint64 workUsed() const { return m_workUsed; }

    // True when the first bytes are those of a WMF (placeable or plain) or an EMF.
    static bool recognise(QByteArrayView head);

private:
    // The layout, worked out once; on failure it also sets the error.
    const MetafileLayout& layout();
    QImage renderWmf(QImage& image);
    // A WMF's embedded EMF drawn on a copy of image; null when there is none or it fails.
    QImage renderEmbeddedEmf(const QImage& image);
    QImage renderEmf(QImage& image, QByteArrayView data, const MetafileHeader& header,
                     const QRectF& frame);
    // An EMF's copy of the WMF it was converted from, drawn at size; null when it fails.
    QImage renderConvertedWmf(const QByteArray& wmf, QSize size);
    // Plays a file onto image, the device rectangle `shown` filling it.
    FilePlayback::Outcome playOnto(QImage& image, QByteArrayView data, const MetafileHeader& header,
                                   const QRectF& shown);
    // The image drawn, or null (with the error set) when playback stopped before drawing.
    QImage finish(const QImage& image, const FilePlayback::Outcome& outcome, const QString& format);
    bool fail(const QString& message);

    QByteArray m_data;
    MetafileHeader m_header;
    std::optional<MetafileLayout> m_layout;
    QString m_error;
    bool m_stoppedEarly = false;
    // Drawing work done by the last render, and the most it may do (for an embedded metafile,
    // what its host left).
    qint64 m_workUsed = 0;
    qint64 m_workLimit = MetafileLimits::kDrawingWork;
    // A metafile carried inside another one; it does not follow further embedded ones.
    bool m_nested = false;
};
