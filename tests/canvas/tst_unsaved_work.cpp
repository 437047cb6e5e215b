// Nothing the user made is dropped unasked: the question before a modified design is
// replaced, the title's file name and "*", the design put back after "退出软件", the
// recovery window after a crash, the lock of an opened file and a file changed on disk.
#include "canvas/code_import_window.h"
#include "canvas/file_menu.h"
#include "canvas/main_window.h"
#include "canvas/recovery_window.h"
#include "canvas/design_canvas.h"
#include "model/background_work.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/design_file.h"
#include "model/design_file_lock.h"
#include "support/file_menu_fixture.h"
#include "support/test_support.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <QUndoStack>

using namespace Plumbrook;
using T = ComponentTable;

class TestUnsavedWork : public QObject, public Test::FileMenuFixture
{
    Q_OBJECT

private slots:
    void init() { open(); }
    void cleanup() { close(); }

    void questionBeforeReplacing_data();
    void questionBeforeReplacing();
    void titleShowsNameAndModified();
    void exitPutsTheDesignBack_data();
    void exitPutsTheDesignBack();
    void crashOffersRecovery_data();
    void crashOffersRecovery();
    void lockedFileOffersACopy_data();
    void lockedFileOffersACopy();
    void fileChangedOnDiskAsksFirst_data();
    void fileChangedOnDiskAsksFirst();
    void heldWriteBlocksNothing();
    void largeDesignOpensOnAWorker_data();
    void largeDesignOpensOnAWorker();
    void statusLineShowsPlainText();

private:
    void addPicture() { mWindow->canvas()->addComponent(QStringLiteral("图片")); }
    QString writeDesignFile(const QString &name, int pictures);
};

QString TestUnsavedWork::writeDesignFile(const QString &name, int pictures)
{
    DesignFile::Design design;
    design.rows = {T::initialModuleRecord()};
    for (int i = 0; i < pictures; ++i) {
        QStringList cells(T::ColumnCount);
        cells[T::Id] = QString::number(100 + i);
        cells[T::Kind] = QStringLiteral("图片");
        cells[T::Width] = QStringLiteral("40");
        cells[T::Height] = QStringLiteral("30");
        design.rows.append(cells);
    }
    const QString path = mFiles->filePath(name);
    if (!DesignFile::writeFile(path, design))
        return {};
    return path;
}

void TestUnsavedWork::questionBeforeReplacing_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("answer");
    for (const char *action : {"新建", "打开…", "最近打开", "导入代码"}) {
        QTest::addRow("%s, 保存", action) << QString::fromUtf8(action) << 0;
        QTest::addRow("%s, 不保存", action) << QString::fromUtf8(action) << 1;
        QTest::addRow("%s, 取消", action) << QString::fromUtf8(action) << 2;
    }
}

void TestUnsavedWork::questionBeforeReplacing()
{
    QFETCH(QString, action);
    QFETCH(int, answer);
    const QString other = writeDesignFile(QStringLiteral("other.plbd"), 3);
    const QString mine = mFiles->filePath(QStringLiteral("mine.plbd"));
    addPicture();
    addPicture();
    const QVector<QStringList> before = mWindow->table()->rows();
    QVERIFY(mWindow->document()->isModified());
    mAnswers = {answer};
    if (answer == 0)
        mChosen = {mine};   // where "保存" puts the unnamed design
    if (action == QStringLiteral("打开…"))
        mChosen.append(other);
    QSignalSpy written(mMenu, &FileMenu::designWritten);

    if (action == QStringLiteral("新建")) {
        mMenu->newDesign();
    } else if (action == QStringLiteral("打开…")) {
        mMenu->openDesign();
    } else if (action == QStringLiteral("最近打开")) {
        mMenu->openFile(other);
    } else {
        mMenu->importCode(QString::fromUtf8(Test::contents(QStringLiteral(PLUMBROOK_TEST_DATA "/generation/carousel/expected.html"))));
    }
    QCOMPARE(mAsked.size(), 1);
    QCOMPARE(mAskedButtons, (QStringList{"保存", "不保存", "取消"}));
    if (answer == 0)
        QTRY_VERIFY(!written.isEmpty());
    Test::settle();

    if (answer == 2) {
        QCOMPARE(mWindow->table()->rows(), before);
        QVERIFY(mWindow->document()->isModified());
        QVERIFY(!QFile::exists(mine));
        return;
    }
    QVERIFY(mWindow->table()->rows() != before);
    QCOMPARE(QFile::exists(mine), answer == 0);
    if (answer == 0)
        QCOMPARE(DesignFile::readFile(mine)->rows, before);
    if (action == QStringLiteral("打开…") || action == QStringLiteral("最近打开"))
        QCOMPARE(mWindow->table()->count(), 4);
}

