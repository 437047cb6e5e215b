#include "canvas/drag_snapper.h"

#include "canvas/canvas_surface.h"
#include "canvas/design_canvas.h"
#include "canvas/zoom_mapping.h"
#include "model/component_table.h"
#include "model/design_document.h"

#include <QWidget>

#include <cmath>

namespace Plumbrook {

namespace {

QWidget *makeGuide(QWidget *parent, const QString &name)
{
    auto *guide = new QWidget(parent);
    guide->setObjectName(name);
    guide->setAttribute(Qt::WA_TransparentForMouseEvents);
    guide->setAutoFillBackground(true);
    QPalette palette = guide->palette();
    palette.setColor(QPalette::Window, QColor(255, 0, 160));
    guide->setPalette(palette);
    guide->hide();
    return guide;
}

} // namespace

DragSnapper::DragSnapper(DesignCanvas *canvas, QObject *parent)
    : QObject(parent)
    , mCanvas(canvas)
{
}

bool DragSnapper::active(Qt::KeyboardModifiers modifiers) const
{
    return mBuilt && !(modifiers & Qt::AltModifier);
}

int DragSnapper::tolerance() const
{
    // At most the same distance on screen at any zoom: fewer canvas pixels the closer one looks.
    return qMax(1, int(std::floor(kTolerance / mCanvas->zoom() + 1e-9)));
}

void DragSnapper::begin(const QList<QWidget *> &moving)
{
    mBuilt = mEnabled && mEnabled();
    if (!mBuilt)
        return;
    QVector<QRect> others;
    const QList<QWidget *> all = mCanvas->allObjects();
    others.reserve(all.size());
    for (QWidget *object : all) {
        if (!moving.contains(object) && object->isVisible())
            others.append(mCanvas->frameOf(object));
    }
    const ComponentTable *table = mCanvas->table();
    const QRect module(mCanvas->backgroundPos(), QSize(table->cellInt(0, ComponentTable::Width),
                                                       table->cellInt(0, ComponentTable::Height)));
    // The grid and the guides start at the module's corner; frames are in canvas pixels.
    const DesignDocument *document = mCanvas->document();
    QVector<int> guidesX = document->guidesX();
    QVector<int> guidesY = document->guidesY();
    for (int &x : guidesX)
        x += module.x();
    for (int &y : guidesY)
        y += module.y();
    mIndex.build(others, module, module.topLeft(), mCanvas->surface()->gridSize(), guidesX, guidesY);
    if (!mGuideX) {
        QWidget *parent = mCanvas->surface()->parentWidget();
        mGuideX = makeGuide(parent, QStringLiteral("参考线_纵向"));
        mGuideY = makeGuide(parent, QStringLiteral("参考线_横向"));
    }
}

QRect DragSnapper::moved(const QRect &proposed, Qt::KeyboardModifiers modifiers)
{
    if (!active(modifiers)) {
        showGuides({});
        return proposed;
    }
    const SnapIndex::Snap snap = mIndex.snapFrame(proposed, tolerance());
    showGuides(snap);
    return proposed.translated(snap.delta);
}

QRect DragSnapper::resized(const QRect &proposed, const QPoint &edges, Qt::KeyboardModifiers modifiers)
{
    if (!active(modifiers)) {
        showGuides({});
        return proposed;
    }
    const SnapIndex::Snap snap = mIndex.snapEdges(proposed, edges, tolerance());
    showGuides(snap);
    QRect frame = proposed;
    if (edges.x() < 0)
        frame.setLeft(qMin(frame.left() + snap.delta.x(), frame.x() + frame.width()));
    else if (edges.x() > 0)
        frame.setWidth(qMax(0, frame.width() + snap.delta.x()));
    if (edges.y() < 0)
        frame.setTop(qMin(frame.top() + snap.delta.y(), frame.y() + frame.height()));
    else if (edges.y() > 0)
        frame.setHeight(qMax(0, frame.height() + snap.delta.y()));
    return frame;
}

void DragSnapper::end()
{
    mBuilt = false;
    showGuides({});
}

void DragSnapper::showGuides(const SnapIndex::Snap &snap)
{
    if (!mGuideX)
        return;
    const QSize area = mCanvas->surface()->size();
    if (snap.guideX != SnapIndex::kNone) {
        mGuideX->setGeometry(ZoomMapping::toScreen(snap.guideX, mCanvas->zoom()), 0, 1, area.height());
        mGuideX->show();
        mGuideX->raise();
    } else {
        mGuideX->hide();
    }
    if (snap.guideY != SnapIndex::kNone) {
        mGuideY->setGeometry(0, ZoomMapping::toScreen(snap.guideY, mCanvas->zoom()), area.width(), 1);
        mGuideY->show();
        mGuideY->raise();
    } else {
        mGuideY->hide();
    }
}

} // namespace Plumbrook
