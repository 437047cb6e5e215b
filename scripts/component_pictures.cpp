// Sample pictures of the component kinds, drawn from scratch with QPainter.
#include "component_pictures.h"

#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>

#include <cmath>

namespace {

QFont font(int pixelSize, bool bold = false)
{
    QFont f(QStringLiteral("WenQuanYi Micro Hei"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

QImage canvas(int w, int h, const QColor &fill = Qt::white)
{
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(fill);
    return img;
}

void smooth(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
}

QPainterPath heart(const QRectF &r)
{
    QPainterPath path;
    const qreal x = r.x(), y = r.y(), w = r.width(), h = r.height();
    path.moveTo(x + w / 2, y + h);
    path.cubicTo(x - w * 0.1, y + h * 0.55, x + w * 0.05, y - h * 0.15, x + w / 2, y + h * 0.28);
    path.cubicTo(x + w * 0.95, y - h * 0.15, x + w * 1.1, y + h * 0.55, x + w / 2, y + h);
    return path;
}

QPainterPath star(const QPointF &c, qreal outer, qreal inner, int points = 5)
{
    QPainterPath path;
    for (int i = 0; i < points * 2; ++i) {
        const qreal r = i % 2 ? inner : outer;
        const qreal a = M_PI * i / points - M_PI / 2;
        const QPointF pt(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
        i ? path.lineTo(pt) : path.moveTo(pt);
    }
    path.closeSubpath();
    return path;
}

// A landscape at dusk standing in for a product photograph.
QImage photograph()
{
    QImage img = canvas(400, 490);
    QPainter p(&img);
    smooth(p);
    QLinearGradient sky(0, 0, 0, 300);
    sky.setColorAt(0, QColor(58, 96, 160));
    sky.setColorAt(0.6, QColor(240, 170, 130));
    sky.setColorAt(1, QColor(252, 214, 160));
    p.fillRect(0, 0, 400, 300, sky);
    QRadialGradient sun(270, 210, 60);
    sun.setColorAt(0, QColor(255, 250, 220));
    sun.setColorAt(0.45, QColor(255, 226, 150));
    sun.setColorAt(1, QColor(255, 226, 150, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(sun);
    p.drawEllipse(QPointF(270, 210), 60, 60);

    const QColor ranges[] = {QColor(122, 104, 150), QColor(86, 78, 124), QColor(52, 58, 92)};
    for (int layer = 0; layer < 3; ++layer) {
        QPainterPath ridge;
        const int base = 250 + layer * 25;
        ridge.moveTo(0, 320);
        ridge.lineTo(0, base);
        for (int x = 0; x <= 400; x += 4) {
            const qreal height = 45 * std::sin(x / 70.0 + layer * 2.1)
                + 18 * std::sin(x / 23.0 + layer) + 7 * std::sin(x / 9.0 + layer * 3);
            ridge.lineTo(x, base - 30 - height + layer * 12);
        }
        ridge.lineTo(400, 320);
        ridge.closeSubpath();
        p.setBrush(ranges[layer]);
        p.drawPath(ridge);
    }
    QLinearGradient lake(0, 300, 0, 490);
    lake.setColorAt(0, QColor(236, 176, 140));
    lake.setColorAt(0.3, QColor(90, 110, 160));
    lake.setColorAt(1, QColor(30, 40, 70));
    p.fillRect(0, 300, 400, 190, lake);
    p.setBrush(QColor(255, 240, 200, 120));
    for (int i = 0; i < 9; ++i)
        p.drawRoundedRect(QRectF(270 - 40 + i * 3, 310 + i * 14, 80 - i * 6, 3), 1.5, 1.5);
    p.setBrush(QColor(20, 26, 44));
    QPainterPath shore;
    shore.moveTo(0, 490);
    shore.lineTo(0, 420);
    shore.cubicTo(90, 400, 150, 450, 220, 470);
    shore.lineTo(220, 490);
    shore.closeSubpath();
    p.drawPath(shore);
    return img;
}

// A gift box on a pastel ground, the first of the two pictures a swap shows.
QImage swapPicture()
{
    QImage img = canvas(380, 380);
    QPainter p(&img);
    smooth(p);
    QLinearGradient bg(0, 0, 380, 380);
    bg.setColorAt(0, QColor(255, 236, 240));
    bg.setColorAt(1, QColor(236, 232, 255));
    p.fillRect(img.rect(), bg);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 30));
    p.drawEllipse(QRectF(90, 300, 200, 26));
    p.setBrush(QColor(232, 84, 110));
    p.drawRoundedRect(QRectF(100, 170, 180, 140), 8, 8);
    p.setBrush(QColor(246, 104, 128));
    p.drawRoundedRect(QRectF(88, 140, 204, 42), 8, 8);
    p.setBrush(QColor(255, 214, 102));
    p.drawRect(QRectF(176, 140, 28, 170));
    QPainterPath bow;
    bow.moveTo(190, 140);
    bow.cubicTo(140, 80, 110, 130, 190, 140);
    bow.moveTo(190, 140);
    bow.cubicTo(240, 80, 270, 130, 190, 140);
    p.setPen(QPen(QColor(240, 190, 70), 4));
    p.drawPath(bow);
    p.setPen(QColor(150, 120, 170));
    p.setFont(font(20, true));
    p.drawText(QRect(0, 24, 380, 40), Qt::AlignCenter, QStringLiteral("鼠标移上换图"));
    return img;
}

// A wrist watch, detailed enough to be worth magnifying.
QImage zoomPicture()
{
    QImage img = canvas(500, 500);
    QPainter p(&img);
    smooth(p);
    QRadialGradient bg(250, 250, 360);
    bg.setColorAt(0, QColor(250, 250, 248));
    bg.setColorAt(1, QColor(214, 218, 224));
    p.fillRect(img.rect(), bg);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 52, 40));
    p.drawRoundedRect(QRectF(200, 0, 100, 500), 14, 14);
    p.setPen(QPen(QColor(110, 86, 66), 2, Qt::DashLine));
    p.drawLine(212, 0, 212, 500);
    p.drawLine(288, 0, 288, 500);
    QLinearGradient steel(100, 100, 400, 400);
    steel.setColorAt(0, QColor(240, 242, 246));
    steel.setColorAt(1, QColor(130, 136, 146));
    p.setPen(Qt::NoPen);
    p.setBrush(steel);
    p.drawEllipse(QPointF(250, 250), 150, 150);
    p.setBrush(QColor(24, 36, 60));
    p.drawEllipse(QPointF(250, 250), 130, 130);
    p.setPen(QPen(QColor(230, 232, 236), 3));
    for (int i = 0; i < 60; ++i) {
        const qreal a = M_PI * 2 * i / 60;
        const qreal r1 = i % 5 ? 118 : 104;
        p.setPen(QPen(QColor(230, 232, 236), i % 5 ? 1.5 : 4));
        p.drawLine(QPointF(250 + r1 * std::sin(a), 250 - r1 * std::cos(a)),
                   QPointF(250 + 124 * std::sin(a), 250 - 124 * std::cos(a)));
    }
    p.setPen(QPen(QColor(236, 238, 242), 7, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(250, 250), QPointF(250 + 60 * std::sin(5.5), 250 - 60 * std::cos(5.5)));
    p.setPen(QPen(QColor(236, 238, 242), 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(250, 250), QPointF(250 + 95 * std::sin(1.1), 250 - 95 * std::cos(1.1)));
    p.setPen(QPen(QColor(232, 84, 70), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(250, 250), QPointF(250 + 108 * std::sin(3.6), 250 - 108 * std::cos(3.6)));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(232, 84, 70));
    p.drawEllipse(QPointF(250, 250), 7, 7);
    p.setPen(QColor(200, 204, 212));
    p.setFont(font(14));
    p.drawText(QRect(200, 300, 100, 20), Qt::AlignCenter, QStringLiteral("AUTOMATIC"));
    return img;
}

QImage banner()
{
    QImage img = canvas(750, 240);
    QPainter p(&img);
    smooth(p);
    QLinearGradient bg(0, 0, 750, 240);
    bg.setColorAt(0, QColor(255, 94, 98));
    bg.setColorAt(1, QColor(255, 153, 102));
    p.fillRect(img.rect(), bg);
    p.setPen(Qt::NoPen);
    for (const auto &[x, y, r, a] : {std::tuple{620, 40, 110, 40}, {700, 210, 80, 30},
                                     {520, 230, 50, 35}, {40, 20, 30, 30}}) {
        p.setBrush(QColor(255, 255, 255, a));
        p.drawEllipse(QPoint(x, y), r, r);
    }
    p.setPen(Qt::white);
    p.setFont(font(54, true));
    p.drawText(QRect(60, 40, 460, 70), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("新品上市"));
    p.setFont(font(24));
    p.drawText(QRect(62, 112, 460, 36), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("全场满299减50 · 限时包邮"));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(62, 166, 150, 42), 21, 21);
    p.setPen(QColor(255, 94, 98));
    p.setFont(font(20, true));
    p.drawText(QRect(62, 166, 150, 42), Qt::AlignCenter, QStringLiteral("立即抢购 ›"));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 235));
    p.drawRoundedRect(QRectF(560, 70, 110, 120), 12, 12);
    p.setBrush(QColor(255, 120, 100));
    p.drawRoundedRect(QRectF(580, 60, 70, 26), 8, 8);
    p.setPen(QColor(255, 94, 98));
    p.setFont(font(30, true));
    p.drawText(QRect(560, 96, 110, 60), Qt::AlignCenter, QStringLiteral("5折"));
    return img;
}

QImage arrow(bool left)
{
    QImage img = canvas(40, 40, QColor(246, 246, 246));
    QPainter p(&img);
    smooth(p);
    p.setPen(QPen(QColor(226, 226, 226), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, 39, 39));
    p.setPen(QPen(QColor(90, 90, 90), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const qreal tip = left ? 15 : 25, tail = left ? 24 : 16;
    p.drawPolyline(QPolygonF({QPointF(tail, 10), QPointF(tip, 20), QPointF(tail, 30)}));
    return img;
}

QPainterPath ingot(const QPointF &c, qreal s)
{
    QPainterPath path;
    path.moveTo(c.x() - s, c.y() - s * 0.15);
    path.quadTo(c.x() - s * 0.55, c.y() - s * 0.05, c.x() - s * 0.42, c.y() - s * 0.3);
    path.cubicTo(c.x() - s * 0.3, c.y() - s * 0.85, c.x() + s * 0.3, c.y() - s * 0.85,
                 c.x() + s * 0.42, c.y() - s * 0.3);
    path.quadTo(c.x() + s * 0.55, c.y() - s * 0.05, c.x() + s, c.y() - s * 0.15);
    path.quadTo(c.x() + s * 0.7, c.y() + s * 0.55, c.x(), c.y() + s * 0.5);
    path.quadTo(c.x() - s * 0.7, c.y() + s * 0.55, c.x() - s, c.y() - s * 0.15);
    path.closeSubpath();
    return path;
}

QImage flashPicture()
{
    QImage img = canvas(307, 427);
    QPainter p(&img);
    smooth(p);
    QLinearGradient bg(0, 0, 0, 427);
    bg.setColorAt(0, QColor(18, 8, 10));
    bg.setColorAt(1, QColor(84, 12, 18));
    p.fillRect(img.rect(), bg);
    QRandomGenerator rng(20161111);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 70; ++i) {
        const QPointF c(rng.bounded(307.0), rng.bounded(427.0));
        p.setBrush(QColor(255, 220, 120, 60 + rng.bounded(160)));
        p.drawPath(star(c, 2 + rng.bounded(4.0), 0.8, 4));
    }
    for (int i = 0; i < 11; ++i) {
        const QPointF c(20 + rng.bounded(267.0), 30 + i * 36 + rng.bounded(14.0));
        const qreal s = 12 + rng.bounded(12.0);
        p.setPen(QPen(QColor(255, 236, 150, 70), 1.5));
        p.drawLine(c + QPointF(0, -s * 1.2), c + QPointF(0, -s * 3.2));
        QLinearGradient gold(c.x() - s, c.y() - s, c.x() + s, c.y() + s);
        gold.setColorAt(0, QColor(255, 238, 140));
        gold.setColorAt(0.5, QColor(242, 186, 48));
        gold.setColorAt(1, QColor(180, 120, 20));
        p.setPen(QPen(QColor(140, 90, 10), 1));
        p.setBrush(gold);
        p.drawPath(ingot(c, s));
    }
    return img;
}

QImage searchBox()
{
    QImage img = canvas(238, 31);
    QPainter p(&img);
    smooth(p);
    const QColor pink(255, 121, 138);
    p.setPen(QPen(pink, 2));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(1, 1, 186, 29));
    p.setPen(QColor(160, 160, 160));
    p.setFont(font(13));
    p.drawText(QRect(10, 0, 170, 31), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("宝贝，我要"));
    p.fillRect(QRect(188, 0, 50, 31), pink);
    p.setPen(Qt::white);
    p.setFont(font(14, true));
    p.drawText(QRect(188, 0, 50, 31), Qt::AlignCenter, QStringLiteral("搜索"));
    return img;
}

QImage videoStill()
{
    QImage img = canvas(350, 240);
    QPainter p(&img);
    smooth(p);
    QLinearGradient bg(0, 0, 350, 240);
    bg.setColorAt(0, QColor(40, 60, 90));
    bg.setColorAt(1, QColor(16, 20, 32));
    p.fillRect(img.rect(), bg);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 190, 120, 70));
    p.drawEllipse(QPointF(90, 80), 70, 70);
    p.setBrush(QColor(10, 14, 24, 200));
    p.drawRoundedRect(QRectF(190, 120, 110, 90), 6, 6);
    p.setBrush(QColor(0, 0, 0, 120));
    p.drawEllipse(QPointF(175, 110), 32, 32);
    p.setPen(QPen(Qt::white, 2.5));
    p.drawEllipse(QPointF(175, 110), 30, 30);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF({QPointF(165, 95), QPointF(165, 125), QPointF(190, 110)}));
    p.fillRect(QRect(0, 214, 350, 26), QColor(0, 0, 0, 170));
    p.fillRect(QRect(40, 226, 240, 3), QColor(255, 255, 255, 80));
    p.fillRect(QRect(40, 226, 70, 3), QColor(255, 80, 0));
    p.drawPolygon(QPolygonF({QPointF(14, 220), QPointF(14, 234), QPointF(25, 227)}));
    p.setPen(QColor(230, 230, 230));
    p.setFont(font(10));
    p.drawText(QRect(286, 214, 60, 26), Qt::AlignCenter, QStringLiteral("01:25"));
    return img;
}

