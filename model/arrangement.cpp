#include "model/arrangement.h"

#include <algorithm>
#include <numeric>

namespace Plumbrook::Arrangement {

namespace {

QRect boundsOf(const QVector<QRect> &frames)
{
    QRect bounds = frames.constFirst();
    for (const QRect &frame : frames)
        bounds = bounds.united(frame);
    return bounds;
}

// Frames laid along one axis with equal gaps between the first and the last in
// order of their start; `start`, `length` and `place` read and write that axis.
template <typename Start, typename Length, typename Place>
QVector<QRect> distributed(QVector<QRect> frames, Start start, Length length, Place place)
{
    const int count = int(frames.size());
    if (count < 3)
        return frames;
    QVector<int> order(count);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return start(frames[a]) < start(frames[b]); });
    const QRect first = frames[order.constFirst()];
    int end = start(first) + length(first);
    for (const QRect &frame : std::as_const(frames))
        end = std::max(end, start(frame) + length(frame));
    // The run ends where the furthest frame ends, so no frame leaves the bounds.
    const int span = end - start(first);
    qint64 occupied = 0;
    for (const QRect &frame : std::as_const(frames))
        occupied += length(frame);
    const qint64 free = span - occupied;
    qint64 at = start(first);
    for (int i = 0; i < count; ++i) {
        QRect &frame = frames[order[i]];
        // Rounded per position, so the gaps differ by one pixel at most.
        const qint64 gapsBefore = (free * i) / (count - 1);
        const qint64 lengthsBefore = at - start(first);
        place(frame, int(start(first) + lengthsBefore + gapsBefore));
        at += length(frame);
    }
    return frames;
}

} // namespace

QVector<QRect> arranged(const QVector<QRect> &frames, Operation operation, const QRect &module)
{
    if (frames.isEmpty())
        return frames;
    const QRect bounds = frames.size() == 1 ? module : boundsOf(frames);
    QVector<QRect> result = frames;
    for (QRect &frame : result) {
        switch (operation) {
        case AlignLeft: frame.moveLeft(bounds.left()); break;
        case AlignRight: frame.moveLeft(bounds.x() + bounds.width() - frame.width()); break;
        case AlignHorizontalCentres:
            frame.moveLeft(bounds.x() + (bounds.width() - frame.width()) / 2);
            break;
        case AlignTop: frame.moveTop(bounds.top()); break;
        case AlignBottom: frame.moveTop(bounds.y() + bounds.height() - frame.height()); break;
        case AlignVerticalCentres:
            frame.moveTop(bounds.y() + (bounds.height() - frame.height()) / 2);
            break;
        case SameWidth: frame.setWidth(frames.constFirst().width()); break;
        case SameHeight: frame.setHeight(frames.constFirst().height()); break;
        default: break;
        }
    }
    if (operation == DistributeHorizontally)
        return distributed(frames, [](const QRect &r) { return r.x(); },
                           [](const QRect &r) { return r.width(); },
                           [](QRect &r, int at) { r.moveLeft(at); });
    if (operation == DistributeVertically)
        return distributed(frames, [](const QRect &r) { return r.y(); },
                           [](const QRect &r) { return r.height(); },
                           [](QRect &r, int at) { r.moveTop(at); });
    return result;
}

} // namespace Plumbrook::Arrangement
