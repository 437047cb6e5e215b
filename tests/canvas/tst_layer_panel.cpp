// The "图层" panel and the canvas: one selection, hiding, locking, restacking, and a
// carousel that takes its arrows along.
#include "model/arrangement.h"
#include "canvas/arrange_menu.h"
#include "canvas/canvas_surface.h"
#include "canvas/design_canvas.h"
#include "canvas/file_menu.h"
#include "canvas/layer_panel.h"
#include "canvas/lock_marks.h"
#include "canvas/main_window.h"
#include "canvas/selection_operations.h"
#include "canvas/stacking_actions.h"
#include "model/carousel_settings.h"
#include "components/component_creation.h"
#include "components/editor_registry.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/design_selection.h"
#include "model/layer_list_model.h"
#include "support/editor_driving.h"
#include "support/history_fixture.h"

#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <QUndoStack>

using namespace Plumbrook;
using namespace Plumbrook::Test;
using T = ComponentTable;
using M = LayerStacking::Move;

Q_DECLARE_METATYPE(LayerStacking::Move)

class TestLayerPanel : public QObject, public HistoryFixture
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { close(); }

    void selectionIsSharedBothWays();
    void keysActOnTheLinesSelected_data();
    void keysActOnTheLinesSelected();
    void doubleClickOpensTheEditor();
    void eyeHidesOnTheCanvasOnly();
    void lockFromThePanel();
    void shortcutsRestack_data();
    void shortcutsRestack();
    void levelRefusalIsSaid();
    void droppedLinesRestackTheCanvas();
    void carouselMovesWithItsArrows();
    void panelIsRemembered();

private:
    LayerPanel *panel() const { return window()->layerPanel(); }
    QTreeView *view() const { return panel()->view(); }
    LayerListModel *model() const { return panel()->model(); }
    QString idOf(int row) const { return table()->cell(row, T::Id); }
    QPoint lineCentre(const QString &id, int column = LayerListModel::NameColumn) const;
    void clickLine(const QString &id, Qt::KeyboardModifiers modifiers = {});
    // The component ids as the canvas stacks their objects, bottom first.
    QStringList canvasStacking() const;
    QStringList rowIds() const;
};

void TestLayerPanel::init()
{
    open();
    window()->setLayersShown(true);
    for (int i = 0; i < 3; ++i)
        canvas()->addComponent(QStringLiteral("图片"));
    settle();
}

QPoint TestLayerPanel::lineCentre(const QString &id, int column) const
{
    const QModelIndex index = model()->indexOfId(id, column);
    view()->scrollTo(index);
    return view()->visualRect(index).center();
}

void TestLayerPanel::clickLine(const QString &id, Qt::KeyboardModifiers modifiers)
{
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, modifiers, lineCentre(id));
    settle();
}

QStringList TestLayerPanel::canvasStacking() const
{
    QStringList ids;
    const QList<QWidget *> objects = canvas()->allObjects();
    if (objects.isEmpty())
        return ids;
    for (QObject *child : objects.constFirst()->parentWidget()->children()) {
        const QString id = DesignCanvas::tagOf(child);
        if (!id.isEmpty())
            ids.append(id);
    }
    return ids;
}

QStringList TestLayerPanel::rowIds() const
{
    QStringList ids;
    for (int row = 1; row < table()->count(); ++row)
        ids.append(idOf(row));
    return ids;
}

