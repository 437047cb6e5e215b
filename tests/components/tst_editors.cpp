#include "canvas/design_canvas.h"
#include "canvas/main_window.h"
#include "components/editor_registry.h"
#include "model/design_document.h"
#include "model/preset_urls.h"
#include "model/component_table.h"
#include "support/canvas_driving.h"
#include "support/editor_driving.h"
#include "support/test_support.h"

#include <QColorDialog>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

using namespace Plumbrook;
using namespace Plumbrook::Test;

namespace {

} // namespace

class TestEditors : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void saveWritesRow_data();
    void saveWritesRow();
    void windowFrameAndDocking_data();
    void windowFrameAndDocking();
    void closeButtonDiscards();
    void swapStyleLocksHoverField();
    void flashEffectsAndStayingOpen();
    void zoomColourPicker();
    void avatarListDisablesField();

private:
    int addComponent(const QString &kind, const Cells &cells);
    QWidget *openEditor(int row);

    std::unique_ptr<Test::DesignerWindow> mDesigner;
    MainWindow *mWindow = nullptr;
    ComponentTable *mTable = nullptr;
};

void TestEditors::init()
{
    mDesigner = std::make_unique<Test::DesignerWindow>();
    mWindow = mDesigner->window();
    QVERIFY(mWindow->isVisible());
    mTable = mWindow->table();
}

void TestEditors::cleanup()
{
    mDesigner.reset();
    mWindow = nullptr;
}

int TestEditors::addComponent(const QString &kind, const Cells &cells)
{
    const int row = Test::addPicture(mWindow->canvas(), kind, {}, -1, 140, 100);
    mWindow->document()->writeUnstepped([&] {
        for (const QString &cell : cells) {
            const int eq = cell.indexOf(QLatin1Char('='));
            const int column = ComponentTable::columnByName(cell.left(eq));
            Q_ASSERT(column >= 0);
            mTable->setCell(row, column, cell.mid(eq + 1));
        }
    });
    return row;
}

// Selects the component with a press and chooses "编辑" in the context menu.
QWidget *TestEditors::openEditor(int row)
{
    QWidget *object = mWindow->canvas()->objectById(mTable->cell(row, ComponentTable::Id));
    QTest::mouseClick(object, Qt::LeftButton, {}, QPoint(5, 5));
    for (QAction *action : mWindow->contextMenu()->actions()) {
        if (action->text() == QStringLiteral("编辑"))
            action->trigger();
    }
    return EditorRegistry::current();
}

