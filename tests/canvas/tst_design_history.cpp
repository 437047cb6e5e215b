#include "canvas/canvas_surface.h"
#include "canvas/context_menu_operations.h"
#include "canvas/design_canvas.h"
#include "canvas/frame_picture.h"
#include "canvas/main_window.h"
#include "canvas/module_background_layer.h"
#include "canvas/picture_object.h"
#include "codegen/module_generator.h"
#include "components/carousel_settings.h"
#include "components/component_creation.h"
#include "components/editor_registry.h"
#include "components/editor_window.h"
#include "components/preview_download.h"
#include "model/component_table.h"
#include "model/kind_table.h"
#include "model/design_document.h"
#include "support/test_support.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRandomGenerator>
#include <QTest>
#include <QUndoStack>

#include <algorithm>

using namespace Plumbrook;
using T = ComponentTable;
namespace CS = CarouselSettings;

namespace {

// The canvas follows the pointer's global position, which stays put while the object moves.
void sendMouse(QWidget *widget, QEvent::Type type, const QPoint &global, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(widget->mapFromGlobal(global)), QPointF(global), button, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

void drag(QWidget *widget, const QPoint &delta, int moves = 3)
{
    const QPoint press = widget->mapToGlobal(QPoint(2, 2));
    sendMouse(widget, QEvent::MouseButtonPress, press, Qt::LeftButton, Qt::LeftButton);
    for (int step = 1; step <= moves; ++step)
        sendMouse(widget, QEvent::MouseMove, press + delta * step / moves, Qt::NoButton, Qt::LeftButton);
    sendMouse(widget, QEvent::MouseButtonRelease, press + delta, Qt::LeftButton, Qt::NoButton);
}

void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

QString generated(const ComponentTable &table)
{
    GenerationSources sources;
    sources.randomDigit = [] { return 4; };
    return ModuleGenerator(table, sources).generate(QStringLiteral("auto"));
}

QByteArray fakeFetch(const QString &url)
{
    return makeFramePicture(int(url.size()), 9, 0x302010, 0x302010);
}

} // namespace

class TestDesignHistory : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void addIsOneStep_data();
    void addIsOneStep();
    void deleteRestoresTheSameComponent();
    void dragIsOneStepAndSelectingIsNone();
    void typingInAGeometryBoxMerges();
    void typingMergesOnlyWithinOneBoxAndOneRun_data();
    void typingMergesOnlyWithinOneBoxAndOneRun();
    void lockAndCopy();
    void editorSaves();
    void carouselSettingsEdit();
    void moduleSettingsAndWorkerAreOneStep();
    void backgroundArrivingLateFindsItsStep();
    void newChangeDropsRedo();
    void everyOperationUndoesAndRedoes_data();
    void everyOperationUndoesAndRedoes();
    void randomOperationsUndoToTheStart();

private:
    QWidget *object(int row) const;
    void select(int row);
    bool undo();
    bool redo();
    void typeInto(const char *boxName, const QString &text, const char *leaveTo);
    void operate(const QString &operation, int row);
    QStringList canvasLooks() const;

    Test::TemporaryProgramDir *mDir = nullptr;
    MainWindow *mWindow = nullptr;
    DesignCanvas *mCanvas = nullptr;
    ComponentTable *mTable = nullptr;
    QUndoStack *mStack = nullptr;
};

void TestDesignHistory::init()
{
    mDir = new Test::TemporaryProgramDir;
    mWindow = new MainWindow;
    mWindow->show();
    QVERIFY(QTest::qWaitForWindowExposed(mWindow));
    mCanvas = mWindow->canvas();
    mCanvas->setPreviewFetch(&fakeFetch);
    mTable = mWindow->table();
    mStack = mWindow->document()->undoStack();
    mCanvas->setBackgroundPicture(makeFramePicture(950, 500, 0x8445952, 0x8445952));
    mCanvas->centreBackground(950);
    settle();
    mStack->clear();
}

