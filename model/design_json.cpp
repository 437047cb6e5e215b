#include "model/design_json.h"

#include "model/component_table.h"
#include "model/file_errors.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QVector>

namespace Plumbrook::DesignJson {

namespace {

bool fail(QString *error, const QString &message)
{
    if (error)
        *error = message;
    return false;
}

QString typeName(const QJsonValue &value)
{
    switch (value.type()) {
    case QJsonValue::Null: return QStringLiteral("空值");
    case QJsonValue::Bool: return QStringLiteral("真假值");
    case QJsonValue::Double: return QStringLiteral("数字");
    case QJsonValue::Array: return QStringLiteral("列表");
    case QJsonValue::Object: return QStringLiteral("对象");
    default: return QStringLiteral("未知内容");
    }
}

} // namespace

bool parseRows(const QJsonValue &rowsValue, QVector<QStringList> *rows, QString *error)
{
    if (rowsValue.isUndefined())
        return fail(error, QStringLiteral("设计文件已损坏：缺少组件列表"));
    if (!rowsValue.isArray())
        return fail(error, QStringLiteral("设计文件已损坏：组件列表的格式错误"));

    const QJsonArray array = rowsValue.toArray();
    const QStringList &columns = ComponentTable::columnNames();
    QVector<QStringList> cells;
    cells.reserve(array.size());
    for (qsizetype r = 0; r < array.size(); ++r) {
        if (!array.at(r).isObject())
            return fail(error, QStringLiteral("设计文件已损坏：第 %1 条记录的格式错误").arg(r + 1));
        const QJsonObject object = array.at(r).toObject();
        QStringList row(ComponentTable::ColumnCount);
        for (int column = 0; column < ComponentTable::ColumnCount; ++column) {
            const QJsonValue value = object.value(columns.at(column));
            if (value.isUndefined())
                continue;
            if (!value.isString())
                return fail(error, QStringLiteral("设计文件已损坏：第 %1 条记录的“%2”是%3，不是文字")
                                       .arg(r + 1).arg(columns.at(column), typeName(value)));
            row[column] = value.toString();
        }
        cells.append(row);
    }
    *rows = cells;
    return true;
}

bool read(const QByteArray &json, ComponentTable &table, QString *error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return fail(error, QStringLiteral("设计文件已损坏：%1有格式错误")
                               .arg(FileErrors::placeOf(json, qMax(0, parseError.offset - 1))));
    if (!document.isObject())
        return fail(error, QStringLiteral("设计文件已损坏：内容不是一份设计"));

    // Everything is checked before the table is touched.
    QVector<QStringList> cells;
    if (!parseRows(document.object().value(QStringLiteral("rows")), &cells, error))
        return false;
    if (cells.isEmpty())
        cells.append(QStringList(ComponentTable::ColumnCount));

    table.resetToModuleRecord();
    for (int column = 0; column < ComponentTable::ColumnCount; ++column)
        table.setCell(0, column, cells.first().at(column));
    int highestId = 0;
    for (qsizetype r = 0; r < cells.size(); ++r) {
        if (r > 0)
            table.insertRowAt(int(r), cells.at(r));
        highestId = qMax(highestId, table.cellInt(int(r), ComponentTable::Id));
    }
    // New components added to a loaded design must not reuse its ids.
    table.setCreationCounter(qMax(table.creationCounter(), highestId));
    return true;
}

bool readFile(const QString &path, ComponentTable &table, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(error, FileErrors::readFailure(path));
    return read(file.readAll(), table, error);
}

QByteArray write(const ComponentTable &table)
{
    const QStringList &columns = ComponentTable::columnNames();
    QJsonArray rows;
    for (int row = 0; row < table.count(); ++row) {
        QJsonObject object;
        for (int column = 0; column < ComponentTable::ColumnCount; ++column)
            object.insert(columns.at(column), table.cell(row, column));
        rows.append(object);
    }
    return QJsonDocument(QJsonObject{{QStringLiteral("rows"), rows}}).toJson(QJsonDocument::Indented);
}

} // namespace Plumbrook::DesignJson
