#include "model/colour_conversion.h"

#include <QTest>

using namespace Plumbrook;

class TestColourConversion : public QObject
{
    Q_OBJECT

private slots:
    void colourText_data();
    void colourText();
};

void TestColourConversion::colourText_data()
{
    QTest::addColumn<qint64>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("red is the low byte") << qint64(0x0000FF) << "#FF0000";
    QTest::newRow("green") << qint64(0x00FF00) << "#00FF00";
    QTest::newRow("blue is the high byte") << qint64(0xFF0000) << "#0000FF";
    QTest::newRow("mixed") << qint64(0x563412) << "#123456";
    QTest::newRow("module's initial colour") << qint64(8445952) << "#00E080";
    QTest::newRow("lower-case never") << qint64(0xabcdef) << "#EFCDAB";
    QTest::newRow("zero") << qint64(0) << "#000000";
    QTest::newRow("negative") << qint64(-5) << "#000000";
    QTest::newRow("seven digits use the first six") << qint64(0x1234567) << "#563412";
}

void TestColourConversion::colourText()
{
    QFETCH(qint64, value);
    QFETCH(QString, text);
    QCOMPARE(ColourConversion::colourText(value), text);
}

QTEST_MAIN(TestColourConversion)
#include "tst_colour_conversion.moc"
