#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace Plumbrook::Updater {

// Reads the maker's version file and the program's update settings, and compares versions.
//
// Version file (UTF-8): the first line holds the latest version ("v1.2.0"), the second
// the page to download it from (http or https), the third, when there is one, the
// address of that version's portable zip, with which the updater replaces the program's
// files in place. Blank lines are skipped, anything after them is ignored.
struct VersionInfo
{
    QString latest;
    QString downloadPage;
    QString archive;    // empty when the file names none
};

// Nothing when the file is empty, its version is not a version or its page not a web address.
std::optional<VersionInfo> parseVersionFile(const QByteArray &bytes);

// True for "1", "1.2", "v1.2.3" … : an optional "v", then up to four dot-separated numbers.
bool isVersion(const QString &text);

// Negative, zero or positive as a is older than, the same as or newer than b. Missing
// parts count as 0 (1.2 equals 1.2.0). Both must satisfy isVersion.
int compareVersions(const QString &a, const QString &b);

// What the program wrote into gx.ini for the updater.
struct UpdateSettings
{
    QString version;
    QString productName;
    QString id;
    QString download;
};

// Reads section 配置 of a GBK settings file; missing keys stay empty.
UpdateSettings readUpdateSettings(const QString &iniPath);

} // namespace Plumbrook::Updater
