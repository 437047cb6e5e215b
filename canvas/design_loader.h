#pragma once

#include "canvas/preview_download.h"
#include "model/design_file.h"

class QWidget;

namespace Plumbrook {

class DesignCanvas;

// Puts a whole design onto the canvas in place of the current one: rows,
// canvas objects with their pictures, carousel settings files and background.
namespace DesignLoader {

// Puts the design in the document in place of the current one, forgetting every
// step ("新建", "打开…"): writes each carousel's settings file under its number,
// replaces the table's rows, lifts the creation counter above the highest id and
// rebuilds the canvas.
void load(DesignCanvas *canvas, const DesignFile::Design &design);

// Closes the editors and builds every canvas object anew from the table (built-in
// pictures at once, the previews by the canvas's fetch off the user-interface
// thread, a few at a time) and renders the module background. The carousels'
// settings come from the design document.
void rebuild(DesignCanvas *canvas);

// Gives an object the size and, once it has one, the place its cells name.
void place(DesignCanvas *canvas, QWidget *object, const QStringList &cells);

// The picture a component of the kind (or a carousel's arrow) shows before any preview.
QByteArray builtinPictureOf(const QString &kind);

// One key's value among a carousel's settings, or empty.
QString carouselValue(const DesignFile::CarouselValues &values, const QString &key);

// The URL a component's editor would preview for these cells, or empty.
QString previewUrl(const QStringList &cells, const DesignFile::CarouselValues &carousel);

} // namespace DesignLoader
} // namespace Plumbrook
