#pragma once

#include <QPainterPath>

#include <optional>

// The path a metafile builds between BEGINPATH and ENDPATH. Its parts arrive already mapped to
// output units; the finished path is handed out once, to be filled, stroked or made the clip.
// Its points are counted against MetafileLimits::kMostPathPoints.
class PathBuilder {
public:
    bool isOpen() const { return m_open; }
    void begin();
    void end();
    void abort();
    void closeFigure();
    // Adds a part; with continueFigure, one that starts where the figure ends joins it.
    void append(const QPainterPath& outputPart, bool continueFigure);
    // The finished path (ending an open one first); none when no path was finished since it
    // was last taken.
    std::optional<QPainterPath> take();

    bool limitReached() const { return m_limitReached; }

private:
    bool m_open = false;
    bool m_ready = false;
    QPainterPath m_path;
    qint64 m_points = 0;
    bool m_limitReached = false;
};
