#include "canvas/canvas_surface.h"
#include "canvas/design_canvas.h"
#include "model/frame_picture.h"
#include "canvas/main_window.h"
#include "canvas/context_menu_operations.h"
#include "canvas/picture_object.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "support/canvas_driving.h"
#include "support/editor_driving.h"
#include "support/test_support.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>

using namespace Plumbrook;

namespace {

void sendMouse(QWidget *widget, QEvent::Type type, const QPoint &local, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(local), QPointF(widget->mapToGlobal(local)), button, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

// A press at a point, a move by the delta, a release, as a user's drag.
void drag(QWidget *widget, const QPoint &from, const QPoint &delta)
{
    sendMouse(widget, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    sendMouse(widget, QEvent::MouseMove, from + delta, Qt::NoButton, Qt::LeftButton);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(from), QPointF(), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &release);
}

} // namespace

class TestCanvas : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void addOperations();
    void handlePlacement_data();
    void handlePlacement();
    void firstPressFillsGeometry();
    void dragMovesByExactly();
    void lockedComponentRefusesMoveAndResize();
    void handleResizeKeepsOppositeEdges_data();
    void handleResizeKeepsOppositeEdges();
    void statusTexts();
    void pressOnDeletedRow();
    void geometryBoxes_data();
    void geometryBoxes();
    void geometryBoxesOnBackground();
    void carouselPressLiftsArrows();
    void typedBoxLandsOnItsComponent_data();
    void typedBoxLandsOnItsComponent();
    void handlesResizeTheComponentTheySurround_data();
    void handlesResizeTheComponentTheySurround();

private:
    void centreModule(int width, int height);
    QLineEdit *box(const char *name) const;

    std::unique_ptr<Test::DesignerWindow> mDesigner;
    MainWindow *mWindow = nullptr;
    DesignCanvas *mCanvas = nullptr;
    ComponentTable *mTable = nullptr;
};

void TestCanvas::init()
{
    mDesigner = std::make_unique<Test::DesignerWindow>();
    mWindow = mDesigner->window();
    mCanvas = mWindow->canvas();
    mTable = mWindow->table();
}

void TestCanvas::cleanup()
{
    mDesigner.reset();
    mWindow = nullptr;
}

void TestCanvas::centreModule(int width, int height)
{
    mCanvas->setBackgroundPicture(makeFramePicture(width, height, 0x8445952, 0x8445952));
    mCanvas->centreBackground(width);
}

QLineEdit *TestCanvas::box(const char *name) const
{
    return mWindow->findChild<QLineEdit *>(QString::fromUtf8(name));
}

void TestCanvas::addOperations()
{
    QCOMPARE(mWindow->findChild<QAbstractTableModel *>(QStringLiteral("超级列表框1")), mTable);
    QCOMPARE(mTable->creationCounter(), 1);
    const int a = Test::addPicture(mCanvas, QStringLiteral("图片"), {}, 0, 180, 220);
    const int b = Test::addText(mCanvas);
    const int c = Test::addPicture(mCanvas, QStringLiteral("热点"),
                                               makeFramePicture(100, 100, 0xFF00FF, 0xFF00FF), 0,
                                               100, 100);
    QCOMPARE(a, 1);
    QCOMPARE(b, 2);
    QCOMPARE(c, 3);
    QCOMPARE(mTable->cell(1, ComponentTable::Id), QStringLiteral("2"));
    QCOMPARE(mTable->cell(2, ComponentTable::Width), QStringLiteral("112"));
    QCOMPARE(mTable->cell(2, ComponentTable::Height), QStringLiteral("24"));
    // Placed where the object is shown, relative to the module background.
    const QPoint origin = mCanvas->backgroundPos();
    QCOMPARE(mTable->cellInt(1, ComponentTable::Left), mCanvas->pictureTemplate()->x() - origin.x());
    QCOMPARE(mTable->cellInt(1, ComponentTable::Top), mCanvas->pictureTemplate()->y() - origin.y());
    QCOMPARE(mTable->cellInt(2, ComponentTable::Left), mCanvas->labelTemplate()->x() - origin.x());
    QCOMPARE(mTable->cellInt(2, ComponentTable::Top), mCanvas->labelTemplate()->y() - origin.y());
    QVERIFY(mCanvas->pictureById(QStringLiteral("4"))->hasPicture());
    QCOMPARE(mCanvas->labelById(QStringLiteral("3"))->text(), mTable->cell(2, ComponentTable::Picture));
    QCOMPARE(mCanvas->labelById(QStringLiteral("3"))->width(), 112);

    // A source row's size wins over the given size.
    mWindow->document()->record(QStringLiteral("修改尺寸"), [this] {
        mTable->setCell(3, ComponentTable::Width, QStringLiteral("77"));
    });
    const int copy = Test::addPicture(mCanvas, QStringLiteral("热点"), {}, 3, 5, 5);
    QCOMPARE(mTable->cell(copy, ComponentTable::Width), QStringLiteral("77"));
    QCOMPARE(mTable->cell(copy, ComponentTable::Height), QStringLiteral("100"));

    Test::deleteComponent(mCanvas, mCanvas->objectById(QStringLiteral("3")));
    QCOMPARE(mTable->findRowById(QStringLiteral("4")), 2);
    QVERIFY(!mCanvas->labelById(QStringLiteral("3")));
    QCOMPARE(mTable->cell(Test::addText(mCanvas), ComponentTable::Id), QStringLiteral("6"));
}

