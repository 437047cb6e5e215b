// The canvas as a view of the design: what the user does shows the cells, stacks as
// the code does, and copies whole.
#include "canvas/canvas_surface.h"
#include "canvas/design_canvas.h"
#include "canvas/file_menu.h"
#include "canvas/main_window.h"
#include "model/carousel_settings.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/kind_table.h"
#include "support/editor_driving.h"
#include "support/history_fixture.h"
#include "support/test_support.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QUndoStack>

using namespace Plumbrook;
using T = ComponentTable;
namespace CS = CarouselSettings;

namespace {

// Where an object lies among its siblings, bottom first.
int stackIndex(const QWidget *object)
{
    return int(object->parentWidget()->children().indexOf(const_cast<QWidget *>(object)));
}

QPoint onModule(DesignCanvas *canvas, const QWidget *object)
{
    return canvas->frameOf(object).topLeft() - canvas->backgroundPos();
}

QString boxText(MainWindow *window, const char *name)
{
    return window->findChild<QLineEdit *>(QString::fromUtf8(name))->text();
}

void pressKeys(DesignCanvas *canvas, int key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
{
    QTest::keyClick(canvas->surface(), Qt::Key(key), modifiers);
}

} // namespace

class TestCanvasView : public QObject, public Test::HistoryFixture
{
    Q_OBJECT

private slots:
    // Whatever the program does here, a write of the table outside a step stops it.
    void initTestCase() { DesignDocument::setStrayWritesFatal(true); }
    void init()
    {
        open();
        // Whatever replaces the design drops the changes made here, without asking.
        window()->fileMenu()->setAsker([](const QString &, const QStringList &) { return 1; });
    }
    void cleanup() { close(); }

    void pressKeepsTheCodesStacking();
    void kindsStackByTheirZIndex_data();
    void kindsStackByTheirZIndex();
    void maximiseAndRestoreChangeNoCell();
    void copiesAreWhole_data();
    void copiesAreWhole();
    void carouselCopyHasItsOwnSettings();
    void clipboardCarriesCopiesToAnotherDesigner();
    void typedModuleColourIsTheOneKept();
    void importedTextShowsItsCells();
    void newTextShowsItsCells();
    void boxesShowTheSelectionsCells();
    void stepsAreNamedForKindAndCount_data();
    void stepsAreNamedForKindAndCount();

private:
    int add(const QString &kind) { return canvas()->addComponent(kind); }
    void pressPalette(const QString &kind);
};

void TestCanvasView::pressPalette(const QString &kind)
{
    QTest::mouseClick(window()->findChild<QPushButton *>(QStringLiteral("超级按钮_背景")), Qt::LeftButton);
    QWidget *palette = window()->palette;
    QVERIFY(palette);
    auto *button = palette->findChild<QPushButton *>(KindTable::find(kind)->button);
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton);
}

void TestCanvasView::pressKeepsTheCodesStacking()
{
    const int picture = add(QStringLiteral("图片"));
    const int hotspot = add(QStringLiteral("热点"));
    QWidget *below = object(picture);
    QWidget *above = object(hotspot);
    QVERIFY(stackIndex(above) > stackIndex(below));

    // A press on the part of the picture the hotspot leaves free, and a drag.
    const QPoint free(below->width() - 5, below->height() - 5);
    QTest::mousePress(below, Qt::LeftButton, {}, free);
    QTest::mouseMove(below, free + QPoint(3, 3));
    QVERIFY2(stackIndex(below) > stackIndex(above), "the dragged picture is drawn on top");
    QTest::mouseRelease(below, Qt::LeftButton, {}, free + QPoint(3, 3));
    QVERIFY2(stackIndex(above) > stackIndex(below), "the release puts it back under the hotspot");

    // A click alone leaves it under too, and the hotspot can still be pressed.
    select(picture);
    QVERIFY(stackIndex(above) > stackIndex(below));
    select(hotspot);
    QCOMPARE(canvas()->selectedRow(), hotspot);
}

void TestCanvasView::kindsStackByTheirZIndex_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<bool>("secondOnTop");
    QTest::newRow("same z: later row on top") << "图片" << "热点" << true;
    QTest::newRow("share (4) above a later picture (2)") << "分享" << "图片" << false;
    QTest::newRow("swap (3) above a later hotspot (2)") << "换图" << "热点" << false;
    QTest::newRow("share (4) above a later favourite (3)") << "分享" << "收藏" << false;
    QTest::newRow("countdown (3) under a later share (4)") << "倒计时" << "分享" << true;
}

