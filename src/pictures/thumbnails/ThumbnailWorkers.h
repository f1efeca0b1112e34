#pragma once

#include <memory>

class QThreadPool;

// The threads that make thumbnails: one pool for the page on screen, a thread on every core,
// and one thread of the lowest priority for work ahead of the user (the next page). The owner
// outlives everything that gives them work; its destruction waits for the tasks running then.
class ThumbnailWorkers {
public:
    // visibleThreads 0 means one a core.
    explicit ThumbnailWorkers(int visibleThreads = 0);
    ~ThumbnailWorkers();
    ThumbnailWorkers(const ThumbnailWorkers&) = delete;
    ThumbnailWorkers& operator=(const ThumbnailWorkers&) = delete;

    QThreadPool& visible() { return *m_visible; }
    QThreadPool& ahead() { return *m_ahead; }
    void waitForDone();

private:
    std::unique_ptr<QThreadPool> m_visible;
    std::unique_ptr<QThreadPool> m_ahead;
};
