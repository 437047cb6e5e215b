#pragma once

#include "model/component_clip.h"

#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <optional>
#include <utility>

namespace Plumbrook {

class ComponentTable;
class DesignDocument;

// The changes a user makes to the design, each one named step on the document's
// undo stack that writes the table and the carousels' settings and nothing else:
// whatever shows the design follows the document's change signal.
namespace DesignOperations {

using Clip = ComponentClip;

// A step's name: the verb and the kind for one component ("删除热点"), the verb and
// the count for several ("移动 3 个组件"); a verb with "%1" takes them there ("调整%1大小").
QString stepName(const QString &verb, const ComponentTable &table, const QStringList &ids);

// The width a new text component gets, measured on the template label's text.
int newTextWidth();

// Adds a component of the kind with its top-left corner at `at` on the module, with
// the kind's size and cells; a carousel comes with its settings and its two arrows.
// Returns the new component's row, -1 for a kind that cannot be added.
int add(DesignDocument *document, const QString &kind, const QPoint &at);

// The components (a carousel with its arrows and settings) as a clip, in row order.
Clip clipOf(const DesignDocument *document, const QStringList &ids);
// Adds copies of the clip's components: every cell but the id and the lock, moved by
// `offset`, or, with `at`, the first one put there and the others kept around it. A
// carousel gets a new number with a copy of its settings. Returns the copies' ids and,
// in `sources`, the id each was copied from.
QStringList paste(DesignDocument *document, const QString &verb, const Clip &clip,
                  const QPoint &offset, std::optional<QPoint> at = std::nullopt,
                  QStringList *sources = nullptr);

// Deletes the components' rows, a carousel with its arrows.
bool remove(DesignDocument *document, const QStringList &ids);

// Gives each component a place and size on the module, writing 左边, 顶边, 宽度, 高度.
using Frames = QList<std::pair<QString, QRect>>;
bool setFrames(DesignDocument *document, const QString &verb, const Frames &frames);

// Writes one cell of a component (a geometry box typed into); steps of one run of
// typing with the same key become one.
bool setCell(DesignDocument *document, const QString &verb, const QString &id, int column,
             const QString &text, const QString &typingKey = {});

// An editor's save: `write` writes the row's cells and the carousel's settings in the
// editor's own order, as one step named 编辑 and the kind.
bool edit(DesignDocument *document, const QString &id, const std::function<void(int row)> &write);

bool setLocked(DesignDocument *document, const QStringList &ids, bool locked);

// Moves a component's row to another index (1 and above), which changes its stacking.
bool moveRow(DesignDocument *document, const QString &verb, int from, int to);

} // namespace DesignOperations
} // namespace Plumbrook