void TestCanvasView::kindsStackByTheirZIndex()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(bool, secondOnTop);
    const int a = add(first);
    const int b = add(second);
    QCOMPARE(stackIndex(object(b)) > stackIndex(object(a)), secondOnTop);
    // Undo and redo bring the second back to the same place in the stacking.
    QVERIFY(undo());
    QVERIFY(redo());
    QCOMPARE(stackIndex(object(b)) > stackIndex(object(a)), secondOnTop);
}

void TestCanvasView::maximiseAndRestoreChangeNoCell()
{
    const int row = add(QStringLiteral("热点"));
    select(row);
    typeInto("编辑框_距左", QStringLiteral("200"), "编辑框_距顶");
    QCOMPARE(table()->cell(row, T::Left), QStringLiteral("200"));
    auto *maximise = window()->findChild<QPushButton *>(QStringLiteral("超级按钮_最大"));
    for (int turn = 0; turn < 2; ++turn) {
        QTest::mouseClick(maximise, Qt::LeftButton);
        Test::settle();
        QCOMPARE(onModule(canvas(), object(row)).x(), 200);
        // A press that moves nothing writes nothing.
        select(row);
        QCOMPARE(table()->cell(row, T::Left), QStringLiteral("200"));
        QCOMPARE(boxText(window(), "编辑框_距左"), QStringLiteral("200"));
    }
}

void TestCanvasView::copiesAreWhole_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("atTemplate");
    QTest::newRow("复制 an image") << "menu" << "图片" << true;
    QTest::newRow("复制 a zoom picture") << "menu" << "放大" << true;
    QTest::newRow("复制 a text") << "menu" << "文字" << true;
    QTest::newRow("Ctrl+D an image") << "duplicate" << "图片" << false;
    QTest::newRow("Ctrl+C Ctrl+V a text") << "clipboard" << "文字" << false;
    QTest::newRow("Ctrl+C Ctrl+V a zoom picture") << "clipboard" << "放大" << false;
}

void TestCanvasView::copiesAreWhole()
{
    QFETCH(QString, how);
    QFETCH(QString, kind);
    QFETCH(bool, atTemplate);
    const int source = add(kind);
    select(source);
    typeInto("编辑框_距左", QStringLiteral("37"), "编辑框_距顶");
    typeInto("编辑框_距顶", QStringLiteral("41"), "编辑框_距左");
    window()->lockSelected();
    const QStringList before = table()->rowCells(source);
    select(source);
    if (how == QLatin1String("menu")) {
        window()->copySelected();
    } else if (how == QLatin1String("duplicate")) {
        pressKeys(canvas(), Qt::Key_D);
    } else {
        pressKeys(canvas(), Qt::Key_C);
        pressKeys(canvas(), Qt::Key_V);
    }
    QCOMPARE(table()->componentCount(), 2);
    const QStringList copy = table()->rowCells(2);
    for (int column = T::Kind; column < T::ColumnCount; ++column) {
        if (column == T::Left || column == T::Top || column == T::Locked)
            continue;
        QCOMPARE(copy.at(column), before.at(column));
    }
    QVERIFY(copy.at(T::Id) != before.at(T::Id));
    QVERIFY(copy.at(T::Locked).isEmpty());
    const QPoint expected = atTemplate ? canvas()->newComponentPlace(kind) : QPoint(47, 51);
    QCOMPARE(QPoint(copy.at(T::Left).toInt(), copy.at(T::Top).toInt()), expected);
    QCOMPARE(onModule(canvas(), object(2)), expected);
    if (kind == QLatin1String("文字"))
        QCOMPARE(qobject_cast<QLabel *>(object(2))->text(), before.at(T::Picture));
}

void TestCanvasView::carouselCopyHasItsOwnSettings()
{
    const auto setPicture = [this](int number, const QString &url) {
        window()->document()->record(QStringLiteral("编辑轮播"), [&] {
            CS::writeFor(*table(), number, {{CS::pictureKey(1), url}});
        });
    };
    const auto picture = [this](int number) { return CS::valueOf(*table(), number, CS::pictureKey(1)); };
    const int carousel = add(QStringLiteral("轮播"));
    const int number = CS::numberOf(*table(), carousel);
    setPicture(number, QStringLiteral("http://127.0.0.1:9/own.jpg"));
    select(carousel);
    pressKeys(canvas(), Qt::Key_D);
    QCOMPARE(table()->componentCount(), 6);
    const int copy = 4;
    QCOMPARE(table()->cell(copy, T::Kind), QStringLiteral("轮播"));
    const int copyNumber = CS::numberOf(*table(), copy);
    QVERIFY(copyNumber != number);
    QCOMPARE(picture(copyNumber), QStringLiteral("http://127.0.0.1:9/own.jpg"));
    QCOMPARE(table()->cell(CS::leftArrowRow(*table(), copy), T::Kind), CS::kLeftArrowPrefix + QString::number(copyNumber));
    QCOMPARE(table()->cell(CS::rightArrowRow(*table(), copy), T::Kind), CS::kRightArrowPrefix + QString::number(copyNumber));
    // Editing the copy's settings leaves the source's alone; undo takes the copy and its arrows.
    setPicture(copyNumber, QStringLiteral("http://127.0.0.1:9/other.jpg"));
    QCOMPARE(picture(number), QStringLiteral("http://127.0.0.1:9/own.jpg"));
    QVERIFY(undo());
    QVERIFY(undo());
    QCOMPARE(table()->componentCount(), 3);
    QCOMPARE(canvas()->allObjects().size(), 3);
}

