#include "model/background_work.h"

#include <QCoreApplication>
#include <QMutex>
#include <QSemaphore>
#include <QTest>
#include <QThread>

#include <atomic>
#include <memory>

using namespace Plumbrook;

Q_DECLARE_METATYPE(BackgroundWork::Lane)

class TestBackgroundWork : public QObject
{
    Q_OBJECT

private slots:
    void lanes_data();
    void resultArrivesOnTheUiThread();
    void resultArrivesOnTheUiThread_data() { lanes_data(); }
    void neverMoreThreadsThanTheLaneAllows();
    void neverMoreThreadsThanTheLaneAllows_data() { lanes_data(); }
    void destroyedReceiverGetsNothing();
    void filesAreWrittenInTheOrderAsked();
    void resultsNeverArriveInsideRun_data() { lanes_data(); }
    void resultsNeverArriveInsideRun();
    void requestsGoBeforeQueuedDownloads();
};

void TestBackgroundWork::lanes_data()
{
    QTest::addColumn<BackgroundWork::Lane>("lane");
    QTest::addColumn<int>("threads");
    QTest::newRow("downloads") << BackgroundWork::Lane::Downloads << 6;
    QTest::newRow("requests") << BackgroundWork::Lane::Requests << 6;
    QTest::newRow("files") << BackgroundWork::Lane::Files << 1;
}

void TestBackgroundWork::resultArrivesOnTheUiThread()
{
    QFETCH(BackgroundWork::Lane, lane);
    QThread *worker = nullptr;
    QThread *delivery = nullptr;
    int result = 0;
    BackgroundWork::run(
        lane, this,
        [&worker] {
            worker = QThread::currentThread();
            return 42;
        },
        [&](int value) {
            delivery = QThread::currentThread();
            result = value;
        });
    QTRY_COMPARE(result, 42);
    QCOMPARE(delivery, QCoreApplication::instance()->thread());
    QVERIFY(worker != delivery);
}

void TestBackgroundWork::neverMoreThreadsThanTheLaneAllows()
{
    QFETCH(BackgroundWork::Lane, lane);
    QFETCH(int, threads);
    std::atomic<int> running{0};
    std::atomic<int> most{0};
    int delivered = 0;
    constexpr int kTasks = 40;
    for (int i = 0; i < kTasks; ++i) {
        BackgroundWork::run(
            lane, this,
            [&] {
                const int now = ++running;
                for (int seen = most.load(); now > seen && !most.compare_exchange_weak(seen, now);) {
                }
                QThread::msleep(5);
                --running;
            },
            [&delivered] { ++delivered; });
    }
    QTRY_COMPARE(delivered, kTasks);
    QVERIFY2(most.load() <= threads, qPrintable(QString::number(most.load())));
}

void TestBackgroundWork::destroyedReceiverGetsNothing()
{
    auto receiver = std::make_unique<QObject>();
    QSemaphore release;
    bool delivered = false;
    bool other = false;
    BackgroundWork::run(
        BackgroundWork::Lane::Requests, receiver.get(),
        [&release] {
            release.acquire();
            return 1;
        },
        [&delivered](int) { delivered = true; });
    BackgroundWork::run(BackgroundWork::Lane::Requests, this, [] { return 2; },
                        [&other](int) { other = true; });
    receiver.reset();
    release.release();
    QTRY_VERIFY(other);
    QVERIFY(BackgroundWork::waitForIdle());
    QCoreApplication::processEvents();
    QVERIFY(!delivered);
}

void TestBackgroundWork::filesAreWrittenInTheOrderAsked()
{
    QList<int> order;
    QMutex mutex;
    QList<int> delivered;
    for (int i = 0; i < 20; ++i) {
        BackgroundWork::run(
            BackgroundWork::Lane::Files, this,
            [&, i] {
                QMutexLocker lock(&mutex);
                order << i;
            },
            [&delivered, i] { delivered << i; });
    }
    QTRY_COMPARE(delivered.size(), 20);
    QList<int> expected;
    for (int i = 0; i < 20; ++i)
        expected << i;
    QCOMPARE(order, expected);
    QCOMPARE(delivered, expected);
}

// Work that is done before its delivery is arranged still arrives at a later turn of the
// event loop and after the results asked for before it: a caller's code after run() runs
// first, and the files lane's writes are reported in the order they were asked for.
void TestBackgroundWork::resultsNeverArriveInsideRun()
{
    QFETCH(BackgroundWork::Lane, lane);
    QList<int> delivered;
    int early = 0;
    constexpr int kRuns = 2000;
    for (int i = 0; i < kRuns; ++i) {
        const qsizetype before = delivered.size();
        BackgroundWork::run(lane, this, [i] { return i; }, [&delivered](int i) { delivered << i; });
        if (delivered.size() != before)
            ++early;
    }
    QTRY_COMPARE(delivered.size(), kRuns);
    QCOMPARE(early, 0);
    if (lane == BackgroundWork::Lane::Files) {
        for (int i = 0; i < kRuns; ++i)
            QCOMPARE(delivered.at(i), i);
    }
}

void TestBackgroundWork::requestsGoBeforeQueuedDownloads()
{
    // Every network thread held, then a queue of downloads and one request.
    QSemaphore hold;
    std::atomic<int> started{0};
    for (int i = 0; i < 6; ++i) {
        BackgroundWork::start(BackgroundWork::Lane::Downloads, [&] {
            ++started;
            hold.acquire();
        });
    }
    QTRY_COMPARE(started.load(), 6);
    QMutex mutex;
    QStringList order;
    const auto record = [&mutex, &order](const QString &what) {
        return [&mutex, &order, what] {
            QMutexLocker lock(&mutex);
            order << what;
        };
    };
    for (int i = 0; i < 10; ++i)
        BackgroundWork::start(BackgroundWork::Lane::Downloads, record(QStringLiteral("download")));
    BackgroundWork::start(BackgroundWork::Lane::Requests, record(QStringLiteral("request")));
    // One thread comes free and takes the request, queued last.
    hold.release(1);
    QTRY_VERIFY([&] { QMutexLocker lock(&mutex); return !order.isEmpty(); }());
    hold.release(5);
    QVERIFY(BackgroundWork::waitForIdle());
    QCOMPARE(order.size(), 11);
    QCOMPARE(order.first(), QStringLiteral("request"));
}

QTEST_GUILESS_MAIN(TestBackgroundWork)
#include "tst_background_work.moc"