void TestUnsavedWork::titleShowsNameAndModified()
{
    auto *label = mWindow->findChild<QLabel *>(QStringLiteral("标签_文件名"));
    QVERIFY(label);
    QCOMPARE(label->text(), QStringLiteral("未命名"));
    addPicture();
    QCOMPARE(label->text(), QStringLiteral("未命名*"));
    QVERIFY(mWindow->windowTitle().startsWith(QStringLiteral("未命名*")));
    const QString path = mFiles->filePath(QStringLiteral("标题.plbd"));
    mChosen = {path};
    QVERIFY(mMenu->save());
    QTRY_COMPARE(label->text(), QStringLiteral("标题.plbd"));
    addPicture();
    QCOMPARE(label->text(), QStringLiteral("标题.plbd*"));
    mWindow->document()->undoStack()->undo();
    QCOMPARE(label->text(), QStringLiteral("标题.plbd"));
    // A name is shown as it is, never as markup.
    QCOMPARE(label->textFormat(), Qt::PlainText);
}

void TestUnsavedWork::exitPutsTheDesignBack_data()
{
    QTest::addColumn<bool>("named");
    QTest::addColumn<bool>("modified");
    QTest::newRow("named, modified") << true << true;
    QTest::newRow("named, saved") << true << false;
    QTest::newRow("unnamed, modified") << false << true;
}

void TestUnsavedWork::exitPutsTheDesignBack()
{
    QFETCH(bool, named);
    QFETCH(bool, modified);
    mMenu->startSession();
    const QString path = mFiles->filePath(QStringLiteral("left.plbd"));
    addPicture();
    if (named) {
        mChosen = {path};
        QVERIFY(mMenu->save());
        QTRY_VERIFY(!mWindow->document()->isModified());
    }
    if (modified)
        addPicture();
    const QVector<QStringList> rows = mWindow->table()->rows();
    // "退出软件" asks nothing and waits for nothing.
    emit mWindow->exitRequested(0);
    QVERIFY(mAsked.isEmpty());
    mMenu->finishWrites();

    reopen();
    mMenu->startSession();
    QCOMPARE(mWindow->table()->rows(), rows);
    QCOMPARE(mMenu->currentPath(), named ? path : QString());
    QCOMPARE(mWindow->document()->isModified(), modified);
    QVERIFY(!mMenu->recoveryWindow());
    // Put back once: the run after this one starts from its own exit.
    reopen();
    mMenu->startSession();
    QVERIFY(!mMenu->recoveryWindow());
}

void TestUnsavedWork::crashOffersRecovery_data()
{
    QTest::addColumn<QString>("decision");
    QTest::newRow("恢复") << QStringLiteral("恢复");
    QTest::newRow("另存为…") << QStringLiteral("另存为");
    QTest::newRow("丢弃") << QStringLiteral("丢弃");
    QTest::newRow("closed undecided") << QStringLiteral("×");
}

