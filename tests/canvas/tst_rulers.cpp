#include "canvas/arrange_menu.h"
#include "canvas/canvas_interaction.h"
#include "canvas/canvas_ruler.h"
#include "canvas/canvas_scroller.h"
#include "canvas/canvas_surface.h"
#include "canvas/design_canvas.h"
#include "canvas/drag_snapper.h"
#include "canvas/main_window.h"
#include "canvas/ruler_guides.h"
#include "components/component_creation.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/design_file.h"
#include "model/design_operations.h"
#include "support/editor_driving.h"

#include <QApplication>
#include <QLabel>
#include <QProcess>
#include <QTest>

#include <cmath>

using namespace Plumbrook;
using T = ComponentTable;

namespace {

// Set in the copy of this program run at another scale factor.
const char *const kScaleVariable = "PLUMBROOK_TEST_SCALE";

bool scaledRun()
{
    return qEnvironmentVariableIsSet(kScaleVariable);
}

} // namespace

class TestRulers : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void guideMeetsComponent_data();
    void guideMeetsComponent();
    void atScaleFactor();
    void guidesDraggedFromRulersAndBack();
    void snappingToGuidesAndGrid_data();
    void snappingToGuidesAndGrid();
    void guidesKeptInTheDesignFile();

private:
    QWidget *create(const QPoint &moduleAt, const QSize &size);
    RulerGuides *rulers() const { return mWindow->rulers(); }

    std::unique_ptr<Test::DesignerWindow> mDesigner;
    MainWindow *mWindow = nullptr;
    DesignCanvas *mCanvas = nullptr;
};

void TestRulers::init()
{
    mDesigner = std::make_unique<Test::DesignerWindow>();
    mWindow = mDesigner->window();
    mCanvas = mWindow->canvas();
    if (scaledRun())
        QCOMPARE(mWindow->devicePixelRatioF(), qEnvironmentVariable(kScaleVariable).toDouble());
}

void TestRulers::cleanup()
{
    mDesigner.reset();
}

QWidget *TestRulers::create(const QPoint &moduleAt, const QSize &size)
{
    const int row = mCanvas->addComponent(QStringLiteral("图片"));
    const QString id = mWindow->table()->cell(row, T::Id);
    DesignOperations::setFrames(mWindow->document(), QStringLiteral("移动"), {{id, QRect(moduleAt, size)}});
    return mCanvas->objectById(id);
}

void TestRulers::guideMeetsComponent_data()
{
    QTest::addColumn<double>("zoom");
    QTest::addColumn<QPoint>("scroll");
    QTest::newRow("50 %") << 0.5 << QPoint(0, 0);
    QTest::newRow("100 %") << 1.0 << QPoint(0, 0);
    QTest::newRow("200 %") << 2.0 << QPoint(0, 0);
    QTest::newRow("200 %, scrolled") << 2.0 << QPoint(230, 170);
}

