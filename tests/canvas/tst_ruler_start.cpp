#include "canvas/canvas_ruler.h"
#include "canvas/canvas_scroller.h"
#include "canvas/main_window.h"
#include "model/background_work.h"
#include "support/test_support.h"

#include <QLabel>
#include <QTest>

#include <functional>

using namespace Plumbrook;

Q_DECLARE_METATYPE(std::function<void(MainWindow *)>)

// The ruler's first strip is drawn on a pool thread while the window is built; what
// the window shows must still be the strip last asked for.
class TestRulerStart : public QObject
{
    Q_OBJECT

private slots:
    void init() { mDir = new Test::TemporaryProgramDir; }
    void cleanup() { delete mDir; }

    void shownStripIsTheLastAskedFor_data();
    void shownStripIsTheLastAskedFor();
    void poolThreadDrawsAsTheWindowDoes();
    void windowGoneBeforeItIsShown();

private:
    Test::TemporaryProgramDir *mDir = nullptr;
};

void TestRulerStart::shownStripIsTheLastAskedFor_data()
{
    using Before = std::function<void(MainWindow *)>;
    QTest::addColumn<Before>("before");
    QTest::addColumn<double>("zoom");
    QTest::addColumn<int>("width");

    QTest::newRow("as built") << Before([](MainWindow *) {}) << 1.0 << 998;
    QTest::newRow("laid out wider before showing")
        << Before([](MainWindow *w) { w->applyLayout(1200, 700); }) << 1.0 << 1196;
    QTest::newRow("zoomed before showing")
        << Before([](MainWindow *w) { w->scroller()->zoomTo(2.0); }) << 2.0 << 998;
    QTest::newRow("zoomed there and back")
        << Before([](MainWindow *w) {
               w->scroller()->zoomTo(2.0);
               w->scroller()->zoomTo(1.0);
           })
        << 1.0 << 998;
}

void TestRulerStart::shownStripIsTheLastAskedFor()
{
    QFETCH(std::function<void(MainWindow *)>, before);
    QFETCH(double, zoom);
    QFETCH(int, width);

    MainWindow window;
    window.setScreenSizeOverride(QSize(1366, 768));
    before(&window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *label = window.findChild<QLabel *>(QStringLiteral("图片框_刻度"));
    QVERIFY(label);
    QCOMPARE(label->width(), width);
    const QImage shown = label->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage wanted = CanvasRuler::drawStrip(label->size(), zoom, window.scroller()->offset().x());
    QCOMPARE(shown.size(), wanted.size());
    QVERIFY(shown == wanted);
}

void TestRulerStart::poolThreadDrawsAsTheWindowDoes()
{
    const QSize size(998, 18);
    for (double zoom : {0.25, 1.0, 4.0}) {
        QFuture<QImage> pooled = BackgroundWork::start(BackgroundWork::Lane::Requests, [=] {
            return CanvasRuler::drawStrip(size, zoom, 37);
        });
        const QImage here = CanvasRuler::drawStrip(size, zoom, 37);
        // Numbers drawn with the fonts of another thread look the same, and are there.
        QVERIFY(pooled.result() == here);
        QVERIFY(here != CanvasRuler::drawStrip(size, zoom, 0));
    }
}

void TestRulerStart::windowGoneBeforeItIsShown()
{
    // The strip and the font warm-up may still be running when the window goes.
    for (int i = 0; i < 3; ++i)
        delete new MainWindow;
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(!window.findChild<QLabel *>(QStringLiteral("图片框_刻度"))->pixmap().isNull());
}

QTEST_MAIN(TestRulerStart)
#include "tst_ruler_start.moc"
