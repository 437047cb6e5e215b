#include "components/preview_download.h"

#include "canvas/design_canvas.h"
#include "canvas/picture_object.h"
#include "net/http_client.h"

#include <QCache>
#include <QHash>
#include <QThread>
#include <memory>

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

    auto body = std::make_shared<QByteArray>();
    QThread *worker = QThread::create([fetch, url, body] { *body = fetch(url); });
    // Delivered through the worker's finished signal, queued to the canvas's
    // thread; a destroyed canvas takes the connection with it.
    QObject::connect(worker, &QThread::finished, canvas, [canvas, componentId, url, ticket, body] {
        if (!body->isEmpty())
            bodies().insert(url, new QByteArray(*body), qMax<qsizetype>(1, body->size()));
        if (latest().value(componentId) == ticket) {
            latest().remove(componentId);
            canvas->setObjectPicture(componentId, *body);
        }
    });
    QObject::connect(worker, &QThread::finished, worker, [worker] {
        --pendingCount;
        worker->deleteLater();
    });
    worker->start();
}

void discardPending()
{
    latest().clear();
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
