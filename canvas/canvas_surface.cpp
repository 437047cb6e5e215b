#include "canvas/canvas_surface.h"

#include <QBuffer>
#include <QImageReader>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace Plumbrook {

CanvasSurface::CanvasSurface(QWidget *parent)
    : QWidget(parent)
{
    setMouseTracking(true);
    setAutoFillBackground(false);
}

int CanvasSurface::createSprite(const QPoint &pos)
{
    const int id = mNextId++;
    mSprites.insert(id, Sprite{pos, {}});
    update();
    return id;
}

QImage CanvasSurface::decodePicture(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return {};
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    // Refuses absurd declared sizes (decompression bombs) before allocating.
    reader.setAllocationLimit(256);
    QImage image = reader.read();
    if (image.isNull() || image.width() < 1 || image.height() < 1)
        return {};
    return image;
}

bool CanvasSurface::setSpritePicture(int id, const QByteArray &bytes)
{
    const QImage image = decodePicture(bytes);
    if (image.isNull() || !mSprites.contains(id))
        return false;
    setSpriteImage(id, image);
    return true;
}

void CanvasSurface::setSpriteImage(int id, const QImage &image)
{
    auto it = mSprites.find(id);
    if (it == mSprites.end())
        return;
    it->image = image;
    update();
    emit spritePictureChanged(id);
}

QImage CanvasSurface::spriteImage(int id) const
{
    return mSprites.value(id).image;
}

QSize CanvasSurface::spritePictureSize(int id) const
{
    const QImage image = mSprites.value(id).image;
    return image.isNull() ? QSize(0, 0) : image.size();
}

QPoint CanvasSurface::spritePos(int id) const
{
    return mSprites.value(id).pos;
}

void CanvasSurface::moveSprite(int id, const QPoint &pos)
{
    auto it = mSprites.find(id);
    if (it == mSprites.end() || it->pos == pos)
        return;
    it->pos = pos;
    update();
}

int CanvasSurface::spriteAt(const QPoint &pos) const
{
    // Later sprites lie above earlier ones.
    for (auto it = mSprites.constEnd(); it != mSprites.constBegin();) {
        --it;
        if (!it->image.isNull() && QRect(it->pos, it->image.size()).contains(pos))
            return it.key();
    }
    return 0;
}

void CanvasSurface::drawGrid()
{
    mGridSize = size();
    update();
}

void CanvasSurface::paintEvent(QPaintEvent *event)
{
    QPainter p(this);
    const QRect area = event->rect();
    p.fillRect(area, QColor(250, 250, 250));
    p.setPen(QColor(228, 228, 232));
    const int w = width();
    const int h = height();
    // Lines are counted by the width, as the grid always has, and on a canvas taller
    // than wide by its height too; only those crossing the area to paint are drawn.
    const int rows = qMax(w, h) / 20;
    for (int i = qMax(1, area.top() / 20); i <= qMin(rows, area.bottom() / 20 + 1); ++i)
        p.drawLine(area.left(), 20 * i, area.right() + 1, 20 * i);
    for (int i = qMax(1, area.left() / 20); i <= qMin(w / 20, area.right() / 20 + 1); ++i)
        p.drawLine(20 * i, area.top(), 20 * i, qMin(h, area.bottom() + 1));
    for (const Sprite &sprite : mSprites) {
        if (!sprite.image.isNull() && QRect(sprite.pos, sprite.image.size()).intersects(area))
            p.drawImage(sprite.pos, sprite.image);
    }
}

void CanvasSurface::mousePressEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    mModifiers = event->modifiers();
    emit pressed(event->button(), pos, spriteAt(pos));
}

void CanvasSurface::mouseMoveEvent(QMouseEvent *event)
{
    emit moved(event->position().toPoint(), event->buttons());
}

void CanvasSurface::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    mModifiers = event->modifiers();
    emit released(event->button(), pos, spriteAt(pos));
}

} // namespace Plumbrook
