#pragma once

#include <QWidget>

class QTreeView;

namespace Plumbrook {

class DesignCanvas;
class LayerListModel;
class StackingActions;

// The "图层" panel beside the canvas: the layer list with its selection shared
// with the canvas both ways, the stacking buttons and context menu, and the
// canvas's keyboard operations acting on the lines selected.
class LayerPanel : public QWidget
{
    Q_OBJECT

public:
    LayerPanel(DesignCanvas *canvas, StackingActions *stacking, QObject *keyHandler,
               QWidget *parent = nullptr);

    LayerListModel *model() const { return mModel; }
    QTreeView *view() const { return mView; }

signals:
    // A line was double-clicked: its component is the selection, to be edited.
    void editRequested();
    void statusMessage(const QString &text);

private:
    void showDocumentSelection();
    void takeViewSelection();
    void popMenu(const QPoint &pos);

    DesignCanvas *mCanvas;
    StackingActions *mStacking;
    LayerListModel *mModel;
    QTreeView *mView;
    bool mSyncing = false;
};

} // namespace Plumbrook
