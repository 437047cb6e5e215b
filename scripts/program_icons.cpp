// The program's icon and its design files' icon, drawn from scratch with QPainter.
#include "program_icons.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

const int kSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

// Both icons are laid out on a 64-unit square and scaled to the size asked for.
QImage square(int size, QPainter &p)
{
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    p.begin(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    p.setPen(Qt::NoPen);
    return img;
}

QLinearGradient brandGradient(qreal from, qreal to)
{
    QLinearGradient g(from, from, to, to);
    g.setColorAt(0, QColor(122, 64, 170));
    g.setColorAt(1, QColor(214, 72, 120));
    return g;
}

} // namespace

QImage programIcon(int size)
{
    QPainter p;
    QImage img = square(size, p);
    p.setBrush(brandGradient(0, 64));
    p.drawRoundedRect(2, 2, 60, 60, 12, 12);
    // Components laid out freely on a module.
    p.setBrush(QColor(255, 255, 255, 230));
    p.drawRect(12, 14, 18, 14);
    p.drawRect(34, 14, 18, 24);
    p.drawRect(12, 32, 18, 18);
    p.setBrush(QColor(255, 255, 255, 150));
    p.drawRect(34, 42, 18, 8);
    p.end();
    return img;
}

QImage designFileIcon(int size)
{
    QPainter p;
    QImage img = square(size, p);
    // A sheet with a folded corner, carrying the program's layout in small.
    QPainterPath sheet;
    sheet.moveTo(10, 3);
    sheet.lineTo(42, 3);
    sheet.lineTo(56, 17);
    sheet.lineTo(56, 61);
    sheet.lineTo(10, 61);
    sheet.closeSubpath();
    p.setBrush(QColor(250, 248, 252));
    p.setPen(QPen(QColor(122, 64, 170), 2));
    p.drawPath(sheet);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(190, 160, 215));
    QPainterPath fold;
    fold.moveTo(42, 3);
    fold.lineTo(42, 17);
    fold.lineTo(56, 17);
    fold.closeSubpath();
    p.drawPath(fold);
    p.setBrush(brandGradient(16, 56));
    p.drawRoundedRect(16, 24, 34, 30, 5, 5);
    p.setBrush(QColor(255, 255, 255, 230));
    p.drawRect(20, 29, 11, 8);
    p.drawRect(34, 29, 12, 14);
    p.drawRect(20, 40, 11, 10);
    p.end();
    return img;
}

bool drawThemeIcons(const QDir &themeDir)
{
    bool ok = true;
    for (const int size : kSizes) {
        const QString folder = QStringLiteral("%1x%1").arg(size);
        ok &= themeDir.mkpath(folder + QStringLiteral("/apps"));
        ok &= themeDir.mkpath(folder + QStringLiteral("/mimetypes"));
        ok &= programIcon(size).save(themeDir.filePath(folder + QStringLiteral("/apps/plumbrook.png")));
        ok &= designFileIcon(size).save(
            themeDir.filePath(folder + QStringLiteral("/mimetypes/application-x-plumbrook-design.png")));
    }
    return ok;
}
