#include "canvas/layer_panel.h"

#include "canvas/canvas_stacking.h"
#include "canvas/design_canvas.h"
#include "canvas/stacking_actions.h"
#include "canvas/design_loader.h"
#include "model/design_document.h"
#include "model/design_selection.h"
#include "model/layer_list_model.h"

#include "ui_layer_panel.h"

#include <QHeaderView>
#include <QMenu>
#include <QPixmap>
#include <QToolButton>
#include <QTreeView>

namespace Plumbrook {

namespace {

using M = LayerStacking::Move;

constexpr int kIconSize = 16;

QIcon kindIcon(const QString &kind)
{
    QPixmap picture;
    if (!picture.loadFromData(DesignLoader::builtinPictureOf(kind)))
        return {};
    return QIcon(picture.scaled(kIconSize, kIconSize, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

} // namespace

LayerPanel::LayerPanel(DesignCanvas *canvas, StackingActions *stacking, QObject *keyHandler,
                       QWidget *parent)
    : QWidget(parent)
    , mCanvas(canvas)
    , mStacking(stacking)
    , mModel(new LayerListModel(canvas->document(), this))
{
    Ui::LayerPanel ui;
    ui.setupUi(this);
    mView = ui.树形框_图层;
    mModel->setIconSource(kindIcon);
    mView->setModel(mModel);
    mView->setUniformRowHeights(true);
    mView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    mView->setSelectionBehavior(QAbstractItemView::SelectRows);
    mView->setDragDropMode(QAbstractItemView::DragDrop);
    mView->setDefaultDropAction(Qt::MoveAction);
    mView->setDropIndicatorShown(true);
    mView->setExpandsOnDoubleClick(false);
    mView->setIconSize(QSize(kIconSize, kIconSize));
    mView->setContextMenuPolicy(Qt::CustomContextMenu);
    QHeaderView *header = mView->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(LayerListModel::NameColumn, QHeaderView::Stretch);
    for (int column : {int(LayerListModel::ShownColumn), int(LayerListModel::LockedColumn)}) {
        header->setSectionResizeMode(column, QHeaderView::Fixed);
        header->resizeSection(column, 36);
    }
    // Delete, copying, pasting and the arrow keys do to the lines selected what they
    // do on the canvas.
    if (keyHandler)
        mView->installEventFilter(keyHandler);

    const std::pair<QToolButton *, M> buttons[] = {
        {ui.按钮_置于顶层, M::ToTop}, {ui.按钮_上移一层, M::Up},
        {ui.按钮_下移一层, M::Down}, {ui.按钮_置于底层, M::ToBottom},
    };
    for (const auto &[button, move] : buttons)
        connect(button, &QToolButton::clicked, this, [this, move] { mStacking->run(move); });

    connect(mModel, &LayerListModel::statusMessage, this, &LayerPanel::statusMessage);
    connect(mModel, &QAbstractItemModel::modelReset, this, [this] {
        mView->expandAll();
        showDocumentSelection();
    });
    connect(mModel, &QAbstractItemModel::layoutChanged, mView, &QTreeView::expandAll);
    // The same components in another order: rows moved, by a stacking operation, a
    // dragged line, undo or redo; the canvas stacks as the shop will.
    connect(mModel, &QAbstractItemModel::layoutChanged, this, [this] { CanvasStacking::restack(mCanvas); });
    connect(canvas->document()->selection(), &DesignSelection::selectionChanged, this,
            &LayerPanel::showDocumentSelection);
    connect(mView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &LayerPanel::takeViewSelection);
    connect(mView, &QTreeView::doubleClicked, this, [this](const QModelIndex &index) {
        QWidget *object = mCanvas->objectById(mModel->idAt(index.siblingAtColumn(LayerListModel::NameColumn)));
        if (!object)
            return;
        mCanvas->selectObjects({object});
        emit editRequested();
    });
    connect(mView, &QTreeView::customContextMenuRequested, this, &LayerPanel::popMenu);
    mView->expandAll();
    showDocumentSelection();
}

void LayerPanel::showDocumentSelection()
{
    if (mSyncing)
        return;
    mSyncing = true;
    const DesignSelection *selection = mCanvas->document()->selection();
    QItemSelection lines;
    for (const QString &id : selection->ids()) {
        const QModelIndex line = mModel->indexOfId(id);
        if (line.isValid())
            lines.select(line, line.siblingAtColumn(LayerListModel::ColumnCount - 1));
    }
    QItemSelectionModel *model = mView->selectionModel();
    model->select(lines, QItemSelectionModel::ClearAndSelect);
    const QModelIndex current = mModel->indexOfId(selection->current());
    if (current.isValid()) {
        model->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
        mView->scrollTo(current);
    }
    mSyncing = false;
}

void LayerPanel::takeViewSelection()
{
    if (mSyncing)
        return;
    mSyncing = true;
    const QString current = mModel->idAt(mView->currentIndex().siblingAtColumn(LayerListModel::NameColumn));
    QList<QWidget *> objects;
    QWidget *first = nullptr;
    for (const QModelIndex &line : mView->selectionModel()->selectedRows(LayerListModel::NameColumn)) {
        const QString id = mModel->idAt(line);
        QWidget *object = mCanvas->objectById(id);
        if (!object)
            continue;
        if (id == current)
            first = object;
        else
            objects.append(object);
    }
    // The line clicked last is the one the geometry boxes and the editor act on.
    if (first)
        objects.prepend(first);
    if (objects.isEmpty())
        mCanvas->clearSelection();
    else
        mCanvas->selectObjects(objects);
    mSyncing = false;
}

void LayerPanel::popMenu(const QPoint &pos)
{
    if (!mView->indexAt(pos).isValid())
        return;
    QMenu menu(this);
    menu.addAction(QStringLiteral("编辑"), this, &LayerPanel::editRequested);
    menu.addSeparator();
    menu.addActions(mStacking->actions());
    menu.exec(mView->viewport()->mapToGlobal(pos));
}

} // namespace Plumbrook