void TestEditors::saveWritesRow_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<Cells>("stored");
    QTest::addColumn<Steps>("steps");
    QTest::addColumn<Cells>("expected");

    const QString swapStyle3 = QStringLiteral("链接=") + PresetUrls::swapStyleOverlay(3);

    QTest::newRow("hotspot saved untouched")
        << "热点" << Cells{} << Steps{}
        << Cells{"图片=", "链接=", "文字=0", "背景色=_blank"};
    QTest::newRow("hotspot typed, same window")
        << "热点" << Cells{"文字=0"} << Steps{"编辑框1:看这里", "编辑框2:https://a.example/x", "组合框1#1"}
        << Cells{"图片=看这里", "链接=https://a.example/x", "文字=1", "背景色=_self"};
    QTest::newRow("image same window")
        << "图片" << Cells{"图片=http://p/1.jpg", "链接=#"} << Steps{"编辑框3:提示", "组合框1#1"}
        << Cells{"图片=http://p/1.jpg", "链接=#", "文字=提示", "背景色=1", "其它=_self"};
    QTest::newRow("image back to new window")
        << "图片" << Cells{"背景色=1", "其它=_self"} << Steps{"组合框1#0"}
        << Cells{"背景色=0", "其它=_blank"};
    QTest::newRow("image non-numeric index loads as first")
        << "图片" << Cells{"背景色=abc"} << Steps{}
        << Cells{"背景色=0", "其它=_blank"};
    QTest::newRow("image empty index loads as first")
        << "图片" << Cells{"背景色="} << Steps{}
        << Cells{"背景色=0", "其它=_blank"};
    QTest::newRow("swap preset style")
        << "换图" << Cells{"图片=http://p/f.png", "链接=http://p/h.png", "文字=#"}
        << Steps{"组合框2#3", "编辑框3:http://shop.example/", "组合框1#1"}
        << Cells{"图片=http://p/f.png", swapStyle3, "其它=3", "文字=http://shop.example/",
                 "背景色=1", "其它1=_self"};
    QTest::newRow("swap custom keeps preset url")
        << "换图" << Cells{} << Steps{"组合框2#3", "组合框2#0"}
        << Cells{swapStyle3, "其它=0", "背景色=0", "其它1=_blank"};
    QTest::newRow("zoom factor index 3")
        << "放大" << Cells{"图片=http://p/z.png", "链接=http://p/z.png", "文字=#", "其它2=_blank", "背景代码=1.2"}
        << Steps{"组合框2#3", "编辑框4:#123456"}
        << Cells{"其它=3", "背景代码=1.5", "其它1=#123456", "背景色=0", "其它2=_blank",
                 "图片=http://p/z.png"};
    QTest::newRow("zoom factor out of list")
        << "放大" << Cells{"其它=9"} << Steps{"组合框1#1"}
        << Cells{"其它=-1", "背景代码=", "背景色=1", "其它2=_self"};
    QTest::newRow("video autoplay")
        << "视频" << Cells{"图片=http://v/p.swf", "链接=0"} << Steps{"组合框1#1"}
        << Cells{"图片=http://v/p.swf", "链接=1"};
    QTest::newRow("flash preset effect")
        << "flash" << Cells{"图片=" + PresetUrls::flashEffect(0), "链接=0"} << Steps{"组合框1#4"}
        << Cells{"图片=" + PresetUrls::flashEffect(4), "链接=4"};
    QTest::newRow("flash custom empties address")
        << "flash" << Cells{"图片=" + PresetUrls::flashEffect(0), "链接=0"}
        << Steps{"组合框1#6", "编辑框1:http://my.example/m.swf"}
        << Cells{"图片=http://my.example/m.swf", "链接=6"};

    QTest::newRow("favourite")
        << "收藏" << Cells{"文字=#"} << Steps{"编辑框1:http://p/badge.gif", "编辑框2:https://shop1.example"}
        << Cells{"图片=http://p/badge.gif", "链接=https://shop1.example", "文字=#"};
    QTest::newRow("share id from item page")
        << "分享" << Cells{} << Steps{"编辑框1:https://item.example/item.htm?spm=a1z10.1&id=52345678901", "编辑框2:http://p/s.gif"}
        << Cells{"图片=52345678901", "链接=http://p/s.gif"};
    QTest::newRow("share 20-digit run")
        << "分享" << Cells{} << Steps{"编辑框1:x12345678901234567890y"}
        << Cells{"图片=1234567890123456"};
    QTest::newRow("share no long run")
        << "分享" << Cells{"图片=old"} << Steps{"编辑框1:id=123456789"}
        << Cells{"图片="};
    QTest::newRow("like earlier 9-digit parameter wins")
        << "喜欢" << Cells{"链接=0"} << Steps{"组合框1#1", "编辑框1:https://item.example/item.htm?scm=123456789&id=52345678901"}
        << Cells{"链接=1", "图片=123456789"};
    QTest::newRow("like 20-digit run")
        << "喜欢" << Cells{} << Steps{"编辑框1:12345678901234567890"}
        << Cells{"图片=123456789012345678", "链接=0"};
    QTest::newRow("like no run")
        << "喜欢" << Cells{} << Steps{"编辑框1:12345678"}
        << Cells{"图片="};
    QTest::newRow("qr tmall shop")
        << "二维码" << Cells{"链接=3"} << Steps{"组合框1#0", "编辑框1:123", "@编辑框_宽:140"}
        << Cells{"链接=0", "图片=123",
                 "文字=" + PresetUrls::qrService() + "/img?type=bs&shop_id=123&w=140&h=140&v=1"};
    QTest::newRow("qr empty id")
        << "二维码" << Cells{"链接=3", "图片=42"} << Steps{"编辑框1:", "@编辑框_宽:90"}
        << Cells{"链接=3", "图片=",
                 "文字=" + PresetUrls::qrService() + "/img?type=ci&item_id=&w=90&h=90&v=1"};
    QTest::newRow("qr unknown type index")
        << "二维码" << Cells{"链接=7", "图片=5"} << Steps{"@编辑框_宽:60"}
        << Cells{"链接=-1", "文字=" + PresetUrls::qrService() + "/img?type=&_id=5&w=60&h=60&v=1"};
    QTest::newRow("cart as typed")
        << "购物车" << Cells{} << Steps{"编辑框1:http://p/c.png", "编辑框2:https://item.example/item.htm?id=52345678901"}
        << Cells{"图片=http://p/c.png", "链接=https://item.example/item.htm?id=52345678901"};
    QTest::newRow("follow as typed")
        << "关注" << Cells{} << Steps{"编辑框1:shop 0012345678901", "编辑框2:http://p/f.png"}
        << Cells{"图片=shop 0012345678901", "链接=http://p/f.png"};
    QTest::newRow("service hidden avatar still saved")
        << "客服" << Cells{"图片=旺旺帐号", "链接=http://p/a.gif"}
        << Steps{"编辑框1:小店客服", "组合框4#1", "组合框5#1", "组合框1#2", "组合框2#1", "组合框3#2"}
        << Cells{"图片=小店客服", "其它1=1", "链接=http://p/a.gif", "其它2=1", "文字=2", "背景色=1", "其它=2"};
    QTest::newRow("group")
        << "旺旺群" << Cells{} << Steps{"编辑框1:http://p/g.gif", "编辑框2:9876"}
        << Cells{"图片=http://p/g.gif", "链接=9876"};
}

