#include "model/frame_picture.h"

#include <QtEndian>

namespace Plumbrook {

namespace {

constexpr int HeaderSize = 54;
constexpr qint64 MaxPixelBytes = 256ll * 1024 * 1024;

void putLe32(char *at, quint32 value)
{
    qToLittleEndian(value, at);
}

void putLe16(char *at, quint16 value)
{
    qToLittleEndian(value, at);
}

} // namespace

QByteArray makeFramePicture(int width, int height, ColourValue fill, ColourValue border)
{
    if (width < 1 || height < 1)
        return {};
    const qint64 stride = (qint64(width) * 3 + 3) & ~qint64(3);
    const qint64 pixelBytes = stride * height;
    if (pixelBytes > MaxPixelBytes)
        return {};

    QByteArray bmp(HeaderSize + pixelBytes, '\0');
    char *d = bmp.data();
    d[0] = 'B';
    d[1] = 'M';
    putLe32(d + 2, quint32(bmp.size()));
    putLe32(d + 10, HeaderSize);
    putLe32(d + 14, 40);
    putLe32(d + 18, quint32(width));
    putLe32(d + 22, quint32(height));
    putLe16(d + 26, 1);
    putLe16(d + 28, 24);
    putLe32(d + 34, quint32(pixelBytes));

    auto setPixel = [&](int x, int y, ColourValue c) {
        if (x < 0 || y < 0 || x >= width || y >= height)
            return;
        // BMP rows run bottom-up and store blue, green, red.
        char *p = d + HeaderSize + stride * (height - 1 - y) + qint64(x) * 3;
        p[0] = char((c >> 16) & 0xff);
        p[1] = char((c >> 8) & 0xff);
        p[2] = char(c & 0xff);
    };

    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            setPixel(x, y, fill);
    }
    for (int x : {0, 1, width - 2, width - 1}) {
        for (int y = 0; y < height; ++y)
            setPixel(x, y, border);
    }
    for (int y : {0, 1, height - 2, height - 1}) {
        for (int x = 0; x < width; ++x)
            setPixel(x, y, border);
    }
    return bmp;
}

} // namespace Plumbrook
