#pragma once

#include "canvas/shared_chunks.h"
#include "model/design_file.h"

#include <QByteArray>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

#include <memory>

class QLabel;
class QWidget;

namespace Plumbrook {

class DesignCanvas;

// What the design looked like at one moment: the table's rows, each canvas
// object's look, the module background picture and the living carousels'
// settings. Unchanged parts are shared with the snapshot before.
struct DesignSnapshot
{
    struct Object
    {
        QString id;
        bool text = false;
        bool visible = true;
        QRect geometry;        // relative to the module background's top-left corner
        QByteArray picture;    // picture objects
        QString labelText;     // text labels
        QFont font;
        Qt::Alignment alignment;
        QString styleSheet;

        bool samePicture(const Object &other) const;
        bool operator==(const Object &other) const;
    };
    using ObjectPtr = std::shared_ptr<const Object>;

    SharedChunks<QStringList> rowChunks;
    SharedChunks<ObjectPtr> objectChunks;                // in row order
    QImage background;
    QMap<int, DesignFile::CarouselValues> carousels;    // by carousel number

    QVector<QStringList> rows() const { return rowChunks.toVector(); }
    QVector<ObjectPtr> objects() const { return objectChunks.toVector(); }

    // Reads the canvas. Carousel settings are read again only for the numbers in
    // `dirtyCarousels` and for carousels `previous` does not know.
    static DesignSnapshot capture(const DesignCanvas *canvas, const DesignSnapshot *previous,
                                  const QSet<int> &dirtyCarousels);
    // Turns the canvas showing `from` into one showing `to`, through the table's
    // and the canvas's own operations.
    static void restore(DesignCanvas *canvas, const DesignSnapshot &from, const DesignSnapshot &to);

    static Object objectState(const DesignCanvas *canvas, const QWidget *object, const QString &id);
    static void applyObject(DesignCanvas *canvas, QWidget *object, const Object &state,
                            bool withPicture);
};

} // namespace Plumbrook
