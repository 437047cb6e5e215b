#pragma once

#include <QRect>
#include <QVector>

#include <climits>
#include <initializer_list>
#include <utility>

namespace Plumbrook {

// The lines a frame being dragged or resized snaps to: the module's edges and
// centre, the other components' edges and centres, and the grid; kept sorted so
// that each pointer move looks them up instead of comparing every pair.
class SnapIndex
{
public:
    static constexpr int kGrid = 20;   // the grid's size unless set
    static constexpr int kMinimumGrid = 1;
    static constexpr int kMaximumGrid = 100;

    struct Snap
    {
        QPoint delta;            // what to add to the frame's position
        int guideX = kNone;      // the vertical line snapped to, or kNone
        int guideY = kNone;      // the horizontal line snapped to, or kNone
    };
    static constexpr int kNone = INT_MIN;

    // `gridOrigin` is where the grid's lines start (the module's corner, in the same
    // coordinates as the frames), `grid` the pixels between them; `guidesX` and
    // `guidesY` are the user's guides, vertical and horizontal.
    void build(const QVector<QRect> &others, const QRect &module, const QPoint &gridOrigin,
               int grid = kGrid, const QVector<int> &guidesX = {}, const QVector<int> &guidesY = {});

    // Moving a whole frame: its left, centre and right, top, middle and bottom
    // lines snap to the nearest line within `tolerance`.
    Snap snapFrame(const QRect &frame, int tolerance) const;
    // Resizing: only the edges dragged snap; `edges` as SelectionHandles::edges.
    Snap snapEdges(const QRect &frame, const QPoint &edges, int tolerance) const;

    int lineCount() const { return int(mXs.size() + mYs.size()); }

private:
    // The nearest line to `value` within `tolerance`, or kNone.
    int nearest(const QVector<int> &lines, int gridOrigin, int value, int tolerance) const;
    // The best of `values` on one axis: the offset to add and the line, or kNone.
    std::pair<int, int> best(const QVector<int> &lines, int gridOrigin,
                             std::initializer_list<int> values, int tolerance) const;

    QVector<int> mXs;
    QVector<int> mYs;
    QPoint mGridOrigin;
    int mGrid = kGrid;
};

} // namespace Plumbrook
