// bench_pagefill: how fast, and in how much memory, the viewer fills a page of 15 camera photos
// (and a page of mixed formats), side by side with the naive way (every picture decoded whole,
// one after the other), the JPEG decode limit (djpeg -scale 1/8 on each file, summed and shared
// among the cores) and the thumbnailers people have at hand (gdk-pixbuf-thumbnailer,
// vipsthumbnail). Every variant runs in a child process of its own, so that its peak resident
// memory is its own; the child times several runs after one warm-up run and the median is kept.
// The browse variants time the page as the main window fills it now, off the user-interface
// thread with the thumbnail cache, on a 1920 x 1080 screen with the start-up sizes, in a folder
// of 330 camera photos (see README.md).
//
//   bench_pagefill [--work DIR] [--runs N] [--screen WIDTHxHEIGHT] [--fresh] [--only NAMES]
#include "BenchPictures.h"
#include "BrowsePage.h"
#include "GridLayout.h"
#include "ImageBrowser.h"
#include "MainWindowLayout.h"
#include "Module1.h"
#include "PictureLoader.h"
#include "SettingsPersistence.h"
#include "StringTable.h"
#include "TestPictures.h"
#include "XdgSettingsStore.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QtConcurrent/QtConcurrentMap>
#include <QtEndian>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <optional>

namespace {

constexpr int kPhotoCount = 15;
constexpr QSize kPhotoSize(6000, 4000);
constexpr int kPhotoQuality = 90;
// The cell of the 5 x 3 page, in twips: 1338 x 1430, that is 89 x 95 pixels at 96 dpi.
constexpr int kCellWidthTwips = 1338;
constexpr int kCellHeightTwips = 1430;
// Written when a folder is complete, so an interrupted preparation is redone.
constexpr char kStamp[] = ".complete-v1";

[[noreturn]] void die(const QString& message) {
    std::fprintf(stderr, "bench_pagefill: %s\n", qPrintable(message));
    std::exit(2);
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        die(QStringLiteral("cannot write ") + path);
}

QStringList filesIn(const QString& folder) {
    QStringList paths;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase))
        paths.append(dir.filePath(name));
    return paths;
}

// ----- The folders -----

// Makes a folder's pictures unless a complete set is there: the stamp is written last, so an
// interrupted preparation is redone.
void prepareOnce(const QString& folder, const std::function<void()>& make) {
    if (QFile::exists(folder + '/' + kStamp))
        return;
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    std::printf("making the pictures of %s ...\n", qPrintable(folder));
    std::fflush(stdout);
    make();
    writeFile(folder + '/' + kStamp, {});
}

void preparePhotos(const QString& folder) {
    prepareOnce(folder, [&] {
        QList<int> seeds;
        for (int i = 1; i <= kPhotoCount; ++i)
            seeds.append(i);
        QtConcurrent::blockingMap(seeds, [&](int seed) {
            const QImage photo =
                BenchPictures::photo(kPhotoSize.width(), kPhotoSize.height(), quint32(seed));
            writeFile(QStringLiteral("%1/DSC%2.JPG").arg(folder).arg(seed, 4, 10, QChar('0')),
                      TestPictures::jpeg(photo, kPhotoQuality));
        });
    });
}

// A page of every other format the viewer reads, at sizes people have: large scans and
// screenshots, drawings in few colours, animations, icons, and the metafiles when the loader
// reads them.
void prepareMixed(const QString& folder, const QString& samples) {
    prepareOnce(folder, [&] {
        using namespace BenchPictures;
        const QImage scan = photo(3000, 2000, 101);
        const QImage drawing16 = posterized(photo(1600, 1200, 102), 16);
        const QImage drawing256 = posterized(photo(2000, 1500, 103), 256);
        writeFile(folder + "/scan.bmp", TestPictures::bmp(scan));
        writeFile(folder + "/screen.bmp", TestPictures::bmp(photo(1920, 1080, 104)));
        writeFile(folder + "/drawing 256.bmp",
                  TestPictures::bmp(drawing256.convertToFormat(QImage::Format_Indexed8)));
        writeFile(folder + "/clipboard.dib", TestPictures::headerlessDib(photo(1024, 768, 105)));
        writeFile(folder + "/drawing rle8.rle", TestPictures::rle8(drawing256));
        writeFile(folder + "/drawing rle4.rle", TestPictures::rle4(drawing16));
        writeFile(folder + "/map.gif", TestPictures::gif(posterized(photo(1600, 1200, 106), 256)));
        QList<QImage> frames;
        for (int i = 0; i < 4; ++i)
            frames.append(posterized(photo(640, 480, 107 + quint32(i)), 216));
        writeFile(folder + "/animation.gif", TestPictures::gifAnimation(frames, 10));
        QList<QImage> sizes;
        for (int side : {16, 32, 48, 256})
            sizes.append(photo(side, side, 111));
        writeFile(folder + "/program.ico", TestPictures::iconFile(sizes, 32));
        writeFile(folder + "/pointer.cur", TestPictures::iconFile({photo(32, 32, 112)}, 32, true));
        writeFile(folder + "/camera.jpg", TestPictures::jpeg(photo(4000, 3000, 113), 90));
        for (const char* name : {"drawing.wmf", "drawing.emf"}) {
            const QString source = samples + '/' + name;
            if (PictureLoader::load(source, QSize(256, 256)).ok())
                QFile::copy(source, folder + '/' + name);
            else
                std::printf("  (%s left out: the loader does not read it)\n", name);
        }
    });
}

