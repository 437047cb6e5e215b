#include "net/desktop_shortcut.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#endif

namespace Plumbrook::DesktopShortcut {

namespace {

const QString kLinkName = QStringLiteral("Plumbrook自由布局");

#ifdef Q_OS_WIN
bool saveShellLink(const QString &target, const QString &link)
{
    const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    bool saved = false;
    IShellLinkW *shellLink = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IShellLinkW, reinterpret_cast<void **>(&shellLink)))) {
        shellLink->SetPath(reinterpret_cast<const wchar_t *>(
            QDir::toNativeSeparators(target).utf16()));
        shellLink->SetShowCmd(SW_SHOWNORMAL);
        IPersistFile *file = nullptr;
        if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile,
                                                reinterpret_cast<void **>(&file)))) {
            saved = SUCCEEDED(file->Save(reinterpret_cast<const wchar_t *>(
                                             QDir::toNativeSeparators(link).utf16()),
                                         TRUE));
            file->Release();
        }
        shellLink->Release();
    }
    if (SUCCEEDED(init))
        CoUninitialize();
    return saved;
}
#else
bool saveDesktopEntry(const QString &target, const QString &link)
{
    QSaveFile file(link);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray entry = desktopEntry(target).toUtf8();
    if (file.write(entry) != entry.size() || !file.commit())
        return false;
    // Desktops launch only entries marked executable.
    return QFile::setPermissions(link, QFile::permissions(link) | QFileDevice::ExeOwner
                                           | QFileDevice::ExeGroup | QFileDevice::ExeOther);
}
#endif

} // namespace

QString linkPath()
{
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
#ifdef Q_OS_WIN
    return QDir(desktop).filePath(kLinkName + QStringLiteral(".lnk"));
#else
    return QDir(desktop).filePath(kLinkName + QStringLiteral(".desktop"));
#endif
}

bool create(const QString &target)
{
    const QString program = target.isEmpty() ? QCoreApplication::applicationFilePath() : target;
    const QString link = linkPath();
    if (program.isEmpty() || !QFileInfo(link).dir().exists())
        return false;
#ifdef Q_OS_WIN
    return saveShellLink(program, link);
#else
    if (program.contains(u'\n') || program.contains(u'\r'))
        return false;
    return saveDesktopEntry(program, link);
#endif
}

QString run()
{
    return create() ? kCreated : kFailed;
}

QString desktopEntry(const QString &target)
{
    // Exec quoting first, then the escaping every string value of the file gets.
    QString quoted = QStringLiteral("\"");
    for (const QChar c : target) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    quoted += u'"';
    quoted.replace(u'%', QStringLiteral("%%"));
    quoted.replace(u'\\', QStringLiteral("\\\\"));

    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=%1\n"
                          "Exec=%2\n"
                          "Icon=plumbrook\n"
                          "Terminal=false\n")
        .arg(kLinkName, quoted);
}

} // namespace Plumbrook::DesktopShortcut
