// Saving and opening a design of 1,000 components, and the memory the undo
// history holds after 1,000 edits of such a design.
#include "canvas/design_canvas.h"
#include "canvas/file_menu.h"
#include "canvas/frame_picture.h"
#include "canvas/main_window.h"
#include "components/component_creation.h"
#include "components/creation_defaults.h"
#include "components/preview_download.h"
#include "components/program_dir.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/kind_table.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
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
        const int row = ComponentCreation::create(canvas, kinds.at(i % kinds.size()).name);
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
    double heldBytes = 0;       // heap the kept steps hold
    double microsPerEdit = 0;   // one move recorded as a step
    double microsBare = 0;      // the same move's writes without a step
};

// Moves one component after the other, each move one recorded step, beside the
// same moves written without recording them.
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
        document->record(QStringLiteral("移动"), [&] { canvas->refreshSelectionDisplay(object); });
        recording += timer.nsecsElapsed();
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
        canvas->refreshSelectionDisplay(object);
        bare += timer.nsecsElapsed();
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
    std::printf("undo history after %d moves on %d components: %.3f MB of heap, %.1f us to make and "
                "record each step (%.1f us for the same move without a step)\n",
                kEdits, kComponents, edits.heldBytes / mb, edits.microsPerEdit, edits.microsBare);
    std::printf("BENCH|undo history after 1000 edits, 1000 components|%.3f MB|goal 1 MB\n",
                edits.heldBytes / mb);
    std::printf("BENCH|recording one step, 1000 components|%.1f us|the move without a step %.1f us\n",
                edits.microsPerEdit, edits.microsBare);
    return 0;
}
