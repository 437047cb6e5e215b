#include "model/design_document.h"

#include "model/carousel_settings.h"
#include "model/design_selection.h"

#include <QUndoStack>

namespace Plumbrook {

namespace CS = CarouselSettings;
using Edit = DesignStep::Edit;

DesignDocument::DesignDocument(QObject *parent)
    : QObject(parent)
    , mTable(new ComponentTable(this))
    , mStack(new QUndoStack(this))
    , mSelection(new DesignSelection(this))
{
    mTable->setRecorder(this);
    // Undo and redo write the table too, but a step can also go without a write.
    connect(mStack, &QUndoStack::indexChanged, this, [this] { ++mRevision; });
}

DesignDocument::~DesignDocument()
{
    // The stack clears itself as it goes and would tell listeners of a step
    // count on a document that is no longer one.
    mStack->blockSignals(true);
    mTable->setRecorder(nullptr);
}

DesignFile::Design DesignDocument::design() const
{
    DesignFile::Design design = DesignFile::fromTable(*mTable, [this](int number, const QString &key) {
        return carouselValue(number, key);
    });
    design.shrink = mShrink;
    design.guidesX = mGuidesX;
    design.guidesY = mGuidesY;
    design.hidden = hiddenIds();
    return design;
}

void DesignDocument::setGuides(const QVector<int> &x, const QVector<int> &y)
{
    if (x == mGuidesX && y == mGuidesY)
        return;
    mGuidesX = x;
    mGuidesY = y;
    emit guidesChanged();
}

namespace {

#ifdef NDEBUG
bool gStrayWritesFatal = qEnvironmentVariableIsSet("PLUMBROOK_CHECK_WRITES");
#else
bool gStrayWritesFatal = true;
#endif

} // namespace

bool DesignDocument::strayWritesFatal()
{
    return gStrayWritesFatal;
}

void DesignDocument::setStrayWritesFatal(bool fatal)
{
    gStrayWritesFatal = fatal;
}

void DesignDocument::writeUnstepped(const std::function<void()> &write)
{
    if (mDepth > 0) {
        write();
        return;
    }
    ++mUnstepped;
    write();
    --mUnstepped;
    if (mUnstepped == 0)
        announcePending(DesignChange::Measured);
}

void DesignDocument::noteWrite(int row, int column)
{
    if (mApplying > 0)
        return;
    if (mDepth == 0 && mUnstepped == 0 && gStrayWritesFatal)
        qFatal("The design's table was written outside any step (row %d, column %d)", row, column);
    if (column < 0) {
        mPending.structural = true;
        return;
    }
    const QString id = mTable->cell(row, ComponentTable::Id);
    if (row == 0)
        mPending.module = true;
    if (!id.isEmpty()) {
        mPending.ids.insert(id);
        mPending.columns[id].insert(column);
    }
}

void DesignDocument::announcePending(DesignChange::Origin origin)
{
    if (mPending.ids.isEmpty() && mPending.carousels.isEmpty() && !mPending.structural
        && !mPending.module && !mPending.replaced)
        return;
    DesignChange change = std::move(mPending);
    mPending = {};
    change.origin = origin;
    emit changed(change);
}

QStringList DesignDocument::hiddenIds() const
{
    QStringList ids;
    if (mHidden.isEmpty())
        return ids;
    for (int row = 1; row < mTable->count(); ++row) {
        const QString id = mTable->cell(row, ComponentTable::Id);
        if (mHidden.contains(id))
            ids.append(id);
    }
    return ids;
}

void DesignDocument::setHidden(const QStringList &ids, bool hidden)
{
    QStringList turned;
    for (const QString &id : ids) {
        if (id.isEmpty() || mHidden.contains(id) == hidden || turned.contains(id))
            continue;
        if (hidden)
            mHidden.insert(id);
        else
            mHidden.remove(id);
        turned.append(id);
    }
    if (turned.isEmpty())
        return;
    ++mRevision;
    if (QVector<Edit> *edits = journal()) {
        Edit edit;
        edit.kind = Edit::Hidden;
        edit.row = hidden ? 1 : 0;
        edit.cells = turned;
        edits->append(std::move(edit));
    }
    emit hiddenChanged(turned);
}

void DesignDocument::putHidden(const QStringList &ids)
{
    const QSet<QString> after(ids.cbegin(), ids.cend());
    if (after == mHidden)
        return;
    QSet<QString> turned = mHidden;
    turned.unite(after);
    turned.subtract(QSet<QString>(mHidden).intersect(after));
    mHidden = after;
    ++mRevision;
    emit hiddenChanged(QStringList(turned.cbegin(), turned.cend()));
}

QVector<DesignStep::Edit> *DesignDocument::journal()
{
    if (mApplying > 0)
        return nullptr;
    if (mDepth > 0)
        return &mJournal;
    // A write outside any operation (a selection filling the cells of a component
    // never placed, the background worker's sizes) belongs to the step it follows.
    if (mStack->index() == 0)
        return nullptr;
    auto *step = static_cast<DesignStep *>(const_cast<QUndoCommand *>(mStack->command(mStack->index() - 1)));
    return step ? &step->edits() : nullptr;
}

bool DesignDocument::record(const QString &name, const std::function<void()> &operation,
                            int mergeId, const QString &mergeKey)
{
    if (mDepth > 0) {
        operation();
        return true;
    }
    mJournal.clear();
    mJournalCells.clear();
    ++mDepth;
    operation();
    --mDepth;
    QVector<Edit> edits = std::move(mJournal);
    mJournal = {};
    mJournalCells.clear();
    if (edits.isEmpty()) {
        announcePending();
        return false;
    }
    mStack->push(new DesignStep(this, name, std::move(edits), mergeId, mergeKey));
    announcePending();
    return true;
}

void DesignDocument::cellChanged(int row, int column, const QString &before, const QString &after)
{
    ++mRevision;
    noteWrite(row, column);
    QVector<Edit> *edits = journal();
    if (!edits)
        return;
    Edit edit;
    edit.kind = Edit::Cell;
    edit.row = row;
    edit.column = column;
    edit.before = before;
    edit.after = after;
    if (edits != &mJournal) {
        DesignStep::append(*edits, std::move(edit));
        return;
    }
    // An operation on thousands of components writes thousands of cells; finding a
    // cell written before by a scan of the journal would make it quadratic. Like
    // the scan, the index looks no further back than the last edit that was not a
    // cell's, as row indexes before that may name other rows.
    if (!mJournal.isEmpty() && mJournal.constLast().kind != Edit::Cell)
        mJournalCells.clear();
    const quint64 key = (quint64(quint32(row)) << 32) | quint32(column);
    const auto found = mJournalCells.constFind(key);
    if (found != mJournalCells.constEnd()) {
        mJournal[*found].after = edit.after;
        return;
    }
    mJournalCells.insert(key, int(mJournal.size()));
    mJournal.append(std::move(edit));
}

void DesignDocument::rowInserted(int row, const QStringList &cells)
{
    ++mRevision;
    noteWrite(row, -1);
    if (mApplying == 0)
        mPending.ids.insert(cells.value(ComponentTable::Id));
    QVector<Edit> *edits = journal();
    if (!edits)
        return;
    Edit edit;
    edit.kind = Edit::Insert;
    edit.row = row;
    edit.cells = cells;
    edits->append(std::move(edit));
}

void DesignDocument::rowRemoved(int row, const QStringList &cells)
{
    ++mRevision;
    noteWrite(row, -1);
    if (mApplying == 0)
        mPending.ids.insert(cells.value(ComponentTable::Id));
    QVector<Edit> *edits = journal();
    if (!edits)
        return;
    Edit edit;
    edit.kind = Edit::Remove;
    edit.row = row;
    edit.cells = cells;
    edits->append(std::move(edit));
}

void DesignDocument::rowsReplaced(const QVector<QStringList> &before, const QVector<QStringList> &after)
{
    ++mRevision;
    noteWrite(0, -1);
    if (mApplying == 0)
        mPending.replaced = true;
    QVector<Edit> *edits = journal();
    if (!edits)
        return;
    Edit edit;
    edit.kind = Edit::Replace;
    edit.rowsBefore = before;
    edit.rowsAfter = after;
    edits->append(std::move(edit));
}

void DesignDocument::carouselWriting(int number, const DesignFile::CarouselValues &values)
{
    ++mRevision;
    // Written outside an operation, a carousel's settings belong to no change shown.
    if (mApplying == 0 && (mDepth > 0 || mUnstepped > 0))
        mPending.carousels.insert(number);
    QVector<Edit> *edits = journal();
    if (!edits)
        return;
    Edit edit;
    edit.kind = Edit::Carousel;
    edit.row = number;
    edit.valuesAfter = values;
    QStringList keys;
    keys.reserve(values.size());
    for (const auto &pair : values)
        keys.append(pair.first);
    edit.valuesBefore.reserve(keys.size());
    const QHash<QString, QString> held = mCarousels.value(number);
    for (const QString &key : std::as_const(keys))
        edit.valuesBefore.append({key, held.value(key)});
    edits->append(std::move(edit));
}

void DesignDocument::putDesign(const DesignFile::Design &design)
{
    putCarousels(design);
    mTable->replaceRows(design.rows);
    mShrink = design.shrink;
    setGuides(design.guidesX, design.guidesY);
    putHidden(design.hidden);
    mTable->setCreationCounter(qMax(mTable->creationCounter(), DesignFile::highestId(design.rows)));
}

void DesignDocument::replaceDesign(const QString &name, const DesignFile::Design &design)
{
    const DesignFile::Design before = this->design();
    mSelection->clear();
    {
        const ApplyingGuard quiet(this);
        putDesign(design);
    }
    // One edit for the whole design, with the carousels it replaces.
    Edit edit;
    edit.kind = Edit::Replace;
    edit.rowsBefore = before.rows;
    edit.rowsAfter = mTable->rows();
    edit.carouselsBefore = before.carousels;
    edit.carouselsAfter = design.carousels;
    edit.before = before.shrink;
    edit.after = design.shrink;
    edit.hiddenBefore = before.hidden;
    edit.hiddenAfter = design.hidden;
    mStack->push(new DesignStep(this, name, {std::move(edit)}));
    DesignChange change;
    change.replaced = true;
    emit stepApplied(change);
    change.origin = DesignChange::Imported;
    emit changed(change);
}

void DesignDocument::resetDesign(const DesignFile::Design &design)
{
    mSelection->clear();
    {
        const ApplyingGuard quiet(this);
        putDesign(design);
    }
    mStack->clear();
    emit designReset();
    DesignChange change;
    change.replaced = true;
    change.origin = DesignChange::Opened;
    emit changed(change);
}

bool DesignDocument::isModified() const
{
    return !mStack->isClean();
}

void DesignDocument::markSaved()
{
    mStack->setClean();
}

void DesignDocument::markSavedAt(quint64 revision)
{
    if (revision == mRevision)
        mStack->setClean();
    else
        // The file holds a design between two states of the history, or one that a
        // later change left: none of them may count as saved, not even an older save.
        mStack->resetClean();
}

DesignDocument::ApplyingGuard::ApplyingGuard(DesignDocument *document)
    : mDocument(document)
{
    ++mDocument->mApplying;
}

DesignDocument::ApplyingGuard::~ApplyingGuard()
{
    --mDocument->mApplying;
}

} // namespace Plumbrook
