#include "model/text_ops.h"
#include "model/component_table.h"

#include <QSignalSpy>
#include <QTest>

#include <functional>

using namespace Plumbrook;

class TestComponentTable : public QObject
{
    Q_OBJECT

private slots:
    void freshTableHoldsTheModuleRecord();
    void idsAndRowsAfterDeletion();
    void outOfRangeCellsReadEmptyAndIgnoreWrites();
    void lockFlag_data();
    void lockFlag();
    void rowSignals();
    void rowsFoundByIdAfterEachChange_data();
    void rowsFoundByIdAfterEachChange();
    void toInt_data();
    void toInt();
    void gbkLength_data();
    void gbkLength();
};

void TestComponentTable::freshTableHoldsTheModuleRecord()
{
    ComponentTable table;
    QCOMPARE(table.objectName(), QStringLiteral("超级列表框1"));
    QCOMPARE(table.rowCount(), 1);
    QCOMPARE(table.columnCount(), 19);
    const QStringList expectedHeaders = {
        "标识", "备注", "宽度", "高度", "左边", "顶边", "图片", "链接", "文字", "背景色",
        "其它", "是否锁定", "其它1", "其它2", "背景代码", "其它4", "其它5", "其它6", "背景"};
    for (int c = 0; c < 19; ++c)
        QCOMPARE(table.headerData(c, Qt::Horizontal).toString(), expectedHeaders.at(c));
    const QStringList record = table.rowCells(0);
    QCOMPARE(record.at(ComponentTable::Id), QStringLiteral("1"));
    QCOMPARE(record.at(ComponentTable::Kind), QStringLiteral("背景"));
    QCOMPARE(record.at(ComponentTable::Width), QStringLiteral("950"));
    QCOMPARE(record.at(ComponentTable::Height), QStringLiteral("500"));
    QCOMPARE(record.at(ComponentTable::Left), QStringLiteral("0"));
    QCOMPARE(record.at(ComponentTable::Top), QStringLiteral("0"));
    QCOMPARE(record.at(ComponentTable::BgColor), QStringLiteral("8445952"));
    QCOMPARE(record.at(ComponentTable::Other), QStringLiteral("2"));
    QCOMPARE(record.at(ComponentTable::Picture), QString());
}

void TestComponentTable::idsAndRowsAfterDeletion()
{
    ComponentTable table;
    table.setCreationCounter(1);
    for (int i = 0; i < 3; ++i)
        table.appendRow(QString::number(table.takeNextId()), QStringLiteral("图片"));
    table.deleteRow(table.findRowById(QStringLiteral("3")));
    QCOMPARE(table.findRowById(QStringLiteral("2")), 1);
    QCOMPARE(table.findRowById(QStringLiteral("4")), 2);
    QCOMPARE(table.findRowById(QStringLiteral("3")), -1);
    const int row = table.appendRow(QString::number(table.takeNextId()), QStringLiteral("热点"));
    QCOMPARE(row, 3);
    QCOMPARE(table.cell(3, ComponentTable::Id), QStringLiteral("5"));
}

void TestComponentTable::outOfRangeCellsReadEmptyAndIgnoreWrites()
{
    ComponentTable table;
    table.appendRow(QStringLiteral("2"), QStringLiteral("图片"));
    QCOMPARE(table.cell(5, 0), QString());
    QCOMPARE(table.cell(0, 19), QString());
    QCOMPARE(table.cell(-1, 0), QString());
    QCOMPARE(table.data(table.index(5, 1)).toString(), QString());
    table.setCell(5, 1, QStringLiteral("x"));
    table.setCell(-1, 1, QStringLiteral("x"));
    QCOMPARE(table.rowCount(), 2);
    table.deleteRow(-1);
    table.deleteRow(9);
    QCOMPARE(table.rowCount(), 2);
}

void TestComponentTable::lockFlag_data()
{
    QTest::addColumn<QString>("cell");
    QTest::addColumn<bool>("locked");
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("否") << QStringLiteral("否") << false;
    QTest::newRow("是") << QStringLiteral("是") << true;
    QTest::newRow("是 with space") << QStringLiteral("是 ") << false;
    QTest::newRow("yes") << QStringLiteral("yes") << false;
}

void TestComponentTable::lockFlag()
{
    QFETCH(QString, cell);
    QFETCH(bool, locked);
    ComponentTable table;
    const int row = table.appendRow(QStringLiteral("2"), QStringLiteral("图片"));
    table.setCell(row, ComponentTable::Locked, cell);
    QCOMPARE(table.isLocked(row), locked);
    QCOMPARE(table.isLocked(-1), false);
}

