#include "canvas/preview_download.h"

#include "canvas/canvas_repaint.h"
#include "canvas/decoded_pictures.h"
#include "canvas/design_canvas.h"
#include "canvas/picture_object.h"
#include "model/background_work.h"
#include "model/kind_table.h"
#include "net/http_client.h"
#include "net/picture_cache.h"

#include <QCache>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QSet>
#include <QUrl>

#include <atomic>

namespace Plumbrook::PreviewDownload {

namespace {

// Latest download started per component id; only touched on the UI thread.
QHash<QString, quint64> &latest()
{
    static QHash<QString, quint64> map;
    return map;
}

quint64 nextTicket = 0;
int pendingCount = 0;
// Raised by discardPending; queued downloads of an older design are not fetched at all.
std::atomic<quint64> sGeneration{0};

// Bodies by URL, weighed in bytes; only touched on the UI thread.
QCache<QString, QByteArray> &bodies()
{
    static QCache<QString, QByteArray> cache(64 * 1024 * 1024);
    return cache;
}

// What a worker makes of one download: the body, its picture's own size, and the
// picture decoded at the size the object was shown at when the download started.
struct Fetched
{
    QByteArray body;
    QSize natural;
    QImage shown;
    bool fromDisk = false;
};

// The per-user cache is found at first use: its folder is named after the application.
bool sDiskCacheChosen = false;
PictureCache *sDiskCache = nullptr;
// Addresses asked about once in this run; the answer holds for every component showing them.
QSet<QString> &revalidated()
{
    static QSet<QString> set;
    return set;
}

void revalidate(DesignCanvas *canvas, const QString &url);

struct Arrival
{
    QPointer<DesignCanvas> canvas;
    QString componentId;
    QString url;
    quint64 ticket = 0;
    Fetched fetched;
};

// Arrivals wait here and land a few milliseconds' worth at a time, so that thousands
// arriving together never hold the user-interface thread for long. UI thread only.
QList<Arrival> &arrivals()
{
    static QList<Arrival> queue;
    return queue;
}
bool sLandingScheduled = false;
constexpr qint64 kSliceNsecs = 4 * 1000 * 1000;

void land(Arrival &arrival)
{
    --pendingCount;
    const QByteArray &body = arrival.fetched.body;
    if (!body.isEmpty())
        bodies().insert(arrival.url, new QByteArray(body), qMax<qsizetype>(1, body.size()));
    if (arrival.canvas && latest().value(arrival.componentId) == arrival.ticket) {
        latest().remove(arrival.componentId);
        arrival.canvas->setObjectPicture(arrival.componentId, body, arrival.fetched.natural,
                                         arrival.fetched.shown);
        // The object shows a placeholder; which address failed is for the user to fix.
        // An emptied address is the user's own doing, and other news may be on the line.
        if (!arrival.fetched.natural.isValid() && !arrival.url.isEmpty())
            emit arrival.canvas->statusMessage(PictureObject::kUnavailableText + QStringLiteral("：")
                                               + arrival.url);
    }
    if (arrival.fetched.fromDisk && arrival.canvas)
        revalidate(arrival.canvas, arrival.url);
}

// The cached copy is shown already; a newer one, when the server has it, replaces it on
// every component showing that address. No answer keeps what is shown.
void revalidate(DesignCanvas *canvas, const QString &url)
{
    PictureCache *cache = diskCache();
    if (revalidated().contains(url) || !cache)
        return;
    revalidated().insert(url);
    QPointer<DesignCanvas> target(canvas);
    BackgroundWork::run(
        BackgroundWork::Lane::Downloads, QCoreApplication::instance(),
        [cache, url] { return cache->revalidate(url); },
        [target, url](PictureCache::Freshness freshness) {
            if (freshness != PictureCache::Freshness::Changed || !target)
                return;
            bodies().remove(url);
            const QList<PictureObject *> objects = target->pictureObjects();
            for (PictureObject *object : objects) {
                if (object->property("previewUrl").toString() == url)
                    start(target, DesignCanvas::tagOf(object), url);
            }
        });
}

void landSome();

void scheduleLanding()
{
    if (sLandingScheduled)
        return;
    sLandingScheduled = true;
    QMetaObject::invokeMethod(BackgroundWork::deliveryContext(), &landSome, Qt::QueuedConnection);
}

void landSome()
{
    sLandingScheduled = false;
    QElapsedTimer slice;
    slice.start();
    while (!arrivals().isEmpty()) {
        Arrival arrival = arrivals().takeFirst();
        land(arrival);
        if (slice.nsecsElapsed() > kSliceNsecs)
            break;
    }
    // The rest after the event loop has turned: painted, typed and clicked.
    if (!arrivals().isEmpty())
        scheduleLanding();
}

} // namespace

void start(DesignCanvas *canvas, const QString &componentId, const QString &url, Fetch fetch)
{
    if (!canvas)
        return;
    PictureCache *disk = fetch ? nullptr : diskCache();
    if (!fetch)
        fetch = [](const QString &address) { return HttpClient::download(address); };

    const quint64 ticket = ++nextTicket;
    latest().insert(componentId, ticket);
    // Scaled ahead for objects in view only: those wait for it, and a screenful of
    // scaled pictures is all the memory it takes while arrivals queue.
    QSize size;
    if (PictureObject *object = canvas->pictureById(componentId)) {
        object->setProperty("previewUrl", url);
        if (CanvasRepaint::inView(object))
            size = object->shownPixels();
    }
    ++pendingCount;

    const quint64 generation = sGeneration.load();
    QPointer<DesignCanvas> target(canvas);
    BackgroundWork::run(
        BackgroundWork::Lane::Downloads, QCoreApplication::instance(),
        [fetch = std::move(fetch), disk, url, generation, size] {
            Fetched fetched;
            if (generation != sGeneration.load())
                return fetched;
            if (QUrl(url).isLocalFile()) {
                fetched.body = readLocalFile(url);
            } else if (disk) {
                if (const auto entry = disk->find(url)) {
                    fetched.body = entry->body;
                    fetched.fromDisk = true;
                } else {
                    fetched.body = disk->download(url);
                }
            } else {
                fetched.body = fetch(url);
            }
            // Decoded here, off the user-interface thread, and only as large as it is shown.
            fetched.natural = DecodedPictures::naturalSize(fetched.body);
            if (fetched.natural.isValid() && !size.isEmpty()) {
                fetched.shown = DecodedPictures::decode(
                    fetched.body, DecodedPictures::decodeSize(fetched.natural, size));
                if (fetched.shown.isNull())
                    fetched.natural = {};
            }
            return fetched;
        },
        [target, componentId, url, ticket](const Fetched &fetched) {
            arrivals().append({target, componentId, url, ticket, fetched});
            scheduleLanding();
        });
}

Fetch fetchOf(const QString &kind)
{
    const KindTable::KindInfo *info = KindTable::find(kind);
    if (info && info->previewBySiteRequest)
        return [](const QString &address) {
            return HttpClient::siteRequest(address, 0, {}, HttpClient::Jar::None);
        };
    return {};
}

void setDiskCache(PictureCache *cache)
{
    sDiskCacheChosen = true;
    sDiskCache = cache;
    revalidated().clear();
}

PictureCache *diskCache()
{
    return sDiskCacheChosen ? sDiskCache : &PictureCache::shared();
}

void forgetRevalidations()
{
    revalidated().clear();
}

void forgetRevalidation(const QString &url)
{
    revalidated().remove(url);
}

void discardPending()
{
    latest().clear();
    ++sGeneration;
}

int pending()
{
    return pendingCount;
}

QByteArray cached(const QString &url)
{
    const QByteArray *body = bodies().object(url);
    return body ? *body : QByteArray();
}

} // namespace Plumbrook::PreviewDownload

namespace Plumbrook::PreviewDownload {

void remember(const QString &url, const QByteArray &bytes)
{
    if (!url.isEmpty() && !bytes.isEmpty())
        bodies().insert(url, new QByteArray(bytes), qMax<qsizetype>(1, bytes.size()));
}

QByteArray readLocalFile(const QString &url)
{
    const QUrl address(url);
    if (!address.isLocalFile())
        return {};
    QFile file(address.toLocalFile());
    if (!file.open(QIODevice::ReadOnly) || file.size() > HttpClient::limits().maxBodyBytes)
        return {};
    return file.readAll();
}

} // namespace Plumbrook::PreviewDownload
