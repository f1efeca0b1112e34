// Writes the quick start's sample metafiles, samples/drawing.wmf (placeable) and
// samples/drawing.emf, with the test builders: a small colourful drawing of shapes, a line and
// some text. Run once by hand (make_metafile_samples SAMPLES_FOLDER); the files are committed.
#include "MetafileBuilders.h"

#include <QDir>
#include <QFile>
#include <cstdio>

using namespace MetafileBuilders;

namespace {

// The drawing in logical units of a 6000 x 4500 window (a 400 x 300 pixel picture at 96 dpi
// when the unit is a twip).
const QColor kSky(0xdd, 0xee, 0xff);
const QColor kSun(0xff, 0xc8, 0x20);
const QColor kHouse(0xd0, 0x40, 0x30);
const QColor kRoof(0x50, 0x30, 0x90);
const QColor kGrass(0x30, 0xa0, 0x40);
const QColor kLine(0x20, 0x60, 0xc0);

QByteArray makeWmf() {
    WmfBuilder wmf(QRect(0, 0, 6000, 4500), 1440);
    wmf.setMapMode(8).setWindowOrg(0, 0).setWindowExt(6000, 4500).setBkMode(1);
    // Pens 0 to 2: no outline, a thin black outline, a thick blue line.
    wmf.createPen(5, 0, Qt::black).createPen(0, 30, Qt::black).createPen(0, 120, kLine);
    wmf.createBrush(0, kSky).createBrush(0, kSun).createBrush(0, kHouse).createBrush(0, kRoof);
    wmf.createBrush(0, kGrass); // 3..7
    wmf.selectObject(0).selectObject(3).rectangle(QRect(0, 0, 6000, 4500));
    wmf.selectObject(7).rectangle(QRect(0, 3400, 6000, 1100));
    wmf.selectObject(1).selectObject(4).ellipse(QRect(4300, 400, 1100, 1100));
    wmf.selectObject(5).rectangle(QRect(1000, 2000, 1800, 1500));
    wmf.selectObject(6).polygon({{800, 2000}, {1900, 1000}, {3000, 2000}});
    wmf.selectObject(2).moveTo(3400, 4200).lineTo(5700, 3000);
    wmf.createFont(-420, "Arial", 700).selectObject(8);
    wmf.setTextColor(QColor(0x10, 0x10, 0x40)).textOut(300, 200, "WMF");
    return wmf.finish();
}

QByteArray makeEmf() {
    // Frame of 105.83 x 79.38 mm: 400 x 300 pixels at 96 dpi; the window maps onto it.
    EmfBuilder emf(QRect(0, 0, 10583, 7938), 96 / 25.4);
    emf.setMapMode(8).setWindowExt(6000, 4500).setViewportExt(400, 300).setBkMode(1);
    emf.selectObject(0x80000008);
    emf.createBrush(1, 0, kSky).selectObject(1).rectangle(QRect(0, 0, 6000, 4500));
    emf.createBrush(2, 0, kGrass).selectObject(2).rectangle(QRect(0, 3400, 6000, 1100));
    emf.createPen(3, 0, 30, Qt::black).selectObject(3);
    emf.createBrush(4, 0, kSun).selectObject(4).ellipse(QRect(4300, 400, 1100, 1100));
    emf.createBrush(5, 0, kHouse).selectObject(5).rectangle(QRect(1000, 2000, 1800, 1500));
    emf.createBrush(6, 0, kRoof).selectObject(6);
    emf.polygon({{800, 2000}, {1900, 1000}, {3000, 2000}});
    emf.createPen(7, 0, 120, kLine).selectObject(7);
    emf.moveTo(3400, 4200).lineTo(5700, 3000);
    emf.createFont(8, -420, "Arial").selectObject(8).setTextColor(QColor(0x10, 0x10, 0x40));
    emf.extTextOutW(300, 200, "EMF");
    return emf.finish();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_metafile_samples SAMPLES_FOLDER\n");
        return 2;
    }
    for (const auto& [name, bytes] :
         {std::pair("drawing.wmf", makeWmf()), std::pair("drawing.emf", makeEmf())}) {
        QFile file(QDir(QString::fromLocal8Bit(argv[1])).filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "make_metafile_samples: cannot write %s\n",
                         qPrintable(file.fileName()));
            return 1;
        }
    }
    return 0;
}
