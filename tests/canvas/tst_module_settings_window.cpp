#include "canvas/canvas_surface.h"
#include "canvas/design_canvas.h"
#include "canvas/main_window.h"
#include "canvas/module_background_layer.h"
#include "codegen/module_generator.h"
#include "components/colour_picker_button.h"
#include "model/component_table.h"
#include "canvas/module_settings_window.h"
#include "support/editor_driving.h"
#include "support/test_support.h"

#include <QColorDialog>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace Plumbrook;

class TestModuleSettingsWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void layoutAndLists_data();
    void layoutAndLists();
    void opensWithTheInitialRecord();
    void opensOnlyOnce();
    void confirmStoresRedrawsAndBuilds();
    void typedColourIsKeptAsTheModulesColour();
    void pickedColourIsWrittenAndStored();
    void closingDiscardsTheEdits();
    void sizesAfterConfirm_data();
    void sizesAfterConfirm();

private:
    QWidget *openWindow();
    template<typename T> T *control(const char *name) const
    {
        T *widget = mSettings ? mSettings->findChild<T *>(QString::fromUtf8(name)) : nullptr;
        if (!widget)
            qWarning("no control %s", name);
        return widget;
    }
    void type(const char *name, const QString &text);
    void press(const char *name);

    std::unique_ptr<Test::DesignerWindow> mDesigner;
    MainWindow *mWindow = nullptr;
    ComponentTable *mTable = nullptr;
    QPointer<QWidget> mSettings;
};

void TestModuleSettingsWindow::init()
{
    mDesigner = std::make_unique<Test::DesignerWindow>();
    mWindow = mDesigner->window();
    mTable = mWindow->table();
}

void TestModuleSettingsWindow::cleanup()
{
    QVERIFY2(mDesigner->closeWindow(), "background workers were still running");
    mDesigner.reset();
    mWindow = nullptr;
}

QWidget *TestModuleSettingsWindow::openWindow()
{
    QTest::mouseClick(mWindow->findChild<QPushButton *>(QStringLiteral("超级按钮_背景1")), Qt::LeftButton);
    mSettings = mWindow->moduleSettingsWindow;
    return mSettings;
}

void TestModuleSettingsWindow::type(const char *name, const QString &text)
{
    QLineEdit *edit = control<QLineEdit>(name);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

void TestModuleSettingsWindow::press(const char *name)
{
    QTest::mouseClick(control<QPushButton>(name), Qt::LeftButton);
}

void TestModuleSettingsWindow::layoutAndLists_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("edition") << "组合框_版本" << QStringList{"天猫", "集市"};
    QTest::newRow("repeat") << "组合框_平铺" << QStringList{"平铺", "横向", "纵向", "不平铺"};
    QTest::newRow("horizontal") << "组合框_左右" << QStringList{"左", "中", "右"};
    QTest::newRow("vertical") << "组合框_上下" << QStringList{"上", "中", "下"};
    QTest::newRow("attachment") << "组合框_固定" << QStringList{"否", "是"};
}

void TestModuleSettingsWindow::layoutAndLists()
{
    QFETCH(QString, list);
    QFETCH(QStringList, entries);
    QVERIFY(openWindow());
    QCOMPARE(mSettings->size(), QSize(380, 306));
    QVERIFY(mSettings->isWindow());
    QCOMPARE(mSettings->parentWidget(), mWindow);
    auto *combo = mSettings->findChild<QComboBox *>(list);
    QVERIFY(combo);
    QStringList shown;
    for (int i = 0; i < combo->count(); ++i)
        shown << combo->itemText(i);
    QCOMPARE(shown, entries);
    QCOMPARE(control<QPushButton>("超级按钮2")->text(), QStringLiteral("确定"));
    QCOMPARE(control<QPushButton>("超级按钮2")->size(), QSize(56, 32));
    QCOMPARE(control<QPushButton>("超级按钮1")->size(), QSize(24, 24));
    QVERIFY(control<QLineEdit>("编辑框_图片"));
    QVERIFY(control<QLineEdit>("编辑框_锚点名"));
}

