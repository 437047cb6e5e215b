#pragma once

#include <QObject>

class QAction;
class QComboBox;
class QWidget;

namespace Plumbrook {

class CanvasScroller;
class DesignCanvas;

// The zoom's keys (Ctrl+=, Ctrl+-, Ctrl+0) and its box on the status strip, which
// shows the zoom and takes a typed or chosen percentage.
class ZoomControls : public QObject
{
    Q_OBJECT

public:
    ZoomControls(DesignCanvas *canvas, CanvasScroller *scroller, QComboBox *box, QWidget *window,
                 QObject *parent = nullptr);

    QAction *zoomInAction() const { return mIn; }
    QAction *zoomOutAction() const { return mOut; }
    QAction *actualSizeAction() const { return mActual; }

    // The percentage a text names ("150", "150%", " 150 % "), or 0 when it names none.
    static int percentOf(const QString &text);

private:
    void showZoom(double zoom);
    void applyTyped();

    DesignCanvas *mCanvas;
    CanvasScroller *mScroller;
    QComboBox *mBox;
    QAction *mIn;
    QAction *mOut;
    QAction *mActual;
};

} // namespace Plumbrook
