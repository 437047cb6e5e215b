#pragma once

#include <QEvent>
#include <QPoint>
#include <QString>

#include <memory>

class QWidget;

namespace Plumbrook {
class ComponentTable;
class DesignCanvas;
class MainWindow;
}

namespace Plumbrook::Test {

class DesignerWindow;

// A mouse event at a point of `widget`; after a release no button is held.
void sendMouse(QWidget *widget, QEvent::Type type, const QPoint &local, Qt::MouseButton button,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// A wheel turn over the canvas of the window holding `widget`.
void sendWheel(QWidget *widget, int delta, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// A shown designer window of its own program folder, and the steps a layout test takes on it.
class LayoutFixture
{
public:
    LayoutFixture();
    ~LayoutFixture();

    void open();
    void close();
    // The window closed and made again on the same program folder, as a second run.
    void reopen();

    MainWindow *window() const { return mWindow; }
    DesignCanvas *canvas() const { return mCanvas; }
    ComponentTable *table() const { return mTable; }

    QWidget *create(const QString &kind, const QPoint &moduleAt);
    QPoint cellPos(QWidget *object) const;
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void click(QWidget *object, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void setModule(int width, int height);
    // A press and one move, the button still held.
    void drag(QWidget *widget, const QPoint &from, const QPoint &to,
              Qt::KeyboardModifiers modifiers = Qt::NoModifier);

private:
    void takeWindow(MainWindow *window);

    std::unique_ptr<DesignerWindow> mDesigner;
    MainWindow *mWindow = nullptr;
    DesignCanvas *mCanvas = nullptr;
    ComponentTable *mTable = nullptr;
};

} // namespace Plumbrook::Test
