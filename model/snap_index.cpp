#include "model/snap_index.h"

#include <algorithm>
#include <cstdlib>

namespace Plumbrook {

namespace {

int floorDiv(int a, int b)
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

void addFrame(QVector<int> &xs, QVector<int> &ys, const QRect &frame)
{
    xs << frame.x() << frame.x() + frame.width() / 2 << frame.x() + frame.width();
    ys << frame.y() << frame.y() + frame.height() / 2 << frame.y() + frame.height();
}

void sortUnique(QVector<int> &lines)
{
    std::sort(lines.begin(), lines.end());
    lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
}

} // namespace

void SnapIndex::build(const QVector<QRect> &others, const QRect &module, const QPoint &gridOrigin,
                      int grid, const QVector<int> &guidesX, const QVector<int> &guidesY)
{
    mXs.clear();
    mYs.clear();
    mXs.reserve(3 * others.size() + 3);
    mYs.reserve(3 * others.size() + 3);
    if (!module.isEmpty())
        addFrame(mXs, mYs, module);
    for (const QRect &frame : others)
        addFrame(mXs, mYs, frame);
    mXs += guidesX;
    mYs += guidesY;
    sortUnique(mXs);
    sortUnique(mYs);
    mGridOrigin = gridOrigin;
    mGrid = qBound(kMinimumGrid, grid, kMaximumGrid);
}

int SnapIndex::nearest(const QVector<int> &lines, int gridOrigin, int value, int tolerance) const
{
    int found = kNone;
    int distance = tolerance + 1;
    const auto consider = [&](int line) {
        const int d = std::abs(line - value);
        if (d < distance) {
            distance = d;
            found = line;
        }
    };
    const auto at = std::lower_bound(lines.cbegin(), lines.cend(), value);
    if (at != lines.cend())
        consider(*at);
    if (at != lines.cbegin())
        consider(*(at - 1));
    const int cell = floorDiv(value - gridOrigin, mGrid);
    consider(gridOrigin + cell * mGrid);
    consider(gridOrigin + (cell + 1) * mGrid);
    return found;
}

std::pair<int, int> SnapIndex::best(const QVector<int> &lines, int gridOrigin,
                                    std::initializer_list<int> values, int tolerance) const
{
    int offset = 0;
    int line = kNone;
    int distance = tolerance + 1;
    for (int value : values) {
        const int found = nearest(lines, gridOrigin, value, tolerance);
        if (found != kNone && std::abs(found - value) < distance) {
            distance = std::abs(found - value);
            offset = found - value;
            line = found;
        }
    }
    return {offset, line};
}

SnapIndex::Snap SnapIndex::snapFrame(const QRect &frame, int tolerance) const
{
    const int left = frame.x();
    const int top = frame.y();
    const auto [dx, x] = best(mXs, mGridOrigin.x(),
                              {left, left + frame.width() / 2, left + frame.width()}, tolerance);
    const auto [dy, y] = best(mYs, mGridOrigin.y(),
                              {top, top + frame.height() / 2, top + frame.height()}, tolerance);
    return {QPoint(dx, dy), x, y};
}

SnapIndex::Snap SnapIndex::snapEdges(const QRect &frame, const QPoint &edges, int tolerance) const
{
    Snap snap;
    if (edges.x() != 0) {
        const int edge = edges.x() < 0 ? frame.x() : frame.x() + frame.width();
        const auto [dx, x] = best(mXs, mGridOrigin.x(), {edge}, tolerance);
        snap.delta.setX(dx);
        snap.guideX = x;
    }
    if (edges.y() != 0) {
        const int edge = edges.y() < 0 ? frame.y() : frame.y() + frame.height();
        const auto [dy, y] = best(mYs, mGridOrigin.y(), {edge}, tolerance);
        snap.delta.setY(dy);
        snap.guideY = y;
    }
    return snap;
}

} // namespace Plumbrook
