#include "canvas/canvas_surface.h"
#include "canvas/design_canvas.h"
#include "canvas/design_loader.h"
#include "canvas/main_window.h"
#include "canvas/module_background_layer.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/design_file.h"
#include "support/editor_driving.h"
#include "support/loopback_server.h"
#include "support/raw_http_server.h"
#include "support/test_support.h"

#include <httplib.h>

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <mutex>
#include <thread>
#include <zlib.h>

using namespace Plumbrook;
using namespace std::chrono_literals;

namespace {

const QString kSetting = QStringLiteral("正在设置背景层参数，请稍候");
const QString kLoading = QStringLiteral("正在加载背景图片，请稍候");
const QString kDone = QStringLiteral("背景层参数设置完成");

// A real PNG whose header claims 60000 × 60000 pixels.
QByteArray pngBomb()
{
    QByteArray bytes = Test::png(Qt::red, QSize(4, 4));
    const int ihdr = 12;   // after the signature and the chunk length
    for (int i = 0; i < 2; ++i) {
        const quint32 side = 60000;
        for (int b = 0; b < 4; ++b)
            bytes[ihdr + 4 + 4 * i + b] = char(side >> (24 - 8 * b) & 0xFF);
    }
    const uLong crc = crc32(0, reinterpret_cast<const Bytef *>(bytes.constData() + ihdr), 17);
    for (int b = 0; b < 4; ++b)
        bytes[ihdr + 17 + b] = char(crc >> (24 - 8 * b) & 0xFF);
    return bytes;
}

// A cpp-httplib server on a free loopback port that remembers the targets it was asked for.
class PictureServer
{
public:
    PictureServer()
    {
        mServer.Get(".*", [this](const httplib::Request &request, httplib::Response &response) {
            {
                std::lock_guard lock(mMutex);
                mTargets << QString::fromStdString(request.target);
            }
            if (request.path == "/slow.png") {
                gate.pass();
                std::this_thread::sleep_for(300ms);
            }
            if (request.path == "/p.png" || request.path == "/slow.png") {
                const QByteArray png = Test::png(Qt::blue, QSize(750, 300));
                response.set_content(png.toStdString(), "image/png");
            } else if (request.path == "/bomb.png") {
                response.set_content(pngBomb().toStdString(), "image/png");
            } else {
                response.status = 404;
                response.set_content("<html>not here</html>", "text/html");
            }
        });
        mPort = mServer.bind_to_any_port("127.0.0.1");
        mThread = std::thread([this] { mServer.listen_after_bind(); });
        // A stop before the listening loop runs would be lost and the join would hang.
        while (!mServer.is_running())
            std::this_thread::sleep_for(1ms);
    }
    ~PictureServer()
    {
        mServer.stop();
        mThread.join();
    }
    Test::AnswerGate gate;   // holds the answers to /slow.png while closed

    QString hostPort() const { return QStringLiteral("127.0.0.1:%1").arg(mPort); }
    QStringList targets() const
    {
        std::lock_guard lock(mMutex);
        return mTargets;
    }

private:
    httplib::Server mServer;
    int mPort = 0;
    std::thread mThread;
    mutable std::mutex mMutex;
    QStringList mTargets;
};

} // namespace

class TestModuleBackground : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void colourBlock_data();
    void colourBlock();
    void picture_data();
    void picture();
    void failedPictureOnFreshStart_data();
    void failedPictureOnFreshStart();
    void failedPictureKeepsThePreviousOne();
    void slowServerKeepsTheWindowResponsive();
    void overlappingWorkersLeaveRecordAndPictureInStep();
    void anotherDesignTakesNoWorkerOfTheOldOne_data();
    void anotherDesignTakesNoWorkerOfTheOldOne();
    void fetchUrl_data();
    void fetchUrl();

private:
    void setRecord(const QString &picture, const QString &width, const QString &height);
    void renderAndWait();

    std::unique_ptr<Test::DesignerWindow> mDesigner;
    MainWindow *mWindow = nullptr;
    DesignCanvas *mCanvas = nullptr;
    ComponentTable *mTable = nullptr;
    QSignalSpy *mStatus = nullptr;
    PictureServer *mServer = nullptr;
};

void TestModuleBackground::init()
{
    mServer = new PictureServer;
    mDesigner = std::make_unique<Test::DesignerWindow>();
    mWindow = mDesigner->window();
    mCanvas = mWindow->canvas();
    mTable = mWindow->table();
    mStatus = new QSignalSpy(mCanvas, &DesignCanvas::statusMessage);
    QCOMPARE(mCanvas->surface()->width(), 996);
}

void TestModuleBackground::cleanup()
{
    delete mStatus;
    const bool ended = mDesigner->closeWindow();
    mDesigner.reset();
    mWindow = nullptr;
    delete mServer;
    QVERIFY2(ended, "background workers were still running");
}

