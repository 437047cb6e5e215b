#include "components/component_creation.h"

#include "canvas/design_canvas.h"
#include "canvas/frame_picture.h"
#include "components/carousel_settings.h"
#include "components/creation_defaults.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/kind_table.h"

#include <QFile>

namespace Plumbrook::ComponentCreation {

namespace {

int createCarousel(DesignCanvas *canvas, const KindTable::KindInfo &defaults)
{
    const int row = canvas->addPictureComponent(defaults.name, builtinPictureOf(defaults.name), 0,
                                                defaults.width, defaults.height);
    // The number outlives the row index: it names the settings file and the arrows.
    const QString number =
        QString::number(CarouselSettings::numberForNewCarousel(*canvas->table(), row));
    canvas->table()->setCell(row, CarouselSettings::kNumberColumn, number);
    CarouselSettings::writeFor(*canvas->table(), number.toInt(), CarouselSettings::defaults());
    const int size = CreationDefaults::ArrowSize;
    canvas->addPictureComponent(CarouselSettings::kLeftArrowPrefix + number,
                                builtinPicture(CreationDefaults::leftArrowPicture()), 0, size,
                                size);
    canvas->addPictureComponent(CarouselSettings::kRightArrowPrefix + number,
                                builtinPicture(CreationDefaults::rightArrowPicture()), 0, size,
                                size);
    return row;
}

} // namespace

QByteArray builtinPicture(const QString &fileName)
{
    if (fileName.isEmpty())
        return {};
    QFile file(QStringLiteral(":/pictures/") + fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray builtinPictureOf(const QString &kind)
{
    if (kind.startsWith(CarouselSettings::kLeftArrowPrefix))
        return builtinPicture(CreationDefaults::leftArrowPicture());
    if (kind.startsWith(CarouselSettings::kRightArrowPrefix))
        return builtinPicture(CreationDefaults::rightArrowPicture());
    const KindTable::KindInfo *info = KindTable::find(kind);
    if (!info)
        return {};
    if (info->kind == KindTable::Kind::Hotspot)
        return makeFramePicture(info->width, info->height, KindTable::kHotspotColour,
                                KindTable::kHotspotColour);
    return builtinPicture(info->picture);
}

int create(DesignCanvas *canvas, const QString &kind)
{
    const KindTable::KindInfo *defaults = KindTable::find(kind);
    if (!canvas || !defaults)
        return -1;
    int row = -1;
    canvas->document()->record(QStringLiteral("添加图片"), [&] {
        if (KindTable::is(kind, KindTable::Kind::Carousel)) {
            row = createCarousel(canvas, *defaults);
            return;
        }
        row = KindTable::is(kind, KindTable::Kind::Text)
            ? canvas->addTextComponent()
            : canvas->addPictureComponent(kind, builtinPictureOf(kind), 0, defaults->width,
                                          defaults->height);
        for (const auto &[column, text] : defaults->cells)
            canvas->table()->setCell(row, column, text);
    });
    return row;
}

} // namespace Plumbrook::ComponentCreation
