#include "canvas/canvas_sync.h"

#include "canvas/design_canvas.h"
#include "canvas/design_loader.h"
#include "canvas/module_background_layer.h"
#include "canvas/picture_object.h"
#include "codegen/text_ops.h"
#include "components/carousel_settings.h"
#include "components/component_creation.h"
#include "components/editor_registry.h"
#include "components/preview_download.h"
#include "components/text_editors.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/kind_table.h"

#include <QLabel>
#include <QSet>

#include <algorithm>

namespace Plumbrook {

namespace {

using T = ComponentTable;
namespace CS = CarouselSettings;

const char *const kShownUrl = "previewUrl";

} // namespace

CanvasSync::CanvasSync(DesignDocument *document, DesignCanvas *canvas, QObject *parent)
    : QObject(parent)
    , mDocument(document)
    , mCanvas(canvas)
{
    connect(document, &DesignDocument::stepApplied, this, &CanvasSync::apply);
}

void CanvasSync::apply(const DesignChange &change)
{
    // An open editor would show, and save, cells that are no longer there.
    EditorRegistry::closeAll();
    mCanvas->clearSelection();
    if (change.replaced) {
        DesignLoader::rebuild(mCanvas);
        return;
    }
    ComponentTable *table = mDocument->table();
    QSet<QString> created;
    if (change.structural) {
        const QSet<QString> before = [this] {
            QSet<QString> ids;
            for (QWidget *object : mCanvas->allObjects())
                ids.insert(DesignCanvas::tagOf(object));
            return ids;
        }();
        matchObjectsToRows();
        for (int row = 1; row < table->count(); ++row) {
            const QString id = table->cell(row, T::Id);
            if (!before.contains(id))
                created.insert(id);
        }
    }
    for (int row = 1; row < table->count(); ++row) {
        const QString id = table->cell(row, T::Id);
        if (created.contains(id) || change.ids.contains(id))
            showRow(row, created.contains(id), change.columns.value(id));
    }
    if (change.structural || !change.carousels.isEmpty())
        showCarousels();
    if (change.module)
        showModule();
}

void CanvasSync::matchObjectsToRows()
{
    ComponentTable *table = mDocument->table();
    QSet<QString> ids;
    for (int row = 1; row < table->count(); ++row)
        ids.insert(table->cell(row, T::Id));
    for (QWidget *object : mCanvas->allObjects()) {
        if (!ids.contains(DesignCanvas::tagOf(object)))
            mCanvas->destroyObject(object);
    }
    // The others keep their stacking; one brought back lies where it lay.
    for (int row = 1; row < table->count(); ++row) {
        const QString id = table->cell(row, T::Id);
        if (mCanvas->objectById(id))
            continue;
        QWidget *object = KindTable::is(table->cell(row, T::Kind), KindTable::Kind::Text)
            ? static_cast<QWidget *>(mCanvas->createTextLabel(id))
            : mCanvas->createPictureObject(id);
        object->show();
        if (!mCanvas->restoreGone(object))
            DesignLoader::place(mCanvas, object, table->rowCells(row));
    }
}

void CanvasSync::showRow(int row, bool created, const QSet<int> &columns)
{
    ComponentTable *table = mDocument->table();
    const QStringList cells = table->rowCells(row);
    const QString id = cells.at(T::Id);
    QWidget *object = mCanvas->objectById(id);
    if (!object)
        return;
    auto changed = [&](std::initializer_list<int> of) {
        return created || std::any_of(of.begin(), of.end(), [&](int c) { return columns.contains(c); });
    };
    if (!created && changed({T::Width, T::Height, T::Left, T::Top}))
        DesignLoader::place(mCanvas, object, cells);
    auto *picture = qobject_cast<PictureObject *>(object);
    if (!picture) {
        auto *label = qobject_cast<QLabel *>(object);
        if (created && mCanvas->restoreLastLook(label))
            return;
        if (changed({T::Picture, T::Text, T::BgColor, T::Other, T::Other1, T::Other4})
            && !mCanvas->restoreLook(label, cells))
            TextEditors::applyLabelLook(label, cells);
        return;
    }
    DesignFile::CarouselValues carousel;
    if (cells.at(T::Kind) == KindTable::nameOf(KindTable::Kind::Carousel)) {
        const int number = CS::numberOf(*table, row);
        carousel.append({CS::pictureKey(1), CS::valueOf(*table, number, CS::pictureKey(1))});
    }
    const QString url = DesignLoader::previewUrl(cells, carousel);
    if (created) {
        // A component brought back shows what it showed when it went.
        const QByteArray remembered = mCanvas->rememberedPicture(id);
        if (!remembered.isEmpty()) {
            picture->setPictureData(remembered);
            return;
        }
    } else {
        const QString shown = mCanvas->shownUrl(picture);
        if (shown == url)
            return;
        mCanvas->rememberPicture(picture, shown);
    }
    picture->setProperty(kShownUrl, url);
    QByteArray bytes;
    if (mCanvas->pictureShownFor(id, url, &bytes)) {
        picture->setPictureData(bytes);
        return;
    }
    bytes = url.isEmpty() ? ComponentCreation::builtinPictureOf(cells.at(T::Kind)) : PreviewDownload::cached(url);
    if (!bytes.isEmpty()) {
        picture->setPictureData(bytes);
        return;
    }
    if (created)
        picture->setPictureData(ComponentCreation::builtinPictureOf(cells.at(T::Kind)));
    PreviewDownload::start(mCanvas, id, url, mCanvas->previewFetch());
}

void CanvasSync::showCarousels()
{
    ComponentTable *table = mDocument->table();
    for (int row = 1; row < table->count(); ++row) {
        if (table->cell(row, T::Kind) != KindTable::nameOf(KindTable::Kind::Carousel))
            continue;
        const int number = CS::numberOf(*table, row);
        // The editor's arrow choice: any entry but the first hides them.
        const bool arrowsShown = CS::valueOf(*table, number, CS::kShowArrows).toInt() == 0;
        for (int arrow : {CS::leftArrowRow(*table, row), CS::rightArrowRow(*table, row)}) {
            if (QWidget *object = mCanvas->objectById(table->cell(arrow, T::Id)))
                object->setVisible(arrowsShown);
        }
        showRow(row, false, {});
    }
}

void CanvasSync::showModule()
{
    if (!ModuleBackgroundLayer::showCached(mCanvas)) {
        ModuleBackgroundLayer::render(mCanvas);
        return;
    }
    // The background may have moved: placed components keep their place on the module.
    ComponentTable *table = mDocument->table();
    const QPoint origin = mCanvas->backgroundPos();
    for (int row = 1; row < table->count(); ++row) {
        QWidget *object = mCanvas->objectById(table->cell(row, T::Id));
        const QString left = table->cell(row, T::Left);
        const QString top = table->cell(row, T::Top);
        if (object && !left.isEmpty() && !top.isEmpty())
            mCanvas->moveObject(object, origin + QPoint(TextOps::toInt(left), TextOps::toInt(top)));
    }
}

} // namespace Plumbrook