void TestDesignHistory::cleanup()
{
    EditorRegistry::closeAll();
    QTRY_COMPARE(ModuleBackgroundLayer::runningWorkers(), 0);
    QTRY_COMPARE(PreviewDownload::pending(), 0);
    delete mWindow;
    delete mDir;
}

QWidget *TestDesignHistory::object(int row) const
{
    return mCanvas->objectById(mTable->cell(row, T::Id));
}

void TestDesignHistory::select(int row)
{
    QTest::mouseClick(object(row), Qt::LeftButton, {}, QPoint(2, 2));
    settle();
}

bool TestDesignHistory::undo()
{
    if (!mStack->canUndo())
        return false;
    mStack->undo();
    return true;
}

bool TestDesignHistory::redo()
{
    if (!mStack->canRedo())
        return false;
    mStack->redo();
    return true;
}

void TestDesignHistory::typeInto(const char *boxName, const QString &text, const char *leaveTo)
{
    auto *box = mWindow->findChild<QLineEdit *>(QString::fromUtf8(boxName));
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
    if (leaveTo)
        mWindow->findChild<QLineEdit *>(QString::fromUtf8(leaveTo))->setFocus();
}

// Each object as the user sees it, bottom to top.
QStringList TestDesignHistory::canvasLooks() const
{
    QList<QWidget *> objects = mCanvas->allObjects();
    if (objects.isEmpty())
        return {};
    const QObjectList siblings = objects.first()->parentWidget()->children();
    std::sort(objects.begin(), objects.end(), [&siblings](QWidget *a, QWidget *b) {
        return siblings.indexOf(a) < siblings.indexOf(b);
    });
    QStringList looks;
    const QPoint origin = mCanvas->backgroundPos();
    for (QWidget *object : objects) {
        const QRect frame = object->geometry().translated(-origin);
        QString look = QStringLiteral("%1 %2,%3 %4x%5 %6")
                           .arg(DesignCanvas::tagOf(object))
                           .arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height())
                           .arg(object->isHidden() ? "hidden" : "shown");
        if (auto *picture = qobject_cast<PictureObject *>(object))
            look += QStringLiteral(" picture %1").arg(qHash(picture->pictureData()));
        else if (auto *label = qobject_cast<QLabel *>(object))
            look += QLatin1Char(' ') + label->text() + QLatin1Char(' ') + label->font().toString()
                + QLatin1Char(' ') + label->styleSheet();
        looks.append(look);
    }
    return looks;
}

void TestDesignHistory::addIsOneStep_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("rows");
    QTest::newRow("picture") << "图片" << 1;
    QTest::newRow("hotspot") << "热点" << 1;
    QTest::newRow("text") << "文字" << 1;
    QTest::newRow("carousel with its arrows") << "轮播" << 3;
}

void TestDesignHistory::addIsOneStep()
{
    QFETCH(QString, kind);
    QFETCH(int, rows);
    ComponentCreation::create(mCanvas, QStringLiteral("图片"));
    const auto before = mTable->rows();
    ComponentCreation::create(mCanvas, kind);
    const auto after = mTable->rows();
    QCOMPARE(mStack->index(), 2);
    QCOMPARE(mStack->undoText(), QStringLiteral("添加图片"));
    QCOMPARE(mCanvas->allObjects().size(), 1 + rows);

    QVERIFY(undo());
    settle();
    QCOMPARE(mTable->rows(), before);
    QCOMPARE(mCanvas->allObjects().size(), 1);

    QVERIFY(redo());
    settle();
    QCOMPARE(mTable->rows(), after);
    QCOMPARE(mCanvas->allObjects().size(), 1 + rows);
    for (int row = 1; row < mTable->count(); ++row)
        QVERIFY(object(row) && !object(row)->isHidden());
    // Ids are never reused: the next component continues above the redone ones.
    const int next = ComponentCreation::create(mCanvas, QStringLiteral("图片"));
    QCOMPARE(mTable->cellInt(next, T::Id), mTable->cellInt(next - 1, T::Id) + 1);
}

