#pragma once

#include "GdiObjects.h"

#include <QHash>
#include <set>

// The table of objects a metafile creates. WMF files do not name slots: each new object takes the
// lowest free one, and an object the player cannot use still takes its slot, or every later index
// would point at the wrong object. EMF files name the slot in each creation record. Slots are
// bounded by MetafileLimits::kMostObjects.
class ObjectTable {
public:
    explicit ObjectTable(quint32 declaredSize = 0);

    // WMF: stores the object in the lowest free slot; returns false when no slot is left.
    bool addToLowestFree(GdiObject object);
    // EMF: stores the object at a slot (replacing what was there); false for a bad slot.
    bool putAt(quint32 slot, GdiObject object);
    // The object in a slot; nullptr when the slot is empty or out of range.
    const GdiObject* find(quint32 slot) const;
    void remove(quint32 slot);
    int count() const { return int(m_objects.size()); }

private:
    QHash<quint32, GdiObject> m_objects;
    // For WMF numbering: slots at or above m_top were never used; freed ones below it wait in
    // m_freed, so finding the lowest free slot never scans the table.
    quint32 m_top = 0;
    std::set<quint32> m_freed;
};
