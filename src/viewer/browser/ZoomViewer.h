#pragma once

#include "LatestResult.h"
#include "Picture.h"

#include <QObject>
#include <QRectF>
#include <functional>

struct Module1;

// The zoom view: one picture large, with its proportions kept.
struct ZoomView {
    Picture picture;
    QString sourcePath; // the picture's file; empty for the clipboard's picture
    bool visible = false;
    QRectF rect; // twips
};

// The zoom view's behaviour: the picture it holds, its place at the zoom level (the module's
// ZoomHeight, from the settings' ZoomDivisor), and its own pictures read off the user-interface
// thread at the size its widest view shows. A picture given to the view drops the reading under
// way.
class ZoomViewer : public QObject {
    Q_OBJECT

public:
    explicit ZoomViewer(Module1& module, QObject* parent = nullptr);

    const ZoomView& view() const { return m_view; }
    void setDevicePixelRatio(qreal ratio) { m_pixelRatio = ratio; }
    // The largest picture the view is given: what its widest view shows, at device pixels.
    QSize pictureBound() const;

    // Shows the view placed for its picture at the zoom level; a view that never held a picture
    // has no proportions to show and stays hidden.
    void show();
    void hide();
    // Gives the view another picture without showing, hiding or moving it.
    void setPicture(Picture picture, QString sourcePath);
    // Shows a thumbnail's pixels at once, and its file at the view's own size once read.
    void showThumbnail(const Picture& thumbnail, const QString& file);
    // Reads the file at the view's size and gives it to `read`, unless the view was given
    // another picture first or the file cannot be read.
    void readPicture(const QString& file, std::function<void(Picture)> read);
    bool isReading() const { return m_load.isPending(); }
    // One zoom level larger (-1) or smaller (+1), within the levels there are; the view shows.
    void step(int direction);

signals:
    void changed();

private:
    Module1& m_module;
    ZoomView m_view;
    qreal m_pixelRatio = 1;
    LatestResult m_load; // not the page's threads: those are taken until the page is complete
};
