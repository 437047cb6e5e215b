#include "canvas/code_import_window.h"
#include "canvas/design_canvas.h"
#include "canvas/file_menu.h"
#include "model/frame_picture.h"
#include "canvas/main_window.h"
#include "canvas/module_background_layer.h"
#include "codegen/code_reader.h"
#include "codegen/module_generator.h"
#include "model/text_ops.h"
#include "model/carousel_settings.h"
#include "components/component_creation.h"
#include "model/creation_defaults.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/design_file.h"
#include "model/kind_table.h"
#include "model/module_settings.h"
#include "support/canvas_driving.h"
#include "support/editor_driving.h"
#include "support/test_support.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

using namespace Plumbrook;
using T = ComponentTable;

namespace {

QByteArray fakeFetch(const QString &url)
{
    return makeFramePicture(int(url.size()), 7, 0x102030, 0x102030);
}

} // namespace

class TestCodeImportWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void menuOpensTheWindow();
    void importIsOneUndoStep();
    void shrinkAmountComesAlong();
    void shrinkAmountGoesWithItsStep();
    void readsFiles_data();
    void readsFiles();
    void unreadableCodeChangesNothing();
    void dragsByItsSurface();

private:
    CodeImportWindow *openWindow();
    void click(const char *button);

    std::unique_ptr<Test::DesignerWindow> mDesigner;
    QTemporaryDir *mData = nullptr;
    MainWindow *mWindow = nullptr;
    QPointer<CodeImportWindow> mImport;
    QString mChosen;
};

void TestCodeImportWindow::init()
{
    mData = new QTemporaryDir;
    Test::DesignerOptions options;
    options.beforeShow = [this](MainWindow *window, const QString &) {
        window->fileMenu()->setDataDir(mData->path());
        window->fileMenu()->setPreviewFetch(&fakeFetch);
        // The design in the window goes unsaved when another comes.
        window->fileMenu()->setAsker([](const QString &, const QStringList &) { return 1; });
    };
    CodeImportWindow::setChooser([this] { return mChosen; });
    mDesigner = std::make_unique<Test::DesignerWindow>(std::move(options));
    mWindow = mDesigner->window();
    mImport = openWindow();
}

void TestCodeImportWindow::cleanup()
{
    const bool ended = mDesigner->closeWindow();
    CodeImportWindow::setChooser({});
    mDesigner.reset();
    mWindow = nullptr;
    delete mData;
    QVERIFY2(ended, "work of the window was still running");
}

CodeImportWindow *TestCodeImportWindow::openWindow()
{
    for (QAction *action : mWindow->fileMenu()->menu()->actions()) {
        if (action->text() == QStringLiteral("导入代码…"))
            action->trigger();
    }
    return mWindow->findChild<CodeImportWindow *>();
}

void TestCodeImportWindow::click(const char *button)
{
    QTest::mouseClick(mImport->findChild<QPushButton *>(QString::fromUtf8(button)), Qt::LeftButton);
    Test::settle();
}

void TestCodeImportWindow::menuOpensTheWindow()
{
    QVERIFY(mImport);
    QVERIFY(mImport->isVisible());
    QCOMPARE(mImport->findChild<QPushButton *>(QStringLiteral("超级按钮2"))->text(), QStringLiteral("导入"));
    QCOMPARE(mImport->findChild<QPushButton *>(QStringLiteral("超级按钮3"))->text(), QStringLiteral("从文件…"));
    QVERIFY(mImport->findChild<QPlainTextEdit *>(QStringLiteral("编辑框1")));
    // A second choice of the menu brings the same window forward.
    QCOMPARE(openWindow(), mImport);
    QCOMPARE(mWindow->findChildren<CodeImportWindow *>().size(), 1);
}

