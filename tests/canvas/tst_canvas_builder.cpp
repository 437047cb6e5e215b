// A large design comes onto the canvas a slice at a time: whatever the user does
// while it does, every row ends with one object, stacked as the code stacks it.
#include "canvas/canvas_builder.h"
#include "canvas/design_canvas.h"
#include "canvas/design_loader.h"
#include "canvas/file_menu.h"
#include "canvas/main_window.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/design_operations.h"
#include "model/kind_table.h"
#include "support/canvas_driving.h"
#include "support/history_fixture.h"

#include <QPointer>
#include <QProgressDialog>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

using namespace Plumbrook;
using T = ComponentTable;

namespace {

// Every kind but the carousel in turn, `count` of them, the kinds stacking differently.
DesignFile::Design designOf(int count, int firstId)
{
    DesignFile::Design design;
    design.rows = {T::initialModuleRecord()};
    QList<KindTable::KindInfo> kinds;
    for (const KindTable::KindInfo &info : KindTable::all()) {
        if (info.kind != KindTable::Kind::Carousel)
            kinds.append(info);
    }
    for (int n = 0; n < count; ++n) {
        const KindTable::KindInfo &info = kinds.at(n % kinds.size());
        QStringList cells(T::ColumnCount);
        for (const auto &[column, text] : info.cells)
            cells[column] = text;
        cells[T::Id] = QString::number(firstId + n);
        cells[T::Kind] = info.name;
        cells[T::Width] = QStringLiteral("30");
        cells[T::Height] = QStringLiteral("20");
        cells[T::Left] = QString::number(n % 20 * 32);
        cells[T::Top] = QString::number(n / 20 * 22);
        design.rows.append(cells);
    }
    return design;
}

} // namespace

class TestCanvasBuilder : public QObject, public Test::HistoryFixture
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        DesignDocument::setStrayWritesFatal(true);
        CanvasBuilder::setSlicing(10, 7);
    }
    void init()
    {
        open();
        window()->fileMenu()->setAsker([](const QString &, const QStringList &) { return 1; });
    }
    void cleanup() { close(); }
    void doneWhileBuilding_data();
    void doneWhileBuilding();
    void doneBeforePreviewsStart_data();
    void doneBeforePreviewsStart();
    void openingShowsHowFarItIs();

private:
    QString disagreement() const;
};

QString TestCanvasBuilder::disagreement() const
{
    const QString stacking = Test::stackingDisagreement(canvas());
    if (!stacking.isEmpty())
        return stacking;
    for (int row = 1; row < table()->count(); ++row) {
        const QStringList cells = table()->rowCells(row);
        const QRect frame = canvas()->frameOf(canvas()->objectById(cells.at(T::Id))).translated(-canvas()->backgroundPos());
        if (frame.topLeft() != QPoint(cells.at(T::Left).toInt(), cells.at(T::Top).toInt()))
            return QStringLiteral("row %1 shown elsewhere").arg(row);
    }
    return {};
}

void TestCanvasBuilder::doneWhileBuilding_data()
{
    QTest::addColumn<QString>("action");
    QTest::addRow("nothing") << "nothing";
    QTest::addRow("a component not yet shown deleted") << "delete";
    QTest::addRow("a component added") << "add";
    QTest::addRow("a component added and undone") << "add, undo";
    QTest::addRow("a component moved to the bottom") << "lower";
    QTest::addRow("another design opened") << "open";
}

void TestCanvasBuilder::doneWhileBuilding()
{
    QFETCH(QString, action);
    DesignLoader::load(canvas(), designOf(300, 100));
    CanvasBuilder *builder = CanvasBuilder::of(canvas());
    QVERIFY(builder->isBuilding());
    QVERIFY(canvas()->allObjects().size() < 300);
    QSignalSpy finished(builder, &CanvasBuilder::finished);
    DesignDocument *document = window()->document();
    if (action == QLatin1String("delete")) {
        const QString last = QString::number(399);
        QVERIFY(!canvas()->objectById(last));
        QVERIFY(DesignOperations::remove(document, {last}));
    } else if (action.startsWith(QLatin1String("add"))) {
        QVERIFY(DesignOperations::add(document, KindTable::nameOf(KindTable::Kind::Text), QPoint(5, 5)) >= 1);
        if (action.endsWith(QLatin1String("undo")))
            QVERIFY(undo());
    } else if (action == QLatin1String("lower")) {
        const int row = table()->count() - 1;
        QVERIFY(DesignOperations::moveRow(document, QStringLiteral("置于底层"), row, 1));
    } else if (action == QLatin1String("open")) {
        DesignLoader::load(canvas(), designOf(40, 1000));
    }
    QVERIFY(finished.wait(20000));
    QVERIFY(!builder->isBuilding());
    const QString wrong = disagreement();
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    if (action == QLatin1String("open"))
        QCOMPARE(table()->componentCount(), 40);
    // Objects taken off are deleted, not only hidden.
    QList<QPointer<QWidget>> shown;
    for (QWidget *object : canvas()->allObjects())
        shown.append(object);
    DesignLoader::load(canvas(), designOf(0, 1));
    QCOMPARE(canvas()->allObjects().size(), 0);
    QTRY_VERIFY(std::all_of(shown.cbegin(), shown.cend(), [](const QPointer<QWidget> &object) { return object.isNull(); }));
}

