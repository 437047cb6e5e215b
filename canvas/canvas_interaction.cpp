#include "canvas/canvas_interaction.h"

#include "canvas/canvas_surface.h"
#include "canvas/context_menu_operations.h"
#include "canvas/design_canvas.h"
#include "canvas/drag_snapper.h"
#include "canvas/picture_object.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/kind_table.h"

#include <QMouseEvent>
#include <QRubberBand>

namespace Plumbrook {

CanvasInteraction::CanvasInteraction(DesignCanvas *canvas, QObject *parent)
    : QObject(parent)
    , mCanvas(canvas)
    , mSnapper(new DragSnapper(canvas, this))
{
    canvas->setObjectEventFilter(this);
    for (int i = 0; i < SelectionHandles::Count; ++i)
        canvas->handles().label(SelectionHandles::Handle(i))->installEventFilter(this);
    CanvasSurface *surface = canvas->surface();
    connect(surface, &CanvasSurface::pressed, this, &CanvasInteraction::surfacePressed);
    connect(surface, &CanvasSurface::moved, this, &CanvasInteraction::surfaceMoved);
    connect(surface, &CanvasSurface::released, this, &CanvasInteraction::surfaceReleased);
}

bool CanvasInteraction::eventFilter(QObject *watched, QEvent *event)
{
    const auto type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove
        && type != QEvent::MouseButtonRelease && type != QEvent::MouseButtonDblClick)
        return QObject::eventFilter(watched, event);
    auto *mouse = static_cast<QMouseEvent *>(event);
    const QPoint global = mouse->globalPosition().toPoint();
    const int handle = mCanvas->handles().indexOf(watched);

    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
        if (handle >= 0) {
            if (mouse->button() == Qt::LeftButton)
                handlePressed(handle, global);
        } else {
            objectPressed(qobject_cast<QWidget *>(watched), mouse->button(), global,
                          mouse->modifiers());
        }
        return true;
    }
    if (type == QEvent::MouseMove) {
        if (!mGroup.isEmpty()) {
            const QRect bounds = mSnapper->moved(mGroupStart.translated(global - mPressGlobal),
                                                 mouse->modifiers());
            const QPoint delta = bounds.topLeft() - mGroupStart.topLeft();
            for (const Moving &moving : std::as_const(mGroup)) {
                if (moving.object)
                    moving.object->move(moving.start + delta);
            }
            showLive(bounds);
            return true;
        }
        if (mGesture == Gesture::None || !mTarget)
            return true;
        const QPoint delta = global - mPressGlobal;
        if (mGesture == Gesture::Move) {
            mTarget->move(mSnapper->moved(mStartGeometry.translated(delta), mouse->modifiers()).topLeft());
        } else {
            // The dragged edges follow the pointer; the opposite ones stay.
            const QPoint edges = SelectionHandles::edges(SelectionHandles::Handle(mHandle));
            int left = mStartGeometry.left();
            int top = mStartGeometry.top();
            int right = mStartGeometry.x() + mStartGeometry.width();
            int bottom = mStartGeometry.y() + mStartGeometry.height();
            if (edges.x() < 0)
                left = qMin(left + delta.x(), right);
            if (edges.x() > 0)
                right = qMax(right + delta.x(), left);
            if (edges.y() < 0)
                top = qMin(top + delta.y(), bottom);
            if (edges.y() > 0)
                bottom = qMax(bottom + delta.y(), top);
            mTarget->setGeometry(mSnapper->resized(QRect(left, top, right - left, bottom - top),
                                                   edges, mouse->modifiers()));
        }
        showLive(mTarget->geometry());
        return true;
    }
    // Release
    if (mouse->button() == Qt::LeftButton && !mGroup.isEmpty())
        finishGroupMove();
    else if (mouse->button() == Qt::LeftButton && mGesture != Gesture::None)
        finishGesture();
    return true;
}

