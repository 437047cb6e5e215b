#include "canvas/design_canvas.h"
#include "canvas/main_window.h"
#include "canvas/picture_object.h"
#include "canvas/preview_download.h"
#include "components/carousel_editor.h"
#include "model/carousel_settings.h"
#include "components/component_creation.h"
#include "components/editor_registry.h"
#include "model/program_dir.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/design_file.h"
#include "model/kind_table.h"
#include "support/canvas_driving.h"
#include "support/editor_driving.h"
#include "support/loopback_server.h"
#include "support/test_support.h"

#include <httplib.h>

#include <QBuffer>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <thread>

using namespace Plumbrook;
using namespace Plumbrook::Test;
using namespace std::chrono_literals;
namespace CS = CarouselSettings;

namespace {

// "key=value" pairs of a settings file.
using Keys = QStringList;
// The key names of a settings file in the order its lines stand.
QStringList keysInFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList keys;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const int eq = line.indexOf('=');
        if (eq > 0)
            keys.append(QString::fromLatin1(line.left(eq).trimmed()));
    }
    return keys;
}

} // namespace

class TestCarouselEditor : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void newCarouselEditorState();
    void saveWritesSettings_data();
    void saveWritesSettings();
    void pictureCountDisablesRows();
    void missingFileChangesNothingShown();
    void badIndexesLoad_data();
    void badIndexesLoad();
    void arrowsHiddenLiveWithoutSaving();
    void recordSlotsStayEmpty();
    void componentAboveDeleted();
    void numberStaysWithoutItsArrows();
    void unwritableMirrorKeepsTheSettings();
    void previewLandsAfterWindowClosed();

private:
    int addCarousel();
    template<typename W> static W *child(QWidget *editor, const char *name)
    {
        return editor->findChild<W *>(QString::fromUtf8(name));
    }

    Test::AnswerGate mGate;   // before the server, which outlives it otherwise
    Test::LoopbackServer mServer;
    const QByteArray mBlue = png(Qt::blue);

    std::unique_ptr<Test::DesignerWindow> mDesigner;
    MainWindow *mWindow = nullptr;
    ComponentTable *mTable = nullptr;
};

void TestCarouselEditor::initTestCase()
{
    registerCarouselEditor();
    mServer.server().Get("/slow.png", [this](const httplib::Request &, httplib::Response &res) {
        mGate.pass();
        res.set_content(mBlue.toStdString(), "image/png");
    });
    mServer.start();
}

void TestCarouselEditor::init()
{
    mDesigner = std::make_unique<Test::DesignerWindow>();
    mWindow = mDesigner->window();
    QVERIFY(mWindow->isVisible());
    mTable = mWindow->table();
}

void TestCarouselEditor::cleanup()
{
    mDesigner.reset();
    mWindow = nullptr;
}

int TestCarouselEditor::addCarousel()
{
    return mWindow->canvas()->addComponent(KindTable::nameOf(KindTable::Kind::Carousel));
}

void TestCarouselEditor::newCarouselEditorState()
{
    const int row = addCarousel();
    QWidget *editor = openEditor(mWindow, row);
    QVERIFY(editor);
    QCOMPARE(editor->size(), QSize(280, 386));
    QCOMPARE(editor->pos(), QPoint(mWindow->x() + mWindow->width() - 280 - 5, mWindow->y() + 52));
    QCOMPARE(child<QLabel>(editor, "标签1")->text(), QStringLiteral("轮播"));
    auto *tabs = child<QTabWidget>(editor, "高级选择夹1");
    QVERIFY(tabs);
    QCOMPARE(tabs->count(), 3);
    QCOMPARE(tabs->tabText(0), QStringLiteral("图片"));
    QCOMPARE(tabs->tabText(1), QStringLiteral("箭头"));
    QCOMPARE(tabs->tabText(2), QStringLiteral("动画"));

    QCOMPARE(child<QComboBox>(editor, "组合框6")->currentText(), QStringLiteral("8张"));
    for (int n = 1; n <= 8; ++n) {
        auto *picture = editor->findChild<QLineEdit *>(QStringLiteral("编辑框_图%1").arg(n));
        auto *link = editor->findChild<QLineEdit *>(QStringLiteral("编辑框_链接%1").arg(n));
        QVERIFY(picture->isEnabled() && link->isEnabled());
        QCOMPARE(picture->text(), n % 2 ? CS::kSamplePictureA : CS::kSamplePictureB);
        QCOMPARE(link->text(), QStringLiteral("#"));
    }
    QCOMPARE(child<QComboBox>(editor, "组合框5")->currentText(), QStringLiteral("是"));
    QCOMPARE(child<QLineEdit>(editor, "编辑框_左箭头")->text(), CS::kDefaultLeftArrowUrl);
    QCOMPARE(child<QLineEdit>(editor, "编辑框_右箭头")->text(), CS::kDefaultRightArrowUrl);
    QCOMPARE(child<QComboBox>(editor, "组合框1")->currentText(), QStringLiteral("普通效果"));
    QCOMPARE(child<QLineEdit>(editor, "编辑框1")->text(), QStringLiteral("none"));
    QCOMPARE(child<QComboBox>(editor, "组合框7")->currentText(), QStringLiteral("最原始均速"));
    QCOMPARE(child<QLineEdit>(editor, "编辑框2")->text(), QStringLiteral("easeNone"));
    QCOMPARE(child<QComboBox>(editor, "组合框4")->currentText(), QStringLiteral("新窗口"));
    QCOMPARE(child<QComboBox>(editor, "组合框3")->currentText(), QStringLiteral("是"));
    QCOMPARE(child<QComboBox>(editor, "组合框1")->count(), CS::transitionCodes().size());
    QCOMPARE(child<QComboBox>(editor, "组合框7")->count(), CS::easingCodes().size());
}

