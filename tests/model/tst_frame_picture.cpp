#include "model/frame_picture.h"

#include <QImage>
#include <QTest>
#include <QtEndian>

using namespace Plumbrook;

namespace {

quint32 le32(const QByteArray &b, int at)
{
    // A picture too short for its header reads as zero, not past its end.
    if (at < 0 || at + 4 > b.size())
        return 0;
    return qFromLittleEndian<quint32>(b.constData() + at);
}

// Colour value (red low) of pixel (x, y), read straight from the BMP bytes.
quint32 pixel(const QByteArray &bmp, int x, int y)
{
    const int width = int(le32(bmp, 18));
    const int height = int(le32(bmp, 22));
    const int stride = (width * 3 + 3) & ~3;
    const auto *p = reinterpret_cast<const uchar *>(bmp.constData()) + 54
        + stride * (height - 1 - y) + x * 3;
    return quint32(p[2]) | quint32(p[1]) << 8 | quint32(p[0]) << 16;
}

} // namespace

class TestFramePicture : public QObject
{
    Q_OBJECT

private slots:
    void singlePixelBytes();
    void pixels_data();
    void pixels();
    void decodesAsBmp();
    void degenerateSizes_data();
    void degenerateSizes();
};

void TestFramePicture::singlePixelBytes()
{
    const QByteArray expected = QByteArray::fromHex(
        "424d" "3a000000" "00000000" "36000000"
        "28000000" "01000000" "01000000" "0100" "1800" "00000000" "04000000"
        "00000000" "00000000" "00000000" "00000000"
        "0000ff" "00");
    // Border red (0x0000FF as a colour value), fill green: one pixel is all border.
    QCOMPARE(makeFramePicture(1, 1, 0x00FF00, 0x0000FF), expected);
}

void TestFramePicture::pixels_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<uint>("fill");
    QTest::addColumn<uint>("border");
    QTest::newRow("4x4 all border") << 4 << 4 << 0x8050FFu << 0x80E000u;
    QTest::newRow("100x100 magenta") << 100 << 100 << 0xFF00FFu << 0xFF00FFu;
    QTest::newRow("100x100 two colours") << 100 << 100 << 0x123456u << 0xABCDEFu;
    QTest::newRow("odd stride 5x3") << 5 << 3 << 0x010203u << 0x040506u;
    QTest::newRow("7x9") << 7 << 9 << 0x8445952u << 0x00FF00u;
}

void TestFramePicture::pixels()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(uint, fill);
    QFETCH(uint, border);
    const QByteArray bmp = makeFramePicture(width, height, fill, border);
    const int stride = (width * 3 + 3) & ~3;
    QCOMPARE(bmp.size(), 54 + stride * height);
    QCOMPARE(bmp.left(2), QByteArray("BM"));
    QCOMPARE(le32(bmp, 2), quint32(bmp.size()));
    QCOMPARE(le32(bmp, 10), 54u);
    QCOMPARE(le32(bmp, 18), quint32(width));
    QCOMPARE(le32(bmp, 22), quint32(height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool onBorder = x < 2 || y < 2 || x >= width - 2 || y >= height - 2;
            QCOMPARE(pixel(bmp, x, y), quint32(onBorder ? border : fill) & 0xFFFFFF);
        }
        // Row padding stays zero.
        for (int pad = width * 3; pad < stride; ++pad)
            QCOMPARE(bmp.at(54 + stride * y + pad), '\0');
    }
}

void TestFramePicture::decodesAsBmp()
{
    const QImage image = QImage::fromData(makeFramePicture(20, 10, 0x0000FF, 0x00FF00), "BMP");
    QCOMPARE(image.size(), QSize(20, 10));
    QCOMPARE(image.pixelColor(10, 5), QColor(255, 0, 0));
    QCOMPARE(image.pixelColor(0, 0), QColor(0, 255, 0));
}

void TestFramePicture::degenerateSizes_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<bool>("empty");
    QTest::newRow("zero") << 0 << 0 << true;
    QTest::newRow("negative") << -5 << 10 << true;
    QTest::newRow("absurd") << 100000 << 100000 << true;
    QTest::newRow("thin 1x50") << 1 << 50 << false;
    QTest::newRow("wide 3000x1") << 3000 << 1 << false;
}

void TestFramePicture::degenerateSizes()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(bool, empty);
    QCOMPARE(makeFramePicture(width, height, 1, 2).isEmpty(), empty);
}

QTEST_GUILESS_MAIN(TestFramePicture)
#include "tst_frame_picture.moc"
