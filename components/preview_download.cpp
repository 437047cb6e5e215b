#include "components/preview_download.h"

#include "canvas/design_canvas.h"
#include "canvas/picture_object.h"
#include "model/background_work.h"
#include "model/kind_table.h"
#include "net/http_client.h"

#include <QCache>
#include <QCoreApplication>
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

} // namespace

void start(DesignCanvas *canvas, const QString &componentId, const QString &url, Fetch fetch)
{
    if (!canvas)
        return;
    if (!fetch)
        fetch = [](const QString &address) { return HttpClient::download(address); };

    const quint64 ticket = ++nextTicket;
    latest().insert(componentId, ticket);
    if (PictureObject *object = canvas->pictureById(componentId))
        object->setProperty("previewUrl", url);
    ++pendingCount;

    const quint64 generation = sGeneration.load();
    QPointer<DesignCanvas> target(canvas);
    BackgroundWork::run(
        BackgroundWork::Lane::Downloads, QCoreApplication::instance(),
        [fetch = std::move(fetch), url, generation] {
            return generation == sGeneration.load() ? fetch(url) : QByteArray();
        },
        [target, componentId, url, ticket](const QByteArray &body) {
            --pendingCount;
            if (!body.isEmpty())
                bodies().insert(url, new QByteArray(body), qMax<qsizetype>(1, body.size()));
            if (target && latest().value(componentId) == ticket) {
                latest().remove(componentId);
                target->setObjectPicture(componentId, body);
            }
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