void TestCanvasView::clipboardCarriesCopiesToAnotherDesigner()
{
    const int text = add(QStringLiteral("文字"));
    const int image = add(QStringLiteral("图片"));
    canvas()->selectObjects({object(text), object(image)});
    pressKeys(canvas(), Qt::Key_C);
    QVERIFY(QGuiApplication::clipboard()->mimeData()->hasFormat(QStringLiteral("application/x-plumbrook-components+json")));

    Test::DesignerWindow other;
    DesignCanvas *otherCanvas = other.window()->canvas();
    pressKeys(otherCanvas, Qt::Key_V);
    ComponentTable *otherTable = other.window()->table();
    QCOMPARE(otherTable->componentCount(), 2);
    QCOMPARE(otherTable->cell(1, T::Kind), QStringLiteral("文字"));
    QCOMPARE(otherTable->cell(1, T::Picture), table()->cell(text, T::Picture));
    QCOMPARE(otherTable->cell(2, T::Picture), table()->cell(image, T::Picture));
    QCOMPARE(other.window()->document()->undoStack()->undoText(), QStringLiteral("粘贴 2 个组件"));
    auto *label = qobject_cast<QLabel *>(otherCanvas->objectById(otherTable->cell(1, T::Id)));
    QVERIFY(label);
    QCOMPARE(label->text(), table()->cell(text, T::Picture));
}

void TestCanvasView::typedModuleColourIsTheOneKept()
{
    auto openSettings = [this] {
        QTest::mouseClick(window()->findChild<QPushButton *>(QStringLiteral("超级按钮_背景1")), Qt::LeftButton);
        QWidget *settings = window()->moduleSettingsWindow;
        return settings;
    };
    QWidget *settings = openSettings();
    QVERIFY(settings);
    auto *colour = settings->findChild<QLineEdit *>(QStringLiteral("编辑框_背景色"));
    colour->selectAll();
    QTest::keyClicks(colour, QStringLiteral("#FFF0E0"));
    QTest::mouseClick(settings->findChild<QPushButton *>(QStringLiteral("超级按钮2")), Qt::LeftButton);
    // Kept blue-green-red, as the picker keeps colours.
    QCOMPARE(table()->cell(0, T::BgColor), QString::number(0xE0F0FF));
    QVERIFY(table()->cell(0, T::Other4).contains(QStringLiteral("#FFF0E0")));
    QTRY_VERIFY(!window()->moduleSettingsWindow);
    settings = openSettings();
    QVERIFY(settings);
    QCOMPARE(settings->findChild<QLineEdit *>(QStringLiteral("编辑框_背景色"))->text(), QStringLiteral("#FFF0E0"));
    // Changing the height alone keeps the colour.
    auto *height = settings->findChild<QLineEdit *>(QStringLiteral("编辑框_高度"));
    height->selectAll();
    QTest::keyClicks(height, QStringLiteral("300"));
    QTest::mouseClick(settings->findChild<QPushButton *>(QStringLiteral("超级按钮2")), Qt::LeftButton);
    QCOMPARE(table()->cell(0, T::BgColor), QString::number(0xE0F0FF));
    QVERIFY(table()->cell(0, T::Other4).contains(QStringLiteral("#FFF0E0")));
}

