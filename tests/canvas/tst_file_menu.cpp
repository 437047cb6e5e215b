#include "canvas/design_canvas.h"
#include "canvas/design_loader.h"
#include "canvas/file_menu.h"
#include "canvas/frame_picture.h"
#include "canvas/main_window.h"
#include "canvas/module_background_layer.h"
#include "canvas/picture_object.h"
#include "codegen/module_generator.h"
#include "components/carousel_settings.h"
#include "components/component_creation.h"
#include "components/creation_defaults.h"
#include "components/editor_registry.h"
#include "components/program_dir.h"
#include "components/preview_download.h"
#include "model/component_table.h"
#include "model/background_work.h"
#include "model/design_document.h"
#include "model/kind_table.h"
#include "model/design_file.h"
#include "support/test_support.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QUndoStack>

#include <atomic>

using namespace Plumbrook;
using T = ComponentTable;

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every preview comes from here: a picture whose size tells the URL's length.
QByteArray fakeFetch(const QString &url)
{
    return makeFramePicture(int(url.size()), 7, 0x102030, 0x102030);
}

} // namespace

class TestFileMenu : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void buttonAndMenu();
    void roundTripWithEveryKind_data();
    void roundTripWithEveryKind();
    void badFileChangesNothing();
    void openPlacesComponentsOnTheOpenedModule_data();
    void openPlacesComponentsOnTheOpenedModule();
    void previewOfTheOldDesignIsDropped();
    void previewsComeAFewAtATime();
    void failedSaveKeepsTheOldFile();
    void writesLeaveTheUserInterfaceFree_data();
    void writesLeaveTheUserInterfaceFree();
    void queuedSavesLandInOrder();
    void openingWaitsForItsFileToBeWritten();
    void saveAsksForANameOnce();
    void recentFilesKeepEight();
    void shortcutsUndoAndRedo();
    void autosaveAndRecoveryAfterACrash();

private:
    MainWindow *newWindow(bool centred = true);
    void buildDesign();

    Test::TemporaryProgramDir *mProgramDir = nullptr;
    QTemporaryDir *mData = nullptr;
    QTemporaryDir *mFiles = nullptr;
    MainWindow *mWindow = nullptr;
    FileMenu *mMenu = nullptr;
    QStringList mChosen;   // answers of the file dialog, first first
};

void TestFileMenu::init()
{
    mProgramDir = new Test::TemporaryProgramDir;
    mData = new QTemporaryDir;
    mFiles = new QTemporaryDir;
    mChosen.clear();
    mWindow = newWindow();
    mMenu = mWindow->fileMenu();
}

void TestFileMenu::cleanup()
{
    EditorRegistry::closeAll();
    QTRY_COMPARE(ModuleBackgroundLayer::runningWorkers(), 0);
    QTRY_COMPARE(PreviewDownload::pending(), 0);
    delete mWindow;
    delete mFiles;
    delete mData;
    delete mProgramDir;
}

MainWindow *TestFileMenu::newWindow(bool centred)
{
    auto *window = new MainWindow;
    window->fileMenu()->setDataDir(mData->path());
    window->fileMenu()->setPreviewFetch(&fakeFetch);
    window->fileMenu()->setChooser([this](bool, const QString &) {
        return mChosen.isEmpty() ? QString() : mChosen.takeFirst();
    });
    window->show();
    if (!QTest::qWaitForWindowExposed(window))
        qWarning("window not exposed");
    if (centred) {
        window->canvas()->setBackgroundPicture(makeFramePicture(950, 500, 0x8445952, 0x8445952));
        window->canvas()->centreBackground(950);
    }
    return window;
}

