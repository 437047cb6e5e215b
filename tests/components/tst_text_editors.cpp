#include "canvas/design_canvas.h"
#include "canvas/main_window.h"
#include "canvas/picture_object.h"
#include "canvas/preview_download.h"
#include "components/colour_picker_button.h"
#include "components/component_creation.h"
#include "components/editor_registry.h"
#include "components/text_editors.h"
#include "model/component_table.h"
#include "net/http_client.h"
#include "support/editor_driving.h"
#include "support/loopback_server.h"
#include "support/test_support.h"

#include <httplib.h>

#include <QBuffer>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QImage>
#include <QLabel>
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

} // namespace

class TestTextEditors : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void shopAddress_data();
    void shopAddress();
    void saveWritesRow_data();
    void saveWritesRow();
    void windowFrames_data();
    void windowFrames();
    void textLabelFollowsSave();
    void pickersFillTheirFields_data();
    void pickersFillTheirFields();
    void pickersStartAtTheirColour_data();
    void pickersStartAtTheirColour();
    void countdownPreviewBySiteRequestOffTheUiThread();

private:
    void pickColour(QWidget *editor, const QString &picker, const QColor &colour);

    Test::AnswerGate mGate;   // before the server, which outlives it otherwise
    Test::LoopbackServer mServer;
    std::atomic<int> mRequests{0};
    std::atomic<bool> mSawCookie{false};
    std::atomic<bool> mSawAgent{false};
    const QByteArray mRed = png(Qt::red);

    std::unique_ptr<Test::DesignerWindow> mDesigner;
    MainWindow *mWindow = nullptr;
    ComponentTable *mTable = nullptr;
};

void TestTextEditors::initTestCase()
{
    registerTextEditors();
    mServer.server().Get("/slow.png", [this](const httplib::Request &req, httplib::Response &res) {
        ++mRequests;
        mSawCookie = req.has_header("Cookie");
        mSawAgent = req.get_header_value("User-Agent") == HttpClient::kUserAgent;
        mGate.pass();
        res.set_content(mRed.toStdString(), "image/png");
    });
    mServer.start();
}

void TestTextEditors::init()
{
    mDesigner = std::make_unique<Test::DesignerWindow>();
    mWindow = mDesigner->window();
    QVERIFY(mWindow->isVisible());
    mTable = mWindow->table();
}

void TestTextEditors::cleanup()
{
    mDesigner.reset();
    mWindow = nullptr;
}

void TestTextEditors::pickColour(QWidget *editor, const QString &picker, const QColor &colour)
{
    QTest::mouseClick(editor->findChild<QPushButton *>(picker), Qt::LeftButton);
    QColorDialog *dialog = nullptr;
    QTRY_VERIFY((dialog = editor->findChild<QColorDialog *>()));
    dialog->setCurrentColor(colour);
    dialog->accept();
}

void TestTextEditors::shopAddress_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("path and query") << "https://shop123.taobao.com/search.htm?q=1" << "https://shop123.taobao.com";
    QTest::newRow("first of two") << "http://a.com.example.com/" << "http://a.com";
    QTest::newRow("none") << "https://shop.example.cn/" << ".com";
    QTest::newRow("upper case only") << "HTTPS://SHOP.EXAMPLE.COM/X" << ".com";
    QTest::newRow("empty") << "" << ".com";
    QTest::newRow("already cut") << "https://s.example.com" << "https://s.example.com";
}

void TestTextEditors::shopAddress()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QCOMPARE(TextEditors::shopAddress(typed), stored);
}

