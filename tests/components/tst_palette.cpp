#include "canvas/context_menu_operations.h"
#include "canvas/design_canvas.h"
#include "canvas/main_window.h"
#include "canvas/picture_object.h"
#include "model/carousel_settings.h"
#include "model/creation_defaults.h"
#include "components/editor_registry.h"
#include "model/preset_urls.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/design_file.h"
#include "model/kind_table.h"
#include "support/editor_driving.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace Plumbrook;
using Cells = QMap<int, QString>;
using T = ComponentTable;

class TestPalette : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void layoutAndDocking();
    void opensOnlyOnce();
    void creationDefaults_data();
    void creationDefaults();
    void defaultAddresses();
    void builtinPictures_data();
    void builtinPictures();
    void sameButtonTwice();
    void newComponentIsPlacedWhereShown_data();
    void newComponentIsPlacedWhereShown();
    void carouselCreatesRowsFileAndArrows();
    void carouselKeepsItsNumberAfterDeletionsAbove();
    void newCarouselAvoidsLivingCarouselsNumber();
    void carouselOverBadFiles_data();
    void carouselOverBadFiles();
    void carouselWithoutWritableFolder();
    void everyKindOpensItsEditor_data();
    void everyKindOpensItsEditor();

private:
    void press(const QString &kind);
    QPushButton *button(const QString &name) const;
    void select(int row);
    void selectAndDelete(int row);

    std::unique_ptr<Test::DesignerWindow> mDesigner;
    MainWindow *mWindow = nullptr;
    ComponentTable *mTable = nullptr;
};

void TestPalette::init()
{
    mDesigner = std::make_unique<Test::DesignerWindow>();
    mWindow = mDesigner->window();
    mTable = mWindow->table();
    QTest::mouseClick(mWindow->findChild<QPushButton *>(QStringLiteral("超级按钮_背景")),
                      Qt::LeftButton);
    QVERIFY(mWindow->palette);
}

void TestPalette::cleanup()
{
    mDesigner.reset();
    mWindow = nullptr;
}

QPushButton *TestPalette::button(const QString &name) const
{
    return mWindow->palette ? mWindow->palette->findChild<QPushButton *>(name) : nullptr;
}

void TestPalette::press(const QString &kind)
{
    QPushButton *b = button(QStringLiteral("超级按钮_") + kind);
    QVERIFY2(b, qPrintable(kind));
    QTest::mouseClick(b, Qt::LeftButton);
}

void TestPalette::select(int row)
{
    DesignCanvas *canvas = mWindow->canvas();
    QWidget *object = canvas->objectById(mTable->cell(row, T::Id));
    QVERIFY(object);
    canvas->selection().kind = qobject_cast<PictureObject *>(object)
        ? DesignCanvas::Selection::Picture : DesignCanvas::Selection::Text;
    canvas->selection().picture = qobject_cast<PictureObject *>(object);
    canvas->selection().text = qobject_cast<QLabel *>(object);
}

void TestPalette::selectAndDelete(int row)
{
    select(row);
    mWindow->deleteSelected();
}