void TestCarouselEditor::saveWritesSettings_data()
{
    QTest::addColumn<Steps>("steps");
    QTest::addColumn<Keys>("expected");

    QTest::newRow("untouched")
        << Steps{}
        << Keys{"Number=6", "t_8=" + CS::kSamplePictureB, "l_8=#", "j_j=0", "d_g1=0", "d_g2=none",
                "q_g1=0", "q_g2=easeNone", "d_s=0", "z_f=0"};
    QTest::newRow("pictures, links, arrows")
        << Steps{"编辑框_图1:http://p/1.jpg", "编辑框_链接2:http://shop/2", "组合框5#1",
                 "编辑框_左箭头:http://p/l.png", "编辑框_右箭头:"}
        << Keys{"t_1=http://p/1.jpg", "l_2=http://shop/2", "j_j=1", "j_z=http://p/l.png", "j_y="};
    QTest::newRow("transition fills its code")
        << Steps{"组合框1#2"} << Keys{"d_g1=2", "d_g2=scrollx"};
    QTest::newRow("every easing code")
        << Steps{"组合框7#13"} << Keys{"q_g1=13", "q_g2=easeInStrong"};
    QTest::newRow("easing code typed by hand")
        << Steps{"组合框7#4", "编辑框2:myEase"} << Keys{"q_g1=4", "q_g2=myEase"};
    QTest::newRow("transition code emptied")
        << Steps{"组合框1#1", "编辑框1:"} << Keys{"d_g1=1", "d_g2="};
    QTest::newRow("same window, no autoplay")
        << Steps{"组合框4#1", "组合框3#1"} << Keys{"d_s=1", "z_f=1"};
}

void TestCarouselEditor::saveWritesSettings()
{
    QFETCH(Steps, steps);
    QFETCH(Keys, expected);

    const int row = addCarousel();
    const int number = CS::numberOf(*mTable, row);
    QPointer<QWidget> editor = openEditor(mWindow, row);
    runSteps(editor, steps);
    pressButton(editor, QStringLiteral("超级按钮_保存"));
    QTRY_VERIFY(editor.isNull());
    for (const QString &pair : expected) {
        const int eq = pair.indexOf(QLatin1Char('='));
        QCOMPARE(CS::read(number, pair.left(eq)), pair.mid(eq + 1));
    }
    // Read by nobody, written once at creation.
    QCOMPARE(CS::read(number, CS::kBannerWidth), QStringLiteral("750"));
    QCOMPARE(CS::read(number, CS::kArrowHeight), QStringLiteral("40"));
}

