#include "components/preview_download.h"

#include "canvas/canvas_repaint.h"
#include "canvas/canvas_surface.h"
#include "canvas/design_canvas.h"
#include "canvas/picture_object.h"
#include "model/background_work.h"
#include "model/kind_table.h"
#include "net/http_client.h"

#include <QCache>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>

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

// Pictures by the bytes they were decoded from, weighed in bytes, so that components
// showing one picture share one copy of it and of its scaled copies. UI thread only.
QCache<QByteArray, QImage> &pictures()
{
    static QCache<QByteArray, QImage> cache(64 * 1024 * 1024);
    return cache;
}

QImage sharedPicture(const QByteArray &body, const QImage &decoded)
{
    if (decoded.isNull())
        return decoded;
    if (const QImage *known = pictures().object(body))
        return *known;
    pictures().insert(body, new QImage(decoded), qMax<qsizetype>(1, decoded.sizeInBytes()));
    return decoded;
}

// What a worker makes of one download: the body, its picture, and the picture at
// the size the object had when the download started.
struct Fetched
{
    QByteArray body;
    QImage picture;
    QImage scaled;
};

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
        // The component keeps its kind's picture; the user learns which address failed.
        if (body.isEmpty() && !arrival.url.isEmpty())
            emit arrival.canvas->statusMessage(QStringLiteral("图片下载失败：") + arrival.url);
        arrival.canvas->setObjectPicture(arrival.componentId, body,
                                         sharedPicture(body, arrival.fetched.picture),
                                         arrival.fetched.scaled);
    }
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
            size = object->size();
    }
    ++pendingCount;

    const quint64 generation = sGeneration.load();
    QPointer<DesignCanvas> target(canvas);
    BackgroundWork::run(
        BackgroundWork::Lane::Downloads, QCoreApplication::instance(),
        [fetch = std::move(fetch), url, generation, size] {
            Fetched fetched;
            if (generation != sGeneration.load())
                return fetched;
            fetched.body = fetch(url);
            // Decoded and scaled here, off the user-interface thread.
            fetched.picture = CanvasSurface::decodePicture(fetched.body);
            if (!fetched.picture.isNull() && !size.isEmpty())
                fetched.scaled = PictureObject::scaledImage(fetched.picture, size);
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
    return [](const QString &address) { return HttpClient::download(address); };
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
