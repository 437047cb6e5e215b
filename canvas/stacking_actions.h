#pragma once

#include "model/layer_stacking.h"

#include <QList>
#include <QObject>

class QAction;
class QWidget;

namespace Plumbrook {

class DesignCanvas;

// "置于顶层", "上移一层", "下移一层" and "置于底层" with their shortcuts: each restacks
// the selected components by moving their rows, one step, and the canvas with them.
class StackingActions : public QObject
{
    Q_OBJECT

public:
    // The shortcuts work anywhere in `window`.
    StackingActions(DesignCanvas *canvas, QWidget *window);

    QList<QAction *> actions() const { return mActions; }
    QAction *action(LayerStacking::Move move) const { return mActions.at(int(move)); }
    void run(LayerStacking::Move move);

private:
    DesignCanvas *mCanvas;
    QList<QAction *> mActions;
};

} // namespace Plumbrook
