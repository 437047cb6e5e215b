#include "components/program_dir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace Plumbrook::ProgramDir {

namespace {

QMutex gMutex;
QString gOverride;
QString gResolved;

bool isWritableDir(const QString &dir)
{
    if (dir.isEmpty() || !QDir().mkpath(dir))
        return false;
    QTemporaryFile probe(dir + QStringLiteral("/.write-probe-XXXXXX"));
    return probe.open();
}

QString resolve()
{
    const QString exeDir = QCoreApplication::applicationDirPath();
    if (isWritableDir(exeDir))
        return exeDir;
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

} // namespace

QString path()
{
    QMutexLocker lock(&gMutex);
    if (!gOverride.isEmpty())
        return gOverride;
    if (gResolved.isEmpty())
        gResolved = resolve();
    return gResolved;
}

void setOverride(const QString &dir)
{
    QMutexLocker lock(&gMutex);
    gOverride = dir;
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
