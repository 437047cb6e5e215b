#include "codegen/module_generator.h"
#include "model/carousel_settings.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/design_selection.h"
#include "support/test_support.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <QUndoStack>

using namespace Plumbrook;
using T = ComponentTable;
namespace CS = CarouselSettings;

namespace {

// Names the write a child run of this program makes in writeAsChild.
const char *const kChildWrite = "PLUMBROOK_TEST_CHILD_WRITE";

int addRow(ComponentTable *table, const QString &kind)
{
    const int row = table->appendRow(QString::number(table->takeNextId()), kind);
    table->setCell(row, T::Width, QStringLiteral("40"));
    table->setCell(row, T::Height, QStringLiteral("30"));
    return row;
}

} // namespace

class TestDesignDocument : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void stepUndoesAndRedoesItsWrites_data();
    void stepUndoesAndRedoesItsWrites();
    void nestedOperationsAreOneStep();
    void writeOutsideAnOperationJoinsTheStepBefore();
    void merging_data();
    void merging();
    void editAfterUndoDropsRedo();
    void carouselKeysComeBack();
    void replacingTheDesignIsOneStep();
    void carouselsBelongToTheirDesign_data();
    void carouselsBelongToTheirDesign();
    void resetForgetsTheSteps();
    void cleanStateFollowsTheStack();
    void saveFinishingLater_data();
    void saveFinishingLater();
    void selectionSignalsOnlyChanges();
    void randomOperationsUndoToTheStart();
    void strayWritesStopTheProgram_data();
    void strayWritesStopTheProgram();
    void writeAsChild();

private:
    Test::TemporaryProgramDir *mDir = nullptr;
    DesignDocument *mDocument = nullptr;
    ComponentTable *mTable = nullptr;
};

void TestDesignDocument::init()
{
    mDir = new Test::TemporaryProgramDir;
    mDocument = new DesignDocument;
    mTable = mDocument->table();
    mTable->setCreationCounter(1);
}

void TestDesignDocument::cleanup()
{
    delete mDocument;
    delete mDir;
}

void TestDesignDocument::stepUndoesAndRedoesItsWrites_data()
{
    QTest::addColumn<QString>("operation");
    QTest::newRow("cells") << "cells";
    QTest::newRow("same cell twice") << "twice";
    QTest::newRow("add") << "add";
    QTest::newRow("delete middle row") << "delete";
    QTest::newRow("delete, then write the row below") << "delete-write";
    QTest::newRow("write, delete it, write the row that took its place") << "delete-between-writes";
    QTest::newRow("module record") << "module";
}

void TestDesignDocument::stepUndoesAndRedoesItsWrites()
{
    QFETCH(QString, operation);
    for (int i = 0; i < 3; ++i)
        mDocument->record(QStringLiteral("添加图片"), [this] { addRow(mTable, QStringLiteral("图片")); });
    const auto before = mTable->rows();
    const int steps = mDocument->undoStack()->count();

    QVERIFY(mDocument->record(QStringLiteral("步骤"), [&] {
        if (operation == "cells") {
            mTable->setCell(2, T::Left, QStringLiteral("12"));
            mTable->setCell(3, T::Link, QStringLiteral("https://shop.example/a"));
        } else if (operation == "twice") {
            mTable->setCell(2, T::Width, QStringLiteral("1"));
            mTable->setCell(2, T::Width, QStringLiteral("12"));
        } else if (operation == "add") {
            addRow(mTable, QStringLiteral("文字"));
        } else if (operation == "delete") {
            mTable->deleteRow(2);
        } else if (operation == "delete-between-writes") {
            mTable->setCell(2, T::Top, QStringLiteral("5"));
            mTable->setCell(3, T::Left, QStringLiteral("6"));
            mTable->deleteRow(2);
            mTable->setCell(2, T::Top, QStringLiteral("7"));
            mTable->setCell(2, T::Left, QStringLiteral("8"));
            mTable->setCell(2, T::Top, QStringLiteral("9"));
        } else if (operation == "delete-write") {
            mTable->deleteRow(2);
            mTable->setCell(2, T::Top, QStringLiteral("7"));
        } else if (operation == "module") {
            mTable->setCell(0, T::Width, QStringLiteral("700"));
        }
    }));
    const auto after = mTable->rows();
    QVERIFY(after != before);
    QCOMPARE(mDocument->undoStack()->count(), steps + 1);
    QCOMPARE(mDocument->undoStack()->undoText(), QStringLiteral("步骤"));

    QSignalSpy applied(mDocument, &DesignDocument::stepApplied);
    mDocument->undoStack()->undo();
    QCOMPARE(mTable->rows(), before);
    mDocument->undoStack()->redo();
    QCOMPARE(mTable->rows(), after);
    QCOMPARE(applied.count(), 2);
    const auto change = applied.last().first().value<DesignChange>();
    QCOMPARE(change.structural, operation == "add" || operation.startsWith("delete"));
    QCOMPARE(change.module, operation == "module");
}

