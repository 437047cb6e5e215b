#include "tools/updater/update_installer.h"

#include "net/update_check.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSaveFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTemporaryFile>

namespace Plumbrook::Updater::UpdateInstaller {

namespace {

struct Placed
{
    QString target;
    QString setAside;   // the old file's new name; empty when there was none
};

QStringList filesBelow(const QDir &root)
{
    QStringList files;
    QDirIterator it(root.path(), QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(root.relativeFilePath(it.next()));
    files.sort();
    return files;
}

void putBack(const QList<Placed> &placed)
{
    for (auto it = placed.crbegin(); it != placed.crend(); ++it) {
        QFile::remove(it->target);
        if (!it->setAside.isEmpty())
            QFile::rename(it->setAside, it->target);
    }
}

// Adds this update's files to those earlier ones placed, in Windows' notation.
void recordPlaced(const QDir &program, const QStringList &files)
{
    QStringList lines;
    {
        // Closed before the new list takes its place: Windows renames no file held open.
        QFile old(program.filePath(kManifestFile));
        if (old.open(QIODevice::ReadOnly))
            lines = QString::fromUtf8(old.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }
    for (const QString &file : files)
        lines.append(QString(file).replace(u'/', u'\\'));
    lines.removeDuplicates();
    QSaveFile manifest(program.filePath(kManifestFile));
    if (manifest.open(QIODevice::WriteOnly)) {
        manifest.write(lines.join(QStringLiteral("\r\n")).toUtf8() + "\r\n");
        manifest.commit();
    }
}

} // namespace

bool canReplace(const QString &programDir)
{
    const QDir program(programDir);
    if (programDir.isEmpty() || !QFileInfo(program.filePath(kProgramFile)).isFile())
        return false;
    QTemporaryFile probe(program.filePath(QStringLiteral(".write-probe-XXXXXX")));
    return probe.open();
}

QString replace(const QString &zipPath, const QString &programDir)
{
    const QDir program(programDir);
    // Unpacked inside the program's folder, so that putting a file in place only renames it.
    QTemporaryDir unpacked(program.filePath(QStringLiteral(".update-XXXXXX")));
    if (!unpacked.isValid())
        return QStringLiteral("更新失败：程序所在的文件夹不可写入。");
    if (!UpdateCheck::unpack(zipPath, unpacked.path()))
        return QStringLiteral("更新失败：下载的压缩包已损坏。");
    QDir source(unpacked.path());
    const QStringList top = source.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    if (top.size() == 1 && QFileInfo(source.filePath(top.constFirst())).isDir())
        source.cd(top.constFirst());
    if (!QFileInfo(source.filePath(kProgramFile)).isFile())
        return QStringLiteral("更新失败：压缩包中没有 %1。").arg(kProgramFile);

    // What earlier updates set aside and nothing holds any more goes first.
    QDirIterator earlier(program.path(), {QStringLiteral("*.old")}, QDir::Files | QDir::Hidden,
                         QDirIterator::Subdirectories);
    while (earlier.hasNext())
        QFile::remove(earlier.next());

    // A name of this run's own: an .old file of an earlier update may still be in use.
    const QString stamp = QString::number(QDateTime::currentMSecsSinceEpoch());
    const QStringList files = filesBelow(source);
    QList<Placed> placed;
    for (const QString &relative : files) {
        Placed entry{program.filePath(relative), QString()};
        bool ok = QDir().mkpath(QFileInfo(entry.target).path());
        if (ok && QFileInfo::exists(entry.target)) {
            const QString aside = entry.target + u'.' + stamp + QStringLiteral(".old");
            ok = QFile::rename(entry.target, aside);
            if (ok)
                entry.setAside = aside;
        }
        if (ok && !QFile::rename(source.filePath(relative), entry.target)) {
            ok = false;
            if (!entry.setAside.isEmpty())
                QFile::rename(entry.setAside, entry.target);
        }
        if (!ok) {
            putBack(placed);
            return QStringLiteral("更新失败：无法替换 %1，程序保持原样。")
                .arg(QDir::toNativeSeparators(relative));
        }
        placed.append(entry);
    }
    // What nothing holds any more goes now; the rest goes with the next update or the uninstaller.
    for (const Placed &entry : std::as_const(placed)) {
        if (!entry.setAside.isEmpty())
            QFile::remove(entry.setAside);
    }
    recordPlaced(program, files);
    return {};
}

void recordInstalledVersion(const QString &programDir, const QString &version)
{
#ifdef Q_OS_WIN
    const QString shown = version.startsWith(u'v') || version.startsWith(u'V') ? version.mid(1) : version;
    for (const char *root : {"HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE"}) {
        QSettings entry(QString::fromLatin1(root)
                            + QStringLiteral("\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Plumbrook"),
                        QSettings::NativeFormat);
        const QString location = entry.value(QStringLiteral("InstallLocation")).toString();
        if (!location.isEmpty()
            && QDir::cleanPath(QDir::fromNativeSeparators(location))
                       .compare(QDir::cleanPath(programDir), Qt::CaseInsensitive) == 0) {
            entry.setValue(QStringLiteral("DisplayVersion"), shown);
        }
    }
#else
    Q_UNUSED(programDir);
    Q_UNUSED(version);
#endif
}

} // namespace Plumbrook::Updater::UpdateInstaller
