#pragma once

#include "FilePattern.h"

#include <QObject>
#include <QStringList>

// The file list element: the names (without folder) of the files of one folder that match its
// pattern, in the order a person expects (letter case ignored, numbers by value), and the
// selected position. Setting the folder or the pattern reads the folder again and raises
// PathChange or PatternChange; setting the position raises Click. Every event is raised before
// the call returns.
class FileList : public QObject {
    Q_OBJECT

public:
    // The list starts empty, with no pattern, until its pattern is set.
    explicit FileList(const QString& folder, QObject* parent = nullptr);

    const QString& folder() const { return m_folder; }
    void setFolder(const QString& folder);
    const QString& pattern() const { return m_pattern.text(); }
    void setPattern(const QString& pattern);
    // Reads the folder again; the selected name stays selected while it is still listed, under
    // its new name when it is the one renamed from renamedFrom to renamedTo.
    void refresh(const QString& renamedFrom = {}, const QString& renamedTo = {});

    int count() const { return static_cast<int>(m_entries.size()); }
    // The name at a position; empty for any position outside the list.
    QString entry(int position) const;
    const QStringList& entries() const { return m_entries; }

    // The selected position, -1 when nothing is selected.
    int listIndex() const { return m_listIndex; }
    // Selects a position from -1 (no selection) to count - 1 and raises Click; any other position
    // is refused and changes nothing.
    bool setListIndex(int position);

signals:
    void PathChange();
    void PatternChange();
    void Click();
    // The names were read again; the selection may have changed with them.
    void entriesChanged();

private:
    void read();

    QString m_folder;
    FilePattern m_pattern;
    QStringList m_entries;
    int m_listIndex = -1;
};

// Orders names as a person expects: without regard to letter case, runs of digits by their value.
bool naturalLess(const QString& a, const QString& b);
