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
    update();
    return !mImage.isNull();
}

void PictureObject::paintEvent(QPaintEvent *)
{
    if (mImage.isNull())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(rect(), mImage);
}

} // namespace Plumbrook
