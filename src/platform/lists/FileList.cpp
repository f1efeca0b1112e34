#include "FileList.h"

#include <QDirIterator>
#include <algorithm>

namespace {

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

qsizetype digitRunEnd(const QString& s, qsizetype from) {
    while (from < s.size() && isDigit(s[from]))
        ++from;
    return from;
}

// Compares two runs of digits by value: leading zeros aside, the longer run is larger.
int compareNumbers(QStringView a, QStringView b) {
    while (a.size() > 1 && a.front() == u'0')
        a = a.mid(1);
    while (b.size() > 1 && b.front() == u'0')
        b = b.mid(1);
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}

} // namespace

bool naturalLess(const QString& a, const QString& b) {
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            const qsizetype endA = digitRunEnd(a, i);
            const qsizetype endB = digitRunEnd(b, j);
            if (const int order = compareNumbers(QStringView(a).mid(i, endA - i),
                                                 QStringView(b).mid(j, endB - j)))
                return order < 0;
            i = endA;
            j = endB;
            continue;
        }
        const QChar ca = a[i].toCaseFolded();
        const QChar cb = b[j].toCaseFolded();
        if (ca != cb)
            return ca < cb;
        ++i;
        ++j;
    }
    if ((a.size() - i) != (b.size() - j))
        return (a.size() - i) < (b.size() - j);
    // Names equal but for letter case or leading zeros still need a fixed order.
    return a < b;
}

FileList::FileList(const QString& folder, QObject* parent) : QObject(parent), m_folder(folder) {}

void FileList::setFolder(const QString& folder) {
    m_folder = folder;
    read();
    emit entriesChanged();
    emit PathChange();
}

void FileList::setPattern(const QString& pattern) {
    m_pattern = FilePattern(pattern);
    read();
    emit entriesChanged();
    emit PatternChange();
}

void FileList::refresh(const QString& renamedFrom, const QString& renamedTo) {
    QString selected = entry(m_listIndex);
    if (!renamedFrom.isEmpty() && selected == renamedFrom)
        selected = renamedTo;
    read();
    if (!selected.isEmpty())
        m_listIndex = static_cast<int>(m_entries.indexOf(selected));
    emit entriesChanged();
}

QString FileList::entry(int position) const {
    return position >= 0 && position < m_entries.size() ? m_entries[position] : QString();
}

bool FileList::setListIndex(int position) {
    if (position < -1 || position >= count())
        return false;
    m_listIndex = position;
    emit Click();
    return true;
}

void FileList::read() {
    m_entries.clear();
    m_listIndex = -1;
    QDirIterator it(m_folder, QDir::Files | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        if (m_pattern.matches(name))
            m_entries.append(name);
    }
    std::sort(m_entries.begin(), m_entries.end(), naturalLess);
}
