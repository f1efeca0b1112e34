// Times the metafile player on every WMF and EMF under the given folders (by default the shared
// corpus): each file is parsed and drawn fitted in 256 x 256, fitted in 1000 x 1000 and at its
// natural size, best of a few runs, then the medians are printed. Files that do not load are
// listed but left out of the medians.
#include "MetafileRenderer.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <algorithm>
#include <cstdio>

namespace {

constexpr int kRuns = 3;

// Milliseconds for the best of kRuns renders at the size fitted in `bound` (natural when the
// bound is empty); negative when the file does not render.
double timeRender(const QByteArray& data, QSize bound) {
    double best = -1;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        MetafileRenderer renderer(data);
        QSize size = renderer.naturalSize();
        if (!size.isValid())
            return -1;
        if (!bound.isEmpty())
            size = size.scaled(bound, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
        const QImage image = renderer.render(size);
        const double ms = timer.nsecsElapsed() / 1e6;
        if (image.isNull())
            return -1;
        best = best < 0 ? ms : std::min(best, ms);
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

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList folders = app.arguments().mid(1);
    if (folders.isEmpty())
        folders << QStringLiteral(LUMIVART_CORPUS_DIR);

    QStringList files;
    for (const QString& folder : folders) {
        QDirIterator it(folder, {"*.wmf", "*.emf", "*.WMF", "*.EMF"}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            files << it.next();
    }
    files.sort();
    if (files.isEmpty()) {
        std::fprintf(stderr, "bench_metafile: no WMF or EMF file under %s\n",
                     qPrintable(folders.join(", ")));
        return 1;
    }

    std::vector<double> small, large, natural;
    std::printf("%10s %10s %10s  %s\n", "256px ms", "1000px ms", "natural ms", "file");
    for (const QString& path : files) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray data = file.readAll();
        const double a = timeRender(data, QSize(256, 256));
        const double b = timeRender(data, QSize(1000, 1000));
        const double c = timeRender(data, QSize());
        const QString name = path.mid(path.lastIndexOf('/', path.lastIndexOf('/') - 1) + 1);
        if (a < 0 || b < 0) {
            std::printf("%10s %10s %10s  %s\n", "-", "-", "-", qPrintable(name));
            continue;
        }
        small.push_back(a);
        large.push_back(b);
        if (c >= 0)
            natural.push_back(c);
        std::printf("%10.2f %10.2f %10s  %s\n", a, b,
                    c >= 0 ? qPrintable(QString::number(c, 'f', 2)) : "-", qPrintable(name));
    }
    std::printf("\nmedian over %zu files: 256px %.2f ms, 1000x1000 %.2f ms, natural %.2f ms "
                "(%zu files)\n",
                small.size(), median(small), median(large), median(natural), natural.size());
    return 0;
}