void TestLayerPanel::selectionIsSharedBothWays()
{
    QVERIFY(panel()->isVisible());
    // Top first: the last added picture heads the list.
    QCOMPARE(model()->lineIds(), (QStringList{idOf(3), idOf(2), idOf(1)}));
    select(1);
    const auto selectedLines = [this] {
        QStringList ids;
        for (const QModelIndex &line : view()->selectionModel()->selectedRows())
            ids.append(model()->idAt(line));
        ids.sort();
        return ids;
    };
    QCOMPARE(selectedLines(), QStringList{idOf(1)});

    clickLine(idOf(3));
    QCOMPARE(window()->document()->selection()->ids(), QStringList{idOf(3)});
    QCOMPARE(canvas()->selectedObjects(), QList<QWidget *>{object(3)});
    QCOMPARE(canvas()->selectedRow(), 3);

    clickLine(idOf(2), Qt::ControlModifier);
    QStringList both = window()->document()->selection()->ids();
    both.sort();
    QStringList expected{idOf(2), idOf(3)};
    expected.sort();
    QCOMPARE(both, expected);
    QCOMPARE(canvas()->selectedObjects().size(), 2);

    canvas()->clearSelection();
    QVERIFY(selectedLines().isEmpty());
}

void TestLayerPanel::keysActOnTheLinesSelected_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("components");
    QTest::addColumn<int>("leftShift");
    QTest::newRow("Delete") << int(Qt::Key_Delete) << Qt::KeyboardModifiers() << 2 << 0;
    QTest::newRow("Ctrl+D") << int(Qt::Key_D) << Qt::KeyboardModifiers(Qt::ControlModifier) << 4 << 0;
    QTest::newRow("right arrow") << int(Qt::Key_Right) << Qt::KeyboardModifiers() << 3 << 1;
    QTest::newRow("Shift+left arrow") << int(Qt::Key_Left) << Qt::KeyboardModifiers(Qt::ShiftModifier) << 3 << -10;
}

void TestLayerPanel::keysActOnTheLinesSelected()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, components);
    QFETCH(int, leftShift);
    clickLine(idOf(2));
    const QString id = idOf(2);
    const int left = table()->cellInt(2, T::Left);
    const int steps = stack()->index();
    QTest::keyClick(view(), Qt::Key(key), modifiers);
    settle();
    QCOMPARE(table()->componentCount(), components);
    QCOMPARE(stack()->index(), steps + 1);
    if (leftShift != 0)
        QCOMPARE(table()->cellInt(table()->findRowById(id), T::Left), left + leftShift);
}

void TestLayerPanel::doubleClickOpensTheEditor()
{
    QSignalSpy asked(panel(), &LayerPanel::editRequested);
    const QPoint at = lineCentre(idOf(2));
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view()->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(asked.count(), 1);
    QTRY_VERIFY(EditorRegistry::current());
    QCOMPARE(canvas()->selectedRow(), 2);
    EditorRegistry::closeAll();
}

void TestLayerPanel::eyeHidesOnTheCanvasOnly()
{
    select(2);
    const QString code = generated(*table());
    const QString id = idOf(2);
    QPoint eye = lineCentre(id, LayerListModel::ShownColumn);
    eye.setX(view()->visualRect(model()->indexOfId(id, LayerListModel::ShownColumn)).left() + 10);
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, eye);
    settle();
    QVERIFY(window()->document()->isHidden(id));
    QVERIFY(object(2)->isHidden());
    QVERIFY(!window()->document()->selection()->contains(id));
    QCOMPARE(generated(*table()), code);
    QCOMPARE(stack()->text(stack()->index() - 1), QStringLiteral("隐藏"));
    window()->selectionOperations()->selectAll();
    QCOMPARE(canvas()->selectedObjects().size(), 2);
    QVERIFY(!canvas()->selectedObjects().contains(object(2)));
    QVERIFY(model()->indexOfId(id).data(Qt::ForegroundRole).isValid());

    QVERIFY(undo());
    settle();
    QVERIFY(!window()->document()->isHidden(id));
    QVERIFY(!object(2)->isHidden());
    QVERIFY(redo());
    QVERIFY(object(2)->isHidden());
}