void TestFileMenu::buildDesign()
{
    DesignCanvas *canvas = mWindow->canvas();
    for (const KindTable::KindInfo &kind : KindTable::all())
        ComponentCreation::create(canvas, kind.name);
    ComponentTable *table = mWindow->table();
    // Placed, edited and moved components beside never-selected ones.
    for (int row = 1; row < table->count(); row += 2) {
        QTest::mouseClick(canvas->objectById(table->cell(row, T::Id)), Qt::LeftButton, {}, QPoint(1, 1));
        QWidget *object = canvas->objectById(table->cell(row, T::Id));
        object->move(object->pos() + QPoint(row * 3, row));
        canvas->refreshSelectionDisplay(object);
    }
    table->setCell(1, T::Link, QStringLiteral("https://shop.example/热点"));
    table->setCell(0, T::BgCode, QStringLiteral("1"));
    table->setCell(0, T::Width, QStringLiteral("800"));
    int text = 1;
    while (table->cell(text, T::Kind) != QStringLiteral("文字"))
        ++text;
    table->setCell(text, T::Picture, QStringLiteral("你好"));
    table->setCell(text, T::Other1, QStringLiteral("20"));
    int carousel = 1;
    while (table->cell(carousel, T::Kind) != QStringLiteral("轮播"))
        ++carousel;
    CarouselSettings::write(CarouselSettings::numberOf(*table, carousel),
                            {{CarouselSettings::kEasingCode, QStringLiteral("bounceIn")},
                             {CarouselSettings::kShowArrows, QStringLiteral("1")}});
    Test::settle();
}

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
    ComponentCreation::create(mWindow->canvas(), QStringLiteral("图片"));
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
    const QString programDir = QDir(mProgramDir->path()).filePath(programFolder);
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
    const int added = ComponentCreation::create(canvas, QStringLiteral("图片"));
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
    std::unique_ptr<MainWindow> fresh(rightAfterStart ? newWindow(false) : nullptr);
    MainWindow *window = rightAfterStart ? fresh.get() : mWindow;

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
    if (fresh) {
        EditorRegistry::closeAll();
        QTRY_COMPARE(PreviewDownload::pending(), 0);
    }
}

void TestFileMenu::badFileChangesNothing()
{
    ComponentCreation::create(mWindow->canvas(), QStringLiteral("图片"));
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
    const int row = ComponentCreation::create(mWindow->canvas(), QStringLiteral("视频"));
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
    QCOMPARE(mWindow->canvas()->pictureById(id)->pictureData(), ComponentCreation::builtinPictureOf(QStringLiteral("视频")));
}

