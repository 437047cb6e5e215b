#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QVector>

#include <memory>

namespace Plumbrook {

class BandOutline;
class DesignCanvas;
class DragSnapper;

// The pointer gestures on the design page: selecting, moving and resizing
// components, panning wide modules, and asking for the context menu.
class CanvasInteraction : public QObject
{
    Q_OBJECT

public:
    explicit CanvasInteraction(DesignCanvas *canvas, QObject *parent = nullptr);
    ~CanvasInteraction() override;

    DragSnapper *snapper() const { return mSnapper; }

signals:
    void contextMenuRequested(const QPoint &globalPos);
    void dragAnywhereOff();
    // A press on the canvas is about to change the selection: what is being typed
    // for the old one is applied first.
    void selectionAboutToChange();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void objectPressed(QWidget *object, Qt::MouseButton button, const QPoint &globalPos,
                       Qt::KeyboardModifiers modifiers);
    // A press on a component of a selection of several starts moving them all.
    bool startGroupMove(QWidget *object, const QPoint &globalPos);
    void finishGroupMove();
    void raiseGroup(const QList<QWidget *> &moving);
    // The live place and size of what is dragged, in module pixels, on the status line.
    void showLive(const QRect &frame);
    void handlePressed(int handle, const QPoint &globalPos);
    void finishGesture();
    void surfacePressed(Qt::MouseButton button, const QPoint &pos, int spriteId);
    void surfaceMoved(const QPoint &pos);
    void surfaceReleased(Qt::MouseButton button, const QPoint &pos, int spriteId);

    enum class Gesture { None, Move, Resize };
    DesignCanvas *mCanvas;
    Gesture mGesture = Gesture::None;
    QPointer<QWidget> mTarget;
    QPoint mPressGlobal;
    QRect mStartGeometry;
    int mHandle = -1;
    struct Moving
    {
        QPointer<QWidget> object;
        QPoint start;
    };
    QVector<Moving> mGroup;
    QRect mGroupStart;
    DragSnapper *mSnapper;
    std::unique_ptr<BandOutline> mBand;
    QPoint mBandOrigin;
    bool mBanding = false;
    bool mPanning = false;
    QPoint mPanStart;   // where the background lay when the pan began
};

} // namespace Plumbrook