void TestDesignDocument::nestedOperationsAreOneStep()
{
    QVERIFY(mDocument->record(QStringLiteral("添加图片"), [this] {
        addRow(mTable, QStringLiteral("轮播"));
        mDocument->record(QStringLiteral("inner"), [this] { addRow(mTable, QStringLiteral("左箭头2")); });
        mDocument->writeCarousel(2, CS::defaults());
    }));
    QCOMPARE(mDocument->undoStack()->count(), 1);
    QVERIFY(!mDocument->record(QStringLiteral("无"), [this] { mTable->setCell(1, T::Width, QStringLiteral("40")); }));
    QCOMPARE(mDocument->undoStack()->count(), 1);
    mDocument->undoStack()->undo();
    QCOMPARE(mTable->count(), 1);
    QCOMPARE(CS::read(2, CS::kTransitionCode), QString());
}

void TestDesignDocument::writeOutsideAnOperationJoinsTheStepBefore()
{
    // Before any step there is nothing to join: the write simply stays.
    mDocument->writeUnstepped([this] { mTable->setCell(0, T::Left, QStringLiteral("3")); });
    mDocument->record(QStringLiteral("添加图片"), [this] { addRow(mTable, QStringLiteral("图片")); });
    mDocument->writeUnstepped([this] { mTable->setCell(1, T::Left, QStringLiteral("5")); });
    QCOMPARE(mDocument->undoStack()->count(), 1);
    mDocument->undoStack()->undo();
    QCOMPARE(mTable->count(), 1);
    QCOMPARE(mTable->cell(0, T::Left), QStringLiteral("3"));
    mDocument->undoStack()->redo();
    QCOMPARE(mTable->cell(1, T::Left), QStringLiteral("5"));
}

void TestDesignDocument::merging_data()
{
    QTest::addColumn<QString>("secondKey");
    QTest::addColumn<bool>("stepBetween");
    QTest::addColumn<int>("steps");
    QTest::newRow("same box") << "box-1" << false << 1;
    QTest::newRow("another box") << "box-2" << false << 2;
    QTest::newRow("a step between") << "box-1" << true << 3;
    QTest::newRow("no key") << "" << false << 2;
}

void TestDesignDocument::merging()
{
    QFETCH(QString, secondKey);
    QFETCH(bool, stepBetween);
    QFETCH(int, steps);
    mDocument->record(QStringLiteral("添加图片"), [this] { addRow(mTable, QStringLiteral("图片")); });
    QUndoStack *stack = mDocument->undoStack();
    const auto start = mTable->rows();
    const int base = stack->count();
    const QString firstKey = secondKey.isEmpty() ? QString() : QStringLiteral("box-1");
    mDocument->record(QStringLiteral("修改尺寸"), [this] { mTable->setCell(1, T::Width, QStringLiteral("1")); },
                      DesignStep::kTypingId, firstKey);
    if (stepBetween)
        mDocument->record(QStringLiteral("锁定"), [this] { mTable->setCell(1, T::Locked, QStringLiteral("是")); });
    mDocument->record(QStringLiteral("修改尺寸"), [this] { mTable->setCell(1, T::Width, QStringLiteral("12")); },
                      DesignStep::kTypingId, secondKey);
    QCOMPARE(stack->count() - base, steps);
    while (stack->index() > base)
        stack->undo();
    QCOMPARE(mTable->rows(), start);
}

