#include "canvas/canvas_surface.h"
#include "canvas/context_menu_operations.h"
#include "canvas/design_canvas.h"
#include "canvas/design_history.h"
#include "canvas/frame_picture.h"
#include "canvas/main_window.h"
#include "canvas/module_background_layer.h"
#include "canvas/picture_object.h"
#include "components/carousel_settings.h"
#include "components/component_creation.h"
#include "components/editor_registry.h"
#include "components/editor_window.h"
#include "components/preview_download.h"
#include "model/component_table.h"
#include "support/test_support.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>

using namespace Plumbrook;
using T = ComponentTable;

namespace {

// The canvas follows the pointer's global position, which stays put while the object moves.
void sendMouse(QWidget *widget, QEvent::Type type, const QPoint &global, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(widget->mapFromGlobal(global)), QPointF(global), button, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

// The end of the event-loop turn, where a step is recorded.
void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
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
    void lockAndCopy();
    void editorSaves();
    void carouselSettingsEdit();
    void moduleSettingsAndWorkerAreOneStep();
    void backgroundArrivingLateFindsItsStep();
    void newChangeDropsRedo();

private:
    QWidget *object(int row) const;
    void select(int row);

    Test::TemporaryProgramDir *mDir = nullptr;
    MainWindow *mWindow = nullptr;
    DesignCanvas *mCanvas = nullptr;
    ComponentTable *mTable = nullptr;
    DesignHistory *mHistory = nullptr;
};

void TestDesignHistory::init()
{
    mDir = new Test::TemporaryProgramDir;
    mWindow = new MainWindow;
    mWindow->show();
    QVERIFY(QTest::qWaitForWindowExposed(mWindow));
    mCanvas = mWindow->canvas();
    mTable = mWindow->table();
    mHistory = mWindow->history();
    mCanvas->setBackgroundPicture(makeFramePicture(950, 500, 0x8445952, 0x8445952));
    mCanvas->centreBackground(950);
    settle();
    mHistory->reset();
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
    settle();
    const auto before = mTable->rows();
    ComponentCreation::create(mCanvas, kind);
    settle();
    const auto after = mTable->rows();
    QCOMPARE(mHistory->undoCount(), 2);
    QCOMPARE(mCanvas->allObjects().size(), 1 + rows);

    QVERIFY(mHistory->undo());
    settle();
    QCOMPARE(mTable->rows(), before);
    QCOMPARE(mCanvas->allObjects().size(), 1);

    QVERIFY(mHistory->redo());
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
    settle();
    select(2);
    const QString id = mTable->cell(2, T::Id);
    const QRect geometry = object(2)->geometry();
    const auto before = mTable->rows();

    ContextMenuOperations::remove(mWindow);
    settle();
    QCOMPARE(mTable->count(), 3);
    QVERIFY(!mCanvas->objectById(id));

    mHistory->undo();
    settle();
    QCOMPARE(mTable->rows(), before);
    QCOMPARE(mTable->findRowById(id), 2);
    auto *restored = qobject_cast<PictureObject *>(mCanvas->objectById(id));
    QVERIFY(restored);
    QCOMPARE(restored->pictureData(), picture);
    QCOMPARE(restored->geometry(), geometry);
    QVERIFY(!restored->isHidden());
    // Stacking follows the rows: the restored middle one lies below the last one.
    const QObjectList siblings = restored->parentWidget()->children();
    QVERIFY(siblings.indexOf(restored) < siblings.indexOf(object(3)));

    mHistory->redo();
    settle();
    QVERIFY(!mCanvas->objectById(id));
    QCOMPARE(mTable->count(), 3);
}

void TestDesignHistory::dragIsOneStepAndSelectingIsNone()
{
    const int row = ComponentCreation::create(mCanvas, QStringLiteral("图片"));
    settle();
    select(row);   // fills the position cells: no step of its own
    QCOMPARE(mHistory->undoCount(), 1);
    const QRect start = object(row)->geometry();
    const QString left = mTable->cell(row, T::Left);

    QWidget *target = object(row);
    const QPoint press = target->mapToGlobal(QPoint(10, 10));
    sendMouse(target, QEvent::MouseButtonPress, press, Qt::LeftButton, Qt::LeftButton);
    for (int step = 1; step <= 5; ++step) {
        sendMouse(target, QEvent::MouseMove, press + QPoint(7 * step, 3 * step), Qt::NoButton,
                  Qt::LeftButton);
        settle();
    }
    sendMouse(target, QEvent::MouseButtonRelease, press + QPoint(35, 15), Qt::LeftButton, Qt::NoButton);
    settle();
    QCOMPARE(mHistory->undoCount(), 2);
    QCOMPARE(target->geometry(), start.translated(35, 15));

    QVERIFY(mHistory->undo());
    QCOMPARE(object(row)->geometry(), start);
    QCOMPARE(mTable->cell(row, T::Left), left);
    QVERIFY(mHistory->redo());
    QCOMPARE(object(row)->geometry(), start.translated(35, 15));
    QCOMPARE(mTable->cellInt(row, T::Left), left.toInt() + 35);
}

void TestDesignHistory::typingInAGeometryBoxMerges()
{
    const int row = ComponentCreation::create(mCanvas, QStringLiteral("图片"));
    settle();
    select(row);
    const int steps = mHistory->undoCount();
    const int width = object(row)->width();
    auto *box = mWindow->findChild<QLineEdit *>(QStringLiteral("编辑框_宽"));
    auto *other = mWindow->findChild<QLineEdit *>(QStringLiteral("编辑框_高"));
    mWindow->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(mWindow));
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    settle();
    for (const char c : {'1', '2', '3'}) {
        QTest::keyClick(box, c);
        settle();
    }
    other->setFocus();   // leaving the box applies the width to the object
    settle();
    QCOMPARE(object(row)->width(), 123);
    QCOMPARE(mHistory->undoCount(), steps + 1);

