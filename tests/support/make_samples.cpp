// Draws the sample pictures of the quick start: one or more of every raster format the viewer
// reads, written under the names users give them. Run once, from the build folder:
//   make_samples <project>/samples
#include "ProgramArt.h"
#include "TestPictures.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

QImage landscape(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, height);
    sky.setColorAt(0, QColor(30, 60, 140));
    sky.setColorAt(0.6, QColor(250, 150, 90));
    sky.setColorAt(1, QColor(255, 210, 140));
    p.fillRect(image.rect(), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 230, 120));
    p.drawEllipse(QPointF(width * 0.7, height * 0.55), height * 0.09, height * 0.09);
    const QColor hills[] = {QColor(60, 90, 70), QColor(40, 70, 50), QColor(25, 45, 35)};
    for (int layer = 0; layer < 3; ++layer) {
        QPainterPath hill;
        const double base = height * (0.62 + 0.1 * layer);
        hill.moveTo(0, base);
        for (int x = 0; x <= width; x += width / 8)
            hill.lineTo(x, base - height * 0.06 * ((x / (width / 8) + layer) % 3));
        hill.lineTo(width, height);
        hill.lineTo(0, height);
        hill.closeSubpath();
        p.setBrush(hills[layer]);
        p.drawPath(hill);
    }
    return image;
}

QImage tiles(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    QPainter p(&image);
    const QColor colours[] = {QColor(230, 57, 70), QColor(241, 250, 238), QColor(168, 218, 220),
                              QColor(69, 123, 157), QColor(29, 53, 87)};
    const int step = 24;
    for (int y = 0; y < height; y += step)
        for (int x = 0; x < width; x += step)
            p.fillRect(x, y, step, step, colours[(x / step + 2 * (y / step)) % 5]);
    return image;
}

// Few flat colours, as run-length bitmaps and GIFs hold them.
QImage flowers(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(200, 230, 255));
    QPainter p(&image);
    p.setPen(Qt::NoPen);
    p.fillRect(0, height * 3 / 4, width, height / 4, QColor(80, 160, 60));
    for (int i = 0; i < 5; ++i) {
        const int cx = width * (i + 1) / 6;
        const int cy = height / 2 + (i % 2) * height / 10;
        p.fillRect(cx - 2, cy, 4, height * 3 / 4 - cy, QColor(40, 120, 40));
        p.setBrush(i % 2 ? QColor(250, 80, 120) : QColor(250, 200, 40));
        p.drawEllipse(QPoint(cx, cy), width / 18, width / 18);
        p.setBrush(QColor(120, 60, 20));
        p.drawEllipse(QPoint(cx, cy), width / 50, width / 50);
    }
    return image;
}

bool save(const QString& folder, const QString& name, const QByteArray& bytes) {
    QFile file(folder + '/' + name);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_samples FOLDER\n");
        return 1;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    using namespace TestPictures;
    const QImage portrait = landscape(300, 400).transformed(QTransform().rotate(-90));
    const bool ok =
        save(folder, "atardecer.jpg", jpeg(landscape(640, 400), 88)) &&
        save(folder, "retrato girado.jpeg", jpegWithOrientation(portrait, 6)) &&
        save(folder, "mosaico.bmp", bmp(tiles(240, 160))) &&
        save(folder, "mosaico sin cabecera.dib", headerlessDib(tiles(96, 96))) &&
        save(folder, "flores.rle", rle8(flowers(300, 200))) &&
        save(folder, "flores 16 colores.bmp", rle4(flowers(150, 100))) &&
        save(folder, "flores.gif", gif(flowers(240, 160))) &&
        save(folder, "lumivart.ico", ico(ProgramArt::icon(ProgramArt::kIconProgram))) &&
        save(folder, "lupa.cur",
             cur(ProgramArt::cursor(ProgramArt::kCursorMagnifier).pixmap().toImage(), {11, 11}));
    return ok ? 0 : 1;
}
