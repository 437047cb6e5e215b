#include "model/layer_stacking.h"

#include "model/component_table.h"
#include "model/design_document.h"
#include "model/kind_table.h"

#include <QHash>
#include <QMap>
#include <QSet>

#include <algorithm>

namespace Plumbrook::LayerStacking {

namespace {

using T = ComponentTable;

// A carousel's arrows take the two ids after its own, the left one first.
int arrowOffset(const QString &kind)
{
    if (kind.startsWith(QStringLiteral("左箭头")))
        return 1;
    if (kind.startsWith(QStringLiteral("右箭头")))
        return 2;
    return 0;
}

int zOf(const ComponentTable &table, int row)
{
    return KindTable::zIndexOf(table.cell(row, T::Kind));
}

// The rows of one z-index level, bottom first, as the shop stacks them.
QVector<int> levelRows(const ComponentTable &table, int zIndex)
{
    QVector<int> rows;
    for (int row = 1; row < table.count(); ++row) {
        if (zOf(table, row) == zIndex && carouselOfArrow(table, row) < 0)
            rows.append(row);
    }
    return rows;
}

QSet<int> lineRows(const ComponentTable &table, const QStringList &ids)
{
    QSet<int> rows;
    for (const QString &id : ids) {
        int row = table.findRowById(id);
        if (row < 1)
            continue;
        const int carousel = carouselOfArrow(table, row);
        rows.insert(carousel >= 1 ? carousel : row);
    }
    return rows;
}

// The nearest line of another level beyond the edge of level `zIndex`, upwards or
// downwards; -1 when the level is the last that way.
int neighbourBeyond(const ComponentTable &table, int zIndex, bool upwards)
{
    int best = -1;
    int bestZ = 0;
    for (int row = 1; row < table.count(); ++row) {
        const int z = zOf(table, row);
        if (z == zIndex || (z > zIndex) != upwards || carouselOfArrow(table, row) >= 0)
            continue;
        // Just above: the lowest level over it, and in it the earliest row; just
        // below: the highest level under it, and in it the latest row.
        const bool nearer = best < 0 || (upwards ? z < bestZ : z > bestZ) || (z == bestZ && !upwards);
        if (nearer) {
            best = row;
            bestZ = z;
        }
    }
    return best;
}

void moveRow(ComponentTable *table, int from, int to)
{
    const QStringList cells = table->rowCells(from);
    table->deleteRow(from);
    table->insertRowAt(to, cells);
}

// Puts the rows of `wanted` (the same rows as `places`, in a new order) into the
// rows `places`, ascending, by swaps that leave every other row where it is.
void arrange(ComponentTable *table, const QVector<int> &places, const QVector<int> &wanted)
{
    QStringList ids;
    for (int row : wanted)
        ids.append(table->cell(row, T::Id));
    for (qsizetype k = 0; k < places.size(); ++k) {
        const int at = places.at(k);
        const int from = table->findRowById(ids.at(k));
        if (from == at)
            continue;
        // `from` lies in a later slot, as every earlier slot holds its own already.
        moveRow(table, from, at);
        moveRow(table, at + 1, from);
    }
}

QVector<int> reordered(const QVector<int> &level, const QSet<int> &chosen, Move move)
{
    QVector<int> result = level;
    const auto isChosen = [&chosen](int row) { return chosen.contains(row); };
    switch (move) {
    case Move::ToTop:
        std::stable_partition(result.begin(), result.end(), [&](int row) { return !isChosen(row); });
        break;
    case Move::ToBottom:
        std::stable_partition(result.begin(), result.end(), isChosen);
        break;
    case Move::Up:
        for (qsizetype i = result.size() - 2; i >= 0; --i) {
            if (isChosen(result.at(i)) && !isChosen(result.at(i + 1)))
                std::swap(result[i], result[i + 1]);
        }
        break;
    case Move::Down:
        for (qsizetype i = 1; i < result.size(); ++i) {
            if (isChosen(result.at(i)) && !isChosen(result.at(i - 1)))
                std::swap(result[i], result[i - 1]);
        }
        break;
    }
    return result;
}

} // namespace

QString nameOf(Move move)
{
    switch (move) {
    case Move::ToTop: return QStringLiteral("置于顶层");
    case Move::Up: return QStringLiteral("上移一层");
    case Move::Down: return QStringLiteral("下移一层");
    case Move::ToBottom: return QStringLiteral("置于底层");
    }
    return {};
}

QString alwaysAboveMessage(const QString &higherKind, const QString &lowerKind)
{
    return higherKind + QStringLiteral(" 总在") + lowerKind + QStringLiteral("之上");
}

int carouselOfArrow(const ComponentTable &table, int row)
{
    const int offset = arrowOffset(table.cell(row, T::Kind));
    if (offset == 0)
        return -1;
    bool ok = false;
    const qlonglong id = table.cell(row, T::Id).toLongLong(&ok);
    if (!ok)
        return -1;
    const int carousel = table.findRowById(QString::number(id - offset));
    if (carousel < 1 || !KindTable::is(table.cell(carousel, T::Kind), KindTable::Kind::Carousel))
        return -1;
    return carousel;
}

QVector<Line> stackingOrder(const ComponentTable &table)
{
    // Read for every change of a design of thousands: the rows once, each kind's
    // z-index once.
    const QVector<QStringList> rows = table.rows();
    QHash<QString, int> zIndexes;
    QVector<Line> lines;
    lines.reserve(rows.size());
    QHash<int, qsizetype> lineOfRow;
    QVector<std::pair<int, int>> arrows;   // arrow row, carousel row
    for (int row = 1; row < rows.size(); ++row) {
        const QString &kind = rows.at(row).at(T::Kind);
        if (arrowOffset(kind) != 0) {
            const int carousel = carouselOfArrow(table, row);
            if (carousel >= 1) {
                arrows.append({row, carousel});
                continue;
            }
        }
        auto z = zIndexes.constFind(kind);
        if (z == zIndexes.constEnd())
            z = zIndexes.insert(kind, KindTable::zIndexOf(kind));
        lineOfRow.insert(row, lines.size());
        lines.append({row, *z, {}});
    }
    std::sort(arrows.begin(), arrows.end(), [&rows](const auto &a, const auto &b) {
        return arrowOffset(rows.at(a.first).at(T::Kind)) < arrowOffset(rows.at(b.first).at(T::Kind));
    });
    for (const auto &[arrow, carousel] : std::as_const(arrows))
        lines[lineOfRow.value(carousel)].arrows.append(arrow);
    std::sort(lines.begin(), lines.end(), [](const Line &a, const Line &b) {
        return a.zIndex != b.zIndex ? a.zIndex > b.zIndex : a.row > b.row;
    });
    return lines;
}

Outcome move(DesignDocument *document, const QStringList &ids, Move move)
{
    ComponentTable *table = document->table();
    const QSet<int> chosen = lineRows(*table, ids);
    QMap<int, bool> levels;
    for (int row : chosen)
        levels.insert(zOf(*table, row), true);
    const bool upwards = move == Move::ToTop || move == Move::Up;
    Outcome outcome;
    QVector<std::pair<QVector<int>, QVector<int>>> plans;
    for (auto it = levels.cbegin(); it != levels.cend(); ++it) {
        const QVector<int> level = levelRows(*table, it.key());
        const QVector<int> wanted = reordered(level, chosen, move);
        if (wanted != level)
            plans.append({level, wanted});
        // A line at the edge of its level stays under (or over) the next level whatever its row.
        const int edge = upwards ? level.constLast() : level.constFirst();
        const int beyond = neighbourBeyond(*table, it.key(), upwards);
        if (chosen.contains(edge) && beyond >= 1 && outcome.message.isEmpty()) {
            const QString mine = table->cell(edge, T::Kind);
            const QString theirs = table->cell(beyond, T::Kind);
            outcome.message = upwards ? alwaysAboveMessage(theirs, mine) : alwaysAboveMessage(mine, theirs);
        }
    }
    if (plans.isEmpty())
        return outcome;
    outcome.moved = document->record(nameOf(move), [&] {
        for (const auto &[level, wanted] : std::as_const(plans))
            arrange(table, level, wanted);
    });
    return outcome;
}

Outcome moveNextTo(DesignDocument *document, const QStringList &ids, const QString &targetId,
                   bool above)
{
    ComponentTable *table = document->table();
    Outcome outcome;
    const QSet<int> targetRows = lineRows(*table, {targetId});
    if (targetRows.isEmpty())
        return outcome;
    const int target = *targetRows.cbegin();
    const int zIndex = zOf(*table, target);
    QSet<int> chosen = lineRows(*table, ids);
    chosen.remove(target);
    for (int row : std::as_const(chosen)) {
        const int z = zOf(*table, row);
        if (z == zIndex)
            continue;
        const QString mine = table->cell(row, T::Kind);
        const QString theirs = table->cell(target, T::Kind);
        outcome.message = z > zIndex ? alwaysAboveMessage(mine, theirs) : alwaysAboveMessage(theirs, mine);
        return outcome;
    }
    if (chosen.isEmpty())
        return outcome;
    const QVector<int> level = levelRows(*table, zIndex);
    QVector<int> wanted;
    QVector<int> moving;
    for (int row : level) {
        if (chosen.contains(row))
            moving.append(row);
        else
            wanted.append(row);
    }
    const qsizetype at = wanted.indexOf(target) + (above ? 1 : 0);
    for (qsizetype i = 0; i < moving.size(); ++i)
        wanted.insert(at + i, moving.at(i));
    if (wanted == level)
        return outcome;
    outcome.moved = document->record(QStringLiteral("调整图层"), [&] { arrange(table, level, wanted); });
    return outcome;
}

} // namespace Plumbrook::LayerStacking