void TestLayerPanel::lockFromThePanel()
{
    const QString id = idOf(1);
    const QRect cell = view()->visualRect(model()->indexOfId(id, LayerListModel::LockedColumn));
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, QPoint(cell.left() + 10, cell.center().y()));
    settle();
    QVERIFY(table()->isLocked(1));
    QVERIFY(LockMarks::isMarked(object(1)));
    QVERIFY(!LockMarks::isMarked(object(2)));
    // Locked from the panel, it stays where it is on the canvas.
    select(1);
    const QRect frame = canvas()->frameOf(object(1));
    dragBy(object(1), QPoint(30, 30));
    QCOMPARE(canvas()->frameOf(object(1)), frame);
    QVERIFY(undo());
    settle();
    QVERIFY(!table()->isLocked(1));
    QVERIFY(!LockMarks::isMarked(object(1)));
}

void TestLayerPanel::shortcutsRestack_data()
{
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<int>("row");
    QTest::addColumn<QList<int>>("rowsAfter");   // the rows before the move, in their new order
    QTest::newRow("Ctrl+Shift+] to the top") << QKeySequence(QStringLiteral("Ctrl+Shift+]")) << 1 << QList<int>{2, 3, 1};
    QTest::newRow("Ctrl+Shift+} as keyboards send it") << QKeySequence(QStringLiteral("Ctrl+Shift+}")) << 1 << QList<int>{2, 3, 1};
    QTest::newRow("Ctrl+] up one") << QKeySequence(QStringLiteral("Ctrl+]")) << 1 << QList<int>{2, 1, 3};
    QTest::newRow("Ctrl+[ down one") << QKeySequence(QStringLiteral("Ctrl+[")) << 3 << QList<int>{1, 3, 2};
    QTest::newRow("Ctrl+Shift+[ to the bottom") << QKeySequence(QStringLiteral("Ctrl+Shift+[")) << 3 << QList<int>{3, 1, 2};
}

void TestLayerPanel::shortcutsRestack()
{
    QFETCH(QKeySequence, keys);
    QFETCH(int, row);
    QFETCH(QList<int>, rowsAfter);
    const QStringList before = rowIds();
    QStringList after;
    for (int each : rowsAfter)
        after.append(before.at(each - 1));
    clickLine(idOf(row));
    QApplication::setActiveWindow(window());
    QVERIFY(QTest::qWaitForWindowActive(window()));
    QTest::keySequence(view(), keys);
    settle();
    QCOMPARE(rowIds(), after);
    QCOMPARE(canvasStacking(), after);
    QStringList topFirst = after;
    std::reverse(topFirst.begin(), topFirst.end());
    QCOMPARE(model()->lineIds(), topFirst);
    // The moved line is still the one selected.
    QCOMPARE(window()->document()->selection()->ids(), QStringList{before.at(row - 1)});
    QVERIFY(undo());
    QCOMPARE(rowIds(), before);
    QCOMPARE(canvasStacking(), before);
}

void TestLayerPanel::levelRefusalIsSaid()
{
    const int share = canvas()->addComponent(QStringLiteral("分享"));
    settle();
    QCOMPARE(model()->lineIds().constFirst(), idOf(share));
    clickLine(idOf(3));
    const QStringList before = rowIds();
    const int steps = stack()->index();
    panel()->findChild<QToolButton *>(QStringLiteral("按钮_上移一层"))->click();
    QCOMPARE(rowIds(), before);
    QCOMPARE(stack()->index(), steps);
    QCOMPARE(window()->statusText(), QStringLiteral("分享 总在图片之上"));
    // A share dropped among the pictures stays above them too.
    QMimeData *dragged = model()->mimeData({model()->indexOfId(idOf(share))});
    model()->dropMimeData(dragged, Qt::MoveAction, 2, 0, {});
    delete dragged;
    QCOMPARE(rowIds(), before);
    QCOMPARE(window()->statusText(), QStringLiteral("分享 总在图片之上"));
}

void TestLayerPanel::droppedLinesRestackTheCanvas()
{
    const QStringList before = rowIds();
    // The bottom line dropped before the first line: to the top.
    QMimeData *dragged = model()->mimeData({model()->indexOfId(idOf(1))});
    model()->dropMimeData(dragged, Qt::MoveAction, 0, 0, {});
    delete dragged;
    const QStringList after{before.at(1), before.at(2), before.at(0)};
    QCOMPARE(rowIds(), after);
    QCOMPARE(canvasStacking(), after);
    QCOMPARE(stack()->index(), 4);
}