QImage countdown()
{
    QImage img = canvas(359, 92, Qt::transparent);
    QPainter p(&img);
    smooth(p);
    const QString units[] = {QStringLiteral("天"), QStringLiteral("时"), QStringLiteral("分"),
                             QStringLiteral("秒")};
    for (int i = 0; i < 4; ++i) {
        const QRectF tile(i * 90 + 1, 1, 86, 90);
        QLinearGradient g(tile.topLeft(), tile.bottomLeft());
        g.setColorAt(0, QColor(64, 64, 70));
        g.setColorAt(1, QColor(28, 28, 32));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawRoundedRect(tile, 8, 8);
        p.fillRect(QRectF(tile.x(), 45, tile.width(), 1), QColor(0, 0, 0, 160));
        p.setPen(Qt::white);
        p.setFont(font(46, true));
        p.drawText(QRectF(tile.x() + 6, 0, 46, 92), Qt::AlignCenter, QStringLiteral("0"));
        p.setFont(font(18));
        p.drawText(QRectF(tile.x() + 52, 0, 28, 92), Qt::AlignCenter, units[i]);
    }
    return img;
}

QImage favouriteBadge()
{
    QImage img = canvas(190, 174);
    QPainter p(&img);
    smooth(p);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 80, 60));
    p.drawRoundedRect(QRectF(4, 4, 182, 166), 14, 14);
    p.setBrush(QColor(255, 214, 80));
    p.drawPath(star(QPointF(95, 62), 40, 17));
    p.setPen(Qt::white);
    p.setFont(font(28, true));
    p.drawText(QRect(0, 104, 190, 36), Qt::AlignCenter, QStringLiteral("收藏本店"));
    p.setFont(font(12));
    p.drawText(QRect(0, 140, 190, 20), Qt::AlignCenter, QStringLiteral("BOOKMARK"));
    return img;
}

