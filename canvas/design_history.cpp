#include "canvas/design_history.h"

#include "canvas/canvas_surface.h"
#include "canvas/design_canvas.h"
#include "canvas/module_background_layer.h"
#include "components/carousel_settings.h"
#include "model/component_table.h"

#include <QLineEdit>
#include <QTimer>

namespace Plumbrook {

namespace {

bool isGeometryColumn(int column)
{
    return column == ComponentTable::Width || column == ComponentTable::Height
        || column == ComponentTable::Left || column == ComponentTable::Top;
}

struct CellDiff
{
    bool structural = false;
    QList<QPair<int, int>> cells;   // row, column
};

CellDiff diffRows(const QVector<QStringList> &a, const QVector<QStringList> &b)
{
    CellDiff diff;
    if (a.size() != b.size()) {
        diff.structural = true;
        return diff;
    }
    for (int row = 0; row < a.size(); ++row) {
        const QStringList &x = a.at(row);
        const QStringList &y = b.at(row);
        if (x.constBegin() == y.constBegin() || x == y)
            continue;
        if (x.value(ComponentTable::Id) != y.value(ComponentTable::Id)) {
            diff.structural = true;
            return diff;
        }
        for (int column = 0; column < ComponentTable::ColumnCount; ++column) {
            if (x.value(column) != y.value(column))
                diff.cells.append({row, column});
        }
    }
    return diff;
}

} // namespace

DesignHistory::DesignHistory(DesignCanvas *canvas, QObject *parent)
    : QObject(parent)
    , mCanvas(canvas)
    , mTimer(new QTimer(this))
{
    mTimer->setSingleShot(true);
    mTimer->setInterval(0);
    connect(mTimer, &QTimer::timeout, this, &DesignHistory::commit);

    ComponentTable *table = canvas->table();
    watch(table, &ComponentTable::cellChanged);
    watch(table, &ComponentTable::rowsInserted);
    watch(table, &ComponentTable::rowsRemoved);
    watch(table, &ComponentTable::modelReset);
    watch(canvas, &DesignCanvas::objectPictureChanged);
    watch(canvas->surface(), &CanvasSurface::spritePictureChanged);
    connect(CarouselSettings::notifier(), &CarouselSettings::Notifier::written, this, [this](int number) {
        mDirtyCarousels.insert(number);
        changeSeen();
    });
    reset();
}

void DesignHistory::watchTypingBoxes(const QList<QLineEdit *> &boxes)
{
    for (QLineEdit *box : boxes) {
        connect(box, &QLineEdit::textEdited, this, [this] {
            if (!mRestoring)
                mTyping = true;
        });
    }
}

void DesignHistory::changeSeen()
{
    if (!mRestoring)
        mTimer->start();
}

void DesignHistory::reset()
{
    mTimer->stop();
    mStates = {DesignSnapshot::capture(mCanvas, nullptr, {})};
    mTypingKeys = {QString()};
    mIndex = 0;
    mBackgroundStep = kNoBackgroundStep;
    mDirtyCarousels.clear();
    mTyping = false;
    ++mRevision;
    emit changed();
}

void DesignHistory::commitPending()
{
    if (mTimer->isActive()) {
        mTimer->stop();
        commit();
    }
}

DesignHistory::Change DesignHistory::classify(const DesignSnapshot &before,
                                              const DesignSnapshot &after) const
{
    const CellDiff cells = before.rowChunks.sharesAll(after.rowChunks)
        ? CellDiff() : diffRows(before.rows(), after.rows());
    const bool carousels = before.carousels != after.carousels;
    const bool background = before.background.cacheKey() != after.background.cacheKey();
    bool geometry = false;
    bool look = false;
    bool pictures = false;
    const QVector<DesignSnapshot::ObjectPtr> was = before.objects();
    const QVector<DesignSnapshot::ObjectPtr> is = after.objects();
    if (was.size() != is.size()) {
        look = true;
    } else if (!before.objectChunks.sharesAll(after.objectChunks)) {
        for (qsizetype i = 0; i < is.size(); ++i) {
            const auto &x = *was.at(i);
            const auto &y = *is.at(i);
            if (&x == &y)
                continue;
            if (x.id != y.id || x.text != y.text || x.visible != y.visible || x.labelText != y.labelText
                || x.font != y.font || x.alignment != y.alignment || x.styleSheet != y.styleSheet)
                look = true;
            geometry = geometry || x.geometry != y.geometry;
            pictures = pictures || !x.samePicture(y);
        }
    }
    if (!cells.structural && cells.cells.isEmpty() && !carousels && !background && !geometry
        && !look && !pictures)
        return Change::None;
    if (cells.structural || carousels || look)
        return Change::Step;

    if (mTyping && cells.cells.size() == 1 && !geometry && !background && !pictures)
        return Change::Typing;
    // A geometry box applying its typed value on leaving moves the object the typing named.
    if (cells.cells.isEmpty() && geometry && !background && !mTypingKeys.at(mIndex).isEmpty())
        return Change::Amend;

    // What follows a change rather than being one: a preview picture arriving, the
    // background worker's picture with the sizes it measured (which also moves the
    // objects' offsets), a selection writing the geometry its object already has.
    bool onlyFollowUps = true;
    for (const auto &[row, column] : cells.cells) {
        const bool moduleSize = row == 0
            && (column == ComponentTable::Width || column == ComponentTable::Height
                || column == ComponentTable::Left);
        const bool selectionWrite = row > 0 && isGeometryColumn(column) && !geometry;
        if (!(moduleSize && background) && !selectionWrite)
            onlyFollowUps = false;
    }
    if (onlyFollowUps && (!geometry || background))
        return Change::Amend;
    return Change::Step;
}

void DesignHistory::commit()
{
    DesignSnapshot next = DesignSnapshot::capture(mCanvas, &mStates.at(mIndex), mDirtyCarousels);
    mDirtyCarousels.clear();
    const Change change = classify(mStates.at(mIndex), next);
    QString typingKey;
    if (change == Change::Typing) {
        const QVector<QStringList> rows = next.rows();
        const CellDiff diff = diffRows(mStates.at(mIndex).rows(), rows);
        const auto [row, column] = diff.cells.first();
        typingKey = rows.at(row).at(ComponentTable::Id) + QLatin1Char('/') + QString::number(column);
    }
    mTyping = false;
    if (change == Change::None)
        return;

    const bool backgroundArrived = change == Change::Amend
        && next.background.cacheKey() != mStates.at(mIndex).background.cacheKey();
    if (backgroundArrived && deliverBackground(next))
        return;
    // A worker that ended without a picture leaves no step waiting for one.
    if (!backgroundArrived && ModuleBackgroundLayer::runningWorkers() == 0)
        mBackgroundStep = kNoBackgroundStep;

    // Only what a design file holds counts for those who save it.
    const bool saved = !next.rowChunks.sharesAll(mStates.at(mIndex).rowChunks)
        || next.carousels != mStates.at(mIndex).carousels;
    const bool merge = change == Change::Amend
        || (change == Change::Typing && typingKey == mTypingKeys.at(mIndex) && !canRedo());
    if (merge) {
        mStates[mIndex] = std::move(next);
    } else {
        // A changed module record with the background worker still busy: its
        // picture belongs to this step, whenever it arrives.
        const bool moduleChanged = next.rows().value(0) != mStates.at(mIndex).rows().value(0);
        // The step a picture is on its way for may be dropped with the redo steps.
        if (mBackgroundStep > mIndex)
            mBackgroundStep = kDroppedBackgroundStep;
        mStates.resize(mIndex + 1);
        mTypingKeys.resize(mIndex + 1);
        mStates.append(std::move(next));
        mTypingKeys.append(typingKey);
        ++mIndex;
        if (moduleChanged && ModuleBackgroundLayer::runningWorkers() > 0)
            mBackgroundStep = mIndex;
    }
    if (saved)
        ++mRevision;
    emit changed();
}

bool DesignHistory::deliverBackground(const DesignSnapshot &next)
{
    const int step = mBackgroundStep;
    mBackgroundStep = kNoBackgroundStep;
    if (step == kDroppedBackgroundStep) {
        // Its step is gone: the picture has no place in any step.
        restoreCanvas(next);
        return true;
    }
    if (step < 0 || step >= mStates.size())
        return false;
    // The step of the confirm, and the steps made after it while the picture was on
    // its way, still show the picture from before the confirm: they take the new one.
    const qint64 stale = mStates.at(step).background.cacheKey();
    const QStringList module = next.rows().value(0);
    for (int i = step; i < mStates.size(); ++i) {
        if (i == mIndex || mStates.at(i).background.cacheKey() != stale)
            continue;
        DesignSnapshot &state = mStates[i];
        QVector<QStringList> rows = state.rows();
        for (int column : {ComponentTable::Width, ComponentTable::Height, ComponentTable::Left})
            rows[0][column] = module.value(column);
        state.rowChunks = SharedChunks<QStringList>::from(
            rows, &state.rowChunks, [](const QStringList &a, const QStringList &b) { return a == b; });
        state.background = next.background;
    }
    if (mIndex >= step)
        return false;
    // The confirm was undone meanwhile: the canvas goes back to what this step shows.
    restoreCanvas(next);
    return true;
}

void DesignHistory::restoreCanvas(const DesignSnapshot &shown)
{
    mRestoring = true;
    DesignSnapshot::restore(mCanvas, shown, mStates.at(mIndex));
    mRestoring = false;
    mTimer->stop();
}

bool DesignHistory::undo()
{
    commitPending();
    if (!canUndo())
        return false;
    restoreTo(mIndex - 1);
    return true;
}

bool DesignHistory::redo()
{
    commitPending();
    if (!canRedo())
        return false;
    restoreTo(mIndex + 1);
    return true;
}

void DesignHistory::restoreTo(int index)
{
    mRestoring = true;
    DesignSnapshot::restore(mCanvas, mStates.at(mIndex), mStates.at(index));
    mRestoring = false;
    mTimer->stop();
    mDirtyCarousels.clear();
    mTyping = false;
    mIndex = index;
    ++mRevision;
    emit changed();
}

} // namespace Plumbrook