void TestPalette::layoutAndDocking()
{
    QWidget *palette = mWindow->palette;
    QCOMPARE(palette->size(), QSize(150, 346));
    QCOMPARE(palette->pos(), mWindow->pos() + QPoint(4, 52));

    auto *frame = palette->findChild<QWidget *>(QStringLiteral("外形框1"));
    QVERIFY(frame);
    QCOMPARE(frame->geometry(), QRect(2, 24, 146, 320));
    const QList<std::tuple<const char *, const char *, int, int>> places = {
        {"超级按钮_图片", "图片", 6, 13},       {"超级按钮_热点", "热点", 75, 13},
        {"超级按钮_轮播", "轮播", 6, 72},       {"超级按钮_flash", "FLASH", 6, 101},
        {"超级按钮_倒计时", "倒计时", 75, 130}, {"超级按钮_收藏", "收藏", 6, 182},
        {"超级按钮_购物车", "购物车", 75, 212}, {"超级按钮_旺旺群", "旺旺群", 75, 270},
    };
    for (const auto &[name, caption, x, y] : places) {
        QPushButton *b = button(QString::fromUtf8(name));
        QVERIFY2(b, name);
        QCOMPARE(b->parentWidget(), frame);
        QCOMPARE(b->text(), QString::fromUtf8(caption));
        QCOMPARE(b->geometry(), QRect(x, y, 64, 24));
    }
    QCOMPARE(frame->findChildren<QPushButton *>().size(), 18);
    int separators = 0;
    for (QLabel *label : frame->findChildren<QLabel *>()) {
        if (label->text() == QString(23, QLatin1Char('.')) && label->size() == QSize(136, 16))
            ++separators;
    }
    QCOMPARE(separators, 2);

    // Moved away, the left title button docks it again; the right one closes it.
    palette->move(500, 400);
    QTest::mouseClick(button(QStringLiteral("超级按钮26")), Qt::LeftButton);
    QCOMPARE(palette->pos(), mWindow->pos() + QPoint(4, 52));
    QTest::mouseClick(button(QStringLiteral("超级按钮1")), Qt::LeftButton);
    QTRY_VERIFY(!mWindow->palette);
}

void TestPalette::opensOnlyOnce()
{
    QPointer<QWidget> first = mWindow->palette;
    first->move(600, 500);
    QTest::mouseClick(mWindow->findChild<QPushButton *>(QStringLiteral("超级按钮_背景")),
                      Qt::LeftButton);
    QCOMPARE(mWindow->palette.data(), first.data());
    QCOMPARE(first->pos(), QPoint(600, 500));
    int palettes = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        palettes += w->metaObject()->className() == QByteArray("Plumbrook::PaletteWindow");
    QCOMPARE(palettes, 1);
}

void TestPalette::creationDefaults_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("kindName");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<Cells>("cells");

    const QString item = CreationDefaults::itemPageUrl();
    QTest::newRow("hotspot") << "热点" << "热点" << QSize(100, 100) << Cells{};
    QTest::newRow("image") << "图片" << "图片" << QSize(180, 220)
                           << Cells{{T::Picture, CreationDefaults::imageUrl()}, {T::Link, "#"}};
    QTest::newRow("swap") << "换图" << "换图" << QSize(180, 180)
                          << Cells{{T::Picture, CreationDefaults::swapFrontUrl()},
                                   {T::Link, CreationDefaults::swapHoverUrl()}, {T::Text, "#"}};
    QTest::newRow("zoom") << "放大" << "放大" << QSize(180, 180)
                          << Cells{{T::Picture, CreationDefaults::zoomImageUrl()},
                                   {T::Link, CreationDefaults::zoomImageUrl()}, {T::Text, "#"},
                                   {T::Other2, "_blank"}, {T::BgCode, "1.2"}};
    QTest::newRow("text") << "文字" << "文字" << QSize(112, 24)
                          << Cells{{T::Picture, "亲爱的，咱不哭"}, {T::Other, "宋体"},
                                   {T::Other1, "12"}, {T::BgCode, "#000"}};
    QTest::newRow("flash") << "flash" << "flash" << QSize(475, 600)
                           << Cells{{T::Picture, PresetUrls::flashEffect(0)}, {T::Link, "0"}};
    QTest::newRow("search") << "搜索" << "搜索" << QSize(238, 30)
                            << Cells{{T::Picture, "宝贝，我要"}, {T::Link, "#"}, {T::Text, "180"},
                                     {T::BgColor, "30"}, {T::Other, "50"}, {T::Other1, "30"},
                                     {T::Other2, "#fff"}, {T::BgCode, "#000"},
                                     {T::Other4, "#FF798A"}, {T::Other5, "#FF798A"},
                                     {T::Other6, "#fff"}};
    QTest::newRow("video") << "视频" << "视频" << QSize(350, 240)
                           << Cells{{T::Picture, CreationDefaults::videoPlayerUrl()},
                                    {T::Link, "0"}};
    QTest::newRow("countdown") << "倒计时" << "倒计时" << QSize(358, 92)
                               << Cells{{T::Picture, "2016-11-11 00:00:00"}, {T::Link, "89"},
                                        {T::Text, "18"}, {T::Other, "#fff"}, {T::Other2, "2"},
                                        {T::BgCode, CreationDefaults::countdownBackgroundUrl()}};
    QTest::newRow("favourite") << "收藏" << "收藏" << QSize(190, 174)
                               << Cells{{T::Picture, CreationDefaults::favouriteBadgeUrl()},
                                        {T::Link, "#"}, {T::Text, "#"}};
    QTest::newRow("share") << "分享" << "分享" << QSize(92, 27)
                           << Cells{{T::Link, CreationDefaults::shareIconUrl()}};
    QTest::newRow("qr") << "二维码" << "二维码" << QSize(140, 140)
                        << Cells{{T::Picture, CreationDefaults::itemId()}, {T::Link, "3"},
                                 {T::Text, CreationDefaults::qrImageUrl()}};
    QTest::newRow("cart") << "购物车" << "购物车" << QSize(120, 31)
                          << Cells{{T::Picture, CreationDefaults::cartIconUrl()}, {T::Link, item}};
    QTest::newRow("like") << "喜欢" << "喜欢" << QSize(109, 25)
                          << Cells{{T::Picture, item}, {T::Link, "0"}};
    QTest::newRow("follow") << "关注" << "关注" << QSize(75, 22)
                            << Cells{{T::Link, CreationDefaults::followIconUrl()}};
    QTest::newRow("service") << "客服" << "客服" << QSize(70, 70)
                             << Cells{{T::Picture, "旺旺帐号"},
                                      {T::Link, CreationDefaults::avatarUrl()}};
    QTest::newRow("group") << "旺旺群" << "旺旺群" << QSize(63, 20)
                           << Cells{{T::Picture, CreationDefaults::groupBadgeUrl()}};
}

