#pragma once

#include "ByteReader.h"

// Walks the records of a WMF or an EMF body one by one, checking each record's size against the
// bytes that remain before handing it out. The walk always advances and stops at the end record,
// at the end of the data, after MetafileLimits::kMostRecords records, or at the first record
// whose size cannot be right (then malformed() tells so).
class RecordWalker {
public:
    enum class Format { Wmf, Emf };

    struct Record {
        quint32 type = 0;  // WMF: the 16-bit function; EMF: the record type
        qint64 offset = 0; // of the record's first byte in the walked data
        ByteReader params; // the record's bytes after its type and size fields
        ByteReader whole;  // the record's bytes from its first one
    };

    // data: the whole file; start: offset of the first record after the header(s).
    RecordWalker(Format format, QByteArrayView data, qint64 start);

    // The next record, or false when the walk has ended.
    bool next(Record& record);

    bool malformed() const { return m_malformed; }
    bool reachedEnd() const { return m_reachedEnd; }
    bool hitRecordLimit() const { return m_hitLimit; }

private:
    Format m_format;
    ByteReader m_data;
    qint64 m_position;
    qint64 m_count = 0;
    bool m_done = false;
    bool m_malformed = false;
    bool m_reachedEnd = false;
    bool m_hitLimit = false;
};