void TestUnsavedWork::crashOffersRecovery()
{
    QFETCH(QString, decision);
    mMenu->startSession();
    const QString path = mFiles->filePath(QStringLiteral("crashed.plbd"));
    mChosen = {path};
    addPicture();
    QVERIFY(mMenu->save());
    QTRY_VERIFY(!mWindow->document()->isModified());
    addPicture();
    addPicture();
    const QVector<QStringList> rows = mWindow->table()->rows();
    // Within two seconds of the change, with no call from here.
    QSignalSpy written(mMenu, &FileMenu::designWritten);
    QTRY_VERIFY_WITH_TIMEOUT(!written.isEmpty() && DesignFile::readFile(mMenu->autosavePath())
                                 && DesignFile::readFile(mMenu->autosavePath())->rows == rows, 2500);
    const QString folder = mMenu->session()->folder();

    // The process dies: no "退出软件".
    reopen();
    mMenu->startSession();
    auto *window = qobject_cast<RecoveryWindow *>(mMenu->recoveryWindow());
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QCOMPARE(window->count(), 1);
    auto *list = window->findChild<QTreeWidget *>(QStringLiteral("列表框1"));
    QCOMPARE(list->topLevelItem(0)->text(1), QStringLiteral("crashed.plbd"));
    QCOMPARE(list->topLevelItem(0)->text(2), QStringLiteral("3"));
    // This run's autosaves touch nothing of it.
    addPicture();
    QVERIFY(mMenu->autosave());
    mMenu->finishWrites();
    QVERIFY(QFile::exists(folder));

    const QString copy = mFiles->filePath(QStringLiteral("copy.plbd"));
    mChosen = {copy};
    const QString button = decision == QStringLiteral("×") ? QStringLiteral("超级按钮1")
                                                          : QStringLiteral("超级按钮_") + decision;
    QPointer<RecoveryWindow> guard(window);
    QTest::mouseClick(window->findChild<QPushButton *>(button), Qt::LeftButton);
    if (decision == QStringLiteral("恢复")) {
        QCOMPARE(mWindow->table()->rows(), rows);
        QCOMPARE(mMenu->currentPath(), path);
        QVERIFY(mWindow->document()->isModified());
        QVERIFY(!QFile::exists(folder));
    } else if (decision == QStringLiteral("另存为")) {
        QTRY_VERIFY(!QFile::exists(folder));
        QCOMPARE(DesignFile::readFile(copy)->rows, rows);
    } else if (decision == QStringLiteral("丢弃")) {
        QVERIFY(!QFile::exists(folder));
    } else {
        QVERIFY(QFile::exists(folder));
        reopen();
        mMenu->startSession();
        QVERIFY(mMenu->recoveryWindow());
        return;
    }
    QTRY_VERIFY(guard.isNull());
}

void TestUnsavedWork::lockedFileOffersACopy_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("打开只读副本") << 0;
    QTest::newRow("取消") << 1;
}

void TestUnsavedWork::lockedFileOffersACopy()
{
    QFETCH(int, answer);
    const QString path = writeDesignFile(QStringLiteral("held.plbd"), 2);
    DesignFileLock elsewhere;   // another designer has it open
    QVERIFY(elsewhere.take(path));
    mAnswers = {answer};
    QCOMPARE(mMenu->openFile(path), answer == 0);
    QCOMPARE(mAsked.size(), 1);
    QVERIFY(mAsked.first().contains(QString::number(QCoreApplication::applicationPid())));
    QCOMPARE(mWindow->table()->count(), answer == 0 ? 3 : 1);
    // A copy is of no file: saving it never writes over the one held.
    QVERIFY(mMenu->currentPath().isEmpty());
    elsewhere.release();
    QVERIFY(mMenu->openFile(path));
    QCOMPARE(mMenu->currentPath(), path);
    QVERIFY(QFile::exists(DesignFileLock::lockPathOf(path)));
    DesignFileLock second;
    QVERIFY(!second.take(path));
}

void TestUnsavedWork::fileChangedOnDiskAsksFirst_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("覆盖") << 0;
    QTest::newRow("取消") << 1;
}

void TestUnsavedWork::fileChangedOnDiskAsksFirst()
{
    QFETCH(int, answer);
    const QString path = writeDesignFile(QStringLiteral("shared.plbd"), 1);
    QVERIFY(mMenu->openFile(path));
    addPicture();
    // Saved twice in a row: the second save meets the file the first wrote, not a stranger's.
    QSignalSpy written(mMenu, &FileMenu::designWritten);
    QVERIFY(mMenu->save());
    QVERIFY(mMenu->save());
    QTRY_COMPARE(written.size(), 2);
    QVERIFY(mAsked.isEmpty());

    // Someone else writes the file.
    const QString elsewhere = writeDesignFile(QStringLiteral("shared.plbd"), 5);
    QFile file(elsewhere);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime));
    file.close();
    addPicture();
    mAnswers = {answer};
    mMenu->save();
    QCOMPARE(mAsked.size(), 1);
    QCOMPARE(mAskedButtons, (QStringList{"覆盖", "取消"}));
    mMenu->finishWrites();
    QTRY_COMPARE(written.size(), 3);
    QCOMPARE(DesignFile::readFile(path)->rows.size(), answer == 0 ? 4 : 6);
    QCOMPARE(mWindow->document()->isModified(), answer != 0);
}