void TestCanvas::handlePlacement_data()
{
    QTest::addColumn<QRect>("frame");
    QTest::addColumn<QList<QPoint>>("expected");   // 左上 上中 右上 右中 左中 左下 下中 右下
    QTest::addColumn<int>("visible");
    QTest::newRow("180x220 at 100,50")
        << QRect(100, 50, 180, 220)
        << QList<QPoint>{{96, 46}, {188, 46}, {280, 46}, {280, 158}, {96, 158}, {96, 270},
                         {188, 270}, {280, 270}}
        << 8;
    QTest::newRow("narrow") << QRect(10, 10, 9, 40) << QList<QPoint>{} << 6;
    QTest::newRow("low") << QRect(10, 10, 40, 9) << QList<QPoint>{} << 6;
    QTest::newRow("tiny") << QRect(10, 10, 9, 9) << QList<QPoint>{} << 4;
    QTest::newRow("exactly 10") << QRect(10, 10, 10, 10) << QList<QPoint>{} << 8;
}

void TestCanvas::handlePlacement()
{
    QFETCH(QRect, frame);
    QFETCH(QList<QPoint>, expected);
    QFETCH(int, visible);
    const int row = Test::addPicture(mCanvas, QStringLiteral("图片"), {}, 0, 180, 220);
    QWidget *object = mCanvas->objectById(mTable->cell(row, ComponentTable::Id));
    object->setGeometry(frame);
    mCanvas->refreshSelectionDisplay(object);
    const char *names[] = {"标签_左上", "标签_上中", "标签_右上", "标签_右中",
                           "标签_左中", "标签_左下", "标签_下中", "标签_右下"};
    int shown = 0;
    for (int i = 0; i < 8; ++i) {
        auto *handle = mWindow->findChild<QLabel *>(QString::fromUtf8(names[i]));
        QVERIFY(handle);
        if (handle->isVisible())
            ++shown;
        if (!expected.isEmpty())
            QCOMPARE(handle->pos(), expected.at(i));
    }
    QCOMPARE(shown, visible);
}

