// The layer list stands in the order the shop stacks the generated code, and the
// stacking operations move rows within a z-index level, one step each.
#include "../codegen/golden_cases.h"

#include "model/design_json.h"
#include "codegen/module_generator.h"
#include "model/program_dir.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/kind_table.h"
#include "model/layer_list_model.h"
#include "model/layer_stacking.h"

#include <QJsonDocument>
#include <QRegularExpression>
#include <QUndoStack>
#include <QtTest>

using namespace Plumbrook;
using T = ComponentTable;
using M = LayerStacking::Move;

Q_DECLARE_METATYPE(LayerStacking::Move)

class TestLayerStacking : public QObject
{
    Q_OBJECT

private slots:
    void listIsTheShopsStacking_data();
    void listIsTheShopsStacking();
    void moves_data();
    void moves();
    void drops_data();
    void drops();
    void arrowsStandUnderTheirCarousel();
    void arrowStandsForItsCarousel();
    void listKeepsSelectionThroughAMove();
    void togglesAreSteps();
    void shortLabels_data();
    void shortLabels();
    void hiddenInDesignFiles_data();
    void hiddenInDesignFiles();
    void hidingIsAStepThatLeavesTheCode();
};

namespace {

// A design of five components over three z-index levels: ids 2..6.
DesignFile::Design fiveLevels()
{
    DesignFile::Design design;
    design.rows.append(T::initialModuleRecord());
    const QStringList kinds = {QStringLiteral("图片"), QStringLiteral("分享"), QStringLiteral("图片"),
                               QStringLiteral("收藏"), QStringLiteral("图片")};
    for (qsizetype i = 0; i < kinds.size(); ++i) {
        QStringList cells(T::ColumnCount);
        cells[T::Id] = QString::number(i + 2);
        cells[T::Kind] = kinds.at(i);
        cells[T::Width] = QStringLiteral("100");
        cells[T::Height] = QStringLiteral("50");
        cells[T::Left] = QString::number(10 * i);
        cells[T::Top] = QStringLiteral("5");
        cells[T::Picture] = QStringLiteral("https://img.example/%1.jpg").arg(i + 2);
        design.rows.append(cells);
    }
    return design;
}

QStringList rowIds(const ComponentTable &table)
{
    QStringList ids;
    for (int row = 1; row < table.count(); ++row)
        ids.append(table.cell(row, T::Id));
    return ids;
}

// The table's rows put in the order of `ids`, as a design of its own.
DesignFile::Design reorderedDesign(const ComponentTable &table, const QStringList &ids)
{
    DesignFile::Design design;
    design.rows.append(table.rowCells(0));
    for (const QString &id : ids)
        design.rows.append(table.rowCells(table.findRowById(id)));
    return design;
}

QString codeOf(const DesignFile::Design &design)
{
    ComponentTable table;
    table.replaceRows(design.rows);
    return Test::withoutRandomNames(ModuleGenerator(table).generate());
}

// The zoom kind's random class names drawn alike in every generation.
GenerationSources fixedDigits()
{
    GenerationSources sources;
    sources.randomDigit = [] { return 7; };
    return sources;
}

// Generation stops at the first row without a kind.
int emittedRows(const ComponentTable &table)
{
    int row = 1;
    while (row < table.count() && !table.cell(row, T::Kind).isEmpty())
        ++row;
    return row;
}

// Each line's component as the shop stacks it: by the z-index its code gives its
// outer element, then the later in the code over the earlier. Lines without code
// (arrows, empty kinds) are left out.
QStringList shopStacking(const ComponentTable &table)
{
    static const QRegularExpression zIndex(QStringLiteral("z-index:\\s*(\\d+)"));
    const ModuleGenerator generator(table, fixedDigits());
    const QString code = generator.generate();
    struct Placed
    {
        QString id;
        int z;
        qsizetype at;
    };
    QVector<Placed> placed;
    qsizetype from = 0;
    for (int row = 1; row < emittedRows(table); ++row) {
        const QString piece = generator.finishedComponentCode(row);
        if (piece.isEmpty())
            continue;
        const qsizetype at = code.indexOf(piece, from);
        if (at < 0)
            return {QStringLiteral("code of row %1 not found in the module code").arg(row)};
        from = at + piece.size();
        const QRegularExpressionMatch match = zIndex.match(piece);
        placed.append({table.cell(row, T::Id), match.hasMatch() ? match.captured(1).toInt() : 0, at});
    }
    std::sort(placed.begin(), placed.end(), [](const Placed &a, const Placed &b) {
        return a.z != b.z ? a.z > b.z : a.at > b.at;
    });
    QStringList ids;
    for (const Placed &each : std::as_const(placed))
        ids.append(each.id);
    return ids;
}

QStringList listedWithCode(const LayerListModel &model, const ComponentTable &table)
{
    const ModuleGenerator generator(table, fixedDigits());
    QStringList ids;
    for (int line = 0; line < model.rowCount(); ++line) {
        const QString id = model.idAt(model.index(line, 0));
        const int row = table.findRowById(id);
        if (row < emittedRows(table) && !generator.finishedComponentCode(row).isEmpty())
            ids.append(id);
    }
    return ids;
}

} // namespace