void TestTextEditors::saveWritesRow_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<Cells>("stored");
    QTest::addColumn<Steps>("steps");
    QTest::addColumn<Cells>("expected");

    QTest::newRow("text defaults")
        << "文字" << Cells{} << Steps{}
        << Cells{"图片=亲爱的，咱不哭", "其它=宋体", "其它1=12", "背景代码=#000", "文字=0",
                 "背景色=0", "其它4=0", "其它5=left", "其它2=", "链接="};
    QTest::newRow("text right, bold")
        << "文字" << Cells{} << Steps{"组合框1#2", "组合框2#1", "编辑框2:https://x.example/", "编辑框5:30"}
        << Cells{"文字=2", "其它5=right", "背景色=1", "链接=https://x.example/", "其它2=30"};
    QTest::newRow("text centre")
        << "文字" << Cells{"文字=2"} << Steps{"组合框1#1"} << Cells{"文字=1", "其它5=center"};
    QTest::newRow("text alignment out of list")
        << "文字" << Cells{"文字=7", "其它5=right"} << Steps{} << Cells{"文字=-1", "其它5="};
    QTest::newRow("text size not a number stored as typed")
        << "文字" << Cells{} << Steps{"编辑框4:大号"} << Cells{"其它1=大号"};
    QTest::newRow("text picker value kept")
        << "文字" << Cells{"其它4=16711680"} << Steps{"编辑框6:#f00"}
        << Cells{"背景代码=#f00", "其它4=16711680"};

    QTest::newRow("search defaults")
        << "搜索" << Cells{} << Steps{}
        << Cells{"图片=宝贝，我要", "链接=.com", "文字=180", "背景色=30", "其它=50", "其它1=30",
                 "其它2=#fff", "背景代码=#000", "其它4=#FF798A", "其它5=#FF798A", "其它6=#fff"};
    QTest::newRow("search address with path")
        << "搜索" << Cells{}
        << Steps{"编辑框2:https://shop123.taobao.com/category.htm?spm=1", "编辑框3:200", "编辑框6:32",
                 "编辑框11:white"}
        << Cells{"链接=https://shop123.taobao.com", "文字=200", "其它1=32", "其它6=white"};
    QTest::newRow("search upper-case address")
        << "搜索" << Cells{} << Steps{"编辑框2:https://SHOP.EXAMPLE.COM/"} << Cells{"链接=.com"};

    QTest::newRow("countdown defaults")
        << "倒计时" << Cells{} << Steps{}
        << Cells{"图片=2016-11-11 00:00:00", "链接=89", "文字=18", "其它=#fff", "背景色=0",
                 "其它1=0", "其它2=2", "其它4=微软雅黑"};
    QTest::newRow("countdown font and format")
        << "倒计时" << Cells{"其它2=0"} << Steps{"组合框3#2", "组合框1#3", "组合框2#1", "编辑框1:2030-01-01 08:00:00"}
        << Cells{"其它2=2", "其它4=微软雅黑", "背景色=3", "其它1=1", "图片=2030-01-01 08:00:00"};
    QTest::newRow("countdown last font")
        << "倒计时" << Cells{} << Steps{"组合框3#7"} << Cells{"其它2=7", "其它4=Times New Roman"};
    QTest::newRow("countdown unknown indexes")
        << "倒计时" << Cells{"其它2=12", "背景色=x", "其它1=-1"} << Steps{}
        << Cells{"其它2=-1", "其它4=", "背景色=0", "其它1=-1"};
}

void TestTextEditors::saveWritesRow()
{
    QFETCH(QString, kind);
    QFETCH(Cells, stored);
    QFETCH(Steps, steps);
    QFETCH(Cells, expected);

    // Without a picture address the countdown stays off the network here.
    if (kind == QStringLiteral("倒计时"))
        stored.prepend(QStringLiteral("背景代码="));
    const int row = addComponent(mWindow, kind, stored);
    QPointer<QWidget> editor = openEditor(mWindow, row);
    QVERIFY(editor);
    runSteps(editor, steps);
    pressButton(editor, QStringLiteral("超级按钮2"));
    QTRY_VERIFY(editor.isNull());

    for (const QString &cell : expected) {
        const int eq = cell.indexOf(QLatin1Char('='));
        const int column = ComponentTable::columnByName(cell.left(eq));
        QVERIFY2(column >= 0, qPrintable(cell));
        QCOMPARE(mTable->cell(row, column), cell.mid(eq + 1));
    }
}

void TestTextEditors::windowFrames_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("height");
    QTest::newRow("文字") << "文字" << 354;
    QTest::newRow("搜索") << "搜索" << 418;
    QTest::newRow("倒计时") << "倒计时" << 334;
}

