#include "PageFill.h"

#include "RegularFile.h"
#include "ThumbnailWorkers.h"

#include <QCache>
#include <QFile>
#include <QFileInfo>
#include <QThreadPool>

#include <atomic>
#include <climits>
#include <mutex>
#include <optional>
#include <vector>

namespace {

// Memory for pictures made lately: a few pages of the largest cells.
constexpr qint64 kRecentBytes = qint64(64) << 20;
// Reading ahead fills at most this share of it, so the page on screen stays in memory.
constexpr qint64 kAheadBytes = kRecentBytes / 2;

// Pictures made lately, by file, modification time, file size and cell size; the least
// recently used go first when the budget is spent.
class RecentPictures {
public:
    RecentPictures() : m_pictures(static_cast<int>(kRecentBytes >> 10)) {}

    static QString keyOf(const QString& path, const QFileInfo& file, QSize pixels) {
        return QStringLiteral("%1\n%2\n%3\n%4x%5")
            .arg(path)
            .arg(file.lastModified().toMSecsSinceEpoch())
            .arg(file.size())
            .arg(pixels.width())
            .arg(pixels.height());
    }
    std::optional<Picture> find(const QString& key) {
        const std::lock_guard lock(m_mutex);
        const Picture* picture = m_pictures.object(key);
        return picture ? std::optional<Picture>(*picture) : std::nullopt;
    }
    void keep(const QString& key, const Picture& picture) {
        const std::lock_guard lock(m_mutex);
        const qint64 kib = qMax<qint64>(1, picture.image.sizeInBytes() >> 10);
        m_pictures.insert(key, new Picture(picture), kib);
    }

private:
    std::mutex m_mutex;
    QCache<QString, Picture> m_pictures;
};

} // namespace

struct PageFill::Shared {
    Maker maker;
    std::shared_ptr<const ThumbnailCache> cache;
    RecentPictures recent;
};

struct PageFill::Fill {
    Fill(const QStringList& paths, QSize pixels, LatestResult::Ticket ticket)
        : paths(paths), pixels(pixels), ticket(std::move(ticket)),
          outcomes(static_cast<std::size_t>(paths.size())) {}

    struct Outcome {
        Picture picture;
        bool ok = false;
    };

    const QStringList paths;
    const QSize pixels;
    const LatestResult::Ticket ticket; // the fill's results reach the object while it is current
    std::atomic<int> next{0};           // the next index a worker takes
    std::atomic<int> failedAt{INT_MAX}; // the first index known to fail
    std::mutex mutex;                   // guards the two below
    std::vector<std::optional<Outcome>> outcomes;
    bool handOverPosted = false;
    int handedOver = 0; // user-interface thread only
};

struct PageFill::Ahead {
    const QStringList paths;
    const QSize pixels;
    const LatestResult::Ticket ticket;
};

PageFill::PageFill(ThumbnailWorkers& workers, std::shared_ptr<Shared> shared, QObject* parent)
    : QObject(parent), m_workers(workers), m_shared(std::move(shared)) {}

PageFill::PageFill(ThumbnailWorkers& workers, std::shared_ptr<const ThumbnailCache> cache,
                   QObject* parent)
    : PageFill(workers, std::make_shared<Shared>(), parent) {
    m_shared->cache = std::move(cache);
    m_shared->maker = [cache = m_shared->cache](const QString& path, QSize pixels) {
        return ThumbnailMaker::make(path, pixels, cache.get());
    };
}

PageFill::PageFill(ThumbnailWorkers& workers, Maker maker, QObject* parent)
    : PageFill(workers, std::make_shared<Shared>(), parent) {
    m_shared->maker = std::move(maker);
}

PageFill::~PageFill() {
    cancel();
}

void PageFill::start(const QStringList& paths, QSize pixels) {
    cancel();
    auto fill = std::make_shared<Fill>(paths, pixels, m_fillRequest.begin());
    if (paths.isEmpty()) {
        fill->ticket.post([this, fill] { handOver(fill); });
        return;
    }
    const int threads =
        std::min<int>(static_cast<int>(paths.size()), m_workers.visible().maxThreadCount());
    for (int i = 0; i < threads; ++i)
        m_workers.visible().start(
            [this, fill, shared = m_shared] { makePictures(fill, *shared, this); });
}

