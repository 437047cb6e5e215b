#include "net/http_client.h"
#include "support/raw_http_server.h"

#include <httplib.h>
// The HTTPS server needs a cpp-httplib with TLS, which the Windows build's lacks.
#ifdef CPPHTTPLIB_OPENSSL_SUPPORT
#include <openssl/evp.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>
#endif

#ifndef _WIN32
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <QElapsedTimer>
#include <QScopeGuard>
#include <QtTest>

#include <atomic>
#include <thread>
#include <vector>

using namespace Plumbrook;
using namespace std::chrono_literals;

namespace {

const QByteArray kCookieAnswer = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n"
                                 "set-cookie: x=1; Path=/\r\nSet-Cookie: y=2\r\n\r\nok";

// A cpp-httplib server on a free loopback port, stopped when it goes out of scope.
class LoopbackServer
{
public:
    LoopbackServer()
    {
        mPort = mServer.bind_to_any_port("127.0.0.1");
        mThread = std::thread([this] { mServer.listen_after_bind(); });
    }
    ~LoopbackServer()
    {
        mServer.stop();
        mThread.join();
    }
    httplib::Server &server() { return mServer; }
    QString url(const QString &path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(mPort).arg(path);
    }

private:
    httplib::Server mServer;
    int mPort = 0;
    std::thread mThread;
};

#ifdef CPPHTTPLIB_OPENSSL_SUPPORT
// A key and a self-signed certificate for 127.0.0.1, made afresh for each run, so that the
// certificate is sound in every way but that no authority vouches for it.
struct SelfSigned
{
    SelfSigned()
    {
        key = EVP_EC_gen("P-256");
        certificate = X509_new();
        X509_set_version(certificate, 2);
        ASN1_INTEGER_set(X509_get_serialNumber(certificate), 1);
        X509_gmtime_adj(X509_getm_notBefore(certificate), -3600);
        X509_gmtime_adj(X509_getm_notAfter(certificate), 3600);
        X509_set_pubkey(certificate, key);
        X509_NAME *name = X509_get_subject_name(certificate);
        X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                                   reinterpret_cast<const unsigned char *>("127.0.0.1"), -1, -1, 0);
        X509_set_issuer_name(certificate, name);
        X509V3_CTX context;
        X509V3_set_ctx_nodb(&context);
        X509V3_set_ctx(&context, certificate, certificate, nullptr, nullptr, 0);
        X509_EXTENSION *address = X509V3_EXT_conf_nid(nullptr, &context, NID_subject_alt_name,
                                                      "IP:127.0.0.1");
        X509_add_ext(certificate, address, -1);
        X509_EXTENSION_free(address);
        X509_sign(certificate, key, EVP_sha256());
    }
    ~SelfSigned()
    {
        X509_free(certificate);
        EVP_PKEY_free(key);
    }
    EVP_PKEY *key = nullptr;
    X509 *certificate = nullptr;
};

