#pragma once

#include <QObject>

class QLabel;

namespace Plumbrook {

// The ruler above the design page: a scale of canvas pixels that follows the zoom
// and the scrolling, redrawn whenever either changes.
class CanvasRuler : public QObject
{
    Q_OBJECT

public:
    explicit CanvasRuler(QLabel *label, QObject *parent = nullptr);

    // `offset` is how far the canvas is scrolled, in screen pixels.
    void show(double zoom, int offset);
    void redraw() { show(mZoom, mOffset); }

    // The canvas pixels between two numbered marks at `zoom`: numbers stay apart.
    static int numberedStep(double zoom);

private:
    QLabel *mLabel;
    double mZoom = 1.0;
    int mOffset = 0;
};

} // namespace Plumbrook