void TestLayerStacking::listIsTheShopsStacking_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("move");   // -1: none
    for (const QString &name : Test::GoldenCase::names()) {
        QTest::addRow("%s", qPrintable(name)) << name << -1;
        for (M move : {M::ToTop, M::Up, M::Down, M::ToBottom})
            QTest::addRow("%s %s", qPrintable(name), qPrintable(LayerStacking::nameOf(move))) << name << int(move);
    }
}

void TestLayerStacking::listIsTheShopsStacking()
{
    QFETCH(QString, name);
    QFETCH(int, move);
    const Test::GoldenCase golden = Test::GoldenCase::named(name);
    ComponentTable loaded;
    QVERIFY(DesignJson::readFile(golden.designPath(), loaded));
    ProgramDir::setOverride(golden.dir);
    DesignDocument document;
    document.resetDesign({loaded.rows(), {}, {}, {}, {}, {}});
    LayerListModel model(&document);
    ComponentTable *table = document.table();
    QCOMPARE(listedWithCode(model, *table), shopStacking(*table));

    if (move >= 0 && table->componentCount() > 1) {
        // The line in the middle of the largest level, which every move can move.
        QHash<int, QStringList> levels;
        for (int line = 0; line < model.rowCount(); ++line)
            levels[model.index(line, 0).data(LayerListModel::ZIndexRole).toInt()].append(model.idAt(model.index(line, 0)));
        QStringList largest;
        for (const QStringList &level : std::as_const(levels))
            largest = level.size() > largest.size() ? level : largest;
        const QString id = largest.at(largest.size() / 2);
        const QStringList before = rowIds(*table);
        const QString codeBefore = Test::withoutRandomNames(Test::generated(*table));
        const LayerStacking::Outcome outcome = LayerStacking::move(&document, {id}, M(move));
        QCOMPARE(listedWithCode(model, *table), shopStacking(*table));
        if (outcome.moved) {
            const QStringList after = rowIds(*table);
            QVERIFY(after != before);
            QVERIFY(Test::withoutRandomNames(Test::generated(*table)) != codeBefore);
            document.undoStack()->undo();
            QCOMPARE(rowIds(*table), before);
            QCOMPARE(listedWithCode(model, *table), shopStacking(*table));
            document.undoStack()->redo();
            QCOMPARE(rowIds(*table), after);
            QCOMPARE(listedWithCode(model, *table), shopStacking(*table));
        }
    }
    ProgramDir::setOverride(QString());
}

void TestLayerStacking::moves_data()
{
    QTest::addColumn<M>("move");
    QTest::addColumn<QStringList>("ids");
    QTest::addColumn<QStringList>("rowsAfter");
    QTest::addColumn<QString>("message");
    // Rows: 2 图片, 3 分享, 4 图片, 5 收藏, 6 图片; the pictures' rows are 1, 3 and 5.
    const QStringList unmoved = {"2", "3", "4", "5", "6"};
    QTest::newRow("up one") << M::Up << QStringList{"2"} << QStringList{"4", "3", "2", "5", "6"} << QString();
    QTest::newRow("to the top") << M::ToTop << QStringList{"2"} << QStringList{"4", "3", "6", "5", "2"} << QString();
    QTest::newRow("down one") << M::Down << QStringList{"6"} << QStringList{"2", "3", "6", "5", "4"} << QString();
    QTest::newRow("to the bottom") << M::ToBottom << QStringList{"6"} << QStringList{"6", "3", "2", "5", "4"} << QString();
    QTest::newRow("two up keep their order") << M::Up << QStringList{"2", "4"} << QStringList{"6", "3", "2", "5", "4"} << QString();
    QTest::newRow("two to the bottom keep their order") << M::ToBottom << QStringList{"6", "4"}
                                                        << QStringList{"4", "3", "6", "5", "2"} << QString();
    QTest::newRow("top picture under the favourite") << M::Up << QStringList{"6"} << unmoved
                                                     << QStringLiteral("收藏 总在图片之上");
    QTest::newRow("bottom picture to the bottom") << M::ToBottom << QStringList{"2"} << unmoved << QString();
    QTest::newRow("share over the favourite") << M::Down << QStringList{"3"} << unmoved
                                              << QStringLiteral("分享 总在收藏之上");
    QTest::newRow("share alone at the top") << M::ToTop << QStringList{"3"} << unmoved << QString();
    QTest::newRow("favourite under the share") << M::ToTop << QStringList{"5"} << unmoved
                                               << QStringLiteral("分享 总在收藏之上");
    QTest::newRow("favourite over the pictures") << M::ToBottom << QStringList{"5"} << unmoved
                                                 << QStringLiteral("收藏 总在图片之上");
    QTest::newRow("unknown id") << M::Up << QStringList{"99"} << unmoved << QString();
}

