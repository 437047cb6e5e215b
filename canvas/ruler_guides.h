#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QLabel;
class QMouseEvent;
class QWidget;

namespace Plumbrook {

class CanvasRuler;
class DesignCanvas;

// The rulers beside the design page and the guides dragged out of them: a guide lies at a
// module pixel kept by the design document, moves when dragged and goes when dragged back
// onto a ruler or out of the page.
class RulerGuides : public QObject
{
    Q_OBJECT

public:
    RulerGuides(DesignCanvas *canvas, QLabel *horizontalRuler, QLabel *verticalRuler,
                QObject *parent = nullptr);

    CanvasRuler *ruler(Qt::Orientation orientation) const;
    // Follows the zoom, the scrolling and the module's place.
    void refresh();
    // Horizontal guides lie at module y, vertical ones at module x; in the document's order.
    QList<QWidget *> guides(Qt::Orientation orientation) const;
    // Where a guide's line is drawn, in global coordinates along its ruler's axis.
    static int lineOffset() { return 2; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *content() const;
    QWidget *makeGuide(Qt::Orientation orientation);
    void place(QWidget *guide, Qt::Orientation orientation, int module) const;
    void placeGuides();
    // The module pixel under a global point along the axis a guide of `orientation` measures.
    int moduleAt(Qt::Orientation orientation, const QPoint &global) const;
    bool removesGuide(const QPoint &global) const;
    void beginDrag(QWidget *guide, Qt::Orientation orientation, int index);
    void dragTo(const QPoint &global);
    void endDrag(const QPoint &global);

    DesignCanvas *mCanvas;
    CanvasRuler *mHorizontal;
    CanvasRuler *mVertical;
    QList<QWidget *> mGuidesX;   // vertical lines
    QList<QWidget *> mGuidesY;   // horizontal lines
    QPointer<QWidget> mDragged;
    Qt::Orientation mDragOrientation = Qt::Horizontal;
    int mDragIndex = -1;   // the guide's place in the document's list; -1 for a new one
};

} // namespace Plumbrook
