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

} // namespace

class MetafileCorpusTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { LUMIVART_REQUIRE_CORPUS(); }

    void everyMetafile_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expect");
        for (const CorpusRow& row : corpusRows()) {
            if (!row.path.endsWith(".wmf", Qt::CaseInsensitive) &&
                !row.path.endsWith(".emf", Qt::CaseInsensitive))
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
            const QImage& image = result.picture.image;
            QVERIFY(!image.isNull() && image.width() <= kViewBound.width() &&
                    image.height() <= kViewBound.height());
            // One sample holds nothing but stock-object selections; blank is right for it.
            QImage blank(image.size(), image.format());
            blank.fill(Qt::transparent);
            if (!path.endsWith("libemf2svg/emf/test-030.emf"))
                QVERIFY2(image != blank, "the picture is blank");
            // Real pictures stay far inside the drawing budget, at the size shown and at their
            // own, so that it only ever stops files made to take long.
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            MetafileRenderer renderer(file.readAll());
            for (const QSize size : {image.size(), renderer.naturalSize()}) {
                renderer.render(size);
                QVERIFY2(renderer.workUsed() < MetafileLimits::kDrawingWork / 4,
                         qPrintable(QStringLiteral("at width %1").arg(size.width())));
            }
        } else if (expect == "fail") {
            QVERIFY(!result.ok() && !result.error.isEmpty());
        } else {
            // nocrash / either: any clean outcome; a picture, if any, within the bound.
            QVERIFY(result.ok() ? result.picture.image.width() <= kViewBound.width()
                                : !result.error.isEmpty());
        }
    }

    void windowsRenderings_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("reference");
        // The pillow pictures were drawn by GDI at 72 dpi; the dotnet one by GDI+ at its natural
        // size.
        const QString pillow = "pillow/images/drawing";
        QTest::newRow("pillow emf, 72 dpi") << pillow + ".emf" << pillow + "_emf_ref.png";
        QTest::newRow("pillow wmf, 72 dpi") << pillow + ".wmf" << pillow + "_wmf_ref.png";
        const QString dotnet = "dotnet-runtime-assets/System.Drawing.Common.TestData/bitmaps/";
        QTest::newRow("dotnet plain wmf")
            << dotnet + "gdiwmfboundariesbug.wmf" << dotnet + "gdiwmfboundariesbug-output.png";
    }

    void windowsRenderings() {
        QFETCH(QString, file);
        QFETCH(QString, reference);
        const QDir corpus(corpusDir());
        const QImage expected = onWhite(QImage(corpus.filePath(reference)));
        QVERIFY(!expected.isNull());
        QImageReader reader(corpus.filePath(file));
        reader.setScaledSize(expected.size());
        const QImage drawn = onWhite(reader.read());
        QCOMPARE(drawn.size(), expected.size());
        // The mean difference per colour channel, and the share of pixels far off.
        double sum = 0, far = 0;
        for (int y = 0; y < drawn.height(); ++y)
            for (int x = 0; x < drawn.width(); ++x) {
                const QRgb p = drawn.pixel(x, y), q = expected.pixel(x, y);
                const int diff = std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                                 std::abs(qBlue(p) - qBlue(q));
                sum += diff / 3.0;
                far += diff / 3 > 64;
            }
        const double pixels = double(drawn.width()) * drawn.height();
        QVERIFY2(sum / pixels <= 6.0 && far / pixels <= 0.04,
                 qPrintable(QStringLiteral("mean %1, far %2").arg(sum / pixels).arg(far / pixels)));
    }
};

QTEST_MAIN(MetafileCorpusTest)
#include "MetafileCorpusTest.moc"
