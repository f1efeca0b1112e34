#include "BrowsePage.h"

#include "GridLayout.h"
#include "MainWindowLayout.h"
#include "PageFill.h"
#include "Settings.h"
#include "ThumbnailCache.h"
#include "ThumbnailGrid.h"
#include "ThumbnailWorkers.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QImage>
#include <QTimer>

#include <cstdio>

namespace {

constexpr qint16 kCaptionHeight = 165;
constexpr int kTickMs = 5;

std::optional<GridLayout> layoutFor(QSize screen, const Settings& sizes) {
    return Calculos(screenClassOf(screen), sizes, kCaptionHeight);
}

[[noreturn]] void fail(const char* message) {
    std::fprintf(stderr, "bench_pagefill: %s\n", message);
    std::exit(2);
}

} // namespace

BrowsePage::BrowsePage(QSize screen, const Settings& sizes)
    : m_workers(std::make_unique<ThumbnailWorkers>()), m_window(std::make_unique<QWidget>()) {
    const auto layout = layoutFor(screen, sizes);
    if (!layout || layout->cells.empty())
        fail("the sizes give no cell");
    const TwipsScale scale;
    m_grid = new ThumbnailGrid(scale, m_window.get());
    m_grid->setPlaces(layout->cells);
    m_cellPixels = scale.toPixels(QRectF(layout->cells.front().image)).size();
    m_window->resize(screen);
    m_window->show();
    restart();
}

BrowsePage::~BrowsePage() {
    m_fill.reset();
    m_workers->waitForDone();
}

int BrowsePage::cellCount() const {
    return m_grid->cellCount();
}

QSize BrowsePage::cellPixels() const {
    return m_cellPixels;
}

void BrowsePage::useCache(const QString& root) {
    m_cache = root.isEmpty() ? nullptr : std::make_shared<ThumbnailCache>(root);
    restart();
}

void BrowsePage::restart() {
    m_fill = std::make_unique<PageFill>(*m_workers, m_cache);
}

FillTimes BrowsePage::fill(const QStringList& paths) {
    for (int i = 0; i < m_grid->cellCount(); ++i)
        m_grid->setCell(i, {}, {}, false);
    QCoreApplication::processEvents(); // the emptied page is painted before the clock starts

    FillTimes times;
    QElapsedTimer clock;
    QEventLoop loop;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(kTickMs);
    qint64 lastTick = 0;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        times.blockedMs = std::max(times.blockedMs, (now - lastTick) / 1e6 - kTickMs);
        lastTick = now;
    });
    QObject::connect(m_fill.get(), &PageFill::pictureReady, [&](int i, const Picture& picture) {
        if (times.firstMs < 0)
            times.firstMs = clock.nsecsElapsed() / 1e6;
        m_grid->setCell(i, QFileInfo(paths[i]).fileName(), picture.image, true);
        ++times.shown;
    });
    QObject::connect(m_fill.get(), &PageFill::completed, &loop, &QEventLoop::quit);
    QObject::connect(m_fill.get(), &PageFill::failed, [] { fail("a picture of the page failed"); });

    clock.start();
    ticker.start();
    m_fill->start(paths, m_cellPixels);
    loop.exec();
    times.fullMs = clock.nsecsElapsed() / 1e6;
    QCoreApplication::processEvents(); // the last pictures are painted
    m_fill->disconnect();
    return times;
}

void BrowsePage::readAhead(const QStringList& paths) {
    QEventLoop loop;
    const auto connection =
        QObject::connect(m_fill.get(), &PageFill::readAheadDone, &loop, &QEventLoop::quit);
    m_fill->readAhead(paths, m_cellPixels);
    loop.exec();
    QObject::disconnect(connection);
}

double layOutAndPaintGrid(QSize screen, const Settings& sizes, int& cells) {
    QElapsedTimer clock;
    clock.start();
    const auto layout = layoutFor(screen, sizes);
    if (!layout)
        fail("the sizes give no grid");
    QWidget window;
    window.resize(screen);
    const TwipsScale scale;
    ThumbnailGrid grid(scale, &window);
    grid.setPlaces(layout->cells);
    QImage picture(scale.toPixels(QRectF(layout->cells.front().image)).size(),
                   QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    for (int i = 0; i < grid.cellCount(); ++i)
        grid.setCell(i, QStringLiteral("DSC%1.JPG").arg(i, 5, 10, QChar('0')), picture, true);
    QImage target(screen, QImage::Format_RGB32);
    window.render(&target);
    cells = grid.cellCount();
    return clock.nsecsElapsed() / 1e6;
}
