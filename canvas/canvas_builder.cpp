#include "canvas/canvas_builder.h"

#include "canvas/decoded_pictures.h"
#include "canvas/design_canvas.h"
#include "canvas/design_loader.h"
#include "canvas/picture_object.h"
#include "components/text_editors.h"
#include "model/carousel_settings.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/design_file.h"
#include "model/kind_table.h"
#include "model/sliced_work.h"
#include "model/text_ops.h"

#include <QLabel>
#include <QElapsedTimer>

#include <algorithm>

namespace Plumbrook {

namespace {

using T = ComponentTable;
namespace CS = CarouselSettings;

int gAtOnceLimit = 500;
int gPerSlice = 5000;
constexpr int kDeletedPerSlice = 400;

} // namespace

CanvasBuilder::CanvasBuilder(DesignCanvas *canvas)
    : QObject(canvas)
    , mCanvas(canvas)
{
    setObjectName(QStringLiteral("CanvasBuilder"));
    connect(canvas->document(), &DesignDocument::changed, this, &CanvasBuilder::noteChange);
}

CanvasBuilder *CanvasBuilder::of(DesignCanvas *canvas)
{
    auto *builder = canvas->findChild<CanvasBuilder *>(QStringLiteral("CanvasBuilder"), Qt::FindDirectChildrenOnly);
    return builder ? builder : new CanvasBuilder(canvas);
}

void CanvasBuilder::setSlicing(int atOnce, int perSlice)
{
    gAtOnceLimit = atOnce;
    gPerSlice = perSlice;
}

void CanvasBuilder::retireAll()
{
    const QList<QWidget *> objects = mCanvas->takeAllObjects();
    if (objects.size() <= gAtOnceLimit) {
        for (QWidget *object : objects)
            object->deleteLater();
        return;
    }
    for (QWidget *object : objects)
        mRetired.append(object);
    SlicedWork::queue(this, "delete", [this] { return deleteSlice(); });
}

bool CanvasBuilder::deleteSlice()
{
    for (int i = 0; i < std::min(kDeletedPerSlice, gPerSlice) && !mRetired.isEmpty(); ++i)
        delete mRetired.takeLast().data();
    return !mRetired.isEmpty();
}

void CanvasBuilder::start(const QStringList &ids)
{
    SlicedWork::cancel(this, "build");
    mIds = ids;
    mNext = 0;
    mStarted = 0;
    mBuiltins.clear();
    mDisturbed = false;
    if (mIds.size() <= gAtOnceLimit) {
        while (mNext < mIds.size())
            buildOne(mIds.at(mNext++));
        mBuiltins.clear();
        while (mStarted < mIds.size())
            startPreview(mIds.at(mStarted++));
        emit finished();
        return;
    }
    // Not even the first slice here: the design has just been put into the document,
    // which took the window's time already.
    SlicedWork::queue(this, "build", [this] {
        if (mNext < mIds.size())
            buildSlice();
        else
            startSlice();
        return isBuilding();
    });
}

void CanvasBuilder::buildSlice()
{
    QElapsedTimer timer;
    timer.start();
    const qsizetype end = std::min(mIds.size(), mNext + gPerSlice);
    while (mNext < end && timer.nsecsElapsed() < SlicedWork::kSliceNs)
        buildOne(mIds.at(mNext++));
    emit progressed(int(mNext), int(mIds.size()));
    if (mNext < mIds.size())
        return;
    mBuiltins.clear();
    if (mDisturbed)
        mCanvas->restackAll();
    mDisturbed = false;
}

void CanvasBuilder::startSlice()
{
    QElapsedTimer timer;
    timer.start();
    const qsizetype end = std::min(mIds.size(), mStarted + gPerSlice);
    while (mStarted < end && timer.nsecsElapsed() < SlicedWork::kSliceNs)
        startPreview(mIds.at(mStarted++));
    if (mStarted == mIds.size())
        emit finished();
}

void CanvasBuilder::buildOne(const QString &id)
{
    ComponentTable *table = mCanvas->table();
    const int row = table->findRowById(id);
    // Gone, or made already by a change done while the design came in.
    if (row < 1 || mCanvas->objectById(id))
        return;
    const QStringList cells = table->rowCells(row);
    const QString kind = cells.at(T::Kind);
    QWidget *object = nullptr;
    if (KindTable::is(kind, KindTable::Kind::Text)) {
        QLabel *label = mCanvas->createTextLabel(id);
        TextEditors::applyLabelLook(label, cells);
        object = label;
    } else {
        PictureObject *picture = mCanvas->createPictureObject(id, kind);
        // Each kind's built-in picture is decoded once and shared by all its objects.
        auto builtin = mBuiltins.find(kind);
        if (builtin == mBuiltins.end()) {
            const QByteArray bytes = DesignLoader::builtinPictureOf(kind);
            builtin = mBuiltins.insert(kind, {bytes, DecodedPictures::naturalSize(bytes)});
        }
        picture->setPictureData(builtin->first, builtin->second);
        object = picture;
    }
    DesignLoader::place(mCanvas, object, cells);
    object->setVisible(!mCanvas->document()->isHidden(id));
    // Within this slice's time, not all at once in the repaint that follows it.
    if (auto *picture = qobject_cast<PictureObject *>(object))
        picture->prepareShown();
}

void CanvasBuilder::startPreview(const QString &id)
{
    ComponentTable *table = mCanvas->table();
    // Read now, not when the design came in: the user may have changed it meanwhile.
    const int row = table->findRowById(id);
    if (row < 1)
        return;
    const QStringList cells = table->rowCells(row);
    const QString kind = cells.at(T::Kind);
    DesignFile::CarouselValues values;
    if (KindTable::is(kind, KindTable::Kind::Carousel)) {
        const int number = CS::numberOf(*table, row);
        values = {{CS::kShowArrows, CS::valueOf(*table, number, CS::kShowArrows)},
                  {CS::pictureKey(1), CS::valueOf(*table, number, CS::pictureKey(1))}};
        // The editor's arrow choice: any entry but the first hides them.
        const bool arrowsShown = TextOps::toInt(DesignLoader::carouselValue(values, CS::kShowArrows)) == 0;
        DesignDocument *document = mCanvas->document();
        for (int arrow : {CS::leftArrowRow(*table, row), CS::rightArrowRow(*table, row)}) {
            const QString arrowId = table->cell(arrow, T::Id);
            if (QWidget *object = mCanvas->objectById(arrowId))
                object->setVisible(arrowsShown && !document->isHidden(arrowId));
        }
    }
    const QString url = DesignLoader::previewUrl(cells, values);
    if (url.isEmpty())
        return;
    const PreviewDownload::Fetch fetch = mCanvas->previewFetch();
    PreviewDownload::start(mCanvas, id, url, fetch ? fetch : PreviewDownload::fetchOf(kind));
}

void CanvasBuilder::noteChange(const DesignChange &change)
{
    if (mNext < mIds.size() && change.structural && !change.replaced)
        mDisturbed = true;
}

} // namespace Plumbrook