void TestCanvasBuilder::doneBeforePreviewsStart_data()
{
    QTest::addColumn<QString>("action");
    QTest::addRow("nothing") << "nothing";
    QTest::addRow("a picture's address changed") << "address";
    QTest::addRow("a picture deleted") << "delete";
}

void TestCanvasBuilder::doneBeforePreviewsStart()
{
    QFETCH(QString, action);
    CanvasBuilder *builder = CanvasBuilder::of(canvas());
    QSignalSpy finished(builder, &CanvasBuilder::finished);
    DesignLoader::load(canvas(), designOf(300, 100));
    const auto pictureRow = [this] {
        for (int row = table()->count() - 1; row >= 1; --row) {
            if (KindTable::is(table()->cell(row, T::Kind), KindTable::Kind::Picture))
                return row;
        }
        return -1;
    };
    const QString changedUrl = QStringLiteral("https://img.example/changed.png");
    bool acted = false;
    // Every object made, its previews not yet set off: the user changes the design then.
    connect(builder, &CanvasBuilder::progressed, this, [&](int built, int total) {
        if (built < total || acted)
            return;
        acted = true;
        QVERIFY(builder->isBuilding());
        const int row = pictureRow();
        QVERIFY(row >= 1);
        if (action == QLatin1String("address")) {
            const int column = KindTable::find(table()->cell(row, T::Kind))->previewColumn;
            QVERIFY(window()->document()->record(QStringLiteral("编辑图片"), [&] {
                table()->setCell(row, column, changedUrl);
            }));
        } else if (action == QLatin1String("delete")) {
            QVERIFY(DesignOperations::remove(window()->document(), {table()->cell(row, T::Id)}));
        }
    });
    QVERIFY(finished.wait(20000));
    QVERIFY(acted);
    QVERIFY(!builder->isBuilding());
    // Each preview is set off for the address the row holds when it starts.
    int previews = 0;
    for (int row = 1; row < table()->count(); ++row) {
        const QStringList cells = table()->rowCells(row);
        const QString url = DesignLoader::previewUrl(cells, {});
        QWidget *object = canvas()->objectById(cells.at(T::Id));
        QVERIFY(object);
        QCOMPARE(object->property("previewUrl").toString(), url);
        previews += url.isEmpty() ? 0 : 1;
    }
    QVERIFY(previews > 0);
    if (action == QLatin1String("address"))
        QCOMPARE(canvas()->objectById(table()->cell(pictureRow(), T::Id))->property("previewUrl").toString(), changedUrl);
    QCOMPARE(table()->componentCount(), action == QLatin1String("delete") ? 299 : 300);
}

void TestCanvasBuilder::openingShowsHowFarItIs()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("large.plbd"));
    QVERIFY(DesignFile::writeFile(path, designOf(200, 100)));
    QVERIFY(window()->fileMenu()->openFile(path));
    QTRY_VERIFY(window()->findChild<QProgressDialog *>(QStringLiteral("正在显示")));
    auto *progress = window()->findChild<QProgressDialog *>(QStringLiteral("正在显示"));
    QCOMPARE(progress->maximum(), 200);
    QTRY_VERIFY(!window()->fileMenu()->openingProgress());
    QCOMPARE(canvas()->allObjects().size(), 200);
    // The window lets go of the design's lock before its folder goes.
    close();
}

QTEST_MAIN(TestCanvasBuilder)
#include "tst_canvas_builder.moc"
