#pragma once

#include "components/preview_download.h"
#include "model/design_file.h"

namespace Plumbrook {

class DesignCanvas;

// Puts a whole design onto the canvas in place of the current one: rows,
// canvas objects with their pictures, carousel settings files and background.
namespace DesignLoader {

// Closes the editors, replaces the table's rows, rebuilds every canvas object
// (built-in pictures at once, the previews by `fetch` off the user-interface
// thread, a few at a time), writes each carousel's settings file under its number, renders the
// module background and lifts the creation counter above the highest id.
void load(DesignCanvas *canvas, const DesignFile::Design &design,
          const PreviewDownload::Fetch &fetch = {});

// The URL a component's editor would preview for these cells, or empty.
QString previewUrl(const QStringList &cells, const DesignFile::CarouselValues &carousel);
// The picture a new component of the kind shows before any preview.
QByteArray builtinPictureOf(const QString &kind);

} // namespace DesignLoader
} // namespace Plumbrook