void TestCodeImportWindow::importIsOneUndoStep()
{
    // The code of a design with every kind, the module confirmed for 天猫.
    DesignCanvas *canvas = mWindow->canvas();
    ComponentTable *table = mWindow->table();
    for (const KindTable::KindInfo &kind : KindTable::all())
        canvas->addComponent(kind.name);
    ModuleSettings settings = ModuleSettings::load(*table);
    settings.edition = 0;
    mWindow->document()->writeUnstepped([&] {
        settings.save(*table);
        table->setCell(0, T::Other4, settings.buildWrapper());
    });
    Test::settle();
    const QString code = Test::generated(*table);
    const int components = table->count() - 1 - 2;   // the carousel's arrows are its own

    mWindow->fileMenu()->newDesign();
    canvas->addComponent(QStringLiteral("文字"));
    Test::settle();
    const QVector<QStringList> before = table->rows();
    const int steps = mWindow->document()->undoStack()->index();

    mImport->setCode(code);
    click("超级按钮2");
    QTRY_COMPARE(ModuleBackgroundLayer::runningWorkers(), 0);
    Test::settle();
    QCOMPARE(mWindow->statusText(), QStringLiteral("已导入代码：识别出模块设置和 %1 个组件").arg(components));
    QTRY_VERIFY(!mImport);   // closed and gone
    QCOMPARE(Test::generated(*table), code);
    QCOMPARE(canvas->allObjects().size(), table->count() - 1);
    QVERIFY(table->creationCounter() >= DesignFile::highestId(table->rows()));
    int carousel = 1;
    while (table->cell(carousel, T::Kind) != KindTable::nameOf(KindTable::Kind::Carousel))
        ++carousel;
    QCOMPARE(CarouselSettings::read(CarouselSettings::numberOf(*table, carousel), CarouselSettings::kNumber),
             QStringLiteral("6"));
    QCOMPARE(mWindow->document()->undoStack()->index(), steps + 1);

    QCOMPARE(mWindow->document()->undoStack()->undoText(), QStringLiteral("导入代码"));
    mWindow->document()->undoStack()->undo();
    Test::settle();
    QCOMPARE(table->rows(), before);
    QCOMPARE(canvas->allObjects().size(), 1);
}

void TestCodeImportWindow::shrinkAmountComesAlong()
{
    ComponentTable *table = mWindow->table();
    ModuleSettings settings = ModuleSettings::load(*table);
    mWindow->document()->writeUnstepped([&] { table->setCell(0, T::Other4, settings.buildWrapper()); });
    const QString code = Test::generated(*table, QStringLiteral("-20px"));

    mImport->setCode(code);
    click("超级按钮2");
    mWindow->openCodeOutput();
    auto *field = mWindow->codeOutputWindow->findChild<QLineEdit *>(QStringLiteral("编辑框2"));
    QCOMPARE(field->text(), QStringLiteral("-20"));
    const QString path = mData->filePath(QStringLiteral("shrunk.plbd"));
    QVERIFY(Test::saveAndWait(mWindow->fileMenu(), path));
    QCOMPARE(DesignFile::readFile(path)->shrink, QStringLiteral("-20"));

    // A new design, as the code output window always did, starts with an empty field.
    mWindow->codeOutputWindow->close();
    Test::settle();
    mWindow->fileMenu()->newDesign();
    mWindow->openCodeOutput();
    QCOMPARE(mWindow->codeOutputWindow->findChild<QLineEdit *>(QStringLiteral("编辑框2"))->text(), QString());
}