void TestCanvas::firstPressFillsGeometry()
{
    centreModule(950, 500);
    QCOMPARE(mCanvas->backgroundPos(), QPoint(23, 5));
    const int row = Test::addPicture(mCanvas, QStringLiteral("图片"), {}, 0, 180, 220);
    QWidget *object = mCanvas->objectById(mTable->cell(row, ComponentTable::Id));
    QTest::mouseClick(object, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(mTable->cell(row, ComponentTable::Left), QStringLiteral("135"));
    QCOMPARE(mTable->cell(row, ComponentTable::Top), QStringLiteral("57"));
    QCOMPARE(box("编辑框_距左")->text(), QStringLiteral("135"));
    QCOMPARE(box("编辑框_宽")->text(), QStringLiteral("180"));

    // A text component's label is as wide as its row says, and a press writes nothing.
    const int text = Test::addText(mCanvas);
    QWidget *label = mCanvas->objectById(mTable->cell(text, ComponentTable::Id));
    QCOMPARE(label->width(), 112);
    QTest::mouseClick(label, Qt::LeftButton);
    QCOMPARE(mTable->cell(text, ComponentTable::Width), QStringLiteral("112"));
}

void TestCanvas::dragMovesByExactly()
{
    centreModule(950, 500);
    const int row = Test::addPicture(mCanvas, QStringLiteral("图片"), {}, 0, 180, 220);
    QWidget *object = mCanvas->objectById(mTable->cell(row, ComponentTable::Id));
    QTest::mouseClick(object, Qt::LeftButton);
    const int left = mTable->cellInt(row, ComponentTable::Left);
    const int top = mTable->cellInt(row, ComponentTable::Top);
    drag(object, QPoint(20, 20), QPoint(30, 10));
    QCOMPARE(mTable->cellInt(row, ComponentTable::Left), left + 30);
    QCOMPARE(mTable->cellInt(row, ComponentTable::Top), top + 10);
    QCOMPARE(mWindow->statusText(),
             QStringLiteral("当前选中组件名：图片，创建顺序为第：1 个；锁定状态：否"));
}

void TestCanvas::lockedComponentRefusesMoveAndResize()
{
    const int first = Test::addPicture(mCanvas, QStringLiteral("图片"), {}, 0, 180, 220);
    const int locked = Test::addPicture(mCanvas, QStringLiteral("热点"), {}, 0, 100, 100);
    QWidget *a = mCanvas->objectById(mTable->cell(first, ComponentTable::Id));
    QWidget *b = mCanvas->objectById(mTable->cell(locked, ComponentTable::Id));
    a->move(10, 10);
    b->move(300, 200);
    Test::storeFrame(mCanvas, a);
    Test::storeFrame(mCanvas, b);
    QTest::mouseClick(a, Qt::LeftButton);
    auto *topLeft = mWindow->findChild<QLabel *>(QStringLiteral("标签_左上"));
    QCOMPARE(topLeft->pos(), QPoint(6, 6));

    mWindow->document()->record(QStringLiteral("锁定"), [&] {
        mTable->setCell(locked, ComponentTable::Locked, QStringLiteral("是"));
    });
    drag(b, QPoint(5, 5), QPoint(40, 40));
    QCOMPARE(b->pos(), QPoint(300, 200));
    QCOMPARE(mWindow->statusText(),
             QStringLiteral("该组件已被锁定，不能移动、编辑和删除，若需操作，请选右键解锁.."));
    // The handles and boxes show the component pressed, which does not move.
    QCOMPARE(topLeft->pos(), QPoint(296, 196));

    auto *bottomRight = mWindow->findChild<QLabel *>(QStringLiteral("标签_右下"));
    drag(bottomRight, QPoint(1, 1), QPoint(50, 50));
    QCOMPARE(b->size(), QSize(100, 100));
    QCOMPARE(topLeft->pos(), QPoint(296, 196));   // now around the locked component
    QCOMPARE(mWindow->statusText(),
             QStringLiteral("当前选中组件名：热点，创建顺序为第：2 个；锁定状态：是"));
}

void TestCanvas::handleResizeKeepsOppositeEdges_data()
{
    QTest::addColumn<QString>("handle");
    QTest::addColumn<QPoint>("delta");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("右下") << "标签_右下" << QPoint(20, 30) << QRect(100, 50, 200, 250);
    QTest::newRow("左上") << "标签_左上" << QPoint(10, 20) << QRect(110, 70, 170, 200);
    QTest::newRow("上中") << "标签_上中" << QPoint(99, -10) << QRect(100, 40, 180, 230);
    QTest::newRow("右中") << "标签_右中" << QPoint(-30, 99) << QRect(100, 50, 150, 220);
    QTest::newRow("左下") << "标签_左下" << QPoint(-10, 10) << QRect(90, 50, 190, 230);
    QTest::newRow("past the opposite edge")
        << "标签_左中" << QPoint(500, 0) << QRect(280, 50, 0, 220);
}

void TestCanvas::handleResizeKeepsOppositeEdges()
{
    QFETCH(QString, handle);
    QFETCH(QPoint, delta);
    QFETCH(QRect, expected);
    const int row = Test::addPicture(mCanvas, QStringLiteral("图片"), {}, 0, 180, 220);
    QWidget *object = mCanvas->objectById(mTable->cell(row, ComponentTable::Id));
    object->move(100, 50);
    QTest::mouseClick(object, Qt::LeftButton);
    drag(mWindow->findChild<QLabel *>(handle), QPoint(1, 1), delta);
    QCOMPARE(object->geometry(), expected);
    QCOMPARE(mTable->cellInt(row, ComponentTable::Width), expected.width());
    QCOMPARE(mTable->cellInt(row, ComponentTable::Height), expected.height());
}

void TestCanvas::statusTexts()
{
    centreModule(950, 500);
    Test::addPicture(mCanvas, QStringLiteral("图片"), {}, 0, 180, 220);
    Test::addText(mCanvas);
    auto *surface = mWindow->findChild<CanvasSurface *>(QStringLiteral("动画框1"));
    QTest::mousePress(surface, Qt::LeftButton, {}, QPoint(600, 400));
    QCOMPARE(mWindow->statusText(),
             QStringLiteral("模块宽度：950px；模块高度：500px；共添加了：2 个组件 "));
    QCOMPARE(mCanvas->selection().kind, DesignCanvas::Selection::Background);
    QTest::mouseRelease(surface, Qt::LeftButton, {}, QPoint(600, 400));

    mWindow->showStatus(QStringLiteral("x"));
    QTest::mousePress(surface, Qt::LeftButton, {}, QPoint(3, 3));   // empty surface
    QCOMPARE(mCanvas->selection().kind, DesignCanvas::Selection::None);
    QCOMPARE(mWindow->statusText(), QStringLiteral("x"));
}

void TestCanvas::pressOnDeletedRow()
{
    const int row = Test::addPicture(mCanvas, QStringLiteral("图片"), {}, 0, 180, 220);
    QWidget *object = mCanvas->objectById(mTable->cell(row, ComponentTable::Id));
    {
        // The canvas is not told: the object outlives its row.
        const QSignalBlocker unseen(mWindow->document());
        mWindow->document()->writeUnstepped([&] { mTable->deleteRow(row); });
    }
    QTest::mouseClick(object, Qt::LeftButton);
    QCOMPARE(mWindow->statusText(),
             QStringLiteral("当前选中组件名：，创建顺序为第：-1 个；锁定状态：否"));
    QCOMPARE(mTable->rowCount(), 1);

    // Boxes aimed at a vanished row write nothing.
    box("编辑框_宽")->setText(QStringLiteral("55"));
    QCOMPARE(mTable->rowCount(), 1);
}

void TestCanvas::geometryBoxes_data()
{
    QTest::addColumn<QString>("boxName");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("column");
    QTest::addColumn<QRect>("expected");   // control geometry after the box loses focus
    // The component starts at design-page (158, 62), 180 × 220; the module at (23, 5).
    QTest::newRow("letters in W") << "编辑框_宽" << "abc" << int(ComponentTable::Width)
                                  << QRect(158, 62, 0, 220);
    QTest::newRow("X 120") << "编辑框_距左" << "120" << int(ComponentTable::Left)
                           << QRect(143, 62, 180, 220);
    QTest::newRow("Y negative") << "编辑框_距顶" << "-30" << int(ComponentTable::Top)
                                << QRect(158, -25, 180, 220);
    QTest::newRow("H empty") << "编辑框_高" << "" << int(ComponentTable::Height)
                             << QRect(158, 62, 180, 0);
    QTest::newRow("W huge") << "编辑框_宽" << "99999999999" << int(ComponentTable::Width)
                            << QRect(158, 62, QWIDGETSIZE_MAX, 220);
    QTest::newRow("W negative") << "编辑框_宽" << "-40" << int(ComponentTable::Width)
                                << QRect(158, 62, 0, 220);
}

void TestCanvas::geometryBoxes()
{
    QFETCH(QString, boxName);
    QFETCH(QString, typed);
    QFETCH(int, column);
    QFETCH(QRect, expected);
    centreModule(950, 500);
    const int row = Test::addPicture(mCanvas, QStringLiteral("图片"), {}, 0, 180, 220);
    QWidget *object = mCanvas->objectById(mTable->cell(row, ComponentTable::Id));
    QTest::mouseClick(object, Qt::LeftButton);
    mWindow->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(mWindow));

    QLineEdit *edit = mWindow->findChild<QLineEdit *>(boxName);
    edit->setFocus();
    QVERIFY(mWindow->statusText().startsWith(QStringLiteral("显示选中组件的")));
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, typed);
    QCOMPARE(mTable->cell(row, column), typed);
    box(boxName == QStringLiteral("编辑框_宽") ? "编辑框_高" : "编辑框_宽")->setFocus();
    QCOMPARE(object->geometry(), expected);
    QCOMPARE(mTable->cell(row, column), typed);   // kept as typed until the next refresh
}