void TestEditors::saveWritesRow()
{
    QFETCH(QString, kind);
    QFETCH(Cells, stored);
    QFETCH(Steps, steps);
    QFETCH(Cells, expected);

    const int row = addComponent(kind, stored);
    QPointer<QWidget> editor = openEditor(row);
    QVERIFY(editor);
    runSteps(editor, steps, mWindow);
    pressButton(editor, QStringLiteral("超级按钮2"));

    for (const QString &cell : expected) {
        const int eq = cell.indexOf(QLatin1Char('='));
        const int column = ComponentTable::columnByName(cell.left(eq));
        QVERIFY2(column >= 0, qPrintable(cell));
        QCOMPARE(mTable->cell(row, column), cell.mid(eq + 1));
    }
    if (kind == QStringLiteral("flash"))
        QVERIFY(editor && editor->isVisible());
    else
        QTRY_VERIFY(editor.isNull());
}

void TestEditors::windowFrameAndDocking_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("height");
    QTest::newRow("热点") << "热点" << "热点" << 197;
    QTest::newRow("图片") << "图片" << "图片" << 243;
    QTest::newRow("换图") << "换图" << "换图" << 275;
    QTest::newRow("放大") << "放大" << "放大镜" << 298;
    QTest::newRow("视频") << "视频" << "视频" << 195;
    QTest::newRow("flash") << "flash" << "FLASH" << 186;
    QTest::newRow("收藏") << "收藏" << "收藏" << 162;
    QTest::newRow("分享") << "分享" << "分享" << 170;
    QTest::newRow("二维码") << "二维码" << "二维码" << 186;
    QTest::newRow("购物车") << "购物车" << "购物车" << 178;
    QTest::newRow("喜欢") << "喜欢" << "喜欢" << 171;
    QTest::newRow("关注") << "关注" << "关注" << 180;
    QTest::newRow("客服") << "客服" << "客服" << 246;
    QTest::newRow("旺旺群") << "旺旺群" << "旺旺群" << 170;
}

void TestEditors::windowFrameAndDocking()
{
    QFETCH(QString, kind);
    QFETCH(QString, title);
    QFETCH(int, height);

    QWidget *editor = openEditor(addComponent(kind, {}));
    QVERIFY(editor);
    QCOMPARE(editor->size(), QSize(180, height));
    QCOMPARE(editor->findChild<QLabel *>(QStringLiteral("标签1"))->text(), title);
    QCOMPARE(editor->findChild<QPushButton *>(QStringLiteral("超级按钮1"))->size(), QSize(24, 24));
    QCOMPARE(editor->findChild<QPushButton *>(QStringLiteral("超级按钮2"))->size(), QSize(56, 32));
    QVERIFY(editor->findChild<QWidget *>(QStringLiteral("外形框1")));
    QCOMPARE(editor->pos(), QPoint(mWindow->x() + mWindow->width() - 180 - 5, mWindow->y() + 52));
}

void TestEditors::closeButtonDiscards()
{
    const int row = addComponent(QStringLiteral("图片"), {"图片=http://p/1.jpg"});
    QPointer<QWidget> editor = openEditor(row);
    runSteps(editor, {"编辑框1:http://p/2.jpg", "组合框1#1"}, mWindow);
    QTest::mouseClick(editor->findChild<QPushButton *>(QStringLiteral("超级按钮1")), Qt::LeftButton);
    QTRY_VERIFY(editor.isNull());
    QCOMPARE(mTable->cell(row, ComponentTable::Picture), QStringLiteral("http://p/1.jpg"));
    QCOMPARE(mTable->cell(row, ComponentTable::BgColor), QString());
    QCOMPARE(mTable->cell(row, ComponentTable::Other), QString());
}