// The amount belongs to the design the import put in place: undone, the design before it
// comes back with its own amount, in the open code window and in the file saved next.
void TestCodeImportWindow::shrinkAmountGoesWithItsStep()
{
    ComponentTable *table = mWindow->table();
    ModuleSettings settings = ModuleSettings::load(*table);
    mWindow->document()->writeUnstepped([&] { table->setCell(0, T::Other4, settings.buildWrapper()); });
    mWindow->openCodeOutput();
    auto *field = mWindow->codeOutputWindow->findChild<QLineEdit *>(QStringLiteral("编辑框2"));
    QCOMPARE(field->text(), QString());

    mImport->setCode(Test::generated(*table, QStringLiteral("-20px")));
    click("超级按钮2");
    QCOMPARE(mWindow->designShrink(), QStringLiteral("-20"));
    QCOMPARE(field->text(), QStringLiteral("-20"));

    QUndoStack *stack = mWindow->document()->undoStack();
    stack->undo();
    Test::settle();
    QCOMPARE(mWindow->designShrink(), QString());
    QCOMPARE(field->text(), QString());
    const QString path = mData->filePath(QStringLiteral("undone.plbd"));
    QVERIFY(Test::saveAndWait(mWindow->fileMenu(), path));
    QCOMPARE(DesignFile::readFile(path)->shrink, QString());

    stack->redo();
    Test::settle();
    QCOMPARE(mWindow->designShrink(), QStringLiteral("-20"));
    QCOMPARE(field->text(), QStringLiteral("-20"));
}

void TestCodeImportWindow::readsFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("readable");
    const QString code = QStringLiteral("<div class=\"sn-simple-logo\" title=\"店小二\"></div>");
    QTest::newRow("UTF-8") << code.toUtf8() << true;
    QTest::newRow("GBK") << TextOps::toGbk(code) << true;
    QTest::newRow("no encoding") << QByteArray("<div>\xFF\xFF\x80</div>") << false;
}

void TestCodeImportWindow::readsFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, readable);
    mImport->setCode(QStringLiteral("kept"));
    mChosen = mData->filePath(QStringLiteral("module.html"));
    QFile file(mChosen);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    click("超级按钮3");
    if (readable) {
        QCOMPARE(mImport->code(), *CodeReader::decode(bytes));
        QCOMPARE(mWindow->statusText(), QStringLiteral("已读入：module.html"));
    } else {
        QCOMPARE(mImport->code(), QStringLiteral("kept"));
        QVERIFY(mWindow->statusText().startsWith(QStringLiteral("文件无法读取：")));
    }
}

void TestCodeImportWindow::unreadableCodeChangesNothing()
{
    mWindow->canvas()->addComponent(QStringLiteral("图片"));
    Test::settle();
    const QVector<QStringList> before = mWindow->table()->rows();
    const int steps = mWindow->document()->undoStack()->index();
    mImport->setCode(QStringLiteral("<table>\n<tr><td>x</td></tr>\n</table>"));
    click("超级按钮2");
    QCOMPARE(mWindow->statusText(),
             QStringLiteral("没有识别出模块或组件，设计未改变；无法识别的代码：第 1 行 <table>"));
    QCOMPARE(mWindow->table()->rows(), before);
    QCOMPARE(mWindow->document()->undoStack()->index(), steps);
    QVERIFY(mImport->isVisible());
}

void TestCodeImportWindow::dragsByItsSurface()
{
    QVERIFY(QTest::qWaitForWindowExposed(mImport));
    // A spot of the window's own surface, clear of its controls.
    QPoint grab;
    for (int y = 1; y < mImport->height() && grab.isNull(); y += 4) {
        for (int x = 1; x < mImport->width() && grab.isNull(); x += 4) {
            if (!mImport->childAt(x, y))
                grab = QPoint(x, y);
        }
    }
    QVERIFY(!grab.isNull());
    const QPoint before = mImport->pos();
    const QPoint grabbedAt = mImport->mapToGlobal(grab);
    QTest::mousePress(mImport, Qt::LeftButton, {}, grab);
    QTest::mouseMove(mImport, mImport->mapFromGlobal(grabbedAt + QPoint(-30, 45)));
    QTest::mouseRelease(mImport, Qt::LeftButton, {}, mImport->mapFromGlobal(grabbedAt + QPoint(-30, 45)));
    QCOMPARE(mImport->pos(), before + QPoint(-30, 45));
}

QTEST_MAIN(TestCodeImportWindow)
#include "tst_code_import_window.moc"
