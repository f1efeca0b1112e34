#pragma once

#include <QThreadPool>

#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

// Work done off the user-interface thread for the latest request only. Each request abandons
// the one before it; a result reaches the thread that made this object only while its request is
// still the latest, so an older result is dropped, never shown over a newer one. Nobody waits
// for abandoned work: work not begun yet is skipped, work under way runs to its end unseen. A
// cancel or the object's destruction abandons the request under way the same way.
class LatestResult {
    struct State;

public:
    // A request's right to hand results over. Workers hold copies; once another request begins,
    // or the request is cancelled, nothing they post arrives.
    class Ticket {
    public:
        // Still the latest request: worth working on.
        bool isCurrent() const;
        // Has the owner's thread run `call`, if the request is still the latest by then.
        void post(std::function<void()> call) const;

    private:
        friend class LatestResult;
        Ticket(std::shared_ptr<State> state, quint64 id) : m_state(std::move(state)), m_id(id) {}
        std::shared_ptr<State> m_state;
        quint64 m_id;
    };

    explicit LatestResult(QThreadPool& pool = *QThreadPool::globalInstance());
    ~LatestResult();
    LatestResult(const LatestResult&) = delete;
    LatestResult& operator=(const LatestResult&) = delete;

    // Begins a request whose workers the caller starts and which hand their results over through
    // the ticket, as many as they have; it lasts until the next request or a cancel.
    Ticket begin();
    // Runs `work` on the pool and hands its result to `deliver` on the owner's thread, unless
    // another request or a cancel came meanwhile. The request ends as its result is handed over.
    template <typename Work, typename Deliver> void request(Work work, Deliver deliver) {
        const Ticket ticket = begin();
        m_pool.start([this, ticket, work = std::move(work), deliver = std::move(deliver)] {
            if (!ticket.isCurrent())
                return;
            auto result = std::make_shared<std::invoke_result_t<Work>>(work());
            // Runs only while this object lives: its posts die with it.
            ticket.post([this, deliver, result] {
                cancel();
                deliver(std::move(*result));
            });
        });
    }
    // Abandons the request under way.
    void cancel();
    // A request has begun and has not ended.
    bool isPending() const;

private:
    QThreadPool& m_pool;
    std::shared_ptr<State> m_state;
    quint64 m_lastId = 0;
};