void TestDesignDocument::editAfterUndoDropsRedo()
{
    mDocument->record(QStringLiteral("添加图片"), [this] { addRow(mTable, QStringLiteral("图片")); });
    mDocument->record(QStringLiteral("修改尺寸"), [this] { mTable->setCell(1, T::Width, QStringLiteral("1")); },
                      DesignStep::kTypingId, QStringLiteral("k"));
    QUndoStack *stack = mDocument->undoStack();
    stack->undo();
    QVERIFY(stack->canRedo());
    // The same typing key after an undo is a new step, not a merge into the undone one.
    mDocument->record(QStringLiteral("修改尺寸"), [this] { mTable->setCell(1, T::Width, QStringLiteral("9")); },
                      DesignStep::kTypingId, QStringLiteral("k"));
    QVERIFY(!stack->canRedo());
    QCOMPARE(stack->count(), 2);
    stack->undo();
    QCOMPARE(mTable->cell(1, T::Width), QStringLiteral("40"));
}

void TestDesignDocument::carouselKeysComeBack()
{
    mDocument->writeCarousel(3, CS::defaults());
    mDocument->record(QStringLiteral("编辑图片"), [this] {
        mDocument->writeCarousel(3, {{CS::kTransitionCode, QStringLiteral("fade")}, {CS::pictureKey(1), QStringLiteral("a.jpg")}});
        mDocument->writeCarousel(3, {{CS::kAutoplay, QStringLiteral("1")}});
    });
    QSignalSpy applied(mDocument, &DesignDocument::stepApplied);
    mDocument->undoStack()->undo();
    QCOMPARE(mDocument->carouselValue(3, CS::kTransitionCode), QStringLiteral("none"));
    QCOMPARE(CS::read(3, CS::kTransitionCode), QStringLiteral("none"));
    QCOMPARE(CS::read(3, CS::pictureKey(1)), CS::kSamplePictureA);
    QCOMPARE(CS::read(3, CS::kAutoplay), QStringLiteral("0"));
    QVERIFY(applied.last().first().value<DesignChange>().carousels.contains(3));
    mDocument->undoStack()->redo();
    QCOMPARE(CS::read(3, CS::kTransitionCode), QStringLiteral("fade"));
    QCOMPARE(mDocument->carouselValue(3, CS::kAutoplay), QStringLiteral("1"));
}

void TestDesignDocument::replacingTheDesignIsOneStep()
{
    mDocument->record(QStringLiteral("添加图片"), [this] { addRow(mTable, QStringLiteral("轮播")); });
    mDocument->writeCarousel(1, {{CS::kEasingCode, QStringLiteral("old")}});
    const auto before = mTable->rows();

    DesignFile::Design imported;
    imported.rows = {T::initialModuleRecord(), QStringList(T::ColumnCount)};
    imported.rows[1][T::Id] = QStringLiteral("40");
    imported.rows[1][T::Kind] = QStringLiteral("轮播");
    imported.carousels.insert(1, {{CS::kEasingCode, QStringLiteral("new")}});
    QSignalSpy applied(mDocument, &DesignDocument::stepApplied);
    mDocument->replaceDesign(QStringLiteral("导入代码"), imported);
    QCOMPARE(mTable->rows(), imported.rows);
    QCOMPARE(CS::read(1, CS::kEasingCode), QStringLiteral("new"));
    QCOMPARE(mTable->creationCounter(), 40);
    QCOMPARE(mDocument->undoStack()->count(), 2);
    QCOMPARE(mDocument->undoStack()->undoText(), QStringLiteral("导入代码"));
    QVERIFY(applied.last().first().value<DesignChange>().replaced);

    mDocument->undoStack()->undo();
    QCOMPARE(mTable->rows(), before);
    QCOMPARE(CS::read(1, CS::kEasingCode), QStringLiteral("old"));
    mDocument->undoStack()->redo();
    QCOMPARE(mTable->rows(), imported.rows);
    QCOMPARE(CS::read(1, CS::kEasingCode), QStringLiteral("new"));
}

