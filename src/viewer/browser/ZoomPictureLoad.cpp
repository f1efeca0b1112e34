#include "ZoomPictureLoad.h"

#include "PictureLoader.h"

#include <QThreadPool>

#include <mutex>

// What a worker hands back: the object it is for, until that abandons the load.
struct ZoomPictureLoad::Pending {
    std::mutex mutex;
    ZoomPictureLoad* receiver;
};

ZoomPictureLoad::ZoomPictureLoad(QThreadPool& pool, QObject* parent)
    : QObject(parent), m_pool(pool) {}

ZoomPictureLoad::~ZoomPictureLoad() { cancel(); }

void ZoomPictureLoad::request(const QString& path, QSize bound) {
    cancel();
    auto pending = std::make_shared<Pending>();
    pending->receiver = this;
    m_pending = pending;
    m_pool.start([pending, path, bound] {
        PictureLoader::Result result = PictureLoader::load(path, bound);
        // Posted under the lock, so the receiver cannot go away between the test and the post;
        // its destruction waits at most for this post, never for the load.
        const std::lock_guard lock(pending->mutex);
        if (!pending->receiver)
            return;
        ZoomPictureLoad* receiver = pending->receiver;
        QMetaObject::invokeMethod(
            receiver,
            [receiver, pending, path, result = std::move(result)] {
                if (receiver->m_pending != pending)
                    return;
                receiver->m_pending.reset();
                if (result.ok())
                    emit receiver->loaded(path, result.picture);
                emit receiver->finished();
            },
            Qt::QueuedConnection);
    });
}

void ZoomPictureLoad::cancel() {
    const std::shared_ptr<Pending> pending = std::move(m_pending);
    if (!pending)
        return;
    const std::lock_guard lock(pending->mutex);
    pending->receiver = nullptr;
}
