#pragma once

#include <QObject>
#include <QPoint>
#include <QSize>

class QScrollBar;
class QWidget;

namespace Plumbrook {

class DesignCanvas;

// Scrolls and zooms the design page over a canvas as large as the module and its
// margin: the canvas and every object on it share one parent, which alone moves.
class CanvasScroller : public QObject
{
    Q_OBJECT

public:
    CanvasScroller(DesignCanvas *canvas, QWidget *page, QWidget *content, QScrollBar *horizontal,
                   QScrollBar *vertical, QObject *parent = nullptr);

    // The size the layout gives the canvas; it grows beyond it for larger modules.
    void setBaseSize(const QSize &size);
    // Sizes the canvas for the module where it lies now and sets the scroll ranges.
    void fit();
    QPoint offset() const;   // how far the canvas is scrolled
    void scrollTo(const QPoint &offset);
    // Scrolls by a wheel's turn: vertically, or horizontally with `horizontal`.
    void scrollByWheel(int delta, bool horizontal);
    // Zooms so that the canvas point under `anchor` (in the page's pixels) stays
    // under it, as far as the scroll ranges allow.
    void zoomTo(double zoom, const QPoint &anchor);
    void zoomTo(double zoom);   // about the middle of what the page shows
    // Steps to the next zoom in (positive) or out (negative).
    void zoomBySteps(int steps, const QPoint &anchor);
    QPoint viewCentre() const;
    // Scrolls as little as brings a canvas object wholly into view, or centres it
    // when it is larger than the view.
    void ensureVisible(const QWidget *object);

signals:
    void scrolled(const QPoint &offset);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void placeContent();

    DesignCanvas *mCanvas;
    QWidget *mPage;
    QWidget *mContent;
    QScrollBar *mHorizontal;
    QScrollBar *mVertical;
    QSize mBase;
    int mWheelZoom = 0;   // a fine wheel's turn, kept until it makes a whole notch
};

} // namespace Plumbrook
