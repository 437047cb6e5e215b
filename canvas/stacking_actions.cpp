#include "canvas/stacking_actions.h"

#include "canvas/canvas_stacking.h"
#include "canvas/design_canvas.h"
#include "model/design_document.h"
#include "model/design_selection.h"

#include <QAction>
#include <QWidget>

namespace Plumbrook {

namespace {

using M = LayerStacking::Move;

// A shifted bracket arrives as a brace on most keyboards, with Shift or without it.
QList<QKeySequence> shortcutsOf(M move)
{
    switch (move) {
    case M::ToTop:
        return {QKeySequence(QStringLiteral("Ctrl+Shift+]")), QKeySequence(QStringLiteral("Ctrl+Shift+}")),
                QKeySequence(QStringLiteral("Ctrl+}"))};
    case M::Up:
        return {QKeySequence(QStringLiteral("Ctrl+]"))};
    case M::Down:
        return {QKeySequence(QStringLiteral("Ctrl+["))};
    case M::ToBottom:
        return {QKeySequence(QStringLiteral("Ctrl+Shift+[")), QKeySequence(QStringLiteral("Ctrl+Shift+{")),
                QKeySequence(QStringLiteral("Ctrl+{"))};
    }
    return {};
}

} // namespace

StackingActions::StackingActions(DesignCanvas *canvas, QWidget *window)
    : QObject(window)
    , mCanvas(canvas)
{
    for (M move : {M::ToTop, M::Up, M::Down, M::ToBottom}) {
        auto *action = new QAction(LayerStacking::nameOf(move), window);
        action->setShortcuts(shortcutsOf(move));
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, [this, move] { run(move); });
        window->addAction(action);
        mActions.append(action);
    }
}

void StackingActions::run(LayerStacking::Move move)
{
    DesignDocument *document = mCanvas->document();
    const LayerStacking::Outcome outcome = LayerStacking::move(document, document->selection()->ids(), move);
    if (outcome.moved)
        CanvasStacking::restack(mCanvas);
    if (!outcome.message.isEmpty())
        emit mCanvas->statusMessage(outcome.message);
}

} // namespace Plumbrook
