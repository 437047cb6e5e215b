#include "codegen/covered_components.h"

#include "codegen/fill_context.h"
#include "model/text_ops.h"
#include "model/component_table.h"
#include "model/kind_table.h"

#include <QHash>

#include <algorithm>

namespace Plumbrook::CoveredComponents {

namespace {

// Grid cells of at least 128 pixels: a component of usual size touches a handful of them.
constexpr int kCellShift = 7;
// A component touching more cells than this is compared with every clickable one
// instead, so that one huge frame cannot fill the grid.
constexpr qint64 kMaxCells = 1024;

// The grid cells a box touches, inclusive.
struct CellRange
{
    int x0, y0, x1, y1;
    qint64 count() const { return qint64(x1 - x0 + 1) * (y1 - y0 + 1); }
};

bool intersects(const Box &a, const Box &b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

Box clipped(const Box &part, const Box &target)
{
    Box box = part;
    box.left = std::max(part.left, target.left);
    box.top = std::max(part.top, target.top);
    box.right = std::min(part.right, target.right);
    box.bottom = std::min(part.bottom, target.bottom);
    return box;
}

qint64 area(const Box &box)
{
    return qint64(box.right - box.left) * (box.bottom - box.top);
}

} // namespace

bool unionCovers(const Box &target, const QVector<Box> &parts)
{
    if (target.isEmpty())
        return false;
    QVector<Box> inside;
    inside.reserve(parts.size());
    qint64 total = 0;
    for (const Box &part : parts) {
        if (!intersects(part, target))
            continue;
        const Box box = clipped(part, target);
        if (box.left == target.left && box.top == target.top && box.right == target.right
            && box.bottom == target.bottom)
            return true;
        inside.append(box);
        total += area(box);
    }
    // Less area than the target's can never cover it, overlaps or not.
    if (total < area(target))
        return false;

    QVector<int> xs{target.left, target.right};
    for (const Box &box : std::as_const(inside))
        xs << box.left << box.right;
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());

    QVector<std::pair<int, int>> spans;
    for (int i = 0; i + 1 < xs.size(); ++i) {
        const int x0 = xs.at(i);
        const int x1 = xs.at(i + 1);
        spans.clear();
        for (const Box &box : std::as_const(inside)) {
            if (box.left <= x0 && box.right >= x1)
                spans.append({box.top, box.bottom});
        }
        std::sort(spans.begin(), spans.end());
        int reached = target.top;
        for (const auto &[top, bottom] : std::as_const(spans)) {
            if (top > reached)
                return false;
            reached = std::max(reached, bottom);
        }
        if (reached < target.bottom)
            return false;
    }
    return true;
}

QVector<int> find(const QVector<Box> &boxes)
{
    // The boxes of usual size in a grid over the area they span, kept as one array of
    // indexes per cell in a row (each cell's run found through `starts`); the grid
    // coarsens until it has no more cells than a few per box.
    int left = 0, top = 0, right = 0, bottom = 0;
    bool any = false;
    for (const Box &box : boxes) {
        if (box.isEmpty())
            continue;
        left = any ? std::min(left, box.left) : box.left;
        top = any ? std::min(top, box.top) : box.top;
        right = any ? std::max(right, box.right) : box.right;
        bottom = any ? std::max(bottom, box.bottom) : box.bottom;
        any = true;
    }
    int shift = kCellShift;
    const qint64 cellLimit = std::max<qint64>(4 * qint64(boxes.size()), 4096);
    const auto columnsAt = [&](int s) { return any ? (qint64(right) - left - 1) / (qint64(1) << s) + 1 : 0; };
    const auto rowsAt = [&](int s) { return any ? (qint64(bottom) - top - 1) / (qint64(1) << s) + 1 : 0; };
    while (columnsAt(shift) * rowsAt(shift) > cellLimit)
        ++shift;
    const int columns = int(columnsAt(shift));
    const int rows = int(rowsAt(shift));
    const auto cellsOf = [&](const Box &box) {
        return CellRange{int((qint64(box.left) - left) >> shift), int((qint64(box.top) - top) >> shift),
                         int((qint64(box.right) - 1 - left) >> shift), int((qint64(box.bottom) - 1 - top) >> shift)};
    };

    QVector<int> starts(qsizetype(columns) * rows + 1, 0);
    QVector<int> huge;
    for (int i = 0; i < boxes.size(); ++i) {
        const Box &box = boxes.at(i);
        if (box.isEmpty())
            continue;
        const CellRange cells = cellsOf(box);
        if (cells.count() > kMaxCells) {
            huge.append(i);
            continue;
        }
        for (int y = cells.y0; y <= cells.y1; ++y) {
            for (int x = cells.x0; x <= cells.x1; ++x)
                ++starts[qsizetype(y) * columns + x + 1];
        }
    }
    for (qsizetype c = 1; c < starts.size(); ++c)
        starts[c] += starts[c - 1];
    QVector<int> members(starts.isEmpty() ? 0 : starts.constLast());
    QVector<int> filled(starts.begin(), starts.end() - (starts.isEmpty() ? 0 : 1));
    for (int i = 0; i < boxes.size(); ++i) {
        const Box &box = boxes.at(i);
        if (box.isEmpty())
            continue;
        const CellRange cells = cellsOf(box);
        if (cells.count() > kMaxCells)
            continue;
        for (int y = cells.y0; y <= cells.y1; ++y) {
            for (int x = cells.x0; x <= cells.x1; ++x)
                members[filled[qsizetype(y) * columns + x]++] = i;
        }
    }

    QVector<int> covered;
    QVector<int> seen(boxes.size(), -1);
    QVector<Box> above;
    const auto consider = [&](int target, int j) {
        if (j == target || seen.at(j) == target)
            return;
        seen[j] = target;
        const Box &box = boxes.at(j);
        if (box.isAbove(boxes.at(target)) && intersects(box, boxes.at(target)))
            above.append(box);
    };
    for (int i = 0; i < boxes.size(); ++i) {
        const Box &target = boxes.at(i);
        if (!target.clickable || target.isEmpty())
            continue;
        above.clear();
        const CellRange cells = cellsOf(target);
        if (cells.count() > kMaxCells) {
            for (int j = 0; j < boxes.size(); ++j)
                consider(i, j);
        } else {
            for (int y = cells.y0; y <= cells.y1; ++y) {
                for (int x = cells.x0; x <= cells.x1; ++x) {
                    const qsizetype cell = qsizetype(y) * columns + x;
                    for (int m = starts.at(cell); m < starts.at(cell + 1); ++m)
                        consider(i, members.at(m));
                }
            }
            for (const int j : std::as_const(huge))
                consider(i, j);
        }
        if (unionCovers(target, above))
            covered.append(i);
    }
    return covered;
}

int stackLevel(const QString &kind)
{
    return KindTable::zIndexOf(kind);
}

} // namespace Plumbrook::CoveredComponents
