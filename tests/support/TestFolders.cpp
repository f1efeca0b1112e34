#include "TestFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

TestFolder::TestFolder() {
    QVERIFY2(m_dir.isValid(), "cannot create a temporary folder");
}

QString TestFolder::write(const QString& name, const QByteArray& contents) const {
    const QString path = m_dir.filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size())
        qFatal("cannot write test file %s", qPrintable(path));
    return path;
}

QString TestFolder::makeFolder(const QString& name) const {
    const QString path = m_dir.filePath(name);
    if (!QDir().mkpath(path))
        qFatal("cannot create test folder %s", qPrintable(path));
    return path;
}

QByteArray TestFolder::read(const QString& name) const {
    QFile file(m_dir.filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

ScopedEnvironment::ScopedEnvironment(const char* name, const QByteArray& value)
    : ScopedEnvironment(name) {
    qputenv(name, value);
}

ScopedEnvironment::ScopedEnvironment(const char* name)
    : m_name(name), m_oldValue(qgetenv(name)), m_wasSet(qEnvironmentVariableIsSet(name)) {
    qunsetenv(name);
}

ScopedEnvironment::~ScopedEnvironment() {
    if (m_wasSet)
        qputenv(m_name.constData(), m_oldValue);
    else
        qunsetenv(m_name.constData());
}

QString corpusDir() {
    const QString dir = QStringLiteral(LUMIVART_CORPUS_DIR);
    return QFileInfo(dir + "/INDEX.md").exists() ? QDir(dir).canonicalPath() : QString();
}

QList<CorpusRow> corpusRows() {
    QList<CorpusRow> rows;
    if (corpusDir().isEmpty())
        return rows;
    const QDir root(corpusDir());
    for (const QString& folder : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        QFile table(root.filePath(folder + "/EXPECTATIONS.tsv"));
        if (!table.open(QIODevice::ReadOnly | QIODevice::Text))
            continue;
        const QString base = root.filePath(folder) + '/';
        while (!table.atEnd()) {
            const QString line = QString::fromUtf8(table.readLine()).trimmed();
            const QStringList f = line.split(u'\t');
            if (line.startsWith(u'#') || f.size() < 3)
                continue;
            QStringList references;
            for (const QString& reference : f.value(3).split(u';', Qt::SkipEmptyParts))
                references.append(base + reference);
            rows.append({folder + '/' + f[0], base + f[0], f[1], f[2], references, f.value(4)});
        }
    }
    return rows;
}
