#include "canvas/picture_object.h"

#include "canvas/canvas_surface.h"

#include <QPainter>

namespace Plumbrook {

PictureObject::PictureObject(QWidget *parent)
    : QLabel(parent)
{
}

bool PictureObject::setPictureData(const QByteArray &bytes)
{
    mData = bytes;
    mImage = CanvasSurface::decodePicture(bytes);
    mScaled = QPixmap();
    update();
    return !mImage.isNull();
}

void PictureObject::setPictureData(const QByteArray &bytes, const QImage &decoded)
{
    mData = bytes;
    mImage = decoded;
    mScaled = QPixmap();
    update();
}

void PictureObject::paintEvent(QPaintEvent *)
{
    if (mImage.isNull())
        return;
    if (mScaled.size() != size()) {
        mScaled = QPixmap::fromImage(
            mImage.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    QPainter p(this);
    p.drawPixmap(0, 0, mScaled);
}

} // namespace Plumbrook
