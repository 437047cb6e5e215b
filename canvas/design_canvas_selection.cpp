// The canvas's part in the selection: which objects are selected, and the handles,
// frame, geometry boxes and status line that show it.
#include "canvas/design_canvas.h"

#include "canvas/picture_object.h"
#include "canvas/selection_frame.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/design_selection.h"

#include <QLabel>
#include <QLineEdit>

namespace Plumbrook {

void DesignCanvas::select(Selection::Kind kind, QWidget *object)
{
    mSelection.kind = kind;
    if (kind == Selection::Picture)
        mSelection.picture = qobject_cast<PictureObject *>(object);
    else if (kind == Selection::Text)
        mSelection.text = qobject_cast<QLabel *>(object);
    DesignSelection *selection = mDocument->selection();
    if (kind == Selection::Background)
        selection->selectModule();
    else if (object && kind != Selection::None)
        selection->select(tagOf(object));
    else
        selection->clear();
}

void DesignCanvas::clearSelection()
{
    select(Selection::None);
    mSelection.picture = nullptr;
    mSelection.text = nullptr;
    mHandlesTarget = nullptr;
    mHandles.hideAll();
    mFrame->hide();
}

QWidget *DesignCanvas::selectedObject() const
{
    switch (mSelection.kind) {
    case Selection::Picture: return mSelection.picture;
    case Selection::Text: return mSelection.text;
    default: return nullptr;
    }
}

int DesignCanvas::selectedRow() const
{
    QWidget *object = selectedObject();
    if (!object)
        return -1;
    return mTable->findRowById(tagOf(object));
}

void DesignCanvas::refreshSelectionDisplay(QWidget *object, bool announce)
{
    if (!object)
        return;
    mHandles.place(shownFrame(object));
    mHandlesTarget = object;

    const int row = mTable->findRowById(tagOf(object));
    const int columns[4] = {ComponentTable::Left, ComponentTable::Top, ComponentTable::Width,
                            ComponentTable::Height};
    // The boxes show the cells, typed text and all.
    for (int i = 0; i < 4; ++i) {
        const QString value = mTable->cell(row, columns[i]);
        if (!mBoxes[i] || mBoxes[i]->text() == value)
            continue;
        mFillingBoxes = true;
        mBoxes[i]->setText(value);
        mFillingBoxes = false;
    }
    if (announce)
        emit statusMessage(selectionStatusText(row));
}

void DesignCanvas::placeFirstTime(QWidget *object)
{
    const int row = mTable->findRowById(tagOf(object));
    if (row < 1 || (!mTable->cell(row, ComponentTable::Left).isEmpty()
                    && !mTable->cell(row, ComponentTable::Top).isEmpty()))
        return;
    // A component of an older design that was never placed takes the place it is
    // shown at, as its first press has always written it.
    const QRect frame = moduleFrameOf(object);
    mDocument->writeUnstepped([&] {
        mTable->setCell(row, ComponentTable::Left, QString::number(frame.x()));
        mTable->setCell(row, ComponentTable::Top, QString::number(frame.y()));
        mTable->setCell(row, ComponentTable::Width, QString::number(frame.width()));
        mTable->setCell(row, ComponentTable::Height, QString::number(frame.height()));
    });
}

QList<QWidget *> DesignCanvas::selectedObjects() const
{
    QList<QWidget *> objects;
    for (const QString &id : mDocument->selection()->ids()) {
        if (QWidget *object = objectById(id))
            objects.append(object);
    }
    return objects;
}

void DesignCanvas::selectObjects(const QList<QWidget *> &objects)
{
    if (objects.isEmpty()) {
        clearSelection();
        return;
    }
    QWidget *first = objects.constFirst();
    // The document's selection changes once, to all of them, not first to the first.
    if (auto *picture = qobject_cast<PictureObject *>(first)) {
        mSelection.kind = Selection::Picture;
        mSelection.picture = picture;
    } else {
        mSelection.kind = Selection::Text;
        mSelection.text = qobject_cast<QLabel *>(first);
    }
    mSelection.unlocked = !isLockedObject(first);
    QStringList ids;
    ids.reserve(objects.size());
    for (QWidget *object : objects)
        ids.append(tagOf(object));
    mDocument->selection()->setIds(ids);
    showSelection();
}

void DesignCanvas::toggleSelected(QWidget *object)
{
    QList<QWidget *> objects = selectedObjects();
    if (objects.contains(object))
        objects.removeAll(object);
    else
        objects.append(object);
    selectObjects(objects);
}

QRect DesignCanvas::selectionBounds() const
{
    QRect bounds;
    for (QWidget *object : selectedObjects())
        bounds = bounds.united(frameOf(object));
    return bounds;
}

void DesignCanvas::showSelection(bool announce)
{
    const QList<QWidget *> objects = selectedObjects();
    if (objects.isEmpty()) {
        mHandles.hideAll();
        mFrame->hide();
        return;
    }
    QWidget *first = selectedObject() ? selectedObject() : objects.constFirst();
    refreshSelectionDisplay(first, announce);
    if (objects.size() > 1) {
        mHandles.hideAll();
        QRect shown;
        for (QWidget *object : objects)
            shown = shown.united(shownFrame(object));
        mFrame->showAround(shown);
    } else {
        mFrame->hide();
    }
}

} // namespace Plumbrook
