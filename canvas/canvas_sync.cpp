#include "canvas/canvas_sync.h"

#include "canvas/design_canvas.h"
#include "canvas/design_loader.h"
#include "canvas/module_background_layer.h"
#include "canvas/picture_object.h"
#include "canvas/preview_download.h"
#include "components/component_creation.h"
#include "model/carousel_settings.h"
#include "model/text_ops.h"
#include "components/editor_registry.h"
#include "components/text_editors.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/design_selection.h"
#include "model/kind_table.h"
#include "model/layer_stacking.h"
#include "model/stacking_order.h"

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
    connect(document, &DesignDocument::changed, this, &CanvasSync::apply);
    connect(canvas, &DesignCanvas::modulePlaced, this, &CanvasSync::placeAll);
    connect(document, &DesignDocument::hiddenChanged, this, &CanvasSync::showHidden);
}

void CanvasSync::placeAll()
{
    const ComponentTable *table = mDocument->table();
    for (int row = 1; row < table->count(); ++row) {
        const QStringList cells = table->rowCells(row);
        if (QWidget *object = mCanvas->objectById(cells.at(T::Id)))
            DesignLoader::place(mCanvas, object, cells);
    }
    mCanvas->showSelection(false);
}

void CanvasSync::showHidden(const QStringList &ids)
{
    ComponentTable *table = mDocument->table();
    DesignSelection *selection = mDocument->selection();
    bool deselected = false;
    for (const QString &id : ids) {
        QWidget *object = mCanvas->objectById(id);
        if (!object)
            continue;
        if (mDocument->isHidden(id)) {
            object->hide();
            deselected = deselected || selection->contains(id);
            selection->remove(id);
            continue;
        }
        // An arrow comes back only where its carousel shows its arrows.
        const int carousel = LayerStacking::carouselOfArrow(*table, table->findRowById(id));
        object->setVisible(carousel < 0
                           || CS::valueOf(*table, CS::numberOf(*table, carousel), CS::kShowArrows).toInt() == 0);
    }
    if (deselected)
        mCanvas->showSelection();
}

void CanvasSync::apply(const DesignChange &change)
{
    const bool history = change.fromHistory();
    if (history || change.replaced) {
        // An open editor would show, and save, cells that are no longer there.
        EditorRegistry::closeAll();
    }
    if (change.replaced) {
        mCanvas->clearSelection();
        DesignLoader::rebuild(mCanvas);
        return;
    }
    ComponentTable *table = mDocument->table();
    const QSet<QString> created = change.structural ? matchObjectsToRows(change.ids) : QSet<QString>();
    for (const QString &id : change.ids) {
        const int row = table->findRowById(id);
        if (row >= 1)
            showRow(row, created.contains(id), change.columns.value(id), history);
    }
    if (change.structural) {
        // New rows and rows that moved take their place in the code's stacking; many
        // at once are put in order together rather than each looked for among all.
        if (change.ids.size() > 8) {
            mCanvas->restackAll();
        } else {
            // The highest first, so that each lower one finds those above it in place.
            QVector<std::pair<StackingOrder::Key, QWidget *>> placing;
            for (const QString &id : change.ids) {
                const int row = table->findRowById(id);
                if (QWidget *object = row >= 1 ? mCanvas->objectById(id) : nullptr)
                    placing.append({StackingOrder::keyOf(*table, row), object});
            }
            std::sort(placing.begin(), placing.end(), [](const auto &a, const auto &b) { return b.first < a.first; });
            for (const auto &entry : std::as_const(placing))
                mCanvas->stackInPlace(entry.second);
        }
    }
    if (change.structural || !change.carousels.isEmpty())
        showCarousels(history);
    // What the background worker measured is what it has just shown.
    if (change.module && change.origin != DesignChange::Measured)
        showModule();
    mCanvas->showSelection(false);
}

QSet<QString> CanvasSync::matchObjectsToRows(const QSet<QString> &ids)
{
    // Only the components the change names came or went.
    ComponentTable *table = mDocument->table();
    QSet<QString> created;
    for (const QString &id : ids) {
        const int row = table->findRowById(id);
        QWidget *object = mCanvas->objectById(id);
        if (row < 1) {
            if (object)
                mCanvas->destroyObject(object);
            continue;
        }
        if (object)
            continue;
        object = KindTable::is(table->cell(row, T::Kind), KindTable::Kind::Text)
            ? static_cast<QWidget *>(mCanvas->createTextLabel(id))
            : mCanvas->createPictureObject(id, table->cell(row, T::Kind));
        DesignLoader::place(mCanvas, object, table->rowCells(row));
        object->setVisible(!mDocument->isHidden(id));
        created.insert(id);
    }
    return created;
}

void CanvasSync::showRow(int row, bool created, const QSet<int> &columns, bool fromHistory)
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
        // A text always shows its own cells, whatever it showed before.
        if (changed({T::Picture, T::Text, T::BgColor, T::Other, T::Other1, T::Other4, T::Other5,
                     T::BgCode, T::Other2}))
            TextEditors::applyLabelLook(qobject_cast<QLabel *>(object), cells);
        return;
    }
    // An editor's save fetches its own preview; only history and new objects are shown here.
    if (!created && !fromHistory)
        return;
    DesignFile::CarouselValues carousel;
    if (cells.at(T::Kind) == KindTable::nameOf(KindTable::Kind::Carousel)) {
        const int number = CS::numberOf(*table, row);
        carousel.append({CS::pictureKey(1), CS::valueOf(*table, number, CS::pictureKey(1))});
    }
    const QString url = DesignLoader::previewUrl(cells, carousel);
    if (created) {
        // A component brought back shows what it showed when it went.
        const QByteArray remembered = fromHistory ? mCanvas->rememberedPicture(id) : QByteArray();
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
    bytes = url.isEmpty() ? DesignLoader::builtinPictureOf(cells.at(T::Kind)) : PreviewDownload::cached(url);
    if (!bytes.isEmpty()) {
        picture->setPictureData(bytes);
        return;
    }
    if (created)
        picture->setPictureData(DesignLoader::builtinPictureOf(cells.at(T::Kind)));
    // A component just added shows its kind's picture until an editor fetches its preview.
    if (fromHistory || !created)
        PreviewDownload::start(mCanvas, id, url, mCanvas->previewFetch());
}

void CanvasSync::showCarousels(bool fromHistory)
{
    ComponentTable *table = mDocument->table();
    for (int row = 1; row < table->count(); ++row) {
        if (table->cell(row, T::Kind) != KindTable::nameOf(KindTable::Kind::Carousel))
            continue;
        const int number = CS::numberOf(*table, row);
        // The editor's arrow choice: any entry but the first hides them.
        const bool arrowsShown = CS::valueOf(*table, number, CS::kShowArrows).toInt() == 0;
        for (int arrow : {CS::leftArrowRow(*table, row), CS::rightArrowRow(*table, row)}) {
            const QString id = table->cell(arrow, T::Id);
            if (QWidget *object = mCanvas->objectById(id))
                object->setVisible(arrowsShown && !mDocument->isHidden(id));
        }
        showRow(row, false, {}, fromHistory);
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
