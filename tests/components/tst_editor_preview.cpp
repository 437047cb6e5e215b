#include "canvas/design_canvas.h"
#include "canvas/design_loader.h"
#include "canvas/main_window.h"
#include "canvas/picture_object.h"
#include "canvas/preview_download.h"
#include "components/editor_registry.h"
#include "model/component_table.h"
#include "support/canvas_driving.h"
#include "support/editor_driving.h"
#include "support/loopback_server.h"
#include "support/test_support.h"

#include <httplib.h>

#include <QBuffer>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <thread>

using namespace Plumbrook;
using namespace Plumbrook::Test;
using namespace std::chrono_literals;

namespace {

const QByteArray errorPage = "<html><body>404 Not Found</body></html>";

} // namespace

class TestEditorPreview : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void previewOfEachKind_data();
    void previewOfEachKind();
    void unusableAnswers_data();
    void unusableAnswers();
    void addressAsTyped_data();
    void addressAsTyped();
    void stalledServerKeepsWindowResponsive();
    void componentDeletedMeanwhileIsSkipped();
    void latestSaveWins();
    void pictureGoesToEditedComponent();

private:
    QString url(const char *path) const
    {
        return mServer.base() + QLatin1String(path);
    }
    int addComponent(const QString &kind);
    PictureObject *objectOf(int row) const;
    QWidget *editAndSave(int row, const QString &control, const QString &text);
    void waitForDownloads();

    Test::AnswerGate mGate;   // before the server, which outlives it otherwise
    Test::LoopbackServer mServer;
    std::atomic<int> mRequests{0};
    const QByteArray mInitial = png(Qt::white, 4);
    const QByteArray mRed = png(Qt::red, 6);
    const QByteArray mBlue = png(Qt::blue, 8);

    std::unique_ptr<Test::DesignerWindow> mDesigner;
    MainWindow *mWindow = nullptr;
};

void TestEditorPreview::initTestCase()
{
    auto serve = [this](const QByteArray &body, const char *type) {
        return [this, body, type](const httplib::Request &, httplib::Response &res) {
            ++mRequests;
            res.set_content(body.toStdString(), type);
        };
    };
    mServer.server().Get("/red.png", serve(mRed, "image/png"));
    mServer.server().Get("/empty.png", serve(QByteArray(), "image/png"));
    mServer.server().Get("/slow.png", [this](const httplib::Request &, httplib::Response &res) {
        ++mRequests;
        mGate.pass();
        std::this_thread::sleep_for(200ms);
        res.set_content(mBlue.toStdString(), "image/png");
    });
    mServer.server().Get("/missing.png", [this](const httplib::Request &, httplib::Response &res) {
        ++mRequests;
        res.status = 404;
        res.set_content(errorPage.toStdString(), "text/html");
    });
    mServer.start();
}

void TestEditorPreview::init()
{
    mDesigner = std::make_unique<Test::DesignerWindow>();
    mWindow = mDesigner->window();
    QVERIFY(mWindow->isVisible());
    mRequests = 0;
}

void TestEditorPreview::cleanup()
{
    mDesigner.reset();
    mWindow = nullptr;
}

void TestEditorPreview::waitForDownloads()
{
    QTRY_COMPARE_WITH_TIMEOUT(PreviewDownload::pending(), 0, 10000);
}

int TestEditorPreview::addComponent(const QString &kind)
{
    return Test::addPicture(mWindow->canvas(), kind, mInitial, -1, 100, 100);
}

PictureObject *TestEditorPreview::objectOf(int row) const
{
    return mWindow->canvas()->pictureById(mWindow->table()->cell(row, ComponentTable::Id));
}

QWidget *TestEditorPreview::editAndSave(int row, const QString &control, const QString &text)
{
    QWidget *editor = EditorRegistry::open(
        mWindow->editorHost(), mWindow->table()->cell(row, ComponentTable::Kind), row);
    if (!editor)
        return nullptr;
    if (auto *edit = editor->findChild<QLineEdit *>(control)) {
        edit->selectAll();
        for (const QChar ch : text)
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
    QTest::mouseClick(editor->findChild<QPushButton *>(QStringLiteral("超级按钮2")), Qt::LeftButton);
    return editor;
}

void TestEditorPreview::previewOfEachKind_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("control");
    QTest::addColumn<bool>("downloads");
    QTest::newRow("图片") << "图片" << "编辑框1" << true;
    QTest::newRow("换图") << "换图" << "编辑框1" << true;
    QTest::newRow("放大") << "放大" << "编辑框1" << true;
    QTest::newRow("收藏") << "收藏" << "编辑框1" << true;
    QTest::newRow("分享") << "分享" << "编辑框2" << true;
    QTest::newRow("购物车") << "购物车" << "编辑框1" << true;
    QTest::newRow("关注") << "关注" << "编辑框2" << true;
    QTest::newRow("热点") << "热点" << "编辑框2" << false;
    QTest::newRow("视频") << "视频" << "编辑框1" << false;
    QTest::newRow("喜欢") << "喜欢" << "编辑框1" << false;
    QTest::newRow("客服") << "客服" << "编辑框2" << false;
    QTest::newRow("旺旺群") << "旺旺群" << "编辑框1" << false;
}

void TestEditorPreview::previewOfEachKind()
{
    QFETCH(QString, kind);
    QFETCH(QString, control);
    QFETCH(bool, downloads);

    const int row = addComponent(kind);
    QVERIFY(editAndSave(row, control, url("/red.png")));
    waitForDownloads();
    QCOMPARE(objectOf(row)->pictureData(), downloads ? mRed : mInitial);
    QCOMPARE(mRequests.load(), downloads ? 1 : 0);
    // Opening the saved design previews the same address the editor did.
    QCOMPARE(DesignLoader::previewUrl(mWindow->table()->rowCells(row), {}),
             downloads ? url("/red.png") : QString());
}

