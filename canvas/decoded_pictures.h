#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

namespace Plumbrook {

// Holds the decoded pictures the canvas shows, each at the size it is shown, all within
// one memory budget; the least recently shown go first and are decoded again when shown.
//
// The cache is used on the user-interface thread only; decoding may run anywhere.
namespace DecodedPictures {

inline constexpr qint64 kDefaultBudget = qint64(256) * 1024 * 1024;
// Decoding is done on the user-interface thread only for pictures up to this many pixels.
inline constexpr qint64 kQuickPixels = qint64(1) << 21;
// No copy is decoded larger than this many pixels; larger views draw it stretched.
inline constexpr qint64 kLargestPixels = qint64(4096) * 4096;

// Identifies a picture by its bytes, computed once per picture.
quint64 keyOf(const QByteArray &bytes);

// The picture's own size from its header, without decoding it; invalid when unreadable.
QSize naturalSize(const QByteArray &bytes);
// How many times its own pixels a picture may be decoded at, shown enlarged.
inline constexpr qint64 kMostEnlargement = 4;
// The size a picture shown at `target` device pixels is decoded at: the shown size, unless
// that is more than kMostEnlargement times the picture's own pixels (then no larger than
// the picture itself); never more than kLargestPixels, keeping the shown proportions.
QSize decodeSize(const QSize &natural, const QSize &target);
// Decodes at `size` (QImageReader::setScaledSize where the format allows); null on failure.
QImage decode(const QByteArray &bytes, const QSize &size);

// The picture decoded at `size`, counting as shown now; null when not held.
QImage find(quint64 key, const QSize &size);
void insert(quint64 key, const QImage &image);

qint64 budget();
void setBudget(qint64 bytes);
qint64 usedBytes();
void clear();

} // namespace DecodedPictures
} // namespace Plumbrook
