// Measures reading module code back into a design against generating that code.

#include "bench_setup.h"
#include "codegen/code_reader.h"
#include "codegen/module_generator.h"
#include "model/component_table.h"
#include "model/kind_table.h"
#include "model/module_settings.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>

#include <algorithm>
#include <cstdio>

using namespace Plumbrook;
using BenchSetup::bestOf;

namespace {

using C = ComponentTable;

// Components of every kind with the cells their editors write; each carousel
// counts as one component and brings its two arrows.
void buildDesign(ComponentTable &table, int components)
{
    table.resetToModuleRecord();
    ModuleSettings settings = ModuleSettings::load(table);
    settings.width = QStringLiteral("1920");
    settings.height = QStringLiteral("3000");
    settings.picture = QStringLiteral("https://img.example/background.jpg");
    settings.save(table);
    table.setCell(0, C::Other4, settings.buildWrapper());
    int id = 1;
    for (int i = 0; i < components; ++i) {
        const QString kind = KindTable::all().at(i % KindTable::all().size()).name;
        const int row = table.appendRow(QString::number(++id), kind);
        table.setCell(row, C::Width, QString::number(100 + i % 200));
        table.setCell(row, C::Height, QString::number(KindTable::is(kind, KindTable::Kind::Zoom) ? 100 + i % 200 : 50 + i % 100));
        table.setCell(row, C::Left, QString::number(i % 900));
        table.setCell(row, C::Top, QString::number(i % 3000));
        table.setCell(row, C::Picture, QStringLiteral("https://img.example/picture-%1.jpg").arg(i));
        table.setCell(row, C::Link, QStringLiteral("https://shop.example/item-%1").arg(i));
        table.setCell(row, C::Text, QStringLiteral("0"));
        table.setCell(row, C::BgColor, QStringLiteral("1"));
        table.setCell(row, C::Other, QStringLiteral("_blank"));
        table.setCell(row, C::Other1, QStringLiteral("0"));
        table.setCell(row, C::Other2, QStringLiteral("0"));
        table.setCell(row, C::BgCode, KindTable::is(kind, KindTable::Kind::Zoom) ? QStringLiteral("1.3") : QStringLiteral("#333333"));
        table.setCell(row, C::Other4, QStringLiteral("微软雅黑"));
        if (KindTable::is(kind, KindTable::Kind::Carousel)) {
            for (const char16_t *prefix : {u"左箭头", u"右箭头"}) {
                const int arrow = table.appendRow(QString::number(++id), QString::fromUtf16(prefix) + QString::number(row));
                table.setCell(arrow, C::Width, QStringLiteral("40"));
                table.setCell(arrow, C::Height, QStringLiteral("40"));
                table.setCell(arrow, C::Left, QString::number(i % 900 + 10));
                table.setCell(arrow, C::Top, QString::number(i % 3000 + 20));
            }
        }
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    GenerationSources sources;
    sources.carouselSetting = [](int, const QString &key) {
        return key == QStringLiteral("Number") ? QStringLiteral("4") : QStringLiteral("0");
    };

    QElapsedTimer firstUse;
    firstUse.start();
    (void)CodeReader::read(QStringLiteral("<div></div>"));
    const double patterns = double(firstUse.nsecsElapsed());

    std::printf("reading module code back into a design, every kind, carousels with their settings\n");
    for (const int components : {100, 1000}) {
        ComponentTable table;
        buildDesign(table, components);
        const ModuleGenerator generator(table, sources);
        QString code;
        const int runs = 10;
        const double generation = bestOf(runs, [&] { code = generator.generate(QStringLiteral("auto")); });
        CodeImport imported;
        const double reading = bestOf(runs, [&] { imported = CodeReader::read(code); });
        std::printf("%6d components: generation %8.3f ms, reading %8.3f ms (x%.2f), %d components read, "
                    "%d pieces not read\n",
                    components, generation / 1e6, reading / 1e6, reading / generation, imported.components,
                    imported.unrecognisedPieces);
        std::printf("BENCH|import of a %d-component module|%.3f ms (x%.2f)|generating it %.3f ms\n", components,
                    reading / 1e6, reading / generation, generation / 1e6);
    }
    std::printf("BENCH|import's pattern tables, built on first use|%.1f ms|-\n", patterns / 1e6);
    return 0;
}