void CanvasInteraction::objectPressed(QWidget *object, Qt::MouseButton button,
                                      const QPoint &globalPos, Qt::KeyboardModifiers modifiers)
{
    if (!object)
        return;
    if (button == Qt::LeftButton)
        mCanvas->surface()->setFocus(Qt::MouseFocusReason);
    emit selectionAboutToChange();
    if (button == Qt::LeftButton && (modifiers & Qt::ControlModifier)) {
        mCanvas->toggleSelected(object);
        return;
    }
    if (button == Qt::LeftButton && startGroupMove(object, globalPos))
        return;
    auto &selection = mCanvas->selection();
    mCanvas->select(qobject_cast<PictureObject *>(object) ? DesignCanvas::Selection::Picture
                                                          : DesignCanvas::Selection::Text,
                    object);
    if (button == Qt::RightButton) {
        emit contextMenuRequested(globalPos);
        return;
    }
    if (button != Qt::LeftButton)
        return;

    ComponentTable *table = mCanvas->table();
    const int row = table->findRowById(DesignCanvas::tagOf(object));
    if (table->isLocked(row)) {
        emit mCanvas->statusMessage(ContextMenuOperations::kLockedMessage);
        selection.unlocked = false;
        return;
    }
    selection.unlocked = true;
    object->raise();
    mGesture = Gesture::Move;
    mTarget = object;
    mPressGlobal = globalPos;
    mStartGeometry = object->geometry();
    mSnapper->begin({object});
}

bool CanvasInteraction::startGroupMove(QWidget *object, const QPoint &globalPos)
{
    const QList<QWidget *> objects = mCanvas->selectedObjects();
    if (objects.size() < 2 || !objects.contains(object))
        return false;
    mGroup.clear();
    bool locked = false;
    for (QWidget *selected : objects) {
        if (mCanvas->isLockedObject(selected))
            locked = true;
        else
            mGroup.append({selected, selected->pos()});
    }
    mPressGlobal = globalPos;
    mGroupStart = QRect();
    QList<QWidget *> moving;
    for (const Moving &each : std::as_const(mGroup)) {
        mGroupStart = mGroupStart.united(each.object->geometry());
        moving.append(each.object);
    }
    mSnapper->begin(moving);
    if (locked)
        emit mCanvas->statusMessage(ContextMenuOperations::kLockedMessage);
    return true;
}

void CanvasInteraction::finishGroupMove()
{
    const QVector<Moving> group = std::exchange(mGroup, {});
    mSnapper->end();
    bool moved = false;
    for (const Moving &moving : group)
        moved = moved || (moving.object && moving.object->pos() != moving.start);
    if (moved) {
        mCanvas->document()->record(QStringLiteral("移动"), [this, &group] {
            for (const Moving &moving : group) {
                if (moving.object)
                    mCanvas->storeFrame(moving.object);
            }
        });
    }
    mCanvas->showSelection();
}

void CanvasInteraction::handlePressed(int handle, const QPoint &globalPos)
{
    // A locked component just pressed takes the handles, unresized. Otherwise they act
    // on the component they are drawn around, whatever a menu selected since.
    const auto &selection = mCanvas->selection();
    QWidget *pressedLocked = selection.unlocked ? nullptr : mCanvas->selectedObject();
    QWidget *object = pressedLocked ? pressedLocked : mCanvas->handlesTarget();
    mTarget = object;
    mHandle = handle;
    mPressGlobal = globalPos;
    if (!object)
        return;
    emit selectionAboutToChange();
    mCanvas->select(qobject_cast<PictureObject *>(object) ? DesignCanvas::Selection::Picture
                                                          : DesignCanvas::Selection::Text,
                    object);
    mStartGeometry = object->geometry();
    const bool locked = mCanvas->table()->isLocked(
        mCanvas->table()->findRowById(DesignCanvas::tagOf(object)));
    mCanvas->selection().unlocked = !locked;
    // A locked component is never resized; its display is still refreshed.
    mGesture = locked ? Gesture::None : Gesture::Resize;
    if (locked)
        mCanvas->refreshSelectionDisplay(object);
    else
        mSnapper->begin({object});
}

void CanvasInteraction::showLive(const QRect &frame)
{
    const QPoint at = frame.topLeft() - mCanvas->backgroundPos();
    emit mCanvas->statusMessage(QStringLiteral("X：%1  Y：%2  W：%3  H：%4")
                                    .arg(at.x()).arg(at.y()).arg(frame.width()).arg(frame.height()));
}

