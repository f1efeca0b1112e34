#include "LatestResult.h"

#include <QSemaphore>
#include <QtTest>

class LatestResultTest : public QObject {
    Q_OBJECT

private slots:
    // The first request's work ends after the second was made: its result is dropped, and only
    // the second's arrives.
    void aStaleResultIsDropped() {
        QThreadPool pool;
        pool.setMaxThreadCount(2);
        QSemaphore firstBegan;
        QSemaphore firstMayEnd;
        QStringList delivered;
        LatestResult latest(pool);
        latest.request(
            [&] {
                firstBegan.release();
                firstMayEnd.acquire();
                return QStringLiteral("first");
            },
            [&](QString result) { delivered.append(result); });
        firstBegan.acquire();
        latest.request([] { return QStringLiteral("second"); },
                       [&](QString result) { delivered.append(result); });
        QTRY_COMPARE(delivered, QStringList{"second"});
        QVERIFY(!latest.isPending());
        firstMayEnd.release();
        pool.waitForDone();
        QCoreApplication::sendPostedEvents();
        QCOMPARE(delivered, QStringList{"second"});
    }
};

QTEST_MAIN(LatestResultTest)
#include "LatestResultTest.moc"
