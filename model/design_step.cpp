#include "model/design_step.h"

#include "model/carousel_settings.h"
#include "model/component_table.h"
#include "model/design_document.h"

#include <QUndoStack>

namespace Plumbrook {

DesignStep::DesignStep(DesignDocument *document, const QString &name, QVector<Edit> edits,
                       int mergeId, const QString &mergeKey)
    : QUndoCommand(name)
    , mDocument(document)
    , mEdits(std::move(edits))
    , mMergeId(mergeId)
    , mMergeKey(mergeKey)
{
}

void DesignStep::append(QVector<Edit> &journal, Edit edit)
{
    if (edit.kind == Edit::Cell) {
        // Only while no row came or went are row indexes of earlier edits still the same rows.
        for (auto it = journal.rbegin(); it != journal.rend(); ++it) {
            if (it->kind != Edit::Cell)
                break;
            if (it->row == edit.row && it->column == edit.column) {
                it->after = edit.after;
                return;
            }
        }
    }
    journal.append(std::move(edit));
}

void DesignChange::merge(const DesignChange &other)
{
    ids.unite(other.ids);
    for (auto it = other.columns.cbegin(); it != other.columns.cend(); ++it)
        columns[it.key()].unite(it.value());
    carousels.unite(other.carousels);
    structural = structural || other.structural;
    module = module || other.module;
    replaced = replaced || other.replaced;
}

void DesignStep::redo()
{
    // QUndoStack::push() calls redo() on a step whose operation already ran.
    if (mDone) {
        mDone = false;
        return;
    }
    apply(true);
}

void DesignStep::undo()
{
    apply(false);
}

bool DesignStep::mergeWith(const QUndoCommand *other)
{
    const auto *step = static_cast<const DesignStep *>(other);
    if (other->id() != id() || step->mMergeKey != mMergeKey || mMergeKey.isEmpty())
        return false;
    // The saved step stays as it was saved, or the typing after a save would count as saved.
    const QUndoStack *stack = mDocument->undoStack();
    if (stack->cleanIndex() == stack->index())
        return false;
    for (const Edit &edit : step->mEdits)
        append(mEdits, edit);
    return true;
}

void DesignStep::apply(bool forward)
{
    ComponentTable *table = mDocument->table();
    DesignChange change;
    const DesignDocument::ApplyingGuard guard(mDocument);
    auto applyOne = [&](const Edit &edit) {
        switch (edit.kind) {
        case Edit::Cell:
            table->setCell(edit.row, edit.column, forward ? edit.after : edit.before);
            change.ids.insert(table->cell(edit.row, ComponentTable::Id));
            change.columns[table->cell(edit.row, ComponentTable::Id)].insert(edit.column);
            change.module = change.module || edit.row == 0;
            break;
        case Edit::Insert:
        case Edit::Remove:
            if ((edit.kind == Edit::Insert) == forward)
                table->insertRowAt(edit.row, edit.cells);
            else
                table->deleteRow(edit.row);
            change.ids.insert(edit.cells.value(ComponentTable::Id));
            change.structural = true;
            break;
        case Edit::Replace: {
            const auto &carousels = forward ? edit.carouselsAfter : edit.carouselsBefore;
            for (auto it = carousels.cbegin(); it != carousels.cend(); ++it)
                mDocument->applyCarousel(it.key(), it.value());
            table->replaceRows(forward ? edit.rowsAfter : edit.rowsBefore);
            mDocument->setShrink(forward ? edit.after : edit.before);
            mDocument->putHidden(forward ? edit.hiddenAfter : edit.hiddenBefore);
            change.replaced = true;
            break;
        }
        case Edit::Carousel:
            mDocument->applyCarousel(edit.row, forward ? edit.valuesAfter : edit.valuesBefore);
            change.carousels.insert(edit.row);
            break;
        case Edit::Hidden:
            mDocument->setHidden(edit.cells, (edit.row == 1) == forward);
            for (const QString &id : edit.cells)
                change.hidden.insert(id);
            break;
        }
    };
    if (forward) {
        for (const Edit &edit : mEdits)
            applyOne(edit);
    } else {
        for (auto it = mEdits.crbegin(); it != mEdits.crend(); ++it)
            applyOne(*it);
    }
    change.ids.remove(QString());
    change.origin = forward ? DesignChange::Redone : DesignChange::Undone;
    mDocument->stepApplied(change);
    mDocument->changed(change);
}

} // namespace Plumbrook