void TestPalette::creationDefaults()
{
    QFETCH(QString, kind);
    QFETCH(QString, kindName);
    QFETCH(QSize, size);
    QFETCH(Cells, cells);

    press(kind);
    QCOMPARE(mTable->count(), 2);
    QCOMPARE(mTable->cell(1, T::Id), QStringLiteral("2"));
    QCOMPARE(mTable->cell(1, T::Kind), kindName);
    QCOMPARE(mTable->cellInt(1, T::Width), size.width());
    QCOMPARE(mTable->cellInt(1, T::Height), size.height());
    for (int column = T::Picture; column < T::ColumnCount; ++column)
        QCOMPARE(mTable->cell(1, column), cells.value(column));

    // The new component is neither selected nor announced.
    QCOMPARE(mWindow->canvas()->selectedRow(), -1);
    if (kind == QStringLiteral("文字")) {
        QLabel *label = mWindow->canvas()->labelById(QStringLiteral("2"));
        QVERIFY(label);
        // It shows its own text from the start, not the template's.
        QCOMPARE(label->text(), mTable->cell(1, T::Picture));
    } else {
        PictureObject *picture = mWindow->canvas()->pictureById(QStringLiteral("2"));
        QVERIFY(picture);
        QVERIFY(picture->hasPicture());
        QCOMPARE(picture->size(), size);
    }
}

