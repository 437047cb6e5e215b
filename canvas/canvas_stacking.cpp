#include "canvas/canvas_stacking.h"

#include "canvas/design_canvas.h"
#include "model/component_table.h"
#include "model/layer_stacking.h"

#include <QHash>
#include <QWidget>

#include <algorithm>

namespace Plumbrook::CanvasStacking {

void restack(DesignCanvas *canvas)
{
    const ComponentTable *table = canvas->table();
    const QVector<LayerStacking::Line> lines = LayerStacking::stackingOrder(*table);
    QList<QWidget *> wanted;   // bottom first
    wanted.reserve(table->componentCount());
    for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
        if (QWidget *object = canvas->objectById(table->cell(line->row, ComponentTable::Id)))
            wanted.append(object);
        for (int arrow : line->arrows) {
            if (QWidget *object = canvas->objectById(table->cell(arrow, ComponentTable::Id)))
                wanted.append(object);
        }
    }
    if (wanted.isEmpty())
        return;
    // Raising thousands of widgets one by one costs a scan of their siblings each:
    // only a canvas out of order is restacked.
    QWidget *layer = wanted.constFirst()->parentWidget();
    QHash<const QObject *, qsizetype> place;
    place.reserve(wanted.size());
    for (qsizetype i = 0; i < wanted.size(); ++i)
        place.insert(wanted.at(i), i);
    qsizetype next = 0;
    bool inOrder = true;
    for (const QObject *child : layer->children()) {
        const auto found = place.constFind(child);
        if (found == place.constEnd())
            continue;
        if (*found != next) {
            inOrder = false;
            break;
        }
        ++next;
    }
    if (inOrder)
        return;
    for (QWidget *object : std::as_const(wanted))
        object->raise();
}

} // namespace Plumbrook::CanvasStacking
