#include "RecordWalker.h"

#include "PictureLimits.h"

namespace {
constexpr quint32 kWmfEnd = 0x0000;
constexpr quint32 kEmfEnd = 14;
} // namespace

RecordWalker::RecordWalker(Format format, QByteArrayView data, qint64 start)
    : m_format(format), m_data(data), m_position(start) {}

bool RecordWalker::next(Record& record) {
    if (m_done)
        return false;
    if (m_count >= MetafileLimits::kMostRecords) {
        m_done = m_hitLimit = true;
        return false;
    }
    const qint64 remaining = m_data.size() - m_position;
    qint64 size = 0;
    qint64 headSize = 0;
    if (m_format == Format::Wmf) {
        headSize = 6;
        if (remaining < headSize) {
            // A missing end record is common; running out of data ends the walk quietly.
            m_done = true;
            return false;
        }
        const quint32 words = m_data.u32(m_position);
        record.type = m_data.u16(m_position + 4);
        // Sizes count 16-bit words and include the 3-word head; fewer cannot advance.
        if (words < 3 || qint64(words) > remaining / 2) {
            m_done = true;
            m_malformed = !(record.type == kWmfEnd && words < 3);
            m_reachedEnd = record.type == kWmfEnd;
            return false;
        }
        size = qint64(words) * 2;
    } else {
        headSize = 8;
        if (remaining < headSize) {
            m_done = true;
            return false;
        }
        record.type = m_data.u32(m_position);
        size = m_data.u32(m_position + 4);
        if (size < headSize || size % 4 != 0 || size > remaining) {
            m_done = m_malformed = true;
            return false;
        }
    }
    record.offset = m_position;
    record.whole = m_data.sub(m_position, size);
    record.params = m_data.sub(m_position + headSize, size - headSize);
    m_position += size;
    ++m_count;
    if (record.type == (m_format == Format::Wmf ? kWmfEnd : kEmfEnd)) {
        m_done = m_reachedEnd = true;
        // The end record is handed out too, so a player sees the whole walk.
    }
    return true;
}