void TestTextEditors::windowFrames()
{
    QFETCH(QString, kind);
    QFETCH(int, height);
    QWidget *editor = openEditor(mWindow, addComponent(mWindow, kind, {}));
    QVERIFY(editor);
    QCOMPARE(editor->size(), QSize(180, height));
    QCOMPARE(editor->findChild<QLabel *>(QStringLiteral("标签1"))->text(), kind);
    QCOMPARE(editor->pos(), QPoint(mWindow->x() + mWindow->width() - 180 - 5, mWindow->y() + 52));
}

void TestTextEditors::textLabelFollowsSave()
{
    const int row = addComponent(mWindow, QStringLiteral("文字"), {});
    const QString id = mTable->cell(row, ComponentTable::Id);
    QLabel *label = mWindow->canvas()->labelById(id);
    QVERIFY(label);
    const QString width = mTable->cell(row, ComponentTable::Width);
    const QSize size = label->size();

    QWidget *editor = openEditor(mWindow, row);
    runSteps(editor, {"编辑框1:满100减20", "组合框1#2", "组合框2#1", "编辑框3:不存在的字体", "编辑框4:20px"});
    pickColour(editor, QStringLiteral("颜色选择器1"), QColor(0x00, 0xE0, 0x80));
    runSteps(editor, {"编辑框6:#00f"});
    pressButton(editor, QStringLiteral("超级按钮2"));

    QCOMPARE(label->text(), QStringLiteral("满100减20"));
    QVERIFY(label->alignment() & Qt::AlignRight);
    QVERIFY(!(label->alignment() & Qt::AlignLeft));
    QVERIFY(label->font().bold());
    QCOMPARE(label->font().family(), QStringLiteral("不存在的字体"));
    QCOMPARE(label->font().pixelSize(), 20);
    label->ensurePolished();
    QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0x00, 0xE0, 0x80));
    QCOMPARE(label->size(), size);
    QCOMPARE(mTable->cell(row, ComponentTable::Width), width);
    QCOMPARE(mTable->cell(row, ComponentTable::Other4), QString::number(0x80E000));
    QCOMPARE(mTable->cell(row, ComponentTable::BgCode), QStringLiteral("#00f"));

    // Bold off again; a size that is no number leaves the label's size alone.
    QPointer<QWidget> second = openEditor(mWindow, row);
    QCOMPARE(second->findChild<QComboBox *>(QStringLiteral("组合框2"))->currentIndex(), 1);
    runSteps(second, {"组合框2#0", "组合框1#0", "编辑框4:abc"});
    pressButton(second, QStringLiteral("超级按钮2"));
    QVERIFY(!label->font().bold());
    QVERIFY(label->alignment() & Qt::AlignLeft);
    QCOMPARE(label->font().pixelSize(), 20);
    // The picker reloads its value from the record, not from the colour text.
    label->ensurePolished();
    QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0x00, 0xE0, 0x80));
}

void TestTextEditors::pickersFillTheirFields_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("picker");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("column");
    QTest::newRow("text") << "文字" << "颜色选择器1" << "编辑框6" << "背景代码";
    QTest::newRow("search input background") << "搜索" << "颜色选择器1" << "编辑框7" << "其它2";
    QTest::newRow("search input text") << "搜索" << "颜色选择器2" << "编辑框8" << "背景代码";
    QTest::newRow("search input border") << "搜索" << "颜色选择器3" << "编辑框9" << "其它4";
    QTest::newRow("search button background") << "搜索" << "颜色选择器4" << "编辑框10" << "其它5";
    QTest::newRow("search button text") << "搜索" << "颜色选择器5" << "编辑框11" << "其它6";
    QTest::newRow("countdown") << "倒计时" << "颜色选择器1" << "编辑框4" << "其它";
}

void TestTextEditors::pickersFillTheirFields()
{
    QFETCH(QString, kind);
    QFETCH(QString, picker);
    QFETCH(QString, field);
    QFETCH(QString, column);

    const int row = addComponent(mWindow, kind, {"背景代码="});
    QWidget *editor = openEditor(mWindow, row);
    pickColour(editor, picker, QColor(0x12, 0x34, 0xAB));
    QCOMPARE(editor->findChild<QLineEdit *>(field)->text(), QStringLiteral("#1234AB"));
    pressButton(editor, QStringLiteral("超级按钮2"));
    QCOMPARE(mTable->cell(row, ComponentTable::columnByName(column)), QStringLiteral("#1234AB"));
}

