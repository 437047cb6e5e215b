#include "canvas/canvas_interaction.h"

#include "canvas/band_outline.h"
#include "canvas/canvas_surface.h"
#include "canvas/context_menu_operations.h"
#include "canvas/design_canvas.h"
#include "canvas/drag_snapper.h"
#include "canvas/picture_object.h"
#include "canvas/zoom_mapping.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/design_operations.h"
#include "model/kind_table.h"

#include <QMouseEvent>
#include <QSet>

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

CanvasInteraction::~CanvasInteraction() = default;

bool CanvasInteraction::eventFilter(QObject *watched, QEvent *event)
{
    const auto type = event->type();
    if (type == QEvent::FontChange) {
        if (auto *label = qobject_cast<QLabel *>(watched); label && !qobject_cast<PictureObject *>(watched))
            mCanvas->followFont(label);
        return QObject::eventFilter(watched, event);
    }
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
        // The pointer travels in screen pixels; what it drags, in canvas pixels.
        const QPoint delta = ZoomMapping::toCanvas(global - mPressGlobal, mCanvas->zoom());
        if (!mGroup.isEmpty()) {
            const QRect bounds = mSnapper->moved(mGroupStart.translated(delta), mouse->modifiers());
            const QPoint snapped = bounds.topLeft() - mGroupStart.topLeft();
            for (const Moving &moving : std::as_const(mGroup)) {
                if (moving.object)
                    mCanvas->moveObject(moving.object, moving.start + snapped);
            }
            showLive(bounds);
            return true;
        }
        if (mGesture == Gesture::None || !mTarget)
            return true;
        if (mGesture == Gesture::Move) {
            mCanvas->moveObject(mTarget, mSnapper->moved(mStartGeometry.translated(delta), mouse->modifiers()).topLeft());
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
            mCanvas->setFrame(mTarget, mSnapper->resized(QRect(left, top, right - left, bottom - top),
                                                         edges, mouse->modifiers()));
        }
        showLive(mCanvas->frameOf(mTarget));
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

    mCanvas->placeFirstTime(object);
    ComponentTable *table = mCanvas->table();
    const int row = table->findRowById(DesignCanvas::tagOf(object));
    if (table->isLocked(row)) {
        // The boxes and handles show the component pressed, which does not move.
        mCanvas->refreshSelectionDisplay(object);
        emit mCanvas->statusMessage(ContextMenuOperations::kLockedMessage);
        selection.unlocked = false;
        return;
    }
    selection.unlocked = true;
    // Drawn on top while it is dragged; the release puts it back where the code stacks it.
    object->raise();
    mGesture = Gesture::Move;
    mTarget = object;
    mPressGlobal = globalPos;
    mStartGeometry = mCanvas->frameOf(object);
    mSnapper->begin({object});
}

bool CanvasInteraction::startGroupMove(QWidget *object, const QPoint &globalPos)
{
    QList<QWidget *> objects = mCanvas->selectedObjects();
    // A carousel pressed alone is dragged with its arrows, as a group of three.
    const bool carouselAlone = !objects.contains(object) || objects.size() < 2;
    if (carouselAlone) {
        if (mCanvas->isLockedObject(object))
            return false;
        objects = mCanvas->withCarouselArrows({object});
        if (objects.size() < 2)
            return false;
        mCanvas->select(DesignCanvas::Selection::Picture, object);
        mCanvas->selection().unlocked = true;
    }
    mGroup.clear();
    bool locked = false;
    QList<QWidget *> unlocked;
    for (QWidget *selected : std::as_const(objects)) {
        if (mCanvas->isLockedObject(selected))
            locked = true;
        else
            unlocked.append(selected);
    }
    for (QWidget *each : mCanvas->withCarouselArrows(unlocked))
        mGroup.append({each, mCanvas->frameOf(each).topLeft()});
    mPressGlobal = globalPos;
    mGroupStart = QRect();
    QList<QWidget *> moving;
    for (const Moving &each : std::as_const(mGroup)) {
        mGroupStart = mGroupStart.united(mCanvas->frameOf(each.object));
        moving.append(each.object);
    }
    mSnapper->begin(moving);
    raiseGroup(moving);
    if (locked)
        emit mCanvas->statusMessage(ContextMenuOperations::kLockedMessage);
    return true;
}

