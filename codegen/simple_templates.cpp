#include "codegen/fill_context.h"
#include "codegen/template_filler.h"
#include "model/text_ops.h"

namespace Plumbrook::FillRules {

namespace {

using C = ComponentTable;
using Filler = TemplateFiller;

// A bare number typed into a size field means pixels; anything else is kept as typed.
QString withPixelUnit(const QString &value)
{
    if (value.isEmpty())
        return value;
    for (const QChar c : value) {
        if (c < u'0' || c > u'9')
            return value;
    }
    return value + QStringLiteral("px");
}

} // namespace

QString image(const FillContext &c)
{
    return Filler(QStringLiteral("image.html"))
        .set(QStringLiteral("{src}"), c.cell(C::Picture), 1)
        .set(QStringLiteral("{href}"), c.cell(C::Link), 1)
        .set(QStringLiteral("{title}"), c.cell(C::Text), 1)
        .set(QStringLiteral("{target}"), c.cell(C::Other), 1)
        .text();
}

QString hotspot(const FillContext &c)
{
    return Filler(QStringLiteral("hotspot.html"))
        .set(QStringLiteral("{title}"), c.cell(C::Picture), 1)
        .set(QStringLiteral("{href}"), c.cell(C::Link), 1)
        .set(QStringLiteral("{target}"), c.cell(C::BgColor), 1)
        .text();
}

QString swap(const FillContext &c)
{
    return Filler(QStringLiteral("swap.html"))
        .set(QStringLiteral("{src01}"), c.cell(C::Picture), 1)
        .set(QStringLiteral("{src02}"), c.cell(C::Link), 1)
        .set(QStringLiteral("{target}"), c.cell(C::Other1), 2)
        .set(QStringLiteral("{href}"), c.cell(C::Text), 2)
        .text();
}

QString zoom(const FillContext &c)
{
    const int width = c.cellInt(C::Width);
    const double factor = TextOps::toFloat(c.cell(C::BgCode));
    // A name read back from imported code is kept, so that the code comes out as it went in.
    QString name = c.cell(C::Other6);
    if (name.isEmpty()) {
        name = QStringLiteral("Kai_");
        for (int i = 0; i < 4; ++i)
            name += QChar(u'0' + c.sources.randomDigit() % 10);
    }
    return Filler(QStringLiteral("zoom.html"))
        .set(QStringLiteral("{width01}"), c.cell(C::Width), 4)
        .set(QStringLiteral("{width02}"), TextOps::formatNumber(width * factor), 2)
        .set(QStringLiteral("{width03}"), TextOps::formatNumber(width * factor - 10), 4)
        .set(QStringLiteral("{random}"), name, 3)
        .set(QStringLiteral("{src01}"), c.cell(C::Picture), 2)
        .set(QStringLiteral("{src02}"), c.cell(C::Link), 2)
        .set(QStringLiteral("{href}"), c.cell(C::Text), 2)
        .set(QStringLiteral("{color}"), c.cell(C::Other1), 2)
        .set(QStringLiteral("{target}"), c.cell(C::Other2), 2)
        .text();
}

QString text(const FillContext &c)
{
    const bool bold = c.cell(C::BgColor) == QStringLiteral("1");
    return Filler(QStringLiteral("text.html"))
        .set(QStringLiteral("{content}"), c.cell(C::Picture), 1)
        .set(QStringLiteral("{href}"), c.cell(C::Link), 1)
        .set(QStringLiteral("{family}"), c.cell(C::Other), 1)
        .set(QStringLiteral("{size}"), withPixelUnit(c.cell(C::Other1)), 1)
        .set(QStringLiteral("{color}"), c.cell(C::BgCode), 2)
        .set(QStringLiteral("{align}"), c.cell(C::Other5), 1)
        .set(QStringLiteral("{lineheight}"), withPixelUnit(c.cell(C::Other2)), 1)
        .set(QStringLiteral("{weight}"), bold ? QStringLiteral("bold") : QStringLiteral("normal"), 1)
        .text();
}

QString favourite(const FillContext &c)
{
    return Filler(QStringLiteral("favourite.html"))
        .set(QStringLiteral("{src}"), c.cell(C::Picture), 1)
        .set(QStringLiteral("{href}"), c.cell(C::Link), 1)
        .text();
}

QString share(const FillContext &c)
{
    return Filler(QStringLiteral("share.html"))
        .set(QStringLiteral("{key}"), c.cell(C::Picture), 1)
        .set(QStringLiteral("{src}"), c.cell(C::Link), 1)
        .text();
}

QString qrCode(const FillContext &c)
{
    return Filler(QStringLiteral("qrcode.html"))
        .set(QStringLiteral("{src}"), c.cell(C::Text), 1)
        .text();
}

QString cart(const FillContext &c)
{
    return Filler(QStringLiteral("cart.html"))
        .set(QStringLiteral("{src}"), c.cell(C::Picture), 1)
        .set(QStringLiteral("{href}"), c.cell(C::Link), 1)
        .text();
}

QString like(const FillContext &c)
{
    return Filler(QStringLiteral("like.html"))
        .set(QStringLiteral("{key}"), c.cell(C::Picture), 1)
        .set(QStringLiteral("{skinType}"), c.cell(C::Link), 1)
        .text();
}

QString follow(const FillContext &c)
{
    return Filler(QStringLiteral("follow.html"))
        .set(QStringLiteral("{brandid}"), c.cell(C::Picture), 1)
        .set(QStringLiteral("{src}"), c.cell(C::Link), 1)
        .text();
}

QString wangwangGroup(const FillContext &c)
{
    return Filler(QStringLiteral("wwgroup.html"))
        .set(QStringLiteral("{tribeid}"), c.cell(C::Link), 1)
        .set(QStringLiteral("{src}"), c.cell(C::Picture), 1)
        .text();
}

QString video(const FillContext &c)
{
    QString url = c.cell(C::Picture);
    if (c.cell(C::Link) == QStringLiteral("0"))
        TextOps::replaceIn(url, QStringLiteral("/p/1/e"), QStringLiteral("/p/2/e"), 1);
    else
        TextOps::replaceIn(url, QStringLiteral("/p/2/e"), QStringLiteral("/p/1/e"), 1);
    return Filler(QStringLiteral("video.html")).set(QStringLiteral("{src}"), url, 1).text();
}

QString flash(const FillContext &c)
{
    return Filler(QStringLiteral("flash.html"))
        .set(QStringLiteral("{src}"), c.cell(C::Picture), 1)
        .text();
}

} // namespace Plumbrook::FillRules