void TestPalette::defaultAddresses()
{
    QVERIFY(CreationDefaults::itemPageUrl().endsWith(QStringLiteral("?id=")
                                                     + CreationDefaults::itemId()));
    const QString qr = CreationDefaults::qrImageUrl();
    QCOMPARE(qr, PresetUrls::qrService() + QStringLiteral("/img?type=ci&amp;item_id=")
                     + CreationDefaults::itemId() + QStringLiteral("&amp;w=90&amp;h=90&amp;v=1"));
    // Every URL default is a real-looking https/http address, none left blank.
    for (const QString &url : {CreationDefaults::imageUrl(), CreationDefaults::swapFrontUrl(),
                               CreationDefaults::swapHoverUrl(), CreationDefaults::zoomImageUrl(),
                               CreationDefaults::videoPlayerUrl(),
                               CreationDefaults::countdownBackgroundUrl(),
                               CreationDefaults::favouriteBadgeUrl(), CreationDefaults::shareIconUrl(),
                               CreationDefaults::cartIconUrl(), CreationDefaults::followIconUrl(),
                               CreationDefaults::avatarUrl(), CreationDefaults::groupBadgeUrl()}) {
        const QUrl parsed(url, QUrl::StrictMode);
        QVERIFY2(parsed.isValid() && parsed.scheme().startsWith(QStringLiteral("http"))
                     && !parsed.host().isEmpty(),
                 qPrintable(url));
    }
    QVERIFY(CreationDefaults::swapFrontUrl() != CreationDefaults::swapHoverUrl());
}

void TestPalette::builtinPictures_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<QSize>("size");

    const QList<std::tuple<const char *, const char *, QSize>> pictures = {
        {"picture.jpg", "jpeg", {400, 490}},  {"swap.png", "png", {380, 380}},
        {"zoom.png", "png", {500, 500}},      {"carousel.jpg", "jpeg", {750, 240}},
        {"arrow_left.png", "png", {40, 40}},  {"arrow_right.png", "png", {40, 40}},
        {"flash.png", "png", {307, 427}},     {"search.png", "png", {238, 31}},
        {"video.jpg", "jpeg", {350, 240}},    {"countdown.png", "png", {359, 92}},
        {"favourite.gif", "gif", {190, 174}}, {"share.gif", "gif", {92, 27}},
        {"qrcode.jpg", "jpeg", {140, 140}},   {"cart.png", "png", {120, 31}},
        {"like.png", "png", {110, 26}},       {"follow.png", "png", {75, 22}},
        {"service.gif", "gif", {70, 70}},     {"chat_group.gif", "gif", {63, 20}},
    };
    for (const auto &[file, format, size] : pictures)
        QTest::newRow(file) << QString::fromLatin1(file) << QByteArray(format) << size;
}

void TestPalette::builtinPictures()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, format);
    QFETCH(QSize, size);

    QImageReader reader(QStringLiteral(":/pictures/") + file);
    QCOMPARE(reader.format(), format);
    const QImage image = reader.read();
    QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(image.size(), size);
}

void TestPalette::sameButtonTwice()
{
    press(QStringLiteral("购物车"));
    press(QStringLiteral("购物车"));
    QCOMPARE(mTable->count(), 3);
    QCOMPARE(mTable->cell(1, T::Id), QStringLiteral("2"));
    QCOMPARE(mTable->cell(2, T::Id), QStringLiteral("3"));
    QStringList first = mTable->rowCells(1), second = mTable->rowCells(2);
    first.removeFirst();
    second.removeFirst();
    QCOMPARE(first, second);
    QVERIFY(mWindow->palette);   // stays open for the next press
}

void TestPalette::newComponentIsPlacedWhereShown_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("picture") << "图片";
    QTest::newRow("text") << "文字";
    QTest::newRow("hotspot") << "热点";
    QTest::newRow("carousel and its arrows") << "轮播";
}

// Code generated right after adding places the component where the canvas shows it:
// the row holds what a first press would write.
void TestPalette::newComponentIsPlacedWhereShown()
{
    QFETCH(QString, kind);
    const int first = mTable->count();
    press(kind);
    QVERIFY(mTable->count() > first);
    for (int row = first; row < mTable->count(); ++row) {
        const QString left = mTable->cell(row, T::Left);
        const QString top = mTable->cell(row, T::Top);
        QVERIFY(!left.isEmpty() && !top.isEmpty());
        QWidget *object = mWindow->canvas()->objectById(mTable->cell(row, T::Id));
        QTest::mouseClick(object, Qt::LeftButton, {}, QPoint(1, 1));
        QCOMPARE(mTable->cell(row, T::Left), left);
        QCOMPARE(mTable->cell(row, T::Top), top);
    }
}

