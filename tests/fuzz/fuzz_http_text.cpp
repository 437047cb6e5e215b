// Set-Cookie parsing, the cookie merge, the request headers and the plain
// download's URL split over arbitrary response headers, jars and URLs.
#include "fuzz_input.h"

#include "net/http_client.h"

#include <QSet>

using namespace Plumbrook;

namespace {

void checkCookieText(const QString &cookies)
{
    Fuzz::check(!cookies.contains(u'\r') && !cookies.contains(u'\n'),
                "cookies cannot add header lines");
}

void checkMerge(const QString &jar, const QString &fresh)
{
    // Control characters are removed when the jar is sent, not when it is merged.
    const QString merged = HttpClient::mergeCookies(jar, fresh);
    const QStringList items = merged.isEmpty() ? QStringList() : merged.split(QStringLiteral("; "));
    QSet<QString> seen;
    for (const QString &item : items) {
        Fuzz::check(!item.isEmpty() && !item.contains(u';'), "the merged jar has no empty items");
        Fuzz::check(!item.contains(u' ') && !item.contains(QChar(0x3000)),
                    "the merged cookies hold no spaces");
        Fuzz::check(!item.endsWith(QStringLiteral("=deleted")), "deleted cookies are dropped");
        Fuzz::check(!seen.contains(item), "the merged jar has no duplicates");
        seen.insert(item);
    }
    Fuzz::check(HttpClient::mergeCookies(merged, QString()) == merged, "merging nothing keeps the jar");
    Fuzz::check(HttpClient::mergeCookies(merged, merged) == merged, "merging a jar into itself keeps it");
}

void checkUrl(const QString &url)
{
    const HttpClient::UrlParts parts = HttpClient::splitUrl(url);
    Fuzz::check(parts.path.startsWith(u'/'), "the path starts with a slash");
    Fuzz::check(!parts.host.contains(u'/') && !parts.host.contains(u'?') && !parts.host.contains(u'#'),
                "the host ends before the path");
    Fuzz::check(!parts.host.contains(u':'), "the host carries no port");
    Fuzz::check(parts.port > 0, "the port is positive");
    Fuzz::check(parts.host == parts.host.toLower(), "the host is in lower case");

    for (const QString &header : HttpClient::defaultHeaders(url, true)) {
        Fuzz::check(!header.contains(u'\r') && !header.contains(u'\n'),
                    "a URL cannot add header lines");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QList<QByteArray> parts = Fuzz::fields(data, size, 3);
    const QString headerBlock = Fuzz::text(parts.at(0));
    const QString jar = Fuzz::text(parts.at(1));
    const QString url = Fuzz::text(parts.at(2));

    const QString fresh = HttpClient::newCookies(headerBlock);
    checkCookieText(fresh);
    checkMerge(jar, fresh);
    checkMerge(jar, headerBlock);
    checkUrl(url);
    checkUrl(headerBlock);
    return 0;
}
