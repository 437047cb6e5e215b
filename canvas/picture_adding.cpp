#include "canvas/picture_adding.h"

#include "canvas/design_canvas.h"
#include "canvas/picture_object.h"
#include "canvas/preview_download.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/design_operations.h"
#include "model/kind_table.h"
#include "model/text_ops.h"

namespace Plumbrook::PictureAdding {

int addPicture(DesignCanvas *canvas, const QHash<int, QString> &cells, const QByteArray &bytes)
{
    using T = ComponentTable;
    const KindTable::KindInfo *info = KindTable::find(KindTable::nameOf(KindTable::Kind::Picture));
    if (!canvas || !info)
        return -1;
    const auto number = [&cells](int column, int fallback) {
        return cells.contains(column) ? TextOps::toInt(cells.value(column)) : fallback;
    };
    // Known already: the address is not fetched again for the picture shown.
    if (cells.contains(T::Picture))
        PreviewDownload::remember(cells.value(T::Picture), bytes);
    DesignDocument *document = canvas->document();
    ComponentTable *table = document->table();
    int row = -1;
    document->record(QStringLiteral("添加图片"), [&] {
        const QPoint place = canvas->newComponentPlace(info->name);
        row = DesignOperations::add(document, info->name,
                                    QPoint(number(T::Left, place.x()), number(T::Top, place.y())));
        if (row < 1)
            return;
        for (auto it = cells.constBegin(); it != cells.constEnd(); ++it)
            table->setCell(row, it.key(), it.value());
    });
    if (row < 1)
        return -1;
    // Inside a larger step the object comes only when that step is done: its caller
    // shows the picture then.
    const QString id = table->cell(row, T::Id);
    if (PictureObject *object = canvas->pictureById(id)) {
        if (cells.contains(T::Picture))
            object->setProperty("previewUrl", cells.value(T::Picture));
        canvas->setObjectPicture(id, bytes);
    }
    return row;
}

} // namespace Plumbrook::PictureAdding