void TestCanvasView::importedTextShowsItsCells()
{
    add(QStringLiteral("文字"));
    QString code = Test::generated(*table());
    QVERIFY(code.contains(QStringLiteral("text-align:;")));
    code.replace(QStringLiteral("text-align:;"), QStringLiteral("text-align:center;"));
    code.replace(QStringLiteral("color:#000;"), QStringLiteral("color:#FF0000;"));
    QVERIFY(window()->fileMenu()->importCode(code));
    auto *label = qobject_cast<QLabel *>(object(1));
    QVERIFY(label);
    QCOMPARE(label->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QVERIFY2(label->styleSheet().contains(QStringLiteral("#ff0000")), qPrintable(label->styleSheet()));
    // 保存 without a change keeps the code as it was.
    QWidget *editor = Test::openEditor(window(), 1);
    QVERIFY(editor);
    Test::pressButton(editor, QStringLiteral("超级按钮2"));
    QVERIFY(Test::generated(*table()).contains(QStringLiteral("text-align:center;")));
    QVERIFY(Test::generated(*table()).contains(QStringLiteral("color:#FF0000;")));
    // The save changed nothing, so it is no step; undo and redo of the import show it so again.
    QCOMPARE(stack()->undoText(), QStringLiteral("导入代码"));
    QVERIFY(undo());
    QVERIFY(redo());
    label = qobject_cast<QLabel *>(object(1));
    QCOMPARE(label->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
}

void TestCanvasView::newTextShowsItsCells()
{
    pressPalette(QStringLiteral("文字"));
    QCOMPARE(table()->componentCount(), 1);
    auto *label = qobject_cast<QLabel *>(object(1));
    QVERIFY(label);
    QCOMPARE(label->text(), QStringLiteral("亲爱的，咱不哭"));
    QCOMPARE(label->text(), table()->cell(1, T::Picture));
    QVERIFY(undo());
    QVERIFY(redo());
    label = qobject_cast<QLabel *>(object(1));
    QCOMPARE(label->text(), QStringLiteral("亲爱的，咱不哭"));
}

void TestCanvasView::boxesShowTheSelectionsCells()
{
    const int first = add(QStringLiteral("图片"));
    const int locked = add(QStringLiteral("热点"));
    select(locked);
    typeInto("编辑框_距左", QStringLiteral("300"), "编辑框_距顶");
    window()->lockSelected();

    // After a drag and its undo the boxes show the cells put back.
    select(first);
    Test::dragBy(object(first), QPoint(30, 10));
    const QString movedX = table()->cell(first, T::Left);
    QCOMPARE(boxText(window(), "编辑框_距左"), movedX);
    QVERIFY(undo());
    QCOMPARE(boxText(window(), "编辑框_距左"), table()->cell(first, T::Left));
    QVERIFY(boxText(window(), "编辑框_距左") != movedX);
    QVERIFY(redo());
    QCOMPARE(boxText(window(), "编辑框_距左"), movedX);

    // Typing moves the handles with the component at once.
    select(first);
    typeInto("编辑框_距顶", QStringLiteral("77"), nullptr);
    auto *topLeft = window()->findChild<QLabel *>(QStringLiteral("标签_左上"));
    const QRect shown = canvas()->shownFrame(object(first));
    QCOMPARE(topLeft->geometry().bottomRight() + QPoint(1, 1), shown.topLeft());
    QCOMPARE(onModule(canvas(), object(first)).y(), 77);

    // Pressing a locked component shows its own place.
    window()->findChild<QLineEdit *>(QStringLiteral("编辑框_距左"))->setFocus();
    select(locked);
    QCOMPARE(boxText(window(), "编辑框_距左"), QStringLiteral("300"));
    QCOMPARE(boxText(window(), "编辑框_距顶"), table()->cell(locked, T::Top));
}

void TestCanvasView::stepsAreNamedForKindAndCount_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("name");
    QTest::newRow("palette text") << "add" << "文字" << "添加文字";
    QTest::newRow("palette hotspot") << "add" << "热点" << "添加热点";
    QTest::newRow("palette carousel") << "add" << "轮播" << "添加轮播";
    QTest::newRow("delete one") << "delete" << "热点" << "删除热点";
    QTest::newRow("delete three") << "delete3" << "图片" << "删除 3 个组件";
    QTest::newRow("nudge three") << "nudge3" << "文字" << "移动 3 个组件";
    QTest::newRow("lock one") << "lock" << "视频" << "锁定视频";
    QTest::newRow("drag one") << "drag" << "分享" << "移动分享";
}

void TestCanvasView::stepsAreNamedForKindAndCount()
{
    QFETCH(QString, action);
    QFETCH(QString, kind);
    QFETCH(QString, name);
    const int row = add(kind);
    if (action == QLatin1String("add")) {
        QCOMPARE(stack()->undoText(), name);
        return;
    }
    if (action.endsWith(QLatin1Char('3'))) {
        add(kind);
        add(kind);
        canvas()->selectObjects(canvas()->allObjects());
    } else {
        select(row);
    }
    if (action.startsWith(QLatin1String("delete")))
        QTest::keyClick(canvas()->surface(), Qt::Key_Delete);
    else if (action.startsWith(QLatin1String("nudge")))
        QTest::keyClick(canvas()->surface(), Qt::Key_Right);
    else if (action == QLatin1String("lock"))
        window()->lockSelected();
    else
        Test::dragBy(object(row), QPoint(12, 4));
    QCOMPARE(stack()->undoText(), name);
}

QTEST_MAIN(TestCanvasView)
#include "tst_canvas_view.moc"