void TestCarouselEditor::pictureCountDisablesRows()
{
    const int row = addCarousel();
    const int number = CS::numberOf(*mTable, row);
    QPointer<QWidget> editor = openEditor(mWindow, row);
    runSteps(editor, {"编辑框_图5:http://p/5.jpg", "编辑框_链接8:http://shop/8", "组合框6#1"});
    for (int n = 1; n <= 8; ++n) {
        QCOMPARE(editor->findChild<QLineEdit *>(QStringLiteral("编辑框_图%1").arg(n))->isEnabled(), n <= 3);
        QCOMPARE(editor->findChild<QLineEdit *>(QStringLiteral("编辑框_链接%1").arg(n))->isEnabled(), n <= 3);
    }
    pressButton(editor, QStringLiteral("超级按钮_保存"));
    QCOMPARE(CS::read(number, CS::kNumber), QStringLiteral("1"));
    QCOMPARE(CS::read(number, QStringLiteral("t_5")), QStringLiteral("http://p/5.jpg"));
    QCOMPARE(CS::read(number, QStringLiteral("l_8")), QStringLiteral("http://shop/8"));
    QCOMPARE(CS::read(number, QStringLiteral("t_4")), CS::kSamplePictureB);

    // Reopened, the rule applies from the stored count.
    editor = openEditor(mWindow, row);
    QCOMPARE(child<QComboBox>(editor, "组合框6")->currentText(), QStringLiteral("3张"));
    QVERIFY(!child<QLineEdit>(editor, "编辑框_图4")->isEnabled());
    QVERIFY(child<QLineEdit>(editor, "编辑框_图3")->isEnabled());
    QCOMPARE(child<QLineEdit>(editor, "编辑框_图5")->text(), QStringLiteral("http://p/5.jpg"));
    runSteps(editor, {"组合框6#6"});
    QVERIFY(child<QLineEdit>(editor, "编辑框_链接8")->isEnabled());
}

void TestCarouselEditor::missingFileChangesNothingShown()
{
    const int row = addCarousel();
    const int number = CS::numberOf(*mTable, row);
    DesignFile::finishWrites();
    QVERIFY(QFile::remove(CS::filePath(number)));

    // The settings are the design's: a lost mirror file changes nothing the editor shows.
    QPointer<QWidget> editor = openEditor(mWindow, row);
    QCOMPARE(child<QComboBox>(editor, "组合框6")->currentIndex(), 6);
    QCOMPARE(child<QLineEdit>(editor, "编辑框_图1")->text(), CS::kSamplePictureA);
    runSteps(editor, {"组合框6#0"});

    pressButton(editor, QStringLiteral("超级按钮_保存"));
    QTRY_VERIFY(editor.isNull());
    DesignFile::finishWrites();
    QStringList order = {"Number"};
    for (int n = 1; n <= 8; ++n)
        order << QStringLiteral("t_%1").arg(n) << QStringLiteral("l_%1").arg(n);
    order << "j_j" << "j_z" << "j_y" << "d_g1" << "d_g2" << "q_g1" << "q_g2" << "d_s" << "z_f";
    QCOMPARE(keysInFile(CS::filePath(number)), order);
    QCOMPARE(CS::read(number, CS::kNumber), QStringLiteral("0"));
    QCOMPARE(mWindow->document()->carouselValue(number, CS::kNumber), QStringLiteral("0"));
}

void TestCarouselEditor::badIndexesLoad_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("index");
    QTest::newRow("absent") << QString() << 0;
    QTest::newRow("not a number") << "abc" << 0;
    QTest::newRow("leading digits") << " 1张" << 1;
    QTest::newRow("above the list") << "99" << -1;
    QTest::newRow("negative") << "-2" << -1;
}

void TestCarouselEditor::badIndexesLoad()
{
    QFETCH(QString, value);
    QFETCH(int, index);

    const int row = addCarousel();
    const int number = CS::numberOf(*mTable, row);
    for (const QString &key : {CS::kNumber, CS::kShowArrows, CS::kEasingIndex, CS::kAutoplay})
        QVERIFY(CS::writeFor(*mTable, number, {{key, value}}));
    QPointer<QWidget> editor = openEditor(mWindow, row);
    QVERIFY(editor);
    for (const char *list : {"组合框6", "组合框5", "组合框7", "组合框3"})
        QCOMPARE(child<QComboBox>(editor, list)->currentIndex(), index);
    // The rows follow the list: two pictures at least are editable.
    QCOMPARE(child<QLineEdit>(editor, "编辑框_图2")->isEnabled(), index >= 0);
    QVERIFY(child<QLineEdit>(editor, "编辑框_图1")->isEnabled());
    pressButton(editor, QStringLiteral("超级按钮_保存"));
    QTRY_VERIFY(editor.isNull());
    QCOMPARE(CS::read(number, CS::kNumber), QString::number(index));
}

