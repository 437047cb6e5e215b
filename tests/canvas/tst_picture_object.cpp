// How a picture object looks: its picture, the hotspot's see-through fill, and the
// placeholder of a picture that cannot be shown, met as a failed download.
#include "canvas/decoded_pictures.h"
#include "canvas/design_canvas.h"
#include "canvas/main_window.h"
#include "canvas/picture_object.h"
#include "canvas/preview_download.h"
#include "model/component_table.h"
#include "model/frame_picture.h"
#include "model/kind_table.h"
#include "support/editor_driving.h"
#include "support/loopback_server.h"
#include "support/test_support.h"

#include <QFontMetrics>
#include <QImage>
#include <QTest>

using namespace Plumbrook;
using T = ComponentTable;

namespace {

const QColor kUnder(0, 0, 255);

// The object laid over a plain blue parent, as the canvas lays it over the module.
QImage shown(const QString &kind, const QByteArray &picture, const QSize &size = QSize(80, 60))
{
    QWidget under;
    under.setAutoFillBackground(true);
    QPalette palette = under.palette();
    palette.setColor(QPalette::Window, kUnder);
    under.setPalette(palette);
    under.resize(size + QSize(20, 20));
    auto *object = new PictureObject(&under);
    object->setKind(kind);
    object->setGeometry(QRect(QPoint(10, 10), size));
    object->setPictureData(picture);
    return under.grab().toImage().convertToFormat(QImage::Format_RGB32).copy(QRect(QPoint(10, 10), size));
}

// Where the colour changes along one row of pixels.
int changesAlongRow(const QImage &image, int y)
{
    int changes = 0;
    for (int x = 1; x < image.width(); ++x)
        changes += image.pixel(x, y) != image.pixel(x - 1, y);
    return changes;
}

// A dashed outline, whatever lies under it, and text in the middle.
bool isPlaceholder(const QImage &image)
{
    if (changesAlongRow(image, 0) < 4 || changesAlongRow(image, image.height() - 1) < 4)
        return false;
    int dark = 0;
    for (int y = image.height() / 4; y < image.height() * 3 / 4; ++y) {
        for (int x = image.width() / 8; x < image.width() * 7 / 8; ++x)
            dark += qGray(image.pixel(x, y)) < 110;
    }
    return dark > 10;
}

} // namespace

class TestPictureObject : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void pictureFillsTheObject();
    void hotspotLetsWhatLiesUnderShow();
    void placeholderForWhatCannotBeShown_data();
    void placeholderForWhatCannotBeShown();
    void placeholderNamesTheKind();
    void placeholderDrawnOnceLooksAsDrawnAfresh();
    void failedDownloadShowsPlaceholder_data();
    void failedDownloadShowsPlaceholder();

private:
    Test::LoopbackServer mServer;
};

void TestPictureObject::initTestCase()
{
    mServer.server().Get("/missing.png", [](const httplib::Request &, httplib::Response &res) {
        res.status = 404;
        res.set_content("<html><body>404 Not Found</body></html>", "text/html");
    });
    mServer.server().Get("/red.png", [](const httplib::Request &, httplib::Response &res) {
        res.set_content(Test::png(Qt::red, 6).toStdString(), "image/png");
    });
    mServer.start();
}

void TestPictureObject::pictureFillsTheObject()
{
    const QImage image = shown(QStringLiteral("图片"), Test::png(Qt::red, 6));
    for (const QPoint at : {QPoint(0, 0), QPoint(40, 30), QPoint(79, 59)})
        QCOMPARE(QColor(image.pixel(at)), QColor(Qt::red));
}

void TestPictureObject::hotspotLetsWhatLiesUnderShow()
{
    const quint32 bgr = KindTable::kHotspotColour;
    const QColor magenta(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
    const QImage image = shown(KindTable::nameOf(KindTable::Kind::Hotspot),
                               makeFramePicture(80, 60, bgr, bgr));
    // The outline solid, all round.
    for (const QPoint at : {QPoint(0, 0), QPoint(40, 0), QPoint(79, 30), QPoint(40, 59), QPoint(0, 30)})
        QCOMPARE(QColor(image.pixel(at)), magenta);
    // Inside, the magenta at about a third over the blue under it.
    const QColor inside(image.pixel(40, 30));
    QVERIFY2(inside.red() >= 70 && inside.red() <= 110, qPrintable(inside.name()));
    QCOMPARE(inside.green(), 0);
    QCOMPARE(inside.blue(), 255);
}

void TestPictureObject::placeholderForWhatCannotBeShown_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("picture");
    QTest::newRow("error page") << QStringLiteral("图片") << QByteArray("<html>404 Not Found</html>");
    QTest::newRow("nothing") << QStringLiteral("图片") << QByteArray();
    QTest::newRow("cut-off picture") << QStringLiteral("收藏") << Test::png(Qt::red, 6).left(20);
    QTest::newRow("countdown's background") << QStringLiteral("倒计时") << QByteArray();
}

