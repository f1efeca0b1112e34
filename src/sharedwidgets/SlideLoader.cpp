#include "SlideLoader.h"

void SlideLoader::Read::forget() {
    load.cancel();
    path.clear();
    result.reset();
}

template <typename Then>
void SlideLoader::start(Read& read, const QString& path, QSize bound, Then then) {
    read.path = path;
    read.bound = bound;
    read.result.reset();
    read.load.request([path, bound] { return PictureLoader::load(path, bound); }, then);
}

SlideLoader::SlideLoader(QObject* parent) : QObject(parent) {}

SlideLoader::~SlideLoader() = default;

std::optional<PictureLoader::Result> SlideLoader::request(const QString& path, QSize bound) {
    if (m_ahead.holds(path, bound)) {
        m_shown.forget();
        if (!m_ahead.result) {
            m_aheadRequested = true;
            return std::nullopt;
        }
        PictureLoader::Result result = std::move(*m_ahead.result);
        m_ahead.forget();
        return result;
    }
    m_aheadRequested = false;
    if (!m_shown.holds(path, bound))
        start(m_shown, path, bound, [this](PictureLoader::Result result) { emit arrived(result); });
    return std::nullopt;
}

void SlideLoader::readAhead(const QString& path, QSize bound) {
    if (m_ahead.holds(path, bound))
        return;
    m_aheadRequested = false;
    if (m_shown.holds(path, bound))
        m_ahead.forget(); // read for the screen already
    else
        start(m_ahead, path, bound,
              [this](PictureLoader::Result result) { aheadRead(std::move(result)); });
}

void SlideLoader::aheadRead(PictureLoader::Result result) {
    if (!m_aheadRequested) {
        m_ahead.result = std::move(result);
        return;
    }
    m_aheadRequested = false;
    m_ahead.forget();
    emit arrived(result);
}
