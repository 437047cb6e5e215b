// Every user operation, alone and in random runs, undoes to what was there and redoes
// to what it made: the table, the carousel settings, the canvas and the module code.
#include "canvas/context_menu_operations.h"
#include "canvas/design_canvas.h"
#include "canvas/main_window.h"
#include "canvas/module_background_layer.h"
#include "canvas/preview_download.h"
#include "canvas/selection_handles.h"
#include "components/component_creation.h"
#include "components/editor_registry.h"
#include "components/editor_window.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/kind_table.h"
#include "support/canvas_driving.h"
#include "support/history_fixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTest>
#include <QUndoStack>

#include <tuple>

using namespace Plumbrook;
using T = ComponentTable;
using namespace Plumbrook::Test;

class TestUndoEverything : public QObject, public HistoryFixture
{
    Q_OBJECT

private slots:
    void init() { open(); }
    void cleanup() { close(); }

    void everyOperationUndoesAndRedoes_data();
    void everyOperationUndoesAndRedoes();
    void randomOperationsUndoToTheStart();

private:
    void operate(const QString &operation, int row);
};

// One user operation on the component in `row` (selected before).
void TestUndoEverything::operate(const QString &operation, int row)
{
    QWidget *target = object(row);
    if (operation == "add picture") {
        canvas()->addComponent(QStringLiteral("图片"));
    } else if (operation == "add text") {
        canvas()->addComponent(QStringLiteral("文字"));
    } else if (operation == "add carousel") {
        canvas()->addComponent(QStringLiteral("轮播"));
    } else if (operation == "copy") {
        ContextMenuOperations::copy(window());
    } else if (operation == "delete") {
        ContextMenuOperations::remove(window());
    } else if (operation == "lock") {
        ContextMenuOperations::lock(window());
    } else if (operation == "unlock") {
        ContextMenuOperations::unlock(window());
    } else if (operation == "move") {
        dragBy(target, QPoint(17, -9));
    } else if (operation == "resize") {
        dragBy(canvas()->handles().label(SelectionHandles::BottomRight), QPoint(-21, 13));
    } else if (operation == "type width") {
        typeInto("编辑框_宽", QStringLiteral("77"), "编辑框_距顶");
    } else if (operation == "type left") {
        typeInto("编辑框_距左", QStringLiteral("5"), "编辑框_宽");
    } else if (operation == "edit picture") {
        auto *editor = qobject_cast<EditorWindow *>(
            EditorRegistry::open(window()->editorHost(), table()->cell(row, T::Kind), row));
        editor->lineEdit(QStringLiteral("编辑框1"))->setText(QStringLiteral("http://127.0.0.1:9/p%1.png").arg(row));
        editor->save();
    } else if (operation == "edit text") {
        auto *editor = qobject_cast<EditorWindow *>(EditorRegistry::open(window()->editorHost(), QStringLiteral("文字"), row));
        editor->lineEdit(QStringLiteral("编辑框1"))->setText(QStringLiteral("改过"));
        editor->lineEdit(QStringLiteral("编辑框4"))->setText(QStringLiteral("19"));
        editor->save();
    } else if (operation == "edit carousel") {
        auto *editor = qobject_cast<EditorWindow *>(EditorRegistry::open(window()->editorHost(), KindTable::nameOf(KindTable::Kind::Carousel), row));
        auto *arrows = editor->findChild<QComboBox *>(QStringLiteral("组合框5"));
        arrows->setCurrentIndex(1);
        emit arrows->activated(1);   // as the user's choice, which hides the arrows at once
        editor->lineEdit(QStringLiteral("编辑框2"))->setText(QStringLiteral("bounceIn"));
        editor->lineEdit(QStringLiteral("编辑框_图1"))->setText(QStringLiteral("http://127.0.0.1:9/c.jpg"));
        editor->save();
    } else if (operation == "module settings") {
        window()->openModuleSettings();
        window()->moduleSettingsWindow->findChild<QLineEdit *>(QStringLiteral("编辑框_高度"))
            ->setText(QStringLiteral("640"));
        QMetaObject::invokeMethod(window()->moduleSettingsWindow, "confirm");
        QTRY_COMPARE(ModuleBackgroundLayer::runningWorkers(), 0);
    }
    settle();
}

