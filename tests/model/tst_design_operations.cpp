#include "model/carousel_settings.h"
#include "model/component_clip.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/design_operations.h"
#include "model/kind_table.h"
#include "model/stacking_order.h"
#include "support/test_support.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QUndoStack>

#include <memory>

using namespace Plumbrook;
using T = ComponentTable;
namespace Ops = DesignOperations;
namespace CS = CarouselSettings;

Q_DECLARE_METATYPE(DesignChange::Origin)

class TestDesignOperations : public QObject
{
    Q_OBJECT

private slots:
    // Whatever the program does here, a write of the table outside a step stops it.
    void initTestCase() { DesignDocument::setStrayWritesFatal(true); }
    void init();
    void cleanup();

    void stackingFollowsTheCodesZIndex_data();
    void stackingFollowsTheCodesZIndex();
    void arrowsLieJustAboveTheirCarousel();
    void everyChangeIsAnnounced_data();
    void everyChangeIsAnnounced();
    void unsteppedWritesJoinTheStepBefore();
    void pasteMakesNewIdsAndKeepsEveryOtherCell();
    void pastedCarouselGetsItsOwnNumber();
    void clipSurvivesJson();
    void clipRefusesWhatIsNoClip_data();
    void clipRefusesWhatIsNoClip();
    void moveRowIsOneStep();

private:
    std::unique_ptr<Test::TemporaryProgramDir> mDir;
    std::unique_ptr<DesignDocument> mDocument;
    ComponentTable *mTable = nullptr;
};

void TestDesignOperations::init()
{
    mDir = std::make_unique<Test::TemporaryProgramDir>();
    mDocument = std::make_unique<DesignDocument>();
    mTable = mDocument->table();
}

void TestDesignOperations::cleanup()
{
    mDocument.reset();
    mDir.reset();
}

void TestDesignOperations::stackingFollowsTheCodesZIndex_data()
{
    QTest::addColumn<QString>("kind");
    for (const KindTable::KindInfo &kind : KindTable::all())
        QTest::newRow(qPrintable(kind.name)) << kind.name;
}

void TestDesignOperations::stackingFollowsTheCodesZIndex()
{
    QFETCH(QString, kind);
    QVERIFY(Ops::add(mDocument.get(), kind, QPoint(10, 20)) == 1);
    // The module's wrapper has none: the first z-index is the component's own.
    const QString code = Test::generated(*mTable);
    const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("z-index:\\s*(\\d+)")).match(code);
    QVERIFY2(match.hasMatch(), qPrintable(code.left(400)));
    QCOMPARE(StackingOrder::zIndexOf(kind), match.captured(1).toInt());
}

void TestDesignOperations::arrowsLieJustAboveTheirCarousel()
{
    const int carousel = Ops::add(mDocument.get(), QStringLiteral("轮播"), {});
    const int share = Ops::add(mDocument.get(), QStringLiteral("分享"), {});
    const int image = Ops::add(mDocument.get(), QStringLiteral("图片"), {});
    const int left = CS::leftArrowRow(*mTable, carousel);
    const int right = CS::rightArrowRow(*mTable, carousel);
    using StackingOrder::keyOf;
    QVERIFY(keyOf(*mTable, carousel) < keyOf(*mTable, left));
    QVERIFY(keyOf(*mTable, left) < keyOf(*mTable, right));
    QVERIFY(keyOf(*mTable, right) < keyOf(*mTable, image));
    QVERIFY(keyOf(*mTable, image) < keyOf(*mTable, share));
}

void TestDesignOperations::everyChangeIsAnnounced_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<DesignChange::Origin>("origin");
    QTest::addColumn<bool>("structural");
    QTest::newRow("add") << "add" << DesignChange::Done << true;
    QTest::newRow("move") << "move" << DesignChange::Done << false;
    QTest::newRow("undo") << "undo" << DesignChange::Undone << false;
    QTest::newRow("redo") << "redo" << DesignChange::Redone << false;
    QTest::newRow("delete") << "delete" << DesignChange::Done << true;
    QTest::newRow("import") << "import" << DesignChange::Imported << false;
    QTest::newRow("open") << "open" << DesignChange::Opened << false;
}

