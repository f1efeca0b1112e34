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

// Sets an environment variable for the life of the object and restores it afterwards.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const QByteArray& value);
    static ScopedEnvironment unset(const char* name);
    ~ScopedEnvironment();
    ScopedEnvironment(ScopedEnvironment&&) noexcept;
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    ScopedEnvironment() = default;
    QByteArray m_name;
    QByteArray m_oldValue;
    bool m_wasSet = false;
    bool m_active = false;
};

// The corpus of third-party test pictures beside the project; empty when it is absent.
QString corpusDir();