void TestComponentTable::rowSignals()
{
    ComponentTable table;
    QSignalSpy inserted(&table, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&table, &QAbstractItemModel::rowsRemoved);
    QSignalSpy changed(&table, &QAbstractItemModel::dataChanged);
    table.appendRow(QStringLiteral("2"), QStringLiteral("图片"));
    table.setCell(1, ComponentTable::Link, QStringLiteral("http://a"));
    table.setCell(1, ComponentTable::Link, QStringLiteral("http://a"));
    table.deleteRow(1);
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(inserted.at(0).at(1).toInt(), 1);
    QCOMPARE(removed.count(), 1);
    QCOMPARE(changed.count(), 1);
}

void TestComponentTable::toInt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("plain") << "950" << 950;
    QTest::newRow("leading blanks") << "  \t42" << 42;
    QTest::newRow("sign") << "-20" << -20;
    QTest::newRow("plus") << "+7" << 7;
    QTest::newRow("trailing junk") << "12px" << 12;
    QTest::newRow("letters") << "abc" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("sign only") << "-" << 0;
    QTest::newRow("inner blank") << "1 2" << 1;
    QTest::newRow("full-width digits") << "１２" << 0;
    QTest::newRow("huge") << "99999999999999999999" << INT_MAX;
    QTest::newRow("huge negative") << "-99999999999999999999" << INT_MIN;
    QTest::newRow("int max") << "2147483647" << INT_MAX;
    QTest::newRow("int min") << "-2147483648" << INT_MIN;
}

void TestComponentTable::toInt()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    QCOMPARE(TextOps::toInt(text), value);
}

void TestComponentTable::gbkLength_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("length");
    QTest::newRow("template text") << QStringLiteral("这里是文字内容") << 14;
    QTest::newRow("ascii") << QStringLiteral("abc") << 3;
    QTest::newRow("mixed") << QStringLiteral("a好b") << 4;
    QTest::newRow("empty") << QString() << 0;
}

void TestComponentTable::gbkLength()
{
    QFETCH(QString, text);
    QFETCH(int, length);
    QCOMPARE(TextOps::gbkLength(text), length);
}

void TestComponentTable::rowsFoundByIdAfterEachChange_data()
{
    // Each change is applied to a table of rows "2".."6" after a first lookup.
    using Change = std::function<void(ComponentTable &)>;
    QTest::addColumn<Change>("change");
    QTest::newRow("append") << Change([](ComponentTable &t) { t.appendRow("7", "图片"); });
    QTest::newRow("append an existing id") << Change([](ComponentTable &t) { t.appendRow("3", "图片"); });
    QTest::newRow("insert in the middle") << Change([](ComponentTable &t) { t.insertRowAt(2, {"9", "图片"}); });
    QTest::newRow("delete") << Change([](ComponentTable &t) { t.deleteRow(2); });
    QTest::newRow("id edited") << Change([](ComponentTable &t) { t.setCell(4, ComponentTable::Id, "40"); });
    QTest::newRow("other cell edited") << Change([](ComponentTable &t) { t.setCell(4, ComponentTable::Left, "1"); });
    QTest::newRow("replaced") << Change([](ComponentTable &t) {
        t.replaceRows({ComponentTable::initialModuleRecord(), {"6", "文字"}, {"2", "图片"}});
    });
    QTest::newRow("reset") << Change([](ComponentTable &t) { t.resetToModuleRecord(); });
}

void TestComponentTable::rowsFoundByIdAfterEachChange()
{
    QFETCH(std::function<void(ComponentTable &)>, change);
    ComponentTable table;
    for (int id = 2; id <= 6; ++id)
        table.appendRow(QString::number(id), QStringLiteral("图片"));
    QCOMPARE(table.findRowById(QStringLiteral("4")), 3);
    change(table);
    for (const char *latin1 : {"0", "2", "3", "4", "6", "7", "9", "40", "none"}) {
        const QString id = QString::fromLatin1(latin1);
        int expected = -1;
        for (int row = 0; row < table.count() && expected < 0; ++row) {
            if (table.cell(row, ComponentTable::Id) == id)
                expected = row;
        }
        QCOMPARE(table.findRowById(id), expected);
    }
}

QTEST_GUILESS_MAIN(TestComponentTable)
#include "tst_component_table.moc"
