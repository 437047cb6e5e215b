#include "canvas/picture_object.h"

#include "canvas/canvas_repaint.h"
#include "canvas/decoded_pictures.h"
#include "model/background_work.h"
#include "model/kind_table.h"

#include <QPainter>
#include <QPointer>

namespace Plumbrook {

const QString PictureObject::kUnavailableText = QStringLiteral("图片无法显示");

PictureObject::PictureObject(QWidget *parent)
    : QLabel(parent)
{
}

void PictureObject::setKind(const QString &kind)
{
    mKind = kind;
    update();
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
    if (width() <= 0 || height() <= 0)
        return;
    // Without a placeholder a failed picture would leave an invisible object that
    // can still be pressed and dragged.
    if (!mNatural.isValid()) {
        QPainter p(this);
        p.drawImage(rect(), placeholderImage());
        return;
    }
    const QImage shown = shownImage();
    if (shown.isNull())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    if (!KindTable::is(mKind, KindTable::Kind::Hotspot)) {
        p.drawImage(rect(), shown);
        return;
    }
    p.setOpacity(kHotspotOpacity);
    p.drawImage(rect(), shown);
    p.setOpacity(1.0);
    const quint32 bgr = KindTable::kHotspotColour;
    p.setPen(QPen(QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void PictureObject::prepareShown()
{
    if (width() <= 0 || height() <= 0 || !CanvasRepaint::inView(this))
        return;
    if (mNatural.isValid())
        shownImage();
    else
        placeholderImage();
}

QImage PictureObject::shownImage()
{
    const QSize size = DecodedPictures::decodeSize(mNatural, shownPixels());
    QImage shown = DecodedPictures::find(mKey, size);
    if (!shown.isNull())
        return shown;
    // Large pictures are decoded off the user-interface thread and painted on arrival.
    if (qint64(mNatural.width()) * mNatural.height() > DecodedPictures::kQuickPixels) {
        decodeLater(size);
        return {};
    }
    shown = DecodedPictures::decode(mData, size);
    DecodedPictures::insert(mKey, shown);
    return shown;
}

QImage PictureObject::placeholderImage() const
{
    // Drawn once per kind, size and font and then copied: a design opened offline shows
    // hundreds at once, and wrapped text and dashes drawn afresh on every paint held the
    // window for tens of milliseconds at each repaint.
    const QString text = mKind.isEmpty() ? kUnavailableText : mKind + QLatin1Char('\n') + kUnavailableText;
    const QSize pixels = shownPixels();
    const quint64 key = DecodedPictures::keyOf(QStringLiteral("placeholder\n%1\n%2").arg(text, font().key()).toUtf8());
    QImage drawn = DecodedPictures::find(key, pixels);
    if (!drawn.isNull())
        return drawn;
    drawn = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    drawn.setDevicePixelRatio(devicePixelRatioF());
    drawn.fill(Qt::transparent);
    QPainter painter(&drawn);
    painter.setFont(font());
    const QRect whole(QPoint(0, 0), size());
    const QRect frame = whole.adjusted(0, 0, -1, -1);
    // Light enough to read on a dark module background, faint enough to place by.
    painter.fillRect(whole, QColor(255, 255, 255, 150));
    painter.setPen(QPen(QColor(96, 96, 96), 1, Qt::DashLine));
    painter.drawRect(frame);
    painter.setPen(QColor(64, 64, 64));
    painter.drawText(frame.adjusted(2, 2, -2, -2), Qt::AlignCenter | Qt::TextWordWrap, text);
    painter.end();
    DecodedPictures::insert(key, drawn);
    return drawn;
}

} // namespace Plumbrook
