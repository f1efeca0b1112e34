#include "LatestResult.h"

#include <QObject>

#include <atomic>
#include <mutex>

// What the object and its workers share. The receiver is an object of the owner's thread that
// lives as long as the owner: calls posted to it are dropped with it. The lock makes the owner's
// destruction wait for a post under way, never for the work.
struct LatestResult::State {
    std::mutex mutex;
    std::unique_ptr<QObject> receiver = std::make_unique<QObject>();
    std::atomic<quint64> current{0}; // 0 while no request is under way
};

bool LatestResult::Ticket::isCurrent() const { return m_state->current == m_id; }

void LatestResult::Ticket::post(std::function<void()> call) const {
    const std::lock_guard lock(m_state->mutex);
    if (!m_state->receiver || !isCurrent())
        return;
    QMetaObject::invokeMethod(
        m_state->receiver.get(),
        [state = m_state, id = m_id, call = std::move(call)] {
            if (state->current == id)
                call();
        },
        Qt::QueuedConnection);
}

LatestResult::LatestResult(QThreadPool& pool) : m_pool(pool), m_state(std::make_shared<State>()) {}

LatestResult::~LatestResult() {
    cancel();
    const std::lock_guard lock(m_state->mutex);
    m_state->receiver.reset();
}

LatestResult::Ticket LatestResult::begin() {
    m_state->current = ++m_lastId;
    return Ticket(m_state, m_lastId);
}

void LatestResult::cancel() { m_state->current = 0; }

bool LatestResult::isPending() const { return m_state->current != 0; }
