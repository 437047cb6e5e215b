#include "codegen/preview_page.h"

#include "model/text_ops.h"
#include "model/component_table.h"

#include <QFile>

#include <algorithm>

namespace Plumbrook::PreviewPage {

namespace {

QString resource(const QString &name)
{
    QFile file(QStringLiteral(":/preview/") + name);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// GB18030 writes what GBK lacks as four bytes whose second is an ASCII digit;
// GBK's own pairs never have one there.
bool needsGb18030(const QByteArray &bytes)
{
    for (qsizetype i = 0; i + 1 < bytes.size(); ++i) {
        const auto lead = uchar(bytes.at(i));
        if (lead < 0x81 || lead == 0xff)
            continue;
        const auto next = uchar(bytes.at(i + 1));
        if (next >= 0x30 && next <= 0x39)
            return true;
        ++i;
    }
    return false;
}

QString editionName(Edition edition)
{
    return edition == Tmall ? QStringLiteral("天猫") : QStringLiteral("集市");
}

} // namespace

Layout layoutOf(const ComponentTable &table)
{
    Layout layout;
    layout.edition = table.cell(0, ComponentTable::BgCode) == QStringLiteral("0") ? Tmall : Market;
    layout.moduleWidth = TextOps::toInt(table.cell(0, ComponentTable::Width));
    return layout;
}

int columnWidth(Edition edition)
{
    return edition == Tmall ? 990 : 950;
}

QString text(const QString &moduleCode, const Layout &layout, const QString &charset)
{
    const int column = columnWidth(layout.edition);
    const int page = std::max(column, layout.moduleWidth);
    const QString edition = editionName(layout.edition);
    const QString size = layout.moduleWidth > 0
        ? QStringLiteral("，模块宽 %1 像素").arg(layout.moduleWidth) : QString();

    QString html;
    html += QStringLiteral("<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n");
    html += QStringLiteral("<meta charset=\"%1\">\n").arg(charset);
    html += QStringLiteral("<title>本地预览 · %1版 %2 像素</title>\n").arg(edition).arg(page);
    html += QStringLiteral("<style>\n") + resource(QStringLiteral("marketplace.css"))
        + resource(QStringLiteral("page.css")) + QStringLiteral("</style>\n</head>\n");
    html += QStringLiteral("<body class=\"plumbrook-preview\">\n");
    html += QStringLiteral("<div class=\"plumbrook-notice\">本地预览：%1版，店铺内容宽 %2 像素%3。"
                           "收藏、分享、客服等要在店铺页面里才工作的组件以虚线框标出。</div>\n")
                .arg(edition).arg(column).arg(size);
    html += QStringLiteral("<div class=\"plumbrook-page\" data-edition=\"%1\" style=\"width:%2px;\">"
                           "<div class=\"plumbrook-column\" style=\"width:%3px;\">\n")
                .arg(edition).arg(page).arg(column);
    html += moduleCode;
    html += QStringLiteral("\n</div></div>\n<script>\n") + resource(QStringLiteral("widgets.js"))
        + QStringLiteral("</script>\n</body>\n</html>\n");
    return html;
}

QByteArray bytes(const QString &moduleCode, const Layout &layout)
{
    const QByteArray gbk = TextOps::toGbk(text(moduleCode, layout, QStringLiteral("gbk")));
    if (!needsGb18030(gbk))
        return gbk;
    return TextOps::toGbk(text(moduleCode, layout, QStringLiteral("gb18030")));
}

} // namespace Plumbrook::PreviewPage
