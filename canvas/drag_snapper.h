#pragma once

#include "model/snap_index.h"

#include <QList>
#include <QObject>
#include <functional>

class QWidget;

namespace Plumbrook {

class DesignCanvas;

// Snaps what a drag or resize proposes to the lines of the module, the other
// components and the grid while snapping is switched on and Alt is not held, and
// shows the guide lines snapped to.
class DragSnapper : public QObject
{
    Q_OBJECT

public:
    static constexpr int kTolerance = 5;   // screen pixels

    explicit DragSnapper(DesignCanvas *canvas, QObject *parent = nullptr);

    void setEnabledSource(std::function<bool()> source) { mEnabled = std::move(source); }

    // Starts a gesture moving or resizing `moving`; the others are what it snaps to.
    void begin(const QList<QWidget *> &moving);
    // The frame to use for `proposed`, moved as a whole or resized at `edges`.
    QRect moved(const QRect &proposed, Qt::KeyboardModifiers modifiers);
    QRect resized(const QRect &proposed, const QPoint &edges, Qt::KeyboardModifiers modifiers);
    void end();

    const SnapIndex &index() const { return mIndex; }

private:
    bool active(Qt::KeyboardModifiers modifiers) const;
    int tolerance() const;
    void showGuides(const SnapIndex::Snap &snap);

    DesignCanvas *mCanvas;
    std::function<bool()> mEnabled;
    SnapIndex mIndex;
    bool mBuilt = false;
    QWidget *mGuideX = nullptr;
    QWidget *mGuideY = nullptr;
};

} // namespace Plumbrook
