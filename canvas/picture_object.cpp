#include "canvas/picture_object.h"

#include "canvas/canvas_repaint.h"
#include "canvas/canvas_surface.h"
#include "model/kind_table.h"

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

const QString PictureObject::kUnavailableText = QStringLiteral("图片无法显示");

PictureObject::PictureObject(QWidget *parent)
    : QLabel(parent)
{
}

void PictureObject::setKind(const QString &kind)
{
    mKind = kind;
    update();
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
    if (width() <= 0 || height() <= 0)
        return;
    QPainter p(this);
    // Without a placeholder a failed picture would leave an invisible object that
    // can still be pressed and dragged.
    if (mImage.isNull()) {
        paintPlaceholder(p);
        return;
    }
    if (!KindTable::is(mKind, KindTable::Kind::Hotspot)) {
        p.drawPixmap(0, 0, scaledPicture(mImage, size()));
        return;
    }
    p.setOpacity(kHotspotOpacity);
    p.drawPixmap(0, 0, scaledPicture(mImage, size()));
    p.setOpacity(1.0);
    const quint32 bgr = KindTable::kHotspotColour;
    p.setPen(QPen(QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void PictureObject::paintPlaceholder(QPainter &p) const
{
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    // Light enough to read on a dark module background, faint enough to place by.
    p.fillRect(rect(), QColor(255, 255, 255, 150));
    p.setPen(QPen(QColor(96, 96, 96), 1, Qt::DashLine));
    p.drawRect(frame);
    p.setPen(QColor(64, 64, 64));
    const QString text = mKind.isEmpty() ? kUnavailableText : mKind + QLatin1Char('\n') + kUnavailableText;
    p.drawText(frame.adjusted(2, 2, -2, -2), Qt::AlignCenter | Qt::TextWordWrap, text);
}

} // namespace Plumbrook
