#include "canvas/decoded_pictures.h"
#include "canvas/design_canvas.h"
#include "canvas/design_loader.h"
#include "canvas/main_window.h"
#include "canvas/module_background_layer.h"
#include "canvas/picture_object.h"
#include "canvas/preview_download.h"
#include "model/background_work.h"
#include "model/component_table.h"
#include "model/design_file.h"
#include "model/kind_table.h"
#include "net/picture_cache.h"
#include "support/editor_driving.h"
#include "support/loopback_server.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QImageWriter>
#include <QAction>
#include <QMenu>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <mutex>

using namespace Plumbrook;
using T = ComponentTable;

namespace {

// Serves /<n>.png in a colour of its own, or /big<n>.jpg as one large JPEG; counts the
// requests and answers If-None-Match with 304 while the picture has not changed.
class PictureServer
{
public:
    PictureServer()
    {
        mServer.server().Get(R"(/(\d+)\.png)", [this](const httplib::Request &request,
                                                       httplib::Response &response) {
            ++mRequests;
            const int n = std::stoi(request.matches[1].str());
            const std::string tag = "\"" + std::to_string(mVersion) + "\"";
            response.set_header("ETag", tag);
            if (request.get_header_value("If-None-Match") == tag) {
                response.status = 304;
                return;
            }
            response.set_content(picture(n, mVersion).toStdString(), "image/png");
        });
        mServer.server().Get(R"(/big(\d+)\.jpg)", [this](const httplib::Request &, httplib::Response &response) {
            ++mRequests;
            std::lock_guard lock(mBigMutex);
            response.set_content(mBig.toStdString(), "image/jpeg");
        });
        mServer.start();
    }
    static QColor colourOf(int n, int version)
    {
        return QColor::fromHsv((n * 37 + version * 90) % 360, 200, 200).toRgb();
    }
    static QByteArray picture(int n, int version) { return Test::png(colourOf(n, version), 8); }
    QString url(int n) const { return mServer.base() + QStringLiteral("/%1.png").arg(n); }
    QString bigUrl(int n) const { return mServer.base() + QStringLiteral("/big%1.jpg").arg(n); }
    void setBig(const QByteArray &bytes)
    {
        std::lock_guard lock(mBigMutex);
        mBig = bytes;
    }
    int requests() const { return mRequests; }
    void setVersion(int version) { mVersion = version; }

private:
    Test::LoopbackServer mServer;
    std::atomic<int> mRequests{0};
    std::atomic<int> mVersion{1};
    std::mutex mBigMutex;
    QByteArray mBig;
};

DesignFile::Design designOf(int count, const std::function<QString(int)> &url)
{
    DesignFile::Design design;
    QStringList module = ComponentTable::initialModuleRecord();
    module[T::Width] = QStringLiteral("950");
    module[T::Height] = QStringLiteral("500");
    design.rows = {module};
    for (int n = 0; n < count; ++n) {
        QStringList cells(T::ColumnCount);
        cells[T::Id] = QString::number(n + 2);
        cells[T::Kind] = KindTable::nameOf(KindTable::Kind::Picture);
        cells[T::Width] = QStringLiteral("180");
        cells[T::Height] = QStringLiteral("220");
        cells[T::Left] = QString::number(n % 5 * 185);
        cells[T::Top] = QString::number(n / 5 * 10);
        cells[T::Picture] = url(n);
        design.rows.append(cells);
    }
    return design;
}

#ifdef Q_OS_LINUX
// The process's resident memory at its highest since the last reset, in bytes.
qint64 peakResident()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong() * 1024;
    }
    return -1;
}

bool resetPeakResident()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    return refs.open(QIODevice::WriteOnly) && refs.write("5") == 1;
}
#endif

} // namespace

class TestPreviewCache : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void secondOpenAsksNothingNew();
    void changedPictureReplacedAfterRevalidation();
    void serverDownShowsCachedPictures();
    void clearingTheCacheFromTheMenu();
    void bigPicturesCostWhatTheyShow();

private:
    void open(const DesignFile::Design &design);
    QRgb shownColour(int n) const;

    QTemporaryDir mCacheDir;
    std::unique_ptr<PictureCache> mCache;
    std::unique_ptr<PictureServer> mServer;
    std::unique_ptr<Test::DesignerWindow> mDesigner;
    MainWindow *mWindow = nullptr;
};

void TestPreviewCache::init()
{
    mCache = std::make_unique<PictureCache>(mCacheDir.filePath(QString::number(QRandomGenerator::global()->generate())));
    PreviewDownload::setDiskCache(mCache.get());
    mServer = std::make_unique<PictureServer>();
    mDesigner = std::make_unique<Test::DesignerWindow>();
    mWindow = mDesigner->window();
}

void TestPreviewCache::cleanup()
{
    QTRY_COMPARE(PreviewDownload::pending(), 0);
    QVERIFY(BackgroundWork::waitForIdle(30000));
    mDesigner.reset();
    mServer.reset();
    PreviewDownload::setDiskCache(nullptr);
    mCache.reset();
}

void TestPreviewCache::open(const DesignFile::Design &design)
{
    DesignLoader::load(mWindow->canvas(), design);
    QTRY_COMPARE_WITH_TIMEOUT(PreviewDownload::pending(), 0, 30000);
}

