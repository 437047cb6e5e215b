#include "canvas/canvas_surface.h"
#include "canvas/design_canvas.h"
#include "model/frame_picture.h"
#include "canvas/main_window.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "support/canvas_driving.h"
#include "support/editor_driving.h"
#include "support/test_support.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

using namespace Plumbrook;

class TestShell : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void initialLayout();
    void controlsInOneChineseFace();
    void maximiseAndRestore_data();
    void maximiseAndRestore();
    void maximiseRecentresBackgroundOnly();
    void menus();
    void closeToTray_data();
    void closeToTray();
    void panning_data();
    void panning();

private:
    template<typename T>
    T *child(const char *name) const
    {
        return mWindow->findChild<T *>(QString::fromUtf8(name));
    }

    std::unique_ptr<Test::DesignerWindow> mDesigner;
    MainWindow *mWindow = nullptr;
};

void TestShell::init()
{
    mDesigner = std::make_unique<Test::DesignerWindow>();
    mWindow = mDesigner->window();
}

void TestShell::cleanup()
{
    mDesigner.reset();
    mWindow = nullptr;
}

void TestShell::initialLayout()
{
    QCOMPARE(mWindow->size(), QSize(1000, 650));
    QVERIFY(mWindow->windowFlags() & Qt::FramelessWindowHint);
    const struct {
        const char *name;
        QRect geometry;
        const char *text;
    } buttons[] = {
        {"超级按钮_背景", {0, 0, 79, 32}, "功能列表"},
        {"超级按钮_背景1", {80, 0, 79, 32}, "全局设置"},
        {"超级按钮_生成代码", {123, 0, 88, 32}, "生成代码"},
        {"超级按钮_最小1", {261, 0, 32, 32}, "∨"},
        {"超级按钮_最小", {294, 0, 32, 32}, "－"},
        {"超级按钮_最大", {327, 0, 32, 32}, "□"},
        {"超级按钮_关闭", {360, 0, 32, 32}, "×"},
    };
    for (const auto &b : buttons) {
        auto *button = child<QPushButton>(b.name);
        QVERIFY2(button, b.name);
        QCOMPARE(button->geometry(), b.geometry);
        QCOMPARE(button->text(), QString::fromUtf8(b.text));
    }
    QCOMPARE(child<QFrame>("外形框1")->geometry(), QRect(607, 0, 393, 32));
    QCOMPARE(child<QLabel>("标签_提示")->text(), QStringLiteral("欢迎使用Vantric自由布局"));
    QCOMPARE(child<QLabel>("标签_提示")->geometry(), QRect(8, 625, 704, 24));
    QCOMPARE(child<QFrame>("外形框2")->geometry(), QRect(729, 625, 270, 24));
    QCOMPARE(child<CanvasSurface>("动画框1")->size(), QSize(996, 574));
    auto *tabs = child<QTabWidget>("高级选择夹1");
    QCOMPARE(tabs->tabText(0), QStringLiteral("设计"));
    QCOMPARE(tabs->tabText(1), QStringLiteral("后台"));
    QVERIFY(!child<QLabel>("图片框_刻度")->pixmap().isNull());
    QVERIFY(!child<QWidget>("图片框1")->isVisible());
    auto *clock = mWindow->findChild<QTimer *>(QStringLiteral("时钟1"));
    QVERIFY(clock);
    QCOMPARE(clock->interval(), 300000);
    QVERIFY(clock->isActive());
}