void TestTextEditors::pickersStartAtTheirColour_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<Cells>("cells");
    QTest::addColumn<QString>("picker");
    QTest::addColumn<QString>("column");
    QTest::addColumn<int>("value");   // 0x00BBGGRR
    QTest::newRow("text, new") << "文字" << Cells{} << "颜色选择器1" << "背景代码" << 0x000000;
    QTest::newRow("text, picked before") << "文字" << Cells{"背景代码=#00E080", "其它4=8445952"}
                                         << "颜色选择器1" << "背景代码" << 0x80E000;
    QTest::newRow("zoom border") << "放大" << Cells{"其它1=#FF0000"} << "颜色选择器1" << "其它1"
                                 << 0x0000FF;
    QTest::newRow("search button, short form") << "搜索" << Cells{"其它5=#F80"} << "颜色选择器4"
                                               << "其它5" << 0x0088FF;
    QTest::newRow("search button, new") << "搜索" << Cells{} << "颜色选择器4" << "其它5" << 0x8A79FF;
    QTest::newRow("countdown") << "倒计时" << Cells{"其它=#123456"} << "颜色选择器1" << "其它"
                               << 0x563412;
}

// The picker shows the field's colour, the dialog opens at it, and OK at once keeps it.
void TestTextEditors::pickersStartAtTheirColour()
{
    QFETCH(QString, kind);
    QFETCH(Cells, cells);
    QFETCH(QString, picker);
    QFETCH(QString, column);
    QFETCH(int, value);
    const QColor colour(value & 0xFF, value >> 8 & 0xFF, value >> 16 & 0xFF);

    const int row = addComponent(mWindow, kind, cells);
    QWidget *editor = openEditor(mWindow, row);
    auto *button = editor->findChild<ColourPickerButton *>(picker);
    QVERIFY(button);
    QCOMPARE(button->colour(), value);
    QTest::mouseClick(button, Qt::LeftButton);
    QColorDialog *dialog = nullptr;
    QTRY_VERIFY((dialog = editor->findChild<QColorDialog *>()));
    QCOMPARE(dialog->currentColor(), colour);
    QTest::mouseClick(dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok),
                      Qt::LeftButton);
    QCOMPARE(button->colour(), value);
    pressButton(editor, QStringLiteral("超级按钮2"));

    const QString stored = mTable->cell(row, ComponentTable::columnByName(column));
    QCOMPARE(ColourPickerButton::valueOfText(stored).value_or(-1), value);
    if (kind == QStringLiteral("文字")) {
        QCOMPARE(mTable->cell(row, ComponentTable::Other4), QString::number(value));
        QLabel *label = mWindow->canvas()->labelById(mTable->cell(row, ComponentTable::Id));
        label->ensurePolished();
        QCOMPARE(label->palette().color(QPalette::WindowText), colour);
    }
}

void TestTextEditors::countdownPreviewBySiteRequestOffTheUiThread()
{
    HttpClient::setSiteCookieJar(QStringLiteral("session=secret"));
    const int row = addComponent(mWindow, QStringLiteral("倒计时"), {});
    PictureObject *object = mWindow->canvas()->pictureById(mTable->cell(row, ComponentTable::Id));
    const QByteArray before = object->pictureData();

    QPointer<QWidget> editor = openEditor(mWindow, row);
    runSteps(editor, {QStringLiteral("编辑框5:") + mServer.base() + QStringLiteral("/slow.png")});
    // The server holds its answer: "保存" returns and the window closes all the same.
    mGate.close();
    pressButton(editor, QStringLiteral("超级按钮2"));
    QTRY_VERIFY(editor.isNull());
    bool ticked = false;
    QTimer::singleShot(20, this, [&ticked] { ticked = true; });
    QTRY_VERIFY(ticked);
    QCOMPARE(PreviewDownload::pending(), 1);
    QCOMPARE(object->pictureData(), before);
    mGate.open();

    QTRY_COMPARE_WITH_TIMEOUT(object->pictureData(), mRed, 5000);
    QCOMPARE(mRequests.load(), 1);
    QVERIFY(mSawAgent.load());
    QVERIFY(!mSawCookie.load());
    HttpClient::setSiteCookieJar(QString());
}

QTEST_MAIN(TestTextEditors)
#include "tst_text_editors.moc"
