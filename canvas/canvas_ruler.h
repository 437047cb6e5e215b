#pragma once

#include <QColor>
#include <QObject>

class QLabel;

namespace Plumbrook {

// A ruler beside the design page: a scale of module pixels, 0 at the module's edge, that
// follows the zoom and the scrolling; drawn in device pixels, so crisp at any scale factor.
class CanvasRuler : public QObject
{
    Q_OBJECT

public:
    CanvasRuler(QLabel *label, Qt::Orientation orientation, QObject *parent = nullptr);

    QLabel *label() const { return mLabel; }
    Qt::Orientation orientation() const { return mOrientation; }

    // `origin` is where the module's edge lies along the ruler, in the label's pixels.
    void show(double zoom, int origin);
    void redraw();

    // The module pixel shown at `position` along the ruler (the label's pixels), and back.
    int moduleAt(int position) const;
    int positionOf(int module) const;

    // The module pixels between two numbered marks at `zoom`: numbers stay apart.
    static int numberedStep(double zoom);

    static QColor markColour() { return QColor(200, 205, 210); }
    static QColor groundColour() { return QColor(48, 52, 58); }

private:
    QLabel *mLabel;
    Qt::Orientation mOrientation;
    double mZoom = 1.0;
    int mOrigin = 0;
    double mDrawnRatio = 0;
};

} // namespace Plumbrook
