#pragma once

#include "PictureLoader.h"

#include <QFutureWatcher>
#include <QObject>
#include <QSize>
#include <QString>
#include <atomic>
#include <memory>
#include <optional>
#include <vector>

// Reads slide pictures off the user-interface thread. A window asks for the picture it shows
// next and may name the one after it to read ahead; it never waits for a decode: a picture not
// yet read arrives later through arrived(). Only the latest request arrives; a picture asked for
// earlier and not read yet is dropped, and its decode is skipped if it has not begun.
class SlideLoader : public QObject {
    Q_OBJECT

public:
    explicit SlideLoader(QObject* parent = nullptr);
    ~SlideLoader() override;

    // The picture, decoded within the bound, when it has already been read; otherwise nothing,
    // and arrived() follows once it is read.
    std::optional<PictureLoader::Result> request(const QString& path, QSize bound);
    // Starts reading a picture that is likely to be requested next.
    void readAhead(const QString& path, QSize bound);
    // A requested picture has not arrived yet.
    bool waiting() const { return m_requested != 0; }

signals:
    void arrived(const PictureLoader::Result& result);

private:
    // Watchers are deleted later: a job may be dropped while its watcher reports.
    struct LaterDelete {
        void operator()(QObject* object) const { object->deleteLater(); }
    };
    struct Job {
        quint64 serial;
        QString path;
        QSize bound;
        std::shared_ptr<std::atomic_bool> dropped;
        std::unique_ptr<QFutureWatcher<PictureLoader::Result>, LaterDelete> watcher;
        std::optional<PictureLoader::Result> result;
    };

    Job& start(const QString& path, QSize bound);
    void finished(quint64 serial);
    // Drops every job but the ones with these serials.
    void dropAllBut(quint64 keep, quint64 alsoKeep);
    std::vector<Job>::iterator find(const QString& path, QSize bound);

    std::vector<Job> m_jobs;
    quint64 m_nextSerial = 1;
    quint64 m_requested = 0; // the serial of the job whose picture arrives, 0 for none
    quint64 m_ahead = 0;
};
