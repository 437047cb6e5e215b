// The longest stall of the user-interface thread while a design of 10,000 components
// opens through "打开…" (read and parsed on a worker, a progress window shown), beside
// the same design read and parsed on that thread, and the longest stall while an
// autosave of 1,000 components is written, beside the loop's own stall with nothing to do.
#include "bench_setup.h"
#include "stall_watch.h"
#include "canvas/file_menu.h"
#include "canvas/main_window.h"
#include "model/program_dir.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/design_file.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Plumbrook;

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct OpenFigures
{
    double longestMs = -1;
    double readStallMs = 0;   // the longest stall until the design was read, progress shown
    bool progressShown = false;
};

OpenFigures openWatched(FileMenu *files, const QString &path)
{
    OpenFigures figures;
    bool read = false;
    StallWatch *watching = nullptr;
    StallWatch watch([&] {
        if (files->openingProgress() && files->openingProgress()->isVisible()) {
            figures.progressShown = true;
            // Every tick so far came while the file was read and parsed.
            figures.readStallMs = watching->longestMs();
        }
    });
    watching = &watch;
    QTimer::singleShot(5, files, [&] {
        files->openFile(path);
        figures.progressShown = figures.progressShown || files->openingProgress();
    });
    watch.runUntil([&] {
        if (!read && files->currentPath() == path)
            read = true;
        return read && !files->openingProgress();
    });
    watch.runOneMoreTick();
    figures.longestMs = watch.longestMs();
    return figures;
}

double idleStallMs(int ms)
{
    StallWatch watch;
    watch.runUntil([&] { return watch.elapsedMs() >= ms; });
    return watch.longestMs();
}

double autosaveStallMs(MainWindow &window)
{
    FileMenu *files = window.fileMenu();
    ComponentTable *table = window.table();
    const int row = table->count() / 2;
    window.document()->record(QStringLiteral("移动"), [&] {
        table->setCell(row, ComponentTable::Left, QString::number(table->cellInt(row, ComponentTable::Left) + 1));
    });
    QSignalSpy written(files, &FileMenu::designWritten);
    StallWatch watch;
    QTimer::singleShot(20, files, [files] { files->autosave(); });
    watch.runUntil([&] { return !written.isEmpty(); });
    watch.runOneMoreTick();
    return watch.longestMs();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir programDir;
    ProgramDir::setOverride(programDir.path());
    // Outlives the window, whose locks lie in it.
    QTemporaryDir dir;
    MainWindow window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    FileMenu *files = window.fileMenu();
    files->setDataDir(dir.path());
    files->setAsker([](const QString &, const QStringList &) { return 1; });
    files->setPreviewFetch([](const QString &) { return QByteArray(); });
    files->startSession();
    files->findChild<QTimer *>(QStringLiteral("自动保存"))->stop();

    const QString large = dir.filePath(QStringLiteral("large.plbd"));
    const QString small = dir.filePath(QStringLiteral("small.plbd"));
    const int largeComponents = int(BenchSetup::largeDesign(500).rows.size()) - 1;
    if (!DesignFile::writeFile(large, BenchSetup::largeDesign(500))
        || !DesignFile::writeFile(small, BenchSetup::largeDesign(50)))
        return 1;

    // The same design under another name, opened over the large one shown: every
    // object of the old design leaves the canvas as the new one comes in.
    const QString again = dir.filePath(QStringLiteral("again.plbd"));
    if (!QFile::copy(large, again))
        return 1;
    std::vector<double> stalls;
    std::vector<double> readStalls;
    std::vector<double> overLarge;
    std::vector<double> onThread;
    bool progress = true;
    for (int i = 0; i < 3; ++i) {
        const OpenFigures figures = openWatched(files, large);
        if (figures.longestMs < 0)
            return 1;
        stalls.push_back(figures.longestMs);
        readStalls.push_back(figures.readStallMs);
        progress = progress && figures.progressShown;
        const OpenFigures replacing = openWatched(files, again);
        if (replacing.longestMs < 0)
            return 1;
        overLarge.push_back(replacing.longestMs);
        if (!files->openFile(small))
            return 1;
        QElapsedTimer timer;
        timer.start();
        if (!DesignFile::readFile(large))
            return 1;
        onThread.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::printf("opening %d components: the user-interface thread stalled at most %.0f ms, putting the "
                "design into the window (%.0f ms while it was read and parsed on a worker; progress window "
                "%s); reading and parsing the file on that thread takes %.0f ms\n",
                largeComponents, median(stalls), median(readStalls),
                progress ? "shown" : "not shown", median(onThread));
    std::printf("BENCH|longest UI stall opening a 10000-component design|%.0f ms|read and parsed on the UI "
                "thread %.0f ms; while reading %.0f ms; goal 50 ms\n",
                median(stalls), median(onThread), median(readStalls));
    std::printf("BENCH|longest UI stall opening it over another of 10000|%.0f ms|read and parsed on the UI "
                "thread %.0f ms\n",
                median(overLarge), median(onThread));

    if (!files->openFile(small))
        return 1;
    std::vector<double> autosaves;
    std::vector<double> idle;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer timer;
        timer.start();
        autosaves.push_back(autosaveStallMs(window));
        idle.push_back(idleStallMs(int(timer.elapsed())));
    }
    std::printf("autosave of %d components: the user-interface thread stalled at most %.1f ms (%.1f ms "
                "with nothing to do for as long)\n",
                window.table()->componentCount(), median(autosaves), median(idle));
    std::printf("BENCH|longest UI stall during an autosave, %d components|%.1f ms|idle loop %.1f ms; "
                "goal 16 ms\n",
                window.table()->componentCount(), median(autosaves), median(idle));
    files->finishWrites();
    return 0;
}
