#pragma once

#include <QObject>

namespace Plumbrook {

class DesignCanvas;

// A small lock in the corner of each locked component on the canvas, following
// the lock flag through every change, undo and opened design.
class LockMarks : public QObject
{
    Q_OBJECT

public:
    explicit LockMarks(DesignCanvas *canvas, QObject *parent = nullptr);

    // Marks every locked component and unmarks the others.
    void markAll();
    static bool isMarked(const QWidget *object);

private:
    void mark(const QString &id);
    void scheduleAll();

    DesignCanvas *mCanvas;
    bool mScheduled = false;
};

} // namespace Plumbrook
