// Unpacking of the updater archive with minizip.
#include "net/update_check.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <minizip/unzip.h>
#ifdef Q_OS_WIN
#include <minizip/iowin32.h>
#endif

namespace Plumbrook::UpdateCheck {

namespace {

constexpr int kHostUnix = 3;

// A relative path without "." or ".." steps, so that it stays inside the folder.
bool isSafeEntryName(const QString &name)
{
    if (name.isEmpty() || name.startsWith(u'/') || name.contains(u'\\') || name.contains(u':'))
        return false;
    const QStringList steps = name.split(u'/', Qt::SkipEmptyParts);
    for (const QString &step : steps) {
        if (step == QLatin1String(".") || step == QLatin1String(".."))
            return false;
    }
    return !steps.isEmpty();
}

bool extractCurrent(unzFile zip, const QString &target, const unz_file_info64 &info)
{
    if (unzOpenCurrentFile(zip) != UNZ_OK)
        return false;
    QSaveFile out(target);
    bool ok = out.open(QIODevice::WriteOnly);
    char buffer[16384];
    while (ok) {
        const int read = unzReadCurrentFile(zip, buffer, sizeof buffer);
        if (read < 0)
            ok = false;
        else if (read == 0)
            break;
        else
            ok = out.write(buffer, read) == read;
    }
    // Closing checks the CRC; a damaged entry is not committed.
    ok = unzCloseCurrentFile(zip) == UNZ_OK && ok;
    if (!ok) {
        out.cancelWriting();
        return false;
    }
    if (!out.commit())
        return false;
    const uLong mode = info.external_fa >> 16;
    if ((info.version >> 8) == kHostUnix && (mode & 0111)) {
        QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::ExeOwner
                                          | QFileDevice::ExeGroup | QFileDevice::ExeOther);
    }
    return true;
}

} // namespace

bool unpack(const QString &zipPath, const QString &dir)
{
#ifdef Q_OS_WIN
    // The ANSI code page cannot name every folder (Chinese ones on other systems); the
    // wide file functions can.
    zlib_filefunc64_def wide;
    fill_win32_filefunc64W(&wide);
    unzFile zip = unzOpen2_64(QDir::toNativeSeparators(zipPath).utf16(), &wide);
#else
    unzFile zip = unzOpen64(QFile::encodeName(zipPath).constData());
#endif
    if (!zip)
        return false;
    const QDir root(dir);
    bool ok = true;
    int status = unzGoToFirstFile(zip);
    for (; status == UNZ_OK; status = unzGoToNextFile(zip)) {
        unz_file_info64 info;
        char name[1024];
        if (unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0)
            != UNZ_OK) {
            ok = false;
            break;
        }
        const QString entry = QString::fromUtf8(name);
        if (!isSafeEntryName(entry)) {
            ok = false;
            continue;
        }
        const QString target = root.filePath(entry);
        if (entry.endsWith(u'/')) {
            ok = root.mkpath(entry) && ok;
            continue;
        }
        ok = root.mkpath(QFileInfo(entry).path()) && extractCurrent(zip, target, info) && ok;
    }
    unzClose(zip);
    return ok && status == UNZ_END_OF_LIST_OF_FILE;
}

} // namespace Plumbrook::UpdateCheck
