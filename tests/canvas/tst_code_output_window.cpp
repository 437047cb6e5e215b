#include "canvas/main_window.h"
#include "canvas/code_output_window.h"
#include "codegen/module_generator.h"
#include "canvas/design_canvas.h"
#include "model/program_dir.h"
#include "model/text_ops.h"
#include "model/component_table.h"
#include "support/editor_driving.h"
#include "support/test_support.h"

#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

using namespace Plumbrook;

class TestCodeOutputWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void generateAndCopy_data();
    void generateAndCopy();
    void copyTakesTheBoxAsItIs();
    void previewWritesTheBoxInGbk_data();
    void previewWritesTheBoxInGbk();
    void generateCodeOpensOneWindow();
    void generationCountsFindings();

private:
    void click(const char *button);
    QPlainTextEdit *codeBox() const { return mWindow->findChild<QPlainTextEdit *>(QStringLiteral("编辑框1")); }

    std::unique_ptr<Test::TemporaryProgramDir> mProgramDir;
    std::unique_ptr<ComponentTable> mTable;
    QPointer<CodeOutputWindow> mWindow;
    QList<QUrl> mOpened;
};

void TestCodeOutputWindow::init()
{
    mProgramDir = std::make_unique<Test::TemporaryProgramDir>();
    mTable = std::make_unique<ComponentTable>();
    mTable->setCell(0, ComponentTable::Other4,
                    QStringLiteral("<div class=\"ZozIre\" data-title=\"{data-title}\" style=\"width:950px;height:500px;\">"
                                   "<div style=\"height:500px;\">\r\n"));
    const int row = mTable->appendRow(QStringLiteral("2"), QStringLiteral("文字"));
    mTable->setCell(row, ComponentTable::Picture, QStringLiteral("店铺公告"));
    mOpened.clear();
    CodeOutputWindow::setUrlOpener([this](const QUrl &url) { mOpened.append(url); });
    mWindow = new CodeOutputWindow(mTable.get());
    mWindow->show();
    QApplication::clipboard()->setText(QStringLiteral("before"));
}

void TestCodeOutputWindow::cleanup()
{
    delete mWindow;
    CodeOutputWindow::setUrlOpener({});
    mTable.reset();
    mProgramDir.reset();
}

void TestCodeOutputWindow::click(const char *button)
{
    auto *target = mWindow->findChild<QPushButton *>(QString::fromUtf8(button));
    QVERIFY(target);
    QTest::mouseClick(target, Qt::LeftButton);
}

void TestCodeOutputWindow::generateAndCopy_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("shrink");
    QTest::newRow("empty field") << "" << "auto";
    QTest::newRow("-20") << "-20" << "-20px";
    QTest::newRow("letters") << "abc" << "abcpx";
}

void TestCodeOutputWindow::generateAndCopy()
{
    QFETCH(QString, field);
    QFETCH(QString, shrink);
    mWindow->findChild<QLineEdit *>(QStringLiteral("编辑框2"))->setText(field);
    click("超级按钮2");
    const QString expected = ModuleGenerator(*mTable).generate(shrink);
    QVERIFY(expected.contains(QStringLiteral("\r\n")));
    QCOMPARE(QApplication::clipboard()->text(), expected);
    QCOMPARE(mWindow->codeText(), expected);
    QVERIFY(mWindow->findChild<QPushButton *>(QStringLiteral("超级按钮2"))->isEnabled());
}

void TestCodeOutputWindow::copyTakesTheBoxAsItIs()
{
    click("超级按钮2");
    codeBox()->setPlainText(QStringLiteral("手改的\n代码"));
    click("超级按钮3");
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("手改的\r\n代码"));
    codeBox()->clear();
    click("超级按钮3");
    QCOMPARE(QApplication::clipboard()->text(), QString());
}

void TestCodeOutputWindow::previewWritesTheBoxInGbk_data()
{
    QTest::addColumn<bool>("generate");
    QTest::addColumn<QString>("editionCell");
    QTest::addColumn<QString>("edition");
    QTest::addColumn<QString>("programFolder");
    QTest::newRow("typed by hand, settings never confirmed") << false << "" << "集市" << "";
    QTest::newRow("generated, 天猫") << true << "0" << "天猫" << "";
    QTest::newRow("program in a Chinese folder") << true << "0" << "天猫" << "店铺 设计器";
}

