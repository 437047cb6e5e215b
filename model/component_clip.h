#pragma once

#include "model/design_file.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

namespace Plumbrook {

// Components as they travel through the clipboard between designs and designers:
// their rows and the settings of the carousels among them, as JSON.
struct ComponentClip
{
    QVector<QStringList> rows;
    QMap<int, DesignFile::CarouselValues> carousels;

    bool isEmpty() const { return rows.isEmpty(); }

    // The clipboard's type for it, which no other program offers.
    static QString mimeType();
    QByteArray toJson() const;
    // An empty clip for anything that is not one: rows are cut or padded to the
    // table's columns, and a cell that is not a string makes the whole clip none.
    static ComponentClip fromJson(const QByteArray &json);
};

} // namespace Plumbrook