void TestEditors::swapStyleLocksHoverField()
{
    QWidget *editor = openEditor(addComponent(QStringLiteral("换图"), {"链接=http://p/mine.png"}));
    auto *hover = editor->findChild<QLineEdit *>(QStringLiteral("编辑框2"));
    QVERIFY(!hover->isReadOnly());

    runSteps(editor, {"组合框2#3"}, mWindow);
    QVERIFY(hover->isReadOnly());
    QCOMPARE(hover->text(), PresetUrls::swapStyleOverlay(3));
    runSteps(editor, {"编辑框2:typed"}, mWindow);
    QCOMPARE(hover->text(), PresetUrls::swapStyleOverlay(3));

    runSteps(editor, {"组合框2#11"}, mWindow);
    QCOMPARE(hover->text(), PresetUrls::swapStyleOverlay(11));
    runSteps(editor, {"组合框2#0"}, mWindow);
    QVERIFY(!hover->isReadOnly());
    QCOMPARE(hover->text(), PresetUrls::swapStyleOverlay(11));

    // Every preset has an address of its own.
    QSet<QString> urls;
    for (int i = 1; i < PresetUrls::swapStyleCount; ++i)
        urls.insert(PresetUrls::swapStyleOverlay(i));
    QCOMPARE(urls.size(), PresetUrls::swapStyleCount - 1);
    QVERIFY(!urls.contains(QString()));
}

void TestEditors::flashEffectsAndStayingOpen()
{
    const int row = addComponent(QStringLiteral("flash"), {"图片=" + PresetUrls::flashEffect(0), "链接=0"});
    QPointer<QWidget> editor = openEditor(row);
    auto *address = editor->findChild<QLineEdit *>(QStringLiteral("编辑框1"));
    QVERIFY(address->isReadOnly());

    runSteps(editor, {"组合框1#6"}, mWindow);
    QVERIFY(!address->isReadOnly());
    QCOMPARE(address->text(), QString());
    runSteps(editor, {"编辑框1:http://my.example/a.swf"}, mWindow);
    pressButton(editor, QStringLiteral("超级按钮2"));
    QCOMPARE(mTable->cell(row, ComponentTable::Picture), QStringLiteral("http://my.example/a.swf"));
    Test::settle();   // a closing editor is gone once its deferred delete has run
    QVERIFY(editor && editor->isVisible());

    runSteps(editor, {"组合框1#2"}, mWindow);
    QVERIFY(address->isReadOnly());
    pressButton(editor, QStringLiteral("超级按钮2"));
    QCOMPARE(mTable->cell(row, ComponentTable::Picture), PresetUrls::flashEffect(2));
    QCOMPARE(mTable->cell(row, ComponentTable::Link), QStringLiteral("2"));
    QVERIFY(editor && editor->isVisible());

    // A stored custom movie loads editable with its address.
    EditorRegistry::closeAll();
    editor = openEditor(addComponent(QStringLiteral("flash"), {"图片=http://x/y.swf", "链接=6"}));
    address = editor->findChild<QLineEdit *>(QStringLiteral("编辑框1"));
    QVERIFY(!address->isReadOnly());
    QCOMPARE(address->text(), QStringLiteral("http://x/y.swf"));
}

void TestEditors::zoomColourPicker()
{
    const int row = addComponent(QStringLiteral("放大"), {});
    QWidget *editor = openEditor(row);
    QTest::mouseClick(editor->findChild<QPushButton *>(QStringLiteral("颜色选择器1")), Qt::LeftButton);
    QColorDialog *dialog = nullptr;
    QTRY_VERIFY((dialog = editor->findChild<QColorDialog *>()));
    dialog->setCurrentColor(QColor(0x00, 0xE0, 0x80));
    dialog->accept();
    QCOMPARE(editor->findChild<QLineEdit *>(QStringLiteral("编辑框4"))->text(), QStringLiteral("#00E080"));
    pressButton(editor, QStringLiteral("超级按钮2"));
    QCOMPARE(mTable->cell(row, ComponentTable::Other1), QStringLiteral("#00E080"));
}

void TestEditors::avatarListDisablesField()
{
    QWidget *editor = openEditor(addComponent(QStringLiteral("客服"), {"链接=http://p/a.gif"}));
    auto *avatar = editor->findChild<QLineEdit *>(QStringLiteral("编辑框2"));
    QVERIFY(avatar->isEnabled());
    runSteps(editor, {"组合框5#1"}, mWindow);
    QVERIFY(!avatar->isEnabled());
    QCOMPARE(avatar->text(), QStringLiteral("http://p/a.gif"));
    runSteps(editor, {"组合框5#0"}, mWindow);
    QVERIFY(avatar->isEnabled());

    // A stored hidden avatar opens with its field disabled.
    EditorRegistry::closeAll();
    editor = openEditor(addComponent(QStringLiteral("客服"), {"其它2=1"}));
    QVERIFY(!editor->findChild<QLineEdit *>(QStringLiteral("编辑框2"))->isEnabled());
}

QTEST_MAIN(TestEditors)
#include "tst_editors.moc"
