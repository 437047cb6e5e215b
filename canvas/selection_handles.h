#pragma once

#include <QLabel>
#include <QRect>
#include <array>

namespace Plumbrook {

// The eight 4 × 4 handles placed around the selected component's frame.
class SelectionHandles
{
public:
    // In the order 左上, 上中, 右上, 右中, 左中, 左下, 下中, 右下.
    enum Handle { TopLeft, Top, TopRight, Right, Left, BottomLeft, Bottom, BottomRight, Count };

    void setHandles(const std::array<QLabel *, Count> &labels);
    QLabel *label(Handle h) const { return mLabels[h]; }
    int indexOf(const QObject *object) const;   // -1 when not a handle

    void place(const QRect &frame);
    void hideAll();

    // Which edges a handle drags: x and y are -1 (left/top), 0 (none) or 1 (right/bottom).
    static QPoint edges(Handle h);

private:
    std::array<QLabel *, Count> mLabels{};
};

} // namespace Plumbrook
