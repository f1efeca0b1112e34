#include "FilePattern.h"

FilePattern::FilePattern(const QString& pattern) : m_text(pattern) {
    for (const QString& rawPart : pattern.split(u';')) {
        const QString part = rawPart.trimmed();
        if (part.isEmpty())
            continue;
        if (part == u"*" || part == u"*.*") {
            m_matchesEverything = true;
            continue;
        }
        const QStringView rest = QStringView(part).mid(1);
        if (part.startsWith(u'*') && !rest.contains(u'*') && !rest.contains(u'?') &&
            !rest.contains(u'[')) {
            m_suffixes.append(rest.toString());
            continue;
        }
        m_parts.append(QRegularExpression(QRegularExpression::wildcardToRegularExpression(part),
                                          QRegularExpression::CaseInsensitiveOption));
    }
}

bool FilePattern::matches(const QString& fileName) const {
    if (m_matchesEverything)
        return true;
    for (const QString& suffix : m_suffixes) {
        if (fileName.endsWith(suffix, Qt::CaseInsensitive))
            return true;
    }
    for (const QRegularExpression& part : m_parts) {
        if (part.match(fileName).hasMatch())
            return true;
    }
    return false;
}
