#include "canvas/canvas_repaint.h"

#include <QWidget>

namespace Plumbrook::CanvasRepaint {

bool inView(const QWidget *object)
{
    const QWidget *canvas = object ? object->parentWidget() : nullptr;
    if (!canvas || !object->isVisible())
        return false;
    QRect shown = object->geometry();
    for (const QWidget *w = canvas; w; w = w->isWindow() ? nullptr : w->parentWidget()) {
        shown &= w->rect();
        if (shown.isEmpty())
            return false;
        shown.translate(w->pos());
    }
    return true;
}

void objectArea(QWidget *object)
{
    if (inView(object))
        object->parentWidget()->update(object->geometry());
}

} // namespace Plumbrook::CanvasRepaint
