#include "model/sliced_work.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace Plumbrook;

// Records which job's slice ran, in order, in one string: "abab…".
struct Trace
{
    QString order;
    std::function<bool()> job(QChar letter, int slices)
    {
        auto left = std::make_shared<int>(slices);
        return [this, letter, left] {
            order.append(letter);
            return --*left > 0;
        };
    }
};

class TestSlicedWork : public QObject
{
    Q_OBJECT

private slots:
    void jobsTakeTurns_data();
    void jobsTakeTurns();
    void windowGetsItsTurnBetweenSlices();
    void jobsEndWithTheirOwner();
};

void TestSlicedWork::jobsTakeTurns_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("expected");
    QTest::newRow("alone") << "" << "aaa";
    QTest::newRow("two jobs alternate") << "b" << "ababa";
    QTest::newRow("queued again: the new job only") << "a again" << "AAAA";
    QTest::newRow("cancelled") << "cancel a" << "";
    QTest::newRow("same name, other owner") << "other a" << "aAaAaAA";
}

void TestSlicedWork::jobsTakeTurns()
{
    QFETCH(QString, action);
    QFETCH(QString, expected);
    QObject owner;
    QObject other;
    Trace trace;
    SlicedWork::queue(&owner, "job", trace.job(QLatin1Char('a'), 3));
    if (action == QLatin1String("b"))
        SlicedWork::queue(&owner, "second", trace.job(QLatin1Char('b'), 2));
    else if (action == QLatin1String("a again"))
        SlicedWork::queue(&owner, "job", trace.job(QLatin1Char('A'), 4));
    else if (action == QLatin1String("cancel a"))
        SlicedWork::cancel(&owner, "job");
    else if (action == QLatin1String("other a"))
        SlicedWork::queue(&other, "job", trace.job(QLatin1Char('A'), 4));
    QTRY_VERIFY(!SlicedWork::isQueued(&owner, "job") && !SlicedWork::isQueued(&owner, "second")
                && !SlicedWork::isQueued(&other, "job"));
    QCOMPARE(trace.order, expected);
}

void TestSlicedWork::windowGetsItsTurnBetweenSlices()
{
    // What a slice posts (a repaint, a result) and a timer it starts are delivered
    // before the next slice of any job.
    QObject owner;
    QStringList order;
    const auto slice = [&](const QString &name) {
        return [&, name, slices = 0]() mutable {
            order.append(name);
            QMetaObject::invokeMethod(&owner, [&, name] { order.append(name + QStringLiteral(" posted")); },
                                      Qt::QueuedConnection);
            QTimer::singleShot(0, &owner, [&, name] { order.append(name + QStringLiteral(" timer")); });
            return ++slices < 2;
        };
    };
    SlicedWork::queue(&owner, "one", slice(QStringLiteral("one")));
    SlicedWork::queue(&owner, "two", slice(QStringLiteral("two")));
    QTRY_VERIFY(!SlicedWork::isQueued(&owner, "one") && !SlicedWork::isQueued(&owner, "two"));
    QTRY_COMPARE(order.size(), 12);
    for (int i = 0; i + 1 < order.size(); ++i) {
        if (!order.at(i).contains(QLatin1Char(' ')))
            continue;
        // Nothing a slice asked for waits behind the next slice.
        const QString asker = order.at(i).section(QLatin1Char(' '), 0, 0);
        const qsizetype askedAt = order.lastIndexOf(asker, i);
        for (qsizetype j = askedAt + 1; j < i; ++j)
            QVERIFY2(order.at(j).contains(QLatin1Char(' ')), qPrintable(order.join(QLatin1String(", "))));
    }
}

void TestSlicedWork::jobsEndWithTheirOwner()
{
    auto owner = std::make_unique<QObject>();
    QObject keeper;
    Trace trace;
    SlicedWork::queue(owner.get(), "job", [&] {
        trace.order.append(QLatin1Char('a'));
        // The owner goes during its own slice, with the job still wanting more.
        owner.reset();
        return true;
    });
    SlicedWork::queue(&keeper, "job", trace.job(QLatin1Char('k'), 3));
    QTRY_VERIFY(!SlicedWork::isQueued(&keeper, "job"));
    QCOMPARE(trace.order, QStringLiteral("akkk"));
}

QTEST_GUILESS_MAIN(TestSlicedWork)
#include "tst_sliced_work.moc"
