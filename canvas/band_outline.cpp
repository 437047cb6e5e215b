#include "canvas/band_outline.h"

#include <QPalette>
#include <QWidget>

namespace Plumbrook {

BandOutline::BandOutline(QWidget *parent)
{
    for (QWidget *&edge : mEdges) {
        edge = new QWidget(parent);
        edge->setObjectName(QStringLiteral("选取框"));
        edge->setAttribute(Qt::WA_TransparentForMouseEvents);
        // Opaque, so that a move uncovers and covers strips only.
        edge->setAutoFillBackground(true);
        QPalette palette = edge->palette();
        palette.setColor(QPalette::Window, QColor(30, 111, 217));
        edge->setPalette(palette);
        edge->hide();
    }
}

void BandOutline::setGeometry(const QRect &band)
{
    mBand = band;
    const int w = qMax(1, band.width());
    const int h = qMax(1, band.height());
    mEdges[0]->setGeometry(band.x(), band.y(), w, 1);
    mEdges[1]->setGeometry(band.x(), band.y() + h - 1, w, 1);
    mEdges[2]->setGeometry(band.x(), band.y(), 1, h);
    mEdges[3]->setGeometry(band.x() + w - 1, band.y(), 1, h);
}

void BandOutline::show()
{
    if (mVisible)
        return;
    mVisible = true;
    for (QWidget *edge : mEdges) {
        edge->show();
        edge->raise();
    }
}

void BandOutline::hide()
{
    mVisible = false;
    for (QWidget *edge : mEdges)
        edge->hide();
}

} // namespace Plumbrook