void TestRulers::guideMeetsComponent()
{
    QFETCH(double, zoom);
    QFETCH(QPoint, scroll);
    QWidget *object = create(QPoint(300, 120), QSize(50, 50));
    mWindow->document()->setGuides({300}, {120});
    mWindow->scroller()->zoomTo(zoom);
    mWindow->scroller()->scrollTo(scroll);
    QCOMPARE(mWindow->table()->cellInt(mWindow->table()->count() - 1, T::Left), 300);

    const QPoint corner = object->mapToGlobal(QPoint(0, 0));
    QWidget *vertical = rulers()->guides(Qt::Vertical).value(0);
    QWidget *horizontal = rulers()->guides(Qt::Horizontal).value(0);
    QVERIFY(vertical && horizontal);
    QCOMPARE(vertical->mapToGlobal(QPoint(RulerGuides::lineOffset(), 0)).x(), corner.x());
    QCOMPARE(horizontal->mapToGlobal(QPoint(0, RulerGuides::lineOffset())).y(), corner.y());

    // The rulers' numbered marks for 300 and 120 stand there too, in whole device pixels.
    for (Qt::Orientation orientation : {Qt::Horizontal, Qt::Vertical}) {
        CanvasRuler *ruler = rulers()->ruler(orientation);
        const bool across = orientation == Qt::Horizontal;
        const int module = across ? 300 : 120;
        QCOMPARE(ruler->moduleAt(ruler->positionOf(module)), module);
        const QPoint at = ruler->label()->mapFromGlobal(corner);
        QCOMPARE(ruler->positionOf(module), across ? at.x() : at.y());
        const QImage strip = ruler->label()->pixmap().toImage();
        const double ratio = strip.devicePixelRatio();
        QCOMPARE(ratio, mWindow->devicePixelRatioF());
        const int device = int(std::lround(ruler->positionOf(module) * ratio));
        const int edge = across ? strip.height() - 1 : strip.width() - 1;
        const auto pixel = [&](int along) {
            return across ? strip.pixelColor(along, edge) : strip.pixelColor(edge, along);
        };
        if (module % CanvasRuler::numberedStep(zoom) != 0 && module % (CanvasRuler::numberedStep(zoom) / 10) != 0)
            continue;
        QCOMPARE(pixel(device), CanvasRuler::markColour());
        // Crisp: its neighbours are the ground's own colour, nothing blended.
        QCOMPARE(pixel(device - 1), CanvasRuler::groundColour());
        QCOMPARE(pixel(device + 1), CanvasRuler::groundColour());
    }
}

void TestRulers::atScaleFactor()
{
    if (scaledRun())
        QSKIP("This is the run at the other scale factor");
    QProcess run;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(kScaleVariable), QStringLiteral("1.5"));
    run.setProcessEnvironment(environment);
    run.setProcessChannelMode(QProcess::MergedChannels);
    run.start(QCoreApplication::applicationFilePath(),
              {QStringLiteral("guideMeetsComponent"), QStringLiteral("guidesDraggedFromRulersAndBack")});
    QVERIFY(run.waitForFinished(120000));
    QVERIFY2(run.exitStatus() == QProcess::NormalExit && run.exitCode() == 0, run.readAll().constData());
}

void TestRulers::guidesDraggedFromRulersAndBack()
{
    QLabel *top = rulers()->ruler(Qt::Horizontal)->label();
    QLabel *side = rulers()->ruler(Qt::Vertical)->label();
    QWidget *surface = mCanvas->surface();
    const QPoint module = mCanvas->backgroundPos() * mCanvas->zoom();
    const auto onRuler = [](QWidget *ruler, const QPoint &surfacePoint, QWidget *from) {
        return ruler->mapFromGlobal(from->mapToGlobal(surfacePoint));
    };

    // Out of the top ruler to module y = 80: a horizontal guide.
    const QPoint target = module + QPoint(200, 80);
    QTest::mousePress(top, Qt::LeftButton, {}, QPoint(100, 5));
    QTest::mouseMove(top, onRuler(top, target, surface));
    QTest::mouseRelease(top, Qt::LeftButton, {}, onRuler(top, target, surface));
    QCOMPARE(mWindow->document()->guidesY(), QVector<int>{80});
    // Out of the side ruler to module x = 150.
    QTest::mousePress(side, Qt::LeftButton, {}, QPoint(5, 100));
    QTest::mouseRelease(side, Qt::LeftButton, {}, onRuler(side, module + QPoint(150, 40), surface));
    QCOMPARE(mWindow->document()->guidesX(), QVector<int>{150});

    // Moved by dragging it.
    QWidget *guide = rulers()->guides(Qt::Horizontal).value(0);
    QVERIFY(guide);
    QTest::mousePress(guide, Qt::LeftButton, {}, QPoint(200, RulerGuides::lineOffset()));
    const QPoint lower = surface->mapToGlobal(module + QPoint(200, 95));
    QTest::mouseMove(guide, guide->mapFromGlobal(lower));
    // The guide follows the pointer: the same place on screen lies elsewhere on it now.
    QTest::mouseRelease(guide, Qt::LeftButton, {}, guide->mapFromGlobal(lower));
    QCOMPARE(mWindow->document()->guidesY(), QVector<int>{95});

    // Back onto its ruler: gone.
    guide = rulers()->guides(Qt::Horizontal).value(0);
    QTest::mousePress(guide, Qt::LeftButton, {}, QPoint(200, RulerGuides::lineOffset()));
    QTest::mouseRelease(guide, Qt::LeftButton, {}, guide->mapFromGlobal(top->mapToGlobal(QPoint(30, 5))));
    QVERIFY(mWindow->document()->guidesY().isEmpty());
    QTRY_VERIFY(rulers()->guides(Qt::Horizontal).isEmpty());
    QCOMPARE(mWindow->document()->guidesX(), QVector<int>{150});
}

