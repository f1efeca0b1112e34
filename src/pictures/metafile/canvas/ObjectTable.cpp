#include "ObjectTable.h"

#include "PictureLimits.h"

ObjectTable::ObjectTable(quint32 declaredSize) {
    m_objects.reserve(int(qMin<quint32>(declaredSize, 1024)));
}

bool ObjectTable::addToLowestFree(GdiObject object) {
    quint32 slot;
    if (!m_freed.empty()) {
        slot = *m_freed.begin();
        m_freed.erase(m_freed.begin());
    } else if (m_top < MetafileLimits::kMostObjects) {
        slot = m_top++;
    } else {
        return false;
    }
    m_objects.insert(slot, std::move(object));
    return true;
}

bool ObjectTable::putAt(quint32 slot, GdiObject object) {
    if (slot >= MetafileLimits::kMostObjects)
        return false;
    m_objects.insert(slot, std::move(object));
    return true;
}

const GdiObject* ObjectTable::find(quint32 slot) const {
    const auto it = m_objects.constFind(slot);
    return it == m_objects.constEnd() ? nullptr : &it.value();
}

void ObjectTable::remove(quint32 slot) {
    if (m_objects.remove(slot) && slot < m_top)
        m_freed.insert(slot);
}
