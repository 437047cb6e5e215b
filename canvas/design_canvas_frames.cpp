// The design canvas's objects in canvas pixels: their frames at any zoom and while
// the module is panned.
#include "canvas/design_canvas.h"

#include "canvas/canvas_surface.h"
#include "canvas/picture_object.h"
#include "canvas/selection_frame.h"
#include "canvas/zoom_mapping.h"

#include <QLabel>
#include <QScopedValueRollback>

namespace Plumbrook {

namespace {

const char *const kFontProperty = "canvasFont";
const char *const kShownFontProperty = "shownFont";

} // namespace

QRect DesignCanvas::frameOf(const QWidget *object) const
{
    const QRect shown = object->geometry();
    if (mZoom == 1.0)
        return shown.translated(mPanDelta);
    // A widget moved by other means than setFrame() tells its frame by where it lies.
    const auto placed = mPlaced.constFind(object);
    if (placed != mPlaced.constEnd() && placed->shown == shown)
        return placed->frame.translated(mPanDelta);
    return ZoomMapping::toCanvas(shown, mZoom).translated(mPanDelta);
}

QVector<QRect> DesignCanvas::framesOf(const QList<QWidget *> &objects) const
{
    QVector<QRect> frames;
    frames.reserve(objects.size());
    for (const QWidget *object : objects)
        frames.append(frameOf(object));
    return frames;
}

void DesignCanvas::setFrame(QWidget *object, const QRect &frame) const
{
    using ZoomMapping::pinned;
    const QRect own = QRect(pinned(qint64(frame.x()) - mPanDelta.x(), -QWIDGETSIZE_MAX),
                            pinned(qint64(frame.y()) - mPanDelta.y(), -QWIDGETSIZE_MAX),
                            pinned(frame.width(), 0), pinned(frame.height(), 0));
    if (mZoom == 1.0) {
        object->setGeometry(own);
        return;
    }
    object->setGeometry(ZoomMapping::toScreen(own, mZoom));
    mPlaced.insert(object, {own, object->geometry()});
}

void DesignCanvas::moveObject(QWidget *object, const QPoint &topLeft) const
{
    setFrame(object, QRect(topLeft, frameOf(object).size()));
}

QFont DesignCanvas::labelFont(const QLabel *label) const
{
    if (mZoom != 1.0 && label->property(kShownFontProperty).value<QFont>() == label->font())
        return label->property(kFontProperty).value<QFont>();
    return label->font();
}

void DesignCanvas::setLabelFont(QLabel *label, const QFont &font) const
{
    if (mZoom == 1.0) {
        label->setFont(font);
        return;
    }
    QFont shown = font;
    if (font.pixelSize() > 0)
        shown.setPixelSize(qMax(1, int(std::lround(font.pixelSize() * mZoom))));
    else if (font.pointSizeF() > 0)
        shown.setPointSizeF(font.pointSizeF() * mZoom);
    const QScopedValueRollback<bool> setting(mSettingFont, true);
    label->setFont(shown);
    label->setProperty(kFontProperty, font);
    label->setProperty(kShownFontProperty, label->font());
}

void DesignCanvas::followFont(QLabel *label) const
{
    if (mSettingFont || mZoom == 1.0 || label->property(kShownFontProperty).value<QFont>() == label->font())
        return;
    // A copy: the label's own font changes as the zoomed one is set.
    const QFont own = label->font();
    setLabelFont(label, own);
}

QRect DesignCanvas::shownFrame(const QWidget *object) const
{
    return QRect(object->mapTo(mSurface->parentWidget(), QPoint(0, 0)), object->size());
}

QWidget *DesignCanvas::objectLayer() const
{
    return mPictureTemplate->parentWidget();
}

void DesignCanvas::setZoom(double zoom)
{
    if (!(zoom > 0))
        return;
    zoom = qBound(ZoomMapping::kMinimum, zoom, ZoomMapping::kMaximum);
    if (zoom == mZoom)
        return;
    const QList<QWidget *> objects = allObjects();
    const QVector<QRect> frames = framesOf(objects);
    const QList<QLabel *> labels = textLabels();
    QList<QFont> fonts;
    for (QLabel *label : labels)
        fonts.append(labelFont(label));
    // One repaint for the whole layer, not one per object.
    QWidget *layer = objectLayer();
    layer->setUpdatesEnabled(false);
    mZoom = zoom;
    mSurface->setScale(zoom);
    layer->move(ZoomMapping::toScreen(mPanDelta, zoom));
    for (qsizetype i = 0; i < objects.size(); ++i)
        setFrame(objects[i], frames[i]);
    for (qsizetype i = 0; i < labels.size(); ++i)
        setLabelFont(labels[i], fonts[i]);
    if (zoom == 1.0)
        mPlaced.clear();   // widgets tell their frames themselves at 100 %
    layer->setUpdatesEnabled(true);
    if (mHandlesTarget && !mHandles.label(SelectionHandles::TopLeft)->isHidden())
        mHandles.place(shownFrame(mHandlesTarget));
    if (!mFrame->isHidden())
        showSelection();
    emit zoomChanged(zoom);
}

void DesignCanvas::panObjects(const QPoint &canvasDelta)
{
    mPanDelta = canvasDelta;
    objectLayer()->move(ZoomMapping::toScreen(canvasDelta, mZoom));
}

void DesignCanvas::settlePan()
{
    if (mPanDelta.isNull())
        return;
    const QList<QWidget *> objects = allObjects();
    const QVector<QRect> frames = framesOf(objects);
    QWidget *layer = objectLayer();
    layer->setUpdatesEnabled(false);
    mPanDelta = QPoint();
    layer->move(0, 0);
    for (qsizetype i = 0; i < objects.size(); ++i)
        setFrame(objects[i], frames[i]);
    layer->setUpdatesEnabled(true);
}

} // namespace Plumbrook