QImage shareButton()
{
    QImage img = canvas(92, 27);
    QPainter p(&img);
    smooth(p);
    p.setPen(QPen(QColor(255, 120, 40), 1));
    p.setBrush(QColor(255, 244, 236));
    p.drawRoundedRect(QRectF(0.5, 0.5, 91, 26), 4, 4);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 120, 40));
    const QPointF nodes[] = {{24, 7}, {12, 13.5}, {24, 20}};
    for (const QPointF &n : nodes)
        p.drawEllipse(n, 3.2, 3.2);
    p.setPen(QPen(QColor(255, 120, 40), 1.6));
    p.drawLine(nodes[0], nodes[1]);
    p.drawLine(nodes[1], nodes[2]);
    p.setFont(font(13, true));
    p.drawText(QRect(34, 0, 54, 27), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("分享"));
    return img;
}

// Finder squares and seeded modules; a look-alike, not a code that scans.
QImage qrCode()
{
    QImage img = canvas(140, 140);
    QPainter p(&img);
    const int modules = 25, cell = 5, margin = (140 - modules * cell) / 2;
    QRandomGenerator rng(580912);
    const auto inFinder = [&](int x, int y) {
        return (x < 8 && y < 8) || (x >= modules - 8 && y < 8) || (x < 8 && y >= modules - 8);
    };
    for (int y = 0; y < modules; ++y) {
        for (int x = 0; x < modules; ++x) {
            bool dark = false;
            if (inFinder(x, y)) {
                const int fx = x < 8 ? x : x - (modules - 7), fy = y < 8 ? y : y - (modules - 7);
                const bool ring = fx == 0 || fx == 6 || fy == 0 || fy == 6;
                const bool core = fx >= 2 && fx <= 4 && fy >= 2 && fy <= 4;
                dark = fx >= 0 && fx <= 6 && fy >= 0 && fy <= 6 && (ring || core);
            } else if (x == 6 || y == 6) {
                dark = (x + y) % 2 == 0;
            } else {
                dark = rng.bounded(100) < 48;
            }
            if (dark)
                p.fillRect(margin + x * cell, margin + y * cell, cell, cell, Qt::black);
        }
    }
    return img;
}