void TestPalette::carouselCreatesRowsFileAndArrows()
{
    press(QStringLiteral("图片"));
    press(QStringLiteral("轮播"));
    QCOMPARE(mTable->count(), 5);
    const QStringList kinds = {mTable->cell(2, T::Kind), mTable->cell(3, T::Kind),
                               mTable->cell(4, T::Kind)};
    QCOMPARE(kinds, (QStringList{"轮播", "左箭头2", "右箭头2"}));
    QCOMPARE(mTable->cell(2, T::Id), QStringLiteral("3"));
    QCOMPARE(mTable->cell(3, T::Id), QStringLiteral("4"));
    QCOMPARE(mTable->cell(4, T::Id), QStringLiteral("5"));
    QCOMPARE(mTable->cellInt(2, T::Width), 500);
    QCOMPARE(mTable->cellInt(2, T::Height), 160);
    for (int row : {3, 4}) {
        QCOMPARE(mTable->cellInt(row, T::Width), 40);
        QCOMPARE(mTable->cellInt(row, T::Height), 40);
        QVERIFY(mWindow->canvas()->pictureById(mTable->cell(row, T::Id))->hasPicture());
        for (int column = T::Picture; column < T::ColumnCount; ++column)
            QVERIFY(mTable->cell(row, column).isEmpty());
    }

    const QString path = QDir(mDesigner->dirPath()).filePath(QStringLiteral("data/code/Carousel2.ini"));
    QCOMPARE(CarouselSettings::filePath(2), path);
    DesignFile::finishWrites();   // the file mirrors the design from the files lane
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    int keys = 0;
    for (const QByteArray &line : file.readAll().split('\n'))
        keys += line.contains('=');
    QCOMPARE(keys, 30);
    const QList<std::pair<const char *, const char *>> expected = {
        {"Number", "6"}, {"t_k", "750"}, {"t_g", "240"}, {"l_1", "#"}, {"l_8", "#"},
        {"j_j", "0"}, {"j_k", "40"}, {"j_g", "40"}, {"d_g1", "0"}, {"d_g2", "none"},
        {"q_g1", "0"}, {"q_g2", "easeNone"}, {"d_s", "0"}, {"z_f", "0"},
    };
    for (const auto &[key, value] : expected)
        QCOMPARE(CarouselSettings::read(2, QString::fromLatin1(key)), QString::fromLatin1(value));
    QVERIFY(!CarouselSettings::read(2, QStringLiteral("t_1")).isEmpty());
    QVERIFY(!CarouselSettings::read(2, QStringLiteral("j_z")).isEmpty());
}

void TestPalette::carouselKeepsItsNumberAfterDeletionsAbove()
{
    press(QStringLiteral("图片"));
    press(QStringLiteral("热点"));
    press(QStringLiteral("轮播"));   // row 3: Carousel3.ini, 左箭头3, 右箭头3
    CarouselSettings::writeFor(*mTable, 3, {{QStringLiteral("t_1"), QStringLiteral("mine")}});
    const QString id = mTable->cell(3, T::Id);

    selectAndDelete(1);
    QCOMPARE(mTable->findRowById(id), 2);
    QCOMPARE(CarouselSettings::numberOf(*mTable, 2), 3);
    QCOMPARE(CarouselSettings::read(CarouselSettings::numberOf(*mTable, 2), QStringLiteral("t_1")),
             QStringLiteral("mine"));
    QCOMPARE(mTable->cell(CarouselSettings::leftArrowRow(*mTable, 2), T::Kind),
             QStringLiteral("左箭头3"));
    QCOMPARE(mTable->cell(CarouselSettings::rightArrowRow(*mTable, 2), T::Kind),
             QStringLiteral("右箭头3"));
    QVERIFY(!QFile::exists(CarouselSettings::filePath(2)));
}

