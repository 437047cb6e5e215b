#include "model/arrangement.h"

#include <QTest>

using namespace Plumbrook;
using A = Arrangement::Operation;

Q_DECLARE_METATYPE(QVector<QRect>)

namespace {

// Three frames of different sizes, out of order along both axes.
const QVector<QRect> kFrames = {QRect(100, 50, 40, 20), QRect(10, 200, 60, 30), QRect(300, 10, 20, 80)};
const QRect kModule(5, 5, 950, 500);

} // namespace

class TestArrangement : public QObject
{
    Q_OBJECT

private slots:
    void arranged_data();
    void arranged();
    void distributionLeavesEqualGaps_data();
    void distributionLeavesEqualGaps();
};

void TestArrangement::arranged_data()
{
    QTest::addColumn<QVector<QRect>>("frames");
    QTest::addColumn<int>("operation");
    QTest::addColumn<QVector<QRect>>("expected");
    // Bounds of kFrames: 10..320 across, 10..230 down.
    QTest::newRow("left") << kFrames << int(A::AlignLeft)
        << QVector<QRect>{{10, 50, 40, 20}, {10, 200, 60, 30}, {10, 10, 20, 80}};
    QTest::newRow("right") << kFrames << int(A::AlignRight)
        << QVector<QRect>{{280, 50, 40, 20}, {260, 200, 60, 30}, {300, 10, 20, 80}};
    QTest::newRow("horizontal centres") << kFrames << int(A::AlignHorizontalCentres)
        << QVector<QRect>{{145, 50, 40, 20}, {135, 200, 60, 30}, {155, 10, 20, 80}};
    QTest::newRow("top") << kFrames << int(A::AlignTop)
        << QVector<QRect>{{100, 10, 40, 20}, {10, 10, 60, 30}, {300, 10, 20, 80}};
    QTest::newRow("bottom") << kFrames << int(A::AlignBottom)
        << QVector<QRect>{{100, 210, 40, 20}, {10, 200, 60, 30}, {300, 150, 20, 80}};
    QTest::newRow("vertical centres") << kFrames << int(A::AlignVerticalCentres)
        << QVector<QRect>{{100, 110, 40, 20}, {10, 105, 60, 30}, {300, 80, 20, 80}};
    QTest::newRow("same width") << kFrames << int(A::SameWidth)
        << QVector<QRect>{{100, 50, 40, 20}, {10, 200, 40, 30}, {300, 10, 40, 80}};
    QTest::newRow("same height") << kFrames << int(A::SameHeight)
        << QVector<QRect>{{100, 50, 40, 20}, {10, 200, 60, 20}, {300, 10, 20, 20}};
    // 310 across, 120 of frames: two gaps of 95.
    QTest::newRow("distribute across") << kFrames << int(A::DistributeHorizontally)
        << QVector<QRect>{{165, 50, 40, 20}, {10, 200, 60, 30}, {300, 10, 20, 80}};
    // 220 down, 130 of frames: two gaps of 45; the order down is third, first, second.
    QTest::newRow("distribute down") << kFrames << int(A::DistributeVertically)
        << QVector<QRect>{{100, 135, 40, 20}, {10, 200, 60, 30}, {300, 10, 20, 80}};
    QTest::newRow("one frame to the module's left") << QVector<QRect>{{100, 50, 40, 20}}
        << int(A::AlignLeft) << QVector<QRect>{{5, 50, 40, 20}};
    QTest::newRow("one frame to the module's centre") << QVector<QRect>{{100, 50, 40, 20}}
        << int(A::AlignHorizontalCentres) << QVector<QRect>{{460, 50, 40, 20}};
    QTest::newRow("one frame to the module's bottom") << QVector<QRect>{{100, 50, 40, 20}}
        << int(A::AlignBottom) << QVector<QRect>{{100, 485, 40, 20}};
    QTest::newRow("two frames are not distributed") << kFrames.mid(0, 2)
        << int(A::DistributeHorizontally) << kFrames.mid(0, 2);
    QTest::newRow("nothing") << QVector<QRect>{} << int(A::AlignLeft) << QVector<QRect>{};
}

void TestArrangement::arranged()
{
    QFETCH(QVector<QRect>, frames);
    QFETCH(int, operation);
    QFETCH(QVector<QRect>, expected);
    QCOMPARE(Arrangement::arranged(frames, A(operation), kModule), expected);
}

void TestArrangement::distributionLeavesEqualGaps_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("span");
    QTest::newRow("gaps divide evenly") << 4 << 400;
    QTest::newRow("gaps do not divide evenly") << 4 << 401;
    QTest::newRow("overlapping frames") << 5 << 60;
    QTest::newRow("many") << 1000 << 25000;
}

void TestArrangement::distributionLeavesEqualGaps()
{
    QFETCH(int, count);
    QFETCH(int, span);
    QVector<QRect> frames;
    for (int i = 0; i < count; ++i)
        frames.append(QRect((i * 37) % qMax(1, span - 20), 0, 10 + i % 3, 10));
    frames[0].moveLeft(0);
    frames[1].moveLeft(span - frames[1].width());
    QVector<QRect> placed = Arrangement::arranged(frames, A::DistributeHorizontally, {});
    std::sort(placed.begin(), placed.end(), [](const QRect &a, const QRect &b) { return a.x() < b.x(); });
    QCOMPARE(placed.constFirst().x(), 0);
    QCOMPARE(placed.constLast().x() + placed.constLast().width(), span);
    int smallest = INT_MAX;
    int largest = INT_MIN;
    for (qsizetype i = 1; i < placed.size(); ++i) {
        const int gap = placed[i].x() - (placed[i - 1].x() + placed[i - 1].width());
        smallest = qMin(smallest, gap);
        largest = qMax(largest, gap);
    }
    QVERIFY2(largest - smallest <= 1, qPrintable(QStringLiteral("%1..%2").arg(smallest).arg(largest)));
}

QTEST_APPLESS_MAIN(TestArrangement)
#include "tst_arrangement.moc"
