#include "components/component_creation.h"

#include "canvas/design_canvas.h"
#include "canvas/frame_picture.h"
#include "components/carousel_settings.h"
#include "components/creation_defaults.h"
#include "model/component_table.h"
#include "model/design_document.h"

#include <QFile>

namespace Plumbrook::ComponentCreation {

namespace {

constexpr ColourValue kHotspotColour = 0xFF00FF;

QByteArray pictureFor(const CreationDefaults::KindDefaults &defaults)
{
    if (defaults.kind == QStringLiteral("热点"))
        return makeFramePicture(defaults.width, defaults.height, kHotspotColour, kHotspotColour);
    return builtinPicture(defaults.picture);
}

int createCarousel(DesignCanvas *canvas, const CreationDefaults::KindDefaults &defaults)
{
    const int row = canvas->addPictureComponent(defaults.kind, pictureFor(defaults), 0,
                                                defaults.width, defaults.height);
    // The number outlives the row index: it names the settings file and the arrows.
    const QString number =
        QString::number(CarouselSettings::numberForNewCarousel(*canvas->table(), row));
    canvas->table()->setCell(row, CarouselSettings::kNumberColumn, number);
    CarouselSettings::writeDefaults(number.toInt());
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

int create(DesignCanvas *canvas, const QString &kind)
{
    const CreationDefaults::KindDefaults *defaults = CreationDefaults::find(kind);
    if (!canvas || !defaults)
        return -1;
    int row = -1;
    canvas->document()->record(QStringLiteral("添加图片"), [&] {
        if (kind == CarouselSettings::kCarouselKind) {
            row = createCarousel(canvas, *defaults);
            return;
        }
        row = kind == QStringLiteral("文字")
            ? canvas->addTextComponent()
            : canvas->addPictureComponent(kind, pictureFor(*defaults), 0, defaults->width,
                                          defaults->height);
        for (const auto &[column, text] : defaults->cells)
            canvas->table()->setCell(row, column, text);
    });
    return row;
}

} // namespace Plumbrook::ComponentCreation
