#include "canvas/zoom_controls.h"

#include "canvas/canvas_scroller.h"
#include "canvas/design_canvas.h"
#include "canvas/zoom_mapping.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QRegularExpression>
#include <QWidget>

#include <cmath>

namespace Plumbrook {

ZoomControls::ZoomControls(DesignCanvas *canvas, CanvasScroller *scroller, QComboBox *box,
                           QWidget *window, QObject *parent)
    : QObject(parent)
    , mCanvas(canvas)
    , mScroller(scroller)
    , mBox(box)
    , mIn(new QAction(QStringLiteral("放大"), window))
    , mOut(new QAction(QStringLiteral("缩小"), window))
    , mActual(new QAction(QStringLiteral("实际大小"), window))
{
    // Ctrl+= is where + lies without Shift; the platform's own zoom keys work too. A
    // key listed twice would make the action's own shortcuts ambiguous.
    const auto keys = [](QKeySequence own, QKeySequence::StandardKey standard) {
        QList<QKeySequence> list{own};
        for (const QKeySequence &key : QKeySequence::keyBindings(standard)) {
            if (!list.contains(key))
                list.append(key);
        }
        return list;
    };
    mIn->setShortcuts(keys(QKeySequence(Qt::CTRL | Qt::Key_Equal), QKeySequence::ZoomIn));
    mOut->setShortcuts(keys(QKeySequence(Qt::CTRL | Qt::Key_Minus), QKeySequence::ZoomOut));
    mActual->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    for (QAction *action : {mIn, mOut, mActual}) {
        action->setShortcutContext(Qt::WindowShortcut);
        window->addAction(action);
    }
    connect(mIn, &QAction::triggered, this, [this] { mScroller->zoomBySteps(1, mScroller->viewCentre()); });
    connect(mOut, &QAction::triggered, this, [this] { mScroller->zoomBySteps(-1, mScroller->viewCentre()); });
    connect(mActual, &QAction::triggered, this, [this] { mScroller->zoomTo(1.0); });

    // Completing "5" to "50%" as it is typed would zoom to what was not asked for.
    mBox->setCompleter(nullptr);
    for (int percent : {25, 50, 75, 100, 125, 150, 200, 300, 400})
        mBox->addItem(QStringLiteral("%1%").arg(percent), percent);
    showZoom(canvas->zoom());
    connect(canvas, &DesignCanvas::zoomChanged, this, &ZoomControls::showZoom);
    connect(mBox, &QComboBox::activated, this, [this](int index) {
        mScroller->zoomTo(mBox->itemData(index).toInt() / 100.0);
        showZoom(mCanvas->zoom());
    });
    if (QLineEdit *edit = mBox->lineEdit())
        connect(edit, &QLineEdit::editingFinished, this, &ZoomControls::applyTyped);
}

int ZoomControls::percentOf(const QString &text)
{
    static const QRegularExpression percent(QStringLiteral("^\\s*(\\d{1,6})\\s*%?\\s*$"));
    const QRegularExpressionMatch match = percent.match(text);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

void ZoomControls::applyTyped()
{
    const int percent = percentOf(mBox->currentText());
    // What names no zoom leaves the zoom as it is; what lies beyond the range goes to its end.
    if (percent > 0)
        mScroller->zoomTo(qBound(ZoomMapping::kMinimum, percent / 100.0, ZoomMapping::kMaximum));
    showZoom(mCanvas->zoom());
}

void ZoomControls::showZoom(double zoom)
{
    const QString text = QStringLiteral("%1%").arg(std::lround(zoom * 100));
    const int index = mBox->findText(text);
    if (index >= 0)
        mBox->setCurrentIndex(index);
    mBox->setEditText(text);
}

} // namespace Plumbrook
