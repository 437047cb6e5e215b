#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <optional>

class QObject;

namespace Plumbrook {

class ComponentTable;

// The design file: the component table's rows and the settings of each living
// carousel in one UTF-8 JSON document, so that a file is self-contained.
namespace DesignFile {

inline const QString kFormat = QStringLiteral("plumbrook-design");
inline const QString kSuffix = QStringLiteral("plbd");
constexpr int kVersion = 1;
// What a design may hold, so that opening one can neither exhaust memory nor hang.
constexpr qsizetype kMaxComponents = 100000;
constexpr qint64 kMaxFileBytes = 256LL * 1024 * 1024;
constexpr qsizetype kMaxCellChars = 1024 * 1024;

// Key and value pairs in the order the carousel settings file keeps them.
using CarouselValues = QList<QPair<QString, QString>>;

struct Design
{
    QVector<QStringList> rows;                 // row 0 is the module record
    QMap<int, CarouselValues> carousels;       // by carousel number
    QString shrink;                            // the 向上收缩 field the code was made with; may be empty
    QVector<int> guidesX;                      // vertical guides at these module pixels
    QVector<int> guidesY;                      // horizontal guides
    QStringList hidden;                        // ids of components hidden on the canvas only
};

// Reads a design without touching anything; on failure returns nothing and sets
// `error` to a one-line reason.
std::optional<Design> parse(const QByteArray &bytes, QString *error = nullptr);
std::optional<Design> readFile(const QString &path, QString *error = nullptr);
// True when the bytes are a JSON object that names a format, i.e. not a bare
// {"rows": …} design.
bool namesFormat(const QByteArray &bytes);

QByteArray serialise(const Design &design);
// Writes through a temporary file renamed over the target, so a failed write
// leaves the old file as it was.
bool writeFile(const QString &path, const Design &design, QString *error = nullptr);
// Any file written the same way; `error` names the cause in the user's words.
bool writeBytes(const QString &path, const QByteArray &bytes, QString *error = nullptr);
// Writes as writeFile does, off the user-interface thread and after every write asked
// for before; `done` gets the outcome on the user-interface thread unless `receiver`
// was destroyed. The design is a copy: later changes of the table do not reach it.
using Written = std::function<void(bool written, const QString &error)>;
void writeInBackground(const QString &path, Design design, QObject *receiver, Written done);
// Blocks until every write asked for is done and its outcome delivered.
void finishWrites();

// Where the carousel settings of a design come from.
using SettingSource = std::function<QString(int number, const QString &key)>;
// The table's rows and the settings of every carousel in it (unset source: the
// carousel settings files).
Design fromTable(const ComponentTable &table, const SettingSource &source = {});
// The highest numeric id of the rows, for the creation counter.
int highestId(const QVector<QStringList> &rows);

} // namespace DesignFile
} // namespace Plumbrook
