// Text rules of the HTTP client that need no network: URL split, headers, cookies.

#include "net/http_client.h"

#include "model/text_ops.h"

#include <QSet>

namespace Plumbrook::HttpClient {

namespace {

constexpr char16_t kFullWidthSpace = u'\u3000';

QString trimSpaces(const QString &text)
{
    return TextOps::trimmed(text, u" \t\u3000");
}

// Control characters in a header value would let a URL or cookie add header lines.
QString headerValue(const QString &text)
{
    QString clean;
    clean.reserve(text.size());
    for (const QChar c : text) {
        if (c.unicode() >= 0x20 && c.unicode() != 0x7f)
            clean.append(c);
    }
    return trimSpaces(clean);
}

QStringList cookieItems(const QString &text)
{
    QString squeezed = text;
    squeezed.remove(u' ');
    squeezed.remove(kFullWidthSpace);
    QStringList items;
    // Empty pieces would only send stray "; " separators.
    for (const QString &item : squeezed.split(u';', Qt::SkipEmptyParts))
        items.append(item);
    return items;
}

QString cookieName(const QString &item)
{
    const qsizetype eq = item.indexOf(u'=');
    return trimSpaces(eq < 0 ? item : item.left(eq));
}

} // namespace

UrlParts splitUrl(const QString &typed)
{
    UrlParts parts;
    // A pasted address often comes with a blank or a line break around it.
    const QString url = typed.trimmed();
    const QString lower = url.toLower();
    parts.secure = lower.startsWith(QStringLiteral("https://"));
    // A plain address names its host after the first "http://", wherever that stands.
    qsizetype hostStart = 0;
    if (parts.secure) {
        hostStart = 8;
    } else {
        const qsizetype scheme = lower.indexOf(QStringLiteral("http://"));
        hostStart = scheme < 0 ? 0 : scheme + 7;
    }

    qsizetype hostEnd = hostStart;
    while (hostEnd < lower.size() && lower.at(hostEnd) != u'/' && lower.at(hostEnd) != u'?'
           && lower.at(hostEnd) != u'#')
        ++hostEnd;
    const QString hostAndPort = lower.mid(hostStart, hostEnd - hostStart);

    const qsizetype firstColon = hostAndPort.indexOf(u':');
    parts.host = firstColon < 0 ? hostAndPort : hostAndPort.left(firstColon);
    const qsizetype lastColon = hostAndPort.lastIndexOf(u':');
    parts.port = lastColon < 0 ? 0 : TextOps::toInt(hostAndPort.mid(lastColon + 1));
    if (parts.port <= 0)
        parts.port = parts.secure ? 443 : 80;

    parts.path = url.mid(hostEnd);
    if (!parts.path.startsWith(u'/'))
        parts.path.prepend(u'/');
    return parts;
}

QStringList defaultHeaders(const QString &url, bool withUserAgent)
{
    QStringList headers = {
        QStringLiteral("Accept: */*"),
        QStringLiteral("Referer: ") + headerValue(url),
        QStringLiteral("Accept-Language: zh-cn"),
    };
    if (withUserAgent)
        headers.append(QStringLiteral("User-Agent: ") + QLatin1String(kUserAgent));
    headers.append(QStringLiteral("Content-Type: application/x-www-form-urlencoded"));
    return headers;
}

QByteArray headerValue(const QByteArray &headerBlock, const QByteArray &name)
{
    QByteArray value;
    for (const QByteArray &line : QByteArray(headerBlock).replace('\r', '\n').split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            value = line.mid(colon + 1).trimmed();
    }
    return value;
}

QString newCookies(const QString &headerBlock)
{
    QStringList cookies;
    // A bare CR ends a header line as well, so that it cannot carry a line break into the jar.
    for (const QString &line : QString(headerBlock).replace(u'\r', u'\n').split(u'\n')) {
        // The header name decides, in any letter case; a value that merely mentions
        // "Set-Cookie" is not a cookie.
        const qsizetype colon = line.indexOf(u':');
        if (colon < 0 || trimSpaces(line.left(colon)).compare(QStringLiteral("set-cookie"),
                                                            Qt::CaseInsensitive) != 0)
            continue;
        const QString value = line.mid(colon + 1);
        const qsizetype semicolon = value.indexOf(u';');
        const QString cookie = trimSpaces(semicolon < 0 ? value : value.left(semicolon));
        if (!cookie.isEmpty())
            cookies.append(cookie);
    }
    return cookies.join(QStringLiteral("; "));
}

QString mergeCookies(const QString &jar, const QString &newCookies)
{
    const QStringList fresh = cookieItems(newCookies);
    QSet<QString> freshNames;
    for (const QString &item : fresh)
        freshNames.insert(cookieName(item));

    QStringList merged = fresh;
    for (const QString &item : cookieItems(jar)) {
        if (!freshNames.contains(cookieName(item)))
            merged.append(item);
    }

    QStringList result;
    QSet<QString> seen;
    for (const QString &item : std::as_const(merged)) {
        if (item.endsWith(QStringLiteral("=deleted")) || seen.contains(item))
            continue;
        seen.insert(item);
        result.append(item);
    }
    return result.join(QStringLiteral("; "));
}

} // namespace Plumbrook::HttpClient
