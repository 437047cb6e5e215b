// Measures how module code generation grows with the design, against plain copying.

#include "bench_setup.h"
#include "codegen/module_generator.h"
#include "model/component_table.h"
#include "model/kind_table.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

using namespace Plumbrook;
using BenchSetup::bestOf;

namespace {

// Every kind but the carousel, whose settings file would turn this into a disk benchmark.
QStringList kindsWithoutCarousel()
{
    QStringList kinds;
    for (const KindTable::KindInfo &info : KindTable::all()) {
        if (info.kind != KindTable::Kind::Carousel)
            kinds << info.name;
    }
    return kinds;
}

void buildDesign(ComponentTable &table, int components)
{
    table.resetToModuleRecord();
    table.setCell(0, ComponentTable::BgCode, QStringLiteral("0"));
    table.setCell(0, ComponentTable::Other4,
                  QStringLiteral("<div class=\"ZozIre\" data-title=\"{data-title}\" style=\"width:950px;height:500px;\">"
                                 "<div class=\"sn-simple-logo\" style=\"width:950px;height:500px;\">"
                                 "<div class=\"sn-simple-logo\" style=\"width:950px;height:500px;\">"
                                 "<div class=\"sn-simple-logo\" style=\"width:950px;height:500px;\">\r\n</div>\r\n"));
    const QStringList kinds = kindsWithoutCarousel();
    for (int i = 0; i < components; ++i) {
        const int row = table.appendRow(QString::number(i + 2), kinds.at(i % kinds.size()));
        table.setCell(row, ComponentTable::Width, QString::number(100 + i % 200));
        table.setCell(row, ComponentTable::Height, QString::number(50 + i % 100));
        table.setCell(row, ComponentTable::Left, QString::number(i % 900));
        table.setCell(row, ComponentTable::Top, QString::number(i % 3000));
        table.setCell(row, ComponentTable::Picture, QStringLiteral("https://img.example/picture-%1.jpg").arg(i));
        table.setCell(row, ComponentTable::Link, QStringLiteral("https://shop.example/item-%1").arg(i));
        table.setCell(row, ComponentTable::Text, QStringLiteral("0"));
        table.setCell(row, ComponentTable::BgColor, QStringLiteral("1"));
        table.setCell(row, ComponentTable::Other, QStringLiteral("_blank"));
        table.setCell(row, ComponentTable::BgCode, QStringLiteral("1.3"));
        table.setCell(row, ComponentTable::Other4, QStringLiteral("微软雅黑"));
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    std::printf("module code generation, designs of mixed kinds without carousels\n");
    double firstPerComponent = 0;
    for (const int components : {100, 1000, 10000}) {
        ComponentTable table;
        buildDesign(table, components);
        const ModuleGenerator generator(table);
        QString code;
        const int runs = components >= 10000 ? 5 : 20;
        const double generation = bestOf(runs, [&] { code = generator.generate(QStringLiteral("auto")); });

        // Copying the same number of bytes as the result holds.
        const size_t bytes = size_t(code.size()) * sizeof(QChar);
        std::vector<char> from(bytes, 'x');
        std::vector<char> to(bytes);
        constexpr int kCopies = 50;
        const double copy = bestOf(runs, [&] {
            for (int i = 0; i < kCopies; ++i) {
                from[size_t(i) % bytes] = char(i);
                std::memcpy(to.data(), from.data(), bytes);
            }
        }) / kCopies;

        const double perComponent = generation / components;
        if (firstPerComponent == 0)
            firstPerComponent = perComponent;
        std::printf("%6d components: generation %9.3f ms, %6.2f us per component (x%.2f of 100), "
                    "%9zu bytes of UTF-16 text, copying them %7.3f ms, generation/copy %.0f\n",
                    components, generation / 1e6, perComponent / 1e3, perComponent / firstPerComponent,
                    bytes, copy / 1e6, generation / copy);
        std::printf("BENCH|generation, %d components|%.3f ms|copying its %zu bytes %.3f ms\n",
                    components, generation / 1e6, bytes, copy / 1e6);
    }
    return 0;
}
