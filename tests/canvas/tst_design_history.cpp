// Each kind of change is one step of the undo history, and undoing it gives back what was there.
#include "canvas/canvas_surface.h"
#include "canvas/context_menu_operations.h"
#include "canvas/design_canvas.h"
#include "model/frame_picture.h"
#include "canvas/main_window.h"
#include "canvas/module_background_layer.h"
#include "canvas/picture_object.h"
#include "model/carousel_settings.h"
#include "components/component_creation.h"
#include "components/editor_registry.h"
#include "components/editor_window.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/kind_table.h"
#include "support/canvas_driving.h"
#include "support/history_fixture.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QUndoStack>

using namespace Plumbrook;
using T = ComponentTable;
using namespace Plumbrook::Test;
namespace CS = CarouselSettings;

class TestDesignHistory : public QObject, public HistoryFixture
{
    Q_OBJECT

private slots:
    void init() { open(); }
    void cleanup() { close(); }

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
};

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
    canvas()->addComponent(QStringLiteral("图片"));
    const auto before = table()->rows();
    canvas()->addComponent(kind);
    const auto after = table()->rows();
    QCOMPARE(stack()->index(), 2);
    QCOMPARE(stack()->undoText(), QStringLiteral("添加") + kind);
    QCOMPARE(canvas()->allObjects().size(), 1 + rows);

    QVERIFY(undo());
    settle();
    QCOMPARE(table()->rows(), before);
    QCOMPARE(canvas()->allObjects().size(), 1);

    QVERIFY(redo());
    settle();
    QCOMPARE(table()->rows(), after);
    QCOMPARE(canvas()->allObjects().size(), 1 + rows);
    for (int row = 1; row < table()->count(); ++row)
        QVERIFY(object(row) && !object(row)->isHidden());
    // Ids are never reused: the next component continues above the redone ones.
    const int next = canvas()->addComponent(QStringLiteral("图片"));
    QCOMPARE(table()->cellInt(next, T::Id), table()->cellInt(next - 1, T::Id) + 1);
}

void TestDesignHistory::deleteRestoresTheSameComponent()
{
    for (int i = 0; i < 3; ++i)
        canvas()->addComponent(QStringLiteral("图片"));
    const QByteArray picture = makeFramePicture(30, 20, 0x112233, 0x445566);
    QVERIFY(canvas()->setObjectPicture(table()->cell(2, T::Id), picture));
    select(2);
    const QString id = table()->cell(2, T::Id);
    const QRect geometry = object(2)->geometry();
    const auto before = table()->rows();
    const QStringList looks = canvasLooks();

    ContextMenuOperations::remove(window());
    settle();
    QCOMPARE(stack()->undoText(), QStringLiteral("删除图片"));
    QCOMPARE(table()->count(), 3);
    QVERIFY(!canvas()->objectById(id));

    undo();
    settle();
    QCOMPARE(table()->rows(), before);
    QCOMPARE(table()->findRowById(id), 2);
    auto *restored = qobject_cast<PictureObject *>(canvas()->objectById(id));
    QVERIFY(restored);
    QCOMPARE(restored->pictureData(), picture);
    QCOMPARE(restored->geometry(), geometry);
    QVERIFY(!restored->isHidden());
    // It lies where it lay: the press raised it above the last one.
    QCOMPARE(canvasLooks(), looks);

    redo();
    settle();
    QVERIFY(!canvas()->objectById(id));
    QCOMPARE(table()->count(), 3);
}

void TestDesignHistory::dragIsOneStepAndSelectingIsNone()
{
    const int row = canvas()->addComponent(QStringLiteral("图片"));
    select(row);   // fills the position cells: no step of its own
    QCOMPARE(stack()->index(), 1);
    const QRect start = object(row)->geometry();
    const QString left = table()->cell(row, T::Left);

    QWidget *target = object(row);
    dragBy(target, QPoint(35, 15), 5);
    settle();
    QCOMPARE(stack()->index(), 2);
    QCOMPARE(stack()->undoText(), QStringLiteral("移动图片"));
    QCOMPARE(target->geometry(), start.translated(35, 15));

    QVERIFY(undo());
    QCOMPARE(object(row)->geometry(), start);
    QCOMPARE(table()->cell(row, T::Left), left);
    QVERIFY(redo());
    QCOMPARE(object(row)->geometry(), start.translated(35, 15));
    QCOMPARE(table()->cellInt(row, T::Left), left.toInt() + 35);
}

