#include "canvas/geometry_boxes.h"

#include "canvas/design_canvas.h"
#include "model/frame_picture.h"
#include "model/text_ops.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/design_operations.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace Plumbrook {

namespace {

// Widgets hold coordinates and sizes only up to QWIDGETSIZE_MAX; typed values
// beyond it are pinned there instead of overflowing.
int pinned(qint64 value, qint64 lowest)
{
    return int(qBound<qint64>(lowest, value, QWIDGETSIZE_MAX));
}

} // namespace

GeometryBoxes::GeometryBoxes(DesignCanvas *canvas, const std::array<QLineEdit *, 4> &boxesWHXY,
                             QObject *parent)
    : QObject(parent)
    , mCanvas(canvas)
    , mBoxes(boxesWHXY)
{
    for (int i = 0; i < 4; ++i) {
        const Box box = Box(i);
        connect(mBoxes[i], &QLineEdit::textChanged, this,
                [this, box](const QString &text) { store(box, text); });
        mBoxes[i]->installEventFilter(this);
    }
    canvas->setGeometryBoxes({mBoxes[X], mBoxes[Y], mBoxes[Width], mBoxes[Height]});
}

QString GeometryBoxes::focusText(Box box)
{
    switch (box) {
    case Width: return QStringLiteral("显示选中组件的宽度，可在此处直接设置宽度值");
    case Height: return QStringLiteral("显示选中组件的高度，可在此处直接设置高度值");
    case X: return QStringLiteral("显示选中组件的横坐标，可在此处直接设置横坐标值");
    case Y: return QStringLiteral("显示选中组件的纵坐标，可在此处直接设置纵坐标值");
    }
    return {};
}

bool GeometryBoxes::eventFilter(QObject *watched, QEvent *event)
{
    for (int i = 0; i < 4; ++i) {
        if (watched != mBoxes[i])
            continue;
        switch (event->type()) {
        case QEvent::FocusIn:
            ++mTypingRun;
            emit statusMessage(focusText(Box(i)));
            break;
        case QEvent::FocusOut:
            ++mTypingRun;
            // A menu popping up takes the focus for a moment; the box is not left.
            if (static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason && mTyped[i])
                apply(Box(i));
            break;
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if ((key == Qt::Key_Return || key == Qt::Key_Enter) && mTyped[i]) {
                ++mTypingRun;
                apply(Box(i));
            }
            break;
        }
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void GeometryBoxes::applyPending()
{
    for (int i = 0; i < 4; ++i) {
        if (mBoxes[i]->hasFocus() && mTyped[i]) {
            ++mTypingRun;
            apply(Box(i));
        }
    }
}

void GeometryBoxes::store(Box box, const QString &text)
{
    static const int columns[4] = {ComponentTable::Width, ComponentTable::Height,
                                   ComponentTable::Left, ComponentTable::Top};
    // Showing the selection's cells is no typing and no step.
    if (mCanvas->fillingBoxes()) {
        mTyped[box] = false;
        return;
    }
    // Typed for the module background too, which takes the value when the box is left.
    mTyped[box] = true;
    const int row = mCanvas->selectedRow();
    if (row < 1)
        return;
    const QString id = mCanvas->table()->cell(row, ComponentTable::Id);
    const QString name = box == Width || box == Height ? QStringLiteral("修改%1尺寸") : QStringLiteral("修改%1位置");
    const QString key = QStringLiteral("%1/%2/%3").arg(int(box)).arg(id).arg(mTypingRun);
    DesignOperations::setCell(mCanvas->document(), name, id, columns[box], text, key);
}

int GeometryBoxes::value(Box box) const
{
    return TextOps::toInt(mBoxes[box]->text());
}

void GeometryBoxes::apply(Box box)
{
    mTyped[box] = false;
    const auto &selection = mCanvas->selection();
    if (selection.kind == DesignCanvas::Selection::Background) {
        const QPoint pos = mCanvas->backgroundPos();
        switch (box) {
        case Width:
        case Height:
            mCanvas->setBackgroundPicture(
                makeFramePicture(value(Width), value(Height), 0x8050FF, 0x80E000));
            break;
        case X:
            mCanvas->moveBackground(
                QPoint(pinned(qint64(pos.x()) + value(X), -QWIDGETSIZE_MAX), pos.y()));
            break;
        case Y:
            mCanvas->moveBackground(
                QPoint(pos.x(), pinned(qint64(pos.y()) + value(Y), -QWIDGETSIZE_MAX)));
            break;
        }
        return;
    }
    QWidget *object = mCanvas->selectedObject();
    if (!object)
        return;
    const QPoint origin = mCanvas->backgroundPos();
    QRect frame = mCanvas->frameOf(object);
    // Negative sizes are no size at all; the row keeps the typed text.
    switch (box) {
    case Width: frame.setWidth(pinned(value(Width), 0)); break;
    case Height: frame.setHeight(pinned(value(Height), 0)); break;
    case X: frame.moveLeft(pinned(qint64(origin.x()) + value(X), -QWIDGETSIZE_MAX)); break;
    case Y: frame.moveTop(pinned(qint64(origin.y()) + value(Y), -QWIDGETSIZE_MAX)); break;
    }
    mCanvas->setFrame(object, frame);
}

} // namespace Plumbrook