void TestDesignOperations::everyChangeIsAnnounced()
{
    QFETCH(QString, action);
    QFETCH(DesignChange::Origin, origin);
    QFETCH(bool, structural);
    const int row = Ops::add(mDocument.get(), QStringLiteral("图片"), QPoint(1, 2));
    const QString id = mTable->cell(row, T::Id);
    auto move = [&] { Ops::setFrames(mDocument.get(), QStringLiteral("移动"), {{id, QRect(5, 6, 7, 8)}}); };
    if (action == QLatin1String("undo") || action == QLatin1String("redo"))
        move();
    if (action == QLatin1String("redo"))
        mDocument->undoStack()->undo();
    QSignalSpy changed(mDocument.get(), &DesignDocument::changed);
    if (action == QLatin1String("add"))
        Ops::add(mDocument.get(), QStringLiteral("文字"), {});
    else if (action == QLatin1String("move"))
        move();
    else if (action == QLatin1String("undo"))
        mDocument->undoStack()->undo();
    else if (action == QLatin1String("redo"))
        mDocument->undoStack()->redo();
    else if (action == QLatin1String("delete"))
        Ops::remove(mDocument.get(), {id});
    else if (action == QLatin1String("import"))
        mDocument->replaceDesign(QStringLiteral("导入代码"), mDocument->design());
    else
        mDocument->resetDesign(mDocument->design());
    QCOMPARE(changed.size(), 1);
    const auto change = changed.at(0).at(0).value<DesignChange>();
    QCOMPARE(change.origin, origin);
    QCOMPARE(change.structural, structural);
    if (action == QLatin1String("move") || action == QLatin1String("undo") || action == QLatin1String("redo")) {
        QCOMPARE(change.ids, QSet<QString>{id});
        QVERIFY(change.columns.value(id).contains(T::Left));
    }
}

void TestDesignOperations::unsteppedWritesJoinTheStepBefore()
{
    const int row = Ops::add(mDocument.get(), QStringLiteral("热点"), QPoint(3, 4));
    QSignalSpy changed(mDocument.get(), &DesignDocument::changed);
    mDocument->writeUnstepped([&] { mTable->setCell(0, T::Width, QStringLiteral("990")); });
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed.at(0).at(0).value<DesignChange>().origin, DesignChange::Measured);
    QVERIFY(changed.at(0).at(0).value<DesignChange>().module);
    QCOMPARE(mDocument->undoStack()->count(), 1);
    mDocument->undoStack()->undo();
    QCOMPARE(mTable->count(), 1);
    QCOMPARE(mTable->cell(0, T::Width), QStringLiteral("950"));
    Q_UNUSED(row);
}

void TestDesignOperations::pasteMakesNewIdsAndKeepsEveryOtherCell()
{
    const int row = Ops::add(mDocument.get(), QStringLiteral("放大"), QPoint(30, 40));
    const QString id = mTable->cell(row, T::Id);
    Ops::setLocked(mDocument.get(), {id}, true);
    const QStringList copies = Ops::paste(mDocument.get(), QStringLiteral("复制"),
                                          Ops::clipOf(mDocument.get(), {id}), QPoint(10, 10));
    QCOMPARE(copies.size(), 1);
    QVERIFY(copies.constFirst() != id);
    const QStringList copy = mTable->rowCells(mTable->findRowById(copies.constFirst()));
    const QStringList source = mTable->rowCells(row);
    QCOMPARE(copy.at(T::Left), QStringLiteral("40"));
    QCOMPARE(copy.at(T::Top), QStringLiteral("50"));
    QVERIFY(copy.at(T::Locked).isEmpty());
    for (int column : {T::Kind, T::Width, T::Height, T::Picture, T::Link, T::Text, T::Other2, T::BgCode})
        QCOMPARE(copy.at(column), source.at(column));
    QCOMPARE(mDocument->undoStack()->undoText(), QStringLiteral("复制放大"));
    // Put at a place, the copy lands there.
    const QStringList placed = Ops::paste(mDocument.get(), QStringLiteral("复制"),
                                          Ops::clipOf(mDocument.get(), {id}), {}, QPoint(158, 57));
    const int placedRow = mTable->findRowById(placed.constFirst());
    QCOMPARE(mTable->cell(placedRow, T::Left), QStringLiteral("158"));
    QCOMPARE(mTable->cell(placedRow, T::Top), QStringLiteral("57"));
}

