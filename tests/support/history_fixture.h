#pragma once

#include "support/test_support.h"

#include <QPoint>
#include <QStringList>

#include <memory>

class QUndoStack;
class QWidget;

namespace Plumbrook {
class ComponentTable;
class DesignCanvas;
class MainWindow;
}

namespace Plumbrook::Test {

class DesignerWindow;

// A press, `moves` steps to `delta` and the release, all at global positions.
void dragBy(QWidget *widget, const QPoint &delta, int moves = 3);

// A shown designer window on a 950-pixel module with an empty undo history, and the
// user's actions the history tests take on it.
class HistoryFixture
{
public:
    HistoryFixture();
    ~HistoryFixture();

    void open();
    void close();

    MainWindow *window() const { return mWindow; }
    DesignCanvas *canvas() const { return mCanvas; }
    ComponentTable *table() const { return mTable; }
    QUndoStack *stack() const { return mStack; }

    QWidget *object(int row) const;
    void select(int row);
    bool undo();
    bool redo();
    void typeInto(const char *boxName, const QString &text, const char *leaveTo);
    // Each object as the user sees it, bottom to top.
    QStringList canvasLooks() const;

private:
    std::unique_ptr<DesignerWindow> mDesigner;
    MainWindow *mWindow = nullptr;
    DesignCanvas *mCanvas = nullptr;
    ComponentTable *mTable = nullptr;
    QUndoStack *mStack = nullptr;
};

} // namespace Plumbrook::Test
