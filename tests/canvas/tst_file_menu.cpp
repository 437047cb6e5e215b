// The 文件 button and menu: saving and opening every kind, bad files, the previews of an
// opened design, the file dialog, recent files and the undo shortcuts.
#include "canvas/design_loader.h"
#include "canvas/code_import_window.h"
#include "canvas/design_canvas.h"
#include "canvas/file_menu.h"
#include "model/frame_picture.h"
#include "canvas/main_window.h"
#include "canvas/module_background_layer.h"
#include "canvas/picture_object.h"
#include "canvas/preview_download.h"
#include "components/component_creation.h"
#include "components/editor_registry.h"
#include "model/program_dir.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/design_file.h"
#include "support/canvas_driving.h"
#include "support/editor_driving.h"
#include "support/file_menu_fixture.h"
#include "support/test_support.h"

#include <QAction>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QUndoStack>

#include <atomic>

using namespace Plumbrook;
using T = ComponentTable;
using Test::contents;
using Test::fakeFetch;

class TestFileMenu : public QObject, public Test::FileMenuFixture
{
    Q_OBJECT

private slots:
    void init() { open(); }
    void cleanup() { close(); }

    void buttonAndMenu();
    void roundTripWithEveryKind_data();
    void roundTripWithEveryKind();
    void badFileChangesNothing();
    void openPlacesComponentsOnTheOpenedModule_data();
    void openPlacesComponentsOnTheOpenedModule();
    void previewOfTheOldDesignIsDropped();
    void previewsComeAFewAtATime();
    void saveAsksForANameOnce();
    void saveAfterPuttingInADesign_data();
    void saveAfterPuttingInADesign();
    void recentFilesKeepEight();
    void shortcutsUndoAndRedo();
};