void TestLayerStacking::moves()
{
    QFETCH(M, move);
    QFETCH(QStringList, ids);
    QFETCH(QStringList, rowsAfter);
    QFETCH(QString, message);
    DesignDocument document;
    document.resetDesign(fiveLevels());
    ComponentTable *table = document.table();
    const QStringList before = rowIds(*table);
    const QString codeBefore = codeOf(document.design());

    const LayerStacking::Outcome outcome = LayerStacking::move(&document, ids, move);
    QCOMPARE(rowIds(*table), rowsAfter);
    QCOMPARE(outcome.message, message);
    const bool moved = rowsAfter != before;
    QCOMPARE(outcome.moved, moved);
    QCOMPARE(document.undoStack()->count(), moved ? 1 : 0);
    // The code is the moved design's: the same components, emitted in the new row order.
    QCOMPARE(codeOf(document.design()), codeOf(reorderedDesign(*table, rowsAfter)));
    if (!moved)
        return;
    QCOMPARE(document.undoStack()->text(0), LayerStacking::nameOf(move));
    QVERIFY(codeOf(document.design()) != codeBefore);
    document.undoStack()->undo();
    QCOMPARE(rowIds(*table), before);
    QCOMPARE(codeOf(document.design()), codeBefore);
    document.undoStack()->redo();
    QCOMPARE(rowIds(*table), rowsAfter);
}

void TestLayerStacking::drops_data()
{
    QTest::addColumn<QStringList>("ids");
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("above");
    QTest::addColumn<QStringList>("rowsAfter");
    QTest::addColumn<QString>("message");
    const QStringList unmoved = {"2", "3", "4", "5", "6"};
    QTest::newRow("above the top picture") << QStringList{"2"} << "6" << true
                                           << QStringList{"4", "3", "6", "5", "2"} << QString();
    QTest::newRow("below the middle picture") << QStringList{"6"} << "4" << false
                                              << QStringList{"2", "3", "6", "5", "4"} << QString();
    QTest::newRow("onto its own place") << QStringList{"4"} << "2" << true << unmoved << QString();
    QTest::newRow("share among the pictures") << QStringList{"3"} << "4" << true << unmoved
                                              << QStringLiteral("分享 总在图片之上");
    QTest::newRow("picture over the favourite") << QStringList{"2"} << "5" << true << unmoved
                                                << QStringLiteral("收藏 总在图片之上");
}

void TestLayerStacking::drops()
{
    QFETCH(QStringList, ids);
    QFETCH(QString, target);
    QFETCH(bool, above);
    QFETCH(QStringList, rowsAfter);
    QFETCH(QString, message);
    DesignDocument document;
    document.resetDesign(fiveLevels());
    const LayerStacking::Outcome outcome = LayerStacking::moveNextTo(&document, ids, target, above);
    QCOMPARE(rowIds(*document.table()), rowsAfter);
    QCOMPARE(outcome.message, message);
    QCOMPARE(document.undoStack()->count(), outcome.moved ? 1 : 0);
}

void TestLayerStacking::arrowsStandUnderTheirCarousel()
{
    DesignFile::Design design = fiveLevels();
    // A carousel (id 7) with its arrows (8, 9) written before it, and an arrow whose carousel is gone.
    const auto row = [](const QString &id, const QString &kind) {
        QStringList cells(T::ColumnCount);
        cells[T::Id] = id;
        cells[T::Kind] = kind;
        return cells;
    };
    design.rows.insert(1, row(QStringLiteral("9"), QStringLiteral("右箭头7")));
    design.rows.insert(1, row(QStringLiteral("8"), QStringLiteral("左箭头7")));
    design.rows.append(row(QStringLiteral("7"), QStringLiteral("轮播")));
    design.rows.append(row(QStringLiteral("21"), QStringLiteral("左箭头20")));
    DesignDocument document;
    document.resetDesign(design);
    LayerListModel model(&document);
    QCOMPARE(model.lineIds(), (QStringList{"3", "5", "7", "8", "9", "6", "4", "2", "21"}));
    const QModelIndex carousel = model.indexOfId(QStringLiteral("7"));
    QCOMPARE(model.rowCount(carousel), 2);
    QCOMPARE(model.idAt(model.index(0, 0, carousel)), QStringLiteral("8"));
    QCOMPARE(model.idAt(model.index(1, 0, carousel)), QStringLiteral("9"));
    QCOMPARE(model.parent(model.indexOfId(QStringLiteral("9"))), carousel);
    QCOMPARE(model.rowCount(model.indexOfId(QStringLiteral("21"))), 0);
}