// Where the controls' named face is missing, every control, named face or not, is drawn in
// one installed face that has Chinese: not a Latin face with each line's Chinese searched
// for, and not the old face for the widgets made before the fonts were settled.
void TestShell::controlsInOneChineseFace()
{
#ifdef Q_OS_WIN
    QSKIP("Windows puts faces of its own in place of a missing one");
#endif
    const QStringList installed = QFontDatabase::families();
    if (installed.contains(QStringLiteral("微软雅黑")))
        QSKIP("the controls' face is installed");
    // The faces the package recommends, one of which the project's own set-up installs.
    if (!installed.contains(QStringLiteral("WenQuanYi Micro Hei"))
        && !installed.contains(QStringLiteral("Noto Sans CJK SC")))
        QSKIP("none of the recommended Chinese faces is installed");
    QSet<QString> faces;
    for (QWidget *widget : mWindow->findChildren<QWidget *>())
        faces.insert(QFontInfo(widget->font()).family());
    faces.insert(QFontInfo(mWindow->font()).family());
    QCOMPARE(faces.size(), 1);
    const QString face = *faces.cbegin();
    QVERIFY2(QFontDatabase::writingSystems(face).contains(QFontDatabase::SimplifiedChinese),
             qPrintable(face));
}

void TestShell::maximiseAndRestore_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::newRow("1920x1080") << QSize(1920, 1080);
    QTest::newRow("1366x768") << QSize(1366, 768);
}

void TestShell::maximiseAndRestore()
{
    QFETCH(QSize, screen);
    mWindow->setScreenSizeOverride(screen);
    auto *maximise = child<QPushButton>("超级按钮_最大");
    QTest::mouseClick(maximise, Qt::LeftButton);
    const int w = screen.width();
    const int h = screen.height() - 40;
    QCOMPARE(maximise->text(), QStringLiteral("◇"));
    QCOMPARE(mWindow->size(), QSize(w, h));
    QCOMPARE(mWindow->pos(), QPoint(0, 0));
    QVERIFY(!mWindow->dragAnywhere());
    QCOMPARE(child<CanvasSurface>("动画框1")->size(), QSize(w - 4, h - 74));
    QCOMPARE(child<QLabel>("标签_提示")->geometry(), QRect(8, h - 23, w - 270, 24));
    QCOMPARE(child<QFrame>("外形框2")->pos(), QPoint(w - 270, h - 23));
    QCOMPARE(child<QFrame>("外形框1")->pos(), QPoint(w - 393 - 2, 0));

    QTest::mouseClick(maximise, Qt::LeftButton);
    QCOMPARE(maximise->text(), QStringLiteral("□"));
    QCOMPARE(mWindow->size(), QSize(1000, 650));
    QCOMPARE(mWindow->pos(), QPoint((screen.width() - 1000) / 2, (screen.height() - 650) / 2));
    QVERIFY(mWindow->dragAnywhere());
    QCOMPARE(child<QFrame>("外形框1")->pos(), QPoint(605, 0));
}

void TestShell::maximiseRecentresBackgroundOnly()
{
    DesignCanvas *canvas = mWindow->canvas();
    canvas->setBackgroundPicture(makeFramePicture(950, 500, 1, 1));
    canvas->centreBackground(950);
    const int row = Test::addPicture(canvas, QStringLiteral("图片"), {}, 0, 180, 220);
    QWidget *object = canvas->objectById(mWindow->table()->cell(row, ComponentTable::Id));
    const QPoint before = object->pos() - canvas->backgroundPos();
    mWindow->document()->writeUnstepped([this] { mWindow->table()->setCell(0, ComponentTable::Left, QStringLiteral("17")); });
    mWindow->setScreenSizeOverride(QSize(1920, 1080));
    mWindow->toggleMaximise();
    QCOMPARE(canvas->backgroundPos(), QPoint(1916 / 2 - 475, 5));
    // The components go along with the module: their place on it stays.
    QCOMPARE(object->pos() - canvas->backgroundPos(), before);
    QCOMPARE(mWindow->table()->cell(0, ComponentTable::Left), QStringLiteral("0"));
}

void TestShell::menus()
{
    auto *settings = mWindow->findChild<QMenu *>(QStringLiteral("设置"));
    auto *context = mWindow->findChild<QMenu *>(QStringLiteral("菜单"));
    QVERIFY(settings && context);
    QStringList texts;
    for (QAction *action : settings->actions())
        texts << action->text();
    QCOMPARE(texts, QStringList({"意见反馈", "使用教程", "快捷方式", "检测更新", "官方网站",
                                 "清除图片缓存", "退出软件"}));
    texts.clear();
    for (QAction *action : context->actions())
        texts << action->text();
    QCOMPARE(texts, QStringList({"编辑", "复制", "删除", "锁定", "解锁"}));
}