void TestDesignHistory::typingInAGeometryBoxMerges()
{
    const int row = canvas()->addComponent(QStringLiteral("图片"));
    select(row);
    const int steps = stack()->index();
    const int width = object(row)->width();
    window()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window()));
    typeInto("编辑框_宽", QStringLiteral("123"), "编辑框_高");   // leaving applies the width
    QCOMPARE(object(row)->width(), 123);
    QCOMPARE(stack()->index(), steps + 1);
    QCOMPARE(stack()->undoText(), QStringLiteral("修改图片尺寸"));

    QVERIFY(undo());
    QCOMPARE(object(row)->width(), width);
    QCOMPARE(table()->cellInt(row, T::Width), width);
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
    const int row = canvas()->addComponent(QStringLiteral("图片"));
    select(row);
    window()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window()));
    const auto start = table()->rows();
    const int base = stack()->index();
    auto *width = window()->findChild<QLineEdit *>(QStringLiteral("编辑框_宽"));
    auto *height = window()->findChild<QLineEdit *>(QStringLiteral("编辑框_高"));
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
        ContextMenuOperations::lock(window());
    }
    QTest::keyClicks(QApplication::focusWidget(), "3");
    QCOMPARE(stack()->index() - base, steps);
    while (stack()->index() > base)
        undo();
    QCOMPARE(table()->rows(), start);
}

void TestDesignHistory::lockAndCopy()
{
    const int row = canvas()->addComponent(QStringLiteral("文字"));
    select(row);
    ContextMenuOperations::lock(window());
    QCOMPARE(stack()->undoText(), QStringLiteral("锁定文字"));
    QVERIFY(table()->isLocked(row));
    ContextMenuOperations::unlock(window());
    QCOMPARE(stack()->undoText(), QStringLiteral("解锁文字"));
    ContextMenuOperations::copy(window());
    QCOMPARE(stack()->undoText(), QStringLiteral("复制文字"));
    QCOMPARE(table()->count(), 3);

    undo();
    QCOMPARE(table()->count(), 2);
    QCOMPARE(canvas()->textLabels().size(), 1);
    undo();
    QVERIFY(table()->isLocked(row));
    undo();
    QVERIFY(!table()->isLocked(row));
}

void TestDesignHistory::editorSaves()
{
    const int picture = canvas()->addComponent(QStringLiteral("图片"));
    const int text = canvas()->addComponent(QStringLiteral("文字"));
    const auto before = table()->rows();
    auto *label = qobject_cast<QLabel *>(object(text));
    const QString oldText = label->text();
    const QFont oldFont = label->font();

    auto *editor = qobject_cast<EditorWindow *>(EditorRegistry::open(window()->editorHost(), QStringLiteral("文字"), text));
    QVERIFY(editor);
    editor->lineEdit(QStringLiteral("编辑框1"))->setText(QStringLiteral("新的文字"));
    editor->lineEdit(QStringLiteral("编辑框4"))->setText(QStringLiteral("30"));
    editor->save();
    QCOMPARE(label->text(), QStringLiteral("新的文字"));
    QCOMPARE(stack()->undoText(), QStringLiteral("编辑文字"));
    const int steps = stack()->index();

    editor = qobject_cast<EditorWindow *>(EditorRegistry::open(window()->editorHost(), QStringLiteral("图片"), picture));
    editor->lineEdit(QStringLiteral("编辑框2"))->setText(QStringLiteral("https://shop.example/x"));
    editor->save();
    QCOMPARE(stack()->index(), steps + 1);

    undo();
    QCOMPARE(table()->cell(picture, T::Link), before.at(picture).at(T::Link));
    QCOMPARE(label->text(), QStringLiteral("新的文字"));
    undo();
    QCOMPARE(table()->rows(), before);
    QCOMPARE(label->text(), oldText);
    QCOMPARE(label->font(), oldFont);
    redo();
    QCOMPARE(label->text(), QStringLiteral("新的文字"));
    QCOMPARE(label->font().pixelSize(), 30);
}