void TestPictureObject::placeholderForWhatCannotBeShown()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, picture);
    QVERIFY(isPlaceholder(shown(kind, picture)));
    QVERIFY(!isPlaceholder(shown(kind, Test::png(Qt::red, 6))));
}

void TestPictureObject::placeholderNamesTheKind()
{
    if (!QFontMetrics(QFont()).inFontUcs4(U'收'))
        QSKIP("no Chinese face is installed, and every name is drawn as the same boxes");
    const QSize size(160, 80);
    const QImage picture = shown(QStringLiteral("图片"), {}, size);
    const QImage favourite = shown(QStringLiteral("收藏"), {}, size);
    QVERIFY(isPlaceholder(picture));
    QVERIFY(isPlaceholder(favourite));
    // The same outline and second line, another kind's name above it.
    QCOMPARE(picture.copy(0, 0, size.width(), 2), favourite.copy(0, 0, size.width(), 2));
    QVERIFY(picture != favourite);
}

void TestPictureObject::placeholderDrawnOnceLooksAsDrawnAfresh()
{
    // Each kind and size drawn alone, then all of them again and again in between: a
    // placeholder kept for one must never be shown for another.
    const QList<std::pair<QString, QSize>> cases = {
        {QStringLiteral("图片"), QSize(80, 60)}, {QStringLiteral("图片"), QSize(160, 80)},
        {QStringLiteral("收藏"), QSize(80, 60)}, {QStringLiteral("图片"), QSize(60, 80)},
        {QString(), QSize(80, 60)}};
    QList<QImage> fresh;
    for (const auto &[kind, size] : cases) {
        DecodedPictures::clear();
        fresh.append(shown(kind, {}, size));
        QVERIFY(isPlaceholder(fresh.constLast()));
    }
    for (int round = 0; round < 2; ++round) {
        for (qsizetype i = 0; i < cases.size(); ++i)
            QVERIFY2(shown(cases.at(i).first, {}, cases.at(i).second) == fresh.at(i), qPrintable(QString::number(i)));
    }
}

void TestPictureObject::failedDownloadShowsPlaceholder_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("fails");
    QTest::addColumn<bool>("named");
    QTest::newRow("not found") << QStringLiteral("/missing.png") << true << true;
    QTest::newRow("refused") << QStringLiteral("http://127.0.0.1:1/x.png") << true << true;
    // Nothing to name, and the status line keeps what it said.
    QTest::newRow("emptied") << QString() << true << false;
    QTest::newRow("a picture") << QStringLiteral("/red.png") << false << false;
}

void TestPictureObject::failedDownloadShowsPlaceholder()
{
    QFETCH(QString, address);
    QFETCH(bool, fails);
    QFETCH(bool, named);
    if (address.startsWith(u'/'))
        address.prepend(mServer.base());
    Test::DesignerWindow designer;
    MainWindow *window = designer.window();
    const int row = Test::addComponent(window, QStringLiteral("图片"));
    window->showStatus(QStringLiteral("before"));
    QWidget *editor = Test::openEditor(window, row);
    QVERIFY(editor);
    Test::runSteps(editor, {QStringLiteral("编辑框1:") + address});
    Test::pressButton(editor, QStringLiteral("超级按钮2"));
    QTRY_COMPARE_WITH_TIMEOUT(PreviewDownload::pending(), 0, 20000);
    Test::settle();

    PictureObject *object = window->canvas()->pictureById(window->table()->cell(row, T::Id));
    QVERIFY(object);
    QVERIFY(object->isVisible());
    // As the canvas shows it, over the module's background.
    const QImage image = object->parentWidget()->grab(object->geometry()).toImage().convertToFormat(
        QImage::Format_RGB32);
    QCOMPARE(image.size(), object->size());
    QCOMPARE(isPlaceholder(image), fails);
    QCOMPARE(window->statusText(), named ? QStringLiteral("图片无法显示：") + address : QStringLiteral("before"));
}

QTEST_MAIN(TestPictureObject)
#include "tst_picture_object.moc"
