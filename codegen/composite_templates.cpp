#include "codegen/fill_context.h"
#include "codegen/module_generator.h"
#include "codegen/template_filler.h"
#include "model/text_ops.h"

namespace Plumbrook::FillRules {

namespace {

using C = ComponentTable;

bool is(const QString &cell, const char16_t *text)
{
    return cell == QStringView(text);
}

} // namespace

QString customerService(const FillContext &c)
{
    const QString iconStyle = c.cell(C::Text);

    // The pieces go in first: the link placeholders live inside them.
    const QString avatar = is(c.cell(C::Other2), u"0")
        ? TemplateFiller(QStringLiteral("customer_service.avatar.html"))
              .set(QStringLiteral("{src}"), c.cell(C::Link), 1)
              .text()
        : QString();

    QString icon;
    if (is(iconStyle, u"2")) {
        icon = QStringLiteral("</div>\r\n");
    } else {
        icon = Templates::text(QStringLiteral("customer_service.wangwang.html"));
        // Below the avatar the icon flows in its own block instead of lying
        // over the avatar's bottom edge.
        if (is(c.cell(C::BgColor), u"0"))
            TextOps::replaceIn(icon, ModuleGenerator::kLayerClassList, QString(), 1);
        const QString align = c.cell(C::Other);
        if (is(align, u"0"))
            TextOps::replaceIn(icon, QStringLiteral("{align}"), QStringLiteral("left"), 1);
        else if (is(align, u"1"))
            TextOps::replaceIn(icon, QStringLiteral("{align}"), QStringLiteral("center"), 1);
        else if (is(align, u"2"))
            TextOps::replaceIn(icon, QStringLiteral("{align}"), QStringLiteral("right"), 1);
    }

    const QString contactLink = Templates::text(is(c.cell(C::Other1), u"0")
                                                    ? QStringLiteral("customer_service.direct_link.txt")
                                                    : QStringLiteral("customer_service.routed_link.txt"));

    return TemplateFiller(QStringLiteral("customer_service.outer.html"))
        .set(QStringLiteral("{HeadCode}"), avatar, 1)
        .set(QStringLiteral("{wangwangCode}"), icon, 1)
        .set(QStringLiteral("{wwlj}"), contactLink, 2)
        .set(QStringLiteral("{s}"), is(iconStyle, u"0") ? QStringLiteral("1") : QStringLiteral("2"), 3)
        .set(QStringLiteral("{uid}"), TextOps::urlEncode(c.cell(C::Picture), true, true), 5)
        .text();
}

QString countdown(const FillContext &c)
{
    TemplateFiller filler(QStringLiteral("countdown.html"));
    filler.set(QStringLiteral("{endTime}"), c.cell(C::Picture), 1);

    // Which of the day, hour, minute and second cells each format shows.
    static const char16_t *const formats[][4] = {
        {u"inline", u"inline", u"inline", u"inline"},
        {u"none", u"inline", u"inline", u"inline"},
        {u"none", u"none", u"inline", u"inline"},
        {u"inline", u"none", u"none", u"none"},
    };
    static const QString formatIndexes[] = {QStringLiteral("0"), QStringLiteral("1"),
                                            QStringLiteral("2"), QStringLiteral("3")};
    const QString format = c.cell(C::BgColor);
    for (int f = 0; f < 4; ++f) {
        if (format != formatIndexes[f])
            continue;
        for (int cellNo = 0; cellNo < 4; ++cellNo)
            filler.set(QStringLiteral("{inline0%1}").arg(cellNo + 1),
                       QString::fromUtf16(formats[f][cellNo]), 1);
    }

    filler.set(QStringLiteral("{src}"), c.cell(C::BgCode), 1)
        .set(QStringLiteral("{jiange}"), c.cell(C::Link), 4)
        .set(QStringLiteral("{gaodu}"), c.cell(C::Height), 8)
        .set(QStringLiteral("{size}"), c.cell(C::Text), 4)
        // The template's fixed colour and font are themselves the placeholders.
        .set(QStringLiteral("#fff"), c.cell(C::Other), 4);
    if (is(c.cell(C::Other1), u"1"))
        filler.set(QStringLiteral("weight:normal"), QStringLiteral("weight:bold"), 4);
    filler.set(QStringLiteral("微软雅黑"), c.cell(C::Other4), 4);
    return filler.text();
}

QString search(const FillContext &c)
{
    const QString buttonColour = c.cell(C::Other6);
    return TemplateFiller(QStringLiteral("search.html"))
        .set(QStringLiteral("{value}"), c.cell(C::Picture), 1)
        .set(QStringLiteral("{url}"), c.cell(C::Link), 1)
        .set(QStringLiteral("{kd_01}"), c.cell(C::Text), 1)
        .set(QStringLiteral("{gd_01}"), c.cell(C::BgColor), 2)
        .set(QStringLiteral("{kd_02}"), c.cell(C::Other), 1)
        .set(QStringLiteral("{gd_02}"), c.cell(C::Other1), 1)
        .set(QStringLiteral("{background01}"), c.cell(C::Other2), 1)
        .set(QStringLiteral("{color01}"), c.cell(C::BgCode), 1)
        .set(QStringLiteral("{solid}"), c.cell(C::Other4), 1)
        .set(QStringLiteral("{background02}"), c.cell(C::Other5), 1)
        .set(QStringLiteral("{color02}"), buttonColour.isEmpty() ? QStringLiteral("#fff") : buttonColour, 1)
        .text();
}

} // namespace Plumbrook::FillRules
