#include "canvas/canvas_ruler.h"

#include <QLabel>
#include <QPainter>
#include <QPixmap>

#include <cmath>

namespace Plumbrook {

CanvasRuler::CanvasRuler(QLabel *label, QObject *parent)
    : QObject(parent)
    , mLabel(label)
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

void CanvasRuler::show(double zoom, int offset)
{
    zoom = zoom > 0 ? zoom : 1.0;
    const int width = qMax(1, mLabel->width());
    const int height = qMax(1, mLabel->height());
    // Scrolling up and down leaves the scale as it is.
    if (zoom == mZoom && offset == mOffset && mLabel->pixmap().size() == QSize(width, height))
        return;
    mZoom = zoom;
    mOffset = offset;
    QPixmap strip(width, height);
    strip.fill(QColor(48, 52, 58));
    QPainter p(&strip);
    p.setPen(QColor(200, 205, 210));
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(10);
    // Unhinted, the digits need none of the font's own hinting programs, which for a
    // font of all of Chinese cost more than the whole strip.
    font.setHintingPreference(QFont::PreferNoHinting);
    p.setFont(font);
    // Long marks with numbers, middle ones at a fifth of that and short ones at a tenth,
    // as the strip has at 100 %: 50, 10 and 5 pixels.
    const int numbered = numberedStep(mZoom);
    const int minor = numbered / 10;
    const qint64 first = qint64(std::floor(offset / mZoom / minor)) * minor;
    const qint64 last = qint64(std::ceil((offset + width) / mZoom));
    for (qint64 value = qMax<qint64>(0, first); value <= last; value += minor) {
        const int x = int(std::lround(value * mZoom)) - offset;
        const int length = value % numbered == 0 ? height : (value % (numbered / 5) == 0 ? 6 : 3);
        p.drawLine(x, height - length, x, height - 1);
        if (value % numbered == 0)
            p.drawText(QRect(x + 2, 0, 40, 12), Qt::AlignLeft | Qt::AlignTop, QString::number(value));
    }
    p.end();
    mLabel->setPixmap(strip);
}

} // namespace Plumbrook
