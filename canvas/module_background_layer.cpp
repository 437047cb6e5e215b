#include "canvas/module_background_layer.h"

#include "canvas/canvas_surface.h"
#include "canvas/design_canvas.h"
#include "model/frame_picture.h"
#include "model/text_ops.h"
#include "model/background_work.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "net/http_client.h"

#include <QCache>
#include <QCoreApplication>
#include <QHash>
#include <QPointer>

namespace Plumbrook {

namespace {

const QString kSettingMessage = QStringLiteral("正在设置背景层参数，请稍候");
const QString kLoadingMessage = QStringLiteral("正在加载背景图片，请稍候");
const QString kDoneMessage = QStringLiteral("背景层参数设置完成");

// The decoder refuses pictures over 256 MiB of 32-bit pixels; a block that size
// is not worth drawing only to be refused.
constexpr qint64 kMaxBlockPixels = qint64(64) * 1024 * 1024;

// Only touched on the user-interface thread.
int sRunning = 0;

// Each canvas's count of the times its running workers were made stale (a kept picture
// shown by undo or redo, another design taken): a worker started before the count
// moved is only kept when it arrives. Workers among themselves land in the order they
// arrive. Touched on the user-interface thread only.
QHash<const DesignCanvas *, int> &generations()
{
    static QHash<const DesignCanvas *, int> counts;
    return counts;
}

int generationOf(const DesignCanvas *canvas)
{
    return generations().value(canvas);
}

void bumpGeneration(DesignCanvas *canvas)
{
    auto found = generations().find(canvas);
    if (found == generations().end()) {
        found = generations().insert(canvas, 0);
        QObject::connect(canvas, &QObject::destroyed, QCoreApplication::instance(),
                         [canvas] { generations().remove(canvas); });
    }
    ++*found;
}

// Pictures by what they were rendered from, in bytes; touched on the UI thread only.
QCache<QString, QImage> &pictureCache()
{
    static QCache<QString, QImage> cache(64 * 1024 * 1024);
    return cache;
}

void keep(const QString &key, const QImage &picture)
{
    if (!picture.isNull())
        pictureCache().insert(key, new QImage(picture), qMax<qsizetype>(1, picture.sizeInBytes()));
}

} // namespace

QString ModuleBackgroundLayer::fetchUrl(const QString &picture)
{
    if (!picture.contains(QStringLiteral("//")))
        return {};
    QString url = picture;
    if (!url.contains(QStringLiteral("http")))
        url.prepend(QStringLiteral("http:"));
    // Background pictures are always fetched over plain HTTP.
    const qsizetype https = url.indexOf(QStringLiteral("https"));
    if (https >= 0)
        url.replace(https, 5, QStringLiteral("http"));
    return url;
}

QImage ModuleBackgroundLayer::producePicture(const Request &request)
{
    const QString url = fetchUrl(request.picture);
    QByteArray bytes;
    if (url.isEmpty()) {
        const int width = TextOps::toInt(request.width);
        const int height = TextOps::toInt(request.height);
        const auto colour = ColourValue(TextOps::toInt(request.colour));
        if (qint64(width) * height <= kMaxBlockPixels)
            bytes = makeFramePicture(width, height, colour, colour);
    } else {
        bytes = HttpClient::download(url);
    }
    return CanvasSurface::decodePicture(bytes);
}

ModuleBackgroundLayer::Request ModuleBackgroundLayer::requestOf(const DesignCanvas *canvas)
{
    const ComponentTable *table = canvas->table();
    return {table->cell(0, ComponentTable::Picture), table->cell(0, ComponentTable::Width),
            table->cell(0, ComponentTable::Height), table->cell(0, ComponentTable::BgColor)};
}

QString ModuleBackgroundLayer::keyOf(const Request &request)
{
    const QString url = fetchUrl(request.picture);
    if (!url.isEmpty())
        return QStringLiteral("url ") + url;
    return QStringLiteral("block %1 %2 %3").arg(request.width, request.height, request.colour);
}

void ModuleBackgroundLayer::remember(DesignCanvas *canvas)
{
    keep(keyOf(requestOf(canvas)), canvas->surface()->spriteImage(canvas->backgroundId()));
}

bool ModuleBackgroundLayer::showCached(DesignCanvas *canvas)
{
    const QImage *picture = pictureCache().object(keyOf(requestOf(canvas)));
    if (!picture)
        return false;
    bumpGeneration(canvas);
    apply(canvas, *picture);
    return true;
}

void ModuleBackgroundLayer::forgetRunning(DesignCanvas *canvas)
{
    bumpGeneration(canvas);
}

void ModuleBackgroundLayer::render(DesignCanvas *canvas, const std::function<void()> &applied)
{
    const Request request = requestOf(canvas);
    const QString key = keyOf(request);
    const int generation = generationOf(canvas);

    emit canvas->statusMessage(kSettingMessage);
    if (!fetchUrl(request.picture).isEmpty())
        emit canvas->statusMessage(kLoadingMessage);
    ++sRunning;
    // The count drops even when the canvas went first, so that waiting on it ends.
    QPointer<DesignCanvas> target(canvas);
    BackgroundWork::run(
        BackgroundWork::Lane::Requests, QCoreApplication::instance(),
        [request] { return producePicture(request); },
        [target, key, generation, applied](const QImage &picture) {
            --sRunning;
            keep(key, picture);
            if (!target || generation != generationOf(target))
                return;
            apply(target, picture);
            if (applied)
                applied();
        });
}

void ModuleBackgroundLayer::apply(DesignCanvas *canvas, const QImage &picture)
{
    // A picture that could not be had leaves the one the object already shows.
    if (!picture.isNull())
        canvas->surface()->setSpriteImage(canvas->backgroundId(), picture);
    const QSize size = canvas->backgroundPictureSize();
    ComponentTable *table = canvas->table();
    canvas->document()->writeUnstepped([&] {
        table->setCell(0, ComponentTable::Width, QString::number(size.width()));
        table->setCell(0, ComponentTable::Height, QString::number(size.height()));
        table->setCell(0, ComponentTable::Left, QStringLiteral("0"));
    });
    canvas->centreBackground(size.width());
    emit canvas->statusMessage(kDoneMessage);
}

int ModuleBackgroundLayer::runningWorkers()
{
    return sRunning;
}

} // namespace Plumbrook
