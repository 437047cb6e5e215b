#pragma once

#include <QDir>

// Draws the sample pictures new components show until an editor replaces them.
// PNG and JPEG pictures go to out; the GIF pictures are written as PNG files into
// gifSources (named <picture>.gif.png) for scripts/draw_pictures.sh to convert,
// and are skipped when gifSources is empty.
bool drawComponentPictures(const QDir &out, const QString &gifSources);