QImage cartButton()
{
    QImage img = canvas(120, 31);
    QPainter p(&img);
    smooth(p);
    QLinearGradient g(0, 0, 0, 31);
    g.setColorAt(0, QColor(255, 78, 60));
    g.setColorAt(1, QColor(226, 32, 28));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(0, 0, 120, 31), 3, 3);
    p.setPen(Qt::white);
    p.setFont(font(15, true));
    p.drawText(img.rect(), Qt::AlignCenter, QStringLiteral("加入购物车"));
    return img;
}

QImage likeButton()
{
    QImage img = canvas(110, 26);
    QPainter p(&img);
    smooth(p);
    p.setPen(QPen(QColor(220, 220, 220), 1));
    p.setBrush(QColor(250, 250, 250));
    p.drawRoundedRect(QRectF(0.5, 0.5, 109, 25), 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 68, 102));
    p.drawPath(heart(QRectF(8, 7, 14, 13)));
    p.setPen(QColor(80, 80, 80));
    p.setFont(font(13));
    p.drawText(QRect(28, 0, 80, 26), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("喜欢 (0)"));
    return img;
}

QImage followButton()
{
    QImage img = canvas(75, 22);
    QPainter p(&img);
    smooth(p);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(240, 44, 44));
    p.drawRoundedRect(QRectF(0, 0, 75, 22), 3, 3);
    p.setBrush(Qt::white);
    p.drawPath(heart(QRectF(10, 5, 13, 12)));
    p.setPen(Qt::white);
    p.setFont(font(13, true));
    p.drawText(QRect(28, 0, 44, 22), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("关注"));
    return img;
}

