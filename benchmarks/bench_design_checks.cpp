// Measures the design checks against generating the same design's code.

#include "bench_setup.h"
#include "codegen/design_checks.h"
#include "codegen/module_generator.h"
#include "codegen/picture_sizes.h"
#include "model/component_table.h"

#include <QGuiApplication>

#include <algorithm>
#include <cstdio>
#include <ctime>

using namespace Plumbrook;
using BenchSetup::bestOf;

namespace {

// Every picture the design names is known, at a size that distorts some of them.
class EverySize : public PictureSizes
{
public:
    Answer sizeOf(const QString &url) const override { return {Answer::Loaded, QSize(180 + int(url.size() % 7), 180)}; }
};

// The least processor time of the calling thread that `runs` runs of `work` took, in
// nanoseconds: on a machine shared with other work, the wall clock also counts the
// time the thread waited for a processor.
template<typename Work>
double bestCpuOf(int runs, Work &&work)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        timespec start{}, end{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &start);
        work();
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &end);
        best = std::min(best, (end.tv_sec - start.tv_sec) * 1e9 + double(end.tv_nsec - start.tv_nsec));
    }
    return best;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    std::printf("design checks of the mixed large design (every kind, forty to a row, overlapping), "
                "every picture's size known\n");
    for (const int components : {1000, 10000}) {
        DesignFile::Design design = BenchSetup::largeDesign(components / 18 + 1);
        design.rows.resize(components + 1);
        ComponentTable table;
        table.replaceRows(design.rows);
        const auto carousels = design.carousels;
        const auto setting = [carousels](int number, const QString &key) {
            for (const auto &[name, value] : carousels.value(number)) {
                if (name == key)
                    return value;
            }
            return QString();
        };

        const EverySize sizes;
        CheckSources sources;
        sources.carouselPictures = [&table, &setting](int row) {
            return CarouselSettings::slidePictures(table, row, setting);
        };
        sources.pictures = &sizes;
        QVector<DesignFinding> findings;
        const int runs = components >= 10000 ? 5 : 20;
        const double checks = bestOf(runs, [&] { findings = DesignChecks::run(table, sources); });
        const double checksCpu = bestCpuOf(runs, [&] { findings = DesignChecks::run(table, sources); });

        GenerationSources generation;
        generation.carouselSetting = setting;
        const ModuleGenerator generator(table, generation);
        const double code = bestOf(runs, [&] { generator.generate(QStringLiteral("auto")); });
        const double codeCpu = bestCpuOf(runs, [&] { generator.generate(QStringLiteral("auto")); });

        const DesignChecks::Counts counts = DesignChecks::count(findings);
        std::printf("%6d components: checks %8.3f ms (processor %8.3f ms; %d errors, %d reminders), "
                    "generation %8.3f ms (processor %8.3f ms)\n",
                    components, checks / 1e6, checksCpu / 1e6, counts.errors, counts.warnings, code / 1e6,
                    codeCpu / 1e6);
        std::printf("BENCH|design checks, %d components (limit %d ms)|%.3f ms|generating its code %.3f ms\n",
                    components, components >= 10000 ? 150 : 10, checks / 1e6, code / 1e6);
        std::printf("BENCH|design checks, %d components, processor time|%.3f ms|generating its code %.3f ms\n",
                    components, checksCpu / 1e6, codeCpu / 1e6);
    }
    return 0;
}
