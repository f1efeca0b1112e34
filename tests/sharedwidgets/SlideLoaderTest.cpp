#include "SlideLoader.h"
#include "TestFolders.h"
#include "TestPictures.h"

#include <QtTest>

namespace {

// A folder of pictures of distinct sizes, each named by its size.
struct Pictures {
    TestFolder folder;
    QString add(QSize size) {
        const QString name = QStringLiteral("%1x%2.bmp").arg(size.width()).arg(size.height());
        return folder.write(
            name, TestPictures::bmp(TestPictures::quadrants(size.width(), size.height())));
    }
};

const QSize kScreen(64, 48);

} // namespace

class SlideLoaderTest : public QObject {
    Q_OBJECT

private slots:
    void aPictureNotReadYetArrivesLaterAtScreenSize() {
        Pictures p;
        const QString big = p.add({640, 240});
        const QString unreadable = p.folder.write("x.bmp", "not a picture");
        SlideLoader loader;
        QSignalSpy arrived(&loader, &SlideLoader::arrived);
        for (const QString& file : {unreadable, big}) {
            QVERIFY(!loader.request(file, kScreen)); // never decoded on the asking thread
            QVERIFY(arrived.wait());
        }
        QVERIFY(!arrived.at(0).at(0).value<PictureLoader::Result>().ok());
        const auto result = arrived.at(1).at(0).value<PictureLoader::Result>();
        QCOMPARE(result.picture.naturalSize, QSize(640, 240));
        QCOMPARE(result.picture.image.size(), QSize(64, 24));
    }

    void aPictureReadAheadIsGivenAtOnce() {
        Pictures p;
        const QString first = p.add({30, 20});
        const QString next = p.add({20, 30});
        SlideLoader loader;
        QSignalSpy arrived(&loader, &SlideLoader::arrived);
        loader.readAhead(next, kScreen);
        QVERIFY(!loader.request(first, kScreen));
        QVERIFY(arrived.wait());
        QThreadPool::globalInstance()->waitForDone(); // the read-ahead has been read too
        QCoreApplication::sendPostedEvents();
        const std::optional<PictureLoader::Result> given = loader.request(next, kScreen);
        QVERIFY(given.has_value());
        QCOMPARE(given->picture.naturalSize, QSize(20, 30));
        QCOMPARE(arrived.size(), 1);
    }

    void onlyTheLatestRequestArrives() {
        Pictures p;
        const QString a = p.add({10, 10});
        const QString b = p.add({20, 10});
        const QString c = p.add({30, 10});
        SlideLoader loader;
        QSignalSpy arrived(&loader, &SlideLoader::arrived);
        loader.request(a, kScreen);
        loader.request(b, kScreen);
        QVERIFY(arrived.wait());
        loader.request(c, kScreen);
        QTRY_COMPARE(arrived.size(), 2);
        QCOMPARE(arrived.at(0).at(0).value<PictureLoader::Result>().picture.naturalSize,
                 QSize(20, 10));
        QCOMPARE(arrived.at(1).at(0).value<PictureLoader::Result>().picture.naturalSize,
                 QSize(30, 10));
    }
};

QTEST_MAIN(SlideLoaderTest)
#include "SlideLoaderTest.moc"
