// Times the metafile player on every WMF and EMF under the given folders (by default the shared
// corpus): each file is parsed and drawn fitted in 256 x 256, fitted in 1000 x 1000 and at its
// natural size, best of a few runs, then the medians are printed, with the most drawing work
// any file did. Files that do not load are listed but left out of the medians.
//
// bench_metafile --heavy [SIDE]: times the files of HeavyMetafiles.h, drawn once at SIDE pixels
// a side (4000 by default), against the drawing budget.
#include "HeavyMetafiles.h"
#include "MetafileRenderer.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <algorithm>
#include <cstdio>

namespace {

constexpr int kRuns = 3;

struct Timing {
    double ms = -1; // negative when the file does not render
    qint64 work = 0;
    bool stoppedEarly = false;
    QString error;
};

// The best of `runs` renders at the size fitted in `bound` (natural when the bound is empty).
Timing timeRender(const QByteArray& data, QSize bound, int runs = kRuns) {
    Timing best;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        MetafileRenderer renderer(data);
        QSize size = renderer.naturalSize();
        if (!size.isValid())
            return {-1, 0, false, renderer.errorString()};
        if (!bound.isEmpty())
            size = size.scaled(bound, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
        const QImage image = renderer.render(size);
        const double ms = timer.nsecsElapsed() / 1e6;
        if (image.isNull())
            return {-1, renderer.workUsed(), false, renderer.errorString()};
        if (best.ms < 0 || ms < best.ms)
            best = {ms, renderer.workUsed(), renderer.stoppedEarly(), {}};
    }
    return best;
}

double median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double shareOfBudget(qint64 work) {
    return 100.0 * double(work) / double(MetafileLimits::kDrawingWork);
}

int benchHeavy(int side) {
    std::printf("%10s %8s %8s %8s  %s\n", "ms", "KiB", "budget %", "stopped", "file");
    for (const HeavyMetafile& file : heavyMetafiles(side)) {
        const Timing t = timeRender(file.bytes, QSize(), 2);
        std::printf("%10.1f %8lld %8.1f %8s  %s %s\n", t.ms, (long long)(file.bytes.size() / 1024),
                    shareOfBudget(t.work), t.stoppedEarly ? "yes" : "no", qPrintable(file.name),
                    qPrintable(t.error));
    }
    return 0;
}

QStringList metafilesUnder(const QStringList& folders) {
    QStringList files;
    for (const QString& folder : folders) {
        QDirIterator it(folder, {"*.wmf", "*.emf", "*.WMF", "*.EMF"}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            files << it.next();
    }
    files.sort();
    return files;
}

int benchFiles(const QStringList& files) {
    std::vector<double> small, large, natural;
    qint64 mostWork = 0;
    QString heaviest;
    std::printf("%10s %10s %10s  %s\n", "256px ms", "1000px ms", "natural ms", "file");
    for (const QString& path : files) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray data = file.readAll();
        const Timing a = timeRender(data, QSize(256, 256));
        const Timing b = timeRender(data, QSize(1000, 1000));
        const Timing c = timeRender(data, QSize());
        const QString name = path.mid(path.lastIndexOf('/', path.lastIndexOf('/') - 1) + 1);
        if (a.ms < 0 || b.ms < 0) {
            std::printf("%10s %10s %10s  %s\n", "-", "-", "-", qPrintable(name));
            continue;
        }
        small.push_back(a.ms);
        large.push_back(b.ms);
        if (c.ms >= 0)
            natural.push_back(c.ms);
        for (const Timing& t : {a, b, c})
            if (t.work > mostWork) {
                mostWork = t.work;
                heaviest = name;
            }
        std::printf("%10.2f %10.2f %10s  %s\n", a.ms, b.ms,
                    c.ms >= 0 ? qPrintable(QString::number(c.ms, 'f', 2)) : "-", qPrintable(name));
    }
    std::printf("\nmedian over %zu files: 256px %.2f ms, 1000x1000 %.2f ms, natural %.2f ms "
                "(%zu files)\nmost drawing work: %.2f%% of the budget (%s)\n",
                small.size(), median(small), median(large), median(natural), natural.size(),
                shareOfBudget(mostWork), qPrintable(heaviest));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (!args.isEmpty() && args.first() == u"--heavy")
        return benchHeavy(args.size() > 1 ? args[1].toInt() : 4000);
    if (args.isEmpty())
        args << QStringLiteral(LUMIVART_CORPUS_DIR);
    const QStringList files = metafilesUnder(args);
    if (files.isEmpty()) {
        std::fprintf(stderr, "bench_metafile: no WMF or EMF file under %s\n",
                     qPrintable(args.join(", ")));
        return 1;
    }
    return benchFiles(files);
}
