#include "model/module_settings.h"

#include "model/text_ops.h"
#include "model/colour_conversion.h"
#include "model/component_table.h"

#include <array>

namespace Plumbrook {

namespace {

using C = ComponentTable;

const QString kLayerClassList = QStringLiteral("most-footer footer-more-trigger address-all-close");

const QString kWrapperTemplate = QStringLiteral(
    "<div class=\"ZozIre\" data-title=\"{data-title}\" style=\"width:{width}px;height:{height}px;\">"
    "<div class=\"most-footer footer-more-trigger address-all-close\" style=\"width:{width}px;"
    "height:{height}px;border:0;padding:0;top:auto;left:auto;right:auto;background:none;\">"
    "<div class=\"most-footer footer-more-trigger address-all-close\" style=\"width:{width}px;"
    "height:{height}px;border:0;padding:0;top:0;left:0;right:auto;background:none;\">{maodian}"
    "<div class=\"most-footer footer-more-trigger address-all-close\" style=\"background:none;"
    "border:0;padding:0;width:{width}px;height:{height}px;top:auto;left:{left}px;right:auto;"
    "background-color:{color};background-image:url();background-repeat:{repeat};"
    "background-position:{position_x} {position_y};background-attachment:{attachment};\">\r\n"
    "</div>\r\n");

const QString kAnchorTemplate = QStringLiteral(
    "<div class=\"most-footer footer-more-trigger address-all-close\" style=\"border:0;padding:0;"
    "background:transparent;top:0;left:0;right:auto;\">\r\n"
    "\t\t<a name=\"{name}\" style=\"font-size:0.1px;line-height:0.1px;visibility:hidden;height:0;\">\r\n"
    "\t\t</a>\r\n"
    "\t</div>");

// An index that no list entry has (only a hand-edited record holds one) takes
// the first entry, as the window's lists do when they load it.
template<std::size_t N>
QString cssOf(const std::array<const char *, N> &values, int index)
{
    if (index < 0 || index >= int(N))
        index = 0;
    return QString::fromLatin1(values[std::size_t(index)]);
}

} // namespace

ModuleSettings ModuleSettings::load(const ComponentTable &table)
{
    ModuleSettings s;
    s.width = table.cell(0, C::Width);
    s.height = table.cell(0, C::Height);
    s.picture = table.cell(0, C::Picture);
    s.anchor = table.cell(0, C::Link);
    s.repeat = table.cellInt(0, C::Text);
    s.colour = table.cellInt(0, C::BgColor);
    s.colourText = ColourConversion::colourText(s.colour);
    s.horizontal = table.cellInt(0, C::Other);
    s.vertical = table.cellInt(0, C::Other1);
    s.attachment = table.cellInt(0, C::Other2);
    s.edition = table.cellInt(0, C::BgCode);
    return s;
}

void ModuleSettings::save(ComponentTable &table) const
{
    table.setCell(0, C::Width, width);
    table.setCell(0, C::Height, height);
    table.setCell(0, C::Picture, picture);
    table.setCell(0, C::Link, anchor);
    table.setCell(0, C::Text, QString::number(repeat));
    table.setCell(0, C::BgColor, QString::number(colour));
    table.setCell(0, C::Other, QString::number(horizontal));
    table.setCell(0, C::Other1, QString::number(vertical));
    table.setCell(0, C::Other2, QString::number(attachment));
    table.setCell(0, C::BgCode, QString::number(edition));
}

QString ModuleSettings::buildWrapper() const
{
    QString code = kWrapperTemplate;
    TextOps::replaceIn(code, QStringLiteral("{width}"), width, 5);
    TextOps::replaceIn(code, QStringLiteral("{height}"), height, 5);
    TextOps::replaceIn(code, QStringLiteral("{color}"),
                       colourText.contains(QLatin1Char('#')) ? colourText : QString(), 1);
    if (!trimSpaces(picture).isEmpty())
        TextOps::replaceIn(code, QStringLiteral("url("), QStringLiteral("url(") + picture, 1);

    const QString anchorBlock = trimSpaces(anchor).isEmpty()
        ? QString()
        : TextOps::replace(kAnchorTemplate, QStringLiteral("{name}"), anchor, 1);
    TextOps::replaceIn(code, QStringLiteral("{maodian}"), anchorBlock, 1);

    TextOps::replaceIn(code, QStringLiteral("{repeat}"), repeatCss(repeat), 1);
    TextOps::replaceIn(code, QStringLiteral("{position_y}"), verticalCss(vertical), 1);
    TextOps::replaceIn(code, QStringLiteral("{position_x}"), horizontalCss(horizontal), 1);
    TextOps::replaceIn(code, QStringLiteral("{attachment}"), attachmentCss(attachment), 1);

    // Four covers the three nested elements and the anchor block.
    if (edition == 0)
        TextOps::replaceIn(code, kLayerClassList, QStringLiteral("sn-simple-logo"), 4);
    TextOps::replaceIn(code, QStringLiteral("{left}"), backgroundOffset(width, edition), 1);
    return code;
}

QString ModuleSettings::backgroundOffset(const QString &widthText, int edition)
{
    const int standard = edition == 0 ? 990 : 950;
    const int w = TextOps::toInt(widthText);
    if (w <= standard)
        return QStringLiteral("0");
    return TextOps::formatNumber((double(w) - standard) / -2.0);
}

QString ModuleSettings::trimSpaces(const QString &text)
{
    return TextOps::trimmed(text, u" \u3000");
}

QString ModuleSettings::repeatCss(int index)
{
    return cssOf(std::array{"repeat", "repeat-x", "repeat-y", "no-repeat"}, index);
}

QString ModuleSettings::horizontalCss(int index)
{
    return cssOf(std::array{"left", "center", "right"}, index);
}

QString ModuleSettings::verticalCss(int index)
{
    return cssOf(std::array{"top", "center", "bottom"}, index);
}

QString ModuleSettings::attachmentCss(int index)
{
    return cssOf(std::array{"scroll", "fixed"}, index);
}

} // namespace Plumbrook