void TestDesignHistory::deleteRestoresTheSameComponent()
{
    for (int i = 0; i < 3; ++i)
        ComponentCreation::create(mCanvas, QStringLiteral("图片"));
    const QByteArray picture = makeFramePicture(30, 20, 0x112233, 0x445566);
    QVERIFY(mCanvas->setObjectPicture(mTable->cell(2, T::Id), picture));
    select(2);
    const QString id = mTable->cell(2, T::Id);
    const QRect geometry = object(2)->geometry();
    const auto before = mTable->rows();
    const QStringList looks = canvasLooks();

    ContextMenuOperations::remove(mWindow);
    settle();
    QCOMPARE(mStack->undoText(), QStringLiteral("删除"));
    QCOMPARE(mTable->count(), 3);
    QVERIFY(!mCanvas->objectById(id));

    undo();
    settle();
    QCOMPARE(mTable->rows(), before);
    QCOMPARE(mTable->findRowById(id), 2);
    auto *restored = qobject_cast<PictureObject *>(mCanvas->objectById(id));
    QVERIFY(restored);
    QCOMPARE(restored->pictureData(), picture);
    QCOMPARE(restored->geometry(), geometry);
    QVERIFY(!restored->isHidden());
    // It lies where it lay: the press raised it above the last one.
    QCOMPARE(canvasLooks(), looks);

    redo();
    settle();
    QVERIFY(!mCanvas->objectById(id));
    QCOMPARE(mTable->count(), 3);
}

void TestDesignHistory::dragIsOneStepAndSelectingIsNone()
{
    const int row = ComponentCreation::create(mCanvas, QStringLiteral("图片"));
    select(row);   // fills the position cells: no step of its own
    QCOMPARE(mStack->index(), 1);
    const QRect start = object(row)->geometry();
    const QString left = mTable->cell(row, T::Left);

    QWidget *target = object(row);
    drag(target, QPoint(35, 15), 5);
    settle();
    QCOMPARE(mStack->index(), 2);
    QCOMPARE(mStack->undoText(), QStringLiteral("移动"));
    QCOMPARE(target->geometry(), start.translated(35, 15));

    QVERIFY(undo());
    QCOMPARE(object(row)->geometry(), start);
    QCOMPARE(mTable->cell(row, T::Left), left);
    QVERIFY(redo());
    QCOMPARE(object(row)->geometry(), start.translated(35, 15));
    QCOMPARE(mTable->cellInt(row, T::Left), left.toInt() + 35);
}

void TestDesignHistory::typingInAGeometryBoxMerges()
{
    const int row = ComponentCreation::create(mCanvas, QStringLiteral("图片"));
    select(row);
    const int steps = mStack->index();
    const int width = object(row)->width();
    mWindow->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(mWindow));
    typeInto("编辑框_宽", QStringLiteral("123"), "编辑框_高");   // leaving applies the width
    QCOMPARE(object(row)->width(), 123);
    QCOMPARE(mStack->index(), steps + 1);
    QCOMPARE(mStack->undoText(), QStringLiteral("修改尺寸"));

    QVERIFY(undo());
    QCOMPARE(object(row)->width(), width);
    QCOMPARE(mTable->cellInt(row, T::Width), width);
}

void TestDesignHistory::typingMergesOnlyWithinOneBoxAndOneRun_data()
{
    QTest::addColumn<QString>("between");
    QTest::addColumn<int>("steps");
    QTest::newRow("one run in one box") << "" << 1;
    QTest::newRow("another box") << "other box" << 2;
    QTest::newRow("focus left and came back") << "refocus" << 2;
    QTest::newRow("a lock between") << "lock" << 3;
}