void CanvasInteraction::finishGesture()
{
    const Gesture gesture = mGesture;
    mGesture = Gesture::None;
    mSnapper->end();
    QWidget *object = mTarget;
    mTarget = nullptr;
    if (!object)
        return;
    // The whole drag is one step, recorded when it ends; a click that moved nothing
    // only fills the cells of a component never placed, which is no step.
    if (object->geometry() == mStartGeometry)
        mCanvas->refreshSelectionDisplay(object);
    else
        mCanvas->document()->record(gesture == Gesture::Move ? QStringLiteral("移动") : QStringLiteral("调整大小"),
                                    [this, object] { mCanvas->refreshSelectionDisplay(object); });
    ComponentTable *table = mCanvas->table();
    const int row = table->findRowById(DesignCanvas::tagOf(object));
    const QString kind = table->cell(row, ComponentTable::Kind);
    if (gesture == Gesture::Move && KindTable::is(kind, KindTable::Kind::Carousel))
        mCanvas->liftCarouselArrows(row);
}

void CanvasInteraction::surfacePressed(Qt::MouseButton button, const QPoint &pos, int spriteId)
{
    emit selectionAboutToChange();
    auto &selection = mCanvas->selection();
    mPanning = false;
    if (spriteId == mCanvas->backgroundId()) {
        mCanvas->select(DesignCanvas::Selection::Background);
        selection.backgroundId = spriteId;
        if (button == Qt::LeftButton) {
            selection.grabOffset = pos - mCanvas->backgroundPos();
            mPanning = true;
            mPanPrevious = mCanvas->backgroundPos();
            emit mCanvas->statusMessage(mCanvas->moduleStatusText());
        }
        return;
    }
    const bool adding = button == Qt::LeftButton
        && (mCanvas->surface()->lastModifiers() & Qt::ControlModifier);
    if (!adding)
        mCanvas->select(DesignCanvas::Selection::None);
    if (button == Qt::RightButton)
        emit contextMenuRequested(mCanvas->surface()->mapToGlobal(pos));
    if (button == Qt::LeftButton) {
        if (!mBand)
            mBand = new QRubberBand(QRubberBand::Rectangle, mCanvas->surface()->parentWidget());
        mBanding = true;
        mBandOrigin = mCanvas->surface()->mapToParent(pos);
        mBand->setGeometry(QRect(mBandOrigin, QSize()));
    }
}

void CanvasInteraction::surfaceMoved(const QPoint &pos)
{
    emit dragAnywhereOff();
    if (mBanding) {
        mBand->setGeometry(QRect(mBandOrigin, mCanvas->surface()->mapToParent(pos)).normalized());
        mBand->show();
        mBand->raise();
        return;
    }
    if (!mPanning || mCanvas->backgroundPictureSize().width() <= mCanvas->screenWidth())
        return;
    const QPoint next = pos - mCanvas->selection().grabOffset;
    mCanvas->moveBackground(next);
    const QPoint delta = next - mPanPrevious;
    mCanvas->handles().hideAll();
    for (QWidget *object : mCanvas->allObjects())
        object->move(object->pos() + delta);
    mPanPrevious = next;
}

void CanvasInteraction::surfaceReleased(Qt::MouseButton button, const QPoint &, int spriteId)
{
    if (button != Qt::LeftButton)
        return;
    mPanning = false;
    if (mBanding) {
        mBanding = false;
        const QRect band = mBand->isVisible() ? mBand->geometry() : QRect();
        mBand->hide();
        if (band.isEmpty())
            return;
        // Ctrl adds what the band touches to what was selected.
        QList<QWidget *> touched;
        if (mCanvas->surface()->lastModifiers() & Qt::ControlModifier)
            touched = mCanvas->selectedObjects();
        for (QWidget *object : mCanvas->allObjects()) {
            if (object->isVisible() && object->geometry().intersects(band) && !touched.contains(object))
                touched.append(object);
        }
        mCanvas->selectObjects(touched);
        return;
    }
    if (spriteId != 0 && spriteId == mCanvas->backgroundId())
        emit mCanvas->statusMessage(mCanvas->moduleStatusText());
}

} // namespace Plumbrook
