#include "net/http_client.h"
#include "net/picture_cache.h"
#include "support/loopback_server.h"

#include <QCryptographicHash>
#include <QDir>
#include <QTimeZone>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <mutex>

using namespace Plumbrook;

namespace {

// Serves one picture per path whose bytes and validators the test changes, counting
// requests and the ones answered 304.
class PictureServer
{
public:
    enum class Validators { ETag, LastModified, None };

    explicit PictureServer(Validators validators = Validators::ETag)
        : mValidators(validators)
    {
        mServer.server().Get(R"(/(\w+)\.jpg)", [this](const httplib::Request &request,
                                                      httplib::Response &response) {
            ++mRequests;
            std::lock_guard lock(mMutex);
            if (mFailing) {
                response.status = 500;
                return;
            }
            const std::string tag = "\"v" + std::to_string(mVersion) + '"';
            const std::string date = mVersion == 1 ? "Mon, 01 Jun 2026 10:00:00 GMT"
                                                   : "Tue, 02 Jun 2026 10:00:00 GMT";
            const bool same = (mValidators == Validators::ETag
                               && request.get_header_value("If-None-Match") == tag)
                              || (mValidators == Validators::LastModified
                                  && request.get_header_value("If-Modified-Since") == date);
            if (mValidators == Validators::ETag)
                response.set_header("ETag", tag);
            if (mValidators == Validators::LastModified)
                response.set_header("Last-Modified", date);
            if (same) {
                ++mNotModified;
                response.status = 304;
                return;
            }
            response.set_content(bodyOf(request.matches[1].str(), mVersion).toStdString(), "image/jpeg");
        });
        mServer.start();
    }

    static QByteArray bodyOf(const std::string &name, int version)
    {
        return QByteArray::fromStdString(name) + "-picture-v" + QByteArray::number(version);
    }
    QString url(const QString &name) const { return mServer.base() + u'/' + name + QStringLiteral(".jpg"); }
    void setVersion(int version)
    {
        std::lock_guard lock(mMutex);
        mVersion = version;
    }
    void setFailing(bool failing)
    {
        std::lock_guard lock(mMutex);
        mFailing = failing;
    }
    int requests() const { return mRequests; }
    int notModified() const { return mNotModified; }

private:
    Test::LoopbackServer mServer;
    Validators mValidators;
    std::mutex mMutex;
    int mVersion = 1;
    bool mFailing = false;
    std::atomic<int> mRequests{0};
    std::atomic<int> mNotModified{0};
};

} // namespace

class TestPictureCache : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void downloadKeepsPicture();
    void revalidation_data();
    void revalidation();
    void serverDownKeepsPicture();
    void leastRecentlyUsedGoFirst();
    void usedOrderOutlivesTheCache();
    void diskErrorsOnlyForget_data();
    void diskErrorsOnlyForget();
    void foreignOrBrokenFilesMiss();
    void clearEmpties();

private:
    QTemporaryDir mDir;
    int mCaches = 0;
    QString freshDir() { return mDir.filePath(QString::number(++mCaches)); }
};

void TestPictureCache::initTestCase()
{
    HttpClient::Limits limits = HttpClient::limits();
    limits.connectTimeout = std::chrono::milliseconds(2000);
    HttpClient::setLimits(limits);
}

void TestPictureCache::downloadKeepsPicture()
{
    PictureServer server;
    PictureCache cache(freshDir());
    QCOMPARE(cache.download(server.url("a")), PictureServer::bodyOf("a", 1));
    QCOMPARE(server.requests(), 1);
    const auto entry = cache.find(server.url("a"));
    QVERIFY(entry);
    QCOMPARE(entry->body, PictureServer::bodyOf("a", 1));
    QCOMPARE(entry->etag, QByteArray("\"v1\""));
    QCOMPARE(server.requests(), 1);
    QVERIFY(!cache.find(server.url("b")));
}

void TestPictureCache::revalidation_data()
{
    QTest::addColumn<int>("validators");
    QTest::addColumn<int>("newVersion");
    QTest::addColumn<int>("freshness");
    QTest::addColumn<int>("notModified");

    using V = PictureServer::Validators;
    using F = PictureCache::Freshness;
    QTest::newRow("same, by ETag") << int(V::ETag) << 1 << int(F::Unchanged) << 1;
    QTest::newRow("same, by Last-Modified") << int(V::LastModified) << 1 << int(F::Unchanged) << 1;
    QTest::newRow("same, no validators") << int(V::None) << 1 << int(F::Unchanged) << 0;
    QTest::newRow("changed, by ETag") << int(V::ETag) << 2 << int(F::Changed) << 0;
    QTest::newRow("changed, by Last-Modified") << int(V::LastModified) << 2 << int(F::Changed) << 0;
    QTest::newRow("changed, no validators") << int(V::None) << 2 << int(F::Changed) << 0;
}

void TestPictureCache::revalidation()
{
    QFETCH(int, validators);
    QFETCH(int, newVersion);
    QFETCH(int, freshness);
    QFETCH(int, notModified);

    PictureServer server{PictureServer::Validators(validators)};
    PictureCache cache(freshDir());
    cache.download(server.url("a"));
    server.setVersion(newVersion);
    QByteArray body;
    QCOMPARE(int(cache.revalidate(server.url("a"), &body)), freshness);
    QCOMPARE(server.notModified(), notModified);
    const QByteArray expected = PictureServer::bodyOf("a", newVersion);
    QCOMPARE(cache.find(server.url("a"))->body, expected);
    QCOMPARE(body, freshness == int(PictureCache::Freshness::Changed) ? expected : QByteArray());
}

