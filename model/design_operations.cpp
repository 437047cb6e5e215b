#include "model/design_operations.h"

#include "model/text_ops.h"
#include "model/carousel_settings.h"
#include "model/creation_defaults.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/design_selection.h"
#include "model/design_step.h"
#include "model/kind_table.h"

#include <QSet>

#include <algorithm>

namespace Plumbrook::DesignOperations {

namespace {

using T = ComponentTable;
namespace CS = CarouselSettings;

QString nameFor(const QString &verb, const QStringList &kinds)
{
    // A verb with a place for the object reads "调整图片大小"; others put it after.
    if (verb.contains(QLatin1String("%1")))
        return verb.arg(kinds.size() == 1 ? kinds.constFirst() : QStringLiteral("%1 个组件").arg(kinds.size()));
    if (kinds.size() == 1)
        return verb + kinds.constFirst();
    return QStringLiteral("%1 %2 个组件").arg(verb).arg(kinds.size());
}

bool isCarousel(const QStringList &cells)
{
    return KindTable::is(cells.value(T::Kind), KindTable::Kind::Carousel);
}

QString number(int value)
{
    return QString::number(value);
}

// The next id no row carries: the module record and rows pasted from another design
// may hold ids the counter has not passed yet.
// A carousel's arrows are found by the ids that follow its own, so it takes a run of three.
QString newId(ComponentTable *table, int run = 1)
{
    for (;;) {
        const int first = table->takeNextId();
        bool free = true;
        for (int i = 0; i < run && free; ++i)
            free = table->findRowById(number(first + i)) < 0;
        if (free)
            return number(first);
    }
}

// Appends a row with the id and kind, then writes its size and place, as every add
// has always written them.
int appendPlaced(ComponentTable *table, const QString &kind, const QRect &frame, int run = 1)
{
    const int row = table->appendRow(newId(table, run), kind);
    table->setCell(row, T::Width, number(frame.width()));
    table->setCell(row, T::Height, number(frame.height()));
    table->setCell(row, T::Left, number(frame.x()));
    table->setCell(row, T::Top, number(frame.y()));
    return row;
}

// Where a clip's arrows lie: the rows of a carousel's arrows, by the carousel's row,
// told by their kind's number and their id following the carousel's.
QHash<int, std::pair<int, int>> arrowsInClip(const Clip &clip)
{
    QHash<int, std::pair<int, int>> arrows;
    for (int i = 0; i < clip.rows.size(); ++i) {
        const QStringList &cells = clip.rows.at(i);
        if (!isCarousel(cells))
            continue;
        const QString n = cells.value(CS::kNumberColumn);
        const qint64 id = cells.value(T::Id).toLongLong();
        std::pair<int, int> found{-1, -1};
        for (int j = 0; j < clip.rows.size(); ++j) {
            const QStringList &other = clip.rows.at(j);
            const qint64 otherId = other.value(T::Id).toLongLong();
            if (other.value(T::Kind) == CS::kLeftArrowPrefix + n && otherId == id + 1)
                found.first = j;
            else if (other.value(T::Kind) == CS::kRightArrowPrefix + n && otherId == id + 2)
                found.second = j;
        }
        arrows.insert(i, found);
    }
    return arrows;
}

QStringList copyCells(const QStringList &source, const QString &id, const QPoint &shift)
{
    QStringList cells = source.mid(0, T::ColumnCount);
    while (cells.size() < T::ColumnCount)
        cells.append(QString());
    cells[T::Id] = id;
    cells[T::Locked].clear();
    cells[T::Left] = number(TextOps::toInt(source.value(T::Left)) + shift.x());
    cells[T::Top] = number(TextOps::toInt(source.value(T::Top)) + shift.y());
    return cells;
}

} // namespace

QString stepName(const QString &verb, const ComponentTable &table, const QStringList &ids)
{
    QStringList kinds;
    for (const QString &id : ids)
        kinds.append(table.cell(table.findRowById(id), T::Kind));
    return nameFor(verb, kinds);
}

int newTextWidth()
{
    return 8 * TextOps::gbkLength(QStringLiteral("这里是文字内容"));
}

int add(DesignDocument *document, const QString &kind, const QPoint &at)
{
    const KindTable::KindInfo *defaults = KindTable::find(kind);
    if (!document || !defaults)
        return -1;
    ComponentTable *table = document->table();
    int row = -1;
    document->record(QStringLiteral("添加") + defaults->name, [&] {
        const bool text = defaults->kind == KindTable::Kind::Text;
        const QSize size = text ? QSize(newTextWidth(), 24) : QSize(defaults->width, defaults->height);
        const bool carousel = defaults->kind == KindTable::Kind::Carousel;
        row = appendPlaced(table, defaults->name, QRect(at, size), carousel ? 3 : 1);
        if (defaults->kind == KindTable::Kind::Carousel) {
            // The number outlives the row index: it names the settings and the arrows.
            const QString n = number(CS::numberForNewCarousel(*table, row));
            table->setCell(row, CS::kNumberColumn, n);
            CS::writeFor(*table, n.toInt(), CS::defaults());
            const QSize arrow(CreationDefaults::ArrowSize, CreationDefaults::ArrowSize);
            appendPlaced(table, CS::kLeftArrowPrefix + n, QRect(at, arrow));
            appendPlaced(table, CS::kRightArrowPrefix + n, QRect(at, arrow));
            return;
        }
        for (const auto &[column, value] : defaults->cells)
            table->setCell(row, column, value);
    });
    return row;
}

Clip clipOf(const DesignDocument *document, const QStringList &ids)
{
    const ComponentTable *table = document->table();
    QVector<int> rows;
    for (const QString &id : ids) {
        const int row = table->findRowById(id);
        if (row >= 1)
            rows.append(row);
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    Clip clip;
    QSet<int> taken;
    for (int row : std::as_const(rows)) {
        if (taken.contains(row))
            continue;
        taken.insert(row);
        QStringList cells = table->rowCells(row);
        if (!isCarousel(cells)) {
            clip.rows.append(cells);
            continue;
        }
        const int n = CS::numberOf(*table, row);
        cells[CS::kNumberColumn] = number(n);
        clip.rows.append(cells);
        clip.carousels.insert(n, document->carousel(n));
        for (int arrow : {CS::leftArrowRow(*table, row), CS::rightArrowRow(*table, row)}) {
            if (arrow >= 1 && !taken.contains(arrow)) {
                taken.insert(arrow);
                clip.rows.append(table->rowCells(arrow));
            }
        }
    }
    return clip;
}

QStringList paste(DesignDocument *document, const QString &verb, const Clip &clip,
                  const QPoint &offset, std::optional<QPoint> at, QStringList *sources)
{
    if (clip.isEmpty())
        return {};
    ComponentTable *table = document->table();
    const QHash<int, std::pair<int, int>> arrows = arrowsInClip(clip);
    QSet<int> arrowRows;
    for (const auto &pair : arrows) {
        arrowRows.insert(pair.first);
        arrowRows.insert(pair.second);
    }
    QStringList kinds;
    for (int i = 0; i < clip.rows.size(); ++i) {
        if (!arrowRows.contains(i))
            kinds.append(clip.rows.at(i).value(T::Kind));
    }
    const QStringList &first = clip.rows.constFirst();
    const QPoint shift = at ? *at - QPoint(TextOps::toInt(first.value(T::Left)), TextOps::toInt(first.value(T::Top)))
                            : offset;
    QStringList copies;
    document->record(nameFor(verb, kinds), [&] {
        for (int i = 0; i < clip.rows.size(); ++i) {
            if (arrowRows.contains(i))
                continue;
            const QStringList &source = clip.rows.at(i);
            const QString id = newId(table, isCarousel(source) ? 3 : 1);
            table->insertRowAt(table->count(), copyCells(source, id, shift));
            copies.append(id);
            if (sources)
                sources->append(source.value(T::Id));
            if (!isCarousel(source))
                continue;
            const int row = table->count() - 1;
            const int old = TextOps::toInt(source.value(CS::kNumberColumn));
            const QString n = number(CS::numberForNewCarousel(*table, row));
            table->setCell(row, CS::kNumberColumn, n);
            const DesignFile::CarouselValues values = clip.carousels.value(old);
            CS::writeFor(*table, n.toInt(), values.isEmpty() ? CS::defaults() : values);
            const auto [left, right] = arrows.value(i, {-1, -1});
            const std::pair<int, QString> sides[2] = {{left, CS::kLeftArrowPrefix}, {right, CS::kRightArrowPrefix}};
            for (const auto &[arrowIndex, prefix] : sides) {
                QStringList arrowCells;
                if (sources)
                    sources->append(arrowIndex >= 0 ? clip.rows.at(arrowIndex).value(T::Id) : QString());
                if (arrowIndex >= 0) {
                    arrowCells = clip.rows.at(arrowIndex);
                } else {
                    // A carousel whose arrow was deleted gets it back where the carousel lies.
                    arrowCells = QStringList(T::ColumnCount);
                    arrowCells[T::Width] = arrowCells[T::Height] = number(CreationDefaults::ArrowSize);
                    arrowCells[T::Left] = source.value(T::Left);
                    arrowCells[T::Top] = source.value(T::Top);
                }
                const int arrowId = id.toInt() + (prefix == CS::kLeftArrowPrefix ? 1 : 2);
                table->setCreationCounter(qMax(table->creationCounter(), arrowId));
                arrowCells = copyCells(arrowCells, number(arrowId), shift);
                arrowCells[T::Kind] = prefix + n;
                table->insertRowAt(table->count(), arrowCells);
                copies.append(arrowCells.at(T::Id));
            }
        }
    });
    return copies;
}

bool remove(DesignDocument *document, const QStringList &ids)
{
    ComponentTable *table = document->table();
    QVector<int> rows;
    QSet<int> taken;
    QStringList named;
    for (const QString &id : ids) {
        const int row = table->findRowById(id);
        if (row >= 1 && !taken.contains(row)) {
            taken.insert(row);
            rows.append(row);
            named.append(id);
        }
    }
    if (rows.isEmpty())
        return false;
    // A carousel goes with its arrows, which would otherwise stay behind on their own.
    for (const int row : QVector<int>(rows)) {
        if (!KindTable::is(table->cell(row, ComponentTable::Kind), KindTable::Kind::Carousel))
            continue;
        for (const int arrow : {CS::leftArrowRow(*table, row), CS::rightArrowRow(*table, row)}) {
            if (arrow >= 1 && !taken.contains(arrow)) {
                taken.insert(arrow);
                rows.append(arrow);
            }
        }
    }
    // The rows go from the last up, so that each stays where it was found.
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    return document->record(stepName(QStringLiteral("删除"), *table, named), [&] {
        for (int row : std::as_const(rows))
            table->deleteRow(row);
    });
}

bool setFrames(DesignDocument *document, const QString &verb, const Frames &frames)
{
    ComponentTable *table = document->table();
    QStringList ids;
    for (const auto &frame : frames)
        ids.append(frame.first);
    return document->record(stepName(verb, *table, ids), [&] {
        for (const auto &[id, frame] : frames) {
            const int row = table->findRowById(id);
            if (row < 1)
                continue;
            table->setCell(row, T::Left, number(frame.x()));
            table->setCell(row, T::Top, number(frame.y()));
            table->setCell(row, T::Width, number(frame.width()));
            table->setCell(row, T::Height, number(frame.height()));
        }
    });
}

bool setCell(DesignDocument *document, const QString &verb, const QString &id, int column,
             const QString &text, const QString &typingKey)
{
    ComponentTable *table = document->table();
    const int row = table->findRowById(id);
    if (row < 1)
        return false;
    return document->record(stepName(verb, *table, {id}), [&] { table->setCell(row, column, text); },
                            typingKey.isEmpty() ? -1 : DesignStep::kTypingId, typingKey);
}

bool edit(DesignDocument *document, const QString &id, const std::function<void(int row)> &write)
{
    ComponentTable *table = document->table();
    const int row = table->findRowById(id);
    if (row < 1)
        return false;
    return document->record(stepName(QStringLiteral("编辑"), *table, {id}), [&] { write(row); });
}

bool setLocked(DesignDocument *document, const QStringList &ids, bool locked)
{
    ComponentTable *table = document->table();
    QStringList present;
    for (const QString &id : ids) {
        if (table->findRowById(id) >= 1)
            present.append(id);
    }
    if (present.isEmpty())
        return false;
    const QString flag = locked ? QStringLiteral("是") : QStringLiteral("否");
    return document->record(stepName(locked ? QStringLiteral("锁定") : QStringLiteral("解锁"), *table, present), [&] {
        for (const QString &id : std::as_const(present))
            table->setCell(table->findRowById(id), T::Locked, flag);
    });
}

bool moveRow(DesignDocument *document, const QString &verb, int from, int to)
{
    ComponentTable *table = document->table();
    if (from < 1 || from >= table->count() || to < 1 || to >= table->count() || from == to)
        return false;
    const QString id = table->cell(from, T::Id);
    return document->record(stepName(verb, *table, {id}), [&] {
        const QStringList cells = table->rowCells(from);
        table->deleteRow(from);
        table->insertRowAt(to, cells);
    });
}

} // namespace Plumbrook::DesignOperations