// An HTTPS server on a free loopback port that shows the self-signed certificate.
class HttpsLoopbackServer
{
public:
    HttpsLoopbackServer()
        : mServer(mIdentity.certificate, mIdentity.key)
    {
        mServer.Get("/", [](const httplib::Request &, httplib::Response &res) {
            res.set_header("Set-Cookie", "sid=forged; path=/");
            res.set_content("forged", "text/plain");
        });
        mServer.Post("/", [](const httplib::Request &, httplib::Response &res) {
            res.set_header("Set-Cookie", "sid=forged; path=/");
            res.set_content("forged", "text/plain");
        });
        mPort = mServer.bind_to_any_port("127.0.0.1");
        mThread = std::thread([this] { mServer.listen_after_bind(); });
        while (mPort > 0 && !mServer.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~HttpsLoopbackServer()
    {
        mServer.stop();
        mThread.join();
    }
    int port() const { return mPort; }
    QString url() const { return QStringLiteral("https://127.0.0.1:%1/").arg(mPort); }

private:
    SelfSigned mIdentity;
    httplib::SSLServer mServer;
    int mPort = 0;
    std::thread mThread;
};
#endif

// Header lines of a raw request, without the request line.
QStringList headerLines(const QByteArray &request)
{
    const QByteArray head = request.left(request.indexOf("\r\n\r\n"));
    QStringList lines = QString::fromUtf8(head).split(QStringLiteral("\r\n"));
    lines.removeFirst();
    return lines;
}

QStringList headerNames(const QStringList &lines)
{
    QStringList names;
    for (const QString &line : lines)
        names.append(line.left(line.indexOf(u':')));
    return names;
}

#ifndef _WIN32
// A loopback listener whose queue of one is taken by a connection nobody accepts:
// Linux drops the SYNs of any further connect, which so never completes (the
// kernel's own retries give up after about two minutes).
class FullListener
{
public:
    FullListener()
    {
        mListener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(mListener, reinterpret_cast<sockaddr *>(&address), length) != 0
            || ::listen(mListener, 0) != 0
            || ::getsockname(mListener, reinterpret_cast<sockaddr *>(&address), &length) != 0)
            return;
        mPort = ntohs(address.sin_port);
        mFiller = ::socket(AF_INET, SOCK_STREAM, 0);
        if (::connect(mFiller, reinterpret_cast<sockaddr *>(&address), length) != 0)
            mPort = 0;
    }
    ~FullListener() { close(); }
    void close()
    {
        for (int *socket : {&mFiller, &mListener}) {
            if (*socket >= 0)
                ::close(*socket);
            *socket = -1;
        }
    }
    int port() const { return mPort; }

private:
    int mListener = -1;
    int mFiller = -1;
    int mPort = 0;
};
#endif

} // namespace

