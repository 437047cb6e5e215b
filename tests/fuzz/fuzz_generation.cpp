// Generation over arbitrary rows, kinds, geometry texts and carousel settings.
#include "generation_check.h"

using namespace Plumbrook;

namespace {

const QStringList &kindNames()
{
    static const QStringList names = {
        QStringLiteral("图片"), QStringLiteral("热点"), QStringLiteral("换图"),
        QStringLiteral("放大"), QStringLiteral("文字"), QStringLiteral("收藏"),
        QStringLiteral("分享"), QStringLiteral("二维码"), QStringLiteral("购物车"),
        QStringLiteral("喜欢"), QStringLiteral("关注"), QStringLiteral("客服"),
        QStringLiteral("旺旺群"), QStringLiteral("视频"), QStringLiteral("倒计时"),
        QStringLiteral("搜索"), QStringLiteral("flash"), QStringLiteral("轮播"),
        QStringLiteral("左箭头1"), QStringLiteral("右箭头1"), QStringLiteral("背景"),
    };
    return names;
}

} // namespace

// Input: a shrink text, carousel settings separated by 0x1E, then the cells of
// every row in column order. A one-byte kind cell picks a kind name.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QList<QByteArray> parts = Fuzz::fields(data, size, 2);
    const QString shrink = Fuzz::text(parts.at(0));
    const QStringList settings = Fuzz::text(parts.at(1)).split(QChar(0x1e));

    ComponentTable table;
    table.resetToModuleRecord();
    QStringList row;
    int rowIndex = 0;
    for (qsizetype i = 2; i < parts.size(); ++i) {
        QString cell = Fuzz::text(parts.at(i));
        if (row.size() == ComponentTable::Kind && parts.at(i).size() == 1)
            cell = kindNames().at(uchar(parts.at(i).at(0)) % kindNames().size());
        row.append(cell);
        if (row.size() == ComponentTable::ColumnCount || i + 1 == parts.size()) {
            while (row.size() < ComponentTable::ColumnCount)
                row.append(QString());
            if (rowIndex == 0) {
                for (int column = 0; column < ComponentTable::ColumnCount; ++column)
                    table.setCell(0, column, row.at(column));
            } else {
                table.insertRowAt(rowIndex, row);
            }
            ++rowIndex;
            row.clear();
        }
    }
    Fuzz::generateAndCheck(table, settings, shrink);
    return 0;
}