void TestLayerStacking::arrowStandsForItsCarousel()
{
    DesignFile::Design design = fiveLevels();
    QStringList carousel(T::ColumnCount);
    carousel[T::Id] = QStringLiteral("7");
    carousel[T::Kind] = QStringLiteral("轮播");
    QStringList arrow(T::ColumnCount);
    arrow[T::Id] = QStringLiteral("8");
    arrow[T::Kind] = QStringLiteral("左箭头7");
    design.rows.append(carousel);
    design.rows.append(arrow);
    DesignDocument document;
    document.resetDesign(design);
    QVERIFY(LayerStacking::move(&document, {QStringLiteral("8")}, M::ToBottom).moved);
    QCOMPARE(rowIds(*document.table()), (QStringList{"7", "3", "2", "5", "4", "6", "8"}));
}

void TestLayerStacking::listKeepsSelectionThroughAMove()
{
    DesignDocument document;
    document.resetDesign(fiveLevels());
    LayerListModel model(&document);
    QItemSelectionModel selection(&model);
    selection.select(model.indexOfId(QStringLiteral("2")), QItemSelectionModel::Select);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    LayerStacking::move(&document, {QStringLiteral("2")}, M::ToTop);
    QCOMPARE(model.lineIds(), (QStringList{"3", "5", "2", "6", "4"}));
    QCOMPARE(resets.count(), 0);
    QCOMPARE(selection.selectedIndexes().size(), 1);
    QCOMPARE(model.idAt(selection.selectedIndexes().constFirst()), QStringLiteral("2"));
    // A component that goes is a new list.
    document.record(QStringLiteral("删除"), [&] { document.table()->deleteRow(1); });
    QCOMPARE(resets.count(), 1);
    QCOMPARE(model.lineIds(), (QStringList{"3", "5", "2", "6"}));
}

