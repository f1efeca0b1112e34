#include "SlideLoader.h"
#include "TestFolders.h"
#include "TestPictures.h"

#include <QtTest>

namespace {

// Adds a picture of the given size to the folder, named by its size.
QString addPicture(const TestFolder& folder, QSize size) {
    return folder.write(QStringLiteral("%1x%2.bmp").arg(size.width()).arg(size.height()),
                        TestPictures::bmp(TestPictures::quadrants(size.width(), size.height())));
}

const QSize kScreen(64, 48);

} // namespace

class SlideLoaderTest : public QObject {
    Q_OBJECT

private slots:
    // Pictures are read away from the asking thread, at the screen's size; of two requests only
    // the latest arrives, and a file that cannot be read arrives as a failure.
    void onlyTheLatestRequestArrivesAtScreenSize() {
        TestFolder folder;
        const QString small = addPicture(folder, {10, 10});
        const QString big = addPicture(folder, {640, 240});
        const QString unreadable = folder.write("x.bmp", "not a picture");
        SlideLoader loader;
        QSignalSpy arrived(&loader, &SlideLoader::arrived);
        QVERIFY(!loader.request(small, kScreen));
        QVERIFY(!loader.request(big, kScreen));
        QVERIFY(arrived.wait());
        QVERIFY(!loader.request(unreadable, kScreen));
        QTRY_COMPARE(arrived.size(), 2);
        const auto result = arrived.at(0).at(0).value<PictureLoader::Result>();
        QCOMPARE(result.picture.naturalSize, QSize(640, 240));
        QCOMPARE(result.picture.image.size(), QSize(64, 24));
        QVERIFY(!arrived.at(1).at(0).value<PictureLoader::Result>().ok());
    }

    void aPictureReadAheadIsGivenAtOnce() {
        TestFolder folder;
        const QString first = addPicture(folder, {30, 20});
        const QString next = addPicture(folder, {20, 30});
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
};

QTEST_MAIN(SlideLoaderTest)
#include "SlideLoaderTest.moc"
