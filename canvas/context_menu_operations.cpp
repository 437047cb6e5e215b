#include "canvas/context_menu_operations.h"

#include "canvas/design_canvas.h"
#include "canvas/main_window.h"
#include "canvas/picture_object.h"
#include "components/editor_registry.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/kind_table.h"

namespace Plumbrook::ContextMenuOperations {

namespace {

const QString kAddStep = QStringLiteral("添加图片");

void setLockFlag(MainWindow *main, const QString &step, const QString &flag, const QString &message)
{
    // setCell ignores row -1, so a selection without a row changes nothing.
    main->document()->record(step, [main, &flag] {
        main->table()->setCell(main->canvas()->selectedRow(), ComponentTable::Locked, flag);
    });
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
        if (KindTable::is(kind, KindTable::Kind::Carousel)) {
            main->showStatus(kCarouselCopyMessage);
            return;
        }
        if (row >= 1 && selection.picture) {
            main->document()->record(kAddStep, [&] {
                canvas->addPictureComponent(kind, selection.picture->pictureData(), row, 0, 0);
            });
        }
    } else if (selection.kind == DesignCanvas::Selection::Text) {
        if (row >= 1)
            main->document()->record(kAddStep, [canvas] { canvas->addTextComponent(); });
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
        main->document()->record(QStringLiteral("删除"), [&] { canvas->deleteComponent(object); });
        canvas->handles().hideAll();
        main->showStatus(kDeletedMessage);
    }
    EditorRegistry::closeAll();
}

void lock(MainWindow *main)
{
    setLockFlag(main, QStringLiteral("锁定"), QStringLiteral("是"), kLockedDoneMessage);
}

void unlock(MainWindow *main)
{
    setLockFlag(main, QStringLiteral("解锁"), QStringLiteral("否"), kUnlockedDoneMessage);
}

} // namespace Plumbrook::ContextMenuOperations
