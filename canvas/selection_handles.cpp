#include "canvas/selection_handles.h"

namespace Plumbrook {

void SelectionHandles::setHandles(const std::array<QLabel *, Count> &labels)
{
    mLabels = labels;
    const Qt::CursorShape shapes[Count] = {
        Qt::SizeFDiagCursor, Qt::SizeVerCursor, Qt::SizeBDiagCursor, Qt::SizeHorCursor,
        Qt::SizeHorCursor, Qt::SizeBDiagCursor, Qt::SizeVerCursor, Qt::SizeFDiagCursor,
    };
    for (int i = 0; i < Count; ++i) {
        mLabels[i]->setCursor(shapes[i]);
        mLabels[i]->hide();
    }
}

int SelectionHandles::indexOf(const QObject *object) const
{
    for (int i = 0; i < Count; ++i) {
        if (mLabels[i] == object)
            return i;
    }
    return -1;
}

void SelectionHandles::place(const QRect &frame)
{
    const int l = frame.x();
    const int t = frame.y();
    const int w = frame.width();
    const int h = frame.height();
    QLabel *topLeft = mLabels[TopLeft];
    QLabel *left = mLabels[Left];
    QLabel *top = mLabels[Top];
    QLabel *topRight = mLabels[TopRight];

    std::array<bool, Count> shown{};
    topLeft->move(l - topLeft->width(), t - topLeft->height());
    shown[TopLeft] = true;
    if (h < 10) {
        left->hide();
        mLabels[Right]->hide();
    } else {
        left->move(l - left->width(), t + h / 2 - left->height() / 2);
        mLabels[Right]->move(l + w, left->y());
        shown[Left] = shown[Right] = true;
    }
    mLabels[BottomLeft]->move(topLeft->x(), t + h);
    shown[BottomLeft] = true;
    if (w < 10) {
        top->hide();
        mLabels[Bottom]->hide();
    } else {
        top->move(l + w / 2 - top->width() / 2, t - top->height());
        mLabels[Bottom]->move(top->x(), t + h);
        shown[Top] = shown[Bottom] = true;
    }
    topRight->move(l + w, t - topRight->height());
    mLabels[BottomRight]->move(topRight->x(), t + h);
    shown[TopRight] = shown[BottomRight] = true;

    for (int i = 0; i < Count; ++i) {
        if (!shown[i])
            continue;
        mLabels[i]->show();
        mLabels[i]->raise();
        mLabels[i]->repaint();
    }
}

void SelectionHandles::hideAll()
{
    for (QLabel *label : mLabels)
        label->hide();
}

QPoint SelectionHandles::edges(Handle h)
{
    switch (h) {
    case TopLeft: return {-1, -1};
    case Top: return {0, -1};
    case TopRight: return {1, -1};
    case Right: return {1, 0};
    case Left: return {-1, 0};
    case BottomLeft: return {-1, 1};
    case Bottom: return {0, 1};
    case BottomRight: return {1, 1};
    default: return {0, 0};
    }
}

} // namespace Plumbrook
