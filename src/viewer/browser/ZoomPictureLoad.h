#pragma once

#include "Picture.h"

#include <QObject>
#include <QSize>
#include <QString>
#include <memory>

class QThreadPool;

// Loads one picture at a time on a thread pool, for a view that shows a stand-in meanwhile. A new
// request, a cancel or the object's destruction abandons the load under way: its picture is
// never handed over, and nobody waits for it.
class ZoomPictureLoad : public QObject {
    Q_OBJECT

public:
    explicit ZoomPictureLoad(QThreadPool& pool, QObject* parent = nullptr);
    ~ZoomPictureLoad() override;

    // Loads the file at the size that fits in `bound` (device pixels).
    void request(const QString& path, QSize bound);
    void cancel();
    bool isLoading() const { return m_pending != nullptr; }

signals:
    // The requested file's picture; nothing is handed over for a file that cannot be loaded.
    void loaded(const QString& path, const Picture& picture);
    // The request ended, loaded or not.
    void finished();

private:
    struct Pending;

    QThreadPool& m_pool;
    std::shared_ptr<Pending> m_pending;
};