QImage serviceAvatar()
{
    QImage img = canvas(70, 70, QColor(232, 242, 252));
    QPainter p(&img);
    smooth(p);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 70, 90));
    p.drawEllipse(QRectF(17, 10, 36, 38));
    p.setBrush(QColor(255, 222, 196));
    p.drawEllipse(QRectF(21, 17, 28, 30));
    p.setBrush(QColor(50, 140, 230));
    p.drawRoundedRect(QRectF(10, 52, 50, 24), 12, 12);
    p.setPen(QPen(QColor(40, 40, 48), 3));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(15, 14, 40, 34), 20 * 16, 140 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 40, 48));
    p.drawRoundedRect(QRectF(13, 28, 7, 11), 3, 3);
    p.drawRoundedRect(QRectF(50, 28, 7, 11), 3, 3);
    p.setPen(QPen(QColor(40, 40, 48), 2));
    p.drawLine(QPointF(53, 39), QPointF(42, 45));
    p.setPen(QColor(120, 60, 40));
    p.drawArc(QRectF(29, 32, 12, 8), 200 * 16, 140 * 16);
    return img;
}

QImage chatGroupBadge()
{
    QImage img = canvas(63, 20);
    QPainter p(&img);
    smooth(p);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 136, 229));
    p.drawRoundedRect(QRectF(0, 0, 63, 20), 3, 3);
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(4, 4, 6, 6));
    p.drawEllipse(QRectF(10, 4, 6, 6));
    p.drawRoundedRect(QRectF(3, 11, 8, 6), 3, 3);
    p.drawRoundedRect(QRectF(9, 11, 8, 6), 3, 3);
    p.setPen(Qt::white);
    p.setFont(font(12, true));
    p.drawText(QRect(19, 0, 44, 20), Qt::AlignCenter, QStringLiteral("旺旺群"));
    return img;
}

} // namespace

