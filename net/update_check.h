#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

namespace Plumbrook {

// Hands the update check over to the updater: writes it out when missing, tells it what to check, starts it.
//
// The program carries the updater as a ZIP archive with the one entry "xz.exe" and
// keeps the same file name on every platform. Nothing here waits on the network; the
// file work may run on any one thread at a time.
namespace UpdateCheck {

inline const QString kArchiveWriteFailed = QStringLiteral("启动更新器失败，请联系管理员整一下");
inline const QString kStarted = QStringLiteral("启动在线更新器成功");
inline const QString kStartFailed =
    QStringLiteral("启动在线更新器失败，可能是您删除程序或修改了程序名称");

inline const QString kVersion = QStringLiteral("v1.0.0");
inline const QString kProductName = QStringLiteral("Plumbrook自由布局");
inline const QString kUpdaterFile = QStringLiteral("xz.exe");
inline const QString kArchiveFile = QStringLiteral("xz.zip");
inline const QString kSettingsFile = QStringLiteral("gx.ini");

// Runs the whole check in the program's directory and returns the status line text. The
// updater of an installed copy is started from its private folder, but still in the
// program's directory, where it finds gx.ini.
QString run();

// The updater archive built into the program, or the one a test put in its place
// (a null array restores the built-in one).
QByteArray carriedArchive();
void setCarriedArchive(const QByteArray &archive);

// Unpacks every file of a ZIP archive into the folder. An entry is written only when it
// was read whole and its checksum matched; entries that would land outside the folder
// are refused. False when the archive could not be read or an entry failed.
bool unpack(const QString &zipPath, const QString &dir);

// Writes section 配置 with 版本, 文件名, id and download, in that order, into a fresh file.
bool writeSettings(const QString &iniPath);

// Starts a program without waiting for it; tests replace it. Null restores the default.
using Starter = std::function<bool(const QString &program, const QStringList &arguments,
                                   const QString &workingDir)>;
void setStarter(Starter starter);

} // namespace UpdateCheck
} // namespace Plumbrook
