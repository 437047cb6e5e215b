#include "canvas/selection_frame.h"

#include <QPainter>

namespace Plumbrook {

SelectionFrame::SelectionFrame(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_TranslucentBackground);
    setObjectName(QStringLiteral("选择框"));
    hide();
}

void SelectionFrame::showAround(const QRect &bounds)
{
    // One pixel outside the bounds, so that the line never hides a component's edge.
    setGeometry(bounds.adjusted(-1, -1, 1, 1));
    show();
    raise();
}

void SelectionFrame::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    QPen pen(QColor(30, 111, 217));
    pen.setStyle(Qt::DashLine);
    p.setPen(pen);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace Plumbrook
