#pragma once

#include "LatestResult.h"
#include "ThumbnailMaker.h"

#include <QObject>
#include <QSize>
#include <QStringList>
#include <functional>
#include <memory>

class ThumbnailWorkers;

// Fills a page of thumbnails without holding up the user-interface thread: the pictures are
// made on worker threads, in list order as far as the threads allow, and handed over strictly
// in list order, each as soon as it and every picture before it are made. The first picture
// that cannot be made ends the fill: it is reported instead of handed over, and no later picture
// is handed over at all. A new fill, a cancel or the destruction of the object abandons the
// fill at once, without waiting for the threads: nothing of an abandoned fill is handed over.
//
// Pictures made lately are kept in memory (up to a budget) for the same file at the same size,
// so a page seen before comes back at once; a file must still open to be shown from there.
// Reading ahead makes a page's pictures at the lowest priority, into that memory only.
class PageFill : public QObject {
    Q_OBJECT

public:
    // Makes one picture; called on the worker threads, several at once.
    using Maker = std::function<ThumbnailMaker::Made(const QString& path, QSize pixels)>;

    // Pictures are taken from the cache first, when one is given, and what is decoded is stored
    // there after its cell has it.
    PageFill(ThumbnailWorkers& workers, std::shared_ptr<const ThumbnailCache> cache,
             QObject* parent = nullptr);
    // Pictures made by a maker of one's own; nothing is stored.
    PageFill(ThumbnailWorkers& workers, Maker maker, QObject* parent = nullptr);
    ~PageFill() override;

    // Starts filling a page with the pictures of these files for cells of `pixels` device
    // pixels, abandoning the fill and the reading ahead under way.
    void start(const QStringList& paths, QSize pixels);
    // Makes these files' pictures ahead of need, abandoning the reading ahead under way; only as
    // many as a share of the memory budget holds.
    void readAhead(const QStringList& paths, QSize pixels);
    // Abandons the fill and the reading ahead.
    void cancel();
    bool isFilling() const { return m_fillRequest.isPending(); }

signals:
    // The picture of the path at `index` of the fill's list.
    void pictureReady(int index, const Picture& picture);
    // The picture at `index` cannot be made; the fill has ended.
    void failed(int index);
    // Every picture of the fill was handed over.
    void completed();
    // The reading ahead has made all its pictures.
    void readAheadDone();

private:
    struct Shared;
    struct Fill;
    struct Ahead;

    PageFill(ThumbnailWorkers& workers, std::shared_ptr<Shared> shared, QObject* parent);
    // Run on the worker threads; the receiver is only reached through the request's posts,
    // which arrive while it lives.
    static void makePictures(const std::shared_ptr<Fill>& fill, Shared& shared,
                             PageFill* receiver);
    static void makeAhead(const std::shared_ptr<Ahead>& ahead, Shared& shared, PageFill* receiver);
    static ThumbnailMaker::Made madeOrRecalled(Shared& shared, const QString& path, QSize pixels);
    void handOver(const std::shared_ptr<Fill>& fill);
    void endAhead();

    ThumbnailWorkers& m_workers;
    std::shared_ptr<Shared> m_shared;
    LatestResult m_fillRequest;
    LatestResult m_aheadRequest;
};
