#include "canvas/arrange_menu.h"
#include "canvas/canvas_scroller.h"
#include "canvas/canvas_surface.h"
#include "canvas/design_canvas.h"
#include "canvas/main_window.h"
#include "canvas/picture_drop.h"
#include "canvas/picture_object.h"
#include "canvas/preview_download.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "support/editor_driving.h"
#include "support/loopback_server.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>
#include <QUrl>

#include <atomic>

using namespace Plumbrook;
using T = ComponentTable;

namespace {

// Serves /<width>x<height>.png as a picture of that size.
class SizedPictures
{
public:
    SizedPictures()
    {
        mServer.server().Get(R"(/(\d+)x(\d+)\.png)", [this](const httplib::Request &request,
                                                           httplib::Response &response) {
            ++mRequests;
            const QSize size(std::stoi(request.matches[1].str()), std::stoi(request.matches[2].str()));
            response.set_content(Test::png(Qt::darkCyan, size).toStdString(), "image/png");
        });
        mServer.start();
    }
    QString url(int width, int height) const
    {
        return mServer.base() + QStringLiteral("/%1x%2.png").arg(width).arg(height);
    }
    int requests() const { return mRequests; }

private:
    Test::LoopbackServer mServer;
    std::atomic<int> mRequests{0};
};

enum class Form { UriList, Html, Text };

QMimeData *mimeOf(Form form, const QStringList &addresses)
{
    auto *mime = new QMimeData;
    switch (form) {
    case Form::UriList: {
        QList<QUrl> urls;
        for (const QString &address : addresses)
            urls.append(QUrl(address));
        mime->setUrls(urls);
        break;
    }
    case Form::Html: {
        QString html = QStringLiteral("<html><body><p>shop</p>");
        for (const QString &address : addresses)
            html += QStringLiteral("<img class=\"x\" src=\"%1\" alt=\"\">").arg(address);
        mime->setHtml(html + QStringLiteral("</body></html>"));
        break;
    }
    case Form::Text:
        mime->setText(addresses.join(u'\n'));
        break;
    }
    return mime;
}

} // namespace

class TestPictureDrop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void addressesIn_data();
    void addressesIn();
    void dropStacksPicturesInOneStep_data();
    void dropStacksPicturesInOneStep();
    void localFileShownFromTheFile();
    void pasteAddsAtTheViewsCorner();
    void pictureRunningPastTheModuleOffersHeight();
    void unreadablePictureIsNamed();
    void naturalSize_data();
    void naturalSize();

private:
    // Drops `mime` onto the canvas where module point `at` is shown; the components added.
    int drop(QMimeData *mime, const QPoint &at);
    QWidget *objectOfRow(int row) const;

    std::unique_ptr<Test::DesignerWindow> mDesigner;
    MainWindow *mWindow = nullptr;
    DesignCanvas *mCanvas = nullptr;
    ComponentTable *mTable = nullptr;
    SizedPictures *mPictures = nullptr;
    QTemporaryDir mFiles;
};

void TestPictureDrop::initTestCase()
{
    mPictures = new SizedPictures;
}

void TestPictureDrop::init()
{
    mDesigner = std::make_unique<Test::DesignerWindow>();
    mWindow = mDesigner->window();
    mCanvas = mWindow->canvas();
    mTable = mWindow->table();
    QTRY_VERIFY(mCanvas->backgroundPictureSize().isValid());
}

void TestPictureDrop::cleanup()
{
    mDesigner.reset();
}

QWidget *TestPictureDrop::objectOfRow(int row) const
{
    return mCanvas->objectById(mTable->cell(row, T::Id));
}

