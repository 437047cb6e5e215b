#include "canvas/picture_object.h"

#include "canvas/canvas_repaint.h"
#include "canvas/canvas_surface.h"

#include <QPainter>
#include <QPixmapCache>

namespace Plumbrook {

namespace {

// Several screens full of distinct pictures, each at its object's size.
constexpr int kScaledCacheKilobytes = 32 * 1024;

QString scaledKey(const QImage &image, const QSize &size)
{
    static const bool limited = [] {
        QPixmapCache::setCacheLimit(qMax(QPixmapCache::cacheLimit(), kScaledCacheKilobytes));
        return true;
    }();
    Q_UNUSED(limited);
    return QStringLiteral("plumbrook %1 %2x%3").arg(image.cacheKey()).arg(size.width()).arg(size.height());
}

} // namespace

PictureObject::PictureObject(QWidget *parent)
    : QLabel(parent)
{
}

bool PictureObject::setPictureData(const QByteArray &bytes)
{
    mData = bytes;
    mImage = CanvasSurface::decodePicture(bytes);
    CanvasRepaint::objectArea(this);
    return !mImage.isNull();
}

void PictureObject::setPictureData(const QByteArray &bytes, const QImage &decoded, const QImage &scaled)
{
    mData = bytes;
    mImage = decoded;
    // Kept only for an object in view: the others would push out of the cache the
    // pictures that are shown.
    if (!decoded.isNull() && scaled.size() == size() && CanvasRepaint::inView(this))
        QPixmapCache::insert(scaledKey(decoded, size()), QPixmap::fromImage(scaled));
    CanvasRepaint::objectArea(this);
}

QImage PictureObject::scaledImage(const QImage &image, const QSize &size)
{
    return image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QPixmap PictureObject::scaledPicture(const QImage &image, const QSize &size)
{
    const QString key = scaledKey(image, size);
    QPixmap pixmap;
    if (!QPixmapCache::find(key, &pixmap)) {
        pixmap = QPixmap::fromImage(scaledImage(image, size));
        QPixmapCache::insert(key, pixmap);
    }
    return pixmap;
}

void PictureObject::paintEvent(QPaintEvent *)
{
    if (mImage.isNull() || width() <= 0 || height() <= 0)
        return;
    QPainter p(this);
    // A copy at a size no memory holds (a width typed as 99999999) is never made: the
    // painter scales what is in view instead.
    if (qint64(width()) * height() > 64LL * 1024 * 1024) {
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(rect(), mImage);
        return;
    }
    p.drawPixmap(0, 0, scaledPicture(mImage, size()));
}

} // namespace Plumbrook
