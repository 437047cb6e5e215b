#pragma once

#include <QString>

#include <optional>

namespace Plumbrook {

// Resolves the one folder every file the program writes goes into, and the folder
// of the files an installed copy brings along.
//
// A copy run from where it was built or unpacked writes beside its executable. An
// installed copy (bin/plumbrook with its private folder lib/plumbrook under the same
// prefix) writes into the per-user application data folder instead, even where the
// user could write the shared folder (root, a prefix in the home folder), and so does
// any copy whose executable's folder cannot be written.
namespace ProgramDir {

// The private folder of an installed copy, relative to its executable's folder.
inline const QString kPrivateDirFromBin = QStringLiteral("../lib/plumbrook");

struct Location
{
    QString writable;   // where the program writes its files
    QString bundled;    // the installed copy's private folder; empty for any other copy
};

// The decision for an executable's folder and the per-user data folder; the
// executable's folder is probed for writing only when it is not an installed one.
Location locate(const QString &exeDir, const QString &perUserDir);

// The folder the program writes into, for the running executable. Tests may
// override it (and the bundled folder, empty by default).
QString path();
void setOverride(const QString &dir, const QString &bundledDir = QString());
// The folders setOverride put in place, if any, so that a nested override can put them back.
std::optional<Location> currentOverride();
// The running copy's private folder, or empty.
QString bundledDir();
// A path inside the program's directory, e.g. filePath("data/code/Carousel1.ini").
QString filePath(const QString &relative);
// Creates a folder below the program's directory when missing.
bool ensureDir(const QString &relative);

} // namespace ProgramDir
} // namespace Plumbrook
