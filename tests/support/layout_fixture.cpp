#include "support/canvas_driving.h"
#include "support/layout_fixture.h"

#include "canvas/canvas_surface.h"
#include "canvas/design_canvas.h"
#include "canvas/file_menu.h"
#include "canvas/main_window.h"
#include "canvas/module_background_layer.h"
#include "components/component_creation.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "support/editor_driving.h"
#include "support/test_support.h"

#include <QMouseEvent>
#include <QTest>
#include <QWheelEvent>

namespace Plumbrook::Test {

using T = ComponentTable;

void sendMouse(QWidget *widget, QEvent::Type type, const QPoint &local, Qt::MouseButton button,
               Qt::KeyboardModifiers modifiers)
{
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
    QMouseEvent event(type, QPointF(local), QPointF(widget->mapToGlobal(local)), button, buttons,
                      modifiers);
    QCoreApplication::sendEvent(widget, &event);
}

// Delivered to the design page, where a wheel turned over the canvas arrives: Qt
// passes only the system's own wheel events on to the parents.
void sendWheel(QWidget *widget, int delta, Qt::KeyboardModifiers modifiers)
{
    widget = widget->window()->findChild<QWidget *>(QStringLiteral("设计"));
    const QPointF at(10, 10);
    QWheelEvent event(at, widget->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      modifiers, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(widget, &event);
}

LayoutFixture::LayoutFixture() = default;

LayoutFixture::~LayoutFixture()
{
    close();
}

void LayoutFixture::open()
{
    DesignerOptions options;
    options.beforeShow = [](MainWindow *window, const QString &programDir) {
        window->fileMenu()->setDataDir(programDir);
    };
    mDesigner = std::make_unique<DesignerWindow>(std::move(options));
    takeWindow(mDesigner->window());
}

void LayoutFixture::takeWindow(MainWindow *window)
{
    mWindow = window;
    mCanvas = window ? window->canvas() : nullptr;
    mTable = window ? window->table() : nullptr;
}

void LayoutFixture::reopen()
{
    takeWindow(mDesigner->reopen());
}

void LayoutFixture::close()
{
    takeWindow(nullptr);
    mDesigner.reset();
}

void LayoutFixture::setModule(int width, int height)
{
    mWindow->document()->writeUnstepped([&] {
        mTable->setCell(0, T::Width, QString::number(width));
        mTable->setCell(0, T::Height, QString::number(height));
    });
    ModuleBackgroundLayer::render(mCanvas);
    QTRY_COMPARE(mCanvas->backgroundPictureSize(), QSize(width, height));
}

QWidget *LayoutFixture::create(const QString &kind, const QPoint &moduleAt)
{
    const int row = mCanvas->addComponent(kind);
    QWidget *object = mCanvas->objectById(mTable->cell(row, T::Id));
    object->move(mCanvas->backgroundPos() + moduleAt);
    Test::storeFrame(mCanvas, object);
    return object;
}

QPoint LayoutFixture::cellPos(QWidget *object) const
{
    const int row = mTable->findRowById(DesignCanvas::tagOf(object));
    return QPoint(mTable->cellInt(row, T::Left), mTable->cellInt(row, T::Top));
}

void LayoutFixture::key(int key, Qt::KeyboardModifiers modifiers)
{
    QTest::keyClick(mCanvas->surface(), Qt::Key(key), modifiers);
}

void LayoutFixture::click(QWidget *object, Qt::KeyboardModifiers modifiers)
{
    sendMouse(object, QEvent::MouseButtonPress, QPoint(2, 2), Qt::LeftButton, modifiers);
    sendMouse(object, QEvent::MouseButtonRelease, QPoint(2, 2), Qt::LeftButton, modifiers);
}

void LayoutFixture::drag(QWidget *widget, const QPoint &from, const QPoint &to,
                         Qt::KeyboardModifiers modifiers)
{
    sendMouse(widget, QEvent::MouseButtonPress, from, Qt::LeftButton);
    QMouseEvent move(QEvent::MouseMove, QPointF(to), QPointF(widget->mapToGlobal(to)), Qt::NoButton,
                     Qt::LeftButton, modifiers);
    QCoreApplication::sendEvent(widget, &move);
}

} // namespace Plumbrook::Test
