#include "codegen/fill_context.h"
#include "codegen/template_filler.h"
#include "model/text_ops.h"
#include "model/carousel_settings.h"

#include <algorithm>

namespace Plumbrook::FillRules {

namespace {

using C = ComponentTable;

// The widget knows only eight pictures; a hand-edited count must not make
// generation run away.
int pictureCount(const QString &number)
{
    return int(std::clamp<qint64>(qint64(TextOps::toInt(number)) + 2, 0, CarouselSettings::kMaxPictures));
}

QString offset(const ComponentTable &table, int arrowRow, int carouselRow, C::Column column)
{
    const double difference = double(table.cellInt(arrowRow, column)) - table.cellInt(carouselRow, column);
    return TextOps::formatNumber(difference);
}

} // namespace

QString carousel(const FillContext &c)
{
    // The number the carousel was created with names its file and its arrows,
    // wherever rows above it were deleted since.
    const int number = CarouselSettings::numberOf(c.table, c.row);
    const auto setting = [&](const QString &key) { return c.sources.carouselSetting(number, key); };

    QString code = Templates::text(QStringLiteral("carousel.head.html"));
    const QString autoplay = setting(CarouselSettings::kAutoplay);
    if (autoplay == QStringLiteral("0"))
        TextOps::replaceIn(code, QStringLiteral("{true}"), QStringLiteral("true"), 1);
    else if (autoplay == QStringLiteral("1"))
        TextOps::replaceIn(code, QStringLiteral("{true}"), QStringLiteral("false"), 1);
    TextOps::replaceIn(code, QStringLiteral("elasticOut"), setting(CarouselSettings::kEasingCode), 1);
    TextOps::replaceIn(code, QStringLiteral("scrollx"), setting(CarouselSettings::kTransitionCode), 1);

    const int count = pictureCount(setting(CarouselSettings::kNumber));
    for (int k = 1; k <= count; ++k) {
        code += TemplateFiller(QStringLiteral("carousel.slide.html"))
                    .set(QStringLiteral("{width}"), c.cell(C::Width), 2)
                    .set(QStringLiteral("{height}"), c.cell(C::Height), 2)
                    .set(QStringLiteral("{src}"), setting(CarouselSettings::pictureKey(k)), 1)
                    .set(QStringLiteral("{href}"), setting(CarouselSettings::linkKey(k)), 1)
                    .text();
    }
    code += Templates::text(QStringLiteral("carousel.middle.html"));
    const int navigationCount = pictureCount(setting(CarouselSettings::kNumber));
    for (int k = 1; k <= navigationCount; ++k)
        code += QStringLiteral("<li>%1</li>").arg(k - 1);

    TemplateFiller tail(QStringLiteral("carousel.tail.html"));
    tail.set(QStringLiteral("{prev}"), setting(CarouselSettings::kLeftArrowUrl), 1)
        .set(QStringLiteral("{next}"), setting(CarouselSettings::kRightArrowUrl), 1);
    const QString showArrows = setting(CarouselSettings::kShowArrows);
    if (showArrows == QStringLiteral("0"))
        tail.set(QStringLiteral("{block}"), QStringLiteral("block"), 2);
    else if (showArrows == QStringLiteral("1"))
        tail.set(QStringLiteral("{block}"), QStringLiteral("none"), 2);

    // Arrows are found by id, not by position, so that they stay the
    // carousel's own; a missing arrow reads as empty cells.
    const int left = CarouselSettings::leftArrowRow(c.table, c.row);
    const int right = CarouselSettings::rightArrowRow(c.table, c.row);
    tail.set(QStringLiteral("{jtk}"), c.table.cell(left, C::Width), 2)
        .set(QStringLiteral("{jtg}"), c.table.cell(left, C::Height), 2)
        .set(QStringLiteral("{left1}"), offset(c.table, left, c.row, C::Left), 1)
        .set(QStringLiteral("{top1}"), offset(c.table, left, c.row, C::Top), 1)
        .set(QStringLiteral("{left2}"), offset(c.table, right, c.row, C::Left), 1)
        .set(QStringLiteral("{top2}"), offset(c.table, right, c.row, C::Top), 1);
    code += tail.text();

    if (setting(CarouselSettings::kLinkTarget) == QStringLiteral("1"))
        TextOps::replaceIn(code, QStringLiteral("_blank"), QStringLiteral("_self"),
                           TextOps::count(code, QStringLiteral("_blank")));
    return code;
}

} // namespace Plumbrook::FillRules
