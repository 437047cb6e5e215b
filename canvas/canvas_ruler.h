#pragma once

#include <QFuture>
#include <QImage>
#include <QObject>
#include <QSize>

class QLabel;

namespace Plumbrook {

// The ruler above the design page: a scale of canvas pixels that follows the zoom
// and the scrolling, redrawn whenever either changes.
class CanvasRuler : public QObject
{
    Q_OBJECT

public:
    explicit CanvasRuler(QLabel *label, QObject *parent = nullptr);
    ~CanvasRuler() override;

    // `offset` is how far the canvas is scrolled, in screen pixels.
    void show(double zoom, int offset);
    void redraw() { show(mZoom, mOffset); }
    // Draws the strip for the label's present size on a pool thread; the label takes
    // it when it is first shown, or the next show() that asks for the same strip.
    void redrawInBackground();

    // The canvas pixels between two numbered marks at `zoom`: numbers stay apart.
    static int numberedStep(double zoom);
    // Any thread may draw a strip: it paints into an image of its own.
    static QImage drawStrip(const QSize &size, double zoom, int offset);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void takePending();

    QLabel *mLabel;
    double mZoom = 1.0;
    int mOffset = 0;
    QFuture<QImage> mPending;
    QSize mPendingSize;
    bool mHasPending = false;
};

} // namespace Plumbrook
