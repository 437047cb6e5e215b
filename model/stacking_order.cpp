#include "model/stacking_order.h"

#include "model/carousel_settings.h"
#include "model/component_table.h"
#include "model/kind_table.h"

namespace Plumbrook::StackingOrder {

int zIndexOf(const QString &kind)
{
    // A row of no known kind is emitted as plain code, on the module's own level.
    return KindTable::find(kind) ? KindTable::zIndexOf(kind) : 2;
}

Key keyOf(const ComponentTable &table, int row)
{
    const QString kind = table.cell(row, ComponentTable::Kind);
    const qint64 id = table.cell(row, ComponentTable::Id).toLongLong();
    const std::pair<QString, int> sides[2] = {{CarouselSettings::kLeftArrowPrefix, 1},
                                              {CarouselSettings::kRightArrowPrefix, 2}};
    for (const auto &[prefix, part] : sides) {
        if (!kind.startsWith(prefix))
            continue;
        const int carousel = table.findRowById(QString::number(id - part));
        if (carousel >= 1 && KindTable::is(table.cell(carousel, ComponentTable::Kind), KindTable::Kind::Carousel))
            return {zIndexOf(table.cell(carousel, ComponentTable::Kind)), carousel, part};
    }
    return {zIndexOf(kind), row, 0};
}

} // namespace Plumbrook::StackingOrder
