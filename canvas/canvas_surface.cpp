#include "canvas/canvas_surface.h"

#include "canvas/zoom_mapping.h"

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
    // Only what the sprite covered and covers now is drawn again, unless the grid that
    // starts at the first sprite moves with it.
    const QRect before = shownRect(*it);
    it->pos = pos;
    if (it == mSprites.begin())
        update();
    else
        update(before.united(shownRect(*it)));
}

int CanvasSurface::spriteAt(const QPoint &pos) const
{
    // Later sprites lie above earlier ones.
    for (auto it = mSprites.constEnd(); it != mSprites.constBegin();) {
        --it;
        if (!it->image.isNull() && shownRect(*it).contains(pos))
            return it.key();
    }
    return 0;
}

QRect CanvasSurface::shownRect(const Sprite &sprite) const
{
    return ZoomMapping::toScreen(QRect(sprite.pos, sprite.image.size()), mScale);
}

void CanvasSurface::setScale(double scale)
{
    if (scale == mScale || !(scale > 0))
        return;
    mScale = scale;
    update();
}

void CanvasSurface::setObjectLayer(QWidget *layer)
{
    mLayer = layer;
    if (mLayer)
        mLayer->setGeometry(rect());
}

void CanvasSurface::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (mLayer)
        mLayer->resize(size());
}

void CanvasSurface::setGridSize(int pixels)
{
    pixels = qBound(1, pixels, 100);
    if (pixels == mGrid)
        return;
    mGrid = pixels;
    update();
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
    // One-pixel fills rather than lines: the same pixels for a fraction of the cost, which
    // the first paint of an empty design and every pan pay.
    const QColor line(228, 228, 232);
    // The grid's lines lie every grid size of canvas pixels from the module's corner (the
    // first sprite's place), wherever the zoom puts them; lines closer than a few screen
    // pixels are thinned, as they would fill the page.
    const QPoint origin = mSprites.isEmpty() ? QPoint() : mSprites.first().pos;
    int every = mGrid;
    while (every * mScale < 4)
        every *= 2;
    const double step = every * mScale;
    const auto lines = [&](int originCanvas, int from, int to, const auto &draw) {
        const double start = originCanvas * mScale;
        for (qint64 i = qint64(std::floor((from - start) / step)); start + i * step <= to; ++i) {
            const int at = int(std::lround(start + i * step));
            // The page's own edge needs no line.
            if (at >= from && at > 0)
                draw(at);
        }
    };
    const int bottom = qMin(height() - 1, area.bottom());
    const int right = qMin(width() - 1, area.right());
    lines(origin.y(), area.top(), bottom,
          [&](int y) { p.fillRect(QRect(area.left(), y, right - area.left() + 1, 1), line); });
    lines(origin.x(), area.left(), right,
          [&](int x) { p.fillRect(QRect(x, area.top(), 1, bottom - area.top() + 1), line); });
    for (const Sprite &sprite : mSprites) {
        if (sprite.image.isNull())
            continue;
        const QRect shown = shownRect(sprite);
        const QRect visible = shown.intersected(area);
        if (visible.isEmpty())
            continue;
        if (mScale == 1.0) {
            p.drawImage(shown.topLeft(), sprite.image);
            continue;
        }
        // Only the part of the picture that is exposed is scaled, however large the zoom makes it.
        const double sx = double(sprite.image.width()) / shown.width();
        const double sy = double(sprite.image.height()) / shown.height();
        const QRectF source((visible.x() - shown.x()) * sx, (visible.y() - shown.y()) * sy,
                            visible.width() * sx, visible.height() * sy);
        p.drawImage(QRectF(visible), sprite.image, source);
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