void TestPalette::newCarouselAvoidsLivingCarouselsNumber()
{
    for (int i = 0; i < 5; ++i)
        press(QStringLiteral("热点"));
    press(QStringLiteral("轮播"));   // row 6: Carousel6.ini
    CarouselSettings::writeFor(*mTable, 6, {{QStringLiteral("t_1"), QStringLiteral("first")}});
    for (int i = 0; i < 5; ++i)
        selectAndDelete(1);
    QCOMPARE(mTable->cell(1, T::Kind), QStringLiteral("轮播"));
    press(QStringLiteral("热点"));
    press(QStringLiteral("热点"));
    QCOMPARE(mTable->count(), 6);

    press(QStringLiteral("轮播"));   // row 6 again, while carousel 6 lives
    QCOMPARE(mTable->cell(6, T::Kind), QStringLiteral("轮播"));
    QCOMPARE(mTable->cell(7, T::Kind), QStringLiteral("左箭头7"));
    QCOMPARE(mTable->cell(8, T::Kind), QStringLiteral("右箭头7"));
    QCOMPARE(CarouselSettings::numberOf(*mTable, 6), 7);
    QCOMPARE(CarouselSettings::numberOf(*mTable, 1), 6);
    QCOMPARE(CarouselSettings::read(6, QStringLiteral("t_1")), QStringLiteral("first"));
    QCOMPARE(CarouselSettings::read(7, QStringLiteral("Number")), QStringLiteral("6"));
}

void TestPalette::carouselOverBadFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("not ini") << QByteArray("this is not\nan ini file ] [ = =\n");
    QByteArray junk(4096, '\0');
    for (int i = 0; i < junk.size(); ++i)
        junk[i] = char((i * 37 + 11) % 256);
    QTest::newRow("binary junk") << junk;
    QTest::newRow("long value")
        << (QByteArray("[configure]\nNumber=") + QByteArray(2 * 1024 * 1024, '9') + "\nzz=1\n");
}

void TestPalette::carouselOverBadFiles()
{
    QFETCH(QByteArray, content);
    QVERIFY(QDir().mkpath(QFileInfo(CarouselSettings::filePath(1)).path()));
    QFile file(CarouselSettings::filePath(1));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();

    press(QStringLiteral("轮播"));
    QCOMPARE(mTable->count(), 4);
    QCOMPARE(mTable->cell(2, T::Kind), QStringLiteral("左箭头1"));
    QCOMPARE(CarouselSettings::read(1, QStringLiteral("Number")), QStringLiteral("6"));
    QCOMPARE(CarouselSettings::read(1, QStringLiteral("q_g2")), QStringLiteral("easeNone"));
}

void TestPalette::carouselWithoutWritableFolder()
{
    // A plain file where the data folder belongs: the settings file cannot be made.
    QFile blocker(QDir(mDesigner->dirPath()).filePath(QStringLiteral("data")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    press(QStringLiteral("轮播"));
    QCOMPARE(mTable->count(), 4);
    QCOMPARE(mTable->cell(3, T::Kind), QStringLiteral("右箭头1"));
    // The design holds its settings all the same; only their mirror is missing.
    DesignFile::finishWrites();
    QVERIFY(!QFile::exists(CarouselSettings::filePath(1)));
    QCOMPARE(mWindow->document()->carouselValue(1, QStringLiteral("Number")), QStringLiteral("6"));
}

void TestPalette::everyKindOpensItsEditor_data()
{
    QTest::addColumn<QString>("kind");
    for (const KindTable::KindInfo &defaults : KindTable::all())
        QTest::newRow(qPrintable(defaults.button)) << defaults.name;
}

void TestPalette::everyKindOpensItsEditor()
{
    QFETCH(QString, kind);
    press(kind);
    select(1);
    const QStringList created = mTable->rowCells(1);
    mWindow->editSelected();
    QWidget *editor = EditorRegistry::current();
    QVERIFY(editor);
    QVERIFY(editor->isVisible());
    // Loading the defaults into the editor leaves the row as created.
    QCOMPARE(mTable->rowCells(1), created);
    EditorRegistry::closeAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QTEST_MAIN(TestPalette)
#include "tst_palette.moc"
