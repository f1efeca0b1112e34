#pragma once

#include "GdiCanvas.h"
#include "RecordWalker.h"

#include <QHash>

#include <functional>
#include <initializer_list>
#include <span>

// How the players play records: each record family (objects, drawing, text, ...) lists the
// handlers of its record types, the player joins the lists into one table, and one loop serves
// both formats.
namespace RecordPlayback {

// Plays one record; false when the record is malformed, which ends the playback.
template <typename Player> using Handler = bool (*)(Player&, const RecordWalker::Record&);

template <typename Player> struct Entry {
    quint32 type;
    // The fewest parameter bytes (after the type and size fields) the record can have: the
    // fixed fields its handler reads without looking at the size. A shorter record is malformed.
    qint64 leastSize;
    Handler<Player> play;
};

template <typename Player> using Family = std::span<const Entry<Player>>;

// The rows of several families by record type.
template <typename Player> class Table {
public:
    Table(std::initializer_list<Family<Player>> families) {
        for (const Family<Player>& family : families)
            for (const Entry<Player>& entry : family)
                m_rows.insert(entry.type, entry);
    }
    bool contains(quint32 type) const { return m_rows.contains(type); }

    // Plays one record; a type no family plays is skipped. False when the record is shorter
    // than its row allows or its handler finds it malformed.
    bool play(Player& player, const RecordWalker::Record& record) const {
        const auto row = m_rows.constFind(record.type);
        if (row == m_rows.cend())
            return true;
        return record.params.size() >= row->leastSize && row->play(player, record);
    }

private:
    QHash<quint32, Entry<Player>> m_rows;
};

// The play loop of both formats: hands every record the walker gives to playOne until the end
// record, the end of the data, a malformed record or a limit of the canvas. True when it ended
// at a malformed record (one the walker or playOne refused); a record limit marks the canvas.
bool playWalk(RecordWalker& walker, GdiCanvas& canvas,
              const std::function<bool(const RecordWalker::Record&)>& playOne);

// Plays the records of a file from `start` on with a player's table; true when playback ended
// at a malformed record.
template <typename Player>
bool play(Player& player, const Table<Player>& table, RecordWalker::Format format,
          QByteArrayView data, qint64 start) {
    RecordWalker walker(format, data, start);
    return playWalk(walker, player.canvas(),
                    [&](const RecordWalker::Record& record) { return table.play(player, record); });
}

// What both players share: the canvas their records play onto, the one loop that plays a file
// through the player's table (Derived::records(), for files of Derived::kFormat), and whether
// that ended at a malformed record.
template <typename Derived> class Player {
public:
    void play(QByteArrayView data, qint64 start) {
        m_malformed = RecordPlayback::play(static_cast<Derived&>(*this), Derived::records(),
                                           Derived::kFormat, data, start);
    }
    bool malformed() const { return m_malformed; }

    // What the record handlers reach.
    GdiCanvas& canvas() { return m_canvas; }
    DeviceContext& dc() { return m_canvas.dc(); }

protected:
    explicit Player(GdiCanvas& canvas) : m_canvas(canvas) {}
    ~Player() = default;

private:
    GdiCanvas& m_canvas;
    bool m_malformed = false;
};

} // namespace RecordPlayback
