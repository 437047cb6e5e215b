#include "canvas/picture_adding.h"

#include "canvas/design_canvas.h"
#include "canvas/picture_object.h"
#include "components/preview_download.h"
#include "model/text_ops.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/kind_table.h"

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
    int row = -1;
    canvas->document()->record(QStringLiteral("添加图片"), [&] {
        row = canvas->addPictureComponent(info->name, bytes, 0, number(T::Width, info->width),
                                          number(T::Height, info->height));
        for (const auto &[column, text] : info->cells)
            canvas->table()->setCell(row, column, text);
        for (auto it = cells.constBegin(); it != cells.constEnd(); ++it)
            canvas->table()->setCell(row, it.key(), it.value());
        PictureObject *object = canvas->pictureById(canvas->table()->cell(row, T::Id));
        // Shown already: the address is not fetched again for it.
        if (object && cells.contains(T::Picture)) {
            object->setProperty("previewUrl", cells.value(T::Picture));
            PreviewDownload::remember(cells.value(T::Picture), bytes);
        }
        if (object && (cells.contains(T::Left) || cells.contains(T::Top))) {
            const QRect frame = canvas->frameOf(object);
            const QPoint at = canvas->backgroundPos()
                              + QPoint(number(T::Left, frame.left() - canvas->backgroundPos().x()),
                                       number(T::Top, frame.top() - canvas->backgroundPos().y()));
            canvas->moveObject(object, at);
            canvas->storeFrame(object);
        }
    });
    return row;
}

} // namespace Plumbrook::PictureAdding