void TestCanvas::geometryBoxesOnBackground()
{
    centreModule(950, 500);
    auto *surface = mWindow->findChild<CanvasSurface *>(QStringLiteral("动画框1"));
    QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(100, 100));
    QCOMPARE(mCanvas->selection().kind, DesignCanvas::Selection::Background);
    mWindow->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(mWindow));
    box("编辑框_宽")->setText(QStringLiteral("300"));
    box("编辑框_高")->setText(QStringLiteral("200"));
    box("编辑框_宽")->setFocus();
    box("编辑框_距左")->setText(QStringLiteral("7"));
    box("编辑框_距左")->setFocus();
    QCOMPARE(mCanvas->backgroundPictureSize(), QSize(300, 200));
    const QImage picture = surface->spriteImage(mCanvas->backgroundId());
    QCOMPARE(picture.pixelColor(150, 100), QColor(0xFF, 0x50, 0x80));
    QCOMPARE(picture.pixelColor(0, 0), QColor(0x00, 0xE0, 0x80));
    box("编辑框_高")->setFocus();
    QCOMPARE(mCanvas->backgroundPos(), QPoint(30, 5));
    QCOMPARE(mTable->rowCount(), 1);   // no row took the typed values
}

void TestCanvas::carouselPressLiftsArrows()
{
    const int carousel = Test::addPicture(mCanvas, QStringLiteral("轮播"), {}, 0, 300, 200);
    Test::addPicture(mCanvas, QStringLiteral("左箭头1"), {}, 0, 30, 30);
    Test::addPicture(mCanvas, QStringLiteral("右箭头1"), {}, 0, 30, 30);
    Test::addPicture(mCanvas, QStringLiteral("图片"), {}, 0, 400, 400);   // covers the arrows
    QWidget *carouselObject = mCanvas->objectById(mTable->cell(carousel, ComponentTable::Id));
    QTest::mouseClick(carouselObject, Qt::LeftButton);
    const QObjectList children = carouselObject->parentWidget()->children();
    const auto left = children.indexOf(mCanvas->objectById(QStringLiteral("3")));
    const auto right = children.indexOf(mCanvas->objectById(QStringLiteral("4")));
    const auto cover = children.indexOf(mCanvas->objectById(QStringLiteral("5")));
    // A press leaves the code's stacking: the later picture stays on top, and the
    // arrows stay just above their carousel.
    QVERIFY(cover > right);
    QVERIFY(left > children.indexOf(carouselObject));
    QVERIFY(right > left);
}

