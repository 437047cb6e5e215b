#include "canvas/ruler_guides.h"

#include "canvas/canvas_ruler.h"
#include "canvas/canvas_surface.h"
#include "canvas/design_canvas.h"
#include "canvas/zoom_mapping.h"
#include "model/design_document.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

namespace Plumbrook {

namespace {

// A guide's line, one device pixel thick, in a strip wide enough to take hold of.
class GuideLine : public QWidget
{
public:
    GuideLine(Qt::Orientation orientation, QWidget *parent)
        : QWidget(parent)
        , mOrientation(orientation)
    {
        setCursor(orientation == Qt::Horizontal ? Qt::SplitVCursor : Qt::SplitHCursor);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        const QColor colour(0, 170, 255);
        // The line covers the pixel lineOffset() in, as a component's edge at that place does.
        const int offset = RulerGuides::lineOffset();
        if (mOrientation == Qt::Horizontal)
            p.fillRect(QRect(0, offset, width(), 1), colour);
        else
            p.fillRect(QRect(offset, 0, 1, height()), colour);
    }

private:
    Qt::Orientation mOrientation;
};

constexpr int kGuideThickness = 5;

} // namespace

RulerGuides::RulerGuides(DesignCanvas *canvas, QLabel *horizontalRuler, QLabel *verticalRuler,
                         QObject *parent)
    : QObject(parent)
    , mCanvas(canvas)
    , mHorizontal(new CanvasRuler(horizontalRuler, Qt::Horizontal, this))
    , mVertical(new CanvasRuler(verticalRuler, Qt::Vertical, this))
{
    for (QLabel *label : {horizontalRuler, verticalRuler}) {
        label->installEventFilter(this);
        label->setCursor(Qt::ArrowCursor);
    }
    connect(mCanvas->document(), &DesignDocument::guidesChanged, this, &RulerGuides::placeGuides);
    connect(mCanvas, &DesignCanvas::zoomChanged, this, &RulerGuides::refresh);
    connect(mCanvas, &DesignCanvas::modulePlaced, this, &RulerGuides::refresh);
    // The canvas moves under the page as it scrolls, and the module with it; the page and
    // the rulers find their places when the window is first laid out.
    mCanvas->surface()->installEventFilter(this);
    content()->installEventFilter(this);
    if (content()->parentWidget())
        content()->parentWidget()->installEventFilter(this);
    refresh();
}

CanvasRuler *RulerGuides::ruler(Qt::Orientation orientation) const
{
    return orientation == Qt::Horizontal ? mHorizontal : mVertical;
}

QWidget *RulerGuides::content() const
{
    return mCanvas->surface()->parentWidget();
}

QList<QWidget *> RulerGuides::guides(Qt::Orientation orientation) const
{
    return orientation == Qt::Horizontal ? mGuidesY : mGuidesX;
}

void RulerGuides::refresh()
{
    const QPoint corner = mCanvas->surface()->mapToGlobal(
        ZoomMapping::toScreen(mCanvas->backgroundPos(), mCanvas->zoom()));
    mHorizontal->show(mCanvas->zoom(), mHorizontal->label()->mapFromGlobal(corner).x());
    mVertical->show(mCanvas->zoom(), mVertical->label()->mapFromGlobal(corner).y());
    placeGuides();
}

QWidget *RulerGuides::makeGuide(Qt::Orientation orientation)
{
    auto *guide = new GuideLine(orientation, content());
    guide->setObjectName(orientation == Qt::Horizontal ? QStringLiteral("辅助线_横向")
                                                       : QStringLiteral("辅助线_纵向"));
    guide->installEventFilter(this);
    return guide;
}

void RulerGuides::place(QWidget *guide, Qt::Orientation orientation, int module) const
{
    const QPoint origin = mCanvas->surface()->pos();
    const double zoom = mCanvas->zoom();
    const QSize area = content()->size();
    if (orientation == Qt::Horizontal) {
        const int y = origin.y() + ZoomMapping::toScreen(mCanvas->backgroundPos().y() + module, zoom);
        guide->setGeometry(0, y - lineOffset(), area.width(), kGuideThickness);
    } else {
        const int x = origin.x() + ZoomMapping::toScreen(mCanvas->backgroundPos().x() + module, zoom);
        guide->setGeometry(x - lineOffset(), 0, kGuideThickness, area.height());
    }
    guide->show();
    guide->raise();
}

void RulerGuides::placeGuides()
{
    const DesignDocument *document = mCanvas->document();
    for (const auto &[orientation, values, widgets] :
         {std::tuple{Qt::Vertical, document->guidesX(), &mGuidesX},
          std::tuple{Qt::Horizontal, document->guidesY(), &mGuidesY}}) {
        while (widgets->size() > values.size()) {
            QWidget *gone = widgets->takeLast();
            if (gone == mDragged)
                mDragged = nullptr;
            gone->deleteLater();
        }
        while (widgets->size() < values.size())
            widgets->append(makeGuide(orientation));
        for (qsizetype i = 0; i < values.size(); ++i)
            place(widgets->at(i), orientation, values.at(i));
    }
    if (mDragged && mDragIndex < 0)
        mDragged->raise();
}

int RulerGuides::moduleAt(Qt::Orientation orientation, const QPoint &global) const
{
    if (orientation == Qt::Horizontal)
        return mVertical->moduleAt(mVertical->label()->mapFromGlobal(global).y());
    return mHorizontal->moduleAt(mHorizontal->label()->mapFromGlobal(global).x());
}

bool RulerGuides::removesGuide(const QPoint &global) const
{
    // Back onto a ruler, or out of the page.
    QWidget *page = content()->parentWidget() ? content()->parentWidget() : content();
    return !page->rect().contains(page->mapFromGlobal(global))
           || mHorizontal->label()->rect().contains(mHorizontal->label()->mapFromGlobal(global))
           || mVertical->label()->rect().contains(mVertical->label()->mapFromGlobal(global));
}

void RulerGuides::beginDrag(QWidget *guide, Qt::Orientation orientation, int index)
{
    mDragged = guide;
    mDragOrientation = orientation;
    mDragIndex = index;
}

void RulerGuides::dragTo(const QPoint &global)
{
    if (mDragged)
        place(mDragged, mDragOrientation, moduleAt(mDragOrientation, global));
}

void RulerGuides::endDrag(const QPoint &global)
{
    if (!mDragged)
        return;
    QWidget *dragged = mDragged;
    mDragged = nullptr;
    DesignDocument *document = mCanvas->document();
    QVector<int> x = document->guidesX();
    QVector<int> y = document->guidesY();
    QVector<int> &values = mDragOrientation == Qt::Horizontal ? y : x;
    const bool removed = removesGuide(global);
    if (mDragIndex < 0) {
        dragged->deleteLater();
        if (!removed)
            values.append(moduleAt(mDragOrientation, global));
    } else if (mDragIndex < values.size()) {
        if (removed)
            values.remove(mDragIndex);
        else
            values[mDragIndex] = moduleAt(mDragOrientation, global);
    }
    document->setGuides(x, y);
    placeGuides();
}

bool RulerGuides::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    const bool ruler = watched == mHorizontal->label() || watched == mVertical->label();
    const bool guide = mGuidesX.contains(watched) || mGuidesY.contains(watched) || watched == mDragged;
    if (!guide && (type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show)) {
        // The side ruler runs the page's height, above the canvas it measures.
        QWidget *page = content()->parentWidget();
        if (watched == page && mVertical->label()->parentWidget() == page) {
            mVertical->label()->setGeometry(0, 0, mVertical->label()->width(), page->height());
            mVertical->label()->raise();
        }
        refresh();
        return QObject::eventFilter(watched, event);
    }
    if (!ruler && !guide)
        return QObject::eventFilter(watched, event);
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease)
        return QObject::eventFilter(watched, event);
    auto *mouse = static_cast<QMouseEvent *>(event);
    const QPoint global = mouse->globalPosition().toPoint();
    if (type == QEvent::MouseButtonPress) {
        if (mouse->button() != Qt::LeftButton)
            return false;
        if (watched == mHorizontal->label() || watched == mVertical->label()) {
            // Out of the ruler across the page: the top ruler gives horizontal guides.
            const Qt::Orientation orientation =
                watched == mHorizontal->label() ? Qt::Horizontal : Qt::Vertical;
            beginDrag(makeGuide(orientation), orientation, -1);
            mDragged->hide();
            return true;
        }
        const qsizetype x = mGuidesX.indexOf(watched);
        const qsizetype y = mGuidesY.indexOf(watched);
        if (x < 0 && y < 0)
            return false;
        beginDrag(static_cast<QWidget *>(watched), x >= 0 ? Qt::Vertical : Qt::Horizontal,
                  int(x >= 0 ? x : y));
        return true;
    }
    if (!mDragged)
        return false;
    if (type == QEvent::MouseMove)
        dragTo(global);
    else if (mouse->button() == Qt::LeftButton)
        endDrag(global);
    return true;
}

} // namespace Plumbrook