void TestRulers::snappingToGuidesAndGrid_data()
{
    QTest::addColumn<int>("grid");
    QTest::addColumn<QVector<int>>("guides");
    QTest::addColumn<int>("proposed");   // module x the drag proposes
    QTest::addColumn<int>("snapped");

    QTest::newRow("guide within reach") << 100 << QVector<int>{333} << 330 << 333;
    QTest::newRow("guide out of reach") << 100 << QVector<int>{333} << 320 << 320;
    QTest::newRow("grid of 7 from the module's corner") << 7 << QVector<int>{} << 36 << 35;
    QTest::newRow("grid of 1") << 1 << QVector<int>{} << 36 << 36;
    QTest::newRow("grid of 20") << 20 << QVector<int>{} << 57 << 60;
}

void TestRulers::snappingToGuidesAndGrid()
{
    QFETCH(int, grid);
    QFETCH(QVector<int>, guides);
    QFETCH(int, proposed);
    QFETCH(int, snapped);
    // A module corner off any multiple of the grid, so that only a grid from it fits.
    mCanvas->moveBackground(QPoint(23, 11));
    mWindow->arrangeMenu()->setGridSize(grid);
    QCOMPARE(mCanvas->surface()->gridSize(), grid);
    mWindow->document()->setGuides(guides, {});
    mWindow->arrangeMenu()->snapAction()->setChecked(true);
    DragSnapper snapper(mCanvas);
    snapper.setEnabledSource([] { return true; });
    snapper.begin({});
    const QPoint corner = mCanvas->backgroundPos();
    // No width: its left, centre and right are one line.
    const QRect frame(corner + QPoint(proposed, 2001), QSize(0, 0));
    QCOMPARE(snapper.moved(frame, Qt::NoModifier).x() - corner.x(), snapped);
    snapper.end();
}

void TestRulers::guidesKeptInTheDesignFile()
{
    mWindow->document()->setGuides({300, -20}, {0, 640});
    const QByteArray saved = DesignFile::serialise(mWindow->document()->design());
    QString error;
    const auto opened = DesignFile::parse(saved, &error);
    QVERIFY2(opened, qPrintable(error));
    QCOMPARE(opened->guidesX, (QVector<int>{300, -20}));
    QCOMPARE(opened->guidesY, (QVector<int>{0, 640}));

    mWindow->document()->resetDesign(DesignFile::Design{{ComponentTable::initialModuleRecord()}, {}, {}, {}, {}, {}});
    QVERIFY(rulers()->guides(Qt::Vertical).isEmpty());
    mWindow->document()->resetDesign(*opened);
    QCOMPARE(rulers()->guides(Qt::Vertical).size(), 2);
    QCOMPARE(rulers()->guides(Qt::Horizontal).size(), 2);
    // A design without guides says nothing of them.
    mWindow->document()->setGuides({}, {});
    QVERIFY(!DesignFile::serialise(mWindow->document()->design()).contains("guides"));
}

int main(int argc, char *argv[])
{
    if (scaledRun())
        qputenv("QT_SCALE_FACTOR", qgetenv(kScaleVariable));
    QApplication app(argc, argv);
    TestRulers test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_rulers.moc"