void TestLayerPanel::carouselMovesWithItsArrows()
{
    const int row = canvas()->addComponent(QStringLiteral("轮播"));
    settle();
    QWidget *carousel = object(row);
    const int leftRow = CarouselSettings::leftArrowRow(*table(), row);
    const int rightRow = CarouselSettings::rightArrowRow(*table(), row);
    const QList<QWidget *> arrows{object(leftRow), object(rightRow)};
    QCOMPARE(model()->rowCount(model()->indexOfId(idOf(row))), 2);
    const auto frames = [&] {
        return QList<QRect>{canvas()->frameOf(carousel), canvas()->frameOf(arrows[0]), canvas()->frameOf(arrows[1])};
    };
    const QList<QRect> start = frames();
    const auto shifted = [&start](const QPoint &by) {
        QList<QRect> moved;
        for (const QRect &frame : start)
            moved.append(frame.translated(by));
        return moved;
    };

    const int steps = stack()->index();
    dragBy(carousel, QPoint(40, 20));
    settle();
    QCOMPARE(frames(), shifted(QPoint(40, 20)));
    QCOMPARE(stack()->index(), steps + 1);
    QCOMPARE(table()->cellInt(leftRow, T::Left) - start[1].x() + canvas()->backgroundPos().x(), 40);
    QVERIFY(undo());
    settle();
    QCOMPARE(frames(), start);

    select(row);
    QTest::keyClick(canvas()->surface(), Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(frames(), shifted(QPoint(10, 0)));
    QCOMPARE(stack()->index(), steps + 1);
    QVERIFY(undo());
    settle();

    // Aligned to the module's right edge, the arrows keep their place beside it.
    select(row);
    window()->arrangeMenu()->arrange(Arrangement::AlignRight);
    settle();
    const int dx = canvas()->frameOf(carousel).x() - start[0].x();
    QVERIFY(dx != 0);
    QCOMPARE(frames(), shifted(QPoint(dx, 0)));
    QCOMPARE(stack()->index(), steps + 1);
    QVERIFY(undo());
    settle();
    QCOMPARE(frames(), start);

    // An arrow still goes alone.
    dragBy(arrows[0], QPoint(0, 15));
    settle();
    QCOMPARE(canvas()->frameOf(carousel), start[0]);
    QCOMPARE(canvas()->frameOf(arrows[0]), start[1].translated(0, 15));
    QVERIFY(undo());
    settle();

    const QString id = idOf(row);
    select(row);
    QTest::keyClick(canvas()->surface(), Qt::Key_Delete);
    settle();
    QCOMPARE(table()->componentCount(), 3);
    QCOMPARE(stack()->index(), steps + 1);
    QVERIFY(undo());
    settle();
    QCOMPARE(table()->componentCount(), 6);
    QVERIFY(canvas()->objectById(id));
}

void TestLayerPanel::panelIsRemembered()
{
    QVERIFY(panel()->isVisible());
    const int canvasWidth = canvas()->surface()->width();
    window()->setLayersShown(false);
    QVERIFY(!panel()->isVisible());
    QVERIFY(canvas()->surface()->width() > canvasWidth);
    close();

    DesignerOptions options;
    options.beforeShow = [](MainWindow *window, const QString &programDir) {
        window->fileMenu()->setDataDir(programDir);
    };
    DesignerWindow designer(std::move(options));
    QVERIFY(!designer.window()->layerPanel()->isVisibleTo(designer.window()));
    designer.window()->setLayersShown(true);
    MainWindow *again = designer.reopen();
    QVERIFY(again->layerPanel()->isVisibleTo(again));
    QVERIFY(designer.closeWindow());
}

QTEST_MAIN(TestLayerPanel)
#include "tst_layer_panel.moc"