int TestPictureDrop::drop(QMimeData *mime, const QPoint &at)
{
    CanvasSurface *surface = mCanvas->surface();
    const QPoint pos = (mCanvas->backgroundPos() + at) * mCanvas->zoom();
    QSignalSpy placed(mWindow->pictureDrop(), &PictureDrop::placed);
    QDragEnterEvent enter(pos, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(surface, &enter);
    if (!enter.isAccepted()) {
        delete mime;
        return -1;
    }
    QDropEvent dropped(pos, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(surface, &dropped);
    delete mime;
    if (!placed.wait(10000))
        return -1;
    return placed.first().first().toInt();
}

void TestPictureDrop::addressesIn_data()
{
    QTest::addColumn<int>("form");
    QTest::addColumn<QString>("payload");
    QTest::addColumn<QStringList>("addresses");

    const QString a = QStringLiteral("https://img.example.com/i1/a.jpg");
    QTest::newRow("address list") << int(Form::UriList) << a << QStringList{a};
    QTest::newRow("address list, a file") << int(Form::UriList) << QStringLiteral("file:///tmp/切片 1.png")
                                          << QStringList{QStringLiteral("file:///tmp/切片 1.png")};
    QTest::newRow("address list, no picture scheme")
        << int(Form::UriList) << QStringLiteral("mailto:a@b.c") << QStringList{};
    QTest::newRow("page picture") << int(Form::Html)
                                  << QStringLiteral("<img src='https://x.cn/b.png?w=1&amp;h=2'>")
                                  << QStringList{QStringLiteral("https://x.cn/b.png?w=1&h=2")};
    QTest::newRow("page picture, bare") << int(Form::Html) << QStringLiteral("<IMG SRC=http://x.cn/c.gif>")
                                        << QStringList{QStringLiteral("http://x.cn/c.gif")};
    QTest::newRow("page picture, inline data") << int(Form::Html)
                                               << QStringLiteral("<img src=\"data:image/png;base64,AAAA\">")
                                               << QStringList{};
    QTest::newRow("text, two addresses") << int(Form::Text) << QStringLiteral(" http://a.cn/1.jpg \r\nhttp://a.cn/2.jpg\n")
                                         << QStringList{QStringLiteral("http://a.cn/1.jpg"), QStringLiteral("http://a.cn/2.jpg")};
    QTest::newRow("text, no address") << int(Form::Text) << QStringLiteral("新品上市") << QStringList{};
    QTest::newRow("text, missing file") << int(Form::Text) << QStringLiteral("/no/such/file.png") << QStringList{};
}

void TestPictureDrop::addressesIn()
{
    QFETCH(int, form);
    QFETCH(QString, payload);
    QFETCH(QStringList, addresses);
    QMimeData mime;
    if (Form(form) == Form::UriList)
        mime.setUrls({QUrl(payload)});
    else if (Form(form) == Form::Html)
        mime.setHtml(payload);
    else
        mime.setText(payload);
    QCOMPARE(PictureDrop::addressesIn(&mime), addresses);
}

void TestPictureDrop::dropStacksPicturesInOneStep_data()
{
    QTest::addColumn<int>("form");
    QTest::addColumn<QList<QSize>>("sizes");
    QTest::addColumn<double>("zoom");

    const QList<QSize> one{QSize(120, 80)};
    const QList<QSize> three{QSize(300, 40), QSize(300, 25), QSize(200, 60)};
    QTest::newRow("address list, one") << int(Form::UriList) << one << 1.0;
    QTest::newRow("address list, three") << int(Form::UriList) << three << 1.0;
    QTest::newRow("page pictures, three") << int(Form::Html) << three << 1.0;
    QTest::newRow("text, one, 50 %") << int(Form::Text) << one << 0.5;
    QTest::newRow("text, three, 200 %") << int(Form::Text) << three << 2.0;
}

void TestPictureDrop::dropStacksPicturesInOneStep()
{
    QFETCH(int, form);
    QFETCH(QList<QSize>, sizes);
    QFETCH(double, zoom);
    mWindow->scroller()->zoomTo(zoom);
    QStringList addresses;
    for (const QSize &size : sizes)
        addresses.append(mPictures->url(size.width(), size.height()));
    const int rowsBefore = mTable->count();
    const int stepsBefore = mWindow->document()->undoStack()->count();

    const QPoint at(40, 30);
    QCOMPARE(drop(mimeOf(Form(form), addresses), at), int(sizes.size()));
    QCOMPARE(mTable->count(), rowsBefore + sizes.size());
    QCOMPARE(mWindow->document()->undoStack()->count(), stepsBefore + 1);
    QCOMPARE(mWindow->document()->undoStack()->undoText(), QStringLiteral("添加图片"));
    int top = at.y();
    for (qsizetype i = 0; i < sizes.size(); ++i) {
        const int row = rowsBefore + int(i);
        QCOMPARE(mTable->cell(row, T::Kind), QStringLiteral("图片"));
        QCOMPARE(mTable->cell(row, T::Picture), addresses.at(i));
        QCOMPARE(mTable->cellInt(row, T::Left), at.x());
        QCOMPARE(mTable->cellInt(row, T::Top), top);
        QCOMPARE(mTable->cellInt(row, T::Width), sizes.at(i).width());
        QCOMPARE(mTable->cellInt(row, T::Height), sizes.at(i).height());
        auto *picture = qobject_cast<PictureObject *>(objectOfRow(row));
        QVERIFY(picture && picture->hasPicture());
        QCOMPARE(mCanvas->frameOf(picture), QRect(mCanvas->backgroundPos() + QPoint(at.x(), top), sizes.at(i)));
        top += sizes.at(i).height();
    }

    mWindow->document()->undoStack()->undo();
    QCOMPARE(mTable->count(), rowsBefore);
    mWindow->document()->undoStack()->redo();
    QCOMPARE(mTable->count(), rowsBefore + sizes.size());
    const int requests = mPictures->requests();
    for (qsizetype i = 0; i < sizes.size(); ++i) {
        auto *picture = qobject_cast<PictureObject *>(objectOfRow(rowsBefore + int(i)));
        QVERIFY(picture);
        QTRY_COMPARE(picture->naturalSize(), sizes.at(i));
    }
    QCOMPARE(mPictures->requests(), requests);   // redone from what was fetched
}

void TestPictureDrop::localFileShownFromTheFile()
{
    const QString path = Test::writeFile(mFiles, QStringLiteral("切片 1.png"), Test::png(Qt::red, QSize(64, 48)));
    const QString address = QUrl::fromLocalFile(path).toString();
    QVERIFY(address.startsWith(QStringLiteral("file:///")));
    QCOMPARE(drop(mimeOf(Form::UriList, {address}), QPoint(0, 0)), 1);
    const int row = mTable->count() - 1;
    QCOMPARE(mTable->cell(row, T::Picture), address);
    QCOMPARE(mTable->cellInt(row, T::Width), 64);
    auto *picture = qobject_cast<PictureObject *>(objectOfRow(row));
    QCOMPARE(picture->image().pixelColor(3, 3), QColor(Qt::red));
}

void TestPictureDrop::pasteAddsAtTheViewsCorner()
{
    QApplication::clipboard()->setText(mPictures->url(50, 20));
    // Far from the view: the pictures go to the view's corner.
    QCursor::setPos(mWindow->mapToGlobal(QPoint(-500, -500)));
    QSignalSpy placed(mWindow->pictureDrop(), &PictureDrop::placed);
    QTest::keyClick(mCanvas->surface(), Qt::Key_V, Qt::ControlModifier);
    QVERIFY(placed.wait(10000));
    const int row = mTable->count() - 1;
    QCOMPARE(mTable->cellInt(row, T::Width), 50);
    const QPoint corner = mCanvas->surface()->mapFrom(mCanvas->surface()->parentWidget()->parentWidget(), QPoint(0, 0));
    QCOMPARE(mCanvas->frameOf(objectOfRow(row)).topLeft(), corner);
}

void TestPictureDrop::pictureRunningPastTheModuleOffersHeight()
{
    const int moduleHeight = mTable->cellInt(0, T::Height);
    QCOMPARE(drop(mimeOf(Form::Text, {mPictures->url(100, 300), mPictures->url(100, 350)}),
                  QPoint(10, moduleHeight - 200)),
             2);
    PictureDrop *pictures = mWindow->pictureDrop();
    const int needed = moduleHeight - 200 + 650;
    QCOMPARE(pictures->offeredHeight(), needed);
    QVERIFY(pictures->growButton()->isVisible());
    QVERIFY(mWindow->statusText().contains(QString::number(needed)));
    const int steps = mWindow->document()->undoStack()->count();
    QTest::mouseClick(pictures->growButton(), Qt::LeftButton);
    QCOMPARE(mTable->cellInt(0, T::Height), needed);
    QVERIFY(!pictures->growButton()->isVisible());
    QCOMPARE(mWindow->document()->undoStack()->count(), steps + 1);
    mWindow->document()->undoStack()->undo();
    QCOMPARE(mTable->cellInt(0, T::Height), moduleHeight);
    QCOMPARE(mTable->count(), 3);   // the pictures stay

    // Pictures that fit offer nothing.
    QCOMPARE(drop(mimeOf(Form::Text, {mPictures->url(10, 10)}), QPoint(0, 0)), 1);
    QCOMPARE(pictures->offeredHeight(), 0);
    QVERIFY(!pictures->growButton()->isVisible());
}

void TestPictureDrop::unreadablePictureIsNamed()
{
    const QString missing = Test::deadBase() + QStringLiteral("/gone.png");
    const int rows = mTable->count();
    QCOMPARE(drop(mimeOf(Form::UriList, {missing, mPictures->url(30, 30)}), QPoint(0, 0)), 1);
    QCOMPARE(mTable->count(), rows + 1);
    QVERIFY(mWindow->statusText().contains(missing));
}

void TestPictureDrop::naturalSize_data()
{
    QTest::addColumn<QSize>("natural");
    QTest::addColumn<double>("zoom");
    QTest::newRow("wide, 50 %") << QSize(400, 90) << 0.5;
    QTest::newRow("tall, 200 %") << QSize(60, 240) << 2.0;
    QTest::newRow("tiny, 100 %") << QSize(3, 2) << 1.0;
}

void TestPictureDrop::naturalSize()
{
    QFETCH(QSize, natural);
    QFETCH(double, zoom);
    const int row = Test::addComponent(mWindow, QStringLiteral("图片"));
    auto *picture = qobject_cast<PictureObject *>(objectOfRow(row));
    const QPoint place = mCanvas->frameOf(picture).topLeft();
    QVERIFY(mCanvas->setObjectPicture(mTable->cell(row, T::Id), Test::png(Qt::blue, natural)));
    // A locked picture keeps its size.
    const int locked = Test::addComponent(mWindow, QStringLiteral("图片"), {QStringLiteral("是否锁定=是")});
    QVERIFY(mCanvas->setObjectPicture(mTable->cell(locked, T::Id), Test::png(Qt::blue, natural)));
    mWindow->scroller()->zoomTo(zoom);
    mCanvas->selectObjects({picture, objectOfRow(locked)});
    const int steps = mWindow->document()->undoStack()->count();

    mWindow->arrangeMenu()->giveNaturalSize();
    QCOMPARE(mTable->cellInt(row, T::Width), natural.width());
    QCOMPARE(mTable->cellInt(row, T::Height), natural.height());
    QCOMPARE(mCanvas->frameOf(picture), QRect(place, natural));
    QCOMPARE(picture->size(), natural * zoom);
    QCOMPARE(mTable->cellInt(locked, T::Width), 180);
    QCOMPARE(mWindow->document()->undoStack()->count(), steps + 1);
    QVERIFY(mWindow->document()->undoStack()->undoText().startsWith(QStringLiteral("原始尺寸")));
    mWindow->document()->undoStack()->undo();
    QCOMPARE(mTable->cellInt(row, T::Width), 180);
}

QTEST_MAIN(TestPictureDrop)
#include "tst_picture_drop.moc"
