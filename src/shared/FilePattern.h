#pragma once

#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

// A file list's pattern: wildcard patterns separated by ";" ("*" any run of characters, "?" one
// character), matched against a file name without regard to letter case. "*.*" takes every name,
// with or without an extension. A pattern with no parts takes nothing.
class FilePattern {
public:
    explicit FilePattern(const QString& pattern = {});

    bool matches(const QString& fileName) const;
    const QString& text() const { return m_text; }

private:
    QString m_text;
    bool m_matchesEverything = false;
    QStringList m_suffixes; // parts of the common form "*.ext", matched by their ending
    QList<QRegularExpression> m_parts;
};
