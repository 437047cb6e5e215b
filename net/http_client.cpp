#include "net/http_client.h"

#include <QMutex>
#include <QUrl>

#include <curl/curl.h>

#include <chrono>
#include <memory>
#include <mutex>

namespace Plumbrook::HttpClient {

namespace {

// Shared with worker threads that nobody waits for at exit, so they are never
// destroyed: a late request must not touch a jar already torn down.
struct SharedState
{
    QMutex jarMutex;
    QString siteJar;
    QMutex limitsMutex;
    Limits limits;
};

SharedState &shared()
{
    static auto *state = new SharedState;
    return *state;
}

void initialiseCurl()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Transfer
{
    QByteArray body;
    QByteArray headers;   // the last response's raw header block
    qint64 maxBody = 0;
    bool overflow = false;
    // Stall watch: a request gives up when no byte has moved either way for this long.
    std::chrono::milliseconds stall{0};
    std::chrono::steady_clock::time_point lastMove;
    curl_off_t moved = -1;
};

size_t onBody(char *data, size_t size, size_t count, void *user)
{
    auto *transfer = static_cast<Transfer *>(user);
    const size_t bytes = size * count;
    if (transfer->body.size() + qint64(bytes) > transfer->maxBody) {
        transfer->overflow = true;
        return 0;   // aborts the transfer
    }
    transfer->body.append(data, qsizetype(bytes));
    return bytes;
}

size_t onHeader(char *data, size_t size, size_t count, void *user)
{
    auto *transfer = static_cast<Transfer *>(user);
    const size_t bytes = size * count;
    // Each response of a redirect chain starts with its status line; keep only the last.
    if (bytes >= 5 && qstrncmp(data, "HTTP/", 5) == 0)
        transfer->headers.clear();
    if (transfer->headers.size() < 1024 * 1024)
        transfer->headers.append(data, qsizetype(bytes));
    return bytes;
}

// Counts bytes sent and received alike: after a POST's body has gone out, the wait for
// the answer is measured from the last byte sent, just as a GET's is.
int onProgress(void *user, curl_off_t, curl_off_t received, curl_off_t, curl_off_t sent)
{
    auto *transfer = static_cast<Transfer *>(user);
    const auto now = std::chrono::steady_clock::now();
    if (received + sent != transfer->moved) {
        transfer->moved = received + sent;
        transfer->lastMove = now;
        return 0;
    }
    return now - transfer->lastMove > transfer->stall ? 1 : 0;
}

struct CurlDeleter
{
    void operator()(CURL *curl) const { curl_easy_cleanup(curl); }
    void operator()(curl_slist *list) const { curl_slist_free_all(list); }
};

// Spaces and non-ASCII characters are not valid in a request line; everything else
// (including existing %-escapes) goes out as typed.
QByteArray requestUrl(const QString &url)
{
    return QUrl::toPercentEncoding(url, "!#$%&'()*+,-./:;=?@[]_~");
}

QString withoutControls(QString text)
{
    text.removeIf([](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; });
    return text;
}

long milliseconds(std::chrono::milliseconds value)
{
    return long(qMax<qint64>(1, value.count()));
}

QByteArray perform(CURL *curl, const QStringList &headerLines, const Limits &limits,
                   std::chrono::milliseconds total, Transfer *transfer, bool *completed = nullptr)
{
    std::unique_ptr<curl_slist, CurlDeleter> headers;
    curl_slist *list = nullptr;
    for (const QString &line : headerLines)
        list = curl_slist_append(list, line.toUtf8().constData());
    // Large POST bodies would otherwise wait for a "100 Continue" answer.
    list = curl_slist_append(list, "Expect:");
    headers.reset(list);

    transfer->maxBody = limits.maxBodyBytes;
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, list);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, long(limits.maxRedirects));
    curl_easy_setopt(curl, CURLOPT_PROXY, "");
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, milliseconds(limits.connectTimeout));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, milliseconds(total));
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(limits.maxBodyBytes));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &onBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, transfer);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &onHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, transfer);

    const bool ok = curl_easy_perform(curl) == CURLE_OK && !transfer->overflow;
    if (completed)
        *completed = ok;
    return ok ? transfer->body : QByteArray();
}

} // namespace

Limits limits()
{
    QMutexLocker lock(&shared().limitsMutex);
    return shared().limits;
}

void setLimits(const Limits &value)
{
    QMutexLocker lock(&shared().limitsMutex);
    shared().limits = value;
}

QString siteCookieJar()
{
    QMutexLocker lock(&shared().jarMutex);
    return shared().siteJar;
}

void setSiteCookieJar(const QString &jar)
{
    QMutexLocker lock(&shared().jarMutex);
    shared().siteJar = jar;
}