void TestShell::closeToTray_data()
{
    QTest::addColumn<bool>("trayAvailable");
    QTest::newRow("with a notification area") << true;
    QTest::newRow("without one: minimise instead") << false;
}

void TestShell::closeToTray()
{
    QFETCH(bool, trayAvailable);
    mWindow->setTrayAvailableOverride(trayAvailable);
    DesignCanvas *canvas = mWindow->canvas();
    Test::addPicture(canvas, QStringLiteral("图片"), {}, 0, 180, 220);
    auto side = new QWidget;
    side->show();
    mWindow->palette = side;

    QTest::mouseClick(child<QPushButton>("超级按钮_关闭"), Qt::LeftButton);
    QVERIFY(!side->isVisible());
    if (trayAvailable) {
        QVERIFY(!mWindow->isVisible());
        QVERIFY(mWindow->trayIcon());
        QCOMPARE(mWindow->trayIcon()->toolTip(), QStringLiteral("Plumbrook自由布局"));
        emit mWindow->trayIcon()->activated(QSystemTrayIcon::Trigger);
        QVERIFY(mWindow->isVisible());
        QVERIFY(!mWindow->trayIcon()->isVisible());
    } else {
        QVERIFY(mWindow->isVisible());
        QVERIFY(mWindow->windowState() & Qt::WindowMinimized);
        QVERIFY(!mWindow->trayIcon());
    }
    QCOMPARE(mWindow->table()->rowCount(), 2);   // the design survives
    delete side;
}

void TestShell::panning_data()
{
    QTest::addColumn<int>("moduleWidth");
    QTest::addColumn<bool>("pans");
    QTest::newRow("1920 on 1366") << 1920 << true;
    QTest::newRow("950 on 1366") << 950 << false;
    QTest::newRow("exactly the screen width") << 1366 << false;
}

void TestShell::panning()
{
    QFETCH(int, moduleWidth);
    QFETCH(bool, pans);
    mWindow->setScreenSizeOverride(QSize(1366, 768));
    DesignCanvas *canvas = mWindow->canvas();
    ComponentTable *table = mWindow->table();
    canvas->setBackgroundPicture(makeFramePicture(moduleWidth, 300, 1, 1));
    canvas->centreBackground(moduleWidth);
    const int row = Test::addPicture(canvas, QStringLiteral("图片"), {}, 0, 100, 100);
    const int text = Test::addText(canvas);
    QWidget *object = canvas->objectById(table->cell(row, ComponentTable::Id));
    QWidget *label = canvas->objectById(table->cell(text, ComponentTable::Id));
    const QPoint objectStart = object->pos();
    const QPoint labelStart = label->pos();
    const QPoint bgStart = canvas->backgroundPos();

    auto *surface = child<CanvasSurface>("动画框1");
    const QPoint grab = bgStart + QPoint(400, 200);
    QTest::mousePress(surface, Qt::LeftButton, {}, grab);
    for (int step = 1; step <= 3; ++step) {
        QMouseEvent move(QEvent::MouseMove, QPointF(grab - QPoint(100 * step, 0)),
                         QPointF(surface->mapToGlobal(grab - QPoint(100 * step, 0))),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(surface, &move);
    }
    QTest::mouseRelease(surface, Qt::LeftButton, {}, grab - QPoint(300, 0));
    const QPoint shift = pans ? QPoint(-300, 0) : QPoint(0, 0);
    QCOMPARE(canvas->backgroundPos(), bgStart + shift);
    QCOMPARE(object->pos(), objectStart + shift);
    QCOMPARE(label->pos(), labelStart + shift);
    QVERIFY(!mWindow->dragAnywhere());
    // Module-relative places survive the pan.
    QTest::mouseClick(object, Qt::LeftButton);
    QCOMPARE(table->cellInt(row, ComponentTable::Left), objectStart.x() - bgStart.x());
}

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