    QVERIFY(mHistory->undo());
    QCOMPARE(object(row)->width(), width);
    QCOMPARE(mTable->cellInt(row, T::Width), width);
}

void TestDesignHistory::lockAndCopy()
{
    const int row = ComponentCreation::create(mCanvas, QStringLiteral("文字"));
    settle();
    select(row);
    ContextMenuOperations::lock(mWindow);
    settle();
    QVERIFY(mTable->isLocked(row));
    ContextMenuOperations::unlock(mWindow);
    settle();
    ContextMenuOperations::copy(mWindow);
    settle();
    QCOMPARE(mTable->count(), 3);

    mHistory->undo();
    QCOMPARE(mTable->count(), 2);
    QCOMPARE(mCanvas->textLabels().size(), 1);
    mHistory->undo();
    QVERIFY(mTable->isLocked(row));
    mHistory->undo();
    QVERIFY(!mTable->isLocked(row));
}

void TestDesignHistory::editorSaves()
{
    const int picture = ComponentCreation::create(mCanvas, QStringLiteral("图片"));
    const int text = ComponentCreation::create(mCanvas, QStringLiteral("文字"));
    settle();
    const auto before = mTable->rows();
    auto *label = qobject_cast<QLabel *>(object(text));
    const QString oldText = label->text();
    const QFont oldFont = label->font();

    auto *editor = qobject_cast<EditorWindow *>(EditorRegistry::open(mWindow, QStringLiteral("文字"), text));
    QVERIFY(editor);
    editor->lineEdit(QStringLiteral("编辑框1"))->setText(QStringLiteral("新的文字"));
    editor->lineEdit(QStringLiteral("编辑框4"))->setText(QStringLiteral("30"));
    editor->save();
    settle();
    QCOMPARE(label->text(), QStringLiteral("新的文字"));
    const int steps = mHistory->undoCount();

    editor = qobject_cast<EditorWindow *>(EditorRegistry::open(mWindow, QStringLiteral("图片"), picture));
    editor->lineEdit(QStringLiteral("编辑框2"))->setText(QStringLiteral("https://shop.example/x"));
    editor->save();
    settle();
    QCOMPARE(mHistory->undoCount(), steps + 1);

    mHistory->undo();
    QCOMPARE(mTable->cell(picture, T::Link), before.at(picture).at(T::Link));
    QCOMPARE(label->text(), QStringLiteral("新的文字"));
    mHistory->undo();
    QCOMPARE(mTable->rows(), before);
    QCOMPARE(label->text(), oldText);
    QCOMPARE(label->font(), oldFont);
}

