#include "canvas/selection_operations.h"

#include "canvas/canvas_surface.h"
#include "canvas/context_menu_operations.h"
#include "canvas/design_canvas.h"
#include "canvas/picture_object.h"
#include "components/editor_registry.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/kind_table.h"

#include <QKeyEvent>
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
    QList<QWidget *> moving;
    for (QWidget *object : objects) {
        if (mCanvas->isLockedObject(object))
            locked = true;
        else
            moving.append(object);
    }
    moving = mCanvas->withCarouselArrows(moving);
    if (!moving.isEmpty()) {
        mCanvas->document()->record(QStringLiteral("移动"), [&] {
            for (QWidget *object : moving) {
                mCanvas->moveObject(object, mCanvas->frameOf(object).topLeft() + delta);
                mCanvas->storeFrame(object);
            }
        });
        mCanvas->showSelection();
    }
    if (locked)
        emit mCanvas->statusMessage(Ops::kLockedMessage);
}

void SelectionOperations::removeSelected()
{
    const QList<QWidget *> objects = mCanvas->selectedObjects();
    if (objects.isEmpty())
        return;
    bool locked = false;
    QList<QWidget *> going;
    for (QWidget *object : objects) {
        if (mCanvas->isLockedObject(object))
            locked = true;
        else
            going.append(object);
    }
    if (!going.isEmpty()) {
        mCanvas->document()->record(QStringLiteral("删除"), [&] { mCanvas->deleteComponents(going); });
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
    mCopied = ids;
    emit mCanvas->statusMessage(kCopiedMessage);
}

void SelectionOperations::paste()
{
    QStringList ids;
    for (const QString &id : mCopied) {
        if (mCanvas->objectById(id))
            ids.append(id);
    }
    if (ids.isEmpty()) {
        emit mCanvas->statusMessage(kNothingCopiedMessage);
        return;
    }
    placeCopies(QStringLiteral("粘贴"), ids);
}

void SelectionOperations::duplicate()
{
    const QStringList ids = selectedIds();
    if (!ids.isEmpty())
        placeCopies(QStringLiteral("复制"), ids);
}

void SelectionOperations::placeCopies(const QString &step, const QStringList &ids)
{
    ComponentTable *table = mCanvas->table();
    QList<QWidget *> copies;
    bool carousel = false;
    mCanvas->document()->record(step, [&] {
        for (const QString &id : ids) {
            QWidget *source = mCanvas->objectById(id);
            const int row = table->findRowById(id);
            const QString kind = table->cell(row, T::Kind);
            int copyRow = -1;
            if (auto *picture = qobject_cast<PictureObject *>(source)) {
                // Carousels are created from the list of functions only.
                if (KindTable::is(kind, KindTable::Kind::Carousel)) {
                    carousel = true;
                    continue;
                }
                copyRow = mCanvas->addPictureComponent(kind, picture->pictureData(), row, 0, 0);
            } else {
                copyRow = mCanvas->addTextComponent();
            }
            QWidget *copy = mCanvas->objectById(table->cell(copyRow, T::Id));
            if (!copy)
                continue;
            mCanvas->moveObject(copy, mCanvas->frameOf(source).topLeft() + QPoint(kCopyOffset, kCopyOffset));
            mCanvas->storeFrame(copy);
            copies.append(copy);
        }
    });
    if (!copies.isEmpty())
        mCanvas->selectObjects(copies);
    if (carousel)
        emit mCanvas->statusMessage(Ops::kCarouselCopyMessage);
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
