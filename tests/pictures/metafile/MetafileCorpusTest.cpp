#include "MetafileRenderer.h"
#include "PictureLoader.h"
#include "TestFolders.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QtTest>

// Every WMF and EMF of the third-party corpus (../shared/corpus), loaded the way the viewer
// loads pictures, against the folder's EXPECTATIONS.tsv; and the renderings the corpus has from
// Windows itself, compared within a stated tolerance.
//
// Tolerance for the Windows renderings: the mean difference per colour channel over the whole
// picture (0-255 scale, both pictures laid on white) at most 6, and at most 4% of the pixels
// differing by more than 64. Windows draws without smoothing and we smooth edges, which alone
// gives means of 3 to 4.5 on these small pictures; a shape in the wrong place, the wrong size
// or the wrong colour gives tens.
namespace {

// The bound the viewer's zoom view and the benchmark use; natural sizes above it are drawn
// directly at the fitted size.
const QSize kViewBound(1024, 1024);

QImage onWhite(const QImage& image) {
    QImage out(image.size(), QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter(&out).drawImage(0, 0, image);
    return out;
}

// Empty when the pictures, both laid on white, differ by at most `mean` per colour channel on
// average (0-255) and at most `farShare` of the pixels by more than 64; else by how much.
QString difference(const QImage& a, const QImage& b, double mean, double farShare) {
    if (a.size() != b.size())
        return QStringLiteral("the sizes differ");
    const QImage x = onWhite(a);
    const QImage y = onWhite(b);
    double sum = 0, far = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row);
            const QRgb q = y.pixel(col, row);
            const int diff = (std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                              std::abs(qBlue(p) - qBlue(q)));
            sum += diff / 3.0;
            far += diff / 3 > 64;
        }
    const double pixels = double(x.width()) * x.height();
    if (sum / pixels <= mean && far / pixels <= farShare)
        return {};
    return QStringLiteral("mean %1, far %2%").arg(sum / pixels).arg(100 * far / pixels);
}

bool hasInk(const QImage& image) {
    QImage blank(image.size(), image.format());
    blank.fill(Qt::transparent);
    return image != blank;
}

// Draws a metafile through the image handler at exactly the given size.
QImage readAt(const QString& path, QSize size) {
    QImageReader reader(path);
    reader.setScaledSize(size);
    return reader.read();
}

// Empty when drawing the metafile at the given size and at its natural size takes less than a
// quarter of the drawing budget, else how much it takes.
QString drawingWorkShare(const QString& path, QSize shown) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot read the file");
    MetafileRenderer renderer(file.readAll());
    for (const QSize size : {shown, renderer.naturalSize()}) {
        renderer.render(size);
        if (renderer.workUsed() >= MetafileLimits::kDrawingWork / 4)
            return QStringLiteral("%1%% of the drawing budget at %2 x %3")
                .arg(100.0 * double(renderer.workUsed()) / double(MetafileLimits::kDrawingWork))
                .arg(size.width())
                .arg(size.height());
    }
    return {};
}

QString corpusFile(const QString& relative) {
    return QDir(corpusDir()).filePath(relative);
}

} // namespace

class MetafileCorpusTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { LUMIVART_REQUIRE_CORPUS(); }

    void everyMetafile_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expect");
        for (const CorpusRow& row : corpusRows()) {
            const QString name = row.path.toLower();
            if (!name.endsWith(".wmf") && !name.endsWith(".emf"))
                continue;
            // The project's rule wins over the table here: a file drawn only with EMF+ records
            // (this one has no plain drawing record at all) is a load failure.
            const bool emfPlusOnly = row.name == "libuemf/test_libuemf_p_ref.emf";
            QTest::newRow(qPrintable(row.name)) << row.path << (emfPlusOnly ? "fail" : row.expect);
        }
    }

    void everyMetafile() {
        QFETCH(QString, path);
        QFETCH(QString, expect);
        const PictureLoader::Result result = PictureLoader::load(path, kViewBound);
        if (expect == "load" || expect == "load=ref") {
            QVERIFY2(result.ok(), qPrintable(result.error));
            QVERIFY(!result.picture.image.isNull());
            QVERIFY(result.picture.image.width() <= kViewBound.width());
            QVERIFY(result.picture.image.height() <= kViewBound.height());
            // One sample holds nothing but stock-object selections; blank is right for it.
            if (!path.endsWith("libemf2svg/emf/test-030.emf"))
                QVERIFY2(hasInk(result.picture.image), "the picture is blank");
            // Real pictures stay far inside the drawing budget, at the size shown and at their
            // own, so that it only ever stops files made to take long.
            const QString share = drawingWorkShare(path, result.picture.image.size());
            QVERIFY2(share.isEmpty(), qPrintable(share));
        } else if (expect == "fail") {
            QVERIFY(!result.ok());
            QVERIFY(!result.error.isEmpty());
        } else {
            // nocrash / either: any clean outcome; a picture, if any, within the bound.
            if (result.ok())
                QVERIFY(result.picture.image.width() <= kViewBound.width());
            else
                QVERIFY(!result.error.isEmpty());
        }
    }

    void windowsRenderings_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("reference");
        // The pillow pictures were drawn by GDI at 72 dpi (and at 144, or 72 x 144 dpi); the
        // dotnet one by GDI+ at its natural size.
        const QString pillow = "pillow/images/drawing";
        QTest::newRow("pillow emf, 72 dpi") << pillow + ".emf" << pillow + "_emf_ref.png";
        QTest::newRow("pillow emf, 72 x 144 dpi")
            << pillow + ".emf" << pillow + "_emf_ref_72_144.png";
        QTest::newRow("pillow wmf, 72 dpi") << pillow + ".wmf" << pillow + "_wmf_ref.png";
        QTest::newRow("pillow wmf, 144 dpi") << pillow + ".wmf" << pillow + "_wmf_ref_144.png";
        const QString dotnet = "dotnet-runtime-assets/System.Drawing.Common.TestData/bitmaps/";
        QTest::newRow("dotnet plain wmf")
            << dotnet + "gdiwmfboundariesbug.wmf" << dotnet + "gdiwmfboundariesbug-output.png";
    }

    void windowsRenderings() {
        QFETCH(QString, file);
        QFETCH(QString, reference);
        const QImage expected = QImage(corpusFile(reference));
        QVERIFY(!expected.isNull());
        const QString differs =
            difference(readAt(corpusFile(file), expected.size()), expected, 6.0, 0.04);
        QVERIFY2(differs.isEmpty(), qPrintable(differs));
    }

    void windowsNaturalSizes() {
        // 72 dpi sizes of the pillow pictures are 82 x 82 (WMF box) and 1625 x 1625 (EMF
        // bounds); at our 96 dpi the frame and the box give 110 x 110, the drawing 107.
        QImageReader dotnet(corpusFile("dotnet-runtime-assets/System.Drawing.Common.TestData/"
                                       "bitmaps/gdiwmfboundariesbug.wmf"));
        QCOMPARE(dotnet.size(), QSize(324, 252));
        QImageReader emf(corpusFile("pillow/images/drawing.emf"));
        QCOMPARE(emf.size(), QSize(110, 110));
    }

    void mappingModeVariantsLookAlike() {
        // libUEMF draws one picture in every mapping mode; all must come out alike.
        const QSize size(560, 397);
        const QImage text = readAt(corpusFile("libuemf/test_mm_text_ref.emf"), size);
        QVERIFY(hasInk(text));
        for (const char* mode : {"anisotropic", "isotropic", "hienglish", "loenglish", "himetric",
                                 "lometric", "twips"}) {
            const QImage other =
                readAt(corpusFile(QString("libuemf/test_mm_%1_ref.emf").arg(mode)), size);
            const QString differs = difference(other, text, 2.0, 0.02);
            QVERIFY2(differs.isEmpty(), qPrintable(mode + (": " + differs)));
        }
    }
};

QTEST_MAIN(MetafileCorpusTest)
#include "MetafileCorpusTest.moc"