void TestDesignHistory::carouselSettingsEdit()
{
    const int row = ComponentCreation::create(mCanvas, QStringLiteral("轮播"));
    settle();
    const int number = CarouselSettings::numberOf(*mTable, row);
    const int steps = mHistory->undoCount();
    // The carousel's editor writes only its settings file, never the table.
    CarouselSettings::write(number, CarouselSettings::kTransitionCode, QStringLiteral("fade"));
    CarouselSettings::write(number, CarouselSettings::pictureKey(1), QStringLiteral("http://127.0.0.1:9/a.jpg"));
    settle();
    QCOMPARE(mHistory->undoCount(), steps + 1);

    mHistory->undo();
    QCOMPARE(CarouselSettings::read(number, CarouselSettings::kTransitionCode), QStringLiteral("none"));
    QCOMPARE(CarouselSettings::read(number, CarouselSettings::pictureKey(1)), CarouselSettings::kSamplePictureA);
    mHistory->redo();
    QCOMPARE(CarouselSettings::read(number, CarouselSettings::kTransitionCode), QStringLiteral("fade"));
}

void TestDesignHistory::moduleSettingsAndWorkerAreOneStep()
{
    const int row = ComponentCreation::create(mCanvas, QStringLiteral("图片"));
    settle();
    select(row);
    const auto before = mTable->rows();
    const QImage backgroundBefore = mCanvas->surface()->spriteImage(mCanvas->backgroundId());
    const int steps = mHistory->undoCount();

    mWindow->openModuleSettings();
    mWindow->moduleSettingsWindow->findChild<QLineEdit *>(QStringLiteral("编辑框_宽度"))->setText(QStringLiteral("700"));
    QMetaObject::invokeMethod(mWindow->moduleSettingsWindow, "confirm");
    QTRY_COMPARE(ModuleBackgroundLayer::runningWorkers(), 0);
    settle();
    QCOMPARE(mCanvas->backgroundPictureSize().width(), 700);
    QCOMPARE(mHistory->undoCount(), steps + 1);

    QVERIFY(mHistory->undo());
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
    QVERIFY(mHistory->undo());
    QTRY_COMPARE(ModuleBackgroundLayer::runningWorkers(), 0);
    settle();
    QCOMPARE(mCanvas->backgroundPictureSize(), before);
    QCOMPARE(mTable->cell(0, T::Width), QStringLiteral("950"));
    QVERIFY(mHistory->redo());
    QCOMPARE(mCanvas->backgroundPictureSize(), QSize(700, 500));
    QCOMPARE(mTable->cell(0, T::Width), QStringLiteral("700"));

    // A component added while the picture was on its way: undoing it keeps the new picture.
    // (Recorded at once, as at the end of each turn, before the worker's picture is delivered.)
    confirmWidth("600");
    mHistory->commitPending();
    ComponentCreation::create(mCanvas, QStringLiteral("图片"));
    mHistory->commitPending();
    QTRY_COMPARE(ModuleBackgroundLayer::runningWorkers(), 0);
    settle();
    QCOMPARE(mCanvas->backgroundPictureSize(), QSize(600, 500));
    QVERIFY(mHistory->undo());
    QCOMPARE(mTable->count(), 1);
    QCOMPARE(mCanvas->backgroundPictureSize(), QSize(600, 500));
    QVERIFY(mHistory->undo());
    QCOMPARE(mCanvas->backgroundPictureSize(), QSize(700, 500));
}

void TestDesignHistory::newChangeDropsRedo()
{
    ComponentCreation::create(mCanvas, QStringLiteral("图片"));
    settle();
    mHistory->undo();
    QVERIFY(mHistory->canRedo());
    // A preview picture arriving is no change of its own.
    ComponentCreation::create(mCanvas, QStringLiteral("收藏"));
    settle();
    QVERIFY(!mHistory->canRedo());
    QCOMPARE(mHistory->undoCount(), 1);
    mCanvas->setObjectPicture(mTable->cell(1, T::Id), makeFramePicture(5, 5, 0x1, 0x1));
    settle();
    QCOMPARE(mHistory->undoCount(), 1);
    QVERIFY(!mHistory->redo());
}

QTEST_MAIN(TestDesignHistory)
#include "tst_design_history.moc"
