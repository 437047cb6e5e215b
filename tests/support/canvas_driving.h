#pragma once

#include <QByteArray>
#include <QString>

class QWidget;

namespace Plumbrook {
class DesignCanvas;
}

namespace Plumbrook::Test {

// Puts a component of any kind name into the design as one step, where a new
// component appears, `width` × `height` (or the size of the component in
// `sourceRow` when that is 1 or more), then shows `picture` on it when given.
// Returns its row.
int addPicture(DesignCanvas *canvas, const QString &kind, const QByteArray &picture, int sourceRow,
               int width, int height);
// A text component as the palette adds it.
int addText(DesignCanvas *canvas);
// Writes the place and size an object is shown at into its row, as a drag's release does.
void storeFrame(DesignCanvas *canvas, QWidget *object);
void deleteComponent(DesignCanvas *canvas, QWidget *object);
// Empty when every row has exactly one object and the objects lie one above the other
// as the code stacks their rows; otherwise the first difference found.
QString stackingDisagreement(DesignCanvas *canvas);

} // namespace Plumbrook::Test
