#include "model/program_dir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <optional>

namespace Plumbrook::ProgramDir {

namespace {

QMutex gMutex;
std::optional<Location> gOverride;
std::optional<Location> gResolved;

bool isWritableDir(const QString &dir)
{
    if (dir.isEmpty() || !QFileInfo(dir).isDir())
        return false;
    QTemporaryFile probe(dir + QStringLiteral("/.write-probe-XXXXXX"));
    return probe.open();
}

Location current()
{
    QMutexLocker lock(&gMutex);
    if (gOverride)
        return *gOverride;
    if (!gResolved) {
        gResolved = locate(QCoreApplication::applicationDirPath(),
                           QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
        // The per-user folder may not exist yet, and every writer expects its folder.
        QDir().mkpath(gResolved->writable);
    }
    return *gResolved;
}

} // namespace

Location locate(const QString &exeDir, const QString &perUserDir)
{
    const QString privateDir = QDir::cleanPath(QDir(exeDir).filePath(kPrivateDirFromBin));
    if (!exeDir.isEmpty() && QFileInfo(privateDir).isDir())
        return {perUserDir, privateDir};
    if (isWritableDir(exeDir))
        return {exeDir, QString()};
    return {perUserDir, QString()};
}

QString path()
{
    return current().writable;
}

std::optional<Location> currentOverride()
{
    QMutexLocker lock(&gMutex);
    return gOverride;
}

void setOverride(const QString &dir, const QString &bundledDir)
{
    QMutexLocker lock(&gMutex);
    if (dir.isEmpty())
        gOverride.reset();
    else
        gOverride = Location{dir, bundledDir};
}

QString bundledDir()
{
    return current().bundled;
}

QString filePath(const QString &relative)
{
    return QDir(path()).filePath(relative);
}

bool ensureDir(const QString &relative)
{
    return QDir().mkpath(filePath(relative));
}

} // namespace Plumbrook::ProgramDir
