#pragma once

#include <QString>

namespace Plumbrook {

// Puts a launcher for the program on the user's desktop.
//
// A shell link (.lnk) on Windows, a desktop entry (.desktop) elsewhere; an existing
// one is overwritten.
namespace DesktopShortcut {

inline const QString kCreated = QStringLiteral("已在桌面上创建了快捷方式");
inline const QString kFailed = QStringLiteral("创建快捷失败");

// The launcher's full path in the desktop folder.
QString linkPath();

// Creates the launcher for the executable (the running program by default); false when
// the desktop folder is missing or cannot be written.
bool create(const QString &target = QString());

// Creates the launcher and returns the status line text.
QString run();

// The desktop entry launching the target, its path quoted for the Exec key.
QString desktopEntry(const QString &target);

} // namespace DesktopShortcut
} // namespace Plumbrook