void TestDesignDocument::carouselsBelongToTheirDesign_data()
{
    QTest::addColumn<QString>("meanwhile");
    QTest::newRow("the other design opened last") << QStringLiteral("open other");
    QTest::newRow("the other design edited last") << QStringLiteral("edit other");
    QTest::newRow("settings file deleted") << QStringLiteral("delete file");
    QTest::newRow("settings file emptied") << QStringLiteral("empty file");
}

void TestDesignDocument::carouselsBelongToTheirDesign()
{
    QFETCH(QString, meanwhile);
    // Two designs, each with a carousel numbered 1, in designers sharing one program folder.
    auto designWithCarousel = [](const QString &picture) {
        DesignFile::Design design;
        design.rows = {T::initialModuleRecord(), QStringList(T::ColumnCount)};
        design.rows[1][T::Id] = QStringLiteral("2");
        design.rows[1][T::Kind] = QStringLiteral("轮播");
        design.rows[1][T::Width] = QStringLiteral("750");
        design.rows[1][T::Height] = QStringLiteral("240");
        design.rows[1][CS::kNumberColumn] = QStringLiteral("1");
        DesignFile::CarouselValues values = CS::defaults();
        for (auto &pair : values) {
            if (pair.first == CS::pictureKey(1))
                pair.second = picture;
        }
        design.carousels.insert(1, values);
        return design;
    };
    const QString mine = QStringLiteral("https://x.example/X/c1p1.jpg");
    const QString theirs = QStringLiteral("https://x.example/Y/c1p1.jpg");
    mDocument->resetDesign(designWithCarousel(mine));
    DesignDocument other;
    other.resetDesign(designWithCarousel(theirs));
    if (meanwhile == QStringLiteral("edit other"))
        other.record(QStringLiteral("编辑图片"), [&other] {
            other.writeCarousel(1, {{CS::pictureKey(2), QStringLiteral("https://x.example/Y/c1p2.jpg")}});
        });
    QCOMPARE(CS::read(1, CS::pictureKey(1)), theirs);   // the mirror follows the last design written
    DesignFile::finishWrites();
    if (meanwhile == QStringLiteral("delete file"))
        QVERIFY(QFile::remove(CS::filePath(1)));
    if (meanwhile == QStringLiteral("empty file")) {
        QFile file(CS::filePath(1));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    }

    const DesignFile::Design saved = mDocument->design();
    QCOMPARE(saved.carousels.value(1), designWithCarousel(mine).carousels.value(1));
    QCOMPARE(other.design().carousels.value(1).at(3).second, theirs);
    const QString code = ModuleGenerator(*mTable).generate();
    QVERIFY(code.contains(mine));
    QVERIFY(!code.contains(theirs));
    // Undo puts the design's own values back, not the file's.
    mDocument->record(QStringLiteral("编辑图片"), [this] {
        mDocument->writeCarousel(1, {{CS::pictureKey(1), QStringLiteral("https://x.example/X/new.jpg")}});
    });
    mDocument->undoStack()->undo();
    QCOMPARE(mDocument->carouselValue(1, CS::pictureKey(1)), mine);
}

void TestDesignDocument::resetForgetsTheSteps()
{
    mDocument->record(QStringLiteral("添加图片"), [this] { addRow(mTable, QStringLiteral("图片")); });
    QSignalSpy reset(mDocument, &DesignDocument::designReset);
    DesignFile::Design design;
    design.rows = {T::initialModuleRecord()};
    mDocument->resetDesign(design);
    QCOMPARE(reset.count(), 1);
    QCOMPARE(mDocument->undoStack()->count(), 0);
    QCOMPARE(mTable->count(), 1);
    QVERIFY(!mDocument->isModified());
}

