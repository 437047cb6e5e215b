#include "support/canvas_driving.h"

#include "canvas/design_canvas.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/design_operations.h"
#include "model/kind_table.h"
#include "model/stacking_order.h"

#include <algorithm>

namespace Plumbrook::Test {

int addPicture(DesignCanvas *canvas, const QString &kind, const QByteArray &picture, int sourceRow,
               int width, int height)
{
    ComponentTable *table = canvas->table();
    if (sourceRow >= 1) {
        width = table->cellInt(sourceRow, ComponentTable::Width);
        height = table->cellInt(sourceRow, ComponentTable::Height);
    }
    const QPoint at = canvas->newComponentPlace(kind);
    int row = -1;
    canvas->document()->record(QStringLiteral("添加") + kind, [&] {
        row = table->appendRow(QString::number(table->takeNextId()), kind);
        table->setCell(row, ComponentTable::Width, QString::number(width));
        table->setCell(row, ComponentTable::Height, QString::number(height));
        table->setCell(row, ComponentTable::Left, QString::number(at.x()));
        table->setCell(row, ComponentTable::Top, QString::number(at.y()));
    });
    if (!picture.isEmpty())
        canvas->setObjectPicture(table->cell(row, ComponentTable::Id), picture);
    return row;
}

int addText(DesignCanvas *canvas)
{
    return canvas->addComponent(KindTable::nameOf(KindTable::Kind::Text));
}

void storeFrame(DesignCanvas *canvas, QWidget *object)
{
    DesignOperations::setFrames(canvas->document(), QStringLiteral("移动"),
                                {{DesignCanvas::tagOf(object), canvas->moduleFrameOf(object)}});
}

void deleteComponent(DesignCanvas *canvas, QWidget *object)
{
    DesignOperations::remove(canvas->document(), {DesignCanvas::tagOf(object)});
}

QString stackingDisagreement(DesignCanvas *canvas)
{
    const ComponentTable *table = canvas->table();
    const QList<QWidget *> objects = canvas->allObjects();
    if (objects.size() != table->componentCount())
        return QStringLiteral("%1 objects for %2 rows").arg(objects.size()).arg(table->componentCount());
    QVector<std::pair<StackingOrder::Key, QWidget *>> order;
    for (int row = 1; row < table->count(); ++row) {
        QWidget *object = canvas->objectById(table->cell(row, ComponentTable::Id));
        if (!object)
            return QStringLiteral("no object for row %1").arg(row);
        order.append({StackingOrder::keyOf(*table, row), object});
    }
    std::stable_sort(order.begin(), order.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    for (qsizetype i = 1; i < order.size(); ++i) {
        const QObjectList siblings = order.at(i).second->parentWidget()->children();
        if (siblings.indexOf(order.at(i - 1).second) > siblings.indexOf(order.at(i).second))
            return QStringLiteral("%1 (%3) lies above %2 (%4)")
                .arg(DesignCanvas::tagOf(order.at(i - 1).second), DesignCanvas::tagOf(order.at(i).second))
                .arg(table->cell(order.at(i - 1).first.row, ComponentTable::Kind),
                     table->cell(order.at(i).first.row, ComponentTable::Kind));
    }
    return {};
}

} // namespace Plumbrook::Test