QByteArray siteRequest(const QString &url, int methodCode, const QByteArray &body, Jar jar)
{
    initialiseCurl();
    const Limits current = limits();
    const QString sentJar = jar == Jar::Site ? siteCookieJar() : QString();

    QByteArray result;
    Transfer transfer;
    bool completed = false;
    std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    if (curl) {
        QStringList headerLines;
        if (!sentJar.isEmpty())
            headerLines.append(QStringLiteral("Cookie: ") + withoutControls(sentJar));
        headerLines += defaultHeaders(QString::fromLatin1(requestUrl(url)), true);

        const QByteArray target = requestUrl(url);
        curl_easy_setopt(curl.get(), CURLOPT_URL, target.constData());
        switch (methodCode) {
        case 1:
            curl_easy_setopt(curl.get(), CURLOPT_POST, 1L);
            curl_easy_setopt(curl.get(), CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(body.size()));
            curl_easy_setopt(curl.get(), CURLOPT_COPYPOSTFIELDS, body.constData());
            break;
        case 2:
            curl_easy_setopt(curl.get(), CURLOPT_NOBODY, 1L);
            break;
        default:
            curl_easy_setopt(curl.get(), CURLOPT_HTTPGET, 1L);
            break;
        }
        // Server certificates are checked against the system's store (libcurl's default):
        // the site's answers and the cookies that go with them must come from the site.
        // Send and receive time-outs: give up when the transfer stalls.
        transfer.stall = current.stallTimeout;
        transfer.lastMove = std::chrono::steady_clock::now();
        curl_easy_setopt(curl.get(), CURLOPT_XFERINFOFUNCTION, &onProgress);
        curl_easy_setopt(curl.get(), CURLOPT_XFERINFODATA, &transfer);
        curl_easy_setopt(curl.get(), CURLOPT_NOPROGRESS, 0L);
        result = perform(curl.get(), headerLines, current, current.siteTotalTimeout, &transfer,
                         &completed);
    }

    if (jar == Jar::Site) {
        // Only a completed answer brings cookies: headers of an answer cut short (a time-out,
        // a body over the limit, a refused certificate) are not the site's word.
        // Merged into the jar as it is now, so that a request finishing at the same
        // time on another thread does not lose its cookies.
        const QString fresh =
            completed ? newCookies(QString::fromLatin1(transfer.headers)) : QString();
        QMutexLocker lock(&shared().jarMutex);
        if (curl)
            shared().siteJar = mergeCookies(shared().siteJar, fresh);
    }
    return result;
}

namespace {

// The plain download's request, with `extraHeaders` after the usual ones.
QByteArray plainGet(const QString &url, const QStringList &extraHeaders, Transfer *transfer,
                    bool *completed, long *status)
{
    initialiseCurl();
    const UrlParts parts = splitUrl(url);
    if (parts.host.isEmpty() || parts.port > 65535)
        return {};
    const Limits current = limits();

    std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    if (!curl)
        return {};
    const QString target = (parts.secure ? QStringLiteral("https://") : QStringLiteral("http://"))
                           + parts.host + u':' + QString::number(parts.port) + parts.path;
    const QByteArray encoded = requestUrl(target);
    curl_easy_setopt(curl.get(), CURLOPT_URL, encoded.constData());
    curl_easy_setopt(curl.get(), CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_USERAGENT, kUserAgent);
    // Cookies set along a redirect chain go back to the server, and are forgotten after.
    curl_easy_setopt(curl.get(), CURLOPT_COOKIEFILE, "");
    const QByteArray body = perform(
        curl.get(), defaultHeaders(QString::fromLatin1(requestUrl(url.trimmed())), false) + extraHeaders,
        current, current.downloadTotalTimeout, transfer, completed);
    curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, status);
    return body;
}

} // namespace

QByteArray download(const QString &url)
{
    Transfer transfer;
    long status = 0;
    return plainGet(url, {}, &transfer, nullptr, &status);
}

Revalidation conditionalDownload(const QString &url, const QByteArray &etag,
                                 const QByteArray &lastModified)
{
    QStringList extra;
    // Validators come from a file on disk: no line breaks may reach the request.
    if (!etag.isEmpty())
        extra.append(QStringLiteral("If-None-Match: ") + withoutControls(QString::fromLatin1(etag)));
    if (!lastModified.isEmpty())
        extra.append(QStringLiteral("If-Modified-Since: ")
                     + withoutControls(QString::fromLatin1(lastModified)));
    Transfer transfer;
    bool completed = false;
    long status = 0;
    Revalidation result;
    result.body = plainGet(url, extra, &transfer, &completed, &status);
    result.answered = completed && status > 0;
    result.status = int(status);
    result.etag = headerValue(transfer.headers, "ETag");
    result.lastModified = headerValue(transfer.headers, "Last-Modified");
    return result;
}

} // namespace Plumbrook::HttpClient