QRgb TestPreviewCache::shownColour(int n) const
{
    PictureObject *object = mWindow->canvas()->pictureById(QString::number(n + 2));
    return object && object->hasPicture() ? object->image().pixel(2, 2) : 0;
}

void TestPreviewCache::secondOpenAsksNothingNew()
{
    const auto design = designOf(12, [this](int n) { return mServer->url(n); });
    open(design);
    QCOMPARE(mServer->requests(), 12);
    QCOMPARE(mCache->count(), 12);

    // As the next run does: nothing asked about yet in it.
    PreviewDownload::forgetRevalidations();
    open(designOf(0, {}));
    open(design);
    for (int n = 0; n < 12; ++n)
        QCOMPARE(shownColour(n), PictureServer::colourOf(n, 1).rgb());
    // Each shown from the cache, then asked about once; all unchanged.
    QTRY_COMPARE(mServer->requests(), 24);
    QVERIFY(BackgroundWork::waitForIdle(10000));
    QCOMPARE(mServer->requests(), 24);
}

void TestPreviewCache::changedPictureReplacedAfterRevalidation()
{
    const auto design = designOf(3, [this](int n) { return mServer->url(n); });
    open(design);
    mServer->setVersion(2);
    PreviewDownload::forgetRevalidations();
    open(designOf(0, {}));
    open(design);
    for (int n = 0; n < 3; ++n)
        QTRY_COMPARE(shownColour(n), PictureServer::colourOf(n, 2).rgb());
    QCOMPARE(mCache->find(mServer->url(0))->body, PictureServer::picture(0, 2));
}

void TestPreviewCache::serverDownShowsCachedPictures()
{
    const auto design = designOf(5, [this](int n) { return mServer->url(n); });
    open(design);
    mServer.reset();
    PreviewDownload::forgetRevalidations();
    open(designOf(0, {}));
    open(design);
    QVERIFY(BackgroundWork::waitForIdle(30000));
    Test::settle();
    for (int n = 0; n < 5; ++n)
        QCOMPARE(shownColour(n), PictureServer::colourOf(n, 1).rgb());
}

void TestPreviewCache::clearingTheCacheFromTheMenu()
{
    open(designOf(4, [this](int n) { return mServer->url(n); }));
    QCOMPARE(mCache->count(), 4);
    QAction *clear = nullptr;
    for (QAction *action : mWindow->settingsMenu()->actions()) {
        if (action->text() == QStringLiteral("清除图片缓存"))
            clear = action;
    }
    QVERIFY(clear);
    // The module background's worker reports on the status line when done, which must not
    // land on the clearing's message.
    QTRY_COMPARE(ModuleBackgroundLayer::runningWorkers(), 0);
    Test::settle();
    clear->trigger();
    QTRY_COMPARE(mWindow->statusText(), QStringLiteral("图片缓存已清除"));
    QCOMPARE(mCache->count(), 0);
}

void TestPreviewCache::bigPicturesCostWhatTheyShow()
{
    QByteArray jpeg;
    {
        QImage big(8000, 8000, QImage::Format_Grayscale8);
        big.fill(120);
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(QImageWriter(&buffer, "jpg").write(big));
    }
    mServer->setBig(jpeg);
#ifdef Q_OS_LINUX
    QVERIFY(resetPeakResident());
    const qint64 before = peakResident();
#endif
    DesignLoader::load(mWindow->canvas(), designOf(16, [this](int n) { return mServer->bigUrl(n); }));
    // The first turn of the event loop draws the design put in; the longest time the loop
    // is away after it, while the pictures come in, is what arriving pictures cost.
    QCoreApplication::processEvents();
    QElapsedTimer beat;
    qint64 longest = 0;
    QTimer ticker;
    ticker.setInterval(1);
    connect(&ticker, &QTimer::timeout, this, [&] {
        longest = qMax(longest, beat.restart());
    });
    beat.start();
    ticker.start();
    QTRY_COMPARE_WITH_TIMEOUT(PreviewDownload::pending(), 0, 30000);
    // Until every picture is decoded at the size it is shown.
    const auto allDecoded = [this] {
        for (int n = 0; n < 16; ++n) {
            const PictureObject *object = mWindow->canvas()->pictureById(QString::number(n + 2));
            const QSize size = DecodedPictures::decodeSize(object->naturalSize(), object->shownPixels());
            if (DecodedPictures::find(DecodedPictures::keyOf(object->pictureData()), size).isNull())
                return false;
        }
        return true;
    };
    QTRY_VERIFY_WITH_TIMEOUT(allDecoded(), 30000);
    ticker.stop();
    QVERIFY(BackgroundWork::waitForIdle(60000));
    for (int n = 0; n < 16; ++n) {
        PictureObject *object = mWindow->canvas()->pictureById(QString::number(n + 2));
        QCOMPARE(object->naturalSize(), QSize(8000, 8000));
    }
    QVERIFY(DecodedPictures::usedBytes() <= DecodedPictures::budget());
#ifdef Q_OS_LINUX
    const qint64 grown = peakResident() - before;
    qInfo("16 pictures of 8000 x 8000: peak memory grew by %lld MB, longest stall %lld ms",
          grown / (1024 * 1024), longest);
    // Each one decoded whole would take 244 MB.
    QVERIFY2(grown < qint64(400) * 1024 * 1024, qPrintable(QString::number(grown)));
#endif
}

QTEST_MAIN(TestPreviewCache)
#include "tst_preview_cache.moc"
