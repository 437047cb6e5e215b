#include "canvas/design_canvas.h"

#include "canvas/canvas_surface.h"
#include "canvas/picture_object.h"
#include "codegen/text_ops.h"
#include "model/component_table.h"

#include <QLabel>
#include <QLineEdit>

namespace Plumbrook {

DesignCanvas::DesignCanvas(ComponentTable *table, CanvasSurface *surface,
                           PictureObject *pictureTemplate, QLabel *labelTemplate,
                           const SelectionHandles &handles, QObject *parent)
    : QObject(parent)
    , mTable(table)
    , mSurface(surface)
    , mPictureTemplate(pictureTemplate)
    , mLabelTemplate(labelTemplate)
    , mHandles(handles)
{
    mPictureTemplate->hide();
    mLabelTemplate->hide();
    mBackgroundId = mSurface->createSprite(QPoint(0, 0));
    mTable->setCreationCounter(mBackgroundId);
}

PictureObject *DesignCanvas::createPictureObject(const QString &id)
{
    auto *object = new PictureObject(mPictureTemplate->parentWidget());
    object->setGeometry(mPictureTemplate->geometry());
    object->setCursor(mPictureTemplate->cursor());
    if (mObjectFilter)
        object->installEventFilter(mObjectFilter);
    mPictures.append(object);
    object->setProperty("tag", id);
    return object;
}

QLabel *DesignCanvas::createTextLabel(const QString &id)
{
    auto *label = new QLabel(mLabelTemplate->parentWidget());
    label->setGeometry(mLabelTemplate->geometry());
    label->setText(mLabelTemplate->text());
    label->setFont(mLabelTemplate->font());
    label->setAlignment(mLabelTemplate->alignment());
    label->setStyleSheet(mLabelTemplate->styleSheet());
    label->setPalette(mLabelTemplate->palette());
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->setCursor(mLabelTemplate->cursor());
    if (mObjectFilter)
        label->installEventFilter(mObjectFilter);
    mLabels.append(label);
    label->setProperty("tag", id);
    return label;
}

int DesignCanvas::addPictureComponent(const QString &kind, const QByteArray &picture,
                                      int sourceRow, int width, int height)
{
    const int id = mTable->takeNextId();
    PictureObject *object = createPictureObject(QString::number(id));
    if (sourceRow >= 1)
        object->resize(mTable->cellInt(sourceRow, ComponentTable::Width),
                       mTable->cellInt(sourceRow, ComponentTable::Height));
    else
        object->resize(width, height);
    if (!picture.isEmpty())
        object->setPictureData(picture);
    object->show();
    object->raise();

    const int row = mTable->appendRow(QString::number(id), kind);
    mTable->setCell(row, ComponentTable::Width, QString::number(object->width()));
    mTable->setCell(row, ComponentTable::Height, QString::number(object->height()));
    writePlace(row, object);
    emit componentAdded(row);
    return row;
}

int DesignCanvas::addTextComponent()
{
    const int id = mTable->takeNextId();
    QLabel *label = createTextLabel(QString::number(id));
    label->show();
    label->raise();

    const int row = mTable->appendRow(QString::number(id), QStringLiteral("文字"));
    mTable->setCell(row, ComponentTable::Width,
                    QString::number(8 * TextOps::gbkLength(label->text())));
    mTable->setCell(row, ComponentTable::Height, QStringLiteral("24"));
    writePlace(row, label);
    emit componentAdded(row);
    return row;
}

void DesignCanvas::writePlace(int row, const QWidget *object)
{
    // Where the object is shown, as its first selection would write it: code generated
    // before that selection must not place the component at empty coordinates.
    const QPoint origin = backgroundPos();
    mTable->setCell(row, ComponentTable::Left, QString::number(object->x() - origin.x()));
    mTable->setCell(row, ComponentTable::Top, QString::number(object->y() - origin.y()));
}

void DesignCanvas::deleteComponent(QWidget *object)
{
    if (!object)
        return;
    const QString id = tagOf(object);
    mTable->deleteRow(mTable->findRowById(id));
    mPictures.removeAll(qobject_cast<PictureObject *>(object));
    mLabels.removeAll(qobject_cast<QLabel *>(object));
    object->hide();
    object->deleteLater();
    // The pointer goes stale at once, not only when the event loop deletes it.
    if (mSelection.picture == object)
        mSelection.picture = nullptr;
    if (mSelection.text == object)
        mSelection.text = nullptr;
    emit componentDeleted(id);
}

QWidget *DesignCanvas::objectById(const QString &id) const
{
    if (PictureObject *picture = pictureById(id))
        return picture;
    return labelById(id);
}

PictureObject *DesignCanvas::pictureById(const QString &id) const
{
    for (const auto &picture : mPictures) {
        if (picture && tagOf(picture) == id)
            return picture;
    }
    return nullptr;
}

QLabel *DesignCanvas::labelById(const QString &id) const
{
    for (const auto &label : mLabels) {
        if (label && tagOf(label) == id)
            return label;
    }
    return nullptr;
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
    const int canvasWidth = mSurface->width();
    const int left = pictureWidth <= 950 ? canvasWidth / 2 - pictureWidth / 2 : 5;
    moveBackground(QPoint(left, 5));
}

QWidget *DesignCanvas::selectedObject() const
{
    switch (mSelection.kind) {
    case Selection::Picture: return mSelection.picture;
    case Selection::Text: return mSelection.text;
    default: return nullptr;
    }
}

int DesignCanvas::selectedRow() const
{
    QWidget *object = selectedObject();
    if (!object)
        return -1;
    return mTable->findRowById(tagOf(object));
}

void DesignCanvas::refreshSelectionDisplay(QWidget *object)
{
    if (!object)
        return;
    const QRect frame = object->geometry();
    mHandles.place(frame);

    const QPoint origin = backgroundPos();
    const int row = mTable->findRowById(tagOf(object));
    const QString values[4] = {
        QString::number(frame.x() - origin.x()), QString::number(frame.y() - origin.y()),
        QString::number(frame.width()), QString::number(frame.height()),
    };
    const int columns[4] = {ComponentTable::Left, ComponentTable::Top, ComponentTable::Width,
                            ComponentTable::Height};
    for (int i = 0; i < 4; ++i) {
        if (mBoxes[i])
            mBoxes[i]->setText(values[i]);
        // Written even when the box already showed the value, which fires no change.
        mTable->setCell(row, columns[i], values[i]);
    }
    emit statusMessage(selectionStatusText(row));
}

void DesignCanvas::liftCarouselArrows(int carouselRow)
{
    const int id = mTable->cellInt(carouselRow, ComponentTable::Id);
    for (int offset : {1, 2}) {
        if (PictureObject *arrow = pictureById(QString::number(qint64(id) + offset)))
            arrow->raise();
    }
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