void TestUndoEverything::everyOperationUndoesAndRedoes_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("kind");   // of the component operated on
    QTest::addColumn<QString>("step");
    QTest::newRow("add picture") << "add picture" << "图片" << "添加图片";
    QTest::newRow("add text") << "add text" << "图片" << "添加文字";
    QTest::newRow("add carousel") << "add carousel" << "图片" << "添加轮播";
    QTest::newRow("copy picture") << "copy" << "图片" << "复制图片";
    QTest::newRow("copy text") << "copy" << "文字" << "复制文字";
    QTest::newRow("delete text") << "delete" << "文字" << "删除文字";
    QTest::newRow("delete carousel") << "delete" << "轮播" << "删除轮播";
    QTest::newRow("lock") << "lock" << "图片" << "锁定图片";
    QTest::newRow("unlock") << "unlock" << "图片" << "解锁图片";
    QTest::newRow("move") << "move" << "文字" << "移动文字";
    QTest::newRow("resize") << "resize" << "图片" << "调整图片大小";
    QTest::newRow("type width") << "type width" << "图片" << "修改图片尺寸";
    QTest::newRow("type left") << "type left" << "文字" << "修改文字位置";
    QTest::newRow("edit picture") << "edit picture" << "图片" << "编辑图片";
    QTest::newRow("edit text") << "edit text" << "文字" << "编辑文字";
    QTest::newRow("edit carousel") << "edit carousel" << "轮播" << "编辑轮播";
    QTest::newRow("module settings") << "module settings" << "图片" << "背景设置";
}

void TestUndoEverything::everyOperationUndoesAndRedoes()
{
    QFETCH(QString, operation);
    QFETCH(QString, kind);
    QFETCH(QString, step);
    window()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window()));
    for (const char *added : {"图片", "文字", "轮播", "图片"})
        canvas()->addComponent(QString::fromUtf8(added));
    int row = 1;
    while (table()->cell(row, T::Kind) != kind)
        ++row;
    select(row);
    if (operation == "unlock")
        ContextMenuOperations::lock(window());
    QTRY_COMPARE(PreviewDownload::pending(), 0);
    settle();
    auto state = [this] {
        return std::tuple{table()->rows(), window()->document()->design().carousels, canvasLooks(),
                          generated(*table())};
    };
    const auto before = state();
    const int steps = stack()->index();

    operate(operation, row);
    QTRY_COMPARE(PreviewDownload::pending(), 0);
    settle();
    const auto after = state();
    QCOMPARE(stack()->index(), steps + 1);
    QCOMPARE(stack()->undoText(), step);
    QVERIFY(after != before);

    undo();
    QTRY_COMPARE(PreviewDownload::pending(), 0);
    settle();
    QCOMPARE(std::get<0>(state()), std::get<0>(before));
    QCOMPARE(std::get<1>(state()), std::get<1>(before));
    QCOMPARE(std::get<2>(state()), std::get<2>(before));
    QCOMPARE(std::get<3>(state()), std::get<3>(before));

    redo();
    QTRY_COMPARE(PreviewDownload::pending(), 0);
    settle();
    QCOMPARE(std::get<0>(state()), std::get<0>(after));
    QCOMPARE(std::get<1>(state()), std::get<1>(after));
    QCOMPARE(std::get<2>(state()), std::get<2>(after));
    QCOMPARE(std::get<3>(state()), std::get<3>(after));
}

void TestUndoEverything::randomOperationsUndoToTheStart()
{
    static const QStringList operations = {"add picture", "add text", "add carousel", "copy", "delete",
                                           "lock", "unlock", "move", "resize", "type width", "type left"};
    window()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window()));
    canvas()->addComponent(QStringLiteral("图片"));
    canvas()->addComponent(QStringLiteral("文字"));
    select(1);
    select(2);
    stack()->clear();
    const auto startRows = table()->rows();
    const QString startCode = generated(*table());
    QRandomGenerator random(1312);
    for (int i = 0; i < 200; ++i) {
        if (table()->componentCount() == 0)
            canvas()->addComponent(QStringLiteral("图片"));
        const int row = 1 + int(random.bounded(table()->componentCount()));
        if (object(row)->isHidden())
            continue;   // a carousel's hidden arrow cannot be pressed
        select(row);
        operate(operations.at(random.bounded(operations.size())), row);
        if (random.bounded(8) == 0)
            undo();
    }
    const auto endRows = table()->rows();
    const QString endCode = generated(*table());
    const int end = stack()->index();
    QVERIFY(end > 50);
    while (undo()) {}
    QCOMPARE(table()->rows(), startRows);
    QCOMPARE(generated(*table()), startCode);
    while (stack()->index() < end)
        redo();
    QCOMPARE(table()->rows(), endRows);
    QCOMPARE(generated(*table()), endCode);
}

QTEST_MAIN(TestUndoEverything)
#include "tst_undo_everything.moc"