void TestDesignHistory::typingMergesOnlyWithinOneBoxAndOneRun()
{
    QFETCH(QString, between);
    QFETCH(int, steps);
    const int row = ComponentCreation::create(mCanvas, QStringLiteral("图片"));
    select(row);
    mWindow->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(mWindow));
    const auto start = mTable->rows();
    const int base = mStack->index();
    auto *width = mWindow->findChild<QLineEdit *>(QStringLiteral("编辑框_宽"));
    auto *height = mWindow->findChild<QLineEdit *>(QStringLiteral("编辑框_高"));
    width->setFocus();
    QTest::keyClick(width, Qt::Key_End);
    QTest::keyClicks(width, "1");
    if (between == "other box") {
        height->setFocus();
        QTest::keyClicks(height, "2");
    } else if (between == "refocus") {
        height->setFocus();
        width->setFocus();
    } else if (between == "lock") {
        ContextMenuOperations::lock(mWindow);
    }
    QTest::keyClicks(QApplication::focusWidget(), "3");
    QCOMPARE(mStack->index() - base, steps);
    while (mStack->index() > base)
        undo();
    QCOMPARE(mTable->rows(), start);
}

void TestDesignHistory::lockAndCopy()
{
    const int row = ComponentCreation::create(mCanvas, QStringLiteral("文字"));
    select(row);
    ContextMenuOperations::lock(mWindow);
    QCOMPARE(mStack->undoText(), QStringLiteral("锁定"));
    QVERIFY(mTable->isLocked(row));
    ContextMenuOperations::unlock(mWindow);
    QCOMPARE(mStack->undoText(), QStringLiteral("解锁"));
    ContextMenuOperations::copy(mWindow);
    QCOMPARE(mStack->undoText(), QStringLiteral("添加图片"));
    QCOMPARE(mTable->count(), 3);

    undo();
    QCOMPARE(mTable->count(), 2);
    QCOMPARE(mCanvas->textLabels().size(), 1);
    undo();
    QVERIFY(mTable->isLocked(row));
    undo();
    QVERIFY(!mTable->isLocked(row));
}

void TestDesignHistory::editorSaves()
{
    const int picture = ComponentCreation::create(mCanvas, QStringLiteral("图片"));
    const int text = ComponentCreation::create(mCanvas, QStringLiteral("文字"));
    const auto before = mTable->rows();
    auto *label = qobject_cast<QLabel *>(object(text));
    const QString oldText = label->text();
    const QFont oldFont = label->font();

    auto *editor = qobject_cast<EditorWindow *>(EditorRegistry::open(mWindow, QStringLiteral("文字"), text));
    QVERIFY(editor);
    editor->lineEdit(QStringLiteral("编辑框1"))->setText(QStringLiteral("新的文字"));
    editor->lineEdit(QStringLiteral("编辑框4"))->setText(QStringLiteral("30"));
    editor->save();
    QCOMPARE(label->text(), QStringLiteral("新的文字"));
    QCOMPARE(mStack->undoText(), QStringLiteral("编辑图片"));
    const int steps = mStack->index();

    editor = qobject_cast<EditorWindow *>(EditorRegistry::open(mWindow, QStringLiteral("图片"), picture));
    editor->lineEdit(QStringLiteral("编辑框2"))->setText(QStringLiteral("https://shop.example/x"));
    editor->save();
    QCOMPARE(mStack->index(), steps + 1);

    undo();
    QCOMPARE(mTable->cell(picture, T::Link), before.at(picture).at(T::Link));
    QCOMPARE(label->text(), QStringLiteral("新的文字"));
    undo();
    QCOMPARE(mTable->rows(), before);
    QCOMPARE(label->text(), oldText);
    QCOMPARE(label->font(), oldFont);
    redo();
    QCOMPARE(label->text(), QStringLiteral("新的文字"));
    QCOMPARE(label->font().pixelSize(), 30);
}

