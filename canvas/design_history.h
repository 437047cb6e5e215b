#pragma once

#include "canvas/design_snapshot.h"

#include <QObject>
#include <QSet>
#include <QVector>

class QLineEdit;
class QTimer;

namespace Plumbrook {

class DesignCanvas;

// Undo and redo of the design. It watches the table, the canvas and the
// carousel settings files, and at the end of each event-loop turn in which the
// design changed records one step, so every user operation is one step.
class DesignHistory : public QObject
{
    Q_OBJECT

public:
    explicit DesignHistory(DesignCanvas *canvas, QObject *parent = nullptr);

    // Boxes whose typing merges into one step per cell (the geometry boxes).
    void watchTypingBoxes(const QList<QLineEdit *> &boxes);
    // Signals of other objects that mean "the design may have changed".
    template<typename Sender, typename Signal>
    void watch(Sender *sender, Signal signal)
    {
        connect(sender, signal, this, [this] { changeSeen(); });
    }

    bool canUndo() const { return mIndex > 0; }
    bool canRedo() const { return mIndex + 1 < mStates.size(); }
    int undoCount() const { return mIndex; }
    int redoCount() const { return int(mStates.size()) - mIndex - 1; }
    bool undo();
    bool redo();
    // Records what changed since the last step now instead of at the end of the turn.
    void commitPending();
    // Forgets every step; what the canvas shows now is where undo stops.
    void reset();
    // Counts the changes of what a design file holds, so that savers can tell whether there is news.
    quint64 revision() const { return mRevision; }
    const DesignSnapshot &current() const { return mStates.at(mIndex); }

signals:
    void changed();

private:
    enum class Change { None, Amend, Typing, Step };

    void changeSeen();
    void commit();
    Change classify(const DesignSnapshot &before, const DesignSnapshot &after) const;
    void restoreTo(int index);
    // A background picture arriving for an earlier step; true when the current step is not its own.
    bool deliverBackground(const DesignSnapshot &next);
    // Puts the canvas, now showing `shown`, back to the current step.
    void restoreCanvas(const DesignSnapshot &shown);

    static constexpr int kNoBackgroundStep = -1;
    static constexpr int kDroppedBackgroundStep = -2;

    DesignCanvas *mCanvas;
    QTimer *mTimer;
    QVector<DesignSnapshot> mStates;
    QVector<QString> mTypingKeys;   // per state: the cell its typing step wrote, or empty
    int mIndex = 0;
    int mBackgroundStep = kNoBackgroundStep;   // the step whose background picture is on its way
    QSet<int> mDirtyCarousels;
    bool mTyping = false;
    bool mRestoring = false;
    quint64 mRevision = 0;
};

} // namespace Plumbrook