void TestCarouselEditor::arrowsHiddenLiveWithoutSaving()
{
    const int row = addCarousel();
    const int number = CS::numberOf(*mTable, row);
    auto arrow = [this, row](int offset) {
        const int arrowRow = offset == 1 ? CS::leftArrowRow(*mTable, row) : CS::rightArrowRow(*mTable, row);
        return mWindow->canvas()->objectById(mTable->cell(arrowRow, ComponentTable::Id));
    };
    QVERIFY(arrow(1) && arrow(2));
    QVERIFY(arrow(1)->isVisible() && arrow(2)->isVisible());

    QPointer<QWidget> editor = openEditor(mWindow, row);
    runSteps(editor, {"组合框5#1"});
    QVERIFY(!arrow(1)->isVisible());
    QVERIFY(!arrow(2)->isVisible());
    QVERIFY(mWindow->canvas()->objectById(mTable->cell(row, ComponentTable::Id))->isVisible());

    QTest::mouseClick(child<QPushButton>(editor, "超级按钮1"), Qt::LeftButton);
    QTRY_VERIFY(editor.isNull());
    QVERIFY(!arrow(1)->isVisible() && !arrow(2)->isVisible());
    QCOMPARE(CS::read(number, CS::kShowArrows), QStringLiteral("0"));

    editor = openEditor(mWindow, row);
    QCOMPARE(child<QComboBox>(editor, "组合框5")->currentIndex(), 0);
    runSteps(editor, {"组合框5#1", "组合框5#0"});
    QVERIFY(arrow(1)->isVisible() && arrow(2)->isVisible());

    // Without its arrows the list changes nothing else.
    EditorRegistry::closeAll();
    Test::deleteComponent(mWindow->canvas(), arrow(1));
    Test::deleteComponent(mWindow->canvas(), arrow(2));
    editor = openEditor(mWindow, row);
    runSteps(editor, {"组合框5#1"});
    QVERIFY(mWindow->canvas()->objectById(mTable->cell(row, ComponentTable::Id))->isVisible());
}

void TestCarouselEditor::recordSlotsStayEmpty()
{
    const int row = addCarousel();
    const QStringList before = mTable->rowCells(row);
    for (int i = 0; i < 3; ++i) {
        QPointer<QWidget> editor = openEditor(mWindow, row);
        runSteps(editor, {"编辑框_图1:http://p/x.jpg", "组合框6#2", "组合框1#1"});
        pressButton(editor, QStringLiteral("超级按钮_保存"));
        QTRY_VERIFY(editor.isNull());
    }
    QCOMPARE(mTable->rowCells(row), before);
    for (int column = ComponentTable::Picture; column < ComponentTable::ColumnCount; ++column) {
        if (column != ComponentTable::Locked && column != CS::kNumberColumn)
            QCOMPARE(mTable->cell(row, column), QString());
    }
    QCOMPARE(mTable->cell(row, CS::kNumberColumn), QString::number(row));
}

void TestCarouselEditor::componentAboveDeleted()
{
    const int image = mWindow->canvas()->addComponent(QStringLiteral("图片"));
    const int created = addCarousel();
    QCOMPARE(created, 2);
    const int number = CS::numberOf(*mTable, created);
    QCOMPARE(number, 2);
    QVERIFY(CS::writeFor(*mTable, number, {{QStringLiteral("t_1"), QStringLiteral("http://p/mine.jpg")}}));

    Test::deleteComponent(mWindow->canvas(), 
        mWindow->canvas()->objectById(mTable->cell(image, ComponentTable::Id)));
    const int row = mTable->findRowById(QString::number(mTable->creationCounter() - 2));
    QCOMPARE(row, 1);
    QCOMPARE(mTable->cell(row, ComponentTable::Kind), KindTable::nameOf(KindTable::Kind::Carousel));

    QPointer<QWidget> editor = openEditor(mWindow, row);
    QCOMPARE(child<QLineEdit>(editor, "编辑框_图1")->text(), QStringLiteral("http://p/mine.jpg"));
    runSteps(editor, {"编辑框_链接1:http://shop/after"});
    pressButton(editor, QStringLiteral("超级按钮_保存"));
    QTRY_VERIFY(editor.isNull());
    QCOMPARE(CS::read(2, QStringLiteral("l_1")), QStringLiteral("http://shop/after"));
    QVERIFY(!QFile::exists(CS::filePath(1)));

    // A later carousel on the freed row index gets a file of its own.
    const int later = addCarousel();
    QVERIFY(CS::numberOf(*mTable, later) != 2);
    QCOMPARE(CS::read(2, QStringLiteral("l_1")), QStringLiteral("http://shop/after"));
}