void TestModuleSettingsWindow::opensWithTheInitialRecord()
{
    QVERIFY(openWindow());
    QCOMPARE(control<QLineEdit>("编辑框_宽度")->text(), QStringLiteral("950"));
    QCOMPARE(control<QLineEdit>("编辑框_高度")->text(), QStringLiteral("500"));
    QCOMPARE(control<QLineEdit>("编辑框_背景色")->text(), QStringLiteral("#00E080"));
    QCOMPARE(control<ColourPickerButton>("颜色选择器1")->colour(), 8445952);
    QCOMPARE(control<QComboBox>("组合框_平铺")->currentText(), QStringLiteral("平铺"));
    QCOMPARE(control<QComboBox>("组合框_左右")->currentText(), QStringLiteral("右"));
    QCOMPARE(control<QComboBox>("组合框_上下")->currentText(), QStringLiteral("上"));
    QCOMPARE(control<QComboBox>("组合框_固定")->currentText(), QStringLiteral("否"));
    QCOMPARE(control<QComboBox>("组合框_版本")->currentText(), QStringLiteral("天猫"));
    QVERIFY(control<QLineEdit>("编辑框_图片")->text().isEmpty());
    QVERIFY(control<QLineEdit>("编辑框_锚点名")->text().isEmpty());
}

void TestModuleSettingsWindow::opensOnlyOnce()
{
    QWidget *first = openWindow();
    QVERIFY(first);
    type("编辑框_宽度", QStringLiteral("777"));
    QWidget *second = openWindow();
    QCOMPARE(second, first);
    // Brought to the front as it was, not reloaded.
    QCOMPARE(control<QLineEdit>("编辑框_宽度")->text(), QStringLiteral("777"));
    QCOMPARE(mWindow->findChildren<ModuleSettingsWindow *>().size(), 1);
}

void TestModuleSettingsWindow::confirmStoresRedrawsAndBuilds()
{
    QVERIFY(openWindow());
    type("编辑框_宽度", QStringLiteral("1920"));
    type("编辑框_高度", QStringLiteral("600"));
    type("编辑框_锚点名", QStringLiteral("top"));
    type("编辑框_图片", QStringLiteral("  "));
    control<QComboBox>("组合框_版本")->setCurrentIndex(1);
    control<QComboBox>("组合框_平铺")->setCurrentIndex(3);
    control<QComboBox>("组合框_上下")->setCurrentIndex(2);
    control<QComboBox>("组合框_固定")->setCurrentIndex(1);
    press("超级按钮2");
    QTRY_VERIFY(!mSettings);
    QTRY_COMPARE(mWindow->statusText(), QStringLiteral("背景层参数设置完成"));

    QCOMPARE(mTable->cell(0, ComponentTable::Width), QStringLiteral("1920"));
    QCOMPARE(mTable->cell(0, ComponentTable::Height), QStringLiteral("600"));
    QCOMPARE(mTable->cell(0, ComponentTable::Picture), QStringLiteral("  "));
    QCOMPARE(mTable->cell(0, ComponentTable::Link), QStringLiteral("top"));
    QCOMPARE(mTable->cell(0, ComponentTable::Text), QStringLiteral("3"));
    QCOMPARE(mTable->cell(0, ComponentTable::Other), QStringLiteral("2"));
    QCOMPARE(mTable->cell(0, ComponentTable::Other1), QStringLiteral("2"));
    QCOMPARE(mTable->cell(0, ComponentTable::Other2), QStringLiteral("1"));
    QCOMPARE(mTable->cell(0, ComponentTable::BgCode), QStringLiteral("1"));
    QCOMPARE(mWindow->canvas()->backgroundPictureSize(), QSize(1920, 600));
    QCOMPARE(mWindow->canvas()->backgroundPos(), QPoint(5, 5));

    const QString wrapper = mTable->cell(0, ComponentTable::Other4);
    QVERIFY(wrapper.contains(QStringLiteral("left:-485px;")));
    QVERIFY(wrapper.contains(QStringLiteral("<a name=\"top\"")));
    QVERIFY(wrapper.contains(QStringLiteral("background-image:url();background-repeat:no-repeat;"
                                            "background-position:right bottom;background-attachment:fixed;")));
    const QString code = ModuleGenerator(*mTable).generate(QStringLiteral("auto"));
    QVERIFY(code.startsWith(QStringLiteral("<div class=\"ZozIre\" data-title=\"") + ModuleGenerator::generatorNotice()));
}

void TestModuleSettingsWindow::typedColourIsKeptAsTheModulesColour()
{
    QVERIFY(openWindow());
    type("编辑框_背景色", QStringLiteral("#123456"));
    QCOMPARE(control<ColourPickerButton>("颜色选择器1")->colour(), 8445952);
    press("超级按钮2");
    QTRY_VERIFY(!mSettings);
    QVERIFY(mTable->cell(0, ComponentTable::Other4).contains(QStringLiteral("background-color:#123456;")));
    // The typed colour, as the code has it, is the one the canvas shows and the row keeps.
    QCOMPARE(mTable->cell(0, ComponentTable::BgColor), QString::number(0x563412));
    QTRY_COMPARE(ModuleBackgroundLayer::runningWorkers(), 0);

    QVERIFY(openWindow());
    QCOMPARE(control<QLineEdit>("编辑框_背景色")->text(), QStringLiteral("#123456"));
}

