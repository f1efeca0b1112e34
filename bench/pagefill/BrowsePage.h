#pragma once

#include <QSize>
#include <QStringList>
#include <memory>

class PageFill;
class QWidget;
class ThumbnailCache;
class ThumbnailGrid;
class ThumbnailWorkers;
struct Settings;

// What one page fill took, in milliseconds from its start: the first picture handed over, the
// whole page, and the longest the user-interface thread kept a 5 ms timer waiting beyond its
// time (how long the window could not answer).
struct FillTimes {
    double firstMs = -1;
    double fullMs = 0;
    double blockedMs = 0;
    int shown = 0;
};

// A thumbnail page as the main window shows it: the grid laid out by the viewer's arithmetic for
// a screen class, drawn by the grid widget in a window on the offscreen platform (so it is
// painted as pictures arrive), and filled by the page fill on the benchmark's worker threads.
class BrowsePage {
public:
    BrowsePage(QSize screen, const Settings& sizes);
    ~BrowsePage();

    int cellCount() const;
    QSize cellPixels() const;
    // The thumbnail cache the page fill uses from now on; an empty root: none.
    void useCache(const QString& root);
    // A new page fill, with nothing in its memory.
    void restart();
    // Fills the page with these files and returns when it is complete; dies when it fails.
    FillTimes fill(const QStringList& paths);
    // Reads these files ahead and returns when that is done.
    void readAhead(const QStringList& paths);

private:
    std::unique_ptr<ThumbnailWorkers> m_workers;
    std::shared_ptr<const ThumbnailCache> m_cache;
    std::unique_ptr<QWidget> m_window;
    ThumbnailGrid* m_grid = nullptr;
    std::unique_ptr<PageFill> m_fill;
    QSize m_cellPixels;
};

// Lays out and paints a grid of every cell of these sizes on a screen of this class, each with
// a picture and a caption; returns the milliseconds and gives the number of cells.
double layOutAndPaintGrid(QSize screen, const Settings& sizes, int& cells);
