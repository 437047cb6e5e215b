#include "components/window_drag.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWidget>

using namespace Plumbrook;

class TestWindowDrag : public QObject
{
    Q_OBJECT

private slots:
    void movesByThePointer_data();
    void movesByThePointer();
};

namespace {

// A frameless window as the program's small windows are: a surface with controls on it.
struct DraggedWindow
{
    QWidget window{nullptr, Qt::Window | Qt::FramelessWindowHint};
    QPushButton *button = new QPushButton(QStringLiteral("确定"), &window);
    QLineEdit *field = new QLineEdit(&window);

    DraggedWindow()
    {
        window.setGeometry(200, 150, 320, 200);
        button->setGeometry(10, 10, 80, 24);
        field->setGeometry(10, 50, 120, 24);
        WindowDrag::install(&window);
        window.show();
    }

    QWidget *target(const QString &name)
    {
        if (name == u"button")
            return button;
        if (name == u"field")
            return field;
        return &window;
    }
};

} // namespace

void TestWindowDrag::movesByThePointer_data()
{
    QTest::addColumn<QString>("pressedOn");
    QTest::addColumn<int>("button");
    QTest::addColumn<QPoint>("by");
    QTest::addColumn<QPoint>("moved");

    QTest::newRow("surface, left button") << "surface" << int(Qt::LeftButton) << QPoint(37, -21) << QPoint(37, -21);
    QTest::newRow("surface, off the left edge") << "surface" << int(Qt::LeftButton) << QPoint(-400, 5) << QPoint(-400, 5);
    QTest::newRow("surface, right button") << "surface" << int(Qt::RightButton) << QPoint(37, -21) << QPoint();
    // A control keeps its own presses: a button pressed and slid off is no drag.
    QTest::newRow("button") << "button" << int(Qt::LeftButton) << QPoint(37, -21) << QPoint();
    QTest::newRow("text field") << "field" << int(Qt::LeftButton) << QPoint(37, -21) << QPoint();
}

void TestWindowDrag::movesByThePointer()
{
    QFETCH(QString, pressedOn);
    QFETCH(int, button);
    QFETCH(QPoint, by);
    QFETCH(QPoint, moved);

    DraggedWindow dragged;
    QVERIFY(QTest::qWaitForWindowExposed(&dragged.window));
    const QPoint before = dragged.window.pos();
    QWidget *target = dragged.target(pressedOn);
    const QPoint grab = pressedOn == u"surface" ? QPoint(250, 150) : target->rect().center();
    const QPoint grabbedAt = target->mapToGlobal(grab);

    QTest::mousePress(target, Qt::MouseButton(button), {}, grab);
    // Where the pointer goes on the screen, in the target's coordinates as they stand now.
    QTest::mouseMove(target, target->mapFromGlobal(grabbedAt + by));
    QTest::mouseRelease(target, Qt::MouseButton(button), {}, target->mapFromGlobal(grabbedAt + by));

    QCOMPARE(dragged.window.pos(), before + moved);
}

QTEST_MAIN(TestWindowDrag)
#include "tst_window_drag.moc"