void TestDesignDocument::cleanStateFollowsTheStack()
{
    QVERIFY(!mDocument->isModified());
    mDocument->record(QStringLiteral("添加图片"), [this] { addRow(mTable, QStringLiteral("图片")); });
    QVERIFY(mDocument->isModified());
    mDocument->markSaved();
    QVERIFY(!mDocument->isModified());
    mDocument->undoStack()->undo();
    QVERIFY(mDocument->isModified());
    mDocument->undoStack()->redo();
    QVERIFY(!mDocument->isModified());
}

void TestDesignDocument::saveFinishingLater_data()
{
    // What happened between taking the design for a save and the save being on disk.
    QTest::addColumn<QString>("meanwhile");
    QTest::newRow("nothing") << QString();
    QTest::newRow("a step") << QStringLiteral("step");
    QTest::newRow("a step undone") << QStringLiteral("undo");
    QTest::newRow("a write outside any step") << QStringLiteral("write");
    QTest::newRow("a carousel's settings") << QStringLiteral("carousel");
}

void TestDesignDocument::saveFinishingLater()
{
    QFETCH(QString, meanwhile);
    // Only when nothing changed is any state of the history the saved one, even the
    // one the save was taken at (after a change it cannot tell it is the same).
    const bool modified = !meanwhile.isEmpty();
    QUndoStack *stack = mDocument->undoStack();
    mDocument->record(QStringLiteral("添加图片"), [this] { addRow(mTable, QStringLiteral("图片")); });
    mDocument->markSaved();   // an older save, which the later one makes stale
    mDocument->record(QStringLiteral("添加文字"), [this] { addRow(mTable, QStringLiteral("文字")); });
    const int indexAtSave = stack->index();
    const quint64 revision = mDocument->revision();
    if (meanwhile == QStringLiteral("step"))
        mDocument->record(QStringLiteral("移动"), [this] { mTable->setCell(1, T::Left, QStringLiteral("7")); });
    else if (meanwhile == QStringLiteral("undo"))
        stack->undo();
    else if (meanwhile == QStringLiteral("write"))
        mDocument->writeUnstepped([this] { mTable->setCell(2, T::Top, QStringLiteral("9")); });
    else if (meanwhile == QStringLiteral("carousel"))
        mDocument->record(QStringLiteral("轮播"), [this] { mDocument->writeCarousel(1, {{CS::kAutoplay, QStringLiteral("1")}}); });
    mDocument->markSavedAt(revision);
    QCOMPARE(mDocument->isModified(), modified);
    while (stack->index() > indexAtSave)
        stack->undo();
    while (stack->index() < indexAtSave)
        stack->redo();
    QCOMPARE(mDocument->isModified(), modified);
    // Neither is the state of the older save still the saved one.
    stack->setIndex(1);
    QVERIFY(mDocument->isModified());
}

void TestDesignDocument::selectionSignalsOnlyChanges()
{
    DesignSelection *selection = mDocument->selection();
    QSignalSpy changed(selection, &DesignSelection::selectionChanged);
    selection->select(QStringLiteral("2"));
    selection->select(QStringLiteral("2"));
    selection->add(QStringLiteral("3"));
    selection->add(QStringLiteral("3"));
    QCOMPARE(selection->ids(), (QStringList{"2", "3"}));
    QCOMPARE(selection->current(), QStringLiteral("3"));
    selection->selectModule();
    QVERIFY(selection->moduleSelected() && selection->ids().isEmpty());
    selection->clear();
    QCOMPARE(changed.count(), 4);
    QVERIFY(selection->isEmpty());
}

