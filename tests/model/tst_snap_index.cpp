#include "model/snap_index.h"

#include <QTest>

using namespace Plumbrook;

namespace {

// Lines: the module at 13 | 488 | 963 across and 5 | 255 | 505 down, the other
// component at 307 | 350 | 393 and 107 | 130 | 153, and the grid every 20 from 0.
SnapIndex index()
{
    SnapIndex snaps;
    snaps.build({QRect(307, 107, 86, 46)}, QRect(13, 5, 950, 500), QPoint(0, 0));
    return snaps;
}

} // namespace

class TestSnapIndex : public QObject
{
    Q_OBJECT

private slots:
    void snapFrame_data();
    void snapFrame();
    void snapEdges_data();
    void snapEdges();
    void snapsUpToTheTolerance_data();
    void snapsUpToTheTolerance();
    void manyFrames();
};

void TestSnapIndex::snapFrame_data()
{
    QTest::addColumn<QRect>("frame");
    QTest::addColumn<QPoint>("delta");
    QTest::addColumn<int>("guideX");
    QTest::addColumn<int>("guideY");
    const int none = SnapIndex::kNone;
    // Frames 40 high at 190 and 40 wide at 70 meet no line down or across.
    QTest::newRow("module's left edge") << QRect(15, 190, 40, 40) << QPoint(-2, 0) << 13 << none;
    QTest::newRow("module's centre") << QRect(470, 190, 40, 40) << QPoint(-2, 0) << 488 << none;
    QTest::newRow("module's top edge") << QRect(70, 7, 40, 40) << QPoint(0, -2) << none << 5;
    QTest::newRow("another's left edge") << QRect(309, 190, 46, 40) << QPoint(-2, 0) << 307 << none;
    QTest::newRow("another's centre") << QRect(331, 190, 40, 40) << QPoint(-1, 0) << 350 << none;
    QTest::newRow("another's bottom edge") << QRect(70, 115, 40, 40) << QPoint(0, -2) << none << 153;
    QTest::newRow("the grid") << QRect(62, 190, 40, 40) << QPoint(-2, 0) << 60 << none;
    QTest::newRow("both ways at once") << QRect(15, 7, 40, 40) << QPoint(-2, -2) << 13 << 5;
    QTest::newRow("nothing within reach") << QRect(70, 190, 40, 40) << QPoint() << none << none;
}

void TestSnapIndex::snapFrame()
{
    QFETCH(QRect, frame);
    QFETCH(QPoint, delta);
    QFETCH(int, guideX);
    QFETCH(int, guideY);
    const SnapIndex::Snap snap = index().snapFrame(frame, 5);
    QCOMPARE(snap.delta, delta);
    QCOMPARE(snap.guideX, guideX);
    QCOMPARE(snap.guideY, guideY);
}

void TestSnapIndex::snapEdges_data()
{
    QTest::addColumn<QRect>("frame");
    QTest::addColumn<QPoint>("edges");
    QTest::addColumn<QPoint>("delta");
    QTest::newRow("right edge to the module's centre") << QRect(70, 190, 416, 40) << QPoint(1, 0) << QPoint(2, 0);
    QTest::newRow("left edge stays for a right handle") << QRect(15, 190, 55, 40) << QPoint(1, 0) << QPoint(0, 0);
    QTest::newRow("bottom edge to another's top") << QRect(70, 60, 40, 49) << QPoint(0, 1) << QPoint(0, -2);
    QTest::newRow("corner") << QRect(15, 7, 40, 40) << QPoint(-1, -1) << QPoint(-2, -2);
}

void TestSnapIndex::snapEdges()
{
    QFETCH(QRect, frame);
    QFETCH(QPoint, edges);
    QFETCH(QPoint, delta);
    QCOMPARE(index().snapEdges(frame, edges, 5).delta, delta);
}

// A tolerance of 3, as with the grid every 20 a tolerance of 5 leaves no place one
// beyond it that is out of the grid's reach. Lines: 110 | 140 | 170 across and
// 310 | 340 | 370 down; the grid at 100 and 120, 300 and 320.
void TestSnapIndex::snapsUpToTheTolerance_data()
{
    QTest::addColumn<QRect>("frame");
    QTest::addColumn<QPoint>("edges");
    QTest::addColumn<QPoint>("delta");
    QTest::newRow("left edge 3 before a line") << QRect(107, 200, 10, 10) << QPoint(-1, 0) << QPoint(3, 0);
    QTest::newRow("left edge 4 before a line") << QRect(106, 200, 10, 10) << QPoint(-1, 0) << QPoint(0, 0);
    QTest::newRow("left edge 3 after a line") << QRect(113, 200, 10, 10) << QPoint(-1, 0) << QPoint(-3, 0);
    QTest::newRow("left edge 4 after a line") << QRect(114, 200, 10, 10) << QPoint(-1, 0) << QPoint(0, 0);
    QTest::newRow("top edge 3 before a line") << QRect(50, 307, 10, 10) << QPoint(0, -1) << QPoint(0, 3);
    QTest::newRow("top edge 4 before a line") << QRect(50, 306, 10, 10) << QPoint(0, -1) << QPoint(0, 0);
    QTest::newRow("top edge 3 after a line") << QRect(50, 313, 10, 10) << QPoint(0, -1) << QPoint(0, -3);
    QTest::newRow("top edge 4 after a line") << QRect(50, 314, 10, 10) << QPoint(0, -1) << QPoint(0, 0);
    QTest::newRow("right edge 3 before the grid") << QRect(50, 200, 47, 10) << QPoint(1, 0) << QPoint(3, 0);
    QTest::newRow("right edge 4 before the grid") << QRect(50, 200, 46, 10) << QPoint(1, 0) << QPoint(0, 0);
    QTest::newRow("bottom edge 3 after the grid") << QRect(50, 250, 10, 53) << QPoint(0, 1) << QPoint(0, -3);
    QTest::newRow("bottom edge 4 after the grid") << QRect(50, 250, 10, 54) << QPoint(0, 1) << QPoint(0, 0);
}

void TestSnapIndex::snapsUpToTheTolerance()
{
    QFETCH(QRect, frame);
    QFETCH(QPoint, edges);
    QFETCH(QPoint, delta);
    SnapIndex snaps;
    snaps.build({QRect(110, 310, 60, 60)}, QRect(), QPoint(0, 0));
    QCOMPARE(snaps.snapEdges(frame, edges, 3).delta, delta);
}

void TestSnapIndex::manyFrames()
{
    // Lines shared by several frames are kept once.
    QVector<QRect> frames(1000, QRect(7, 9, 10, 10));
    SnapIndex snaps;
    snaps.build(frames, QRect(), QPoint(0, 0));
    QCOMPARE(snaps.lineCount(), 6);
    QCOMPARE(snaps.snapFrame(QRect(15, 50, 1, 3), 5).guideX, 17);
}

QTEST_APPLESS_MAIN(TestSnapIndex)
#include "tst_snap_index.moc"
