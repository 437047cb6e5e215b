#include "golden_cases.h"

#include "model/design_json.h"
#include "codegen/module_generator.h"
#include "codegen/templates.h"
#include "model/text_ops.h"
#include "model/program_dir.h"
#include "model/component_table.h"
#include "model/module_settings.h"
#include "support/test_support.h"

#include <QtTest>

using namespace Plumbrook;

class TestGeneration : public QObject
{
    Q_OBJECT

private slots:
    void goldenCases_data();
    void goldenCases();
    void templatesKeepTheirBytes_data();
    void templatesKeepTheirBytes();
    void zoomWidths_data();
    void zoomWidths();
    void zoomNameIsSharedWithinOneComponent();
    void tmallEditionConvertsEveryLayerClassList();
    void textSizeAndLineHeight_data();
    void textSizeAndLineHeight();
    void carouselCountIsBounded();
    void designJsonRoundTrip();
    void goldenWrappersAreThoseTheSettingsBuild_data();
    void goldenWrappersAreThoseTheSettingsBuild();
};

namespace {

ComponentTable *loadDesign(const QString &path)
{
    auto *table = new ComponentTable;
    QString error;
    if (!DesignJson::readFile(path, *table, &error))
        qWarning("%s", qPrintable(error));
    return table;
}

int appendComponent(ComponentTable &table, const QString &kind, const QMap<int, QString> &cells)
{
    const int row = table.appendRow(QString::number(table.takeNextId() + 1), kind);
    for (auto it = cells.begin(); it != cells.end(); ++it)
        table.setCell(row, it.key(), it.value());
    return row;
}

} // namespace

void TestGeneration::goldenCases_data()
{
    QTest::addColumn<QString>("name");
    for (const QString &name : Test::GoldenCase::names())
        QTest::newRow(qPrintable(name)) << name;
}

void TestGeneration::goldenCases()
{
    QFETCH(QString, name);
    const Test::GoldenCase golden = Test::GoldenCase::named(name);
    std::unique_ptr<ComponentTable> table(loadDesign(golden.designPath()));
    ProgramDir::setOverride(golden.dir);
    const QString code = ModuleGenerator(*table).generate(golden.shrink());
    ProgramDir::setOverride(QString());
    QCOMPARE(Test::withoutRandomNames(code), Test::withoutRandomNames(QString::fromUtf8(golden.expected())));
    QCOMPARE(code.count(ModuleGenerator::generatorNotice()), code.startsWith(QStringLiteral("<div class=\"ZozIre\"")) ? 1 : 0);
}

void TestGeneration::templatesKeepTheirBytes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("lines");
    QTest::addColumn<bool>("endsWithLineBreak");
    const QList<std::tuple<const char *, int, bool>> pieces = {
        {"image.html", 5, false}, {"hotspot.html", 3, false}, {"swap.html", 1, true},
        {"zoom.html", 1, true}, {"text.html", 7, true}, {"favourite.html", 5, false},
        {"share.html", 4, false}, {"qrcode.html", 3, false}, {"cart.html", 5, false},
        {"like.html", 3, false}, {"follow.html", 5, false}, {"wwgroup.html", 5, false},
        {"video.html", 3, false}, {"flash.html", 1, true},
        {"customer_service.outer.html", 3, true}, {"customer_service.avatar.html", 3, false},
        {"customer_service.wangwang.html", 7, true}, {"customer_service.direct_link.txt", 1, false},
        {"customer_service.routed_link.txt", 1, false}, {"countdown.html", 40, false},
        {"search.html", 5, false}, {"carousel.head.html", 4, true}, {"carousel.slide.html", 1, true},
        {"carousel.middle.html", 5, false}, {"carousel.tail.html", 7, false},
    };
    for (const auto &[name, lines, trailing] : pieces)
        QTest::newRow(name) << QString::fromLatin1(name) << lines << trailing;
}