void TestDesignOperations::pastedCarouselGetsItsOwnNumber()
{
    const int carousel = Ops::add(mDocument.get(), QStringLiteral("轮播"), QPoint(0, 0));
    const int number = CS::numberOf(*mTable, carousel);
    const QString id = mTable->cell(carousel, T::Id);
    const ComponentClip clip = Ops::clipOf(mDocument.get(), {id});
    QCOMPARE(clip.rows.size(), 3);
    QVERIFY(clip.carousels.contains(number));
    CS::write(number, CS::kShowArrows, QStringLiteral("1"));
    const QStringList copies = Ops::paste(mDocument.get(), QStringLiteral("粘贴"), clip, QPoint(10, 10));
    QCOMPARE(copies.size(), 3);
    QCOMPARE(copies.at(1).toInt(), copies.at(0).toInt() + 1);
    QCOMPARE(copies.at(2).toInt(), copies.at(0).toInt() + 2);
    const int copyRow = mTable->findRowById(copies.at(0));
    const int copyNumber = CS::numberOf(*mTable, copyRow);
    QVERIFY(copyNumber != number);
    // The copy has the settings as they were copied, not as they are now.
    QString copied;
    for (const auto &[key, value] : clip.carousels.value(number)) {
        if (key == CS::kShowArrows)
            copied = value;
    }
    QVERIFY(copied != QLatin1String("1"));
    QCOMPARE(CS::read(copyNumber, CS::kShowArrows), copied);
    QCOMPARE(CS::leftArrowRow(*mTable, copyRow), copyRow + 1);
    QCOMPARE(mDocument->undoStack()->undoText(), QStringLiteral("粘贴轮播"));
    mDocument->undoStack()->undo();
    QCOMPARE(mTable->componentCount(), 3);
}

void TestDesignOperations::clipSurvivesJson()
{
    Ops::add(mDocument.get(), QStringLiteral("轮播"), QPoint(5, 6));
    Ops::add(mDocument.get(), QStringLiteral("文字"), QPoint(7, 8));
    QStringList ids;
    for (int row = 1; row < mTable->count(); ++row)
        ids.append(mTable->cell(row, T::Id));
    const ComponentClip clip = Ops::clipOf(mDocument.get(), ids);
    const ComponentClip back = ComponentClip::fromJson(clip.toJson());
    QCOMPARE(back.rows, clip.rows);
    QCOMPARE(back.carousels, clip.carousels);
}

void TestDesignOperations::clipRefusesWhatIsNoClip_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<int>("rows");
    QTest::newRow("not JSON") << QByteArray("<p>hello</p>") << 0;
    QTest::newRow("a cell that is a number") << QByteArray(R"({"rows":[["1",2]]})") << 0;
    QTest::newRow("a row that is no list") << QByteArray(R"({"rows":["1"]})") << 0;
    QTest::newRow("a short row is padded") << QByteArray(R"({"rows":[["7","图片"]]})") << 1;
    QTest::newRow("bad carousel numbers are skipped") << QByteArray(R"({"rows":[["7","图片"]],"carousels":{"x":[]}})") << 1;
}

void TestDesignOperations::clipRefusesWhatIsNoClip()
{
    QFETCH(QByteArray, json);
    QFETCH(int, rows);
    const ComponentClip clip = ComponentClip::fromJson(json);
    QCOMPARE(clip.rows.size(), rows);
    for (const QStringList &cells : clip.rows)
        QCOMPARE(cells.size(), int(T::ColumnCount));
    QVERIFY(clip.carousels.isEmpty());
}

void TestDesignOperations::moveRowIsOneStep()
{
    Ops::add(mDocument.get(), QStringLiteral("图片"), {});
    Ops::add(mDocument.get(), QStringLiteral("热点"), {});
    Ops::add(mDocument.get(), QStringLiteral("文字"), {});
    const QVector<QStringList> before = mTable->rows();
    QVERIFY(Ops::moveRow(mDocument.get(), QStringLiteral("置于底层"), 3, 1));
    QCOMPARE(mTable->cell(1, T::Kind), QStringLiteral("文字"));
    QCOMPARE(mTable->cell(2, T::Kind), QStringLiteral("图片"));
    QCOMPARE(mDocument->undoStack()->undoText(), QStringLiteral("置于底层文字"));
    mDocument->undoStack()->undo();
    QCOMPARE(mTable->rows(), before);
    QVERIFY(!Ops::moveRow(mDocument.get(), QStringLiteral("置于底层"), 0, 2));
    QVERIFY(!Ops::moveRow(mDocument.get(), QStringLiteral("置于底层"), 2, 9));
}

QTEST_MAIN(TestDesignOperations)
#include "tst_design_operations.moc"
