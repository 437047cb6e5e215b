#include "canvas/decoded_pictures.h"
#include "canvas/picture_object.h"
#include "model/background_work.h"
#include "support/editor_driving.h"

#include <QBuffer>
#include <QImageWriter>
#include <QTest>

using namespace Plumbrook;

namespace {

QByteArray encoded(const QSize &size, const char *format, const QColor &colour = Qt::darkGreen)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, format).write(image);
    return bytes;
}

} // namespace

class TestDecodedPictures : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void decodeSize_data();
    void decodeSize();
    void decodedAtTheShownSize_data();
    void decodedAtTheShownSize();
    void budgetDropsLeastRecentlyShown();
    void objectShowsLargePictureDecodedLater();
    void objectDecodesAgainWhenShownLarger();
};

void TestDecodedPictures::cleanup()
{
    DecodedPictures::setBudget(DecodedPictures::kDefaultBudget);
    DecodedPictures::clear();
}

void TestDecodedPictures::decodeSize_data()
{
    QTest::addColumn<QSize>("natural");
    QTest::addColumn<QSize>("target");
    QTest::addColumn<QSize>("expected");
    QTest::newRow("shown smaller") << QSize(8000, 8000) << QSize(180, 220) << QSize(180, 220);
    QTest::newRow("shown twice as large: the shown size") << QSize(100, 50) << QSize(200, 100) << QSize(200, 100);
    QTest::newRow("shown a little larger: the shown size") << QSize(307, 427) << QSize(475, 600) << QSize(475, 600);
    QTest::newRow("shown four times as large: its own size") << QSize(100, 50) << QSize(400, 200) << QSize(100, 50);
    QTest::newRow("just past twice as large: its own size") << QSize(100, 50) << QSize(201, 100) << QSize(100, 50);
    QTest::newRow("wider, lower") << QSize(100, 500) << QSize(300, 40) << QSize(300, 40);
    QTest::newRow("much wider, lower: no wider than it is") << QSize(100, 500) << QSize(3000, 100) << QSize(100, 100);
    QTest::newRow("huge view, kept within the largest")
        << QSize(20000, 20000) << QSize(8000, 8000) << QSize(4096, 4096);
    QTest::newRow("no view") << QSize(100, 100) << QSize() << QSize();
    QTest::newRow("no picture") << QSize() << QSize(10, 10) << QSize();
}

void TestDecodedPictures::decodeSize()
{
    QFETCH(QSize, natural);
    QFETCH(QSize, target);
    QFETCH(QSize, expected);
    QCOMPARE(DecodedPictures::decodeSize(natural, target), expected);
}

void TestDecodedPictures::decodedAtTheShownSize_data()
{
    QTest::addColumn<QByteArray>("format");
    QTest::newRow("JPEG, scaled while read") << QByteArray("jpg");
    QTest::newRow("PNG") << QByteArray("png");
    QTest::newRow("BMP") << QByteArray("bmp");
}

void TestDecodedPictures::decodedAtTheShownSize()
{
    QFETCH(QByteArray, format);
    const QByteArray bytes = encoded(QSize(1600, 1200), format.constData(), Qt::red);
    QCOMPARE(DecodedPictures::naturalSize(bytes), QSize(1600, 1200));
    const QImage image = DecodedPictures::decode(bytes, QSize(160, 90));
    QCOMPARE(image.size(), QSize(160, 90));
    const QColor centre = image.pixelColor(80, 45);
    QVERIFY2(centre.red() > 200 && centre.green() < 60, qPrintable(centre.name()));
    QVERIFY(DecodedPictures::decode("not a picture", QSize(10, 10)).isNull());
    QVERIFY(!DecodedPictures::naturalSize("not a picture").isValid());
}

void TestDecodedPictures::budgetDropsLeastRecentlyShown()
{
    QImage image(100, 100, QImage::Format_ARGB32);   // 40,000 bytes
    image.fill(Qt::blue);
    DecodedPictures::setBudget(100000);
    DecodedPictures::insert(1, image);
    DecodedPictures::insert(2, image);
    QVERIFY(!DecodedPictures::find(1, QSize(100, 100)).isNull());   // 1 shown later than 2
    DecodedPictures::insert(3, image);
    QVERIFY(DecodedPictures::usedBytes() <= DecodedPictures::budget());
    QVERIFY(DecodedPictures::find(2, QSize(100, 100)).isNull());
    QVERIFY(!DecodedPictures::find(1, QSize(100, 100)).isNull());
    QVERIFY(!DecodedPictures::find(3, QSize(100, 100)).isNull());
    QVERIFY(DecodedPictures::find(3, QSize(50, 50)).isNull());
}

void TestDecodedPictures::objectShowsLargePictureDecodedLater()
{
    const QByteArray bytes = encoded(QSize(3000, 2000), "jpg", Qt::blue);
    PictureObject object;
    object.resize(150, 100);
    object.show();
    QVERIFY(QTest::qWaitForWindowExposed(&object));
    QVERIFY(object.setPictureData(bytes));
    object.update();
    QCOMPARE(object.naturalSize(), QSize(3000, 2000));
    const quint64 key = DecodedPictures::keyOf(bytes);
    const QSize shown = object.shownPixels();
    // Not decoded on the painting thread: it arrives from a worker and is painted then.
    QTRY_VERIFY(!DecodedPictures::find(key, shown).isNull());
    QTRY_COMPARE(object.grab().toImage().pixelColor(75, 50).blue() > 200, true);
    QVERIFY(DecodedPictures::usedBytes() < 3000 * 2000);
}

void TestDecodedPictures::objectDecodesAgainWhenShownLarger()
{
    const QByteArray bytes = Test::png(Qt::yellow, QSize(400, 300));
    PictureObject object;
    object.resize(40, 30);
    object.show();
    QVERIFY(QTest::qWaitForWindowExposed(&object));
    QVERIFY(object.setPictureData(bytes));
    object.repaint();
    const quint64 key = DecodedPictures::keyOf(bytes);
    QVERIFY(!DecodedPictures::find(key, object.shownPixels()).isNull());
    object.resize(200, 150);
    object.repaint();
    QCOMPARE(DecodedPictures::find(key, object.shownPixels()).size(), object.shownPixels());
    QCOMPARE(object.grab().toImage().pixelColor(100, 75), QColor(Qt::yellow));
}

QTEST_MAIN(TestDecodedPictures)
#include "tst_decoded_pictures.moc"