void TestFileMenu::buttonAndMenu()
{
    auto *button = mWindow->findChild<QPushButton *>(QStringLiteral("超级按钮_文件"));
    QVERIFY(button);
    QCOMPARE(button->geometry(), QRect(160, 0, 79, 32));
    QCOMPARE(button->text(), QStringLiteral("文件"));
    QStringList texts;
    for (QAction *action : mMenu->menu()->actions())
        texts.append(action->text());
    QCOMPARE(texts, (QStringList{"新建", "打开…", "导入代码…", "保存", "另存为…", "最近打开", "恢复自动保存", "撤销", "重做"}));
    // The undo and redo entries name the step they would undo or redo.
    mWindow->canvas()->addComponent(QStringLiteral("图片"));
    QAction *undoEntry = mMenu->menu()->actions().at(7);
    QCOMPARE(undoEntry->text(), QStringLiteral("撤销 添加图片"));
    QVERIFY(undoEntry->isEnabled());
    QCOMPARE(undoEntry->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
    undoEntry->trigger();
    QCOMPARE(mWindow->table()->count(), 1);
    QCOMPARE(mMenu->menu()->actions().at(8)->text(), QStringLiteral("重做 添加图片"));
    QVERIFY(!undoEntry->isEnabled());
    QCOMPARE(mMenu->menu()->objectName(), QStringLiteral("文件"));
}

void TestFileMenu::roundTripWithEveryKind_data()
{
    // Folder and file names no ANSI code page but China's can spell, as a user's often are.
    QTest::addColumn<QString>("programFolder");
    QTest::addColumn<QString>("fileName");
    QTest::newRow("plain names") << "" << "every kind.plbd";
    QTest::newRow("Chinese names") << "程序 文件夹/设计器" << "店铺首页 设计.plbd";
}

void TestFileMenu::roundTripWithEveryKind()
{
    QFETCH(QString, programFolder);
    QFETCH(QString, fileName);
    const QString programDir = QDir(mDesigner->dirPath()).filePath(programFolder);
    QVERIFY(QDir().mkpath(programDir));
    ProgramDir::setOverride(programDir);
    buildDesign();
    ComponentTable *table = mWindow->table();
    const QVector<QStringList> rows = table->rows();
    const DesignFile::Design before = DesignFile::fromTable(*table);
    const QString code = Test::generated(*table);
    const QString folder = mFiles->filePath(programFolder);
    QVERIFY(QDir().mkpath(folder));
    const QString path = QDir(folder).filePath(fileName);
    QVERIFY(Test::saveAndWait(mMenu, path));
    QCOMPARE(mWindow->statusText(), QStringLiteral("已保存：") + fileName);

    mMenu->newDesign();
    Test::settle();
    QCOMPARE(table->count(), 1);
    QVERIFY(mWindow->canvas()->allObjects().isEmpty());
    // Opening writes the carousels' settings files again from the design itself.
    const QString settingsDir = QDir(programDir).filePath(QStringLiteral("data/code"));
    QVERIFY(QDir(settingsDir).removeRecursively());

    QVERIFY(mMenu->openFile(path));
    QCOMPARE(mWindow->statusText(), QStringLiteral("已打开：") + fileName);
    QCOMPARE(table->rows(), rows);
    mMenu->finishWrites();
    QVERIFY(!QDir(settingsDir).entryList({QStringLiteral("Carousel*.ini")}, QDir::Files).isEmpty());
    QCOMPARE(DesignFile::fromTable(*table).carousels, before.carousels);
    QCOMPARE(Test::generated(*table), code);
    QVERIFY(!mWindow->document()->undoStack()->canUndo());

    DesignCanvas *canvas = mWindow->canvas();
    QCOMPARE(canvas->allObjects().size(), rows.size() - 1);
    for (int row = 1; row < rows.size(); ++row) {
        QWidget *object = canvas->objectById(rows.at(row).at(T::Id));
        QVERIFY(object);
        if (!rows.at(row).at(T::Left).isEmpty())
            QCOMPARE(object->pos() - canvas->backgroundPos(),
                     QPoint(rows.at(row).at(T::Left).toInt(), rows.at(row).at(T::Top).toInt()));
    }
    // Previews arrive off the user-interface thread; the others keep their built-in picture.
    int image = 1;
    while (table->cell(image, T::Kind) != QStringLiteral("图片"))
        ++image;
    auto *picture = canvas->pictureById(table->cell(image, T::Id));
    QTRY_COMPARE(picture->image().width(), int(table->cell(image, T::Picture).size()));
    QVERIFY(canvas->pictureById(table->cell(1, T::Id))->hasPicture());
    // The text label takes its look from its row, the arrows their visibility from the settings.
    const QLabel *label = canvas->textLabels().value(0);
    QCOMPARE(label->text(), QStringLiteral("你好"));
    QCOMPARE(label->font().pixelSize(), 20);
    for (int row = 1; row < table->count(); ++row) {
        if (table->cell(row, T::Kind).startsWith(QStringLiteral("左箭头")))
            QVERIFY(canvas->objectById(table->cell(row, T::Id))->isHidden());
    }
    // The module background is drawn again from the module record.
    QTRY_COMPARE(canvas->backgroundPictureSize(), QSize(800, 500));
    // A preview arriving is no step of its own.
    QTRY_COMPARE(PreviewDownload::pending(), 0);
    Test::settle();
    QVERIFY(!mWindow->document()->undoStack()->canUndo());

    // New components continue above the highest id of the file.
    const int added = canvas->addComponent(QStringLiteral("图片"));
    QCOMPARE(table->cellInt(added, T::Id), DesignFile::highestId(rows) + 1);
}

void TestFileMenu::openPlacesComponentsOnTheOpenedModule_data()
{
    QTest::addColumn<bool>("rightAfterStart");
    QTest::addColumn<int>("moduleWidth");
    QTest::addColumn<int>("backgroundLeft");   // where the opened module's background stands
    QTest::newRow("right after start") << true << 950 << 23;
    QTest::newRow("750 wide over 950") << false << 750 << 123;
    QTest::newRow("1200 wide over 950") << false << 1200 << 5;
}

void TestFileMenu::openPlacesComponentsOnTheOpenedModule()
{
    QFETCH(bool, rightAfterStart);
    QFETCH(int, moduleWidth);
    QFETCH(int, backgroundLeft);
    if (rightAfterStart)
        reopen(false);
    MainWindow *window = mWindow;

    DesignFile::Design design;
    QStringList module = ComponentTable::initialModuleRecord();
    module[T::Width] = QString::number(moduleWidth);
    module[T::Height] = QStringLiteral("300");
    QStringList image(T::ColumnCount), text(T::ColumnCount);
    image[T::Id] = QStringLiteral("2");
    image[T::Kind] = QStringLiteral("图片");
    text[T::Id] = QStringLiteral("3");
    text[T::Kind] = QStringLiteral("文字");
    const QList<QPair<QStringList *, QRect>> placed = {{&image, QRect(100, 40, 180, 220)},
                                                       {&text, QRect(30, 260, 160, 24)}};
    for (const auto &[cells, frame] : placed) {
        (*cells)[T::Left] = QString::number(frame.x());
        (*cells)[T::Top] = QString::number(frame.y());
        (*cells)[T::Width] = QString::number(frame.width());
        (*cells)[T::Height] = QString::number(frame.height());
    }
    design.rows = {module, image, text};
    const QString path = mFiles->filePath(QStringLiteral("placed.plbd"));
    QVERIFY(DesignFile::writeFile(path, design));

    mChosen = {path};
    for (QAction *action : window->fileMenu()->menu()->actions()) {
        if (action->text() == QStringLiteral("打开…"))
            action->trigger();
    }
    QTRY_COMPARE(ModuleBackgroundLayer::runningWorkers(), 0);
    Test::settle();

    DesignCanvas *canvas = window->canvas();
    QCOMPARE(canvas->backgroundPictureSize().width(), moduleWidth);
    QCOMPARE(canvas->backgroundPos(), QPoint(backgroundLeft, 5));
    for (const auto &[cells, frame] : placed) {
        QWidget *object = canvas->objectById(cells->at(T::Id));
        QVERIFY(object);
        QCOMPARE(object->pos() - canvas->backgroundPos(), frame.topLeft());
        // The first press writes back where the object stands: the cells stay as opened.
        QTest::mouseClick(object, Qt::LeftButton, {}, QPoint(1, 1));
        const int row = window->table()->findRowById(cells->at(T::Id));
        QCOMPARE(window->table()->cell(row, T::Left), cells->at(T::Left));
        QCOMPARE(window->table()->cell(row, T::Top), cells->at(T::Top));
    }
    if (rightAfterStart) {
        EditorRegistry::closeAll();
        QTRY_COMPARE(PreviewDownload::pending(), 0);
    }
}

void TestFileMenu::badFileChangesNothing()
{
    mWindow->canvas()->addComponent(QStringLiteral("图片"));
    Test::settle();
    const auto rows = mWindow->table()->rows();
    const QString path = mFiles->filePath(QStringLiteral("bad.plbd"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(R"({"format": "plumbrook-design", "version": 1, "rows": [{"标识": "1"}], "carousels": {"1": {}, "01": {}}})");
    file.close();

    QVERIFY(!mMenu->openFile(path));
    QVERIFY(mWindow->statusText().startsWith(QStringLiteral("文件无法读取：")));
    QCOMPARE(mWindow->table()->rows(), rows);
    QCOMPARE(mWindow->canvas()->allObjects().size(), 1);
    QVERIFY(mWindow->document()->undoStack()->canUndo());

    QVERIFY(!mMenu->openFile(mFiles->filePath(QStringLiteral("missing.plbd"))));
    QVERIFY(mWindow->statusText().startsWith(QStringLiteral("文件无法读取：")));
    QVERIFY(mMenu->recentFiles().isEmpty());
}

void TestFileMenu::previewOfTheOldDesignIsDropped()
{
    const int row = mWindow->canvas()->addComponent(QStringLiteral("视频"));
    const QString id = mWindow->table()->cell(row, T::Id);
    const QString path = mFiles->filePath(QStringLiteral("video.plbd"));
    QVERIFY(Test::saveAndWait(mMenu, path));
    // A download the old design started for the same id is still on its way.
    PreviewDownload::start(mWindow->canvas(), id, QStringLiteral("http://127.0.0.1:9/old.png"),
                           [](const QString &) {
                               QThread::msleep(200);
                               return makeFramePicture(3, 3, 0x1, 0x1);
                           });
    QVERIFY(mMenu->openFile(path));
    QTRY_COMPARE(PreviewDownload::pending(), 0);
    Test::settle();
    QCOMPARE(mWindow->canvas()->pictureById(id)->pictureData(), DesignLoader::builtinPictureOf(QStringLiteral("视频")));
}

void TestFileMenu::previewsComeAFewAtATime()
{
    for (int i = 0; i < 20; ++i)
        mWindow->canvas()->addComponent(QStringLiteral("图片"));
    const QString path = mFiles->filePath(QStringLiteral("many.plbd"));
    QVERIFY(Test::saveAndWait(mMenu, path));
    static std::atomic<int> running{0};
    static std::atomic<int> most{0};
    static std::atomic<bool> alone{false};
    mMenu->setPreviewFetch([](const QString &url) {
        const int now = ++running;
        int seen = most.load();
        while (now > seen && !most.compare_exchange_weak(seen, now)) {}
        // Held until a second one runs beside it, however slowly the machine starts them;
        // a pool that runs one at a time makes only the first wait, and fails below.
        QDeadlineTimer deadline(5000);
        while (most.load() < 2 && !alone.load() && !deadline.hasExpired())
            QThread::msleep(1);
        if (most.load() < 2)
            alone = true;
        // Long enough for more to pile up if the pool let more than six run.
        QThread::msleep(30);
        --running;
        return fakeFetch(url);
    });
    QVERIFY(mMenu->openFile(path));
    QTRY_COMPARE(PreviewDownload::pending(), 0);
    QVERIFY(most.load() >= 2);
    QVERIFY2(most.load() <= 6, qPrintable(QString::number(most.load())));
    for (QWidget *object : mWindow->canvas()->allObjects())
        QCOMPARE(qobject_cast<PictureObject *>(object)->image().height(), 7);
}

void TestFileMenu::saveAsksForANameOnce()
{
    mChosen = {QString()};
    QVERIFY(!mMenu->save());   // a cancelled dialog saves nothing
    const QString path = mFiles->filePath(QStringLiteral("named"));
    mChosen = {path};
    QVERIFY(mMenu->save());
    mMenu->finishWrites();
    QCOMPARE(mMenu->currentPath(), path + QStringLiteral(".plbd"));
    QVERIFY(!mWindow->document()->isModified());
    mWindow->canvas()->addComponent(QStringLiteral("文字"));
    QVERIFY(mWindow->document()->isModified());
    QVERIFY(mMenu->save());   // no dialog this time: mChosen is empty
    mMenu->finishWrites();
    QVERIFY(!mWindow->document()->isModified());
    const auto design = DesignFile::readFile(path + QStringLiteral(".plbd"));
    QVERIFY(design);
    QCOMPARE(design->rows, mWindow->table()->rows());
}

void TestFileMenu::saveAfterPuttingInADesign_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("asksForAName");
    // An imported design came from code, not from the file saved before it.
    QTest::newRow("导入代码") << QStringLiteral("import") << true;
    QTest::newRow("新建") << QStringLiteral("new") << true;
    QTest::newRow("打开") << QStringLiteral("open") << false;
}

void TestFileMenu::saveAfterPuttingInADesign()
{
    QFETCH(QString, how);
    QFETCH(bool, asksForAName);
    mWindow->canvas()->addComponent(QStringLiteral("图片"));
    Test::settle();
    const QString first = mFiles->filePath(QStringLiteral("first.plbd"));
    QVERIFY(Test::saveAndWait(mMenu, first));
    QCOMPARE(mMenu->currentPath(), first);

    if (how == QLatin1String("import")) {
        const QString code = Test::generated(*mWindow->table());
        for (QAction *action : mMenu->menu()->actions()) {
            if (action->text() == QStringLiteral("导入代码…"))
                action->trigger();
        }
        QPointer<CodeImportWindow> import = mWindow->findChild<CodeImportWindow *>();
        QVERIFY(import);
        import->setCode(code);
        QTest::mouseClick(import->findChild<QPushButton *>(QStringLiteral("超级按钮2")), Qt::LeftButton);
        QTRY_VERIFY(!import);
        QCOMPARE(mWindow->document()->undoStack()->undoText(), QStringLiteral("导入代码"));
    } else if (how == QLatin1String("new")) {
        mMenu->newDesign();
    } else {
        QVERIFY(mMenu->openFile(first));
    }
    mWindow->canvas()->addComponent(QStringLiteral("文字"));
    Test::settle();
    const QByteArray firstBefore = contents(first);

    const QString second = mFiles->filePath(QStringLiteral("second"));
    mChosen = {second};
    mWindow->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(mWindow));
    QTest::keyClick(mWindow, Qt::Key_S, Qt::ControlModifier);
    mMenu->finishWrites();
    QCOMPARE(mChosen.isEmpty(), asksForAName);
    const QString written = asksForAName ? second + QStringLiteral(".plbd") : first;
    QCOMPARE(mMenu->currentPath(), written);
    QVERIFY(!mWindow->document()->isModified());
    const auto design = DesignFile::readFile(written);
    QVERIFY(design);
    QCOMPARE(design->rows, mWindow->table()->rows());
    if (asksForAName)
        QCOMPARE(contents(first), firstBefore);
}

void TestFileMenu::recentFilesKeepEight()
{
    QStringList saved;
    for (int i = 0; i < 9; ++i) {
        saved.prepend(mFiles->filePath(QStringLiteral("d%1.plbd").arg(i)));
        QVERIFY(Test::saveAndWait(mMenu, saved.first()));
    }
    QVERIFY(mMenu->openFile(saved.at(5)));
    QStringList expected = saved.mid(0, 8);
    expected.move(5, 0);
    QCOMPARE(mMenu->recentFiles(), expected);

    QMenu *recent = mMenu->menu()->findChild<QMenu *>(QStringLiteral("最近打开"));
    QVERIFY(recent);
    emit recent->aboutToShow();
    QCOMPARE(recent->actions().size(), 8);
    recent->actions().at(3)->trigger();
    QCOMPARE(mMenu->currentPath(), expected.at(3));
}

void TestFileMenu::shortcutsUndoAndRedo()
{
    mWindow->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(mWindow));
    mWindow->canvas()->addComponent(QStringLiteral("图片"));
    Test::settle();
    QTest::keyClick(mWindow, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(mWindow->statusText(), QStringLiteral("已撤销"));
    QCOMPARE(mWindow->table()->count(), 1);
    QTest::keyClick(mWindow, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(mWindow->statusText(), QStringLiteral("没有可撤销的操作"));
    QTest::keyClick(mWindow, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(mWindow->statusText(), QStringLiteral("已重做"));
    QCOMPARE(mWindow->table()->count(), 2);
    mWindow->document()->undoStack()->undo();
    QTest::keyClick(mWindow, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(mWindow->table()->count(), 2);

    QTest::keyClick(mWindow, Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(mWindow->statusText(), QStringLiteral("已新建设计"));
    QCOMPARE(mWindow->table()->rows(), QVector<QStringList>{T::initialModuleRecord()});
    QVERIFY(!mWindow->document()->undoStack()->canUndo());
}

QTEST_MAIN(TestFileMenu)
#include "tst_file_menu.moc"
