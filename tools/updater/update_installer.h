#pragma once

#include <QString>

namespace Plumbrook::Updater {

// Replaces the program's files in its folder with those of a newer version's portable zip.
//
// The zip holds one folder with plumbrook.exe and the files beside it, as the Windows
// build packs it. Windows refuses to overwrite a file in use (the running designer and
// its DLLs) but lets it be renamed, so each old file is set aside as <name>.<stamp>.old
// before the new one takes its place; on any failure everything is put back.
namespace UpdateInstaller {

inline const QString kProgramFile = QStringLiteral("plumbrook.exe");
// The files updates placed, one relative path a line, for the uninstaller to remove.
inline const QString kManifestFile = QStringLiteral("update-files.txt");

// True when the folder holds the program and may be written.
bool canReplace(const QString &programDir);

// Empty on success; otherwise why not, for the user, with the folder as it was.
QString replace(const QString &zipPath, const QString &programDir);

// Where the entry under installed apps names this folder, it takes the new version
// (Windows only; elsewhere nothing happens).
void recordInstalledVersion(const QString &programDir, const QString &version);

} // namespace UpdateInstaller
} // namespace Plumbrook::Updater
