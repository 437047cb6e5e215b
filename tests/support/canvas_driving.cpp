#include "support/canvas_driving.h"

#include "canvas/design_canvas.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/design_operations.h"
#include "model/kind_table.h"

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

} // namespace Plumbrook::Test