void TestModuleBackground::setRecord(const QString &picture, const QString &width, const QString &height)
{
    mWindow->document()->writeUnstepped([&] {
        mTable->setCell(0, ComponentTable::Picture, QString(picture).replace(QStringLiteral("%1"), mServer->hostPort()));
        mTable->setCell(0, ComponentTable::Width, width);
        mTable->setCell(0, ComponentTable::Height, height);
    });
}

void TestModuleBackground::renderAndWait()
{
    mStatus->clear();
    ModuleBackgroundLayer::render(mCanvas);
    QTRY_COMPARE_WITH_TIMEOUT(ModuleBackgroundLayer::runningWorkers(), 0, 40000);
    QCOMPARE(mWindow->statusText(), kDone);
}

void TestModuleBackground::colourBlock_data()
{
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QString>("width");
    QTest::addColumn<QPoint>("position");
    QTest::newRow("no picture") << "" << "950" << QPoint(23, 5);
    QTest::newRow("bare file name") << "bg.png" << "950" << QPoint(23, 5);
    QTest::newRow("single slash") << "http:/%1/p.png" << "600" << QPoint(198, 5);
    QTest::newRow("wider than 950") << "" << "1920" << QPoint(5, 5);
}

void TestModuleBackground::colourBlock()
{
    QFETCH(QString, picture);
    QFETCH(QString, width);
    QFETCH(QPoint, position);
    setRecord(picture, width, QStringLiteral("500"));
    renderAndWait();

    QCOMPARE(mCanvas->backgroundPictureSize(), QSize(width.toInt(), 500));
    QCOMPARE(mCanvas->backgroundPos(), position);
    const QImage shown = mCanvas->surface()->spriteImage(mCanvas->backgroundId());
    QCOMPARE(QColor(shown.pixel(shown.width() / 2, 250)), QColor(0x00, 0xE0, 0x80));
    QCOMPARE(mTable->cell(0, ComponentTable::Width), width);
    QCOMPARE(mTable->cell(0, ComponentTable::Height), QStringLiteral("500"));
    QCOMPARE(mTable->cell(0, ComponentTable::Left), QStringLiteral("0"));
    QCOMPARE(mStatus->size(), 2);   // no picture is fetched
    QCOMPARE(mStatus->at(0).at(0).toString(), kSetting);
    QVERIFY(mServer->targets().isEmpty());
}

void TestModuleBackground::picture_data()
{
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QString>("target");
    QTest::newRow("http") << "http://%1/p.png" << "/p.png";
    QTest::newRow("scheme-relative") << "//%1/p.png" << "/p.png";
    QTest::newRow("https fetched as http, first only") << "https://%1/p.png?via=https" << "/p.png?via=https";
}

void TestModuleBackground::picture()
{
    QFETCH(QString, picture);
    QFETCH(QString, target);
    setRecord(picture, QStringLiteral("950"), QStringLiteral("500"));
    renderAndWait();

    QCOMPARE(mServer->targets(), QStringList{target});
    // The picture's natural size overrides the typed one.
    QCOMPARE(mCanvas->backgroundPictureSize(), QSize(750, 300));
    QCOMPARE(mTable->cell(0, ComponentTable::Width), QStringLiteral("750"));
    QCOMPARE(mTable->cell(0, ComponentTable::Height), QStringLiteral("300"));
    QCOMPARE(mCanvas->backgroundPos(), QPoint(498 - 375, 5));
    QStringList texts;
    for (const QList<QVariant> &signal : std::as_const(*mStatus))
        texts << signal.at(0).toString();
    QCOMPARE(texts, (QStringList{kSetting, kLoading, kDone}));
}

void TestModuleBackground::failedPictureOnFreshStart_data()
{
    QTest::addColumn<QString>("picture");
    QTest::newRow("404 with a body") << "http://%1/missing.png";
    QTest::newRow("decompression bomb") << "http://%1/bomb.png";
    QTest::newRow("not a url") << "http://%1:99999999/x.png";
    QTest::newRow("only slashes") << "//";
    QTest::newRow("no server") << "http://127.0.0.1:1/p.png";
    QTest::newRow("upper-case scheme") << "HTTPS://%1/p.png";   // searches are case-sensitive
}

void TestModuleBackground::failedPictureOnFreshStart()
{
    QFETCH(QString, picture);
    setRecord(picture, QStringLiteral("950"), QStringLiteral("500"));
    renderAndWait();
    QCOMPARE(mCanvas->backgroundPictureSize(), QSize(0, 0));
    QCOMPARE(mTable->cell(0, ComponentTable::Width), QStringLiteral("0"));
    QCOMPARE(mTable->cell(0, ComponentTable::Height), QStringLiteral("0"));
    QCOMPARE(mCanvas->backgroundPos(), QPoint(498, 5));
}