void TestCanvas::typedBoxLandsOnItsComponent_data()
{
    QTest::addColumn<QString>("typed");   // into W while A is selected
    QTest::addColumn<QString>("then");
    QTest::addColumn<int>("widthOfA");
    QTest::newRow("Enter applies") << "66" << "enter" << 66;
    QTest::newRow("left press on B applies to A first") << "66" << "left press" << 66;
    QTest::newRow("menu on B takes the focus: nothing applied") << "" << "right press" << 180;
    QTest::newRow("typed, then the menu on B") << "66" << "right press" << 66;
}

void TestCanvas::typedBoxLandsOnItsComponent()
{
    QFETCH(QString, typed);
    QFETCH(QString, then);
    QFETCH(int, widthOfA);
    centreModule(950, 500);
    const int a = Test::addPicture(mCanvas, QStringLiteral("图片"), {}, 0, 180, 220);
    const int b = Test::addPicture(mCanvas, QStringLiteral("图片"), {}, 0, 100, 100);
    QWidget *objectA = mCanvas->objectById(mTable->cell(a, ComponentTable::Id));
    QWidget *objectB = mCanvas->objectById(mTable->cell(b, ComponentTable::Id));
    objectB->move(objectB->pos() + QPoint(300, 0));
    QTest::mouseClick(objectA, Qt::LeftButton, {}, QPoint(3, 3));
    mWindow->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(mWindow));
    QLineEdit *width = box("编辑框_宽");
    width->setFocus();
    if (!typed.isEmpty()) {
        width->selectAll();
        QTest::keyClicks(width, typed);
    }

    if (then == "enter") {
        QTest::keyClick(width, Qt::Key_Return);
        QVERIFY(width->hasFocus());
    } else if (then == "left press") {
        QTest::mouseClick(objectB, Qt::LeftButton, {}, QPoint(3, 3));
    } else {
        QTest::mousePress(objectB, Qt::RightButton, {}, QPoint(3, 3));
        QTRY_VERIFY(mWindow->contextMenu()->isVisible());
        mWindow->contextMenu()->close();
        QTRY_VERIFY(width->hasFocus());
        box("编辑框_高")->setFocus();   // a real focus change after the menu
    }
    QCOMPARE(objectA->width(), widthOfA);
    QCOMPARE(mTable->cellInt(a, ComponentTable::Width), widthOfA);
    QCOMPARE(objectB->size(), QSize(100, 100));
    QCOMPARE(mTable->cell(b, ComponentTable::Width), QStringLiteral("100"));
}

