#include "canvas/canvas_scroller.h"

#include "canvas/canvas_surface.h"
#include "canvas/design_canvas.h"
#include "canvas/zoom_mapping.h"

#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

namespace Plumbrook {

namespace {

// Room left around the module, as the module lies 5 pixels from the canvas's corner.
constexpr int kMargin = 5;

} // namespace

CanvasScroller::CanvasScroller(DesignCanvas *canvas, QWidget *page, QWidget *content,
                               QScrollBar *horizontal, QScrollBar *vertical, QObject *parent)
    : QObject(parent)
    , mCanvas(canvas)
    , mPage(page)
    , mContent(content)
    , mHorizontal(horizontal)
    , mVertical(vertical)
    , mBase(canvas->surface()->size())
{
    page->installEventFilter(this);
    for (QScrollBar *bar : {horizontal, vertical}) {
        bar->setSingleStep(20);
        connect(bar, &QScrollBar::valueChanged, this, &CanvasScroller::placeContent);
    }
    connect(canvas, &DesignCanvas::modulePlaced, this, &CanvasScroller::fit);
    connect(canvas, &DesignCanvas::zoomChanged, this, &CanvasScroller::fit);
}

void CanvasScroller::setBaseSize(const QSize &size)
{
    mBase = size;
    fit();
}

void CanvasScroller::fit()
{
    const QRect module = ZoomMapping::toScreen(
        QRect(mCanvas->backgroundPos(), mCanvas->backgroundPictureSize()), mCanvas->zoom());
    const QSize needed(qMax(mBase.width(), ZoomMapping::pinned(double(module.x()) + module.width() + kMargin, 0)),
                       qMax(mBase.height(), ZoomMapping::pinned(double(module.y()) + module.height() + kMargin, 0)));
    CanvasSurface *surface = mCanvas->surface();
    if (surface->size() != needed) {
        surface->resize(needed);
        surface->drawGrid();
    }
    mContent->resize(needed);

    // A bar shown takes room from the other direction, which may then need its own bar.
    const int thickness = mPage->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const QSize page = mPage->size();
    bool horizontal = needed.width() > page.width();
    bool vertical = needed.height() > page.height();
    horizontal = horizontal || (vertical && needed.width() > page.width() - thickness);
    vertical = vertical || (horizontal && needed.height() > page.height() - thickness);
    const int viewWidth = page.width() - (vertical ? thickness : 0);
    const int viewHeight = page.height() - (horizontal ? thickness : 0);

    mHorizontal->setGeometry(0, page.height() - thickness, viewWidth, thickness);
    mVertical->setGeometry(page.width() - thickness, 0, thickness, viewHeight);
    mHorizontal->setRange(0, horizontal ? needed.width() - viewWidth : 0);
    mVertical->setRange(0, vertical ? needed.height() - viewHeight : 0);
    mHorizontal->setPageStep(qMax(1, viewWidth));
    mVertical->setPageStep(qMax(1, viewHeight));
    mHorizontal->setVisible(horizontal);
    mVertical->setVisible(vertical);
    mHorizontal->raise();
    mVertical->raise();
    placeContent();
}

QPoint CanvasScroller::offset() const
{
    return QPoint(mHorizontal->value(), mVertical->value());
}

void CanvasScroller::scrollTo(const QPoint &offset)
{
    mHorizontal->setValue(offset.x());
    mVertical->setValue(offset.y());
}

void CanvasScroller::scrollByWheel(int delta, bool horizontal)
{
    QScrollBar *bar = horizontal ? mHorizontal : mVertical;
    // One notch (120) scrolls three steps, as lists and pages do.
    bar->setValue(bar->value() - delta * 3 * bar->singleStep() / 120);
}

QPoint CanvasScroller::viewCentre() const
{
    const int width = mPage->width() - (mVertical->isVisible() ? mVertical->width() : 0);
    const int height = mPage->height() - (mHorizontal->isVisible() ? mHorizontal->height() : 0);
    return QPoint(width / 2, height / 2);
}

void CanvasScroller::ensureVisible(const QWidget *object)
{
    if (!object || !mContent->isAncestorOf(object))
        return;
    const QRect shown(object->mapTo(mContent, QPoint(0, 0)), object->size());
    const QSize view = QSize(viewCentre().x(), viewCentre().y()) * 2;
    const auto along = [](int at, int start, int length, int viewLength) {
        if (length > viewLength)
            return start + length / 2 - viewLength / 2;
        if (start < at)
            return start;
        if (start + length > at + viewLength)
            return start + length - viewLength;
        return at;
    };
    scrollTo(QPoint(along(offset().x(), shown.x(), shown.width(), view.width()),
                    along(offset().y(), shown.y(), shown.height(), view.height())));
}

void CanvasScroller::zoomTo(double zoom)
{
    zoomTo(zoom, viewCentre());
}

void CanvasScroller::zoomTo(double zoom, const QPoint &anchor)
{
    const double before = mCanvas->zoom();
    const QPointF canvasPoint = QPointF(anchor + offset()) / before;
    mCanvas->setZoom(zoom);
    const double after = mCanvas->zoom();
    if (after == before)
        return;
    const QPointF shown = canvasPoint * after - QPointF(anchor);
    scrollTo(QPoint(ZoomMapping::pinned(shown.x(), 0), ZoomMapping::pinned(shown.y(), 0)));
}

void CanvasScroller::zoomBySteps(int steps, const QPoint &anchor)
{
    zoomTo(ZoomMapping::stepped(mCanvas->zoom(), steps), anchor);
}

void CanvasScroller::placeContent()
{
    const QPoint at = -offset();
    if (mContent->pos() != at) {
        mContent->move(at);
        emit scrolled(offset());
    }
}

bool CanvasScroller::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == mPage) {
        if (event->type() == QEvent::Resize) {
            fit();
        } else if (event->type() == QEvent::Wheel) {
            auto *wheel = static_cast<QWheelEvent *>(event);
            const QPoint angle = wheel->angleDelta();
            if (wheel->modifiers() & Qt::ControlModifier) {
                mWheelZoom += angle.y() != 0 ? angle.y() : angle.x();
                const int notches = mWheelZoom / 120;
                mWheelZoom -= notches * 120;
                if (notches != 0)
                    zoomBySteps(notches, wheel->position().toPoint());
                return true;
            }
            // Some systems turn a wheel with Shift into a horizontal one already.
            const bool horizontal = (wheel->modifiers() & Qt::ShiftModifier) || angle.y() == 0;
            scrollByWheel(angle.y() != 0 ? angle.y() : angle.x(), horizontal);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace Plumbrook
