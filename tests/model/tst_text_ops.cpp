#include "model/text_ops.h"

#include <QtTest>

using namespace Plumbrook;

class TestTextOps : public QObject
{
    Q_OBJECT

private slots:
    void replace_data();
    void replace();
    void count_data();
    void count();
    void between_data();
    void between();
    void toInt_data();
    void toInt();
    void zoomFactor_data();
    void zoomFactor();
    void formatNumber_data();
    void formatNumber();
    void urlEncode_data();
    void urlEncode();
    void trimmed_data();
    void trimmed();
    void gbk();
};

void TestTextOps::replace_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("replaced");
    QTest::newRow("first only") << "{w}x{w}x{w}" << "{w}" << "5" << 1 << "5x{w}x{w}" << 1;
    QTest::newRow("limit above count") << "{w}x{w}" << "{w}" << "5" << 5 << "5x5" << 2;
    QTest::newRow("all") << "aaa" << "a" << "b" << -1 << "bbb" << 3;
    QTest::newRow("limit 0") << "aaa" << "a" << "b" << 0 << "aaa" << 0;
    QTest::newRow("empty search") << "aaa" << "" << "b" << -1 << "aaa" << 0;
    QTest::newRow("no rescan") << "ab" << "a" << "aa" << -1 << "aab" << 1;
    QTest::newRow("replacement holds search") << "{x}{x}" << "{x}" << "{x}{x}" << 2 << "{x}{x}{x}{x}" << 2;
    QTest::newRow("non-overlapping") << "aaaa" << "aa" << "b" << -1 << "bb" << 2;
    QTest::newRow("overlap resumes after match") << "aaa" << "aa" << "b" << -1 << "ba" << 1;
    QTest::newRow("case-sensitive") << "Px px" << "px" << "pt" << -1 << "Px pt" << 1;
    QTest::newRow("empty replacement") << "a-b-c" << "-" << "" << -1 << "abc" << 2;
    QTest::newRow("Chinese") << "微软雅黑微软雅黑" << "微软雅黑" << "宋体" << 1 << "宋体微软雅黑" << 1;
    // A character outside the basic plane is one unit: its halves never match.
    QTest::newRow("low half of a pair") << QString::fromUtf16(u"\U0001F600x") << QString(QChar(0xDE00))
                                         << "!" << -1 << QString::fromUtf16(u"\U0001F600x") << 0;
}

void TestTextOps::replace()
{
    QFETCH(QString, text);
    QFETCH(QString, search);
    QFETCH(QString, replacement);
    QFETCH(int, limit);
    QFETCH(QString, expected);
    QFETCH(int, replaced);
    QCOMPARE(TextOps::replace(text, search, replacement, limit), expected);
    QString inPlace = text;
    QCOMPARE(TextOps::replaceIn(inPlace, search, replacement, limit), replaced);
    QCOMPARE(inPlace, expected);
}

void TestTextOps::count_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("search");
    QTest::addColumn<int>("expected");
    QTest::newRow("none") << "abc" << "x" << 0;
    QTest::newRow("non-overlapping") << "aaaa" << "aa" << 2;
    QTest::newRow("odd run") << "aaa" << "aa" << 1;
    QTest::newRow("empty search") << "abc" << "" << 0;
    QTest::newRow("targets") << "_blank _blank_blank" << "_blank" << 3;
}

void TestTextOps::count()
{
    QFETCH(QString, text);
    QFETCH(QString, search);
    QFETCH(int, expected);
    QCOMPARE(TextOps::count(text, search), expected);
}

void TestTextOps::between_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("right");
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("expected");
    QTest::newRow("height") << "width:950px;height:500px;height:500px" << "height:" << "px" << 0 << "500";
    QTest::newRow("right searched after left") << "px height:12px" << "height:" << "px" << 0 << "12";
    QTest::newRow("left missing") << "width:950px" << "height:" << "px" << 0 << "";
    QTest::newRow("right missing") << "height:500" << "height:" << "px" << 0 << "";
    QTest::newRow("quote token") << R"(<a href="x.htm" id=1>)" << "href=#引号" << "#引号" << 0 << "x.htm";
    QTest::newRow("start position") << "a=1;a=2;" << "a=" << ";" << 2 << "2";
    QTest::newRow("empty between") << "height:px" << "height:" << "px" << 0 << "";
}

