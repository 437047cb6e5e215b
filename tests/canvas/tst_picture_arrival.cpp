#include "canvas/canvas_scroller.h"
#include "canvas/canvas_surface.h"
#include "canvas/canvas_builder.h"
#include "canvas/design_canvas.h"
#include "canvas/design_loader.h"
#include "canvas/main_window.h"
#include "canvas/module_background_layer.h"
#include "canvas/picture_object.h"
#include "canvas/preview_download.h"
#include "model/background_work.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/design_file.h"
#include "model/kind_table.h"
#include "support/canvas_driving.h"
#include "support/editor_driving.h"

#include <QScreen>
#include <QSemaphore>
#include <QTest>
#include <QUndoStack>

using namespace Plumbrook;
using T = ComponentTable;

namespace {

// The picture a URL stands for: its number picks the colour, so that each component
// can tell its own picture from the others'.
QColor colourOf(const QString &url)
{
    const int n = url.section(u'/', -1).section(u'.', 0, 0).toInt();
    return QColor::fromRgb(40 + n % 200, 255 - n % 251, 90 + n % 150);
}

QByteArray pictureOf(const QString &url)
{
    return Test::png(colourOf(url), 8);
}

QString urlOf(int n)
{
    return QStringLiteral("http://127.0.0.1:9/%1.png").arg(n);
}

// A module `height` tall holding `count` pictures, placed by `place`.
DesignFile::Design design(int count, int height, const std::function<QPoint(int)> &place)
{
    DesignFile::Design design;
    QStringList module = ComponentTable::initialModuleRecord();
    module[T::Width] = QStringLiteral("950");
    module[T::Height] = QString::number(height);
    design.rows = {module};
    for (int n = 0; n < count; ++n) {
        QStringList cells(T::ColumnCount);
        cells[T::Id] = QString::number(n + 2);
        cells[T::Kind] = KindTable::nameOf(KindTable::Kind::Picture);
        cells[T::Width] = QStringLiteral("30");
        cells[T::Height] = QStringLiteral("30");
        cells[T::Left] = QString::number(place(n).x());
        cells[T::Top] = QString::number(place(n).y());
        cells[T::Picture] = urlOf(n);
        design.rows.append(cells);
    }
    return design;
}

} // namespace

class TestPictureArrival : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void everyArrivalLands_data();
    void everyArrivalLands();
    void deletedBeforeLandingIsSkipped();
    void arrivedPictureIsOnScreen_data();
    void arrivedPictureIsOnScreen();

private:
    QColor shownAt(const QPoint &canvasPos) const;

    std::unique_ptr<Test::DesignerWindow> mDesigner;
    MainWindow *mWindow = nullptr;
    DesignCanvas *mCanvas = nullptr;
};

void TestPictureArrival::init()
{
    mDesigner = std::make_unique<Test::DesignerWindow>();
    mWindow = mDesigner->window();
    mCanvas = mWindow->canvas();
    mCanvas->setPreviewFetch(&pictureOf);
}

void TestPictureArrival::cleanup()
{
    QTRY_COMPARE(PreviewDownload::pending(), 0);
    mDesigner.reset();
}

QColor TestPictureArrival::shownAt(const QPoint &canvasPos) const
{
    // What the window really shows, not a fresh rendering of the widgets: a picture
    // never repainted would still show the one before.
    const QImage shown = mWindow->screen()->grabWindow(mWindow->winId()).toImage();
    const QPoint at = mCanvas->surface()->mapTo(mWindow, canvasPos);   // the canvas scrolls
    return shown.pixelColor(at * shown.devicePixelRatio());
}

void TestPictureArrival::everyArrivalLands_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("moduleHeight");
    // All in view, overlapping; and mostly out of view, far down a tall module.
    QTest::newRow("in view") << 300 << 500;
    QTest::newRow("down a tall module") << 1500 << 9000;
}

