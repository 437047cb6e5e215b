// Design files written on the files lane: a failed save keeps the old file, the window
// stays free while a file is written, writes land in order, an opening waits for its
// file, and autosave brings a design back after a crash.
#include "canvas/design_canvas.h"
#include "canvas/file_menu.h"
#include "canvas/main_window.h"
#include "canvas/module_background_layer.h"
#include "components/component_creation.h"
#include "components/editor_registry.h"
#include "model/background_work.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/design_file.h"
#include "support/canvas_driving.h"
#include "support/file_menu_fixture.h"
#include "support/test_support.h"

#include <QFile>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

using namespace Plumbrook;
using T = ComponentTable;
using Test::contents;
using Test::fakeFetch;

class TestFileWrites : public QObject, public Test::FileMenuFixture
{
    Q_OBJECT

private slots:
    void init() { open(); }
    void cleanup() { close(); }

    void failedSaveKeepsTheOldFile();
    void writesLeaveTheUserInterfaceFree_data();
    void writesLeaveTheUserInterfaceFree();
    void queuedSavesLandInOrder();
    void openingWaitsForItsFileToBeWritten();
    void autosaveAndRecoveryAfterACrash();
    void leavingTheEventLoopWaitsForWrites();
};

void TestFileWrites::failedSaveKeepsTheOldFile()
{
#ifdef Q_OS_WIN
    QSKIP("a full disk is simulated with a file size limit, which Windows lacks");
#else
    const QString path = mFiles->filePath(QStringLiteral("kept.plbd"));
    QVERIFY(Test::saveAndWait(mMenu, path));
    const QByteArray old = contents(path);
    for (int i = 0; i < 5; ++i)
        mWindow->canvas()->addComponent(QStringLiteral("图片"));

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

void TestFileWrites::writesLeaveTheUserInterfaceFree_data()
{
    QTest::addColumn<bool>("autosave");
    QTest::addColumn<bool>("editWhileWriting");
    QTest::newRow("save") << false << false;
    QTest::newRow("save, edited meanwhile") << false << true;
    QTest::newRow("autosave") << true << false;
    QTest::newRow("autosave, edited meanwhile") << true << true;
}

void TestFileWrites::writesLeaveTheUserInterfaceFree()
{
    QFETCH(bool, autosave);
    QFETCH(bool, editWhileWriting);
    buildDesign();
    if (autosave) {
        mMenu->startSession();
        // Written when asked here, not by the timer.
        mMenu->findChild<QTimer *>(QStringLiteral("自动保存"))->stop();
    }
    const QString path = autosave ? mMenu->autosavePath() : mFiles->filePath(QStringLiteral("held.plbd"));
    mWindow->canvas()->addComponent(QStringLiteral("轮播"));
    // The module's changes made while building are shown with this step; the background's
    // worker reports on the status line when done, which must not land on the save's message.
    QTRY_COMPARE(ModuleBackgroundLayer::runningWorkers(), 0);
    Test::settle();
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
        mWindow->canvas()->addComponent(QStringLiteral("图片"));
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

void TestFileWrites::queuedSavesLandInOrder()
{
    const QString first = mFiles->filePath(QStringLiteral("first.plbd"));
    const QString second = mFiles->filePath(QStringLiteral("second.plbd"));
    QSignalSpy written(mMenu, &FileMenu::designWritten);
    QSemaphore release;
    BackgroundWork::start(BackgroundWork::Lane::Files, [&release] { release.acquire(); });
    QList<QVector<QStringList>> asked;
    for (const QString &path : {first, second, first}) {
        mWindow->canvas()->addComponent(QStringLiteral("图片"));
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

void TestFileWrites::openingWaitsForItsFileToBeWritten()
{
    const QString path = mFiles->filePath(QStringLiteral("fresh.plbd"));
    const auto busyLane = [] { BackgroundWork::start(BackgroundWork::Lane::Files, [] { QThread::msleep(100); }); };
    mWindow->canvas()->addComponent(QStringLiteral("文字"));
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

    mWindow->canvas()->addComponent(QStringLiteral("图片"));
    const QVector<QStringList> second = mWindow->table()->rows();
    busyLane();
    mMenu->saveTo(path);
    mAnswers = {1};
    QVERIFY(mMenu->openFile(path));   // read once the save is in it, the window free meanwhile
    QVERIFY(mMenu->openingProgress());
    QTRY_COMPARE(mWindow->table()->rows(), second);
    QTRY_VERIFY(!mMenu->openingProgress());
    QVERIFY(!mWindow->document()->isModified());
}

void TestFileWrites::autosaveAndRecoveryAfterACrash()
{
    mMenu->startSession();
    mMenu->findChild<QTimer *>(QStringLiteral("自动保存"))->stop();
    mMenu->finishWrites();
    mWindow->canvas()->addComponent(QStringLiteral("轮播"));
    mWindow->canvas()->addComponent(QStringLiteral("文字"));
    Test::settle();
    QVERIFY(mMenu->autosave());
    mMenu->finishWrites();
    QVERIFY(!mMenu->autosave());   // nothing changed since, nothing written
    const QVector<QStringList> rows = mWindow->table()->rows();
    const QString folder = mMenu->session()->folder();

    // The process dies: no end of session, and a half-written autosave's temporary file lies about.
    const QString strayPath = mMenu->autosavePath() + QStringLiteral(".XyZ123");
    QFile stray(strayPath);
    QVERIFY(stray.open(QIODevice::WriteOnly));
    stray.write("{\"format\": \"plumbrook-des");
    stray.close();
    EditorRegistry::closeAll();
    QTRY_COMPARE(ModuleBackgroundLayer::runningWorkers(), 0);

    reopen();
    mMenu = mWindow->fileMenu();
    mMenu->startSession();
    QVERIFY(!QFile::exists(strayPath));
    QVERIFY(mWindow->statusText().contains(QStringLiteral("可以恢复")));
    QVERIFY(mMenu->recoveryWindow());
    // This run's autosaves must not destroy what is to be restored.
    mWindow->canvas()->addComponent(QStringLiteral("图片"));
    Test::settle();
    QVERIFY(mMenu->autosave());
    mMenu->finishWrites();
    QCOMPARE(DesignFile::readFile(folder + QStringLiteral("/autosave.plbd"))->rows, rows);
    mAnswers = {1};   // the picture added here is let go
    QVERIFY(mMenu->recover(SessionStore::readLeftover(folder)));
    QCOMPARE(mWindow->table()->rows(), rows);
    QCOMPARE(mWindow->canvas()->allObjects().size(), 4);
    QVERIFY(mMenu->currentPath().isEmpty());
    QVERIFY(mWindow->document()->isModified());
    QVERIFY(!QFile::exists(folder));
}

void TestFileWrites::leavingTheEventLoopWaitsForWrites()
{
    // The lane is busy, so the save is still queued when the loop is told to end.
    const QString path = mFiles->filePath(QStringLiteral("last.plbd"));
    BackgroundWork::start(BackgroundWork::Lane::Files, [] { QThread::msleep(200); });
    mWindow->canvas()->addComponent(QStringLiteral("图片"));
    const QVector<QStringList> rows = mWindow->table()->rows();
    mMenu->saveTo(path);
    QTimer::singleShot(0, QCoreApplication::instance(), [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
    QVERIFY(QFile::exists(path));
    QCOMPARE(DesignFile::readFile(path)->rows, rows);
}

QTEST_MAIN(TestFileWrites)
#include "tst_file_writes.moc"