// The same photos, each with the Adobe RGB profile of colord-data in its APP2 segment, as an
// editor saves them: every picture of the page is converted to the screen's colours.
void prepareProfiled(const QString& folder, const QString& photos) {
    prepareOnce(folder, [&] {
        const QByteArray adobe = TestPictures::installedProfile("colord/AdobeRGB1998.icc");
        if (adobe.isEmpty())
            die(QStringLiteral("colord-data's AdobeRGB1998.icc is not installed"));
        for (const QString& photo : filesIn(photos)) {
            QFile file(photo);
            if (!file.open(QIODevice::ReadOnly))
                die(QStringLiteral("cannot read ") + photo);
            writeFile(folder + '/' + QFileInfo(photo).fileName(),
                      TestPictures::withIccProfile(file.readAll(), adobe));
        }
    });
}

// The browse folders: 330 camera photos (links to the 15 photos, named as a camera names
// them), the same with the 160 x 107 preview a camera stores, and six run-length bitmaps of a
// few kilobytes that claim 16384 x 16384 pixels.
constexpr int kCameraCount = 330;

void linkOrCopy(const QString& from, const QString& to) {
    if (::link(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0 &&
        !QFile::copy(from, to))
        die(QStringLiteral("cannot link or copy ") + from);
}

void prepareCamera(const QString& folder, const QString& photos, bool withPreviews) {
    prepareOnce(folder, [&] {
        const QStringList originals = filesIn(photos);
        QStringList sources = originals;
        if (withPreviews) {
            sources.clear();
            for (const QString& original : originals) {
                QFile file(original);
                if (!file.open(QIODevice::ReadOnly))
                    die(QStringLiteral("cannot read ") + original);
                QImageReader reader(original);
                reader.setScaledSize(QSize(160, 107));
                const QByteArray preview = TestPictures::jpeg(reader.read(), 85);
                const QString path = folder + "/preview-" + QFileInfo(original).fileName();
                writeFile(path, TestPictures::withExif(file.readAll(), 1, preview));
                sources.append(path);
            }
        }
        for (int i = 0; i < kCameraCount; ++i)
            linkOrCopy(sources[i % sources.size()],
                       QStringLiteral("%1/IMG_%2.JPG").arg(folder).arg(i + 1, 4, 10, QChar('0')));
        for (const QString& source : sources)
            if (source.startsWith(folder))
                QFile::remove(source);
    });
}

void prepareBombs(const QString& folder) {
    prepareOnce(folder, [&] {
        for (int i = 0; i < 6; ++i) {
            QByteArray bytes = TestPictures::rle8(
                BenchPictures::posterized(BenchPictures::photo(64, 64, 200 + quint32(i)), 16));
            qToLittleEndian<qint32>(16384, bytes.data() + 18);
            qToLittleEndian<qint32>(16384, bytes.data() + 22);
            writeFile(QStringLiteral("%1/claims-16384-%2.rle").arg(folder).arg(i), bytes);
        }
    });
}

// ----- The variants, each run in a child process -----

struct FeedbackSink : BrowserFeedback {
    void showMessage(const QString& text, const QString&) override {
        die(QStringLiteral("unexpected message: ") + text);
    }
    void openPictureMenu() override {}
    void showFullScreenWindow(FullScreenRequest&) override {}
    void showBusy(bool) override {}
    void openHelp(int) override {}
};

QSize cellPixels() {
    const TwipsScale scale;
    return {scale.toPixels(kCellWidthTwips), scale.toPixels(kCellHeightTwips)};
}

// What a cell widget does to show its picture: scale it smoothly to the cell.
QImage shownInCell(const QImage& picture) {
    return picture.scaled(cellPixels(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// The viewer's own page fill: a browser started on the folder as its window starts it, its
// first file selected, and each cell's picture scaled to the cell as its widget shows it. The
// page's pictures stay in their cells until the next run.
class ViewerPageFill {
public:
    ViewerPageFill(const QString& folder, QSize screen) : m_folder(folder), m_screen(screen) {}

    QSize bound() const { return m_browser->zoom().pictureBound(); }

    double run() {
        m_browser.reset();
        m_module = Module1{};
        m_module.screen.pixels = m_screen;
        Settings stored = Settings::startupDefaults(m_folder);
        // Thumbnail sizes that give a page of 5 x 3 cells on an 800 x 600 screen.
        stored.ThumbWidth = kCellWidthTwips;
        stored.SpacingH = 254;
        stored.ThumbHeight = kCellHeightTwips;
        stored.SpacingV = 688;
        SaveSettings(stored, m_store);
        // A thumbnail cache of its own for every run, so each decodes the page.
        qputenv("XDG_CACHE_HOME", m_config.filePath(QString::number(++m_runs)).toLocal8Bit());
        m_browser = std::make_unique<ImageBrowser>(m_module, m_store, VolumeTable{{"/"}},
                                                   m_feedback, m_folder);
        m_browser->loadSettingsAndFolder();
        m_browser->CboFiltro_Change(LocalText(kTextAllFormats, m_module.settings.LanguageOffset));
        m_browser->chooseScreenClassAndLayOut();

        QElapsedTimer timer;
        timer.start();
        QEventLoop filled;
        QObject::connect(m_browser.get(), &ImageBrowser::pageFillEnded, &filled, &QEventLoop::quit);
        m_browser->File1().setListIndex(0);
        if (m_browser->page().isFilling())
            filled.exec();
        m_shown.clear();
        for (const ThumbnailCell& cell : m_browser->cells())
            if (cell.imageVisible)
                m_shown.push_back(shownInCell(cell.picture.image));
        const double ms = timer.nsecsElapsed() / 1e6;

        const int shown = static_cast<int>(m_shown.size());
        const int expected = std::min<int>(m_browser->File1().count(), m_module.LastCell + 1);
        if (shown != expected)
            die(QStringLiteral("the page shows %1 pictures instead of %2")
                    .arg(shown)
                    .arg(expected));
        return ms;
    }

private:
    QString m_folder;
    QSize m_screen;
    QTemporaryDir m_config;
    XdgSettingsStore m_store{m_config.filePath("Lumi Vart")};
    Module1 m_module;
    FeedbackSink m_feedback;
    std::unique_ptr<ImageBrowser> m_browser;
    std::vector<QImage> m_shown;
    int m_runs = 0;
};

// The first version's way: each picture decoded whole, one after the other, and scaled to its
// cell (smoothly as the cell widget does, or by sampling, the cheapest way); the cells keep the
// whole pictures, as that version's cells did.
double naivePageFill(const QStringList& files, Qt::TransformationMode scaling) {
    QElapsedTimer timer;
    timer.start();
    std::vector<QImage> whole;
    std::vector<QImage> thumbnails;
    for (const QString& file : files) {
        QImageReader reader(file);
        reader.setAutoTransform(true);
        reader.setAllocationLimit(0);
        QImage image = reader.read();
        if (image.isNull())
            continue; // a metafile, which has no whole size to decode at
        thumbnails.push_back(image.scaled(cellPixels(), Qt::IgnoreAspectRatio, scaling));
        whole.push_back(std::move(image));
    }
    return timer.nsecsElapsed() / 1e6;
}

// Runs the commands one after another (or `parallel` at a time) and gives the wall time.
double runCommands(const QList<QStringList>& commands, int parallel) {
    QElapsedTimer timer;
    timer.start();
    for (qsizetype first = 0; first < commands.size(); first += parallel) {
        std::vector<std::unique_ptr<QProcess>> running;
        for (qsizetype i = first; i < std::min(commands.size(), first + parallel); ++i) {
            auto process = std::make_unique<QProcess>();
            process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            process->setStandardOutputFile(QProcess::nullDevice());
            process->start(commands[i].front(), commands[i].mid(1));
            running.push_back(std::move(process));
        }
        for (auto& process : running) {
            if (!process->waitForFinished(-1) || process->exitStatus() != QProcess::NormalExit ||
                process->exitCode() != 0)
                die(QStringLiteral("%1 failed").arg(process->program()));
        }
    }
    return timer.nsecsElapsed() / 1e6;
}

// The peak resident memory of this process, and of the largest of its finished children.
qint64 ownPeakKb() {
    QFile status("/proc/self/status");
    if (status.open(QIODevice::ReadOnly | QIODevice::Text))
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').front().toLongLong();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

qint64 childrenPeakKb() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_maxrss;
}

// Processor time (user and system, all threads) spent so far by this process or by its
// finished children, in milliseconds.
double cpuMs(bool children) {
    rusage usage{};
    getrusage(children ? RUSAGE_CHILDREN : RUSAGE_SELF, &usage);
    auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// The machine's load average over the last minute: other work running beside the benchmark
// makes the parallel variants slower than they are.
QString loadAverage() {
    QFile file("/proc/loadavg");
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll().split(' ').front())
                                          : QStringLiteral("?");
}

struct Variant {
    QString name;
    QString description;
    QString folder; // "photos", "mixed", "camera", "previews" or "bombs"
    bool external;  // true: the memory is that of the tools it runs
};

const QList<Variant>& variants() {
    static const QList<Variant> list = {
        {"pagefill", "page fill as the viewer does it", "photos", false},
        {"naive", "naive: whole pictures one by one, scaled smoothly", "photos", false},
        {"naive-sampled", "naive: whole pictures one by one, scaled by sampling", "photos", false},
        {"loader-sequential", "the viewer's loader, one file after another", "photos", false},
        {"djpeg", "djpeg -scale 1/8, each file, sequential", "photos", true},
        {"gdk-pixbuf", "gdk-pixbuf-thumbnailer -s 256, each file, sequential", "photos", true},
        {"gdk-pixbuf-parallel", "gdk-pixbuf-thumbnailer -s 256, one a core", "photos", true},
        {"vips", "vipsthumbnail -s 256, each file, sequential", "photos", true},
        {"vips-one-process", "vipsthumbnail -s 256, all files in one process", "photos", true},
        {"pagefill-mixed", "page fill as the viewer does it", "mixed", false},
        {"pagefill-adobe", "page fill, photos with an Adobe RGB profile", "photos-adobe", false},
        {"naive-mixed", "naive: whole pictures one by one, scaled smoothly", "mixed", false},
        {"cold", "page, empty thumbnail cache", "camera", false},
        {"warm", "page, thumbnails cached by a first visit", "camera", false},
        {"back", "page seen before, again (paging back)", "camera", false},
        {"next-page", "next page after reading ahead", "camera", false},
        {"previews", "page of photos with a camera preview, empty cache", "previews", false},
        {"cold-300", "page of 323 cells, empty thumbnail cache", "camera", false},
        {"cold-adobe", "page, empty cache, photos with an Adobe RGB profile", "camera-adobe",
         false},
        {"bombs", "six bitmaps claiming 16384 x 16384, empty cache", "bombs", false},
        {"grid", "lay out and paint every cell of the smallest sizes", "camera", false},
        {"djpeg-page", "djpeg -scale 1/8 on each file of the page", "camera", true},
        {"gdk-pixbuf-page", "gdk-pixbuf-thumbnailer -s 128 on each file", "camera", true},
        {"gdk-pixbuf-page-parallel", "gdk-pixbuf-thumbnailer -s 128, one a core", "camera", true},
    };
    return list;
}

bool isBrowseVariant(const Variant& v) {
    return v.folder.startsWith("camera") || v.folder == "previews" || v.folder == "bombs";
}

// The screen and the sizes of the browse variants: the start-up sizes on a 1920 x 1080 screen
// (90 cells), sizes that give 323 cells there, and the smallest sizes the preferences allow on
// a 1024 x 768 screen (14,148 cells).
constexpr QSize kBrowseScreen(1920, 1080);
constexpr QSize kSmallestCellsScreen(1024, 768);

Settings browseSizes(const QString& variant) {
    Settings s = Settings::startupDefaults(QDir::tempPath());
    if (variant == "cold-300") {
        s.ThumbWidth = s.ThumbHeight = 240;
        s.SpacingH = s.SpacingV = 240;
    } else if (variant == "grid") {
        s.ThumbWidth = s.ThumbHeight = 50;
        s.CaptionWidth = 0;
        s.SpacingH = s.SpacingV = 50;
    }
    return s;
}

using Metrics = std::map<QString, double>; // "time" and others, in milliseconds

int browseCellCount(const QString& variant) {
    const auto layout = Calculos(screenClassOf(kBrowseScreen), browseSizes(variant), 165);
    return layout ? static_cast<int>(layout->cells.size()) : 0;
}

Metrics fillMetrics(const FillTimes& times) {
    return {{"time", times.fullMs}, {"first", times.firstMs}, {"blocked", times.blockedMs}};
}

// One run of a browse variant; the page is the first of the folder, as the file list shows it
// from its first entry, and the next page starts at its last cell.
std::function<Metrics()> browseRun(const QString& name, const QStringList& files,
                                   QTemporaryDir& scratch) {
    auto page = std::make_shared<BrowsePage>(kBrowseScreen, browseSizes(name));
    const int cells = page->cellCount();
    const QStringList first = files.first(std::min<qsizetype>(cells, files.size()));
    const QStringList next = files.mid(cells - 1, cells);
    if (name == "next-page" && next.size() < cells)
        die(QStringLiteral("the folder holds fewer files than two pages"));
    auto runs = std::make_shared<int>(0);
    // A cache folder of its own for every run, so each starts empty.
    auto freshCache = [&scratch, runs, page] {
        page->useCache(scratch.filePath(QStringLiteral("cache-%1").arg(++*runs)));
    };
    if (name == "warm") {
        page->useCache(scratch.filePath("cache"));
        return [page, first] {
            page->restart();
            return fillMetrics(page->fill(first));
        };
    }
    if (name == "back")
        return [page, first] {
            page->fill(first);
            return fillMetrics(page->fill(first));
        };
    if (name == "next-page")
        return [page, first, next, freshCache] {
            freshCache();
            page->fill(first);
            page->readAhead(next);
            return fillMetrics(page->fill(next));
        };
    return [page, first, freshCache] {
        freshCache();
        return fillMetrics(page->fill(first));
    };
}

// Runs one variant in this process: a warm-up run, then `runs` timed runs; prints each time and
// the peak memory for the parent to read.
int runVariant(const QString& name, const QString& work, int runs, QSize screen) {
    const auto chosen = std::find_if(variants().begin(), variants().end(),
                                     [&](const Variant& v) { return v.name == name; });
    if (chosen == variants().end())
        die(QStringLiteral("unknown variant ") + name);
    const QString folder = work + '/' + chosen->folder;
    QStringList files = filesIn(folder);
    if (chosen->external && isBrowseVariant(*chosen)) // the tools get the page's files
        files = files.first(browseCellCount("page"));
    QTemporaryDir out;
    const QString djpeg = QStandardPaths::findExecutable("djpeg");
    const QString gdk = QStandardPaths::findExecutable("gdk-pixbuf-thumbnailer");
    const QString vips = QStandardPaths::findExecutable("vipsthumbnail");

    std::function<Metrics()> once;
    auto timed = [](std::function<double()> run) {
        return [run] { return Metrics{{"time", run()}}; };
    };
    std::unique_ptr<ViewerPageFill> viewer;
    if (name.startsWith("pagefill")) {
        viewer = std::make_unique<ViewerPageFill>(folder, screen);
        once = timed([&] { return viewer->run(); });
    } else if (name.startsWith("naive")) {
        const auto scaling =
            name == "naive-sampled" ? Qt::FastTransformation : Qt::SmoothTransformation;
        once = timed([&files, scaling] { return naivePageFill(files, scaling); });
    } else if (name == "loader-sequential") {
        // The bound the viewer gives at this screen size, found by a page fill.
        ViewerPageFill page(folder, screen);
        page.run();
        const QSize bound = page.bound();
        once = timed([&files, bound] {
            QElapsedTimer timer;
            timer.start();
            std::vector<QImage> shown;
            for (const QString& file : files)
                shown.push_back(shownInCell(PictureLoader::load(file, bound).picture.image));
            return timer.nsecsElapsed() / 1e6;
        });
    } else if (name == "grid") {
        once = [] {
            int cells = 0;
            const double ms = layOutAndPaintGrid(kSmallestCellsScreen, browseSizes("grid"), cells);
            return Metrics{{"time", ms}, {"cells", cells}};
        };
    } else if (isBrowseVariant(*chosen) && !chosen->external) {
        once = browseRun(name, files, out);
    } else {
        QList<QStringList> commands;
        int parallel = 1;
        const QString side = isBrowseVariant(*chosen) ? "128" : "256";
        for (const QString& file : files) {
            const QString target = out.filePath(QFileInfo(file).completeBaseName());
            if (name.startsWith("djpeg"))
                commands.append({djpeg, "-scale", "1/8", "-outfile", "/dev/null", file});
            else if (name.startsWith("gdk-pixbuf"))
                commands.append({gdk, "-s", side, file, target + ".png"});
            else if (name == "vips")
                commands.append({vips, "-s", "256", "-o", target + ".jpg", file});
        }
        if (name == "vips-one-process")
            commands.append(QStringList{vips, "-s", "256", "-o", out.filePath("%s.jpg")} + files);
        if (name.startsWith("gdk-pixbuf") && name.endsWith("parallel"))
            parallel = QThread::idealThreadCount();
        if (commands.isEmpty() || commands.front().front().isEmpty())
            return 3; // the tool is not installed
        once = timed([commands, parallel] { return runCommands(commands, parallel); });
    }

    once(); // warm-up: files in the page cache, libraries loaded
    for (int i = 0; i < runs; ++i) {
        const double cpuBefore = cpuMs(chosen->external);
        for (const auto& [metric, value] : once())
            std::printf("%s_ms %.3f\n", qPrintable(metric), value);
        std::printf("cpu_ms %.3f\n", cpuMs(chosen->external) - cpuBefore);
    }
    std::printf("peak_kb %lld\n", chosen->external ? childrenPeakKb() : ownPeakKb());
    return 0;
}

// ----- The parent: runs every variant and reports -----

struct Figures {
    double medianMs = 0;
    double medianCpuMs = 0;
    qint64 peakKb = 0;
    std::map<QString, double> other; // medians of the other figures, by name

    double get(const char* name) const {
        const auto found = other.find(QString::fromLatin1(name));
        return found == other.end() ? -1 : found->second;
    }
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::optional<Figures> measure(const QString& variant, const QString& work, int runs,
                               QSize screen) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
                {"--variant", variant, "--work", work, "--runs", QString::number(runs), "--screen",
                 QStringLiteral("%1x%2").arg(screen.width()).arg(screen.height())});
    if (!child.waitForFinished(-1) || child.exitStatus() != QProcess::NormalExit)
        die(variant + " crashed");
    if (child.exitCode() == 3)
        return std::nullopt;
    if (child.exitCode() != 0)
        die(variant + " failed");
    std::map<QString, std::vector<double>> values; // "time", "cpu" and the others
    Figures figures;
    for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> words = line.split(' ');
        if (words.size() != 2)
            continue;
        if (words[0] == "peak_kb")
            figures.peakKb = words[1].toLongLong();
        else if (words[0].endsWith("_ms"))
            values[QString::fromLatin1(words[0].chopped(3))].push_back(words[1].toDouble());
    }
    if (values["time"].empty())
        die(variant + " gave no time");
    for (const auto& [name, list] : values)
        figures.other[name] = median(list);
    figures.medianMs = figures.other["time"];
    figures.medianCpuMs = values["cpu"].empty() ? 0 : figures.other["cpu"];
    return figures;
}

QString verdict(bool met) {
    return met ? QStringLiteral("met") : QStringLiteral("MISSED");
}

// The targets of the browse variants, for those that ran.
void reportBrowseTargets(const std::map<QString, Figures>& got, int cores) {
    auto has = [&](const char* name) { return got.count(QString::fromLatin1(name)) > 0; };
    auto at = [&](const char* name) { return got.at(QString::fromLatin1(name)); };
    std::printf("\nbrowse page targets (%d cells, %dx%d)\n", browseCellCount("page"),
                kBrowseScreen.width(), kBrowseScreen.height());
    if (has("cold")) {
        const Figures& cold = at("cold");
        std::printf("  first picture, cold               %6.0f ms (target <= 150: %s)\n",
                    cold.get("first"), qPrintable(verdict(cold.get("first") <= 150)));
        std::printf("  thread blocked, cold              %6.1f ms (target <= 50: %s)\n",
                    cold.get("blocked"), qPrintable(verdict(cold.get("blocked") <= 50)));
        std::printf("  peak RSS, cold                    %6.0f MB (target < 300: %s)\n",
                    cold.peakKb / 1024.0, qPrintable(verdict(cold.peakKb < 300 * 1024)));
    }
    if (has("grid"))
        std::printf("  grid of %.0f cells laid out, painted %4.0f ms (target <= 100: %s)\n",
                    at("grid").get("cells"), at("grid").medianMs,
                    qPrintable(verdict(at("grid").medianMs <= 100)));
    if (has("next-page"))
        std::printf("  next page after reading ahead     %6.0f ms (target <= 100: %s)\n",
                    at("next-page").medianMs, qPrintable(verdict(at("next-page").medianMs <= 100)));
    if (has("djpeg-page")) {
        const double limit = at("djpeg-page").medianMs / cores;
        std::printf("  decode limit of the page          %6.0f ms (djpeg wall time / %d cores)\n",
                    limit, cores);
        if (has("cold"))
            std::printf("  cold page / decode limit          %6.2f    (target <= 1.25: %s)\n",
                        at("cold").medianMs / limit,
                        qPrintable(verdict(at("cold").medianMs <= 1.25 * limit)));
        if (has("warm"))
            std::printf("  decode limit / warm page          %6.1f    (target >= 10: %s)\n",
                        limit / at("warm").medianMs,
                        qPrintable(verdict(limit >= 10 * at("warm").medianMs)));
    }
    if (has("cold") && has("cold-adobe"))
        std::printf("  cold page, profiled / untagged    %6.2f    (target <= 1.05: %s)\n",
                    at("cold-adobe").medianMs / at("cold").medianMs,
                    qPrintable(verdict(at("cold-adobe").medianMs <= 1.05 * at("cold").medianMs)));
    if (has("cold-300"))
        std::printf("  peak RSS, page of 323 cells       %6.0f MB (target < 300: %s)\n",
                    at("cold-300").peakKb / 1024.0,
                    qPrintable(verdict(at("cold-300").peakKb < 300 * 1024)));
    if (has("bombs"))
        std::printf(
            "  six 16384 x 16384 bitmaps         %6.0f ms, %.0f MB (targets <= 1000 ms, "
            "< 300 MB: %s)\n",
            at("bombs").medianMs, at("bombs").peakKb / 1024.0,
            qPrintable(verdict(at("bombs").medianMs <= 1000 && at("bombs").peakKb < 300 * 1024)));
}

int report(const QString& work, int runs, QSize screen, const QStringList& only) {
    const int cores = QThread::idealThreadCount();
    std::printf("\npage fill benchmark: %d photos %dx%d (quality %d), screen %dx%d, %d cores, "
                "median of %d runs after a warm-up; load average %s at the start\n\n",
                kPhotoCount, kPhotoSize.width(), kPhotoSize.height(), kPhotoQuality, screen.width(),
                screen.height(), cores, runs, qPrintable(loadAverage()));
    std::printf("%-24s %-53s %9s %9s %8s %9s %10s\n", "variant", "", "wall ms", "cpu ms", "peak MB",
                "first ms", "blocked ms");
    std::map<QString, Figures> got;
    for (const Variant& v : variants()) {
        if (!only.isEmpty() && !only.contains(v.name))
            continue;
        // The naive way takes seconds a run: fewer runs keep the benchmark short.
        const int n = v.name.startsWith("naive") ? std::min(runs, 3) : runs;
        const auto figures = measure(v.name, work, n, screen);
        if (!figures) {
            std::printf("%-24s %-53s %9s\n", qPrintable(v.name), qPrintable(v.description),
                        "not installed");
            continue;
        }
        got[v.name] = *figures;
        std::printf("%-24s %-53s %9.0f %9.0f %8.0f", qPrintable(v.name), qPrintable(v.description),
                    figures->medianMs, figures->medianCpuMs, figures->peakKb / 1024.0);
        if (figures->get("first") >= 0)
            std::printf(" %9.1f %10.1f", figures->get("first"), figures->get("blocked"));
        if (figures->get("cells") >= 0)
            std::printf("   (%.0f cells)", figures->get("cells"));
        std::printf("\n");
        std::fflush(stdout);
    }
    reportBrowseTargets(got, cores);

    if (!got.count("pagefill") || !got.count("djpeg") || !got.count("naive"))
        return 0; // a partial run: no ratios
    const double page = got.at("pagefill").medianMs;
    const double limit = got.at("djpeg").medianMs / cores;
    std::printf("\n%-20s %-53s %9.0f\n", "decode limit",
                qPrintable(QStringLiteral("djpeg wall time / %1 cores").arg(cores)), limit);
    std::printf("load average %s at the end\n", qPrintable(loadAverage()));

    // The peers as a user meets them: a thumbnailer run on each file in turn, as a file
    // manager runs it, or vipsthumbnail given the whole folder.
    QString fastestPeer;
    for (const char* peer : {"gdk-pixbuf", "vips", "vips-one-process"})
        if (got.count(peer) &&
            (fastestPeer.isEmpty() || got[peer].medianMs < got[fastestPeer].medianMs))
            fastestPeer = peer;

    std::printf("\nratios and targets\n");
    const double toLimit = page / limit;
    std::printf("  page fill / decode limit         %6.2f   (target <= 1.25: %s)\n", toLimit,
                qPrintable(verdict(toLimit <= 1.25)));
    if (!fastestPeer.isEmpty()) {
        const double toPeer = got[fastestPeer].medianMs / page;
        std::printf("  fastest peer / page fill         %6.2f   (%s; target >= 2: %s)\n", toPeer,
                    qPrintable(fastestPeer), qPrintable(verdict(toPeer >= 2)));
    }
    if (got.count("gdk-pixbuf-parallel"))
        std::printf("  peer on every core / page fill   %6.2f   (gdk-pixbuf-parallel; no target)\n",
                    got["gdk-pixbuf-parallel"].medianMs / page);
    const double toNaive = got.at("naive").medianMs / page;
    std::printf("  naive / page fill                %6.2f   (target >= 8: %s)\n", toNaive,
                qPrintable(verdict(toNaive >= 8)));
    std::printf("  naive / decode limit             %6.2f   (the most any page fill that decodes "
                "every file could reach)\n",
                got.at("naive").medianMs / limit);
    const double peakMb = got.at("pagefill").peakKb / 1024.0;
    std::printf("  page fill peak RSS               %6.0f MB (target < 250 MB: %s)\n", peakMb,
                qPrintable(verdict(peakMb < 250)));
    if (got.count("pagefill-mixed") && got.count("naive-mixed"))
        std::printf("  mixed folder: naive / page fill %4.2f, page fill peak RSS %.0f MB\n",
                    got["naive-mixed"].medianMs / got["pagefill-mixed"].medianMs,
                    got["pagefill-mixed"].peakKb / 1024.0);
    if (got.count("pagefill-adobe"))
        std::printf("  page fill, profiled / untagged  %6.2f    (target <= 1.05: %s)\n",
                    got["pagefill-adobe"].medianMs / page,
                    qPrintable(verdict(got["pagefill-adobe"].medianMs <= 1.05 * page)));
    return 0;
}

QSize parseSize(const QString& text) {
    const QStringList parts = text.split('x');
    if (parts.size() != 2)
        return {};
    return {parts[0].toInt(), parts[1].toInt()};
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription("Times the viewer's page fill against the naive way, the "
                                     "JPEG decode limit and other thumbnailers.");
    parser.addHelpOption();
    const QCommandLineOption workOption("work",
                                        "Folder for the generated pictures (kept between runs).",
                                        "dir", QDir::temp().filePath("lumivart-bench-pagefill"));
    const QCommandLineOption runsOption("runs", "Timed runs a variant (default 5).", "n", "5");
    const QCommandLineOption screenOption("screen", "Screen size for the page fill.", "WxH",
                                          "800x600");
    const QCommandLineOption freshOption("fresh", "Make the pictures anew.");
    const QCommandLineOption onlyOption("only", "Run only these variants (comma-separated).",
                                        "names");
    const QCommandLineOption variantOption("variant", "Run one variant (used internally).", "name");
    parser.addOptions(
        {workOption, runsOption, screenOption, freshOption, onlyOption, variantOption});
    parser.process(app);

    const QString work = QDir(parser.value(workOption)).absolutePath();
    const int runs = std::max(1, parser.value(runsOption).toInt());
    const QSize screen = parseSize(parser.value(screenOption));
    if (screen.isEmpty())
        die("--screen takes WIDTHxHEIGHT, such as 800x600");
    if (parser.isSet(variantOption))
        return runVariant(parser.value(variantOption), work, runs, screen);

    if (parser.isSet(freshOption))
        QDir(work).removeRecursively();
    preparePhotos(work + "/photos");
    prepareMixed(work + "/mixed", QStringLiteral(LUMIVART_SAMPLES_DIR));
    prepareCamera(work + "/camera", work + "/photos", false);
    prepareProfiled(work + "/photos-adobe", work + "/photos");
    prepareCamera(work + "/camera-adobe", work + "/photos-adobe", false);
    prepareCamera(work + "/previews", work + "/photos", true);
    prepareBombs(work + "/bombs");
    return report(work, runs, screen, parser.value(onlyOption).split(',', Qt::SkipEmptyParts));
}
