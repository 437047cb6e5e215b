#pragma once

#include <QByteArray>
#include <QString>

namespace Plumbrook {

class DesignCanvas;

// The palette's creation operations: one new component of a kind with its size,
// built-in picture and default cells (a carousel with its settings file and arrows).
namespace ComponentCreation {

// Returns the new component's row, or -1 for a kind the palette does not create.
int create(DesignCanvas *canvas, const QString &kind);
// The bytes of a built-in picture by file name; empty when there is none.
QByteArray builtinPicture(const QString &fileName);
// The picture a new component of the kind (or a carousel's arrow) shows before any preview.
QByteArray builtinPictureOf(const QString &kind);

} // namespace ComponentCreation
} // namespace Plumbrook
