#include "model/design_document.h"

#include "model/carousel_settings.h"
#include "model/kind_table.h"

namespace Plumbrook {

namespace CS = CarouselSettings;

DesignDocument *DesignDocument::of(const ComponentTable &table)
{
    return qobject_cast<DesignDocument *>(table.parent());
}

DesignFile::CarouselValues DesignDocument::carousel(int number) const
{
    const QHash<QString, QString> held = mCarousels.value(number);
    DesignFile::CarouselValues values;
    values.reserve(CS::keys().size());
    for (const QString &key : CS::keys())
        values.append({key, held.value(key)});
    return values;
}

QString DesignDocument::carouselValue(int number, const QString &key) const
{
    const auto found = mCarousels.constFind(number);
    return found == mCarousels.cend() ? QString() : found->value(key);
}

bool DesignDocument::writeCarousel(int number, const DesignFile::CarouselValues &values)
{
    carouselWriting(number, values);
    QHash<QString, QString> &held = mCarousels[number];
    for (const auto &[key, value] : values)
        held.insert(key, value);
    return CS::writeChanged(number, values);
}

void DesignDocument::applyCarousel(int number, const DesignFile::CarouselValues &values)
{
    ++mRevision;
    QHash<QString, QString> &held = mCarousels[number];
    for (const auto &[key, value] : values)
        held.insert(key, value);
    CS::writeChanged(number, values);
}

void DesignDocument::putCarousels(const DesignFile::Design &design)
{
    mCarousels.clear();
    for (auto it = design.carousels.cbegin(); it != design.carousels.cend(); ++it) {
        QHash<QString, QString> &held = mCarousels[it.key()];
        for (const auto &[key, value] : it.value())
            held.insert(key, value);
    }
    // The mirror follows the design; files that hold it already are not written again.
    CS::mirror(design.carousels);
    // A design made before files kept their carousels takes them once from the settings
    // files it was made with; from then on they are its own.
    qsizetype carouselRows = 0;
    for (const QStringList &cells : design.rows)
        carouselRows += KindTable::is(cells.value(ComponentTable::Kind), KindTable::Kind::Carousel) ? 1 : 0;
    if (carouselRows <= design.carousels.size())
        return;
    ComponentTable scratch;
    scratch.replaceRows(design.rows);
    for (int row = 1; row < scratch.count(); ++row) {
        if (!KindTable::is(scratch.cell(row, ComponentTable::Kind), KindTable::Kind::Carousel))
            continue;
        const int number = CS::numberOf(scratch, row);
        if (!mCarousels.contains(number)) {
            QHash<QString, QString> &held = mCarousels[number];
            for (const auto &[key, value] : CS::readAll(number))
                held.insert(key, value);
        }
    }
}

} // namespace Plumbrook
