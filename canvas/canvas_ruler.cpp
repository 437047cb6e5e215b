#include "canvas/canvas_ruler.h"

#include "model/background_work.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>

#include <cmath>

namespace Plumbrook {

CanvasRuler::CanvasRuler(QLabel *label, QObject *parent)
    : QObject(parent)
    , mLabel(label)
{
    mLabel->installEventFilter(this);
}

int CanvasRuler::numberedStep(double zoom)
{
    for (int step : {10, 20, 50, 100, 200, 500}) {
        if (step * zoom >= 50)
            return step;
    }
    return 500;
}

QImage CanvasRuler::drawStrip(const QSize &size, double zoom, int offset)
{
    const int width = size.width();
    const int height = size.height();
    QImage strip(width, height, QImage::Format_RGB32);
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
    const int numbered = numberedStep(zoom);
    const int minor = numbered / 10;
    const qint64 first = qint64(std::floor(offset / zoom / minor)) * minor;
    const qint64 last = qint64(std::ceil((offset + width) / zoom));
    for (qint64 value = qMax<qint64>(0, first); value <= last; value += minor) {
        const int x = int(std::lround(value * zoom)) - offset;
        const int length = value % numbered == 0 ? height : (value % (numbered / 5) == 0 ? 6 : 3);
        p.drawLine(x, height - length, x, height - 1);
        if (value % numbered == 0)
            p.drawText(QRect(x + 2, 0, 40, 12), Qt::AlignLeft | Qt::AlignTop, QString::number(value));
    }
    p.end();
    return strip;
}

void CanvasRuler::show(double zoom, int offset)
{
    zoom = zoom > 0 ? zoom : 1.0;
    const QSize size(qMax(1, mLabel->width()), qMax(1, mLabel->height()));
    if (mHasPending) {
        if (zoom == mZoom && offset == mOffset && size == mPendingSize) {
            takePending();
            return;
        }
        // Drawn for a scale or a size that is no longer wanted.
        mHasPending = false;
    }
    // Scrolling up and down leaves the scale as it is.
    if (zoom == mZoom && offset == mOffset && mLabel->pixmap().size() == size)
        return;
    mZoom = zoom;
    mOffset = offset;
    mLabel->setPixmap(QPixmap::fromImage(drawStrip(size, zoom, offset)));
}

CanvasRuler::~CanvasRuler()
{
    // The drawing uses the application's fonts, which must outlive it.
    mPending.waitForFinished();
}

void CanvasRuler::redrawInBackground()
{
    mPending.waitForFinished();
    mPendingSize = QSize(qMax(1, mLabel->width()), qMax(1, mLabel->height()));
    mPending = BackgroundWork::start(BackgroundWork::Lane::Requests,
                                     [size = mPendingSize, zoom = mZoom, offset = mOffset] {
                                         return drawStrip(size, zoom, offset);
                                     });
    mHasPending = true;
}

void CanvasRuler::takePending()
{
    mHasPending = false;
    // Ready by the time the window shows but for the slowest of machines.
    mLabel->setPixmap(QPixmap::fromImage(mPending.result()));
}

bool CanvasRuler::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == mLabel && event->type() == QEvent::Show && mHasPending)
        takePending();
    return QObject::eventFilter(watched, event);
}

} // namespace Plumbrook