bool drawComponentPictures(const QDir &out, const QString &gifSources)
{
    bool ok = true;
    if (!gifSources.isEmpty())
        QDir().mkpath(gifSources);
    const auto save = [&](const QImage &img, const QString &name, int quality = -1) {
        ok &= img.save(out.filePath(name), nullptr, quality);
    };
    const auto saveGif = [&](const QImage &img, const QString &name) {
        // GIF has no partial transparency; the pictures are opaque anyway.
        if (!gifSources.isEmpty())
            ok &= img.convertToFormat(QImage::Format_RGB32)
                      .save(QDir(gifSources).filePath(name + QStringLiteral(".png")));
    };
    save(photograph().convertToFormat(QImage::Format_RGB32), QStringLiteral("picture.jpg"), 88);
    save(swapPicture(), QStringLiteral("swap.png"));
    save(zoomPicture(), QStringLiteral("zoom.png"));
    save(banner().convertToFormat(QImage::Format_RGB32), QStringLiteral("carousel.jpg"), 88);
    save(arrow(true), QStringLiteral("arrow_left.png"));
    save(arrow(false), QStringLiteral("arrow_right.png"));
    save(flashPicture(), QStringLiteral("flash.png"));
    save(searchBox(), QStringLiteral("search.png"));
    save(videoStill().convertToFormat(QImage::Format_RGB32), QStringLiteral("video.jpg"), 88);
    save(countdown(), QStringLiteral("countdown.png"));
    save(qrCode().convertToFormat(QImage::Format_RGB32), QStringLiteral("qrcode.jpg"), 92);
    save(cartButton(), QStringLiteral("cart.png"));
    save(likeButton(), QStringLiteral("like.png"));
    save(followButton(), QStringLiteral("follow.png"));
    saveGif(favouriteBadge(), QStringLiteral("favourite.gif"));
    saveGif(shareButton(), QStringLiteral("share.gif"));
    saveGif(serviceAvatar(), QStringLiteral("service.gif"));
    saveGif(chatGroupBadge(), QStringLiteral("chat_group.gif"));
    return ok;
}
