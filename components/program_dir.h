#pragma once

#include <QString>

namespace Plumbrook {

// Resolves the one folder every file the program writes goes into.
namespace ProgramDir {

// The executable's folder, or the per-user application data folder where the
// executable's folder cannot be written. Tests may override it.
QString path();
void setOverride(const QString &dir);
// A path inside the program's directory, e.g. filePath("data/code/Carousel1.ini").
QString filePath(const QString &relative);
// Creates a folder below the program's directory when missing.
bool ensureDir(const QString &relative);

} // namespace ProgramDir
} // namespace Plumbrook
