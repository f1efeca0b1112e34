// Every picture of the third-party corpus that is not a metafile, loaded through the viewer's
// loader and held to the expectation written beside it in its folder's EXPECTATIONS.tsv.
#include "PictureLoader.h"
#include "TestFolders.h"

#include <QFile>
#include <QHash>
#include <QImage>
#include <QRegularExpression>
#include <QtTest>
#include <limits>

namespace {

// How far a decoded picture may stray from its reference: how much any channel of a pixel may
// differ, how many pixels may differ at all, and the largest mean absolute difference of the
// channels (red, green, blue and alpha) over the picture.
struct Tolerance {
    int channel = 0;
    qint64 pixels = 0;
    double mean = 0.0;
};

// The tolerance a row's note gives, else exactness for lossless formats.
//  - "fuzzy(N,M)": at most M pixels may differ, each channel by at most N (the reftest notation).
//  - "mean diff <=N": the mean absolute channel difference is at most N.
//  - JPEG: the references come from other decoders or are the encoder's source; inverse DCTs
//    and chroma upsampling differ by a few levels, up to 17 on sharp edges of the
//    arithmetic-coded sample, with means of at most 0.35. A mean of 1 with channels within 32
//    accepts those and still rejects a shifted, mirrored or colour-swapped picture.
Tolerance toleranceFor(const QString& content, const QString& note) {
    constexpr qint64 kAnyCount = std::numeric_limits<qint64>::max();
    static const QRegularExpression fuzzy(QStringLiteral(R"(fuzzy\((\d+),(\d+)\))"));
    static const QRegularExpression meanDiff(QStringLiteral(R"((?:mean diff|similar) <=\s*(\d+))"));
    if (const auto m = meanDiff.match(note); m.hasMatch())
        return {255, kAnyCount, m.captured(1).toDouble()};
    if (content == u"jpeg")
        return {32, kAnyCount, 1.0};
    if (const auto m = fuzzy.match(note); m.hasMatch())
        return {m.captured(1).toInt(), m.captured(2).toLongLong(), 255.0};
    return {};
}

// A reference picture; raw 8-bit RGBA pixels (.rgba) have the size of the canvas the note
// gives ("canvas 100x100").
QImage readReference(const QString& path, const QString& note) {
    if (!path.endsWith(u".rgba"))
        return QImage(path);
    static const QRegularExpression canvas(QStringLiteral(R"(canvas (\d+)x(\d+))"));
    const auto m = canvas.match(note);
    const int width = m.captured(1).toInt();
    const int height = m.captured(2).toInt();
    QFile file(path);
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    if (!m.hasMatch() || bytes.size() != qsizetype(width) * height * 4)
        return {};
    const auto* pixels = reinterpret_cast<const uchar*>(bytes.constData());
    return QImage(pixels, width, height, width * 4, QImage::Format_RGBA8888).copy();
}

// Empty when the two pictures match within the tolerance, else what differs. Pixels are
// compared premultiplied, so the hidden colour of a fully transparent pixel does not count.
QString difference(const QImage& decoded, const QImage& reference, const Tolerance& tolerance) {
    if (decoded.size() != reference.size())
        return QString::asprintf("size %dx%d, reference %dx%d", decoded.width(), decoded.height(),
                                 reference.width(), reference.height());
    const QImage a = decoded.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage b = reference.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    qint64 differing = 0;
    int largest = 0;
    double sum = 0.0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            int worst = 0;
            for (int shift = 0; shift < 32; shift += 8) { // each of the four channels
                const int d =
                    qAbs(int(a.pixel(x, y) >> shift & 0xff) - int(b.pixel(x, y) >> shift & 0xff));
                sum += d;
                worst = std::max(worst, d);
            }
            differing += worst > 0;
            largest = std::max(largest, worst);
        }
    const double mean = sum / (4.0 * a.width() * a.height());
    if (largest <= tolerance.channel && differing <= tolerance.pixels && mean <= tolerance.mean)
        return {};
    return QString::asprintf("%lld pixels differ; largest channel difference %d, mean %.2f",
                             differing, largest, mean);
}