void TestFileMenu::previewsComeAFewAtATime()
{
    for (int i = 0; i < 20; ++i)
        ComponentCreation::create(mWindow->canvas(), QStringLiteral("图片"));
    const QString path = mFiles->filePath(QStringLiteral("many.plbd"));
    QVERIFY(Test::saveAndWait(mMenu, path));
    static std::atomic<int> running{0};
    static std::atomic<int> most{0};
    mMenu->setPreviewFetch([](const QString &url) {
        const int now = ++running;
        int seen = most.load();
        while (now > seen && !most.compare_exchange_weak(seen, now)) {}
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

void TestFileMenu::failedSaveKeepsTheOldFile()
{
#ifdef Q_OS_WIN
    QSKIP("a full disk is simulated with a file size limit, which Windows lacks");
#else
    const QString path = mFiles->filePath(QStringLiteral("kept.plbd"));
    QVERIFY(Test::saveAndWait(mMenu, path));
    const QByteArray old = contents(path);
    for (int i = 0; i < 5; ++i)
        ComponentCreation::create(mWindow->canvas(), QStringLiteral("图片"));

    bool written = true;
    // A disk with no room for a bigger file.
    Test::withFileSizeLimit(old.size(), [&] { written = Test::saveAndWait(mMenu, path); });

    QVERIFY(!written);
    QVERIFY(mWindow->statusText().startsWith(QStringLiteral("文件无法保存：")));
    QVERIFY(mWindow->document()->isModified());
    QCOMPARE(contents(path), old);
    QCOMPARE(mWindow->table()->count(), 6);
#endif
}

void TestFileMenu::writesLeaveTheUserInterfaceFree_data()
{
    QTest::addColumn<bool>("autosave");
    QTest::addColumn<bool>("editWhileWriting");
    QTest::newRow("save") << false << false;
    QTest::newRow("save, edited meanwhile") << false << true;
    QTest::newRow("autosave") << true << false;
    QTest::newRow("autosave, edited meanwhile") << true << true;
}

void TestFileMenu::writesLeaveTheUserInterfaceFree()
{
    QFETCH(bool, autosave);
    QFETCH(bool, editWhileWriting);
    buildDesign();
    const QString path = autosave ? mMenu->autosavePath() : mFiles->filePath(QStringLiteral("held.plbd"));
    if (autosave)
        mMenu->startSession();
    ComponentCreation::create(mWindow->canvas(), QStringLiteral("轮播"));
    DesignFile::Design expected = DesignFile::fromTable(*mWindow->table());
    expected.shrink = mWindow->designShrink();
    QSignalSpy written(mMenu, &FileMenu::designWritten);

    // The files lane is busy with an earlier write.
    QSemaphore release;
    BackgroundWork::start(BackgroundWork::Lane::Files, [&release] { release.acquire(); });
    if (autosave)
        QVERIFY(mMenu->autosave());
    else
        mMenu->saveTo(path);
    QVERIFY(!QFile::exists(path));
    QVERIFY(written.isEmpty());
    QVERIFY(!mWindow->statusText().startsWith(QStringLiteral("已保存")));
    QVERIFY(mWindow->document()->isModified());
    if (editWhileWriting)
        ComponentCreation::create(mWindow->canvas(), QStringLiteral("图片"));
    release.release();

    QTRY_COMPARE(written.size(), 1);
    QCOMPARE(written.at(0).at(0).toString(), path);
    QVERIFY(written.at(0).at(1).toBool());
    // The bytes are those a save at the moment it was asked for writes.
    QCOMPARE(contents(path), DesignFile::serialise(expected));
    if (autosave) {
        QCOMPARE(mMenu->autosave(), editWhileWriting);
        mMenu->finishWrites();
    } else {
        QCOMPARE(mWindow->statusText(), QStringLiteral("已保存：held.plbd"));
        QCOMPARE(mMenu->currentPath(), path);
        QCOMPARE(mWindow->document()->isModified(), editWhileWriting);
    }
}

void TestFileMenu::queuedSavesLandInOrder()
{
    const QString first = mFiles->filePath(QStringLiteral("first.plbd"));
    const QString second = mFiles->filePath(QStringLiteral("second.plbd"));
    QSignalSpy written(mMenu, &FileMenu::designWritten);
    QSemaphore release;
    BackgroundWork::start(BackgroundWork::Lane::Files, [&release] { release.acquire(); });
    QList<QVector<QStringList>> asked;
    for (const QString &path : {first, second, first}) {
        ComponentCreation::create(mWindow->canvas(), QStringLiteral("图片"));
        asked.append(mWindow->table()->rows());
        mMenu->saveTo(path);
    }
    release.release();
    QTRY_COMPARE(written.size(), 3);
    QCOMPARE(written.at(0).at(0).toString(), first);
    QCOMPARE(written.at(1).at(0).toString(), second);
    QCOMPARE(written.at(2).at(0).toString(), first);
    QCOMPARE(DesignFile::readFile(first)->rows, asked.at(2));
    QCOMPARE(DesignFile::readFile(second)->rows, asked.at(1));
    QCOMPARE(mMenu->currentPath(), first);
    QVERIFY(!mWindow->document()->isModified());
}

void TestFileMenu::openingWaitsForItsFileToBeWritten()
{
    const QString path = mFiles->filePath(QStringLiteral("fresh.plbd"));
    const auto busyLane = [] { BackgroundWork::start(BackgroundWork::Lane::Files, [] { QThread::msleep(100); }); };
    ComponentCreation::create(mWindow->canvas(), QStringLiteral("文字"));
    const QVector<QStringList> first = mWindow->table()->rows();
    busyLane();
    mMenu->saveTo(path);
    // A save finishing after a new design came must not make "保存" write that one over it.
    mMenu->newDesign();
    mMenu->finishWrites();
    QCOMPARE(mWindow->statusText(), QStringLiteral("已保存：fresh.plbd"));
    QVERIFY(mMenu->currentPath().isEmpty());
    QVERIFY(mMenu->openFile(path));
    QCOMPARE(mWindow->table()->rows(), first);

    ComponentCreation::create(mWindow->canvas(), QStringLiteral("图片"));
    const QVector<QStringList> second = mWindow->table()->rows();
    busyLane();
    mMenu->saveTo(path);
    QVERIFY(mMenu->openFile(path));   // read once the save is in it
    QCOMPARE(mWindow->table()->rows(), second);
    QVERIFY(!mWindow->document()->isModified());
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
    ComponentCreation::create(mWindow->canvas(), QStringLiteral("文字"));
    QVERIFY(mWindow->document()->isModified());
    QVERIFY(mMenu->save());   // no dialog this time: mChosen is empty
    mMenu->finishWrites();
    QVERIFY(!mWindow->document()->isModified());
    const auto design = DesignFile::readFile(path + QStringLiteral(".plbd"));
    QVERIFY(design);
    QCOMPARE(design->rows, mWindow->table()->rows());
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
    ComponentCreation::create(mWindow->canvas(), QStringLiteral("图片"));
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

void TestFileMenu::autosaveAndRecoveryAfterACrash()
{
    mMenu->startSession();
    QVERIFY(QFile::exists(mMenu->markerPath()));
    QVERIFY(!mMenu->autosave());   // nothing changed yet, nothing written
    mMenu->finishWrites();
    QVERIFY(!QFile::exists(mMenu->autosavePath()));
    ComponentCreation::create(mWindow->canvas(), QStringLiteral("轮播"));
    ComponentCreation::create(mWindow->canvas(), QStringLiteral("文字"));
    Test::settle();
    QVERIFY(mMenu->autosave());
    mMenu->finishWrites();
    const QVector<QStringList> rows = mWindow->table()->rows();

    // The process dies: no end of session, and a half-written autosave's temporary file lies about.
    QFile stray(mMenu->autosavePath() + QStringLiteral(".XyZ123"));
    QVERIFY(stray.open(QIODevice::WriteOnly));
    stray.write("{\"format\": \"plumbrook-des");
    stray.close();
    EditorRegistry::closeAll();
    QTRY_COMPARE(ModuleBackgroundLayer::runningWorkers(), 0);
    delete mWindow;

    mWindow = newWindow();
    mMenu = mWindow->fileMenu();
    mMenu->startSession();
    QVERIFY(mWindow->statusText().contains(QStringLiteral("恢复自动保存")));
    // This run's autosaves must not destroy what is to be restored.
    ComponentCreation::create(mWindow->canvas(), QStringLiteral("图片"));
    Test::settle();
    QVERIFY(mMenu->autosave());
    QVERIFY(mMenu->restoreAutosave());
    QCOMPARE(mWindow->statusText(), QStringLiteral("已恢复自动保存的设计"));
    QCOMPARE(mWindow->table()->rows(), rows);
    QCOMPARE(mWindow->canvas()->allObjects().size(), 4);
    QVERIFY(mMenu->currentPath().isEmpty());

    // A clean exit autosaves and leaves no marker: the next start offers nothing.
    ComponentCreation::create(mWindow->canvas(), QStringLiteral("图片"));
    const QVector<QStringList> last = mWindow->table()->rows();
    emit mWindow->exitRequested(0);
    QVERIFY(!QFile::exists(mMenu->markerPath()));
    QCOMPARE(DesignFile::readFile(mMenu->autosavePath())->rows, last);
    delete mWindow;
    mWindow = newWindow();
    mMenu = mWindow->fileMenu();
    const QString status = mWindow->statusText();
    mMenu->startSession();
    QCOMPARE(mWindow->statusText(), status);
    QVERIFY(mMenu->restoreAutosave());
    QCOMPARE(mWindow->table()->rows(), last);
}

QTEST_MAIN(TestFileMenu)
#include "tst_file_menu.moc"
