#include "canvas/design_snapshot.h"

#include "canvas/canvas_surface.h"
#include "canvas/design_canvas.h"
#include "canvas/picture_object.h"
#include "components/carousel_settings.h"
#include "components/editor_registry.h"
#include "model/component_table.h"

#include <QHash>
#include <QLabel>

namespace Plumbrook {

namespace {

QHash<QString, QWidget *> objectsById(const DesignCanvas *canvas)
{
    QHash<QString, QWidget *> objects;
    for (QWidget *object : canvas->allObjects())
        objects.insert(DesignCanvas::tagOf(object), object);
    return objects;
}

QHash<QString, DesignSnapshot::ObjectPtr> statesById(const DesignSnapshot &snapshot)
{
    QHash<QString, DesignSnapshot::ObjectPtr> states;
    for (const auto &chunk : snapshot.objectChunks.chunks) {
        for (const auto &state : *chunk)
            states.insert(state->id, state);
    }
    return states;
}

QStringList idsOf(const QVector<DesignSnapshot::ObjectPtr> &objects)
{
    QStringList ids;
    ids.reserve(objects.size());
    for (const auto &state : objects)
        ids.append(state->id);
    return ids;
}

QMap<int, DesignFile::CarouselValues> captureCarousels(const ComponentTable &table,
                                                      const DesignSnapshot *previous,
                                                      const QSet<int> &dirty)
{
    QMap<int, DesignFile::CarouselValues> carousels;
    for (int row = 1; row < table.count(); ++row) {
        if (table.cell(row, ComponentTable::Kind) != CarouselSettings::kCarouselKind)
            continue;
        const int number = CarouselSettings::numberOf(table, row);
        if (previous && !dirty.contains(number) && previous->carousels.contains(number)) {
            carousels.insert(number, previous->carousels.value(number));
            continue;
        }
        DesignFile::CarouselValues values;
        for (const auto &pair : CarouselSettings::defaults())
            values.append({pair.first, CarouselSettings::read(number, pair.first)});
        carousels.insert(number, values);
    }
    // Equal maps are kept shared with the snapshot before.
    if (previous && carousels == previous->carousels)
        return previous->carousels;
    return carousels;
}

} // namespace

bool DesignSnapshot::Object::samePicture(const Object &other) const
{
    return (picture.constData() == other.picture.constData() && picture.size() == other.picture.size())
        || picture == other.picture;
}

bool DesignSnapshot::Object::operator==(const Object &other) const
{
    return id == other.id && text == other.text && visible == other.visible
        && geometry == other.geometry && samePicture(other) && labelText == other.labelText
        && font == other.font && alignment == other.alignment && styleSheet == other.styleSheet;
}

DesignSnapshot::Object DesignSnapshot::objectState(const DesignCanvas *canvas, const QWidget *object,
                                                  const QString &id)
{
    Object state;
    state.id = id;
    state.visible = !object->isHidden();
    state.geometry = object->geometry().translated(-canvas->backgroundPos());
    if (auto *picture = qobject_cast<const PictureObject *>(object)) {
        state.picture = picture->pictureData();
    } else if (auto *label = qobject_cast<const QLabel *>(object)) {
        state.text = true;
        state.labelText = label->text();
        state.font = label->font();
        state.alignment = label->alignment();
        state.styleSheet = label->styleSheet();
    }
    return state;
}

void DesignSnapshot::applyObject(DesignCanvas *canvas, QWidget *object, const Object &state,
                                 bool withPicture)
{
    object->setGeometry(state.geometry.translated(canvas->backgroundPos()));
    object->setVisible(state.visible);
    if (auto *picture = qobject_cast<PictureObject *>(object)) {
        if (withPicture && !(picture->pictureData().constData() == state.picture.constData()
                             && picture->pictureData().size() == state.picture.size()))
            picture->setPictureData(state.picture);
    } else if (auto *label = qobject_cast<QLabel *>(object)) {
        label->setText(state.labelText);
        label->setFont(state.font);
        label->setAlignment(state.alignment);
        label->setStyleSheet(state.styleSheet);
    }
}

DesignSnapshot DesignSnapshot::capture(const DesignCanvas *canvas, const DesignSnapshot *previous,
                                       const QSet<int> &dirtyCarousels)
{
    const ComponentTable &table = *canvas->table();
    DesignSnapshot snapshot;
    const QVector<QStringList> rows = table.rows();
    snapshot.rowChunks = SharedChunks<QStringList>::from(
        rows, previous ? &previous->rowChunks : nullptr,
        [](const QStringList &a, const QStringList &b) { return a == b; });
    snapshot.background = canvas->surface()->spriteImage(canvas->backgroundId());
    if (previous && previous->background.cacheKey() != snapshot.background.cacheKey()
        && previous->background == snapshot.background)
        snapshot.background = previous->background;
    snapshot.carousels = captureCarousels(table, previous, dirtyCarousels);

    const QHash<QString, QWidget *> objects = objectsById(canvas);
    const QHash<QString, ObjectPtr> before = previous ? statesById(*previous) : QHash<QString, ObjectPtr>();
    QVector<ObjectPtr> states;
    states.reserve(rows.size());
    for (int row = 1; row < rows.size(); ++row) {
        const QString &id = rows.at(row).at(ComponentTable::Id);
        QWidget *object = objects.value(id);
        if (!object)
            continue;
        Object state = objectState(canvas, object, id);
        const ObjectPtr old = before.value(state.id);
        states.append(old && *old == state ? old : std::make_shared<const Object>(std::move(state)));
    }
    snapshot.objectChunks = SharedChunks<ObjectPtr>::from(
        states, previous ? &previous->objectChunks : nullptr,
        [](const ObjectPtr &a, const ObjectPtr &b) { return a == b; });
    return snapshot;
}

void DesignSnapshot::restore(DesignCanvas *canvas, const DesignSnapshot &from, const DesignSnapshot &to)
{
    EditorRegistry::closeAll();
    ComponentTable *table = canvas->table();

    for (auto it = to.carousels.cbegin(); it != to.carousels.cend(); ++it) {
        const DesignFile::CarouselValues shown = from.carousels.value(it.key());
        if (shown == it.value())
            continue;
        // Only the keys that differ, so other keys of the file stay as they are.
        DesignFile::CarouselValues changed;
        for (const auto &pair : it.value()) {
            if (!shown.contains(pair))
                changed.append(pair);
        }
        CarouselSettings::write(it.key(), changed);
    }

    const bool backgroundChanged = from.background.cacheKey() != to.background.cacheKey();
    if (backgroundChanged) {
        canvas->surface()->setSpriteImage(canvas->backgroundId(), to.background);
        canvas->centreBackground(to.background.width());
    }

    table->replaceRows(to.rows());
    QHash<QString, QWidget *> objects = objectsById(canvas);
    const QHash<QString, ObjectPtr> wanted = statesById(to);
    for (auto it = objects.begin(); it != objects.end();) {
        if (wanted.contains(it.key())) {
            ++it;
            continue;
        }
        // The row is gone already, so only the object goes.
        canvas->deleteComponent(it.value());
        it = objects.erase(it);
    }

    const QHash<QString, ObjectPtr> shown = statesById(from);
    const QVector<ObjectPtr> targets = to.objects();
    for (const ObjectPtr &state : targets) {
        QWidget *object = objects.value(state->id);
        const bool created = !object;
        if (created) {
            object = state->text ? static_cast<QWidget *>(canvas->createTextLabel(state->id))
                                 : canvas->createPictureObject(state->id);
            objects.insert(state->id, object);
        }
        if (created || shown.value(state->id) != state)
            applyObject(canvas, object, *state, true);
        else if (backgroundChanged)
            object->move(state->geometry.topLeft() + canvas->backgroundPos());
    }
    if (idsOf(from.objects()) != idsOf(targets)) {
        for (const ObjectPtr &state : targets)
            objects.value(state->id)->raise();
    }

    auto &selection = canvas->selection();
    selection.kind = DesignCanvas::Selection::None;
    selection.picture = nullptr;
    selection.text = nullptr;
    canvas->handles().hideAll();
}

} // namespace Plumbrook