void TestCarouselEditor::numberStaysWithoutItsArrows()
{
    DesignCanvas *canvas = mWindow->canvas();
    const int image = canvas->addComponent(QStringLiteral("图片"));
    const int created = addCarousel();
    const QString id = mTable->cell(created, ComponentTable::Id);
    QPointer<QWidget> editor = openEditor(mWindow, created);
    runSteps(editor, {"编辑框_图1:http://p/mine.jpg"});
    pressButton(editor, QStringLiteral("超级按钮_保存"));
    QTRY_VERIFY(editor.isNull());
    QCOMPARE(CS::read(created, QStringLiteral("t_1")), QStringLiteral("http://p/mine.jpg"));

    // Both arrows go, and the component above the carousel.
    for (int offset : {1, 2})
        Test::deleteComponent(canvas, canvas->objectById(QString::number(id.toInt() + offset)));
    Test::deleteComponent(canvas, canvas->objectById(mTable->cell(image, ComponentTable::Id)));
    const int row = mTable->findRowById(id);
    QCOMPARE(row, 1);
    QCOMPARE(mTable->count(), 2);

    editor = openEditor(mWindow, row);
    QCOMPARE(child<QLineEdit>(editor, "编辑框_图1")->text(), QStringLiteral("http://p/mine.jpg"));
    runSteps(editor, {"编辑框_链接1:http://shop/after"});
    pressButton(editor, QStringLiteral("超级按钮_保存"));
    QTRY_VERIFY(editor.isNull());
    QCOMPARE(CS::read(created, QStringLiteral("l_1")), QStringLiteral("http://shop/after"));
    QVERIFY(!QFile::exists(CS::filePath(row)));
    // A design file names the carousel's settings by the same number.
    QCOMPARE(DesignFile::fromTable(*mTable).carousels.keys(), QList<int>{created});
}

void TestCarouselEditor::unwritableMirrorKeepsTheSettings()
{
    const int row = addCarousel();
    const int number = CS::numberOf(*mTable, row);
    const QString path = CS::filePath(number);
    DesignFile::finishWrites();
    QVERIFY(QFile::remove(path));
    QVERIFY(QDir().mkpath(path));   // a folder where the mirror file should be

    // The design keeps what was typed, whatever becomes of its mirror file.
    QPointer<QWidget> editor = openEditor(mWindow, row);
    runSteps(editor, {"编辑框_图1:http://p/keep.jpg"});
    pressButton(editor, QStringLiteral("超级按钮_保存"));
    QTRY_VERIFY(editor.isNull());
    QCOMPARE(mWindow->document()->carouselValue(number, CS::pictureKey(1)), QStringLiteral("http://p/keep.jpg"));
    QCOMPARE(DesignFile::fromTable(*mTable, [this](int n, const QString &key) {
                 return mWindow->document()->carouselValue(n, key);
             }).carousels.value(number).at(3).second,
             QStringLiteral("http://p/keep.jpg"));
    QVERIFY(QDir(path).removeRecursively());
}

void TestCarouselEditor::previewLandsAfterWindowClosed()
{
    const int row = addCarousel();
    auto *object = mWindow->canvas()->pictureById(mTable->cell(row, ComponentTable::Id));
    const QByteArray banner = object->pictureData();
    QVERIFY(!banner.isEmpty());

    QPointer<QWidget> editor = openEditor(mWindow, row);
    runSteps(editor, {QStringLiteral("编辑框_图1:") + mServer.base() + QStringLiteral("/slow.png")});
    // The server holds its answer: "保存" returns and the window closes all the same.
    mGate.close();
    pressButton(editor, QStringLiteral("超级按钮_保存"));
    QTRY_VERIFY(editor.isNull());
    bool ticked = false;
    QTimer::singleShot(20, this, [&ticked] { ticked = true; });
    QTRY_VERIFY(ticked);
    QCOMPARE(PreviewDownload::pending(), 1);
    QCOMPARE(object->pictureData(), banner);
    mGate.open();
    QTRY_COMPARE_WITH_TIMEOUT(object->pictureData(), mBlue, 5000);

    // Deleted before its picture arrives: the download is dropped.
    QPointer<QWidget> second = openEditor(mWindow, row);
    pressButton(second, QStringLiteral("超级按钮_保存"));
    Test::deleteComponent(mWindow->canvas(), object);
    QTRY_COMPARE_WITH_TIMEOUT(PreviewDownload::pending(), 0, 5000);
}

QTEST_MAIN(TestCarouselEditor)
#include "tst_carousel_editor.moc"
