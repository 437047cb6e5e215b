#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <chrono>

namespace Plumbrook {

// Blocking HTTP on the calling thread: site requests carrying the site cookie jar, and plain downloads.
//
// Both return the response body whatever the HTTP status, and an empty body on any
// failure (nothing is reported). Each call uses its own connection state, so calls
// may run on several threads at once.
namespace HttpClient {

enum class Jar { None, Site };

// Site request. methodCode: 0 GET, 1 POST, 2 HEAD, anything else GET. The body is sent
// with POST only. With Jar::Site the process-wide site cookie jar is sent as "Cookie"
// and afterwards the cookies of the answer are merged into it (none from a failed request).
// Server certificates are verified against the system's store.
QByteArray siteRequest(const QString &url, int methodCode = 0, const QByteArray &body = {},
                       Jar jar = Jar::None);

// One GET of the URL, split into host, port and path by splitUrl.
QByteArray download(const QString &url);

// What a conditional download learnt: whether the server answered at all, its status,
// the body of a 200 answer and the validators to send next time.
struct Revalidation
{
    bool answered = false;
    int status = 0;
    QByteArray body;
    QByteArray etag;
    QByteArray lastModified;
};
// A download that sends If-None-Match and If-Modified-Since when given; a 304 answer
// means the copy the validators came with is still current.
Revalidation conditionalDownload(const QString &url, const QByteArray &etag = {},
                                 const QByteArray &lastModified = {});

// The process-wide site cookie jar ("a=1; b=2").
QString siteCookieJar();
void setSiteCookieJar(const QString &jar);

// Limits of every request; tests shorten them.
struct Limits
{
    std::chrono::milliseconds connectTimeout{15000};
    // A site request gives up when no byte moves for this long.
    std::chrono::milliseconds stallTimeout{15000};
    // Whole-request ceilings, so that a trickling server cannot hold a thread forever.
    std::chrono::milliseconds siteTotalTimeout{60000};
    std::chrono::milliseconds downloadTotalTimeout{30000};
    qint64 maxBodyBytes = qint64(64) * 1024 * 1024;
    int maxRedirects = 10;
};
Limits limits();
void setLimits(const Limits &limits);

inline constexpr char kUserAgent[] = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";

// ---- Pure pieces, exposed for tests ----

struct UrlParts
{
    bool secure = false;
    QString host;   // lower case, without port
    int port = 80;
    QString path;   // starts with "/", query included
};
UrlParts splitUrl(const QString &url);

// The request headers as "Name: value" lines, in the order they are sent.
// The plain download leaves out "User-Agent" (it goes as the agent name).
QStringList defaultHeaders(const QString &url, bool withUserAgent);

// The value of the last header `name` (case-insensitive) in a raw header block.
QByteArray headerValue(const QByteArray &headerBlock, const QByteArray &name);

// "name=value" of every Set-Cookie header in a raw response header block, joined by "; ".
QString newCookies(const QString &headerBlock);

// New cookies first, then the jar's cookies whose names they do not replace;
// "=deleted" cookies and exact duplicates dropped, spaces removed.
QString mergeCookies(const QString &jar, const QString &newCookies);

} // namespace HttpClient
} // namespace Plumbrook
