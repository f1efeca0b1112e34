#include "ThumbnailWorkers.h"

#include <QThread>
#include <QThreadPool>

ThumbnailWorkers::ThumbnailWorkers(int visibleThreads)
    : m_visible(std::make_unique<QThreadPool>()), m_ahead(std::make_unique<QThreadPool>()) {
    m_visible->setMaxThreadCount(visibleThreads > 0 ? visibleThreads : QThread::idealThreadCount());
    m_ahead->setMaxThreadCount(1);
    // Work ahead runs only on a processor that nothing else wants.
    m_ahead->setThreadPriority(QThread::IdlePriority);
}

ThumbnailWorkers::~ThumbnailWorkers() {
    waitForDone();
}

void ThumbnailWorkers::waitForDone() {
    m_visible->waitForDone();
    m_ahead->waitForDone();
}