void TestCodeOutputWindow::previewWritesTheBoxInGbk()
{
    QFETCH(bool, generate);
    QFETCH(QString, editionCell);
    QFETCH(QString, edition);
    QFETCH(QString, programFolder);
    const QString programDir = QDir(mProgramDir->path()).filePath(programFolder);
    QVERIFY(QDir().mkpath(programDir));
    ProgramDir::setOverride(programDir);
    mTable->setCell(0, ComponentTable::BgCode, editionCell);
    if (generate)
        click("超级按钮2");
    else
        codeBox()->setPlainText(QStringLiteral("手改的\n代码"));
    click("超级按钮4");
    const QString path = programDir + QStringLiteral("/yl.html");
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    // A whole page around the box's text, which stands in it byte for byte.
    QVERIFY(bytes.startsWith("<!DOCTYPE html>"));
    QVERIFY(bytes.contains("<meta charset=\"gbk\">"));
    QVERIFY(bytes.contains(TextOps::toGbk(QStringLiteral("data-edition=\"%1\"").arg(edition))));
    QVERIFY(bytes.contains("\n" + TextOps::toGbk(mWindow->codeText()) + "\n</div></div>"));
    if (generate) {
        QVERIFY(bytes.contains(QByteArray("\xb5\xea\xc6\xcc\xb9\xab\xb8\xe6")));   // 店铺公告
        QVERIFY(bytes.contains("</div></div></div>\n</div></div>"));
    } else {
        QVERIFY(bytes.contains("\r\n"));
    }
    QCOMPARE(mOpened, QList<QUrl>{QUrl::fromLocalFile(path)});
}

void TestCodeOutputWindow::generateCodeOpensOneWindow()
{
    Test::DesignerWindow designer;
    MainWindow &main = *designer.window();
    auto *button = main.findChild<QPushButton *>(QStringLiteral("超级按钮_生成代码"));
    QVERIFY(button);
    button->click();
    QPointer<QWidget> first = main.codeOutputWindow;
    QVERIFY(first);
    QVERIFY(first->isVisible());
    const auto summary = [&] { return main.codeOutputWindow->findChild<QLabel *>(QStringLiteral("标签_检查"))->text(); };
    QCOMPARE(summary(), QStringLiteral("0 个错误，0 个提醒"));
    // Each press checks the design as it is then.
    main.canvas()->addComponent(QStringLiteral("热点"));
    button->click();
    QCOMPARE(main.codeOutputWindow.data(), first.data());
    QCOMPARE(main.findChildren<CodeOutputWindow *>().size(), 1);
    QCOMPARE(summary(), QStringLiteral("1 个错误，0 个提醒"));

    // Closing discards the window; the next press opens a fresh one.
    QTest::mouseClick(first->findChild<QPushButton *>(QStringLiteral("超级按钮1")), Qt::LeftButton);
    QTRY_VERIFY(!first);
    button->click();
    QVERIFY(main.codeOutputWindow);
}

void TestCodeOutputWindow::generationCountsFindings()
{
    // A hotspot leading nowhere, lying partly below the module.
    const int row = mTable->appendRow(QStringLiteral("3"), QStringLiteral("热点"));
    for (const auto &[column, text] : {std::pair{ComponentTable::Left, "10"}, {ComponentTable::Top, "480"},
                                       {ComponentTable::Width, "50"}, {ComponentTable::Height, "50"}})
        mTable->setCell(row, column, QString::fromUtf8(text));
    click("超级按钮2");
    QCOMPARE(mWindow->findChild<QLabel *>(QStringLiteral("标签_检查"))->text(), QStringLiteral("2 个错误，1 个提醒"));
    // Told, not stopped: the code went to the clipboard all the same.
    QCOMPARE(QApplication::clipboard()->text(), ModuleGenerator(*mTable).generate(QStringLiteral("auto")));
}

QTEST_MAIN(TestCodeOutputWindow)
#include "tst_code_output_window.moc"