void TestCanvas::handlesResizeTheComponentTheySurround_data()
{
    QTest::addColumn<QString>("between");   // after selecting A, before dragging A's handle
    QTest::addColumn<QSize>("sizeOfA");
    QTest::newRow("menu on locked B") << "right press B" << QSize(200, 230);
    QTest::newRow("A locked meanwhile") << "lock A" << QSize(180, 220);
}

void TestCanvas::handlesResizeTheComponentTheySurround()
{
    QFETCH(QString, between);
    QFETCH(QSize, sizeOfA);
    centreModule(950, 500);
    const int a = Test::addPicture(mCanvas, QStringLiteral("图片"), {}, 0, 180, 220);
    const int b = Test::addPicture(mCanvas, QStringLiteral("图片"), {}, 0, 100, 100);
    mWindow->document()->writeUnstepped([&] { mTable->setCell(b, ComponentTable::Locked, QStringLiteral("是")); });
    QWidget *objectA = mCanvas->objectById(mTable->cell(a, ComponentTable::Id));
    QWidget *objectB = mCanvas->objectById(mTable->cell(b, ComponentTable::Id));
    objectB->move(objectB->pos() + QPoint(300, 0));
    QTest::mouseClick(objectA, Qt::LeftButton, {}, QPoint(3, 3));

    if (between == "right press B") {
        QTest::mousePress(objectB, Qt::RightButton, {}, QPoint(3, 3));
        QTRY_VERIFY(mWindow->contextMenu()->isVisible());
        mWindow->contextMenu()->close();
    } else {
        ContextMenuOperations::lock(mWindow);
    }
    auto *handle = mWindow->findChild<QLabel *>(QStringLiteral("标签_右下"));
    QVERIFY(handle->isVisible());
    drag(handle, QPoint(2, 2), QPoint(20, 10));
    QCOMPARE(objectA->size(), sizeOfA);
    QCOMPARE(objectB->size(), QSize(100, 100));
    QCOMPARE(mTable->cell(b, ComponentTable::Width), QStringLiteral("100"));
}

QTEST_MAIN(TestCanvas)
#include "tst_canvas.moc"