void TestPictureCache::serverDownKeepsPicture()
{
    PictureCache cache(freshDir());
    QString url;
    {
        PictureServer server;
        url = server.url("a");
        cache.download(url);
        server.setFailing(true);
        QCOMPARE(cache.revalidate(url), PictureCache::Freshness::Unknown);
        QCOMPARE(cache.find(url)->body, PictureServer::bodyOf("a", 1));
    }
    // Nothing listens on the port any more.
    QCOMPARE(cache.revalidate(url), PictureCache::Freshness::Unknown);
    QCOMPARE(cache.find(url)->body, PictureServer::bodyOf("a", 1));
}

void TestPictureCache::leastRecentlyUsedGoFirst()
{
    PictureCache cache(freshDir());
    const QByteArray body(1000, 'x');
    for (const char *name : {"a", "b", "c"})
        QVERIFY(cache.store(QString::fromLatin1(name), {body, {}, {}}));
    const qint64 three = cache.sizeInBytes();
    QVERIFY(three > 3000);
    cache.setLimit(three);
    QVERIFY(cache.find(QStringLiteral("a")));   // a is now used later than b
    QVERIFY(cache.store(QStringLiteral("d"), {body, {}, {}}));
    QVERIFY(!cache.find(QStringLiteral("b")));
    for (const char *name : {"a", "c", "d"})
        QVERIFY2(cache.find(QString::fromLatin1(name)), name);
    QVERIFY(cache.sizeInBytes() <= three);
    QCOMPARE(QDir(cache.directory()).entryList(QDir::Files).size(), 3);
    // A picture larger than the whole cache is not kept, and pushes nothing out.
    QVERIFY(!cache.store(QStringLiteral("huge"), {QByteArray(int(three) + 1, 'y'), {}, {}}));
    QCOMPARE(cache.count(), 3);
}

void TestPictureCache::usedOrderOutlivesTheCache()
{
    const QString dir = freshDir();
    const QByteArray body(1000, 'x');
    qint64 two = 0;
    {
        PictureCache cache(dir);
        QVERIFY(cache.store(QStringLiteral("new"), {body, {}, {}}));
        QVERIFY(cache.store(QStringLiteral("old"), {body, {}, {}}));
        two = cache.sizeInBytes();
    }
    // Used long ago, as far as the file says.
    QFile old(dir + u'/' + QCryptographicHash::hash("old", QCryptographicHash::Sha1).toHex() + ".pic");
    QVERIFY(old.open(QIODevice::ReadWrite));
    QVERIFY(old.setFileTime(QDateTime(QDate(2020, 1, 1), QTime(0, 0), QTimeZone::utc()),
                            QFileDevice::FileModificationTime));
    old.close();
    PictureCache again(dir, two);
    QCOMPARE(again.count(), 2);
    QVERIFY(again.find(QStringLiteral("new")));
    QVERIFY(again.store(QStringLiteral("top"), {body, {}, {}}));
    QVERIFY(!again.find(QStringLiteral("old")));
    QVERIFY(again.find(QStringLiteral("new")));
}

void TestPictureCache::diskErrorsOnlyForget_data()
{
    QTest::addColumn<QString>("problem");
    QTest::newRow("folder is a file") << QStringLiteral("file");
    QTest::newRow("folder not writable") << QStringLiteral("read-only");
}

void TestPictureCache::diskErrorsOnlyForget()
{
    QFETCH(QString, problem);
    const QString dir = freshDir();
    if (problem == QLatin1String("file")) {
        QFile blocker(dir);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
    } else {
        QVERIFY(QDir().mkpath(dir));
        QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner);
        if (QFileInfo(dir).isWritable())
            QSKIP("Running with rights that write anywhere");
    }
    PictureServer server;
    PictureCache cache(dir);
    QCOMPARE(cache.download(server.url("a")), PictureServer::bodyOf("a", 1));
    QVERIFY(!cache.find(server.url("a")));
    QCOMPARE(cache.revalidate(server.url("a")), PictureCache::Freshness::Changed);
    QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TestPictureCache::foreignOrBrokenFilesMiss()
{
    PictureCache cache(freshDir());
    QVERIFY(cache.store(QStringLiteral("http://x/a.jpg"), {"picture", {}, {}}));
    const QStringList files = QDir(cache.directory()).entryList(QDir::Files);
    QCOMPARE(files.size(), 1);
    QFile file(QDir(cache.directory()).filePath(files.first()));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not a cache file");
    file.close();
    QVERIFY(!cache.find(QStringLiteral("http://x/a.jpg")));
    QCOMPARE(cache.count(), 0);
}

void TestPictureCache::clearEmpties()
{
    PictureCache cache(freshDir());
    QVERIFY(cache.store(QStringLiteral("a"), {"one", {}, {}}));
    QVERIFY(cache.store(QStringLiteral("b"), {"two", {}, {}}));
    cache.clear();
    QCOMPARE(cache.count(), 0);
    QCOMPARE(cache.sizeInBytes(), 0);
    QVERIFY(!cache.find(QStringLiteral("a")));
    QVERIFY(QDir(cache.directory()).entryList(QDir::Files).isEmpty());
}

QTEST_GUILESS_MAIN(TestPictureCache)
#include "tst_picture_cache.moc"