void CanvasInteraction::raiseGroup(const QList<QWidget *> &moving)
{
    // As a single dragged component comes to the front, so does a group, keeping its
    // own stacking, until the release.
    if (moving.isEmpty())
        return;
    const QSet<QWidget *> members(moving.cbegin(), moving.cend());
    const QObjectList siblings = moving.constFirst()->parentWidget()->children();
    for (QObject *sibling : siblings) {
        auto *widget = qobject_cast<QWidget *>(sibling);
        if (members.contains(widget))
            widget->raise();
    }
}

void CanvasInteraction::finishGroupMove()
{
    const QVector<Moving> group = std::exchange(mGroup, {});
    mSnapper->end();
    bool moved = false;
    for (const Moving &moving : group)
        moved = moved || (moving.object && mCanvas->frameOf(moving.object).topLeft() != moving.start);
    if (moved) {
        DesignOperations::Frames frames;
        for (const Moving &moving : group) {
            if (moving.object)
                frames.append({DesignCanvas::tagOf(moving.object), mCanvas->moduleFrameOf(moving.object)});
        }
        DesignOperations::setFrames(mCanvas->document(), QStringLiteral("移动"), frames);
    }
    mCanvas->restackAll();
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
    mStartGeometry = mCanvas->frameOf(object);
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
    // The whole drag is one step, recorded when it ends.
    if (mCanvas->frameOf(object) != mStartGeometry) {
        const QString verb = gesture == Gesture::Move ? QStringLiteral("移动") : QStringLiteral("调整%1大小");
        DesignOperations::setFrames(mCanvas->document(), verb,
                                    {{DesignCanvas::tagOf(object), mCanvas->moduleFrameOf(object)}});
    }
    mCanvas->stackInPlace(object);
    mCanvas->refreshSelectionDisplay(object);
}

void CanvasInteraction::surfacePressed(Qt::MouseButton button, const QPoint &pos, int spriteId)
{
    mCanvas->surface()->setFocus(Qt::MouseFocusReason);
    emit selectionAboutToChange();
    auto &selection = mCanvas->selection();
    mPanning = false;
    mCanvas->settlePan();
    if (spriteId == mCanvas->backgroundId()) {
        mCanvas->select(DesignCanvas::Selection::Background);
        selection.backgroundId = spriteId;
        if (button == Qt::LeftButton) {
            selection.grabOffset = ZoomMapping::toCanvas(pos, mCanvas->zoom()) - mCanvas->backgroundPos();
            mPanning = true;
            mPanStart = mCanvas->backgroundPos();
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
            mBand = std::make_unique<BandOutline>(mCanvas->surface()->parentWidget());
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
        return;
    }
    // Wider than the screen as shown, at the zoom it is shown at.
    const double zoom = mCanvas->zoom();
    if (!mPanning || ZoomMapping::toScreen(mCanvas->backgroundPictureSize().width(), zoom) <= mCanvas->screenWidth())
        return;
    const QPoint next = ZoomMapping::toCanvas(pos, zoom) - mCanvas->selection().grabOffset;
    mCanvas->moveBackground(next);
    mCanvas->handles().hideAll();
    // The objects' one shared layer moves, not each object; they take their places when the pan ends.
    mCanvas->panObjects(next - mPanStart);
}

void CanvasInteraction::surfaceReleased(Qt::MouseButton button, const QPoint &, int spriteId)
{
    if (button != Qt::LeftButton)
        return;
    mPanning = false;
    mCanvas->settlePan();
    if (mBanding) {
        mBanding = false;
        const QRect band = mBand->isVisible() ? mBand->geometry() : QRect();
        mBand->hide();
        if (band.isEmpty())
            return;
        // Ctrl adds what the band touches to what was selected. A band may touch
        // thousands, so repeats are weeded out through a set and the selection
        // changes once.
        QList<QWidget *> touched;
        if (mCanvas->surface()->lastModifiers() & Qt::ControlModifier)
            touched = mCanvas->selectedObjects();
        QSet<QWidget *> already(touched.cbegin(), touched.cend());
        for (QWidget *object : mCanvas->allObjects()) {
            if (object->isVisible() && object->geometry().intersects(band) && !already.contains(object))
                touched.append(object);
        }
        mCanvas->selectObjects(touched);
        return;
    }
    if (spriteId != 0 && spriteId == mCanvas->backgroundId())
        emit mCanvas->statusMessage(mCanvas->moduleStatusText());
}

} // namespace Plumbrook
