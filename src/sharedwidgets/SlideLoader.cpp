#include "SlideLoader.h"

#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>

SlideLoader::SlideLoader(QObject* parent) : QObject(parent) {}

SlideLoader::~SlideLoader() {
    dropAllBut(0, 0);
}

std::vector<SlideLoader::Job>::iterator SlideLoader::find(const QString& path, QSize bound) {
    return std::find_if(m_jobs.begin(), m_jobs.end(),
                        [&](const Job& job) { return job.path == path && job.bound == bound; });
}

std::optional<PictureLoader::Result> SlideLoader::request(const QString& path, QSize bound) {
    auto job = find(path, bound);
    if (job != m_jobs.end() && job->result) {
        PictureLoader::Result result = std::move(*job->result);
        if (m_ahead == job->serial)
            m_ahead = 0;
        m_jobs.erase(job);
        m_requested = 0;
        dropAllBut(m_ahead, 0);
        return result;
    }
    m_requested = job != m_jobs.end() ? job->serial : start(path, bound).serial;
    dropAllBut(m_requested, m_ahead);
    return std::nullopt;
}

void SlideLoader::readAhead(const QString& path, QSize bound) {
    auto job = find(path, bound);
    m_ahead = job != m_jobs.end() ? job->serial : start(path, bound).serial;
    dropAllBut(m_requested, m_ahead);
}

SlideLoader::Job& SlideLoader::start(const QString& path, QSize bound) {
    auto dropped = std::make_shared<std::atomic_bool>(false);
    const quint64 serial = m_nextSerial++;
    Job job{serial, path, bound, dropped, nullptr, std::nullopt};
    job.watcher.reset(new QFutureWatcher<PictureLoader::Result>);
    connect(job.watcher.get(), &QFutureWatcherBase::finished, this,
            [this, serial] { finished(serial); });
    job.watcher->setFuture(QtConcurrent::run([path, bound, dropped] {
        if (*dropped)
            return PictureLoader::Result{{}, QStringLiteral("not needed any more")};
        return PictureLoader::load(path, bound);
    }));
    m_jobs.push_back(std::move(job));
    return m_jobs.back();
}

void SlideLoader::finished(quint64 serial) {
    auto job = std::find_if(m_jobs.begin(), m_jobs.end(),
                            [serial](const Job& j) { return j.serial == serial; });
    if (job == m_jobs.end())
        return; // dropped meanwhile
    PictureLoader::Result result = job->watcher->result();
    if (serial != m_requested) {
        job->result = std::move(result); // read ahead: kept until it is requested
        return;
    }
    m_jobs.erase(job);
    m_requested = 0;
    emit arrived(result);
}

void SlideLoader::dropAllBut(quint64 keep, quint64 alsoKeep) {
    std::erase_if(m_jobs, [&](const Job& job) {
        if (job.serial == keep || job.serial == alsoKeep)
            return false;
        *job.dropped = true;
        return true;
    });
}
