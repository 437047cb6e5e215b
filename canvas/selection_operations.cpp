#include "canvas/selection_operations.h"

#include "canvas/canvas_surface.h"
#include "canvas/context_menu_operations.h"
#include "canvas/design_canvas.h"
#include "components/editor_registry.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/design_operations.h"
#include "model/kind_table.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QLabel>

namespace Plumbrook {

namespace {

using T = ComponentTable;
namespace Ops = ContextMenuOperations;

constexpr int kCopyOffset = 10;

} // namespace

SelectionOperations::SelectionOperations(DesignCanvas *canvas, QObject *parent)
    : QObject(parent)
    , mCanvas(canvas)
{
    // Pressing the canvas gives it the focus (CanvasInteraction). A click's own focus
    // rule would also hand it over for a right press on a component lying on it.
    canvas->surface()->setFocusPolicy(Qt::NoFocus);
    canvas->surface()->installEventFilter(this);
}

QStringList SelectionOperations::selectedIds() const
{
    QStringList ids;
    for (QWidget *object : mCanvas->selectedObjects())
        ids.append(DesignCanvas::tagOf(object));
    return ids;
}

void SelectionOperations::nudge(const QPoint &delta)
{
    const QList<QWidget *> objects = mCanvas->selectedObjects();
    bool locked = false;
    QList<QWidget *> unlocked;
    for (QWidget *object : objects) {
        if (mCanvas->isLockedObject(object))
            locked = true;
        else
            unlocked.append(object);
    }
    // A carousel goes with its arrows.
    DesignOperations::Frames moving;
    for (QWidget *object : mCanvas->withCarouselArrows(unlocked))
        moving.append({DesignCanvas::tagOf(object), mCanvas->moduleFrameOf(object).translated(delta)});
    if (!moving.isEmpty())
        DesignOperations::setFrames(mCanvas->document(), QStringLiteral("移动"), moving);
    if (locked)
        emit mCanvas->statusMessage(Ops::kLockedMessage);
}

void SelectionOperations::removeSelected()
{
    const QList<QWidget *> objects = mCanvas->selectedObjects();
    if (objects.isEmpty())
        return;
    bool locked = false;
    QStringList going;
    for (QWidget *object : objects) {
        if (mCanvas->isLockedObject(object))
            locked = true;
        else
            going.append(DesignCanvas::tagOf(object));
    }
    if (!going.isEmpty()) {
        DesignOperations::remove(mCanvas->document(), going);
        mCanvas->handles().hideAll();
        mCanvas->showSelection();
    }
    EditorRegistry::closeAll();
    emit mCanvas->statusMessage(locked ? Ops::kLockedMessage : Ops::kDeletedMessage);
}

void SelectionOperations::copySelected()
{
    const QStringList ids = selectedIds();
    if (ids.isEmpty())
        return;
    const ComponentClip clip = DesignOperations::clipOf(mCanvas->document(), ids);
    auto *data = new QMimeData;
    data->setData(ComponentClip::mimeType(), clip.toJson());
    QGuiApplication::clipboard()->setMimeData(data);
    emit mCanvas->statusMessage(kCopiedMessage);
}

void SelectionOperations::paste()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    const ComponentClip clip = data && data->hasFormat(ComponentClip::mimeType())
        ? ComponentClip::fromJson(data->data(ComponentClip::mimeType()))
        : ComponentClip();
    if (clip.isEmpty()) {
        // Addresses or picture files on the clipboard become pictures instead.
        if (mPasteFallback && mPasteFallback())
            return;
        emit mCanvas->statusMessage(kNothingCopiedMessage);
        return;
    }
    placeCopies(QStringLiteral("粘贴"), clip);
}

void SelectionOperations::duplicate()
{
    const QStringList ids = selectedIds();
    if (!ids.isEmpty())
        placeCopies(QStringLiteral("复制"), DesignOperations::clipOf(mCanvas->document(), ids));
}

void SelectionOperations::placeCopies(const QString &step, const ComponentClip &clip)
{
    QStringList sources;
    const QStringList ids = DesignOperations::paste(mCanvas->document(), step, clip,
                                                    QPoint(kCopyOffset, kCopyOffset), std::nullopt, &sources);
    mCanvas->showSourcePictures(ids, sources);
    QList<QWidget *> copies;
    for (const QString &id : ids) {
        if (QWidget *copy = mCanvas->objectById(id))
            copies.append(copy);
    }
    if (!copies.isEmpty())
        mCanvas->selectObjects(copies);
}

void SelectionOperations::selectAll()
{
    QList<QWidget *> shown;
    for (QWidget *object : mCanvas->allObjects()) {
        if (!mCanvas->document()->isHidden(DesignCanvas::tagOf(object)))
            shown.append(object);
    }
    mCanvas->selectObjects(shown);
}

void SelectionOperations::clearSelection()
{
    mCanvas->clearSelection();
}

bool SelectionOperations::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    const int step = (modifiers & Qt::ShiftModifier) ? 10 : 1;
    if (modifiers == Qt::ControlModifier) {
        switch (key->key()) {
        case Qt::Key_A: selectAll(); return true;
        case Qt::Key_C: copySelected(); return true;
        case Qt::Key_V: paste(); return true;
        case Qt::Key_D: duplicate(); return true;
        default: return false;
        }
    }
    if (modifiers != Qt::NoModifier && modifiers != Qt::ShiftModifier)
        return false;
    switch (key->key()) {
    case Qt::Key_Left: nudge(QPoint(-step, 0)); return true;
    case Qt::Key_Right: nudge(QPoint(step, 0)); return true;
    case Qt::Key_Up: nudge(QPoint(0, -step)); return true;
    case Qt::Key_Down: nudge(QPoint(0, step)); return true;
    case Qt::Key_Delete: removeSelected(); return true;
    case Qt::Key_Escape: clearSelection(); return true;
    default: return false;
    }
}

} // namespace Plumbrook