void TestLayerStacking::togglesAreSteps()
{
    DesignDocument document;
    document.resetDesign(fiveLevels());
    LayerListModel model(&document);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    const QModelIndex eye = model.indexOfId(QStringLiteral("4"), LayerListModel::ShownColumn);
    const QModelIndex lock = model.indexOfId(QStringLiteral("4"), LayerListModel::LockedColumn);
    QCOMPARE(eye.data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
    QVERIFY(model.setData(eye, Qt::Unchecked, Qt::CheckStateRole));
    QVERIFY(document.isHidden(QStringLiteral("4")));
    QCOMPARE(eye.data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    QVERIFY(eye.siblingAtColumn(0).data(Qt::ForegroundRole).isValid());
    QVERIFY(!changed.isEmpty());
    QVERIFY(model.setData(lock, Qt::Checked, Qt::CheckStateRole));
    QVERIFY(document.table()->isLocked(3));
    QCOMPARE(lock.data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
    QCOMPARE(document.undoStack()->count(), 2);
    QCOMPARE(document.undoStack()->text(0), QStringLiteral("隐藏"));
    QCOMPARE(document.undoStack()->text(1), QStringLiteral("锁定"));
    document.undoStack()->undo();
    document.undoStack()->undo();
    QVERIFY(!document.isHidden(QStringLiteral("4")));
    QVERIFY(!document.table()->isLocked(3));
    QCOMPARE(eye.data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
}

void TestLayerStacking::shortLabels_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("label");
    QTest::newRow("text's beginning") << "文字" << int(T::Picture) << "  亲爱的，\n咱不哭  " << "亲爱的， 咱不哭";
    QTest::newRow("long text cut") << "文字" << int(T::Picture) << "一二三四五六七八九十一二三四五六"
                                   << "一二三四五六七八九十一二三…";
    QTest::newRow("picture's file name") << "图片" << int(T::Picture)
                                         << "https://img.example/a/b/banner.jpg?x=1#top" << "banner.jpg";
    QTest::newRow("share's icon by its link") << "分享" << int(T::Link) << "//img.example/share.png" << "share.png";
    QTest::newRow("plain link") << "热点" << int(T::Link) << "#top" << "#top";
    QTest::newRow("bare hash says nothing") << "热点" << int(T::Link) << "#" << "";
}

void TestLayerStacking::shortLabels()
{
    QFETCH(QString, kind);
    QFETCH(int, column);
    QFETCH(QString, value);
    QFETCH(QString, label);
    QStringList cells(T::ColumnCount);
    cells[T::Kind] = kind;
    cells[column] = value;
    QCOMPARE(LayerListModel::shortLabel(cells), label);
}

void TestLayerStacking::hiddenInDesignFiles_data()
{
    QTest::addColumn<QByteArray>("hidden");   // the member's JSON, or empty for none
    QTest::addColumn<QStringList>("read");
    QTest::addColumn<bool>("valid");
    QTest::newRow("older file: all shown") << QByteArray() << QStringList() << true;
    QTest::newRow("two hidden") << QByteArray(R"("hidden": ["4", "2"],)") << QStringList{"4", "2"} << true;
    QTest::newRow("unknown and repeated ids dropped") << QByteArray(R"("hidden": ["99", "3", "3", "1"],)")
                                                      << QStringList{"3"} << true;
    QTest::newRow("not a list") << QByteArray(R"("hidden": "2",)") << QStringList() << false;
    QTest::newRow("not texts") << QByteArray(R"("hidden": [2],)") << QStringList() << false;
}

void TestLayerStacking::hiddenInDesignFiles()
{
    QFETCH(QByteArray, hidden);
    QFETCH(QStringList, read);
    QFETCH(bool, valid);
    DesignFile::Design design = fiveLevels();
    QByteArray bytes = DesignFile::serialise(design);
    QVERIFY(!bytes.contains("\"hidden\""));
    bytes.replace("\"rows\"", hidden + "\"rows\"");
    QString error;
    const std::optional<DesignFile::Design> parsed = DesignFile::parse(bytes, &error);
    QCOMPARE(parsed.has_value(), valid);
    if (!valid) {
        QCOMPARE(error, QStringLiteral("设计文件已损坏：隐藏组件的列表格式错误"));
        return;
    }
    QCOMPARE(parsed->hidden, read);
    // Written again as the JSON writer would write the same values.
    const QByteArray again = DesignFile::serialise(*parsed);
    QCOMPARE(again, QJsonDocument::fromJson(again).toJson(QJsonDocument::Indented));
    QCOMPARE(DesignFile::parse(again)->hidden, read);
    DesignDocument document;
    document.resetDesign(*parsed);
    for (const QString &id : read)
        QVERIFY(document.isHidden(id));
    QCOMPARE(document.design().hidden.size(), read.size());
}

void TestLayerStacking::hidingIsAStepThatLeavesTheCode()
{
    DesignDocument document;
    document.resetDesign(fiveLevels());
    QSignalSpy turned(&document, &DesignDocument::hiddenChanged);
    const QString code = codeOf(document.design());
    QVERIFY(document.record(QStringLiteral("隐藏"), [&] {
        document.setHidden({QStringLiteral("4"), QStringLiteral("6")}, true);
    }));
    QCOMPARE(document.hiddenIds(), (QStringList{"4", "6"}));
    QCOMPARE(codeOf(document.design()), code);
    QVERIFY(document.isModified());
    // Hiding what is hidden already is no step.
    QVERIFY(!document.record(QStringLiteral("隐藏"), [&] { document.setHidden({QStringLiteral("4")}, true); }));
    document.undoStack()->undo();
    QVERIFY(document.hiddenIds().isEmpty());
    QCOMPARE(turned.count(), 2);
    document.undoStack()->redo();
    QCOMPARE(document.hiddenIds(), (QStringList{"4", "6"}));
    // A deleted component comes back hidden with its undo; the file lists only those present.
    document.record(QStringLiteral("删除"), [&] { document.table()->deleteRow(3); });
    QCOMPARE(document.design().hidden, QStringList{"6"});
    document.undoStack()->undo();
    QCOMPARE(document.design().hidden, (QStringList{"4", "6"}));
    // Code put in place of the design shows all; undoing it hides them again.
    DesignFile::Design imported = fiveLevels();
    document.replaceDesign(QStringLiteral("导入代码"), imported);
    QVERIFY(document.hiddenIds().isEmpty());
    document.undoStack()->undo();
    QCOMPARE(document.hiddenIds(), (QStringList{"4", "6"}));
}

QTEST_GUILESS_MAIN(TestLayerStacking)
#include "tst_layer_stacking.moc"