void TestGeneration::templatesKeepTheirBytes()
{
    QFETCH(QString, name);
    QFETCH(int, lines);
    QFETCH(bool, endsWithLineBreak);
    const QString text = Templates::text(name);
    QVERIFY(!text.isEmpty());
    // Every line break is CR LF: no lone CR or LF slipped in through an editor or git.
    QCOMPARE(text.count(u'\n'), text.count(QStringLiteral("\r\n")));
    QCOMPARE(text.count(u'\r'), text.count(QStringLiteral("\r\n")));
    QCOMPARE(text.endsWith(QStringLiteral("\r\n")), endsWithLineBreak);
    QCOMPARE(int(text.count(QStringLiteral("\r\n"))) + (endsWithLineBreak ? 0 : 1), lines);
    // Every outside service's phrase was replaced by its address.
    QVERIFY(!text.contains(QRegularExpression(QStringLiteral("\\[[A-Za-z ]+\\]"))));
    QVERIFY(text.count(QStringLiteral("{width}")) <= 5);
    QVERIFY(text.count(QStringLiteral("{height}")) <= 5);
}

void TestGeneration::zoomWidths_data()
{
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("factor");
    QTest::addColumn<QString>("mat");
    QTest::addColumn<QString>("picture");
    QTest::newRow("1.2") << "200" << "1.2" << "240.0000095367" << "230.0000095367";
    QTest::newRow("1.3") << "200" << "1.3" << "259.9999904633" << "249.9999904633";
    QTest::newRow("1.4") << "200" << "1.4" << "279.9999952316" << "269.9999952316";
    QTest::newRow("1.5") << "200" << "1.5" << "300" << "290";
    QTest::newRow("empty factor") << "200" << "" << "0" << "-10";
    QTest::newRow("letters") << "200" << "big" << "0" << "-10";
    QTest::newRow("comma is not a decimal point") << "200" << "1,5" << "200" << "190";
    QTest::newRow("width with unit") << "150px" << "1.5" << "225" << "215";
}

void TestGeneration::zoomWidths()
{
    QFETCH(QString, width);
    QFETCH(QString, factor);
    QFETCH(QString, mat);
    QFETCH(QString, picture);
    ComponentTable table;
    const int row = appendComponent(table, QStringLiteral("放大"),
                                    {{ComponentTable::Width, width}, {ComponentTable::BgCode, factor}});
    const QString code = ModuleGenerator(table).componentCode(row);
    QVERIFY2(code.contains(QStringLiteral("<div style=\"width:%1px;text-align:center").arg(mat)), qPrintable(code));
    QVERIFY(code.contains(QStringLiteral("style=\"width:%1px;display:none").arg(picture)));
    QVERIFY(code.contains(QStringLiteral("style=\"width:%1px;margin-left").arg(picture)));
    // A square of the component's width, whatever its height.
    QVERIFY(code.contains(QStringLiteral("width:%1px;height:%1px;padding").arg(width)));
    QVERIFY(code.contains(QStringLiteral("style=\"width:%1px;\" />").arg(width)));
}

void TestGeneration::zoomNameIsSharedWithinOneComponent()
{
    ComponentTable table;
    appendComponent(table, QStringLiteral("放大"), {{ComponentTable::Width, QStringLiteral("100")}});
    appendComponent(table, QStringLiteral("放大"), {{ComponentTable::Width, QStringLiteral("100")}});
    int next = 0;
    GenerationSources sources;
    sources.randomDigit = [&next] { return next++; };
    const QString code = ModuleGenerator(table, sources).generate(QStringLiteral("auto"));
    QCOMPARE(code.count(QStringLiteral("Kai_0123")), 3);
    QCOMPARE(code.count(QStringLiteral("Kai_4567")), 3);
    QCOMPARE(code.count(QStringLiteral("Kai_")), 6);
}