void TestDesignDocument::randomOperationsUndoToTheStart()
{
    static const QStringList kinds = {"图片", "热点", "文字", "视频", "收藏", "二维码"};
    QRandomGenerator random(20261209);
    for (int i = 0; i < 4; ++i)
        mDocument->record(QStringLiteral("添加图片"), [this] { addRow(mTable, QStringLiteral("图片")); });
    const auto startRows = mTable->rows();
    const QString startCode = Test::generated(*mTable);
    QUndoStack *stack = mDocument->undoStack();
    const int base = stack->index();

    for (int i = 0; i < 200; ++i) {
        const int choice = random.bounded(6);
        mDocument->record(QStringLiteral("操作"), [&] {
            const int row = mTable->count() > 1 ? 1 + random.bounded(mTable->count() - 1) : -1;
            switch (choice) {
            case 0: addRow(mTable, kinds.at(random.bounded(kinds.size()))); break;
            case 1: if (row > 0) mTable->deleteRow(row); break;
            case 2:
                if (row > 0) {
                    mTable->setCell(row, T::Left, QString::number(random.bounded(900)));
                    mTable->setCell(row, T::Top, QString::number(random.bounded(400)));
                }
                break;
            case 3: if (row > 0) mTable->setCell(row, T::Link, QStringLiteral("https://shop.example/%1").arg(i)); break;
            case 4: mTable->setCell(0, T::Height, QString::number(200 + random.bounded(600))); break;
            case 5: if (row > 0) mTable->setCell(row, T::Locked, random.bounded(2) ? "是" : "否"); break;
            }
        }, choice == 2 ? DesignStep::kTypingId : -1, choice == 2 ? QStringLiteral("drag") : QString());
        // Now and then an undo in between, whose redo branch the next step drops.
        if (random.bounded(10) == 0 && stack->index() > base)
            stack->undo();
    }
    const auto endRows = mTable->rows();
    const QString endCode = Test::generated(*mTable);
    const int end = stack->index();
    while (stack->index() > base)
        stack->undo();
    QCOMPARE(mTable->rows(), startRows);
    QCOMPARE(Test::generated(*mTable), startCode);
    while (stack->index() < end)
        stack->redo();
    QCOMPARE(mTable->rows(), endRows);
    QCOMPARE(Test::generated(*mTable), endCode);
}

void TestDesignDocument::strayWritesStopTheProgram_data()
{
    QTest::addColumn<QString>("write");
    QTest::addColumn<bool>("stops");
    QTest::newRow("a cell outside any step") << QStringLiteral("cell") << true;
    QTest::newRow("a row outside any step") << QStringLiteral("row") << true;
    QTest::newRow("a write said to be unstepped") << QStringLiteral("unstepped") << false;
    QTest::newRow("a write in a step") << QStringLiteral("step") << false;
}

void TestDesignDocument::strayWritesStopTheProgram()
{
    QFETCH(QString, write);
    QFETCH(bool, stops);
    // Checked as the test suite checks every program, in release builds too.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PLUMBROOK_CHECK_WRITES"), QStringLiteral("1"));
    environment.insert(QString::fromLatin1(kChildWrite), write);
    // Without a console Windows' programs log to the debugger, not to the pipe read here.
    environment.insert(QStringLiteral("QT_FORCE_STDERR_LOGGING"), QStringLiteral("1"));
    QProcess child;
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("writeAsChild")});
    QVERIFY(child.waitForFinished(120000));
    const QByteArray output = child.readAllStandardOutput() + child.readAllStandardError();
    const bool stopped = child.exitStatus() == QProcess::CrashExit || child.exitCode() != 0;
    QVERIFY2(stopped == stops, output.constData());
    QCOMPARE(output.contains("The design's table was written outside any step"), stops);
}

void TestDesignDocument::writeAsChild()
{
    const QString write = qEnvironmentVariable(kChildWrite);
    if (write.isEmpty())
        QSKIP("Run by strayWritesStopTheProgram only");
    if (write == QStringLiteral("cell"))
        mTable->setCell(0, T::Left, QStringLiteral("3"));
    else if (write == QStringLiteral("row"))
        addRow(mTable, QStringLiteral("图片"));
    else if (write == QStringLiteral("unstepped"))
        mDocument->writeUnstepped([this] { mTable->setCell(0, T::Left, QStringLiteral("3")); });
    else
        mDocument->record(QStringLiteral("移动"), [this] { mTable->setCell(0, T::Left, QStringLiteral("3")); });
}

QTEST_MAIN(TestDesignDocument)
#include "tst_design_document.moc"