void TestPictureArrival::everyArrivalLands()
{
    QFETCH(int, count);
    QFETCH(int, moduleHeight);
    const auto place = [moduleHeight](int n) {
        return QPoint(n % 30 * 31, n / 30 * 31 % (moduleHeight - 30));
    };
    DesignLoader::load(mCanvas, design(count, moduleHeight, place));
    // A large design's previews set off once all its objects are on the canvas.
    QTRY_VERIFY_WITH_TIMEOUT(!CanvasBuilder::of(mCanvas)->isBuilding(), 60000);
    QTRY_COMPARE_WITH_TIMEOUT(PreviewDownload::pending(), 0, 60000);

    for (int n = 0; n < count; ++n) {
        PictureObject *object = mCanvas->pictureById(QString::number(n + 2));
        QVERIFY(object);
        QCOMPARE(object->pictureData(), pictureOf(urlOf(n)));
        QCOMPARE(object->image().pixelColor(4, 4), colourOf(urlOf(n)));
    }
    // Pictures arriving are no edit of the design.
    QCOMPARE(mWindow->document()->undoStack()->count(), 0);
}

void TestPictureArrival::deletedBeforeLandingIsSkipped()
{
    // The downloads wait until the components are gone: one deleted while its
    // download runs, one after the download finished but before its picture landed.
    QSemaphore gate;
    mCanvas->setPreviewFetch([&gate](const QString &url) {
        gate.acquire();
        return pictureOf(url);
    });
    DesignLoader::load(mCanvas, design(4, 500, [](int n) { return QPoint(n * 40, 10); }));
    QCOMPARE(PreviewDownload::pending(), 4);

    Test::deleteComponent(mCanvas, mCanvas->pictureById(QStringLiteral("2")));
    gate.release(4);
    QVERIFY(BackgroundWork::waitForIdle(10000));
    Test::deleteComponent(mCanvas, mCanvas->pictureById(QStringLiteral("3")));
    QTRY_COMPARE(PreviewDownload::pending(), 0);

    QVERIFY(!mCanvas->pictureById(QStringLiteral("2")));
    QVERIFY(!mCanvas->pictureById(QStringLiteral("3")));
    for (int n : {2, 3})
        QCOMPARE(mCanvas->pictureById(QString::number(n + 2))->pictureData(), pictureOf(urlOf(n)));
}

void TestPictureArrival::arrivedPictureIsOnScreen_data()
{
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("scroll");
    QTest::newRow("in view") << 100 << 0;
    QTest::newRow("out of view when it arrived") << 1500 << 1400;
}

void TestPictureArrival::arrivedPictureIsOnScreen()
{
    QFETCH(int, top);
    QFETCH(int, scroll);
    DesignLoader::load(mCanvas, design(40, 2000, [top](int n) { return QPoint(n * 20, top); }));
    QTRY_COMPARE(PreviewDownload::pending(), 0);
    QTRY_COMPARE(ModuleBackgroundLayer::runningWorkers(), 0);
    // The last one lies above the others.
    PictureObject *last = mCanvas->pictureById(QStringLiteral("41"));
    const QPoint centre = last->geometry().center();
    mWindow->scroller()->scrollTo(QPoint(0, top - 100));
    QTRY_COMPARE(shownAt(centre), colourOf(urlOf(39)));
    mWindow->scroller()->scrollTo(QPoint(0, 0));

    // New pictures for them all, landing together.
    for (int n = 0; n < 40; ++n)
        PreviewDownload::start(mCanvas, QString::number(n + 2), urlOf(n + 7), &pictureOf);
    QTRY_COMPARE(PreviewDownload::pending(), 0);
    mWindow->scroller()->scrollTo(QPoint(0, scroll));
    QTRY_COMPARE(shownAt(centre), colourOf(urlOf(46)));
}

QTEST_MAIN(TestPictureArrival)
#include "tst_picture_arrival.moc"