void TestModuleBackground::failedPictureKeepsThePreviousOne()
{
    setRecord(QString(), QStringLiteral("800"), QStringLiteral("400"));
    renderAndWait();

    // A server that promises more than it sends and hangs up.
    const QByteArray png = Test::png(Qt::blue, QSize(750, 300));
    Test::RawHttpServer closing("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(png.size())
                                + "\r\nConnection: close\r\n\r\n" + png.left(png.size() / 2));
    mWindow->document()->writeUnstepped(
        [&] { mTable->setCell(0, ComponentTable::Picture, closing.url(QStringLiteral("/p.png"))); });
    renderAndWait();
    QCOMPARE(closing.requestCount(), 1);
    QCOMPARE(mCanvas->backgroundPictureSize(), QSize(800, 400));
    QCOMPARE(mTable->cell(0, ComponentTable::Width), QStringLiteral("800"));
    QCOMPARE(mTable->cell(0, ComponentTable::Height), QStringLiteral("400"));
}

void TestModuleBackground::slowServerKeepsTheWindowResponsive()
{
    setRecord(QStringLiteral("http://%1/slow.png"), QStringLiteral("950"), QStringLiteral("500"));
    // The server holds the picture: rendering returns and the loop keeps turning.
    mServer->gate.close();
    ModuleBackgroundLayer::render(mCanvas);
    QTRY_COMPARE(mWindow->statusText(), kLoading);
    bool ticked = false;
    QTimer::singleShot(20, this, [&ticked] { ticked = true; });
    QTRY_VERIFY(ticked);
    QTRY_COMPARE(mServer->targets().size(), 1);
    QCOMPARE(ModuleBackgroundLayer::runningWorkers(), 1);
    mServer->gate.open();

    QTRY_COMPARE_WITH_TIMEOUT(mWindow->statusText(), kDone, 10000);
    QCOMPARE(mCanvas->backgroundPictureSize(), QSize(750, 300));
}

void TestModuleBackground::overlappingWorkersLeaveRecordAndPictureInStep()
{
    setRecord(QStringLiteral("http://%1/slow.png"), QStringLiteral("950"), QStringLiteral("500"));
    ModuleBackgroundLayer::render(mCanvas);
    setRecord(QString(), QStringLiteral("640"), QStringLiteral("200"));
    ModuleBackgroundLayer::render(mCanvas);
    QTRY_COMPARE_WITH_TIMEOUT(ModuleBackgroundLayer::runningWorkers(), 0, 10000);

    // The slow picture arrives last and decides.
    QCOMPARE(mCanvas->backgroundPictureSize(), QSize(750, 300));
    QCOMPARE(mTable->cell(0, ComponentTable::Width), QStringLiteral("750"));
    QCOMPARE(mTable->cell(0, ComponentTable::Height), QStringLiteral("300"));
    QCOMPARE(mWindow->statusText(), kDone);
}

void TestModuleBackground::anotherDesignTakesNoWorkerOfTheOldOne_data()
{
    QTest::addColumn<bool>("asStep");
    QTest::newRow("opened") << false;
    QTest::newRow("imported as a step") << true;
}

void TestModuleBackground::anotherDesignTakesNoWorkerOfTheOldOne()
{
    QFETCH(bool, asStep);
    setRecord(QStringLiteral("http://%1/slow.png"), QStringLiteral("950"), QStringLiteral("500"));
    mServer->gate.close();
    ModuleBackgroundLayer::render(mCanvas);
    QTRY_COMPARE(mServer->targets().size(), 1);

    DesignFile::Design design;
    QStringList module = ComponentTable::initialModuleRecord();
    module[ComponentTable::Width] = QStringLiteral("640");
    module[ComponentTable::Height] = QStringLiteral("200");
    design.rows = {module};
    if (asStep)
        mWindow->document()->replaceDesign(QStringLiteral("导入代码"), design);
    else
        DesignLoader::load(mCanvas, design);
    QTRY_COMPARE(mCanvas->backgroundPictureSize(), QSize(640, 200));
    // The old module's picture arrives last: it must not resize the new module.
    mServer->gate.open();
    QTRY_COMPARE_WITH_TIMEOUT(ModuleBackgroundLayer::runningWorkers(), 0, 10000);
    QCOMPARE(mCanvas->backgroundPictureSize(), QSize(640, 200));
    QCOMPARE(mTable->cell(0, ComponentTable::Width), QStringLiteral("640"));
    QCOMPARE(mTable->cell(0, ComponentTable::Height), QStringLiteral("200"));
}

void TestModuleBackground::fetchUrl_data()
{
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QString>("url");
    QTest::newRow("no slashes") << "img/bg.png" << "";
    QTest::newRow("https") << "https://img.example/https.png" << "http://img.example/https.png";
    QTest::newRow("http in the path only") << "//img.example/http/a.png" << "//img.example/http/a.png";
    QTest::newRow("upper case") << "HTTP://img.example/a.png" << "http:HTTP://img.example/a.png";
}

void TestModuleBackground::fetchUrl()
{
    QFETCH(QString, picture);
    QFETCH(QString, url);
    QCOMPARE(ModuleBackgroundLayer::fetchUrl(picture), url);
}

QTEST_MAIN(TestModuleBackground)
#include "tst_module_background.moc"