void TestModuleSettingsWindow::pickedColourIsWrittenAndStored()
{
    QVERIFY(openWindow());
    press("颜色选择器1");
    QColorDialog *dialog = nullptr;
    QTRY_VERIFY((dialog = mSettings->findChild<QColorDialog *>()));
    QCOMPARE(dialog->currentColor(), QColor(0x00, 0xE0, 0x80));
    dialog->setCurrentColor(QColor(0xFF, 0x00, 0x10));
    dialog->accept();
    QCOMPARE(control<QLineEdit>("编辑框_背景色")->text(), QStringLiteral("#FF0010"));
    QCOMPARE(control<ColourPickerButton>("颜色选择器1")->colour(), 0x1000FF);
    press("超级按钮2");
    QTRY_VERIFY(!mSettings);
    QCOMPARE(mTable->cell(0, ComponentTable::BgColor), QString::number(0x1000FF));
    QVERIFY(mTable->cell(0, ComponentTable::Other4).contains(QStringLiteral("background-color:#FF0010;")));
    QTRY_COMPARE(mWindow->statusText(), QStringLiteral("背景层参数设置完成"));
    const QImage shown = mWindow->canvas()->surface()->spriteImage(mWindow->canvas()->backgroundId());
    QCOMPARE(QColor(shown.pixel(100, 100)), QColor(0xFF, 0x00, 0x10));
}

void TestModuleSettingsWindow::closingDiscardsTheEdits()
{
    const QStringList before = mTable->rowCells(0);
    QVERIFY(openWindow());
    type("编辑框_宽度", QStringLiteral("1200"));
    control<QComboBox>("组合框_版本")->setCurrentIndex(1);
    press("超级按钮1");
    QTRY_VERIFY(!mSettings);
    QCOMPARE(mTable->rowCells(0), before);
    QCOMPARE(ModuleBackgroundLayer::runningWorkers(), 0);

    QVERIFY(openWindow());
    QCOMPARE(control<QLineEdit>("编辑框_宽度")->text(), QStringLiteral("950"));
    QCOMPARE(control<QComboBox>("组合框_版本")->currentIndex(), 0);
}

void TestModuleSettingsWindow::sizesAfterConfirm_data()
{
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::addColumn<QSize>("drawn");
    QTest::newRow("plain") << "1200" << "80" << QSize(1200, 80);
    QTest::newRow("leading number") << "300px" << " 40" << QSize(300, 40);
    QTest::newRow("not a number") << "wide" << "500" << QSize(0, 0);
    QTest::newRow("zero") << "0" << "0" << QSize(0, 0);
    QTest::newRow("negative") << "-300" << "200" << QSize(0, 0);
    QTest::newRow("huge") << "99999" << "99999" << QSize(0, 0);
    QTest::newRow("overflowing") << "99999999999" << "2" << QSize(0, 0);
}

void TestModuleSettingsWindow::sizesAfterConfirm()
{
    QFETCH(QString, width);
    QFETCH(QString, height);
    QFETCH(QSize, drawn);
    QVERIFY(openWindow());
    type("编辑框_宽度", width);
    type("编辑框_高度", height);
    press("超级按钮2");
    QTRY_VERIFY(!mSettings);
    // The wrapper takes the texts as typed; the record then takes the drawn size.
    QVERIFY(mTable->cell(0, ComponentTable::Other4).contains(
        QStringLiteral("style=\"width:%1px;height:%2px;\"").arg(width, height)));
    QTRY_COMPARE_WITH_TIMEOUT(ModuleBackgroundLayer::runningWorkers(), 0, 20000);
    QCOMPARE(mWindow->statusText(), QStringLiteral("背景层参数设置完成"));
    QCOMPARE(mWindow->canvas()->backgroundPictureSize(), drawn);
    QCOMPARE(mTable->cell(0, ComponentTable::Width), QString::number(drawn.width()));
    QCOMPARE(mTable->cell(0, ComponentTable::Height), QString::number(drawn.height()));
}

QTEST_MAIN(TestModuleSettingsWindow)
#include "tst_module_settings_window.moc"
