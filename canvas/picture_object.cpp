#include "canvas/picture_object.h"

#include "canvas/canvas_repaint.h"
#include "canvas/decoded_pictures.h"
#include "model/background_work.h"

#include <QPainter>
#include <QPointer>

namespace Plumbrook {

PictureObject::PictureObject(QWidget *parent)
    : QLabel(parent)
{
}

bool PictureObject::setPictureData(const QByteArray &bytes)
{
    const QSize natural = DecodedPictures::naturalSize(bytes);
    QImage shown;
    // A small picture is decoded now, which also proves it whole.
    if (natural.isValid() && qint64(natural.width()) * natural.height() <= DecodedPictures::kQuickPixels) {
        shown = DecodedPictures::decode(bytes, DecodedPictures::decodeSize(natural, shownPixels()));
        if (shown.isNull() && !shownPixels().isEmpty()) {
            setPictureData(bytes, {}, {});
            return false;
        }
    }
    setPictureData(bytes, natural, shown);
    return natural.isValid();
}

void PictureObject::setPictureData(const QByteArray &bytes, const QSize &natural, const QImage &shown)
{
    mData = bytes;
    mKey = DecodedPictures::keyOf(bytes);
    mNatural = natural;
    mAwaited = {};
    // Kept only for an object in view: the others would push out of the budget the
    // pictures that are shown.
    if (!shown.isNull() && CanvasRepaint::inView(this))
        DecodedPictures::insert(mKey, shown);
    CanvasRepaint::objectArea(this);
}

QImage PictureObject::image() const
{
    return DecodedPictures::decode(mData, mNatural);
}

QSize PictureObject::shownPixels() const
{
    return size() * devicePixelRatioF();
}

QImage PictureObject::scaledImage(const QImage &image, const QSize &size)
{
    return image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

void PictureObject::decodeLater(const QSize &size)
{
    if (mAwaited == size)
        return;
    mAwaited = size;
    QPointer<PictureObject> self(this);
    const quint64 key = mKey;
    BackgroundWork::run(
        BackgroundWork::Lane::Downloads, this,
        [bytes = mData, size] { return DecodedPictures::decode(bytes, size); },
        [self, key, size](const QImage &image) {
            if (!self || self->mKey != key || self->mAwaited != size)
                return;
            self->mAwaited = {};
            if (image.isNull())
                return;
            DecodedPictures::insert(key, image);
            self->update();
        });
}

void PictureObject::paintEvent(QPaintEvent *)
{
    if (!mNatural.isValid() || width() <= 0 || height() <= 0)
        return;
    const QSize size = DecodedPictures::decodeSize(mNatural, shownPixels());
    QImage shown = DecodedPictures::find(mKey, size);
    if (shown.isNull()) {
        // Large pictures are decoded off the user-interface thread and painted on arrival.
        if (qint64(mNatural.width()) * mNatural.height() > DecodedPictures::kQuickPixels) {
            decodeLater(size);
            return;
        }
        shown = DecodedPictures::decode(mData, size);
        DecodedPictures::insert(mKey, shown);
    }
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(rect(), shown);
}

} // namespace Plumbrook
