#include "canvas/context_menu_operations.h"

#include "canvas/design_canvas.h"
#include "canvas/main_window.h"
#include "components/editor_registry.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/design_operations.h"
#include "model/kind_table.h"

namespace Plumbrook::ContextMenuOperations {

namespace {

void setLockFlag(MainWindow *main, bool locked, const QString &message)
{
    // A selection without a row changes nothing.
    const int row = main->canvas()->selectedRow();
    if (row >= 1)
        DesignOperations::setLocked(main->document(), {main->table()->cell(row, ComponentTable::Id)}, locked);
    main->showStatus(message);
}

} // namespace

void edit(MainWindow *main)
{
    const int row = main->canvas()->selectedRow();
    if (row < 0)
        return;
    EditorRegistry::closeAll();
    if (main->table()->isLocked(row)) {
        main->showStatus(kLockedMessage);
        return;
    }
    EditorRegistry::open(main->editorHost(), main->table()->cell(row, ComponentTable::Kind), row);
}

void copy(MainWindow *main)
{
    DesignCanvas *canvas = main->canvas();
    const int row = canvas->selectedRow();
    if (row < 1)
        return;
    const QString kind = main->table()->cell(row, ComponentTable::Kind);
    if (KindTable::is(kind, KindTable::Kind::Carousel)) {
        main->showStatus(kCarouselCopyMessage);
        return;
    }
    // A whole copy, shown where a new component of the kind appears.
    const QString id = main->table()->cell(row, ComponentTable::Id);
    QStringList sources;
    const QStringList copies = DesignOperations::paste(main->document(), QStringLiteral("复制"),
                                                       DesignOperations::clipOf(main->document(), {id}), {},
                                                       canvas->newComponentPlace(kind), &sources);
    canvas->showSourcePictures(copies, sources);
}

void remove(MainWindow *main)
{
    DesignCanvas *canvas = main->canvas();
    const int row = canvas->selectedRow();
    if (row < 0)
        return;
    if (main->table()->isLocked(row)) {
        main->showStatus(kLockedMessage);
    } else {
        DesignOperations::remove(main->document(), {main->table()->cell(row, ComponentTable::Id)});
        canvas->handles().hideAll();
        main->showStatus(kDeletedMessage);
    }
    EditorRegistry::closeAll();
}

void lock(MainWindow *main)
{
    setLockFlag(main, true, kLockedDoneMessage);
}

void unlock(MainWindow *main)
{
    setLockFlag(main, false, kUnlockedDoneMessage);
}

} // namespace Plumbrook::ContextMenuOperations
