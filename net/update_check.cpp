#include "net/update_check.h"

#include "model/profile_file.h"
#include "model/program_dir.h"
#include "net/site_addresses.h"
#include "net/updater_token.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace Plumbrook::UpdateCheck {

namespace {

QByteArray &archiveOverride()
{
    static QByteArray archive;
    return archive;
}

Starter &starter()
{
    static Starter current;
    return current;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const bool complete = file.write(bytes) == bytes.size() && file.flush();
    file.close();
    if (!complete)
        QFile::remove(path);
    return complete;
}

} // namespace

QString run()
{
    const QDir dir(ProgramDir::path());
    // An installed copy brings its updater along; any other one writes it out when missing.
    const QString bundled = ProgramDir::bundledDir().isEmpty()
        ? QString()
        : QDir(ProgramDir::bundledDir()).filePath(kUpdaterFile);
    const bool useBundled = !bundled.isEmpty() && QFileInfo::exists(bundled);
    const QString updater = useBundled ? bundled : dir.filePath(kUpdaterFile);

    if (!QFileInfo::exists(updater)) {
        const QString archive = dir.filePath(kArchiveFile);
        if (!writeFile(archive, carriedArchive()))
            return kArchiveWriteFailed;
        // An unpacking failure shows up below as an updater that does not start.
        unpack(archive, dir.path());
        QFile::remove(archive);
    }

    const QString settings = dir.filePath(kSettingsFile);
    writeSettings(settings);

    const Starter start = starter() ? starter()
                                    : [](const QString &program, const QStringList &arguments,
                                         const QString &workingDir) {
                                          return QProcess::startDetached(program, arguments,
                                                                         workingDir);
                                      };
    if (start(updater, {updaterToken()}, dir.path()))
        return kStarted;
    QFile::remove(settings);
    return kStartFailed;
}

QByteArray carriedArchive()
{
    if (!archiveOverride().isNull())
        return archiveOverride();
    QFile resource(QStringLiteral(":/updater/xz.zip"));
    return resource.open(QIODevice::ReadOnly) ? resource.readAll() : QByteArray();
}

void setCarriedArchive(const QByteArray &archive)
{
    archiveOverride() = archive;
}

bool writeSettings(const QString &iniPath)
{
    // A fresh file, so that the keys stand in their order whatever an older file held.
    QFile::remove(iniPath);
    const QString section = QStringLiteral("配置");
    bool written = ProfileFile::write(iniPath, section, QStringLiteral("版本"), kVersion);
    written = ProfileFile::write(iniPath, section, QStringLiteral("文件名"), kProductName) && written;
    written = ProfileFile::write(iniPath, section, QStringLiteral("id"), QStringLiteral("1")) && written;
    written = ProfileFile::write(iniPath, section, QStringLiteral("download"),
                                 SiteAddresses::versionFileUrl())
              && written;
    return written;
}

void setStarter(Starter replacement)
{
    starter() = std::move(replacement);
}

} // namespace Plumbrook::UpdateCheck
