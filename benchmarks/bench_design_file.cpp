// Saving and opening designs of 1,000 and 10,000 components, the longest stall of
// the user-interface thread while an autosave is written, and the memory the undo
// history holds after 1,000 edits of such a design.
#include "bench_setup.h"
#include "support/canvas_driving.h"
#include "stall_watch.h"
#include "canvas/design_canvas.h"
#include "canvas/file_menu.h"
#include "model/frame_picture.h"
#include "canvas/main_window.h"
#include "canvas/preview_download.h"
#include "components/component_creation.h"
#include "model/creation_defaults.h"
#include "model/program_dir.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/design_file.h"
#include "model/kind_table.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUndoStack>

#include <algorithm>
#include <cstdio>
#include <malloc.h>
#include <vector>

using namespace Plumbrook;

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void buildDesign(MainWindow &window, int components)
{
    DesignCanvas *canvas = window.canvas();
    ComponentTable *table = window.table();
    const auto &kinds = KindTable::all();
    for (int i = 0; table->componentCount() < components; ++i) {
        const int row = canvas->addComponent(kinds.at(i % kinds.size()).name);
        window.document()->writeUnstepped([&] {
            table->setCell(row, ComponentTable::Left, QString::number(i % 40 * 20));
            table->setCell(row, ComponentTable::Top, QString::number(i / 40 * 20));
        });
    }
}

void waitForPreviews()
{
    while (PreviewDownload::pending() > 0)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QCoreApplication::processEvents();
}