void TestDesignHistory::carouselSettingsEdit()
{
    const int row = ComponentCreation::create(mCanvas, QStringLiteral("轮播"));
    const int number = CS::numberOf(*mTable, row);
    const int steps = mStack->index();
    const auto rows = mTable->rows();
    // The carousel's editor writes only its settings file, never the table.
    auto *editor = qobject_cast<EditorWindow *>(EditorRegistry::open(mWindow, KindTable::nameOf(KindTable::Kind::Carousel), row));
    QVERIFY(editor);
    editor->lineEdit(QStringLiteral("编辑框1"))->setText(QStringLiteral("fade"));
    editor->lineEdit(QStringLiteral("编辑框_图1"))->setText(QStringLiteral("http://127.0.0.1:9/a.jpg"));
    editor->save();
    QCOMPARE(mStack->index(), steps + 1);
    QCOMPARE(mTable->rows(), rows);
    auto *carousel = qobject_cast<PictureObject *>(object(row));
    QTRY_COMPARE(carousel->image().width(), int(QStringLiteral("http://127.0.0.1:9/a.jpg").size()));

    undo();
    QCOMPARE(CS::read(number, CS::kTransitionCode), QStringLiteral("none"));
    QCOMPARE(CS::read(number, CS::pictureKey(1)), CS::kSamplePictureA);
    redo();
    QCOMPARE(CS::read(number, CS::kTransitionCode), QStringLiteral("fade"));
    // The preview comes back from the pictures already downloaded.
    QCOMPARE(carousel->image().width(), int(QStringLiteral("http://127.0.0.1:9/a.jpg").size()));
}

void TestDesignHistory::moduleSettingsAndWorkerAreOneStep()
{
    const int row = ComponentCreation::create(mCanvas, QStringLiteral("图片"));
    select(row);
    const auto before = mTable->rows();
    const QImage backgroundBefore = mCanvas->surface()->spriteImage(mCanvas->backgroundId());
    const int steps = mStack->index();

    mWindow->openModuleSettings();
    mWindow->moduleSettingsWindow->findChild<QLineEdit *>(QStringLiteral("编辑框_宽度"))->setText(QStringLiteral("700"));
    QMetaObject::invokeMethod(mWindow->moduleSettingsWindow, "confirm");
    QTRY_COMPARE(ModuleBackgroundLayer::runningWorkers(), 0);
    settle();
    QCOMPARE(mCanvas->backgroundPictureSize().width(), 700);
    QCOMPARE(mStack->index(), steps + 1);
    QCOMPARE(mStack->undoText(), QStringLiteral("背景设置"));

    QVERIFY(undo());
    QCOMPARE(mTable->rows(), before);
    QCOMPARE(mCanvas->surface()->spriteImage(mCanvas->backgroundId()), backgroundBefore);
    // The component keeps its place on the module.
    QCOMPARE(object(row)->pos() - mCanvas->backgroundPos(),
             QPoint(mTable->cellInt(row, T::Left), mTable->cellInt(row, T::Top)));
}

void TestDesignHistory::backgroundArrivingLateFindsItsStep()
{
    const QSize before = mCanvas->backgroundPictureSize();
    auto confirmWidth = [this](const char *width) {
        mWindow->openModuleSettings();
        mWindow->moduleSettingsWindow->findChild<QLineEdit *>(QStringLiteral("编辑框_宽度"))
            ->setText(QString::fromLatin1(width));
        QMetaObject::invokeMethod(mWindow->moduleSettingsWindow, "confirm");
    };

    // Undone before its picture came: the picture stays with the confirm's step.
    confirmWidth("700");
    QVERIFY(undo());
    QTRY_COMPARE(ModuleBackgroundLayer::runningWorkers(), 0);
    settle();
    QCOMPARE(mCanvas->backgroundPictureSize(), before);
    QCOMPARE(mTable->cell(0, T::Width), QStringLiteral("950"));
    QVERIFY(redo());
    QCOMPARE(mCanvas->backgroundPictureSize(), QSize(700, 500));
    QCOMPARE(mTable->cell(0, T::Width), QStringLiteral("700"));

    // A component added while the picture was on its way: undoing it keeps the new picture.
    confirmWidth("600");
    ComponentCreation::create(mCanvas, QStringLiteral("图片"));
    QTRY_COMPARE(ModuleBackgroundLayer::runningWorkers(), 0);
    settle();
    QCOMPARE(mCanvas->backgroundPictureSize(), QSize(600, 500));
    QCOMPARE(mStack->index(), 3);   // the picture arriving is no step
    QVERIFY(undo());
    QCOMPARE(mTable->count(), 1);
    QCOMPARE(mCanvas->backgroundPictureSize(), QSize(600, 500));
    QVERIFY(undo());
    QCOMPARE(mCanvas->backgroundPictureSize(), QSize(700, 500));
}

