#include "components/window_drag.h"

#include <QMouseEvent>
#include <QWidget>

namespace Plumbrook {

WindowDrag::WindowDrag(QWidget *window)
    : QObject(window)
    , mWindow(window)
{
    window->installEventFilter(this);
}

WindowDrag *WindowDrag::install(QWidget *window)
{
    return new WindowDrag(window);
}

bool WindowDrag::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != mWindow)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton)
            mGrab = mouse->globalPosition().toPoint() - mWindow->frameGeometry().topLeft();
        break;
    }
    case QEvent::MouseMove: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mGrab && (mouse->buttons() & Qt::LeftButton))
            mWindow->move(mouse->globalPosition().toPoint() - *mGrab);
        break;
    }
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            mGrab.reset();
        break;
    default:
        break;
    }
    return false;
}

} // namespace Plumbrook
