#pragma once

#include <QRect>
#include <QVector>

namespace Plumbrook {

// Where alignment, distribution and sizing put a set of frames on the module.
namespace Arrangement {

enum Operation {
    AlignLeft,
    AlignHorizontalCentres,
    AlignRight,
    AlignTop,
    AlignVerticalCentres,
    AlignBottom,
    DistributeHorizontally,
    DistributeVertically,
    SameWidth,
    SameHeight,
};

// The frames `frames` take after `operation`, in the same order. Alignment is to the
// frames' bounds, or to `module` when there is one frame; distribution keeps the two
// outermost frames and leaves equal gaps between neighbours (three frames at least);
// sizing gives every frame the first frame's width or height.
QVector<QRect> arranged(const QVector<QRect> &frames, Operation operation, const QRect &module);

} // namespace Arrangement
} // namespace Plumbrook