void TestDesignHistory::newChangeDropsRedo()
{
    ComponentCreation::create(mCanvas, QStringLiteral("图片"));
    undo();
    QVERIFY(mStack->canRedo());
    ComponentCreation::create(mCanvas, QStringLiteral("收藏"));
    QVERIFY(!mStack->canRedo());
    QCOMPARE(mStack->index(), 1);
    // A preview picture arriving is no change of its own.
    mCanvas->setObjectPicture(mTable->cell(1, T::Id), makeFramePicture(5, 5, 0x1, 0x1));
    settle();
    QCOMPARE(mStack->index(), 1);
    QVERIFY(!redo());
}

// One user operation on the component in `row` (selected before).
void TestDesignHistory::operate(const QString &operation, int row)
{
    QWidget *target = object(row);
    if (operation == "add picture") {
        ComponentCreation::create(mCanvas, QStringLiteral("图片"));
    } else if (operation == "add text") {
        ComponentCreation::create(mCanvas, QStringLiteral("文字"));
    } else if (operation == "add carousel") {
        ComponentCreation::create(mCanvas, QStringLiteral("轮播"));
    } else if (operation == "copy") {
        ContextMenuOperations::copy(mWindow);
    } else if (operation == "delete") {
        ContextMenuOperations::remove(mWindow);
    } else if (operation == "lock") {
        ContextMenuOperations::lock(mWindow);
    } else if (operation == "unlock") {
        ContextMenuOperations::unlock(mWindow);
    } else if (operation == "move") {
        drag(target, QPoint(17, -9));
    } else if (operation == "resize") {
        drag(mCanvas->handles().label(SelectionHandles::BottomRight), QPoint(-21, 13));
    } else if (operation == "type width") {
        typeInto("编辑框_宽", QStringLiteral("77"), "编辑框_距顶");
    } else if (operation == "type left") {
        typeInto("编辑框_距左", QStringLiteral("5"), "编辑框_宽");
    } else if (operation == "edit picture") {
        auto *editor = qobject_cast<EditorWindow *>(
            EditorRegistry::open(mWindow, mTable->cell(row, T::Kind), row));
        editor->lineEdit(QStringLiteral("编辑框1"))->setText(QStringLiteral("http://127.0.0.1:9/p%1.png").arg(row));
        editor->save();
    } else if (operation == "edit text") {
        auto *editor = qobject_cast<EditorWindow *>(EditorRegistry::open(mWindow, QStringLiteral("文字"), row));
        editor->lineEdit(QStringLiteral("编辑框1"))->setText(QStringLiteral("改过"));
        editor->lineEdit(QStringLiteral("编辑框4"))->setText(QStringLiteral("19"));
        editor->save();
    } else if (operation == "edit carousel") {
        auto *editor = qobject_cast<EditorWindow *>(EditorRegistry::open(mWindow, KindTable::nameOf(KindTable::Kind::Carousel), row));
        auto *arrows = editor->findChild<QComboBox *>(QStringLiteral("组合框5"));
        arrows->setCurrentIndex(1);
        emit arrows->activated(1);   // as the user's choice, which hides the arrows at once
        editor->lineEdit(QStringLiteral("编辑框2"))->setText(QStringLiteral("bounceIn"));
        editor->lineEdit(QStringLiteral("编辑框_图1"))->setText(QStringLiteral("http://127.0.0.1:9/c.jpg"));
        editor->save();
    } else if (operation == "module settings") {
        mWindow->openModuleSettings();
        mWindow->moduleSettingsWindow->findChild<QLineEdit *>(QStringLiteral("编辑框_高度"))
            ->setText(QStringLiteral("640"));
        QMetaObject::invokeMethod(mWindow->moduleSettingsWindow, "confirm");
        QTRY_COMPARE(ModuleBackgroundLayer::runningWorkers(), 0);
    }
    settle();
}

