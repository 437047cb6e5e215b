#include "canvas/canvas_surface.h"
#include "canvas/context_menu_operations.h"
#include "canvas/design_canvas.h"
#include "model/frame_picture.h"
#include "canvas/main_window.h"
#include "canvas/picture_object.h"
#include "components/component_creation.h"
#include "components/editor_registry.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "support/canvas_driving.h"
#include "support/editor_driving.h"
#include "support/test_support.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>

using namespace Plumbrook;
using T = ComponentTable;

namespace {

void sendMouse(QWidget *widget, QEvent::Type type, const QPoint &local, Qt::MouseButton button)
{
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
    QMouseEvent event(type, QPointF(local), QPointF(widget->mapToGlobal(local)), button, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class TestContextMenu : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void menuItems();
    void deleteUnlocked();
    void deleteLockedIsRefused();
    void edit_data();
    void edit();
    void copyPicture();
    void copyCarouselIsRefused();
    void copyArrowAndText();
    void lockUnlock();
    void withoutSelectedRow();

private:
    int create(const QString &kind);
    QWidget *object(int row) const;
    void rightPress(int row);
    void leftClick(int row);
    void choose(const QString &item);
    QString openEditor() const;

    std::unique_ptr<Test::DesignerWindow> mDesigner;
    MainWindow *mWindow = nullptr;
    DesignCanvas *mCanvas = nullptr;
    ComponentTable *mTable = nullptr;
};

void TestContextMenu::init()
{
    mDesigner = std::make_unique<Test::DesignerWindow>();
    mWindow = mDesigner->window();
    mCanvas = mWindow->canvas();
    mTable = mWindow->table();
    // Stand-in editors that only say which kind and row they were opened for.
    for (const QString kind : {"图片", "flash", "文字", "轮播", "热点"}) {
        EditorRegistry::add(kind, [kind](EditorHost *, int row) {
            auto *editor = new QWidget;
            editor->setObjectName(kind + QLatin1Char(':') + QString::number(row));
            return editor;
        });
    }
}

void TestContextMenu::cleanup()
{
    mDesigner.reset();
    mWindow = nullptr;
    flushDeletes();
}

int TestContextMenu::create(const QString &kind)
{
    return mCanvas->addComponent(kind);
}

QWidget *TestContextMenu::object(int row) const
{
    return mCanvas->objectById(mTable->cell(row, T::Id));
}

void TestContextMenu::rightPress(int row)
{
    QWidget *target = object(row);
    QVERIFY(target);
    sendMouse(target, QEvent::MouseButtonPress, QPoint(2, 2), Qt::RightButton);
    sendMouse(target, QEvent::MouseButtonRelease, QPoint(2, 2), Qt::RightButton);
    QTRY_VERIFY(mWindow->contextMenu()->isVisible());
}

void TestContextMenu::leftClick(int row)
{
    QWidget *target = object(row);
    QVERIFY(target);
    sendMouse(target, QEvent::MouseButtonPress, QPoint(2, 2), Qt::LeftButton);
    sendMouse(target, QEvent::MouseButtonRelease, QPoint(2, 2), Qt::LeftButton);
}

void TestContextMenu::choose(const QString &item)
{
    QMenu *menu = mWindow->contextMenu();
    for (QAction *action : menu->actions()) {
        if (action->text() == item) {
            menu->hide();
            action->trigger();
            flushDeletes();
            return;
        }
    }
    QFAIL(qPrintable(QStringLiteral("no menu item ") + item));
}

QString TestContextMenu::openEditor() const
{
    QWidget *editor = EditorRegistry::current();
    return editor && editor->isVisible() ? editor->objectName() : QString();
}

void TestContextMenu::menuItems()
{
    QMenu *menu = mWindow->contextMenu();
    QCOMPARE(menu->objectName(), QStringLiteral("菜单"));
    QStringList items;
    for (QAction *action : menu->actions()) {
        items << action->text();
        QVERIFY(action->isEnabled());
    }
    QCOMPARE(items, (QStringList{"编辑", "复制", "删除", "锁定", "解锁"}));
}

void TestContextMenu::deleteUnlocked()
{
    create(QStringLiteral("图片"));
    const int row = create(QStringLiteral("热点"));
    QPointer<QWidget> target = object(row);
    leftClick(row);
    QVERIFY(mCanvas->handles().label(SelectionHandles::TopLeft)->isVisible());
    rightPress(row);
    choose(QStringLiteral("编辑"));
    QCOMPARE(openEditor(), QStringLiteral("热点:2"));

    rightPress(row);
    choose(QStringLiteral("删除"));
    QCOMPARE(mTable->count(), 2);
    QCOMPARE(mTable->cell(1, T::Kind), QStringLiteral("图片"));
    QCOMPARE(mWindow->statusText(), QStringLiteral("选中组件已被删除...."));
    for (int h = 0; h < SelectionHandles::Count; ++h)
        QVERIFY(!mCanvas->handles().label(SelectionHandles::Handle(h))->isVisible());
    QVERIFY(!target);
    QCOMPARE(mCanvas->pictureObjects().size(), 1);
    QCOMPARE(openEditor(), QString());

    // The selection names a destroyed object: a second delete finds no row.
    choose(QStringLiteral("删除"));
    QCOMPARE(mTable->count(), 2);
}

void TestContextMenu::deleteLockedIsRefused()
{
    const int locked = create(QStringLiteral("图片"));
    const int other = create(QStringLiteral("flash"));
    rightPress(locked);
    choose(QStringLiteral("锁定"));
    rightPress(other);
    choose(QStringLiteral("编辑"));
    QCOMPARE(openEditor(), QStringLiteral("flash:2"));

    rightPress(locked);
    choose(QStringLiteral("删除"));
    QCOMPARE(mWindow->statusText(), ContextMenuOperations::kLockedMessage);
    QCOMPARE(mTable->count(), 3);
    QVERIFY(object(locked));
    QCOMPARE(openEditor(), QString());

    choose(QStringLiteral("解锁"));
    choose(QStringLiteral("删除"));
    QCOMPARE(mTable->count(), 2);
    QCOMPARE(mTable->cell(1, T::Kind), QStringLiteral("flash"));
}

void TestContextMenu::edit_data()
{
    QTest::addColumn<QString>("openFirst");   // kind whose editor is open beforehand
    QTest::addColumn<QString>("target");      // kind chosen for 编辑 (左箭头: the arrow)
    QTest::addColumn<bool>("locked");
    QTest::addColumn<QString>("expected");    // kind of the editor open afterwards

    QTest::newRow("flash replaces image") << "图片" << "flash" << false << "flash";
    QTest::newRow("image replaces flash") << "flash" << "图片" << false << "图片";
    QTest::newRow("same kind reloads") << "图片" << "图片" << false << "图片";
    QTest::newRow("locked") << "flash" << "图片" << true << "";
    QTest::newRow("arrow has no editor") << "图片" << "左箭头" << false << "";
    QTest::newRow("carousel") << "flash" << "轮播" << false << "轮播";
    QTest::newRow("text") << "图片" << "文字" << false << "文字";
}

void TestContextMenu::edit()
{
    QFETCH(QString, openFirst);
    QFETCH(QString, target);
    QFETCH(bool, locked);
    QFETCH(QString, expected);

    const int first = create(openFirst);
    int row = target == QStringLiteral("左箭头") ? create(QStringLiteral("轮播")) + 1
                                                 : create(target);
    rightPress(first);
    choose(QStringLiteral("编辑"));
    QPointer<QWidget> before = EditorRegistry::current();
    QVERIFY(before);
    if (locked)
        mWindow->document()->writeUnstepped([&] { mTable->setCell(row, T::Locked, QStringLiteral("是")); });
    mWindow->showStatus(QString());

    rightPress(row);
    choose(QStringLiteral("编辑"));
    QVERIFY(!before);
    const QString wanted = expected.isEmpty() ? QString()
                                              : expected + QLatin1Char(':') + QString::number(row);
    QCOMPARE(openEditor(), wanted);
    QCOMPARE(mWindow->statusText(),
             locked ? ContextMenuOperations::kLockedMessage : QString());
}

void TestContextMenu::copyPicture()
{
    const int source = create(QStringLiteral("图片"));
    // As after a resize and an editor's save: a new size and a new picture.
    mWindow->document()->record(QStringLiteral("调整大小"), [&] {
        mTable->setCell(source, T::Width, QStringLiteral("77"));
        mTable->setCell(source, T::Height, QStringLiteral("55"));
    });
    const QByteArray picture = makeFramePicture(30, 20, 0x0000FF, 0x00FF00);
    QVERIFY(mCanvas->setObjectPicture(mTable->cell(source, T::Id), picture));
    rightPress(source);
    choose(QStringLiteral("锁定"));
    mWindow->showStatus(QStringLiteral("before"));

    choose(QStringLiteral("复制"));
    QCOMPARE(mTable->count(), 3);
    QCOMPARE(mTable->cell(2, T::Id), QStringLiteral("3"));
    QCOMPARE(mTable->cell(2, T::Kind), QStringLiteral("图片"));
    QCOMPARE(mTable->cell(2, T::Width), QStringLiteral("77"));
    QCOMPARE(mTable->cell(2, T::Height), QStringLiteral("55"));
    // A whole copy: every cell but the id and the lock, at the template position.
    for (int column = T::Picture; column < T::ColumnCount; ++column) {
        if (column != T::Locked)
            QCOMPARE(mTable->cell(2, column), mTable->cell(source, column));
    }
    QVERIFY(mTable->cell(2, T::Locked).isEmpty());
    auto *copy = qobject_cast<PictureObject *>(object(2));
    QVERIFY(copy);
    QCOMPARE(copy->pictureData(), picture);
    QCOMPARE(copy->pos(), mCanvas->pictureTemplate()->pos());
    // The copy's place is in its row before it is ever selected.
    QCOMPARE(QPoint(mTable->cellInt(2, T::Left), mTable->cellInt(2, T::Top)),
             copy->pos() - mCanvas->backgroundPos());
    QCOMPARE(copy->size(), QSize(77, 55));
    QCOMPARE(mWindow->statusText(), QStringLiteral("before"));
    QCOMPARE(mCanvas->selectedRow(), source);
}

void TestContextMenu::copyCarouselIsRefused()
{
    const int carousel = create(QStringLiteral("轮播"));
    rightPress(carousel);
    choose(QStringLiteral("复制"));
    QCOMPARE(mWindow->statusText(), ContextMenuOperations::kCarouselCopyMessage);
    QCOMPARE(mTable->count(), 4);
}

void TestContextMenu::copyArrowAndText()
{
    const int arrow = create(QStringLiteral("轮播")) + 2;
    rightPress(arrow);
    choose(QStringLiteral("复制"));
    QCOMPARE(mTable->count(), 5);
    QCOMPARE(mTable->cell(4, T::Kind), QStringLiteral("右箭头1"));
    QCOMPARE(mTable->cell(4, T::Width), QStringLiteral("40"));

    // A copy is whole: an edited text comes with its text.
    const int text = create(QStringLiteral("文字"));
    mWindow->document()->record(QStringLiteral("编辑文字"), [&] {
        mTable->setCell(text, T::Picture, QStringLiteral("已经编辑过的文字"));
    });
    rightPress(text);
    choose(QStringLiteral("复制"));
    QCOMPARE(mTable->count(), 7);
    QCOMPARE(mTable->cell(6, T::Kind), QStringLiteral("文字"));
    QCOMPARE(mTable->cell(6, T::Width), QStringLiteral("112"));
    QCOMPARE(mTable->cell(6, T::Picture), QStringLiteral("已经编辑过的文字"));
    QCOMPARE(qobject_cast<QLabel *>(object(6))->text(), QStringLiteral("已经编辑过的文字"));
}

void TestContextMenu::lockUnlock()
{
    const int row = create(QStringLiteral("图片"));
    rightPress(row);
    choose(QStringLiteral("锁定"));
    QCOMPARE(mTable->cell(row, T::Locked), QStringLiteral("是"));
    QCOMPARE(mWindow->statusText(), QStringLiteral("已锁定选中组件锁定"));

    // A locked component still takes its left press as a selection, not a move.
    leftClick(row);
    QCOMPARE(mWindow->statusText(), ContextMenuOperations::kLockedMessage);

    rightPress(row);
    choose(QStringLiteral("解锁"));
    QCOMPARE(mTable->cell(row, T::Locked), QStringLiteral("否"));
    QCOMPARE(mWindow->statusText(), QStringLiteral("已对选中组件解除锁定"));
    QVERIFY(!mTable->isLocked(row));
}

void TestContextMenu::withoutSelectedRow()
{
    const int row = create(QStringLiteral("图片"));
    rightPress(row);
    choose(QStringLiteral("编辑"));
    QVERIFY(!openEditor().isEmpty());

    // A right press on an empty part of the surface leaves no selected component.
    CanvasSurface *surface = mCanvas->surface();
    const QPoint empty(surface->width() - 3, surface->height() - 3);
    sendMouse(surface, QEvent::MouseButtonPress, empty, Qt::RightButton);
    sendMouse(surface, QEvent::MouseButtonRelease, empty, Qt::RightButton);
    QCOMPARE(mCanvas->selectedRow(), -1);
    const QStringList before = mTable->rowCells(row);

    choose(QStringLiteral("锁定"));
    QCOMPARE(mWindow->statusText(), QStringLiteral("已锁定选中组件锁定"));
    choose(QStringLiteral("解锁"));
    QCOMPARE(mWindow->statusText(), QStringLiteral("已对选中组件解除锁定"));
    mWindow->showStatus(QString());
    choose(QStringLiteral("复制"));
    choose(QStringLiteral("删除"));
    choose(QStringLiteral("编辑"));
    QCOMPARE(mTable->count(), 2);
    QCOMPARE(mTable->rowCells(row), before);
    QCOMPARE(mWindow->statusText(), QString());
    // Edit and delete stop before closing anything when nothing is selected.
    QVERIFY(!openEditor().isEmpty());
}

QTEST_MAIN(TestContextMenu)
#include "tst_context_menu.moc"