void TestTextOps::between()
{
    QFETCH(QString, text);
    QFETCH(QString, left);
    QFETCH(QString, right);
    QFETCH(int, start);
    QFETCH(QString, expected);
    QCOMPARE(TextOps::between(text, left, right, start), expected);
}

void TestTextOps::toInt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");
    QTest::newRow("shrink") << "-20px" << -20;
    QTest::newRow("auto") << "auto" << 0;
    QTest::newRow("blanks and sign") << " \t+42x" << 42;
    QTest::newRow("saturates high") << "99999999999" << INT_MAX;
    QTest::newRow("saturates low") << "-99999999999" << INT_MIN;
    QTest::newRow("full-width digits") << "１２" << 0;
}

void TestTextOps::toInt()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(TextOps::toInt(text), expected);
}

void TestTextOps::zoomFactor_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<float>("expected");
    QTest::newRow("1.2") << "1.2" << 1.2f;
    QTest::newRow("blanks, sign, exponent") << "  -15e-1x" << -1.5f;
    QTest::newRow("letters") << "abc" << 0.0f;
    QTest::newRow("comma ends the number") << "1,5" << 1.0f;
    QTest::newRow("leading point") << ".5" << 0.5f;
}

void TestTextOps::zoomFactor()
{
    QFETCH(QString, text);
    QFETCH(float, expected);
    QCOMPARE(TextOps::toFloat(text), expected);
}

void TestTextOps::formatNumber_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("whole") << 520.0 << "520";
    QTest::newRow("half") << -5.5 << "-5.5";
    QTest::newRow("single-precision product") << 200 * double(1.2f) << "240.0000095367";
    QTest::newRow("minus ten") << 200 * double(1.3f) - 10 << "249.9999904633";
    QTest::newRow("offset") << (991 - 990) / -2.0 << "-0.5";
    QTest::newRow("large") << 1e15 << "1e+15";
    QTest::newRow("thirteen digits") << 1234567890123.0 << "1234567890123";
}

void TestTextOps::formatNumber()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(TextOps::formatNumber(value), expected);
}

void TestTextOps::urlEncode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("keepSafe");
    QTest::addColumn<bool>("utf8");
    QTest::addColumn<QString>("expected");
    QTest::newRow("space") << "ab c" << true << true << "ab%20c";
    QTest::newRow("kept and encoded") << "A-z.0_~/" << true << true << "A-z.0%5F%7E%2F";
    QTest::newRow("Chinese in UTF-8") << "店" << true << true << "%E5%BA%97";
    QTest::newRow("Chinese in GBK") << "店" << true << false << "%B5%EA";
    QTest::newRow("nothing kept") << "a1" << false << true << "%61%31";
    QTest::newRow("empty") << "" << true << true << "";
}

void TestTextOps::urlEncode()
{
    QFETCH(QString, text);
    QFETCH(bool, keepSafe);
    QFETCH(bool, utf8);
    QFETCH(QString, expected);
    QCOMPARE(TextOps::urlEncode(text, keepSafe, utf8), expected);
}

void TestTextOps::trimmed_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("blanks");
    QTest::addColumn<QString>("expected");
    QTest::newRow("full-width and ASCII spaces") << "\u3000 a b \u3000" << " \u3000" << "a b";
    QTest::newRow("tab kept when not blank") << "\ta " << " \u3000" << "\ta";
    QTest::newRow("only blanks") << " \u3000 " << " \u3000" << "";
    QTest::newRow("nothing to trim") << "x" << " " << "x";
    QTest::newRow("empty") << "" << " " << "";
}

void TestTextOps::trimmed()
{
    QFETCH(QString, text);
    QFETCH(QString, blanks);
    QFETCH(QString, expected);
    QCOMPARE(TextOps::trimmed(text, blanks), expected);
}

void TestTextOps::gbk()
{
    QCOMPARE(TextOps::toGbk(QStringLiteral("代码a")), QByteArray("\xb4\xfa\xc2\xeb" "a"));
    QCOMPARE(TextOps::encode(QStringLiteral("代码"), TextOps::Gbk), TextOps::toGbk(QStringLiteral("代码")));
    QCOMPARE(TextOps::decode(QByteArray("\xe4\xbb\xa3"), TextOps::Utf8), QStringLiteral("代"));
    // What GBK cannot hold survives as GB18030.
    const QString outside = QString::fromUtf16(u"\U0001F600");
    QCOMPARE(TextOps::fromGbk(TextOps::toGbk(outside)), outside);
}

QTEST_GUILESS_MAIN(TestTextOps)
#include "tst_text_ops.moc"