void TestDesignHistory::everyOperationUndoesAndRedoes_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("kind");   // of the component operated on
    QTest::addColumn<QString>("step");
    QTest::newRow("add picture") << "add picture" << "图片" << "添加图片";
    QTest::newRow("add text") << "add text" << "图片" << "添加图片";
    QTest::newRow("add carousel") << "add carousel" << "图片" << "添加图片";
    QTest::newRow("copy picture") << "copy" << "图片" << "添加图片";
    QTest::newRow("copy text") << "copy" << "文字" << "添加图片";
    QTest::newRow("delete text") << "delete" << "文字" << "删除";
    QTest::newRow("delete carousel") << "delete" << "轮播" << "删除";
    QTest::newRow("lock") << "lock" << "图片" << "锁定";
    QTest::newRow("unlock") << "unlock" << "图片" << "解锁";
    QTest::newRow("move") << "move" << "文字" << "移动";
    QTest::newRow("resize") << "resize" << "图片" << "调整大小";
    QTest::newRow("type width") << "type width" << "图片" << "修改尺寸";
    QTest::newRow("type left") << "type left" << "文字" << "修改位置";
    QTest::newRow("edit picture") << "edit picture" << "图片" << "编辑图片";
    QTest::newRow("edit text") << "edit text" << "文字" << "编辑图片";
    QTest::newRow("edit carousel") << "edit carousel" << "轮播" << "编辑图片";
    QTest::newRow("module settings") << "module settings" << "图片" << "背景设置";
}

void TestDesignHistory::everyOperationUndoesAndRedoes()
{
    QFETCH(QString, operation);
    QFETCH(QString, kind);
    QFETCH(QString, step);
    mWindow->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(mWindow));
    for (const char *added : {"图片", "文字", "轮播", "图片"})
        ComponentCreation::create(mCanvas, QString::fromUtf8(added));
    int row = 1;
    while (mTable->cell(row, T::Kind) != kind)
        ++row;
    select(row);
    if (operation == "unlock")
        ContextMenuOperations::lock(mWindow);
    QTRY_COMPARE(PreviewDownload::pending(), 0);
    settle();
    auto state = [this] {
        return std::tuple{mTable->rows(), mWindow->document()->design().carousels, canvasLooks(),
                          generated(*mTable)};
    };
    const auto before = state();
    const int steps = mStack->index();

    operate(operation, row);
    QTRY_COMPARE(PreviewDownload::pending(), 0);
    settle();
    const auto after = state();
    QCOMPARE(mStack->index(), steps + 1);
    QCOMPARE(mStack->undoText(), step);
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

void TestDesignHistory::randomOperationsUndoToTheStart()
{
    static const QStringList operations = {"add picture", "add text", "add carousel", "copy", "delete",
                                           "lock", "unlock", "move", "resize", "type width", "type left"};
    mWindow->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(mWindow));
    ComponentCreation::create(mCanvas, QStringLiteral("图片"));
    ComponentCreation::create(mCanvas, QStringLiteral("文字"));
    select(1);
    select(2);
    mStack->clear();
    const auto startRows = mTable->rows();
    const QString startCode = generated(*mTable);
    QRandomGenerator random(1312);
    for (int i = 0; i < 200; ++i) {
        if (mTable->componentCount() == 0)
            ComponentCreation::create(mCanvas, QStringLiteral("图片"));
        const int row = 1 + int(random.bounded(mTable->componentCount()));
        if (object(row)->isHidden())
            continue;   // a carousel's hidden arrow cannot be pressed
        select(row);
        operate(operations.at(random.bounded(operations.size())), row);
        if (random.bounded(8) == 0)
            undo();
    }
    const auto endRows = mTable->rows();
    const QString endCode = generated(*mTable);
    const int end = mStack->index();
    QVERIFY(end > 50);
    while (undo()) {}
    QCOMPARE(mTable->rows(), startRows);
    QCOMPARE(generated(*mTable), startCode);
    while (mStack->index() < end)
        redo();
    QCOMPARE(mTable->rows(), endRows);
    QCOMPARE(generated(*mTable), endCode);
}

QTEST_MAIN(TestDesignHistory)
#include "tst_design_history.moc"