void TestEditorPreview::unusableAnswers_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("error page") << url("/missing.png") << errorPage;
    QTest::newRow("empty body") << url("/empty.png") << QByteArray();
    QTest::newRow("refused") << QStringLiteral("http://127.0.0.1:1/x.png") << QByteArray();
    QTest::newRow("not a url") << QStringLiteral("图片地址") << QByteArray();
}

void TestEditorPreview::unusableAnswers()
{
    QFETCH(QString, address);
    QFETCH(QByteArray, body);

    const int row = addComponent(QStringLiteral("图片"));
    editAndSave(row, QStringLiteral("编辑框1"), address);
    QCOMPARE(mWindow->table()->cell(row, ComponentTable::Picture), address);
    waitForDownloads();
    QCOMPARE(objectOf(row)->pictureData(), body);
    QVERIFY(!objectOf(row)->hasPicture());
}

void TestEditorPreview::addressAsTyped_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("shown");
    QTest::newRow("picture cleared") << "图片" << "编辑框1" << "" << QByteArray();
    QTest::newRow("share icon cleared") << "分享" << "编辑框2" << "" << QByteArray();
    QTest::newRow("countdown background cleared") << "倒计时" << "编辑框5" << "" << QByteArray();
    QTest::newRow("leading blank") << "图片" << "编辑框1" << QStringLiteral(" ") + url("/red.png") << mRed;
    QTest::newRow("blanks around") << "收藏" << "编辑框1"
                                   << QStringLiteral("\u3000") + url("/red.png") + QStringLiteral("  ")
                                   << mRed;
}

void TestEditorPreview::addressAsTyped()
{
    QFETCH(QString, kind);
    QFETCH(QString, control);
    QFETCH(QString, typed);
    QFETCH(QByteArray, shown);

    const int row = addComponent(kind);
    QPointer<QWidget> editor = EditorRegistry::open(mWindow->editorHost(), kind, row);
    QVERIFY(editor);
    runSteps(editor, {control + u':' + typed});
    pressButton(editor, QStringLiteral("超级按钮2"));
    waitForDownloads();
    QCOMPARE(objectOf(row)->pictureData(), shown);
    QCOMPARE(objectOf(row)->hasPicture(), !shown.isEmpty());
}

void TestEditorPreview::stalledServerKeepsWindowResponsive()
{
    const int row = addComponent(QStringLiteral("图片"));
    // The server holds its answer: the save returns, the editor closes, the loop turns.
    mGate.close();
    QPointer<QWidget> editor = editAndSave(row, QStringLiteral("编辑框1"), url("/slow.png"));
    QCOMPARE(mWindow->table()->cell(row, ComponentTable::Picture), url("/slow.png"));
    QTRY_VERIFY(editor.isNull());
    bool ticked = false;
    QTimer::singleShot(20, this, [&ticked] { ticked = true; });
    QTRY_VERIFY(ticked);
    QTRY_COMPARE(mRequests.load(), 1);
    QCOMPARE(objectOf(row)->pictureData(), mInitial);
    mGate.open();

    QTRY_COMPARE_WITH_TIMEOUT(objectOf(row)->pictureData(), mBlue, 10000);
    QVERIFY(objectOf(row)->hasPicture());
}

void TestEditorPreview::componentDeletedMeanwhileIsSkipped()
{
    const int row = addComponent(QStringLiteral("收藏"));
    const int other = addComponent(QStringLiteral("收藏"));
    const QString otherId = mWindow->table()->cell(other, ComponentTable::Id);
    editAndSave(row, QStringLiteral("编辑框1"), url("/slow.png"));
    QCOMPARE(PreviewDownload::pending(), 1);

    Test::deleteComponent(mWindow->canvas(), objectOf(row));
    waitForDownloads();
    QCOMPARE(mWindow->canvas()->pictureById(otherId)->pictureData(), mInitial);
}

void TestEditorPreview::latestSaveWins()
{
    const int row = addComponent(QStringLiteral("图片"));
    const int asked = mRequests;
    editAndSave(row, QStringLiteral("编辑框1"), url("/slow.png"));
    // The slow answer is on its way before the second save starts its own.
    QTRY_COMPARE(mRequests.load(), asked + 1);
    editAndSave(row, QStringLiteral("编辑框1"), url("/red.png"));
    waitForDownloads();
    QCOMPARE(objectOf(row)->pictureData(), mRed);
    QCOMPARE(mWindow->table()->cell(row, ComponentTable::Picture), url("/red.png"));
}

void TestEditorPreview::pictureGoesToEditedComponent()
{
    const int edited = addComponent(QStringLiteral("购物车"));
    const int other = addComponent(QStringLiteral("购物车"));
    QWidget *editor = EditorRegistry::open(mWindow->editorHost(), QStringLiteral("购物车"), edited);
    QTest::mouseClick(objectOf(other), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(mWindow->canvas()->selectedRow(), other);

    auto *icon = editor->findChild<QLineEdit *>(QStringLiteral("编辑框1"));
    icon->setText(url("/red.png"));
    QTest::mouseClick(editor->findChild<QPushButton *>(QStringLiteral("超级按钮2")), Qt::LeftButton);
    waitForDownloads();
    QCOMPARE(objectOf(edited)->pictureData(), mRed);
    QCOMPARE(objectOf(other)->pictureData(), mInitial);
    QCOMPARE(mWindow->table()->cell(other, ComponentTable::Picture), QString());
}

QTEST_MAIN(TestEditorPreview)
#include "tst_editor_preview.moc"