void TestDesignHistory::carouselSettingsEdit()
{
    const int row = canvas()->addComponent(QStringLiteral("轮播"));
    const int number = CS::numberOf(*table(), row);
    const int steps = stack()->index();
    const auto rows = table()->rows();
    // The carousel's editor writes only its settings file, never the table.
    auto *editor = qobject_cast<EditorWindow *>(EditorRegistry::open(window()->editorHost(), KindTable::nameOf(KindTable::Kind::Carousel), row));
    QVERIFY(editor);
    editor->lineEdit(QStringLiteral("编辑框1"))->setText(QStringLiteral("fade"));
    editor->lineEdit(QStringLiteral("编辑框_图1"))->setText(QStringLiteral("http://127.0.0.1:9/a.jpg"));
    editor->save();
    QCOMPARE(stack()->index(), steps + 1);
    QCOMPARE(table()->rows(), rows);
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
    const int row = canvas()->addComponent(QStringLiteral("图片"));
    select(row);
    const auto before = table()->rows();
    const QImage backgroundBefore = canvas()->surface()->spriteImage(canvas()->backgroundId());
    const int steps = stack()->index();

    window()->openModuleSettings();
    window()->moduleSettingsWindow->findChild<QLineEdit *>(QStringLiteral("编辑框_宽度"))->setText(QStringLiteral("700"));
    QMetaObject::invokeMethod(window()->moduleSettingsWindow, "confirm");
    QTRY_COMPARE(ModuleBackgroundLayer::runningWorkers(), 0);
    settle();
    QCOMPARE(canvas()->backgroundPictureSize().width(), 700);
    QCOMPARE(stack()->index(), steps + 1);
    QCOMPARE(stack()->undoText(), QStringLiteral("背景设置"));

    QVERIFY(undo());
    QCOMPARE(table()->rows(), before);
    QCOMPARE(canvas()->surface()->spriteImage(canvas()->backgroundId()), backgroundBefore);
    // The component keeps its place on the module.
    QCOMPARE(object(row)->pos() - canvas()->backgroundPos(),
             QPoint(table()->cellInt(row, T::Left), table()->cellInt(row, T::Top)));
}

void TestDesignHistory::backgroundArrivingLateFindsItsStep()
{
    const QSize before = canvas()->backgroundPictureSize();
    auto confirmWidth = [this](const char *width) {
        window()->openModuleSettings();
        window()->moduleSettingsWindow->findChild<QLineEdit *>(QStringLiteral("编辑框_宽度"))
            ->setText(QString::fromLatin1(width));
        QMetaObject::invokeMethod(window()->moduleSettingsWindow, "confirm");
    };

    // Undone before its picture came: the picture stays with the confirm's step.
    confirmWidth("700");
    QVERIFY(undo());
    QTRY_COMPARE(ModuleBackgroundLayer::runningWorkers(), 0);
    settle();
    QCOMPARE(canvas()->backgroundPictureSize(), before);
    QCOMPARE(table()->cell(0, T::Width), QStringLiteral("950"));
    QVERIFY(redo());
    QCOMPARE(canvas()->backgroundPictureSize(), QSize(700, 500));
    QCOMPARE(table()->cell(0, T::Width), QStringLiteral("700"));

    // A component added while the picture was on its way: undoing it keeps the new picture.
    confirmWidth("600");
    canvas()->addComponent(QStringLiteral("图片"));
    QTRY_COMPARE(ModuleBackgroundLayer::runningWorkers(), 0);
    settle();
    QCOMPARE(canvas()->backgroundPictureSize(), QSize(600, 500));
    QCOMPARE(stack()->index(), 3);   // the picture arriving is no step
    QVERIFY(undo());
    QCOMPARE(table()->count(), 1);
    QCOMPARE(canvas()->backgroundPictureSize(), QSize(600, 500));
    QVERIFY(undo());
    QCOMPARE(canvas()->backgroundPictureSize(), QSize(700, 500));
}

void TestDesignHistory::newChangeDropsRedo()
{
    canvas()->addComponent(QStringLiteral("图片"));
    undo();
    QVERIFY(stack()->canRedo());
    canvas()->addComponent(QStringLiteral("收藏"));
    QVERIFY(!stack()->canRedo());
    QCOMPARE(stack()->index(), 1);
    // A preview picture arriving is no change of its own.
    canvas()->setObjectPicture(table()->cell(1, T::Id), makeFramePicture(5, 5, 0x1, 0x1));
    settle();
    QCOMPARE(stack()->index(), 1);
    QVERIFY(!redo());
}

QTEST_MAIN(TestDesignHistory)
#include "tst_design_history.moc"