void TestGeneration::tmallEditionConvertsEveryLayerClassList()
{
    std::unique_ptr<ComponentTable> table(
        loadDesign(Test::GoldenCase::named(QStringLiteral("tmall_edition")).designPath()));
    const QString tmall = ModuleGenerator(*table).generate(QStringLiteral("auto"));
    QCOMPARE(tmall.count(ModuleGenerator::kLayerClassList), 0);
    // Zoom and search never carried the full list and keep their classes.
    QCOMPARE(tmall.count(QStringLiteral("class=\"most-footer footer-more-trigger\"")), 2);

    table->setCell(0, ComponentTable::BgCode, QStringLiteral("1"));
    const QString market = ModuleGenerator(*table).generate(QStringLiteral("auto"));
    // The wrapper was built for the other edition; the components keep the list.
    QCOMPARE(market.count(ModuleGenerator::kLayerClassList), 4);
    table->setCell(0, ComponentTable::BgCode, QStringLiteral("0 "));
    QCOMPARE(ModuleGenerator(*table).generate(QStringLiteral("auto")).count(ModuleGenerator::kLayerClassList), 4);
}

void TestGeneration::textSizeAndLineHeight_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::newRow("digits") << "14" << "14px";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("unit given") << "14px" << "14px";
    QTest::newRow("decimal") << "1.5" << "1.5";
    QTest::newRow("blank after digits") << "14 " << "14 ";
    QTest::newRow("full-width digits") << "１４" << "１４";
}

void TestGeneration::textSizeAndLineHeight()
{
    QFETCH(QString, typed);
    QFETCH(QString, written);
    ComponentTable table;
    const int row = appendComponent(table, QStringLiteral("文字"),
                                    {{ComponentTable::Other1, typed}, {ComponentTable::Other2, typed}});
    const QString code = ModuleGenerator(table).componentCode(row);
    QVERIFY(code.contains(QStringLiteral("font-size:%1;").arg(written)));
    QVERIFY(code.contains(QStringLiteral("line-height:%1;").arg(written)));
}

void TestGeneration::carouselCountIsBounded()
{
    ComponentTable table;
    const int row = appendComponent(table, QStringLiteral("轮播"), {});
    for (const QString &number : {QStringLiteral("2147483647"), QStringLiteral("-9")}) {
        GenerationSources sources;
        sources.carouselSetting = [number](int, const QString &key) {
            return key == QStringLiteral("Number") ? number : QString();
        };
        const QString code = ModuleGenerator(table, sources).componentCode(row);
        QCOMPARE(code.count(QStringLiteral("<li>")), number.startsWith(u'-') ? 0 : 8);
    }
}

void TestGeneration::designJsonRoundTrip()
{
    std::unique_ptr<ComponentTable> table(
        loadDesign(Test::GoldenCase::named(QStringLiteral("customer_service")).designPath()));
    ComponentTable copy;
    QVERIFY(DesignJson::read(DesignJson::write(*table), copy));
    QCOMPARE(copy.count(), table->count());
    for (int row = 0; row < table->count(); ++row)
        QCOMPARE(copy.rowCells(row), table->rowCells(row));
    // New components of a loaded design get ids of their own.
    QCOMPARE(copy.creationCounter(), 5);
}

void TestGeneration::goldenWrappersAreThoseTheSettingsBuild_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("anchor");
    QTest::addColumn<int>("edition");
    QTest::newRow("集市") << "empty_confirmed" << "950" << "" << 1;
    QTest::newRow("anchor") << "simple_kinds" << "950" << "top" << 1;
    QTest::newRow("天猫, wide") << "tmall_edition" << "1920" << "" << 0;
}

void TestGeneration::goldenWrappersAreThoseTheSettingsBuild()
{
    QFETCH(QString, name);
    QFETCH(QString, width);
    QFETCH(QString, anchor);
    QFETCH(int, edition);
    ModuleSettings settings;
    settings.width = width;
    settings.height = QStringLiteral("500");
    settings.colourText = QStringLiteral("#00E080");
    settings.anchor = anchor;
    settings.horizontal = 2;
    settings.edition = edition;
    std::unique_ptr<ComponentTable> table(loadDesign(Test::GoldenCase::named(name).designPath()));
    QCOMPARE(table->cell(0, ComponentTable::Other4), settings.buildWrapper());
}

QTEST_GUILESS_MAIN(TestGeneration)
#include "tst_generation.moc"
