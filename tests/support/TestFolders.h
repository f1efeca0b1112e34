#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Temporary folders and files for tests. Each test builds what it needs and leaves nothing behind.
class TestFolder {
public:
    TestFolder();

    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }

    // Writes a file (creating its folders) and returns its path.
    QString write(const QString& name, const QByteArray& contents) const;
    QString makeFolder(const QString& name) const;
    QByteArray read(const QString& name) const;

private:
    QTemporaryDir m_dir;
};

// Sets an environment variable, or with no value unsets it, for the life of the object, and
// restores it afterwards.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const QByteArray& value);
    explicit ScopedEnvironment(const char* name);
    ~ScopedEnvironment();
    Q_DISABLE_COPY_MOVE(ScopedEnvironment)

private:
    QByteArray m_name;
    QByteArray m_oldValue;
    bool m_wasSet;
};

// The corpus of third-party test pictures beside the project; empty when it is absent.
QString corpusDir();

// A line of a corpus folder's EXPECTATIONS.tsv: a file (its path), what it holds, what is expected
// of it, the paths of its reference pictures and a note.
struct CorpusRow {
    QString name; // "folder/file", as the rows of a test are named
    QString path;
    QString content;
    QString expect;
    QStringList references;
    QString note;
};

// Every row of every folder of the corpus, folder by folder.
QList<CorpusRow> corpusRows();

// For the initTestCase of a test of the third-party corpus: a missing corpus fails the test, so
// that a broken path can never pass unnoticed, unless LUMIVART_CORPUS_ABSENT is set to say it
// is absent on purpose; then the test is skipped.
#define LUMIVART_REQUIRE_CORPUS()                                                                  \
    do {                                                                                           \
        if (corpusDir().isEmpty()) {                                                               \
            if (qEnvironmentVariableIsSet("LUMIVART_CORPUS_ABSENT"))                               \
                QSKIP("the corpus is absent on purpose (LUMIVART_CORPUS_ABSENT is set)");          \
            QFAIL("the corpus ../shared/corpus is missing (set LUMIVART_CORPUS_ABSENT to skip)");  \
        }                                                                                          \
    } while (false)
