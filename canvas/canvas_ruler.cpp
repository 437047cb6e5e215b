#include "canvas/canvas_ruler.h"

#include <QLabel>
#include <QPainter>
#include <QPixmap>

#include <cmath>

namespace Plumbrook {

CanvasRuler::CanvasRuler(QLabel *label, Qt::Orientation orientation, QObject *parent)
    : QObject(parent)
    , mLabel(label)
    , mOrientation(orientation)
{
}

int CanvasRuler::numberedStep(double zoom)
{
    for (int step : {10, 20, 50, 100, 200, 500}) {
        if (step * zoom >= 50)
            return step;
    }
    return 500;
}

int CanvasRuler::moduleAt(int position) const
{
    return int(std::lround((position - mOrigin) / mZoom));
}

int CanvasRuler::positionOf(int module) const
{
    return mOrigin + int(std::lround(module * mZoom));
}

void CanvasRuler::redraw()
{
    mDrawnRatio = 0;
    show(mZoom, mOrigin);
}

void CanvasRuler::show(double zoom, int origin)
{
    zoom = zoom > 0 ? zoom : 1.0;
    const double ratio = mLabel->devicePixelRatioF();
    const bool horizontal = mOrientation == Qt::Horizontal;
    const QSize logical(qMax(1, mLabel->width()), qMax(1, mLabel->height()));
    const QSize device(int(std::ceil(logical.width() * ratio)), int(std::ceil(logical.height() * ratio)));
    if (zoom == mZoom && origin == mOrigin && ratio == mDrawnRatio
        && mLabel->pixmap().size() == device)
        return;
    mZoom = zoom;
    mOrigin = origin;
    mDrawnRatio = ratio;

    // Painted in device pixels with whole-pixel marks: no mark falls between two pixels
    // and blurs, whatever the scale factor.
    QPixmap strip(device);
    strip.fill(groundColour());
    QPainter p(&strip);
    p.setPen(markColour());
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(int(std::lround(10 * ratio)));
    // Unhinted, the digits need none of the font's own hinting programs, which for a
    // font of all of Chinese cost more than the whole strip.
    font.setHintingPreference(QFont::PreferNoHinting);
    p.setFont(font);
    const int along = horizontal ? device.width() : device.height();
    const int across = horizontal ? device.height() : device.width();
    // Long marks with numbers, middle ones at a fifth of that and short ones at a tenth,
    // as the strip has at 100 %: 50, 10 and 5 pixels.
    const int numbered = numberedStep(mZoom);
    const int minor = numbered / 10;
    const double perModule = mZoom * ratio;
    const double start = mOrigin * ratio;
    const qint64 first = qint64(std::floor(-start / perModule / minor)) * minor;
    const qint64 last = qint64(std::ceil((along - start) / perModule));
    for (qint64 value = first; value <= last; value += minor) {
        const int at = int(std::lround(start + value * perModule));
        if (at < 0 || at >= along)
            continue;
        const int length = value % numbered == 0
            ? across
            : int(std::lround((value % (numbered / 5) == 0 ? 6 : 3) * ratio));
        if (horizontal)
            p.fillRect(QRect(at, across - length, 1, length), markColour());
        else
            p.fillRect(QRect(across - length, at, length, 1), markColour());
        if (value % numbered != 0)
            continue;
        const QString text = QString::number(value);
        const int gap = int(std::lround(2 * ratio));
        const int box = int(std::lround(40 * ratio));
        const int line = int(std::lround(12 * ratio));
        if (horizontal) {
            p.drawText(QRect(at + gap, 0, box, line), Qt::AlignLeft | Qt::AlignTop, text);
        } else {
            // Read from below, as a vertical ruler's numbers are.
            p.save();
            p.translate(0, at - gap);
            p.rotate(-90);
            p.drawText(QRect(0, 0, box, line), Qt::AlignLeft | Qt::AlignTop, text);
            p.restore();
        }
    }
    p.end();
    strip.setDevicePixelRatio(ratio);
    mLabel->setPixmap(strip);
}

} // namespace Plumbrook
