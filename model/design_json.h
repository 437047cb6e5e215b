#pragma once

#include <QByteArray>
#include <QJsonValue>
#include <QString>
#include <QStringList>
#include <QVector>

namespace Plumbrook {

class ComponentTable;

// Reads and writes a design as JSON: {"rows": [ {column: text, ...}, ... ]},
// row 0 being the module record.
namespace DesignJson {

// The cells of a design's "rows" value, each row padded to every column. On
// failure returns false and sets `error` to a one-line message.
bool parseRows(const QJsonValue &rowsValue, QVector<QStringList> *rows, QString *error = nullptr);

// Replaces the table's rows with the design in `json`. On failure returns
// false, leaves the table unchanged and sets `error` to a one-line message.
bool read(const QByteArray &json, ComponentTable &table, QString *error = nullptr);
bool readFile(const QString &path, ComponentTable &table, QString *error = nullptr);

// The table as UTF-8 JSON; every column is written, empty cells included.
QByteArray write(const ComponentTable &table);

} // namespace DesignJson
} // namespace Plumbrook