// Opens as "打开…" does and waits until the design is in the window: a large one is
// read off the user-interface thread.
bool openAndWait(FileMenu *files, const QString &path)
{
    if (!files->openFile(path))
        return false;
    while (files->openingProgress()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    if (files->currentPath() == path)
        return true;
    std::fprintf(stderr, "%s not opened\n", qPrintable(path));
    return false;
}

// Saves and waits until the file is written: the whole time, and the part the
// user-interface thread is held.
struct SaveFigures
{
    double totalMs = 0;
    double heldMs = 0;
};

SaveFigures timedSave(FileMenu *files, const QString &path)
{
    QSignalSpy written(files, &FileMenu::designWritten);
    QElapsedTimer timer;
    timer.start();
    files->saveTo(path);
    SaveFigures figures;
    figures.heldMs = timer.nsecsElapsed() / 1e6;
    if (!written.wait(60000) || !written.first().at(1).toBool()) {
        std::fprintf(stderr, "%s not saved\n", qPrintable(path));
        return {-1, -1};
    }
    figures.totalMs = timer.nsecsElapsed() / 1e6;
    return figures;
}

// The longest gap between two ticks of a 1 ms timer over `ms` with nothing to do: what
// the machine itself adds to the stall below.
double idleStallMs(int ms)
{
    StallWatch watch;
    watch.runUntil([&] { return watch.elapsedMs() >= ms; });
    return watch.longestMs();
}

// The longest gap between two ticks of a 1 ms timer while an autosave of the changed
// design is asked for and written.
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

// Heap in use, in bytes.
double heapBytes()
{
    malloc_trim(0);
    return double(mallinfo2().uordblks);
}

struct EditFigures
{
    double heldBytes = 0;       // heap the kept steps hold
    double microsPerEdit = 0;   // a moved component's writes recorded as a step
    double microsBare = 0;      // the same writes without a step
};

// Moves one component after the other, each move's writes into the table one
// recorded step, beside the same writes without recording them. The widgets move
// and the selection display is refreshed outside the timing, so that what is
// timed is the step and the writes it wraps.
EditFigures measureEdits(MainWindow &window, int edits)
{
    DesignCanvas *canvas = window.canvas();
    DesignDocument *document = window.document();
    QUndoStack *stack = document->undoStack();
    const QList<QWidget *> objects = canvas->allObjects();
    stack->clear();
    qint64 recording = 0;
    qint64 bare = 0;
    for (int i = 0; i < edits; ++i) {
        QWidget *object = objects.at((i * 37) % objects.size());
        object->move(object->pos() + QPoint(1, 0));
        QElapsedTimer timer;
        timer.start();
        document->record(QStringLiteral("移动"), [&] { Test::storeFrame(canvas, object); });
        recording += timer.nsecsElapsed();
        canvas->refreshSelectionDisplay(object);
    }
    EditFigures figures;
    const double withSteps = heapBytes();
    stack->clear();
    figures.heldBytes = withSteps - heapBytes();
    for (int i = 0; i < edits; ++i) {
        QWidget *object = objects.at((i * 37) % objects.size());
        object->move(object->pos() + QPoint(1, 0));
        QElapsedTimer timer;
        timer.start();
        Test::storeFrame(canvas, object);
        bare += timer.nsecsElapsed();
        canvas->refreshSelectionDisplay(object);
    }
    figures.microsPerEdit = recording / 1e3 / edits;
    figures.microsBare = bare / 1e3 / edits;
    return figures;
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
    // Autosaves are asked for below, not by the timer; an unchanged design is never
    // asked whether to keep it.
    files->setAsker([](const QString &, const QStringList &) { return 1; });
    files->startSession();
    files->findChild<QTimer *>(QStringLiteral("自动保存"))->stop();
    const QByteArray preview = makeFramePicture(8, 8, 0x123456, 0x123456);
    files->setPreviewFetch([preview](const QString &) { return preview; });

    constexpr int kComponents = 1000;
    buildDesign(window, kComponents);
    const QString path = dir.filePath(QStringLiteral("bench.plbd"));

    std::vector<double> saves;
    std::vector<double> held;
    std::vector<double> opens;
    std::vector<double> settled;
    for (int i = 0; i < 5; ++i) {
        const SaveFigures save = timedSave(files, path);
        if (save.totalMs < 0)
            return 1;
        saves.push_back(save.totalMs);
        held.push_back(save.heldMs);

        QElapsedTimer timer;
        timer.start();
        if (!openAndWait(files, path))
            return 1;
        opens.push_back(timer.nsecsElapsed() / 1e6);
        waitForPreviews();
        settled.push_back(timer.nsecsElapsed() / 1e6);
    }
    const double fileKb = QFileInfo(path).size() / 1024.0;
    std::printf("design of %d components (%.0f KB file): save %.1f ms (the user-interface thread held "
                "%.1f ms of it), open %.1f ms, open until every preview is shown %.1f ms\n",
                window.table()->componentCount(), fileKb, median(saves), median(held), median(opens),
                median(settled));
    std::printf("BENCH|save, 1000 components|%.1f ms|%.0f KB file, UI thread held %.1f ms\n", median(saves),
                fileKb, median(held));
    std::printf("BENCH|open a 1000-component file (read and put into the window)|%.1f ms|"
                "previews shown after %.1f ms\n", median(opens),
                median(settled));

    // An autosave beside the same design written on the user-interface thread.
    std::vector<double> stalls;
    std::vector<double> idle;
    std::vector<double> onThread;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer timer;
        timer.start();
        stalls.push_back(autosaveStallMs(window));
        idle.push_back(idleStallMs(int(timer.elapsed())));
        timer.restart();
        DesignFile::Design design = DesignFile::fromTable(*window.table());
        if (!DesignFile::writeFile(dir.filePath(QStringLiteral("inline.plbd")), design))
            return 1;
        onThread.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::printf("autosave of %d components: the user-interface thread stalled at most %.1f ms (%.1f ms "
                "with nothing to do for as long; %.1f ms to write the same design on it)\n",
                window.table()->componentCount(), median(stalls), median(idle), median(onThread));
    std::printf("BENCH|longest UI stall during an autosave, 1000 components|%.1f ms|idle loop %.1f ms, "
                "written on the UI thread %.1f ms; goal 16 ms\n",
                median(stalls), median(idle), median(onThread));

    // 10,000 components: opening files whose carousels differ from what their
    // settings files hold, so that every carousel's file is written, beside opening
    // the same file again.
    const QString large[2] = {dir.filePath(QStringLiteral("large-a.plbd")),
                              dir.filePath(QStringLiteral("large-b.plbd"))};
    for (int variant = 0; variant < 2; ++variant) {
        if (!DesignFile::writeFile(large[variant], BenchSetup::largeDesign(500, {.variant = variant})))
            return 1;
    }
    std::vector<double> largeOpens;
    std::vector<double> reopens;
    for (int i = 0; i < 6; ++i) {
        QElapsedTimer timer;
        timer.start();
        if (!openAndWait(files, large[(i / 2) % 2]))
            return 1;
        (i % 2 ? reopens : largeOpens).push_back(timer.nsecsElapsed() / 1e6);
        waitForPreviews();
    }
    std::vector<double> largeSaves;
    std::vector<double> largeHeld;
    for (int i = 0; i < 3; ++i) {
        const SaveFigures save = timedSave(files, dir.filePath(QStringLiteral("large-saved.plbd")));
        if (save.totalMs < 0)
            return 1;
        largeSaves.push_back(save.totalMs);
        largeHeld.push_back(save.heldMs);
    }
    std::printf("design of %d components: open %.0f ms (%.0f ms opening the same file again), save %.0f ms "
                "(the user-interface thread held %.1f ms of it)\n",
                window.table()->componentCount(), median(largeOpens), median(reopens), median(largeSaves),
                median(largeHeld));
    std::printf("BENCH|open a 10000-component file (read and put into the window)|%.0f ms|"
                "the same file again %.0f ms; 1000 components %.1f ms; goal 1000 ms\n",
                median(largeOpens), median(reopens), median(opens));
    std::printf("BENCH|save, 10000 components|%.0f ms|UI thread held %.1f ms; 1000 components %.1f ms; "
                "goal 200 ms\n",
                median(largeSaves), median(largeHeld), median(saves));

    if (app.arguments().contains(QStringLiteral("--files-only")))
        return 0;
    if (!openAndWait(files, path))
        return 1;
    waitForPreviews();
    constexpr int kEdits = 1000;
    const EditFigures edits = measureEdits(window, kEdits);
    const double mb = 1024.0 * 1024.0;
    std::printf("undo history after %d moves on %d components: %.3f MB of heap, %.1f us to record "
                "each move's writes as a step (%.1f us for the same writes without a step)\n",
                kEdits, kComponents, edits.heldBytes / mb, edits.microsPerEdit, edits.microsBare);
    std::printf("BENCH|undo history after 1000 edits, 1000 components|%.3f MB|goal 1 MB\n",
                edits.heldBytes / mb);
    std::printf("BENCH|recording one step, 1000 components|%.1f us|the same writes without a step %.1f us\n",
                edits.microsPerEdit, edits.microsBare);
    return 0;
}
