#include "model/component_clip.h"

#include "model/component_table.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace Plumbrook {

QString ComponentClip::mimeType()
{
    return QStringLiteral("application/x-plumbrook-components+json");
}

QByteArray ComponentClip::toJson() const
{
    QJsonArray rowArray;
    for (const QStringList &cells : rows)
        rowArray.append(QJsonArray::fromStringList(cells));
    QJsonObject carouselObject;
    for (auto it = carousels.cbegin(); it != carousels.cend(); ++it) {
        QJsonArray pairs;
        for (const auto &[key, value] : it.value())
            pairs.append(QJsonArray{key, value});
        carouselObject.insert(QString::number(it.key()), pairs);
    }
    return QJsonDocument(QJsonObject{{QStringLiteral("rows"), rowArray},
                                     {QStringLiteral("carousels"), carouselObject}})
        .toJson(QJsonDocument::Compact);
}

ComponentClip ComponentClip::fromJson(const QByteArray &json)
{
    const QJsonObject root = QJsonDocument::fromJson(json).object();
    ComponentClip clip;
    for (const QJsonValue &row : root.value(QStringLiteral("rows")).toArray()) {
        const QJsonArray array = row.toArray();
        if (!row.isArray() || array.isEmpty())
            return {};
        QStringList cells;
        for (const QJsonValue &cell : array) {
            if (!cell.isString())
                return {};
            cells.append(cell.toString());
        }
        cells = cells.mid(0, ComponentTable::ColumnCount);
        while (cells.size() < ComponentTable::ColumnCount)
            cells.append(QString());
        clip.rows.append(cells);
    }
    const QJsonObject carousels = root.value(QStringLiteral("carousels")).toObject();
    for (auto it = carousels.constBegin(); it != carousels.constEnd(); ++it) {
        bool ok = false;
        const int number = it.key().toInt(&ok);
        if (!ok)
            continue;
        DesignFile::CarouselValues values;
        for (const QJsonValue &pair : it.value().toArray()) {
            const QJsonArray keyValue = pair.toArray();
            if (keyValue.size() == 2 && keyValue.at(0).isString() && keyValue.at(1).isString())
                values.append({keyValue.at(0).toString(), keyValue.at(1).toString()});
        }
        clip.carousels.insert(number, values);
    }
    return clip;
}

} // namespace Plumbrook
