#include "canvas/picture_drop.h"

#include "canvas/canvas_surface.h"
#include "canvas/decoded_pictures.h"
#include "canvas/design_canvas.h"
#include "canvas/module_background_layer.h"
#include "canvas/picture_adding.h"
#include "canvas/preview_download.h"
#include "canvas/zoom_mapping.h"
#include "model/background_work.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/module_settings.h"
#include "net/http_client.h"
#include "net/picture_cache.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>
#include <QUndoStack>
#include <QUrl>

#include <memory>

namespace Plumbrook {

struct PictureDrop::Loaded
{
    QByteArray bytes;
    QSize natural;
};

namespace {

using T = ComponentTable;

// Only pictures the designer can fetch or read: web addresses and local files.
QString pictureAddress(const QUrl &url)
{
    if (!url.isValid())
        return {};
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        return url.toString();
    if (url.isLocalFile())
        return QUrl::fromLocalFile(url.toLocalFile()).toString();
    return {};
}

QStringList addressesInHtml(const QString &html)
{
    static const QRegularExpression image(
        QStringLiteral(R"re(<img\b[^>]*?\bsrc\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s>]+)))re"),
        QRegularExpression::CaseInsensitiveOption);
    QStringList addresses;
    for (auto match = image.globalMatch(html); match.hasNext();) {
        const auto found = match.next();
        QString src = found.captured(1) + found.captured(2) + found.captured(3);
        src.replace(QLatin1String("&amp;"), QLatin1String("&"));
        const QString address = pictureAddress(QUrl(src.trimmed()));
        if (!address.isEmpty())
            addresses.append(address);
    }
    return addresses;
}

QStringList addressesInText(const QString &text)
{
    QStringList addresses;
    for (const QString &line : text.split(u'\n', Qt::SkipEmptyParts)) {
        const QString item = line.trimmed();
        if (item.isEmpty())
            continue;
        QString address;
        if (item.contains(QLatin1String("://")))
            address = pictureAddress(QUrl(item));
        else if (QFileInfo(item).isAbsolute() && QFileInfo(item).isFile())
            address = QUrl::fromLocalFile(item).toString();
        if (!address.isEmpty())
            addresses.append(address);
    }
    return addresses;
}

// Runs on a worker: the picture's bytes from its file, the disk cache or the network.
QByteArray loadPicture(const QString &address, PictureCache *cache)
{
    if (QUrl(address).isLocalFile())
        return PreviewDownload::readLocalFile(address);
    if (cache) {
        if (const auto entry = cache->find(address))
            return entry->body;
        return cache->download(address);
    }
    return HttpClient::download(address);
}

} // namespace

PictureDrop::PictureDrop(DesignCanvas *canvas, QLabel *statusLine, QObject *parent)
    : QObject(parent)
    , mCanvas(canvas)
    , mStatusLine(statusLine)
    , mGrow(new QPushButton(QStringLiteral("确定"), statusLine))
{
    mGrow->setObjectName(QStringLiteral("按钮_调整模块高度"));
    mGrow->hide();
    connect(mGrow, &QPushButton::clicked, this, &PictureDrop::growModule);
    // The offer stands until the design changes in another way.
    connect(mCanvas->document()->undoStack(), &QUndoStack::indexChanged, this, [this] {
        if (!mCanvas->document()->isRecording())
            offerHeight(0);
    });
    for (QWidget *widget : {static_cast<QWidget *>(mCanvas->surface()), mCanvas->objectLayer()}) {
        widget->setAcceptDrops(true);
        widget->installEventFilter(this);
    }
}

QStringList PictureDrop::addressesIn(const QMimeData *mime)
{
    if (!mime)
        return {};
    QStringList addresses;
    if (mime->hasUrls()) {
        for (const QUrl &url : mime->urls()) {
            const QString address = pictureAddress(url);
            if (!address.isEmpty())
                addresses.append(address);
        }
    }
    if (addresses.isEmpty() && mime->hasHtml())
        addresses = addressesInHtml(mime->html());
    if (addresses.isEmpty() && mime->hasText())
        addresses = addressesInText(mime->text());
    return addresses;
}

QPoint PictureDrop::modulePointAt(const QPoint &surfacePos) const
{
    return ZoomMapping::toCanvas(surfacePos, mCanvas->zoom()) - mCanvas->backgroundPos();
}

void PictureDrop::place(const QStringList &addresses, const QPoint &modulePoint)
{
    if (addresses.isEmpty())
        return;
    struct Batch
    {
        QList<Loaded> loaded;
        int remaining = 0;
    };
    auto batch = std::make_shared<Batch>();
    batch->loaded.resize(addresses.size());
    batch->remaining = int(addresses.size());
    PictureCache *cache = PreviewDownload::diskCache();
    for (qsizetype i = 0; i < addresses.size(); ++i) {
        BackgroundWork::run(
            BackgroundWork::Lane::Requests, this,
            [address = addresses.at(i), cache] {
                Loaded loaded;
                loaded.bytes = loadPicture(address, cache);
                loaded.natural = DecodedPictures::naturalSize(loaded.bytes);
                return loaded;
            },
            [this, batch, i, addresses, modulePoint](const Loaded &loaded) {
                batch->loaded[i] = loaded;
                if (--batch->remaining == 0)
                    finish(addresses, batch->loaded, modulePoint);
            });
    }
}

void PictureDrop::finish(const QStringList &addresses, const QList<Loaded> &loaded, const QPoint &at)
{
    QStringList failed;
    QStringList addedIds;
    QList<QByteArray> addedBytes;
    int bottom = at.y();
    mCanvas->document()->record(QStringLiteral("添加图片"), [&] {
        for (qsizetype i = 0; i < addresses.size(); ++i) {
            const Loaded &picture = loaded.at(i);
            if (!picture.natural.isValid()) {
                failed.append(addresses.at(i));
                continue;
            }
            const QHash<int, QString> cells{
                {T::Left, QString::number(at.x())},
                {T::Top, QString::number(bottom)},
                {T::Width, QString::number(picture.natural.width())},
                {T::Height, QString::number(picture.natural.height())},
                {T::Picture, addresses.at(i)},
            };
            const int row = PictureAdding::addPicture(mCanvas, cells, picture.bytes);
            if (row >= 1) {
                addedIds.append(mCanvas->table()->cell(row, T::Id));
                addedBytes.append(picture.bytes);
            }
            bottom += picture.natural.height();
        }
    });
    // The canvas shows the new components once the whole step is done.
    QList<QWidget *> added;
    for (qsizetype i = 0; i < addedIds.size(); ++i) {
        mCanvas->setObjectPicture(addedIds.at(i), addedBytes.at(i));
        if (QWidget *object = mCanvas->objectById(addedIds.at(i)))
            added.append(object);
    }
    if (!added.isEmpty())
        mCanvas->selectObjects(added);
    if (!failed.isEmpty())
        emit mCanvas->statusMessage(QStringLiteral("无法读取图片：") + failed.join(QStringLiteral("、")));
    const int moduleHeight = mCanvas->table()->cellInt(0, T::Height);
    offerHeight(!added.isEmpty() && bottom > moduleHeight ? bottom : 0);
    emit placed(int(added.size()));
}

void PictureDrop::offerHeight(int height)
{
    mOfferedHeight = height;
    if (height <= 0 || !mStatusLine) {
        mGrow->hide();
        return;
    }
    emit mCanvas->statusMessage(
        QStringLiteral("图片超出了模块底部，点击“确定”把模块高度改为 %1px").arg(height));
    mGrow->adjustSize();
    mGrow->setFixedHeight(qMin(mGrow->sizeHint().height(), mStatusLine->height()));
    mGrow->move(mStatusLine->width() - mGrow->width() - 2, 0);
    mGrow->show();
    mGrow->raise();
}

void PictureDrop::growModule()
{
    const int height = mOfferedHeight;
    offerHeight(0);
    if (height <= 0)
        return;
    ComponentTable *table = mCanvas->table();
    mCanvas->document()->record(QStringLiteral("模块高度"), [&] {
        ModuleBackgroundLayer::remember(mCanvas);
        ModuleSettings settings = ModuleSettings::load(*table);
        settings.height = QString::number(height);
        settings.save(*table);
        ModuleBackgroundLayer::render(mCanvas);
        table->setCell(0, T::Other4, settings.buildWrapper());
    });
}

bool PictureDrop::pasteClipboard()
{
    const QStringList addresses = addressesIn(QApplication::clipboard()->mimeData());
    if (addresses.isEmpty())
        return false;
    CanvasSurface *surface = mCanvas->surface();
    // The page the canvas scrolls under.
    QWidget *view = surface;
    for (int up = 0; up < 2 && view->parentWidget(); ++up)
        view = view->parentWidget();
    const QPoint pointer = view->mapFromGlobal(QCursor::pos());
    const QPoint inView = view->rect().contains(pointer) ? pointer : QPoint(0, 0);
    place(addresses, modulePointAt(surface->mapFrom(view, inView)));
    return true;
}

bool PictureDrop::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDropEvent *>(event);
        if (addressesIn(drag->mimeData()).isEmpty())
            return false;
        drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        const QStringList addresses = addressesIn(drop->mimeData());
        auto *widget = qobject_cast<QWidget *>(watched);
        if (addresses.isEmpty() || !widget)
            return false;
        drop->acceptProposedAction();
        const QPoint global = widget->mapToGlobal(drop->position().toPoint());
        place(addresses, modulePointAt(mCanvas->surface()->mapFromGlobal(global)));
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}

} // namespace Plumbrook
