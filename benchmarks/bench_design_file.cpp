// Saving and opening a design of 1,000 components, and the memory the undo
// history holds after 1,000 edits of such a design.
#include "canvas/design_canvas.h"
#include "canvas/design_history.h"
#include "canvas/file_menu.h"
#include "canvas/frame_picture.h"
#include "canvas/main_window.h"
#include "components/component_creation.h"
#include "components/creation_defaults.h"
#include "components/preview_download.h"
#include "components/program_dir.h"
#include "model/component_table.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

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
    const auto &kinds = CreationDefaults::all();
    for (int i = 0; table->componentCount() < components; ++i) {
        const int row = ComponentCreation::create(canvas, kinds.at(i % kinds.size()).kind);
        table->setCell(row, ComponentTable::Left, QString::number(i % 40 * 20));
        table->setCell(row, ComponentTable::Top, QString::number(i / 40 * 20));
    }
}

// Heap in use, in bytes.
double heapBytes()
{
    malloc_trim(0);
    return double(mallinfo2().uordblks);
}

struct EditFigures
{
    double heldBytes = 0;     // heap the kept steps hold
    double editBytes = 0;     // heap the edits themselves left behind
    double microsPerEdit = 0;   // recording the step only, not the move
};

// Moves one component after the other, each move one recorded step.
EditFigures measureEdits(MainWindow &window, int edits)
{
    DesignCanvas *canvas = window.canvas();
    DesignHistory *history = window.history();
    const QList<QWidget *> objects = canvas->allObjects();
    history->reset();
    const double before = heapBytes();
    qint64 recording = 0;
    for (int i = 0; i < edits; ++i) {
        QWidget *object = objects.at((i * 37) % objects.size());
        object->move(object->pos() + QPoint(1, 0));
        canvas->refreshSelectionDisplay(object);
        QElapsedTimer timer;
        timer.start();
        history->commitPending();
        recording += timer.nsecsElapsed();
    }
    EditFigures figures;
    figures.microsPerEdit = recording / 1e3 / edits;
    const double withSteps = heapBytes();
    history->reset();
    const double withoutSteps = heapBytes();
    figures.heldBytes = withSteps - withoutSteps;
    figures.editBytes = withoutSteps - before;
    return figures;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir programDir;
    ProgramDir::setOverride(programDir.path());
    MainWindow window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    FileMenu *files = window.fileMenu();
    QTemporaryDir dir;
    files->setDataDir(dir.path());
    const QByteArray preview = makeFramePicture(8, 8, 0x123456, 0x123456);
    files->setPreviewFetch([preview](const QString &) { return preview; });

    constexpr int kComponents = 1000;
    buildDesign(window, kComponents);
    const QString path = dir.filePath(QStringLiteral("bench.plbd"));

    std::vector<double> saves;
    std::vector<double> opens;
    std::vector<double> settled;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer timer;
        timer.start();
        if (!files->saveTo(path))
            return 1;
        saves.push_back(timer.nsecsElapsed() / 1e6);

        timer.restart();
        if (!files->openFile(path))
            return 1;
        opens.push_back(timer.nsecsElapsed() / 1e6);
        while (PreviewDownload::pending() > 0)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QCoreApplication::processEvents();
        settled.push_back(timer.nsecsElapsed() / 1e6);
    }
    const double fileKb = QFileInfo(path).size() / 1024.0;
    std::printf("design of %d components (%.0f KB file): save %.1f ms, open %.1f ms, open until every "
                "preview is shown %.1f ms\n",
                window.table()->componentCount(), fileKb, median(saves), median(opens), median(settled));
    std::printf("BENCH|save, 1000 components|%.1f ms|%.0f KB file\n", median(saves), fileKb);
    std::printf("BENCH|open, 1000 components|%.1f ms|previews shown after %.1f ms\n", median(opens),
                median(settled));

    if (app.arguments().contains(QStringLiteral("--files-only")))
        return 0;
    constexpr int kEdits = 1000;
    const EditFigures edits = measureEdits(window, kEdits);
    const double mb = 1024.0 * 1024.0;
    std::printf("undo history after %d moves on %d components: %.2f MB of heap (the edits themselves "
                "%.2f MB), %.0f us to record each step\n",
                kEdits, kComponents, edits.heldBytes / mb, edits.editBytes / mb, edits.microsPerEdit);
    std::printf("BENCH|undo history after 1000 edits, 1000 components|%.2f MB|edits themselves %.2f MB\n",
                edits.heldBytes / mb, edits.editBytes / mb);
    std::printf("BENCH|recording one step, 1000 components|%.0f us|-\n", edits.microsPerEdit);
    return 0;
}
