// Draws the program's own built-in pictures into the folder given on the
// command line. Run: QT_QPA_PLATFORM=offscreen build/bin/draw_pictures resources/pictures
// scripts/draw_pictures.sh also passes a second folder for the GIF pictures' sources.
#include "component_pictures.h"

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>

namespace {

QFont uiFont(int pixelSize, bool bold = false)
{
    QFont f(QStringLiteral("WenQuanYi Micro Hei"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

QImage ruler()
{
    QImage img(950, 18, QImage::Format_RGB32);
    img.fill(QColor(48, 52, 58));
    QPainter p(&img);
    p.setPen(QColor(200, 205, 210));
    p.setFont(uiFont(10));
    for (int x = 0; x < 950; x += 5) {
        const int len = x % 50 == 0 ? 18 : (x % 10 == 0 ? 6 : 3);
        p.drawLine(x, 18 - len, x, 17);
        if (x % 50 == 0 && x <= 900)
            p.drawText(QRect(x + 2, 0, 40, 12), Qt::AlignLeft | Qt::AlignTop, QString::number(x));
    }
    return img;
}

QImage icon()
{
    QImage img(64, 64, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 64, 64);
    g.setColorAt(0, QColor(122, 64, 170));
    g.setColorAt(1, QColor(214, 72, 120));
    p.setBrush(g);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(2, 2, 60, 60, 12, 12);
    p.setBrush(QColor(255, 255, 255, 230));
    p.drawRect(12, 14, 18, 14);
    p.drawRect(34, 14, 18, 24);
    p.drawRect(12, 32, 18, 18);
    p.setBrush(QColor(255, 255, 255, 150));
    p.drawRect(34, 42, 18, 8);
    return img;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: draw_pictures OUTPUT_DIR\n");
        return 64;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.path());
    bool ok = true;
    ok &= ruler().save(out.filePath(QStringLiteral("ruler.png")));
    ok &= icon().save(out.filePath(QStringLiteral("icon.png")));
    ok &= drawComponentPictures(out, argc >= 3 ? QString::fromLocal8Bit(argv[2]) : QString());
    return ok ? 0 : 1;
}
