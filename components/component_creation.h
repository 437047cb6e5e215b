#pragma once

#include <QByteArray>
#include <QPoint>
#include <QString>

namespace Plumbrook {

class DesignDocument;

// The palette's creation operation, and the built-in pictures each kind shows
// before any preview.
namespace ComponentCreation {

// Adds one component of the kind at `at` on the module (a carousel with its settings
// and arrows); returns its row, or -1 for a kind the palette does not create.
int create(DesignDocument *document, const QString &kind, const QPoint &at);
// The bytes of a built-in picture by file name; empty when there is none.
QByteArray builtinPicture(const QString &fileName);

} // namespace ComponentCreation
} // namespace Plumbrook