// Rows where this loader knowingly departs from the corpus's expectation, with the reason.
// Each is marked as an expected failure, so a row that starts to pass shows up and leaves
// the list.
const QHash<QString, QString>& knownDeviations() {
    static const QHash<QString, QString> rows = {
        // A frame ends at an image shown for a while (one with a delay); these files give no
        // image a delay, so all their images make up the first frame, while the suite's decoder
        // animates them anyway and expects the first image alone.
        {"gif-test-suite/animation-no-delays.gif", "images without delays form one frame"},
        {"gif-test-suite/animation-zero-delays.gif", "images without delays form one frame"},
        {"gif-test-suite/gif87a-animation.gif", "images without delays form one frame"},
        // The plain-text extension is ignored, as browsers do, and the image after it shown.
        {"gif-test-suite/plain-text.gif", "the image after a plain-text extension is shown"},
        // An icon entry's declared size is only a hint: the image may run past it when the file
        // holds it (pillow's mask_1.cur and mask_L.cur need this to load at all).
        {"image-rs/bad/ico/Bad_smile-incorrect-image-length.ico",
         "an icon image longer than its declared size is read when the file holds it"},
        // An alpha mask whose every value is zero carries no opacity: such bitmaps are shown
        // opaque, as browsers show them, not fully transparent.
        {"image-rs/images/bmp/images/V3_A1_R5_G5_B5.bmp", "all-zero alpha is shown opaque"},
        {"image-rs/images/bmp/images/V3_A1_R5_G5_B5_Top_Down.bmp",
         "all-zero alpha is shown opaque"},
        {"image-rs/images/bmp/images/V3_A4_R4_G4_B4.bmp", "all-zero alpha is shown opaque"},
        {"image-rs/images/bmp/images/V3_A4_R4_G4_B4_Top_Down.bmp",
         "all-zero alpha is shown opaque"},
        // The embedded colour profile is applied; these references leave it out. The second
        // file stores red and green swapped, with a profile that swaps them back.
        {"image-rs/images/bmp/images/rgb24prof.bmp", "the embedded sRGB profile is applied"},
        {"image-rs/images/bmp/images/rgb24prof2.bmp", "the embedded profile is applied"},
        // The reference is scrambled (that decoder misreads this 4-bit icon); the icon decodes
        // to the intended snake on its transparent mask.
        {"imagemagick/input.ico", "the reference rendering is itself wrong"},
        // 57 bytes whose header claims 3158064 x 48 pixels, 12336 planes and pixels 2 GB into
        // the file: refused as truncated.
        {"pillow/images/l2rgb_read.bmp", "a header claiming far more than the file holds"},
    };
    return rows;
}

} // namespace

Q_DECLARE_METATYPE(CorpusRow)

class PictureCorpusTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { LUMIVART_REQUIRE_CORPUS(); }

    void expectation_data() {
        QTest::addColumn<CorpusRow>("row");
        // Metafiles belong to the metafile player's own corpus test.
        const QStringList metafiles = {"wmf", "emf", "wmf-placeable"};
        for (const CorpusRow& row : corpusRows()) {
            if (!metafiles.contains(row.content))
                QTest::newRow(qPrintable(row.name)) << row;
        }
    }

    void expectation() {
        QFETCH(CorpusRow, row);
        const PictureLoader::Result result = PictureLoader::load(row.path);
        if (row.expect == u"nocrash" || row.expect == u"either") {
            // Any outcome but a crash; a failure must still say why, and a success must hold
            // pixels of the size it reports.
            QVERIFY(result.ok() ? !result.picture.naturalSize.isEmpty() : !result.error.isEmpty());
            return;
        }
        const QString problem = unmetExpectation(result, row);
        if (const QString deviation = knownDeviations().value(row.name); !deviation.isEmpty())
            QEXPECT_FAIL("", qPrintable(deviation), Abort);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

private:
    // Empty when the result is what the row expects, else how it falls short.
    static QString unmetExpectation(const PictureLoader::Result& result, const CorpusRow& row) {
        const bool loaded = result.ok() && !result.picture.isNull();
        if (row.expect == u"fail" || row.expect == u"no-frames")
            return loaded                   ? QStringLiteral("loaded a file that must be refused")
                   : result.error.isEmpty() ? QStringLiteral("refused without a reason")
                                            : QString();
        if (!loaded)
            return "not loaded: " + result.error;
        // A reference of a later frame of an animation says nothing of the first frame.
        if (row.expect == u"load" || row.note.contains(u"frame index 1"))
            return {};
        if (row.expect != u"load=ref")
            return "unknown expectation " + row.expect;

        QList<QImage> expected;
        for (const QString& reference : row.references)
            expected.append(readReference(reference, row.note));
        // A reference named as another corpus file ("equal to FOLDER FILE").
        static const QRegularExpression equalTo(QStringLiteral(R"(equal to (\S+) (\S+))"));
        if (const auto m = equalTo.match(row.note); row.references.isEmpty() && m.hasMatch())
            expected.append(
                PictureLoader::load(corpusDir() + '/' + m.captured(1) + '/' + m.captured(2))
                    .picture.image);
        if (expected.isEmpty())
            return QStringLiteral("no reference to compare with");
        QStringList differences;
        for (const QImage& reference : expected) {
            if (reference.isNull())
                return QStringLiteral("a reference cannot be read");
            const QString d =
                difference(result.picture.image, reference, toleranceFor(row.content, row.note));
            if (d.isEmpty())
                return {};
            differences.append(d);
        }
        return differences.join(u"; ");
    }
};

QTEST_MAIN(PictureCorpusTest)
#include "PictureCorpusTest.moc"
