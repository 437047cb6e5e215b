#include "model/text_ops.h"
#include "model/component_table.h"
#include "model/module_settings.h"
#include "support/test_support.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace Plumbrook;

namespace {

// Applies "field=value" steps to the settings of a fresh design.
ModuleSettings settingsWith(const QStringList &steps)
{
    ComponentTable table;
    ModuleSettings s = ModuleSettings::load(table);
    for (const QString &step : steps) {
        const QString key = step.section(QLatin1Char('='), 0, 0);
        const QString value = step.section(QLatin1Char('='), 1);
        if (key == "width") s.width = value;
        else if (key == "height") s.height = value;
        else if (key == "picture") s.picture = value;
        else if (key == "anchor") s.anchor = value;
        else if (key == "colourText") s.colourText = value;
        else if (key == "repeat") s.repeat = value.toInt();
        else if (key == "horizontal") s.horizontal = value.toInt();
        else if (key == "vertical") s.vertical = value.toInt();
        else if (key == "attachment") s.attachment = value.toInt();
        else if (key == "edition") s.edition = value.toInt();
        else qFatal("unknown step %s", qPrintable(step));
    }
    return s;
}

const QString kClassList = QStringLiteral("most-footer footer-more-trigger address-all-close");

} // namespace

class TestModuleSettings : public QObject
{
    Q_OBJECT

private slots:
    void wrapperMatchesWhatGenerationExpects();
    void wrapper_data();
    void wrapper();
    void editionClassLists_data();
    void editionClassLists();
    void backgroundOffset_data();
    void backgroundOffset();
};

void TestModuleSettings::wrapperMatchesWhatGenerationExpects()
{
    // The generation fixtures hold the wrapper of the initial record confirmed as 集市.
    QFile file(Test::testDataPath(QStringLiteral("generation/empty_confirmed/design.json")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonObject record =
        QJsonDocument::fromJson(file.readAll()).object().value("rows").toArray().at(0).toObject();
    QCOMPARE(settingsWith({"edition=1"}).buildWrapper(), record.value("其它4").toString());
}

void TestModuleSettings::wrapper_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QStringList>("absent");

    QTest::newRow("initial") << QStringList{}
        << QStringList{"style=\"width:950px;height:500px;\">", "left:0px;", "background-color:#00E080;",
                       "background-image:url();", "background-position:right top;",
                       "background-repeat:repeat;", "background-attachment:scroll;\">\r\n</div>\r\n"}
        << QStringList{"{width}", "{height}", "{left}", "{color}", "{maodian}", "{repeat}",
                       "{position_x}", "{position_y}", "{attachment}", "<a name"};
    QTest::newRow("colour without #") << QStringList{"colourText=fff"}
        << QStringList{"background-color:;"} << QStringList{"fff"};
    QTest::newRow("short colour with #") << QStringList{"colourText=#fff"}
        << QStringList{"background-color:#fff;"} << QStringList{};
    QTest::newRow("picture of spaces") << QStringList{"picture= 　 "}
        << QStringList{"background-image:url();"} << QStringList{};
    QTest::newRow("picture untrimmed") << QStringList{"picture= http://p/b.png　"}
        << QStringList{"background-image:url( http://p/b.png　);"} << QStringList{};
    QTest::newRow("blank anchor") << QStringList{"anchor=　 "}
        << QStringList{} << QStringList{"<a name"};
    QTest::newRow("anchor after the third element") << QStringList{"anchor= top", "edition=1"}
        << QStringList{"top:0;left:0;right:auto;background:none;\"><div class=\"" + kClassList
                       + "\" style=\"border:0;padding:0;background:transparent;top:0;left:0;right:auto;\">\r\n"
                         "\t\t<a name=\" top\" style=\"font-size:0.1px;line-height:0.1px;visibility:hidden;"
                         "height:0;\">\r\n\t\t</a>\r\n\t</div><div class=\"" + kClassList
                       + "\" style=\"background:none;"}
        << QStringList{};
    QTest::newRow("lists") << QStringList{"repeat=3", "horizontal=1", "vertical=2", "attachment=1"}
        << QStringList{"background-repeat:no-repeat;background-position:center bottom;"
                       "background-attachment:fixed;"}
        << QStringList{};
    QTest::newRow("other lists") << QStringList{"repeat=1", "horizontal=0", "vertical=1"}
        << QStringList{"background-repeat:repeat-x;background-position:left center;"}
        << QStringList{};
    QTest::newRow("wide tmall") << QStringList{"width=1920"}
        << QStringList{"width:1920px;height:500px;top:auto;left:-465px;"} << QStringList{};
    QTest::newRow("wide market") << QStringList{"width=1920", "edition=1"}
        << QStringList{"left:-485px;"} << QStringList{};
    QTest::newRow("size as typed") << QStringList{"width=abc", "height=-3"}
        << QStringList{"style=\"width:abcpx;height:-3px;\">", "left:0px;"} << QStringList{};
}

void TestModuleSettings::wrapper()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, present);
    QFETCH(QStringList, absent);
    const QString code = settingsWith(steps).buildWrapper();
    for (const QString &text : present)
        QVERIFY2(code.contains(text), qPrintable(text + "\nnot in\n" + code));
    for (const QString &text : absent)
        QVERIFY2(!code.contains(text), qPrintable(text + "\nin\n" + code));
    QVERIFY(code.startsWith("<div class=\"ZozIre\" data-title=\"{data-title}\""));
}

void TestModuleSettings::editionClassLists_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("classLists");
    QTest::addColumn<int>("simpleLogos");
    QTest::newRow("tmall") << QStringList{"edition=0"} << 0 << 3;
    QTest::newRow("tmall with anchor") << QStringList{"edition=0", "anchor=a"} << 0 << 4;
    QTest::newRow("market") << QStringList{"edition=1"} << 3 << 0;
    QTest::newRow("market with anchor") << QStringList{"edition=1", "anchor=a"} << 4 << 0;
}

void TestModuleSettings::editionClassLists()
{
    QFETCH(QStringList, steps);
    QFETCH(int, classLists);
    QFETCH(int, simpleLogos);
    const QString code = settingsWith(steps).buildWrapper();
    QCOMPARE(TextOps::count(code, kClassList), classLists);
    QCOMPARE(TextOps::count(code, QStringLiteral("sn-simple-logo")), simpleLogos);
}

void TestModuleSettings::backgroundOffset_data()
{
    QTest::addColumn<QString>("width");
    QTest::addColumn<int>("edition");
    QTest::addColumn<QString>("offset");
    QTest::newRow("1920 tmall") << "1920" << 0 << "-465";
    QTest::newRow("1920 market") << "1920" << 1 << "-485";
    QTest::newRow("991 tmall") << "991" << 0 << "-0.5";
    QTest::newRow("990 tmall") << "990" << 0 << "0";
    QTest::newRow("990 market") << "990" << 1 << "-20";
    QTest::newRow("950 market") << "950" << 1 << "0";
    QTest::newRow("not a number") << "wide" << 0 << "0";
    QTest::newRow("negative") << "-3000" << 1 << "0";
    QTest::newRow("leading number") << " 1000px" << 0 << "-5";
    QTest::newRow("huge") << "99999999999999" << 0 << "-1073741328.5";
}

void TestModuleSettings::backgroundOffset()
{
    QFETCH(QString, width);
    QFETCH(int, edition);
    QFETCH(QString, offset);
    QCOMPARE(ModuleSettings::backgroundOffset(width, edition), offset);
}

QTEST_GUILESS_MAIN(TestModuleSettings)
#include "tst_module_settings.moc"