void PageFill::readAhead(const QStringList& paths, QSize pixels) {
    const qint64 bytesEach = qMax<qint64>(1, qint64(pixels.width()) * pixels.height() * 4);
    const qsizetype count = std::min<qsizetype>(paths.size(), kAheadBytes / bytesEach);
    auto ahead = std::make_shared<Ahead>(Ahead{paths.first(count), pixels, m_aheadRequest.begin()});
    m_workers.ahead().start(
        [this, ahead, shared = m_shared] { makeAhead(ahead, *shared, this); });
}

void PageFill::cancel() {
    m_fillRequest.cancel();
    m_aheadRequest.cancel();
}

ThumbnailMaker::Made PageFill::madeOrRecalled(Shared& shared, const QString& path, QSize pixels) {
    // The file must open, whatever memory holds of it.
    QFile file;
    if (const QString problem = RegularFile::open(path, file); !problem.isEmpty()) {
        ThumbnailMaker::Made failure;
        failure.error = problem;
        return failure;
    }
    file.close();
    const QString key = RecentPictures::keyOf(path, QFileInfo(path), pixels);
    if (auto picture = shared.recent.find(key)) {
        ThumbnailMaker::Made recalled;
        recalled.picture = std::move(*picture);
        return recalled;
    }
    ThumbnailMaker::Made made = shared.maker(path, pixels);
    if (made.ok())
        shared.recent.keep(key, made.picture);
    return made;
}

void PageFill::makePictures(const std::shared_ptr<Fill>& fill, Shared& shared,
                            PageFill* receiver) {
    const int count = static_cast<int>(fill->paths.size());
    while (fill->ticket.isCurrent()) {
        const int index = fill->next++;
        if (index >= count || index > fill->failedAt)
            return;
        ThumbnailMaker::Made made = madeOrRecalled(shared, fill->paths[index], fill->pixels);
        if (!made.ok()) {
            int known = fill->failedAt;
            while (index < known && !fill->failedAt.compare_exchange_weak(known, index)) {
            }
        }
        {
            const std::lock_guard lock(fill->mutex);
            fill->outcomes[index] = Fill::Outcome{made.picture, made.ok()};
            if (!fill->handOverPosted) {
                fill->handOverPosted = true;
                fill->ticket.post([receiver, fill] { receiver->handOver(fill); });
            }
        }
        if (shared.cache)
            ThumbnailMaker::store(made, *shared.cache);
    }
}

void PageFill::makeAhead(const std::shared_ptr<Ahead>& ahead, Shared& shared,
                         PageFill* receiver) {
    for (const QString& path : ahead->paths) {
        if (!ahead->ticket.isCurrent())
            return;
        const ThumbnailMaker::Made made = madeOrRecalled(shared, path, ahead->pixels);
        if (shared.cache)
            ThumbnailMaker::store(made, *shared.cache);
    }
    ahead->ticket.post([receiver] { receiver->endAhead(); });
}

void PageFill::endAhead() {
    m_aheadRequest.cancel();
    emit readAheadDone();
}

void PageFill::handOver(const std::shared_ptr<Fill>& fill) {
    std::vector<Fill::Outcome> ready;
    {
        const std::lock_guard lock(fill->mutex);
        fill->handOverPosted = false;
        for (auto i = static_cast<std::size_t>(fill->handedOver);
             i < fill->outcomes.size() && fill->outcomes[i]; ++i) {
            ready.push_back(std::move(*fill->outcomes[i]));
            fill->outcomes[i].reset();
        }
    }
    for (Fill::Outcome& outcome : ready) {
        const int index = fill->handedOver++;
        if (!outcome.ok) {
            m_fillRequest.cancel();
            emit failed(index);
            return;
        }
        emit pictureReady(index, outcome.picture);
        if (!fill->ticket.isCurrent())
            return; // a receiver started another fill or cancelled this one
    }
    if (fill->handedOver == fill->paths.size()) {
        m_fillRequest.cancel();
        emit completed();
    }
}
