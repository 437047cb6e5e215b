#include "canvas/design_loader.h"

#include "canvas/canvas_builder.h"
#include "canvas/canvas_surface.h"
#include "canvas/design_canvas.h"
#include "model/frame_picture.h"
#include "canvas/module_background_layer.h"
#include "canvas/picture_object.h"
#include "model/text_ops.h"
#include "model/carousel_settings.h"
#include "components/component_creation.h"
#include "model/creation_defaults.h"
#include "components/editor_registry.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/kind_table.h"
#include "model/stacking_order.h"
#include "net/http_client.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>

#include <algorithm>

namespace Plumbrook::DesignLoader {

namespace {

using T = ComponentTable;
namespace CS = CarouselSettings;


// Widgets hold sizes and positions only up to QWIDGETSIZE_MAX.
int pinned(qint64 value, qint64 lowest)
{
    return int(qBound<qint64>(lowest, value, QWIDGETSIZE_MAX));
}

// Where the cells put a component relative to the module background's top-left corner.
QPoint placeOf(DesignCanvas *canvas, const QWidget *object, const QStringList &cells)
{
    // A component never selected (in an older design) has no position; it stays where
    // new ones appear.
    if (cells.value(T::Left).isEmpty() || cells.value(T::Top).isEmpty())
        return canvas->frameOf(object).topLeft();
    const QPoint origin = canvas->backgroundPos();
    return QPoint(pinned(qint64(origin.x()) + TextOps::toInt(cells.value(T::Left)), -QWIDGETSIZE_MAX),
                  pinned(qint64(origin.y()) + TextOps::toInt(cells.value(T::Top)), -QWIDGETSIZE_MAX));
}

// The background is redrawn for the opened module and centred for its width only when
// the worker is done; the components go along with it to where their cells say.
void followBackground(DesignCanvas *canvas)
{
    const ComponentTable *table = canvas->table();
    for (int row = 1; row < table->count(); ++row) {
        const QStringList cells = table->rowCells(row);
        if (QWidget *object = canvas->objectById(cells.value(T::Id)))
            canvas->moveObject(object, placeOf(canvas, object, cells));
    }
}

} // namespace

void place(DesignCanvas *canvas, QWidget *object, const QStringList &cells)
{
    canvas->setFrame(object, QRect(placeOf(canvas, object, cells),
                                   QSize(pinned(TextOps::toInt(cells.value(T::Width)), 0),
                                         pinned(TextOps::toInt(cells.value(T::Height)), 0))));
}

QByteArray builtinPictureOf(const QString &kind)
{
    namespace CD = CreationDefaults;
    if (kind.startsWith(CS::kLeftArrowPrefix))
        return ComponentCreation::builtinPicture(CD::leftArrowPicture());
    if (kind.startsWith(CS::kRightArrowPrefix))
        return ComponentCreation::builtinPicture(CD::rightArrowPicture());
    const KindTable::KindInfo *info = KindTable::find(kind);
    if (!info)
        return {};
    if (info->kind == KindTable::Kind::Hotspot)
        return makeFramePicture(info->width, info->height, KindTable::kHotspotColour,
                                KindTable::kHotspotColour);
    return ComponentCreation::builtinPicture(info->picture);
}

QString carouselValue(const DesignFile::CarouselValues &values, const QString &key)
{
    for (const auto &[name, value] : values) {
        if (name == key)
            return value;
    }
    return {};
}

QString previewUrl(const QStringList &cells, const DesignFile::CarouselValues &carousel)
{
    return KindTable::previewUrl(cells, [&carousel](const QString &key) { return carouselValue(carousel, key); });
}

void load(DesignCanvas *canvas, const DesignFile::Design &design)
{
    // The canvas follows the document's change (CanvasSync).
    canvas->document()->resetDesign(design);
}

void rebuild(DesignCanvas *canvas)
{
    EditorRegistry::closeAll();
    PreviewDownload::discardPending();
    ComponentTable *table = canvas->table();
    canvas->clearSelection();
    canvas->forgetPictures();
    // Each object shown below asks its parent to lay out again, and Qt folds the request
    // into the one already queued by searching the event queue from its start: queued
    // ahead of the old objects' deletions, that one is found at once, not after them all.
    for (QWidget *parent : {canvas->pictureTemplate()->parentWidget(), canvas->labelTemplate()->parentWidget()}) {
        if (parent)
            QCoreApplication::postEvent(parent, new QEvent(QEvent::LayoutRequest));
    }
    CanvasBuilder *builder = CanvasBuilder::of(canvas);
    builder->retireAll();

    // Placed against the background where the opened module will stand, not where the
    // old one stood: centred for the module's width, as the redrawn background will be.
    canvas->centreBackground(table->cellInt(0, T::Width));

    // Created in the code's stacking order, each lies above those before it.
    QVector<std::pair<StackingOrder::Key, int>> order;
    order.reserve(table->count());
    for (int row = 1; row < table->count(); ++row)
        order.append({StackingOrder::keyOf(*table, row), row});
    std::sort(order.begin(), order.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    QStringList ids;
    ids.reserve(order.size());
    for (const auto &entry : std::as_const(order))
        ids.append(table->cell(entry.second, T::Id));
    builder->start(ids);
    ModuleBackgroundLayer::forgetRunning(canvas);
    ModuleBackgroundLayer::render(canvas, [canvas] { followBackground(canvas); });
}

} // namespace Plumbrook::DesignLoader
