#include "canvas/context_menu_operations.h"

#include "canvas/design_canvas.h"
#include "canvas/main_window.h"
#include "canvas/picture_object.h"
#include "components/editor_registry.h"
#include "model/component_table.h"

namespace Plumbrook::ContextMenuOperations {

namespace {

const QString kCarouselKind = QStringLiteral("轮播");

void setLockFlag(MainWindow *main, const QString &flag, const QString &message)
{
    // setCell ignores row -1, so a selection without a row changes nothing.
    main->table()->setCell(main->canvas()->selectedRow(), ComponentTable::Locked, flag);
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
    EditorRegistry::open(main, main->table()->cell(row, ComponentTable::Kind), row);
}

void copy(MainWindow *main)
{
    DesignCanvas *canvas = main->canvas();
    const DesignCanvas::Selection &selection = canvas->selection();
    const int row = canvas->selectedRow();
    if (selection.kind == DesignCanvas::Selection::Picture) {
        const QString kind = main->table()->cell(row, ComponentTable::Kind);
        if (kind == kCarouselKind) {
            main->showStatus(kCarouselCopyMessage);
            return;
        }
        if (row >= 1 && selection.picture)
            canvas->addPictureComponent(kind, selection.picture->pictureData(), row, 0, 0);
    } else if (selection.kind == DesignCanvas::Selection::Text) {
        if (row >= 1)
            canvas->addTextComponent();
    }
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
        QWidget *object = canvas->selectedObject();
        canvas->deleteComponent(object);
        canvas->handles().hideAll();
        main->showStatus(kDeletedMessage);
    }
    EditorRegistry::closeAll();
}

void lock(MainWindow *main)
{
    setLockFlag(main, QStringLiteral("是"), kLockedDoneMessage);
}

void unlock(MainWindow *main)
{
    setLockFlag(main, QStringLiteral("否"), kUnlockedDoneMessage);
}

} // namespace Plumbrook::ContextMenuOperations
