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
    // Pictures are read away from the asking thread, at the screen's size; one read ahead is
    // given at once when it is asked for. (Only the latest request arriving is the latest-result
    // loader's own rule, tested with it.)
    void aPictureReadAheadIsGivenAtOnceAtScreenSize() {
        TestFolder folder;
        const QString first = addPicture(folder, {30, 20});
        const QString next = addPicture(folder, {640, 240});
        SlideLoader loader;
        QSignalSpy arrived(&loader, &SlideLoader::arrived);
        loader.readAhead(next, kScreen);
        QVERIFY(!loader.request(first, kScreen));
        QVERIFY(arrived.wait());
        QThreadPool::globalInstance()->waitForDone(); // the read-ahead has been read too
        QCoreApplication::sendPostedEvents();
        const std::optional<PictureLoader::Result> given = loader.request(next, kScreen);
        QVERIFY(given.has_value());
        QCOMPARE(given->picture.naturalSize, QSize(640, 240));
        QCOMPARE(given->picture.image.size(), QSize(64, 24));
        QCOMPARE(arrived.size(), 1);
    }
};

QTEST_MAIN(SlideLoaderTest)
#include "SlideLoaderTest.moc"
