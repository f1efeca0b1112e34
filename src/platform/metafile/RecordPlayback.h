#pragma once

#include "RecordWalker.h"

#include <QHash>

#include <functional>
#include <initializer_list>
#include <span>

class GdiCanvas;

// How the players play records: each record family (objects, drawing, text, ...) lists the
// handlers of its record types, the player joins the lists into one table, and one loop serves
// both formats.
namespace RecordPlayback {

// Plays one record; false when the record is malformed, which ends the playback.
template <typename Player> using Handler = bool (*)(Player&, const RecordWalker::Record&);

template <typename Player> struct Entry {
    quint32 type;
    Handler<Player> play;
};

template <typename Player> using Family = std::span<const Entry<Player>>;

// The handlers of several families by record type.
template <typename Player> class Table {
public:
    Table(std::initializer_list<Family<Player>> families) {
        for (const Family<Player>& family : families)
            for (const Entry<Player>& entry : family)
                m_handlers.insert(entry.type, entry.play);
    }
    // The handler of a record type; nullptr for a type no family plays (it is skipped).
    Handler<Player> find(quint32 type) const { return m_handlers.value(type, nullptr); }
    bool contains(quint32 type) const { return m_handlers.contains(type); }

private:
    QHash<quint32, Handler<Player>> m_handlers;
};

// The play loop of both formats: hands every record the walker gives to playOne until the end
// record, the end of the data, a malformed record or a limit of the canvas. True when it ended
// at a malformed record (one the walker or playOne refused); a record limit marks the canvas.
bool play(RecordWalker& walker, GdiCanvas& canvas, quint32 endType,
          const std::function<bool(const RecordWalker::Record&)>& playOne);

} // namespace RecordPlayback