class TestHttpClient : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        HttpClient::setLimits({});
        HttpClient::setSiteCookieJar({});
    }

    void splitUrl_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("secure");
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("path");

        QTest::newRow("upper-case https") << "HTTPS://Img.Example/a.png" << true << "img.example" << 443 << "/a.png";
        QTest::newRow("no scheme, port, query")
            << "img.example:8080/p/q.jpg?x=1" << false << "img.example" << 8080 << "/p/q.jpg?x=1";
        QTest::newRow("nothing after host") << "http://img.example" << false << "img.example" << 80 << "/";
        QTest::newRow("https with port, no path") << "https://a.example:8443" << true << "a.example" << 8443 << "/";
        QTest::newRow("path keeps its case") << "http://A.example/P/Q.PNG" << false << "a.example" << 80 << "/P/Q.PNG";
        QTest::newRow("scheme found further in")
            << "a.example/x?u=http://b.example/p" << false << "b.example" << 80 << "/p";
        QTest::newRow("leading blank") << " http://img.example/a.png" << false << "img.example" << 80 << "/a.png";
        QTest::newRow("blanks and a line break around")
            << "\t\u3000https://img.example:8443/a.png \r\n" << true << "img.example" << 8443 << "/a.png";
        QTest::newRow("text before the scheme")
            << "图片 http://img.example/b.png" << false << "img.example" << 80 << "/b.png";
        QTest::newRow("query right after host") << "http://a.example?x=1" << false << "a.example" << 80 << "/?x=1";
        QTest::newRow("host starting with https") << "httpserver.lan/x.png" << false << "httpserver.lan" << 80 << "/x.png";
        QTest::newRow("empty port") << "http://a.example:/x" << false << "a.example" << 80 << "/x";
        QTest::newRow("empty") << "" << false << "" << 80 << "/";
    }

    void splitUrl()
    {
        QFETCH(QString, url);
        const HttpClient::UrlParts parts = HttpClient::splitUrl(url);
        QTEST(parts.secure, "secure");
        QTEST(parts.host, "host");
        QTEST(parts.port, "port");
        QTEST(parts.path, "path");
    }

    void newCookies_data()
    {
        QTest::addColumn<QString>("headers");
        QTest::addColumn<QString>("expected");
        QTest::newRow("attributes dropped")
            << "HTTP/1.1 200 OK\r\nSet-Cookie: sid=ab12; path=/; HttpOnly\r\nSet-Cookie: lang=zh\r\n\r\n"
            << "sid=ab12; lang=zh";
        QTest::newRow("lower-case name") << "set-cookie: x=1; Path=/\r\n" << "x=1";
        QTest::newRow("upper case, no space") << "SET-COOKIE:x=1\r\n" << "x=1";
        QTest::newRow("other headers ignored") << "X-Set-Cookie: a=1\r\nLink: <set-cookie: b=2>\r\n" << "";
        QTest::newRow("empty cookie skipped") << "Set-Cookie: ; path=/\r\nSet-Cookie: a=1\r\n" << "a=1";
        QTest::newRow("no headers") << "" << "";
        QTest::newRow("bare CR ends the line")
            << "Set-Cookie: b=1\rX: t\r\nSet-Cookie: c=2\rSet-Cookie: d=3\n" << "b=1; c=2; d=3";
    }

    void newCookies()
    {
        QFETCH(QString, headers);
        QTEST(HttpClient::newCookies(headers), "expected");
    }

    void mergeCookies_data()
    {
        QTest::addColumn<QString>("jar");
        QTest::addColumn<QString>("fresh");
        QTest::addColumn<QString>("expected");
        QTest::newRow("replace and delete") << "a=1; b=2" << "b=3; c=deleted" << "b=3; a=1";
        QTest::newRow("spaces squeezed") << "a=1;  b=2" << "" << "a=1; b=2";
        QTest::newRow("full-width space removed") << "a=1;\u3000b=2" << "" << "a=1; b=2";
        QTest::newRow("duplicates dropped") << "a=1; a=1" << "" << "a=1";
        QTest::newRow("deleted removes old value") << "s=old" << "s=deleted" << "";
        QTest::newRow("new first") << "x=1" << "y=2" << "y=2; x=1";
        QTest::newRow("names are case-sensitive") << "A=1" << "a=2" << "a=2; A=1";
        QTest::newRow("no stray separators") << ";a=1;;" << ";" << "a=1";
        QTest::newRow("both empty") << "" << "" << "";
    }

    void mergeCookies()
    {
        QFETCH(QString, jar);
        QFETCH(QString, fresh);
        QTEST(HttpClient::mergeCookies(jar, fresh), "expected");
    }

    void siteRequestHeadersInOrder()
    {
        Test::RawHttpServer server(kCookieAnswer);
        HttpClient::setSiteCookieJar(QStringLiteral("a=1"));
        const QString url = server.url(QStringLiteral("/forum.php?mod=post"));
        QCOMPARE(HttpClient::siteRequest(url, 0, {}, HttpClient::Jar::Site), QByteArray("ok"));

        const QByteArray request = server.lastRequest();
        QVERIFY(request.startsWith("GET /forum.php?mod=post HTTP/1.1\r\n"));
        const QStringList lines = headerLines(request);
        const QStringList expected = {
            QStringLiteral("Cookie: a=1"),
            QStringLiteral("Accept: */*"),
            QStringLiteral("Referer: ") + url,
            QStringLiteral("Accept-Language: zh-cn"),
            QStringLiteral("User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)"),
            QStringLiteral("Content-Type: application/x-www-form-urlencoded"),
        };
        qsizetype at = -1;
        for (const QString &line : expected) {
            const qsizetype found = lines.indexOf(line);
            QVERIFY2(found > at, qPrintable(line + QStringLiteral(" missing or out of order in:\n")
                                            + lines.join(u'\n')));
            at = found;
        }
        QCOMPARE(headerNames(lines).count(QStringLiteral("User-Agent")), 1);
        QCOMPARE(HttpClient::siteCookieJar(), QStringLiteral("x=1; y=2; a=1"));
    }

    void siteRequestMethods_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("requestLine");
        QTest::newRow("0 GET") << 0 << QByteArray("GET / HTTP/1.1");
        QTest::newRow("1 POST") << 1 << QByteArray("POST / HTTP/1.1");
        QTest::newRow("2 HEAD") << 2 << QByteArray("HEAD / HTTP/1.1");
        QTest::newRow("5 GET") << 5 << QByteArray("GET / HTTP/1.1");
        QTest::newRow("-1 GET") << -1 << QByteArray("GET / HTTP/1.1");
    }

    void siteRequestMethods()
    {
        QFETCH(int, code);
        QFETCH(QByteArray, requestLine);
        Test::RawHttpServer server(kCookieAnswer);
        HttpClient::siteRequest(server.url(), code, "a=1&b=%E4%B8%AD");
        const QByteArray request = server.lastRequest();
        QVERIFY2(request.startsWith(requestLine + "\r\n"), request.constData());
        QCOMPARE(request.endsWith("\r\n\r\na=1&b=%E4%B8%AD"), code == 1);
    }

    void jarUse_data()
    {
        QTest::addColumn<bool>("useJar");
        QTest::addColumn<QString>("jarBefore");
        QTest::addColumn<bool>("cookieSent");
        QTest::addColumn<QString>("jarAfter");
        QTest::newRow("no jar: nothing sent or kept") << false << "a=1" << false << "a=1";
        QTest::newRow("empty jar: no Cookie header") << true << "" << false << "x=1; y=2";
        QTest::newRow("jar sent and merged") << true << "y=0; z=9" << true << "x=1; y=2; z=9";
    }

    void jarUse()
    {
        QFETCH(bool, useJar);
        QFETCH(QString, jarBefore);
        QFETCH(bool, cookieSent);
        QFETCH(QString, jarAfter);
        Test::RawHttpServer server(kCookieAnswer);
        HttpClient::setSiteCookieJar(jarBefore);
        HttpClient::siteRequest(server.url(), 0, {}, useJar ? HttpClient::Jar::Site : HttpClient::Jar::None);
        QCOMPARE(headerNames(headerLines(server.lastRequest())).contains(QStringLiteral("Cookie")), cookieSent);
        QCOMPARE(HttpClient::siteCookieJar(), jarAfter);
    }

    void failedSiteRequestOnlyNormalisesJar()
    {
        int closedPort = 0;
        { Test::RawHttpServer server(""); closedPort = server.port(); }
        HttpClient::setSiteCookieJar(QStringLiteral("a=1;  a=1; s=deleted"));
        const QString url = QStringLiteral("http://127.0.0.1:%1/").arg(closedPort);
        QCOMPARE(HttpClient::siteRequest(url, 0, {}, HttpClient::Jar::Site), QByteArray());
        QCOMPARE(HttpClient::siteCookieJar(), QStringLiteral("a=1"));
    }

    void failedAnswerBringsNoCookies_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<qint64>("maxBody");
        QTest::newRow("cut short") << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n"
                                                 "Set-Cookie: x=1\r\nConnection: close\r\n\r\nok")
                                   << qint64(1000);
        QTest::newRow("body over the limit") << kCookieAnswer << qint64(1);
    }

    void failedAnswerBringsNoCookies()
    {
        QFETCH(QByteArray, answer);
        QFETCH(qint64, maxBody);
        Test::RawHttpServer server(answer);
        HttpClient::Limits limits;
        limits.maxBodyBytes = maxBody;
        HttpClient::setLimits(limits);
        HttpClient::setSiteCookieJar(QStringLiteral("a=1"));
        QCOMPARE(HttpClient::siteRequest(server.url(), 0, {}, HttpClient::Jar::Site), QByteArray());
        QCOMPARE(server.requestCount(), 1);
        QCOMPARE(HttpClient::siteCookieJar(), QStringLiteral("a=1"));
    }

    void selfSignedServerIsRefused()
    {
#ifndef CPPHTTPLIB_OPENSSL_SUPPORT
        QSKIP("the loopback HTTPS server needs cpp-httplib with TLS");
#else
        HttpsLoopbackServer server;
        // The server answers anyone who does not ask who it is.
        httplib::SSLClient careless("127.0.0.1", server.port());
        careless.enable_server_certificate_verification(false);
        const httplib::Result answer = careless.Get("/");
        QVERIFY(answer);
        QCOMPARE(QByteArray::fromStdString(answer->body), QByteArray("forged"));

        HttpClient::setSiteCookieJar(QStringLiteral("a=1"));
        for (int method : {0, 1})
            QCOMPARE(HttpClient::siteRequest(server.url(), method, "x=1", HttpClient::Jar::Site), QByteArray());
        QCOMPARE(HttpClient::siteCookieJar(), QStringLiteral("a=1"));
        QCOMPARE(HttpClient::download(server.url()), QByteArray());
#endif
    }

    void downloadHeaders()
    {
        Test::RawHttpServer server("HTTP/1.1 200 OK\r\nContent-Length: 3\r\nConnection: close\r\n\r\nPNG");
        const QString url = server.url(QStringLiteral("/p/Q.jpg?x=1"));
        QCOMPARE(HttpClient::download(url), QByteArray("PNG"));
        const QByteArray request = server.lastRequest();
        QVERIFY(request.startsWith("GET /p/Q.jpg?x=1 HTTP/1.1\r\n"));
        const QStringList lines = headerLines(request);
        QVERIFY(lines.contains(QStringLiteral("User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)")));
        QVERIFY(lines.indexOf(QStringLiteral("Accept: */*")) < lines.indexOf(QStringLiteral("Referer: ") + url));
        QVERIFY(lines.indexOf(QStringLiteral("Referer: ") + url) < lines.indexOf(QStringLiteral("Accept-Language: zh-cn")));
        QVERIFY(lines.indexOf(QStringLiteral("Accept-Language: zh-cn"))
                < lines.indexOf(QStringLiteral("Content-Type: application/x-www-form-urlencoded")));
        QVERIFY(!headerNames(lines).contains(QStringLiteral("Cookie")));
    }

    void answers_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("404 body returned") << "/missing" << QByteArray("<html>not here</html>");
        QTest::newRow("redirect followed") << "/moved" << QByteArray("final");
        QTest::newRow("redirect loop gives empty") << "/loop" << QByteArray();
        QTest::newRow("body at the cap") << "/cap" << QByteArray(1000, 'c');
        QTest::newRow("body over the cap gives empty") << "/big" << QByteArray();
    }

    void answers()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, expected);
        LoopbackServer loopback;
        auto &server = loopback.server();
        server.Get("/missing", [](const httplib::Request &, httplib::Response &res) {
            res.status = 404;
            res.set_content("<html>not here</html>", "text/html");
        });
        server.Get("/moved", [](const httplib::Request &, httplib::Response &res) { res.set_redirect("/final"); });
        server.Get("/final", [](const httplib::Request &, httplib::Response &res) { res.set_content("final", "text/plain"); });
        server.Get("/loop", [](const httplib::Request &, httplib::Response &res) { res.set_redirect("/loop"); });
        server.Get("/cap", [](const httplib::Request &, httplib::Response &res) {
            res.set_content(std::string(1000, 'c'), "image/png");
        });
        server.Get("/big", [](const httplib::Request &, httplib::Response &res) {
            res.set_content(std::string(1001, 'c'), "image/png");
        });
        HttpClient::Limits limits;
        limits.maxBodyBytes = 1000;
        HttpClient::setLimits(limits);

        QCOMPARE(HttpClient::download(loopback.url(path)), expected);
        QCOMPARE(HttpClient::siteRequest(loopback.url(path)), expected);
    }

    void stallingServerTimesOut()
    {
        Test::RawHttpServer server(kCookieAnswer, 4s);
        HttpClient::Limits limits;
        limits.stallTimeout = 1s;
        limits.downloadTotalTimeout = 1s;
        HttpClient::setLimits(limits);

        QElapsedTimer timer;
        timer.start();
        QCOMPARE(HttpClient::download(server.url()), QByteArray());
        QVERIFY2(timer.elapsed() < 2500, QByteArray::number(timer.elapsed()).constData());
    }

    // The server answers after four seconds; a request that waits a second for a byte
    // gives up first, whatever its method (a POST's body sent is no byte of the answer).
    void stalledSiteRequestGivesUp_data()
    {
        QTest::addColumn<int>("method");
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("GET") << 0 << QByteArray();
        QTest::newRow("POST") << 1 << QByteArray("subject=x");
        QTest::newRow("POST with a larger body") << 1 << QByteArray(200 * 1024, 'b');
        QTest::newRow("HEAD") << 2 << QByteArray();
    }

    void stalledSiteRequestGivesUp()
    {
        QFETCH(int, method);
        QFETCH(QByteArray, body);
        Test::RawHttpServer server(kCookieAnswer, 4s);
        HttpClient::Limits limits;
        limits.stallTimeout = 1s;
        HttpClient::setLimits(limits);
        HttpClient::setSiteCookieJar(QStringLiteral("a=1"));
        QCOMPARE(HttpClient::siteRequest(server.url(), method, body, HttpClient::Jar::Site), QByteArray());
        QCOMPARE(HttpClient::siteCookieJar(), QStringLiteral("a=1"));
    }

    // Only the connect time-out can end this request: every other limit is an hour.
    // (Without it, the kernel gives up the connect after about two minutes.)
    void connectThatNeverCompletesGivesUp()
    {
#ifdef _WIN32
        QSKIP("Winsock refuses a connect to a full queue at once");
#else
        FullListener listener;
        QVERIFY(listener.port() != 0);
        HttpClient::Limits limits;
        limits.connectTimeout = 100ms;
        limits.stallTimeout = 1h;
        limits.siteTotalTimeout = 1h;
        limits.downloadTotalTimeout = 1h;
        HttpClient::setLimits(limits);

        const QString url = QStringLiteral("http://127.0.0.1:%1/").arg(listener.port());
        std::atomic<bool> finished = false;
        QByteArray answer = "none yet";
        std::thread request([&] {
            answer = HttpClient::download(url);
            finished = true;
        });
        const auto join = qScopeGuard([&] {
            listener.close();
            request.join();
        });
        QTRY_VERIFY_WITH_TIMEOUT(finished.load(), 30000);
        QCOMPARE(answer, QByteArray());
#endif
    }

    void concurrentRequestsKeepEveryCookie()
    {
        LoopbackServer loopback;
        loopback.server().Get("/set", [](const httplib::Request &req, httplib::Response &res) {
            res.set_header("Set-Cookie", req.get_param_value("n") + "=1; path=/");
            res.set_content("ok", "text/plain");
        });
        std::vector<std::thread> threads;
        for (int i = 0; i < 6; ++i) {
            threads.emplace_back([&loopback, i] {
                HttpClient::siteRequest(loopback.url(QStringLiteral("/set?n=c%1").arg(i)), 0, {},
                                        HttpClient::Jar::Site);
            });
        }
        for (auto &thread : threads)
            thread.join();
        const QStringList jar = HttpClient::siteCookieJar().split(QStringLiteral("; "));
        QCOMPARE(jar.size(), 6);
        for (int i = 0; i < 6; ++i)
            QVERIFY(jar.contains(QStringLiteral("c%1=1").arg(i)));
    }
};

QTEST_GUILESS_MAIN(TestHttpClient)
#include "tst_http_client.moc"
