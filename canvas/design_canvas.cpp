#include "canvas/design_canvas.h"

#include "canvas/canvas_repaint.h"
#include "canvas/canvas_surface.h"
#include "canvas/design_loader.h"
#include "model/carousel_settings.h"
#include "canvas/picture_object.h"
#include "canvas/selection_frame.h"
#include "components/component_creation.h"
#include "model/text_ops.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/design_selection.h"
#include "model/kind_table.h"
#include "model/stacking_order.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSet>

#include <algorithm>
#include <functional>

namespace Plumbrook {

DesignCanvas::DesignCanvas(DesignDocument *document, CanvasSurface *surface,
                           PictureObject *pictureTemplate, QLabel *labelTemplate,
                           const SelectionHandles &handles, QObject *parent)
    : QObject(parent)
    , mDocument(document)
    , mTable(document->table())
    , mSurface(surface)
    , mPictureTemplate(pictureTemplate)
    , mLabelTemplate(labelTemplate)
    , mHandles(handles)
    , mFrame(new SelectionFrame(surface->parentWidget()))
{
    mSurface->setObjectLayer(pictureTemplate->parentWidget());
    connect(document->selection(), &DesignSelection::selectionChanged, this, [this] {
        if (mDocument->selection()->ids().size() < 2)
            mFrame->hide();
    });
    mPictureTemplate->hide();
    mLabelTemplate->hide();
    mBackgroundId = mSurface->createSprite(QPoint(0, 0));
    mTable->setCreationCounter(mBackgroundId);
}

PictureObject *DesignCanvas::createPictureObject(const QString &id, const QString &kind)
{
    auto *object = new PictureObject(mPictureTemplate->parentWidget());
    object->setKind(kind);
    setFrame(object, mPictureTemplate->geometry());
    object->setCursor(mPictureTemplate->cursor());
    if (mObjectFilter)
        object->installEventFilter(mObjectFilter);
    object->installEventFilter(this);
    mPictures.append(object);
    mPictureById.insert(id, object);
    object->setProperty("tag", id);
    countZ(object, id);
    return object;
}

QLabel *DesignCanvas::createTextLabel(const QString &id)
{
    auto *label = new QLabel(mLabelTemplate->parentWidget());
    setFrame(label, mLabelTemplate->geometry());
    label->setText(mLabelTemplate->text());
    setLabelFont(label, mLabelTemplate->font());
    label->setAlignment(mLabelTemplate->alignment());
    label->setStyleSheet(mLabelTemplate->styleSheet());
    label->setPalette(mLabelTemplate->palette());
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->setCursor(mLabelTemplate->cursor());
    if (mObjectFilter)
        label->installEventFilter(mObjectFilter);
    label->installEventFilter(this);
    mLabels.append(label);
    mLabelById.insert(id, label);
    label->setProperty("tag", id);
    countZ(label, id);
    return label;
}

void DesignCanvas::showSourcePictures(const QStringList &copies, const QStringList &sources)
{
    for (qsizetype i = 0; i < copies.size() && i < sources.size(); ++i) {
        PictureObject *source = pictureById(sources.at(i));
        PictureObject *copy = pictureById(copies.at(i));
        if (source && copy && source->hasPicture() && shownUrl(source) == shownUrl(copy))
            copy->setPictureData(source->pictureData());
    }
}

QPoint DesignCanvas::newComponentPlace(const QString &kind) const
{
    const QWidget *like = KindTable::is(kind, KindTable::Kind::Text) ? static_cast<QWidget *>(mLabelTemplate)
                                                                    : mPictureTemplate;
    return frameOf(like).topLeft() - backgroundPos();
}

int DesignCanvas::addComponent(const QString &kind)
{
    return ComponentCreation::create(mDocument, kind, newComponentPlace(kind));
}

void DesignCanvas::destroyObject(QWidget *object, bool remember, bool deleteLater)
{
    if (!object)
        return;
    const QString id = tagOf(object);
    if (remember)
        rememberGone(object);
    mDocument->selection()->remove(id);
    if (auto *picture = qobject_cast<PictureObject *>(object)) {
        mPictures.removeOne(picture);
        if (mPictureById.value(id) == picture)
            mPictureById.remove(id);
    } else if (auto *label = qobject_cast<QLabel *>(object)) {
        mLabels.removeOne(label);
        if (mLabelById.value(id) == label)
            mLabelById.remove(id);
    }
    object->setProperty("tag", QVariant());
    const QVariant z = object->property("z");
    if (z.isValid() && --mZCounts[z.toInt()] <= 0)
        mZCounts.remove(z.toInt());
    mPlaced.remove(object);
    object->hide();
    if (deleteLater)
        object->deleteLater();
    // The pointer goes stale at once, not only when the event loop deletes it.
    if (mSelection.picture == object)
        mSelection.picture = nullptr;
    if (mSelection.text == object)
        mSelection.text = nullptr;
}

QList<QWidget *> DesignCanvas::takeAllObjects()
{
    // One object at a time, each looked for in the lists: a large design took as many
    // searches through thousands as it has objects.
    const QList<QWidget *> objects = allObjects();
    DesignSelection *selection = mDocument->selection();
    for (const QString &id : selection->ids()) {
        if (mPictureById.contains(id) || mLabelById.contains(id))
            selection->remove(id);
    }
    mPictures.clear();
    mPictureById.clear();
    mLabels.clear();
    mLabelById.clear();
    mZCounts.clear();
    mPlaced.clear();
    mSelection.picture = nullptr;
    mSelection.text = nullptr;
    // Their tags stay, unlike destroyObject()'s: cleared one by one they cost as much as
    // hiding them. Nothing takes a retired object for a component: none is in the lists
    // above, and a neighbour's tag is believed only for the object its id names now.
    for (QWidget *object : objects)
        object->hide();
    return objects;
}

void DesignCanvas::rememberGone(QWidget *object)
{
    const QString id = tagOf(object);
    if (auto *picture = qobject_cast<PictureObject *>(object))
        mPictureMemory.insert(id, picture->pictureData());
    else if (auto *label = qobject_cast<QLabel *>(object))
        remember(QStringLiteral("gone ") + id, label);
    mAbove.remove(id);
    mGoneFrames.insert(id, frameOf(object).translated(-backgroundPos()));
    const QObjectList siblings = object->parentWidget()->children();
    for (qsizetype i = siblings.indexOf(object) + 1; i < siblings.size(); ++i) {
        const QString above = tagOf(siblings.at(i));
        if (!above.isEmpty() && objectById(above) == siblings.at(i)) {
            mAbove.insert(id, above);
            break;
        }
    }
}

bool DesignCanvas::eventFilter(QObject *watched, QEvent *event)
{
    // An object shown asks for its own repaint later; opening a design shows
    // thousands at once, which the canvas repaints as one.
    if (event->type() == QEvent::UpdateLater && watched->isWidgetType()) {
        CanvasRepaint::objectArea(static_cast<QWidget *>(watched));
        return true;
    }
    return QObject::eventFilter(watched, event);
}

QWidget *DesignCanvas::objectById(const QString &id) const
{
    if (PictureObject *picture = pictureById(id))
        return picture;
    return labelById(id);
}

PictureObject *DesignCanvas::pictureById(const QString &id) const
{
    return mPictureById.value(id);
}

QLabel *DesignCanvas::labelById(const QString &id) const
{
    return mLabelById.value(id);
}

bool DesignCanvas::setObjectPicture(const QString &id, const QByteArray &bytes)
{
    PictureObject *picture = pictureById(id);
    if (!picture)
        return false;
    const bool decoded = picture->setPictureData(bytes);
    emit objectPictureChanged(id);
    return decoded;
}

void DesignCanvas::setObjectPicture(const QString &id, const QByteArray &bytes, const QSize &natural,
                                    const QImage &shown)
{
    if (PictureObject *picture = pictureById(id)) {
        picture->setPictureData(bytes, natural, shown);
        emit objectPictureChanged(id);
    }
}

QList<PictureObject *> DesignCanvas::pictureObjects() const
{
    QList<PictureObject *> list;
    for (const auto &picture : mPictures) {
        if (picture)
            list.append(picture);
    }
    return list;
}

QList<QLabel *> DesignCanvas::textLabels() const
{
    QList<QLabel *> list;
    for (const auto &label : mLabels) {
        if (label)
            list.append(label);
    }
    return list;
}

QList<QWidget *> DesignCanvas::allObjects() const
{
    QList<QWidget *> list;
    for (PictureObject *picture : pictureObjects())
        list.append(picture);
    for (QLabel *label : textLabels())
        list.append(label);
    return list;
}

QString DesignCanvas::tagOf(const QObject *object)
{
    return object ? object->property("tag").toString() : QString();
}

QPoint DesignCanvas::backgroundPos() const
{
    return mSurface->spritePos(mBackgroundId);
}

void DesignCanvas::moveBackground(const QPoint &pos)
{
    mSurface->moveSprite(mBackgroundId, pos);
}

bool DesignCanvas::setBackgroundPicture(const QByteArray &bytes)
{
    return mSurface->setSpritePicture(mBackgroundId, bytes);
}

QSize DesignCanvas::backgroundPictureSize() const
{
    return mSurface->spritePictureSize(mBackgroundId);
}

void DesignCanvas::centreBackground(int pictureWidth)
{
    const int canvasWidth = mLayoutWidth > 0 ? mLayoutWidth : mSurface->width();
    const int left = pictureWidth <= 950 ? canvasWidth / 2 - pictureWidth / 2 : 5;
    moveBackground(QPoint(left, 5));
    emit modulePlaced();
}

bool DesignCanvas::restoreGone(QWidget *object) const
{
    const QString id = tagOf(object);
    QWidget *above = objectById(mAbove.value(id));
    if (above && above != object)
        object->stackUnder(above);
    else
        object->raise();
    const auto frame = mGoneFrames.constFind(id);
    if (frame == mGoneFrames.constEnd())
        return false;
    setFrame(object, frame->translated(backgroundPos()));
    return true;
}

namespace {

QString lookKey(const QLabel *label, const QStringList &cells)
{
    QStringList key{DesignCanvas::tagOf(label)};
    for (int column : {ComponentTable::Picture, ComponentTable::Text, ComponentTable::BgColor,
                       ComponentTable::Other, ComponentTable::Other1, ComponentTable::Other4})
        key.append(cells.value(column));
    return key.join(QChar(0x1f));
}

} // namespace

void DesignCanvas::remember(const QString &key, const QLabel *label)
{
    mLooks.insert(key, {label->text(), labelFont(label), label->alignment(), label->styleSheet()});
}

bool DesignCanvas::restore(const QString &key, QLabel *label) const
{
    const auto look = mLooks.constFind(key);
    if (look == mLooks.constEnd())
        return false;
    label->setText(look->text);
    setLabelFont(label, look->font);
    label->setAlignment(look->alignment);
    label->setStyleSheet(look->styleSheet);
    return true;
}

QString DesignCanvas::shownUrl(const PictureObject *picture) const
{
    const QVariant shown = picture->property("previewUrl");
    if (shown.isValid())
        return shown.toString();
    // Until a preview arrives a component shows its kind's picture for the URL its cells name.
    const int row = mTable->findRowById(tagOf(picture));
    DesignFile::CarouselValues carousel;
    if (mTable->cell(row, ComponentTable::Kind) == KindTable::nameOf(KindTable::Kind::Carousel)) {
        const int number = CarouselSettings::numberOf(*mTable, row);
        carousel.append({CarouselSettings::pictureKey(1), CarouselSettings::valueOf(*mTable, number, CarouselSettings::pictureKey(1))});
    }
    return DesignLoader::previewUrl(mTable->rowCells(row), carousel);
}

void DesignCanvas::rememberShown(const QString &id)
{
    if (PictureObject *picture = pictureById(id))
        rememberPicture(picture, shownUrl(picture));
    else if (QLabel *label = labelById(id))
        rememberLook(label, mTable->rowCells(mTable->findRowById(id)));
}

void DesignCanvas::rememberPicture(const PictureObject *picture, const QString &url)
{
    mPictureMemory.insert(tagOf(picture) + QChar(0x1f) + url, picture->pictureData());
}

bool DesignCanvas::pictureShownFor(const QString &id, const QString &url, QByteArray *bytes) const
{
    const auto found = mPictureMemory.constFind(id + QChar(0x1f) + url);
    if (found == mPictureMemory.constEnd())
        return false;
    *bytes = *found;
    return true;
}

void DesignCanvas::rememberLook(QLabel *label, const QStringList &cells)
{
    remember(lookKey(label, cells), label);
}

bool DesignCanvas::restoreLook(QLabel *label, const QStringList &cells) const
{
    return restore(lookKey(label, cells), label);
}

bool DesignCanvas::restoreLastLook(QLabel *label) const
{
    return restore(QStringLiteral("gone ") + tagOf(label), label);
}

QRect DesignCanvas::moduleFrameOf(const QWidget *object) const
{
    return frameOf(object).translated(-backgroundPos());
}

void DesignCanvas::countZ(QWidget *object, const QString &id)
{
    const int z = StackingOrder::zIndexOf(mTable->cell(mTable->findRowById(id), ComponentTable::Kind));
    object->setProperty("z", z);
    ++mZCounts[z];
}

void DesignCanvas::stackInPlace(QWidget *object) const
{
    const int row = mTable->findRowById(tagOf(object));
    if (row < 1)
        return;
    const StackingOrder::Key key = StackingOrder::keyOf(*mTable, row);
    // The last row of the highest z-index lies on top of everything.
    const bool highest = std::none_of(mZCounts.keyBegin(), mZCounts.keyEnd(), [&](int z) { return z > key.z; });
    if (highest && row == mTable->count() - 1) {
        object->raise();
        return;
    }
    // Otherwise it lies under the lowest of those the code stacks above it.
    QWidget *under = nullptr;
    StackingOrder::Key underKey;
    for (int other = 1; other < mTable->count(); ++other) {
        if (other == row)
            continue;
        const StackingOrder::Key otherKey = StackingOrder::keyOf(*mTable, other);
        if (!(key < otherKey) || (under && !(otherKey < underKey)))
            continue;
        QWidget *candidate = objectById(mTable->cell(other, ComponentTable::Id));
        if (!candidate || candidate->parentWidget() != object->parentWidget())
            continue;
        under = candidate;
        underKey = otherKey;
    }
    if (under)
        object->stackUnder(under);
    else
        object->raise();
}

void DesignCanvas::restackAll() const
{
    QVector<std::pair<StackingOrder::Key, QWidget *>> order;
    order.reserve(mTable->count());
    for (int row = 1; row < mTable->count(); ++row) {
        if (QWidget *object = objectById(mTable->cell(row, ComponentTable::Id)))
            order.append({StackingOrder::keyOf(*mTable, row), object});
    }
    std::stable_sort(order.begin(), order.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    for (const auto &entry : std::as_const(order))
        entry.second->raise();
}

bool DesignCanvas::isLockedObject(const QWidget *object) const
{
    return mTable->isLocked(mTable->findRowById(tagOf(object)));
}

void DesignCanvas::liftCarouselArrows(int carouselRow)
{
    const int id = mTable->cellInt(carouselRow, ComponentTable::Id);
    for (int offset : {1, 2}) {
        if (PictureObject *arrow = pictureById(QString::number(qint64(id) + offset)))
            arrow->raise();
    }
}

QList<QWidget *> DesignCanvas::withCarouselArrows(const QList<QWidget *> &objects) const
{
    QList<QWidget *> all = objects;
    for (QWidget *object : objects) {
        const int row = mTable->findRowById(tagOf(object));
        if (!KindTable::is(mTable->cell(row, ComponentTable::Kind), KindTable::Kind::Carousel))
            continue;
        for (int arrow : {CarouselSettings::leftArrowRow(*mTable, row), CarouselSettings::rightArrowRow(*mTable, row)}) {
            QWidget *arrowObject = objectById(mTable->cell(arrow, ComponentTable::Id));
            if (arrowObject && !all.contains(arrowObject))
                all.append(arrowObject);
        }
    }
    return all;
}

QString DesignCanvas::moduleStatusText() const
{
    return QStringLiteral("模块宽度：") + mTable->cell(0, ComponentTable::Width)
        + QStringLiteral("px；模块高度：") + mTable->cell(0, ComponentTable::Height)
        + QStringLiteral("px；共添加了：") + QString::number(mTable->componentCount())
        + QStringLiteral(" 个组件 ");
}

QString DesignCanvas::selectionStatusText(int row) const
{
    QString locked = mTable->cell(row, ComponentTable::Locked);
    if (locked.isEmpty())
        locked = QStringLiteral("否");
    return QStringLiteral("当前选中组件名：") + mTable->cell(row, ComponentTable::Kind)
        + QStringLiteral("，创建顺序为第：") + QString::number(row)
        + QStringLiteral(" 个；锁定状态：") + locked;
}

} // namespace Plumbrook
