#include "tools/updater/version_file.h"

#include <QFile>
#include <QList>
#include <QStringDecoder>
#include <QStringList>
#include <QUrl>

namespace Plumbrook::Updater {

namespace {

QStringList versionParts(const QString &text)
{
    QString body = text.trimmed();
    if (body.startsWith(u'v') || body.startsWith(u'V'))
        body.remove(0, 1);
    return body.split(u'.');
}

bool isWebAddress(const QString &text)
{
    const QUrl url(text, QUrl::StrictMode);
    return url.isValid() && !url.host().isEmpty()
        && (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"));
}

} // namespace

bool isVersion(const QString &text)
{
    const QStringList parts = versionParts(text);
    if (parts.size() > 4)
        return false;
    for (const QString &part : parts) {
        if (part.isEmpty() || part.size() > 9)
            return false;
        for (const QChar c : part) {
            if (c < u'0' || c > u'9')
                return false;
        }
    }
    return true;
}

int compareVersions(const QString &a, const QString &b)
{
    const QStringList left = versionParts(a);
    const QStringList right = versionParts(b);
    for (qsizetype i = 0; i < qMax(left.size(), right.size()); ++i) {
        const int l = i < left.size() ? left.at(i).toInt() : 0;
        const int r = i < right.size() ? right.at(i).toInt() : 0;
        if (l != r)
            return l < r ? -1 : 1;
    }
    return 0;
}

std::optional<VersionInfo> parseVersionFile(const QByteArray &bytes)
{
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    QStringList lines;
    for (const QString &line : text.split(u'\n')) {
        const QString trimmed = line.trimmed();
        if (!trimmed.isEmpty())
            lines.append(trimmed);
        if (lines.size() == 3)
            break;
    }
    if (lines.size() < 2 || !isVersion(lines.at(0)) || !isWebAddress(lines.at(1)))
        return std::nullopt;
    // An archive line that is no web address is a note, as anything after it is.
    const QString archive = lines.size() == 3 && isWebAddress(lines.at(2)) ? lines.at(2) : QString();
    return VersionInfo{lines.at(0), lines.at(1), archive};
}

UpdateSettings readUpdateSettings(const QString &iniPath)
{
    UpdateSettings settings;
    QFile file(iniPath);
    if (!file.open(QIODevice::ReadOnly))
        return settings;
    QStringDecoder gbk("GB18030");
    const QString text = gbk.decode(file.read(1024 * 1024));
    bool inSection = false;
    for (const QString &raw : text.split(u'\n')) {
        const QString line = raw.trimmed();
        if (line.startsWith(u'[')) {
            inSection = line == QStringLiteral("[配置]");
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inSection || equals <= 0)
            continue;
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        if (key == QStringLiteral("版本"))
            settings.version = value;
        else if (key == QStringLiteral("文件名"))
            settings.productName = value;
        else if (key.compare(QLatin1String("id"), Qt::CaseInsensitive) == 0)
            settings.id = value;
        else if (key.compare(QLatin1String("download"), Qt::CaseInsensitive) == 0)
            settings.download = value;
    }
    return settings;
}

} // namespace Plumbrook::Updater