void TestUnsavedWork::heldWriteBlocksNothing()
{
    mMenu->startSession();
    const QString path = writeDesignFile(QStringLiteral("open me.plbd"), 2);
    addPicture();
    // A write stuck on the files lane, as a disk that does not answer.
    QSemaphore release;
    BackgroundWork::start(BackgroundWork::Lane::Files, [&release] { release.acquire(); });
    QVERIFY(mMenu->autosave());
    mChosen = {mFiles->filePath(QStringLiteral("stuck.plbd"))};
    QVERIFY(mMenu->save());
    mAnswers = {1};
    QVERIFY(mMenu->openFile(path));
    QCOMPARE(mWindow->table()->count(), 3);
    addPicture();
    QVERIFY(!mMenu->autosave());
    QCOMPARE(mWindow->statusText(), QStringLiteral("正在保存…"));
    emit mWindow->exitRequested(0);
    QVERIFY(!mMenu->finishWritesWithin(10));
    release.release();
    mMenu->finishWrites();
}

void TestUnsavedWork::largeDesignOpensOnAWorker_data()
{
    QTest::addColumn<bool>("cancel");
    QTest::newRow("opened") << false;
    QTest::newRow("取消") << true;
}

void TestUnsavedWork::largeDesignOpensOnAWorker()
{
    QFETCH(bool, cancel);
    // Two long cells make a file of a few megabytes with three components.
    DesignFile::Design design;
    design.rows = {T::initialModuleRecord()};
    for (int i = 0; i < 3; ++i) {
        QStringList cells(T::ColumnCount);
        cells[T::Id] = QString::number(10 + i);
        cells[T::Kind] = QStringLiteral("图片");
        cells[T::Width] = QStringLiteral("40");
        cells[T::Height] = QStringLiteral("20");
        cells[T::Link] = i < 2 ? QString(DesignFile::kMaxCellChars, u'x') : QString();
        design.rows.append(cells);
    }
    const QString path = mFiles->filePath(QStringLiteral("large.plbd"));
    QVERIFY(DesignFile::writeFile(path, design));
    QVERIFY(mMenu->openFile(path));
    QPointer<QWidget> progress = mMenu->openingProgress();
    QVERIFY(progress);
    QVERIFY(progress->isVisible());
    QCOMPARE(mWindow->table()->count(), 1);   // the window goes on while it is read
    if (cancel) {
        QPushButton *button = nullptr;
        for (QPushButton *candidate : progress->findChildren<QPushButton *>()) {
            if (candidate->text() == QStringLiteral("取消"))
                button = candidate;
        }
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
        QTRY_VERIFY(progress.isNull());
        Test::settle();
        QCOMPARE(mWindow->table()->count(), 1);
        QVERIFY(mMenu->currentPath().isEmpty());
        QCOMPARE(mWindow->statusText(), QStringLiteral("已取消打开：large.plbd"));
        // Not this designer's file: another may take it.
        DesignFileLock other;
        QVERIFY(other.take(path));
        return;
    }
    QTRY_VERIFY(progress.isNull());
    QVERIFY2(mWindow->table()->count() == 4, qPrintable(mWindow->statusText()));
    QCOMPARE(mMenu->currentPath(), path);
}

void TestUnsavedWork::statusLineShowsPlainText()
{
    // Pasted markup is shown as the characters it is made of.
    const QString pasted = QStringLiteral("<h1>标题</h1><b>粗体</b>");
    mWindow->showStatus(pasted);
    auto *line = mWindow->findChild<QLabel *>(QStringLiteral("标签_提示"));
    QCOMPARE(line->textFormat(), Qt::PlainText);
    QCOMPARE(line->text(), pasted);
}

QTEST_MAIN(TestUnsavedWork)
#include "tst_unsaved_work.moc"
