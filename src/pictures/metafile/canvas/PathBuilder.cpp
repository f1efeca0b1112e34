#include "PathBuilder.h"

#include "PictureLimits.h"

#include <QLineF>

void PathBuilder::begin() {
    m_open = true;
    m_ready = false;
    m_path = QPainterPath();
    m_points = 0;
}

void PathBuilder::end() {
    if (!m_open)
        return;
    m_open = false;
    m_ready = true;
}

void PathBuilder::abort() {
    m_open = false;
    m_ready = false;
    m_path = QPainterPath();
}

void PathBuilder::closeFigure() {
    if (m_open)
        m_path.closeSubpath();
}

void PathBuilder::append(const QPainterPath& part, bool continueFigure) {
    m_points += part.elementCount();
    if (m_points > MetafileLimits::kMostPathPoints) {
        m_limitReached = true;
        return;
    }
    if (continueFigure && !m_path.isEmpty() && part.elementCount() > 0 &&
        QLineF(m_path.currentPosition(), part.elementAt(0)).length() < 1e-6) {
        m_path.connectPath(part);
    } else {
        m_path.addPath(part);
    }
}

std::optional<QPainterPath> PathBuilder::take() {
    end();
    if (!m_ready)
        return std::nullopt;
    m_ready = false;
    return std::exchange(m_path, QPainterPath());
}
