#include "support/canvas_driving.h"
#include "support/file_menu_fixture.h"

#include "canvas/design_canvas.h"
#include "canvas/file_menu.h"
#include "model/frame_picture.h"
#include "canvas/main_window.h"
#include "model/carousel_settings.h"
#include "components/component_creation.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/kind_table.h"
#include "support/editor_driving.h"
#include "support/test_support.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace Plumbrook::Test {

using T = ComponentTable;

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray fakeFetch(const QString &url)
{
    return makeFramePicture(int(url.size()), 7, 0x102030, 0x102030);
}

FileMenuFixture::FileMenuFixture() = default;
FileMenuFixture::~FileMenuFixture() = default;

void FileMenuFixture::open()
{
    mData = new QTemporaryDir;
    mFiles = new QTemporaryDir;
    mChosen.clear();
    mAnswers.clear();
    mAsked.clear();
    DesignerOptions options;
    options.beforeShow = [this](MainWindow *window, const QString &) {
        window->fileMenu()->setDataDir(mData->path());
        window->fileMenu()->setPreviewFetch(&fakeFetch);
        window->fileMenu()->setChooser([this](bool, const QString &) {
            return mChosen.isEmpty() ? QString() : mChosen.takeFirst();
        });
        window->fileMenu()->setAsker([this](const QString &text, const QStringList &buttons) {
            mAsked.append(text);
            mAskedButtons = buttons;
            return mAnswers.isEmpty() ? 1 : mAnswers.takeFirst();
        });
    };
    mDesigner = std::make_unique<DesignerWindow>(std::move(options));
    mWindow = mDesigner->window();
    mMenu = mWindow->fileMenu();
    centre();
}

void FileMenuFixture::close()
{
    const bool ended = mDesigner->closeWindow();
    mDesigner.reset();
    mWindow = nullptr;
    mMenu = nullptr;
    delete mFiles;
    delete mData;
    QVERIFY2(ended, "work of the window was still running");
}

MainWindow *FileMenuFixture::reopen(bool centred)
{
    mWindow = mDesigner->reopen();
    mMenu = mWindow->fileMenu();
    if (centred)
        centre();
    return mWindow;
}

void FileMenuFixture::centre()
{
    mWindow->canvas()->setBackgroundPicture(makeFramePicture(950, 500, 0x8445952, 0x8445952));
    mWindow->canvas()->centreBackground(950);
}

void FileMenuFixture::buildDesign()
{
    DesignCanvas *canvas = mWindow->canvas();
    for (const KindTable::KindInfo &kind : KindTable::all())
        canvas->addComponent(kind.name);
    ComponentTable *table = mWindow->table();
    // Placed, edited and moved components beside never-selected ones.
    for (int row = 1; row < table->count(); row += 2) {
        QTest::mouseClick(canvas->objectById(table->cell(row, T::Id)), Qt::LeftButton, {}, QPoint(1, 1));
        QWidget *object = canvas->objectById(table->cell(row, T::Id));
        object->move(object->pos() + QPoint(row * 3, row));
        canvas->refreshSelectionDisplay(object);
    }
    int text = 1;
    while (table->cell(text, T::Kind) != QStringLiteral("文字"))
        ++text;
    int carousel = 1;
    while (table->cell(carousel, T::Kind) != QStringLiteral("轮播"))
        ++carousel;
    mWindow->document()->writeUnstepped([&] {
        table->setCell(1, T::Link, QStringLiteral("https://shop.example/热点"));
        table->setCell(0, T::BgCode, QStringLiteral("1"));
        table->setCell(0, T::Width, QStringLiteral("800"));
        table->setCell(text, T::Picture, QStringLiteral("你好"));
        table->setCell(text, T::Other1, QStringLiteral("20"));
        CarouselSettings::writeFor(*table, CarouselSettings::numberOf(*table, carousel),
                                {{CarouselSettings::kEasingCode, QStringLiteral("bounceIn")},
                                 {CarouselSettings::kShowArrows, QStringLiteral("1")}});
    });
    settle();
}

} // namespace Plumbrook::Test
