#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

namespace Plumbrook {

class ComponentTable;
class DesignDocument;

// What lies over what in the shop: a kind's fixed z-index first, then the later
// row over the earlier; and the operations that restack components by moving
// their rows, each one step of the design.
namespace LayerStacking {

enum class Move { ToTop, Up, Down, ToBottom };

// One line of the stacking: a component, and a carousel's arrows beneath it.
struct Line
{
    int row = -1;
    int zIndex = 0;
    QVector<int> arrows;   // rows, left before right
};

// The step's name, which the menus show too.
QString nameOf(Move move);
// "分享 总在图片之上": why `lower` cannot rise over `higher` by any row order.
QString alwaysAboveMessage(const QString &higherKind, const QString &lowerKind);

// The carousel row an arrow row belongs to; -1 for any other row, and for an
// arrow whose carousel is gone.
int carouselOfArrow(const ComponentTable &table, int row);
// Every component's line, top first: highest z-index first, then the later row first.
QVector<Line> stackingOrder(const ComponentTable &table);

struct Outcome
{
    bool moved = false;
    QString message;   // why a line could not go further; empty when none was stopped
};

// Moves the components `ids` (an arrow stands for its carousel) within their
// z-index levels, keeping their order among themselves.
Outcome move(DesignDocument *document, const QStringList &ids, Move move);
// Puts the components `ids` just above (or below) the component `targetId` in the
// stacking, as dropping dragged lines does; refused across a z-index level.
Outcome moveNextTo(DesignDocument *document, const QStringList &ids, const QString &targetId,
                   bool above);

} // namespace LayerStacking
} // namespace Plumbrook
