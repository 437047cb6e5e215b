#include "canvas/decoded_pictures.h"

#include <QBuffer>
#include <QCache>
#include <QImageReader>
#include <QSemaphore>

#include <cmath>

namespace Plumbrook::DecodedPictures {

namespace {

struct Key
{
    quint64 picture = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const Key &a, const Key &b) = default;
};

size_t qHash(const Key &key, size_t seed = 0)
{
    return ::qHash(key.picture, seed) ^ ::qHash((quint64(key.width) << 32) | quint32(key.height), seed);
}

QCache<Key, QImage> &held()
{
    static QCache<Key, QImage> cache(kDefaultBudget);
    return cache;
}

} // namespace

quint64 keyOf(const QByteArray &bytes)
{
    return quint64(::qHash(bytes, 0x5eed)) ^ (quint64(bytes.size()) << 40);
}

QSize naturalSize(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return {};
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    return size.width() >= 1 && size.height() >= 1 ? size : QSize();
}

QSize decodeSize(const QSize &natural, const QSize &target)
{
    if (natural.isEmpty() || target.isEmpty())
        return {};
    // A picture shown up to twice as wide and high as it is is kept at the shown size:
    // scaled on every paint it cost more than the memory once many were in view.
    // Shown larger still (zoomed far in), it stays at its own size and is scaled on paint.
    const bool enlargedALittle = qint64(target.width()) * target.height()
                                 <= kMostEnlargement * qint64(natural.width()) * natural.height();
    QSize size = enlargedALittle ? target
                                 : QSize(qMin(natural.width(), target.width()), qMin(natural.height(), target.height()));
    const qint64 pixels = qint64(size.width()) * size.height();
    if (pixels > kLargestPixels) {
        const double shrink = std::sqrt(double(kLargestPixels) / double(pixels));
        size = QSize(qMax(1, int(size.width() * shrink)), qMax(1, int(size.height() * shrink)));
    }
    return size;
}

QImage decode(const QByteArray &bytes, const QSize &size)
{
    if (bytes.isEmpty() || size.isEmpty())
        return {};
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    // Refuses absurd declared sizes (decompression bombs) before allocating.
    reader.setAllocationLimit(256);
    const bool scaledWhileRead = reader.supportsOption(QImageIOHandler::ScaledSize);
    if (scaledWhileRead)
        reader.setScaledSize(size);
    // A large picture read whole takes its full size in memory for a moment: one at a
    // time, so that pictures arriving together stay within what one of them takes.
    const QSize natural = reader.size();
    const bool large = !scaledWhileRead && qint64(natural.width()) * natural.height() > kLargestPixels / 4;
    static QSemaphore wholeReads(1);
    if (large)
        wholeReads.acquire();
    QImage image = reader.read();
    if (!image.isNull() && image.width() >= 1 && image.height() >= 1 && image.size() != size)
        image = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (large)
        wholeReads.release();
    if (image.isNull() || image.width() < 1 || image.height() < 1)
        return {};
    // The formats the raster engine copies or blends straight: any other (a GIF's
    // palette, a PNG's unpremultiplied alpha) is converted again on every paint.
    return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                         : QImage::Format_RGB32);
}

QImage find(quint64 key, const QSize &size)
{
    const QImage *image = held().object(Key{key, size.width(), size.height()});
    return image ? *image : QImage();
}

void insert(quint64 key, const QImage &image)
{
    if (image.isNull())
        return;
    held().insert(Key{key, image.width(), image.height()}, new QImage(image),
                  qMax<qsizetype>(1, image.sizeInBytes()));
}

qint64 budget()
{
    return held().maxCost();
}

void setBudget(qint64 bytes)
{
    held().setMaxCost(qsizetype(bytes));
}

qint64 usedBytes()
{
    return held().totalCost();
}

void clear()
{
    held().clear();
}

} // namespace Plumbrook::DecodedPictures
