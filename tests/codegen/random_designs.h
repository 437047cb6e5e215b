#pragma once

#include "codegen/module_generator.h"
#include "model/text_ops.h"
#include "model/colour_conversion.h"
#include "model/carousel_settings.h"
#include "model/component_table.h"
#include "model/kind_table.h"
#include "model/design_file.h"
#include "model/module_settings.h"

#include <QRandomGenerator>

namespace Plumbrook::Test {

// Designs as the palette and the editors make them, drawn from a seed.
class RandomDesigns
{
public:
    explicit RandomDesigns(quint32 seed) : mRandom(seed) {}

    DesignFile::Design next();
    // The module code of a design, zoom names drawn from this generator.
    QString generate(const DesignFile::Design &design);
    // A module record with its settings confirmed in `edition`.
    QStringList moduleRecord(int edition);
    // A component of the kind appended to the design (a carousel with its arrows and settings).
    void add(DesignFile::Design &design, const QString &kind);

private:
    using C = ComponentTable;
    int number(int low, int high) { return int(mRandom.bounded(low, high + 1)); }
    bool chance(int percent) { return number(1, 100) <= percent; }
    QString pick(const QStringList &texts) { return texts.at(number(0, int(texts.size()) - 1)); }
    QString digits(int low, int high) { return QString::number(number(low, high)); }
    QString url();
    QString words();
    QString colour();
    QString target(QStringList &cells, int indexColumn, int targetColumn);
    QStringList component(const QString &kind);
    void addCarousel(DesignFile::Design &design);

    QRandomGenerator mRandom;
};

inline QString RandomDesigns::url()
{
    return pick({QStringLiteral("https://img.alicdn.com/imgextra/i%1/22073/O1CN01%2_!!22073.jpg"),
                 QStringLiteral("https://shop%1.taobao.com/item.htm?id=%2&spm=a1z10"),
                 QStringLiteral("//gd%1.alicdn.com/bao/uploaded/%2.png")})
        .arg(number(1, 4)).arg(number(100000, 999999));
}

inline QString RandomDesigns::words()
{
    return pick({QStringLiteral("亲爱的，咱不哭"), QStringLiteral("新品上市 Summer"), QStringLiteral("限时 5 折"),
                 QStringLiteral("店小二"), QStringLiteral("Hello"), QStringLiteral("满 299 减 30！"), QString()});
}

inline QString RandomDesigns::colour()
{
    return QStringLiteral("#%1").arg(number(0, 0xFFFFFF), 6, 16, QLatin1Char('0')).toUpper();
}

inline QString RandomDesigns::target(QStringList &cells, int indexColumn, int targetColumn)
{
    const int index = number(0, 1);
    cells[indexColumn] = QString::number(index);
    cells[targetColumn] = index == 0 ? QStringLiteral("_blank") : QStringLiteral("_self");
    return cells.at(targetColumn);
}

inline QStringList RandomDesigns::component(const QString &kind)
{
    QStringList c(C::ColumnCount);
    c[C::Kind] = kind;
    c[C::Width] = digits(1, 990);
    c[C::Height] = digits(1, 800);
    c[C::Left] = digits(0, 990);
    c[C::Top] = digits(0, 2000);
    c[C::Locked] = pick({QStringLiteral("否"), QString()});
    const QStringList binary = {QStringLiteral("0"), QStringLiteral("1")};
    const QStringList ternary = {QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2")};
    if (KindTable::is(kind, KindTable::Kind::Picture)) {
        c[C::Picture] = url(); c[C::Link] = pick({url(), QStringLiteral("#")}); c[C::Text] = words();
        target(c, C::BgColor, C::Other);
    } else if (KindTable::is(kind, KindTable::Kind::Hotspot)) {
        c[C::Picture] = words(); c[C::Link] = url(); target(c, C::Text, C::BgColor);
    } else if (KindTable::is(kind, KindTable::Kind::Swap)) {
        c[C::Picture] = url(); c[C::Link] = url(); c[C::Text] = pick({url(), QStringLiteral("#")});
        c[C::Other] = QStringLiteral("0"); target(c, C::BgColor, C::Other1);
    } else if (KindTable::is(kind, KindTable::Kind::Zoom)) {
        c[C::Height] = c[C::Width];
        c[C::Picture] = url(); c[C::Link] = url(); c[C::Text] = url(); target(c, C::BgColor, C::Other2);
        const int factor = number(0, 3);
        c[C::Other] = QString::number(factor);
        c[C::BgCode] = QStringList{QStringLiteral("1.2"), QStringLiteral("1.3"), QStringLiteral("1.4"),
                                   QStringLiteral("1.5")}.at(factor);
        c[C::Other1] = colour();
    } else if (KindTable::is(kind, KindTable::Kind::Text)) {
        c[C::Picture] = words(); c[C::Link] = pick({url(), QStringLiteral("#")});
        c[C::Other] = pick({QStringLiteral("宋体"), QStringLiteral("微软雅黑"), QStringLiteral("Arial")});
        c[C::Other1] = digits(9, 72); c[C::BgCode] = colour();
        c[C::Other5] = pick({QStringLiteral("left"), QStringLiteral("center"), QStringLiteral("right")});
        c[C::BgColor] = pick(binary); c[C::Other2] = pick({digits(10, 40), QString()});
    } else if (KindTable::is(kind, KindTable::Kind::Favourite) || KindTable::is(kind, KindTable::Kind::Cart)) {
        c[C::Picture] = url(); c[C::Link] = url();
    } else if (KindTable::is(kind, KindTable::Kind::Share) || KindTable::is(kind, KindTable::Kind::Follow)) {
        c[C::Picture] = digits(100000, 999999999); c[C::Link] = url();
    } else if (KindTable::is(kind, KindTable::Kind::QrCode)) {
        c[C::Height] = c[C::Width];
        c[C::Picture] = digits(100000, 999999999); c[C::Link] = pick(ternary);
        c[C::Text] = QStringLiteral("https://qr.example/img?type=ci&amp;item_id=%1&amp;w=90&amp;h=90").arg(c[C::Picture]);
    } else if (KindTable::is(kind, KindTable::Kind::Like)) {
        c[C::Picture] = digits(100000, 999999999); c[C::Link] = pick(binary);
    } else if (KindTable::is(kind, KindTable::Kind::Service)) {
        c[C::Picture] = pick({QStringLiteral("店小二"), QStringLiteral("shop-a.b_c"), QStringLiteral("小 二")});
        c[C::Link] = url(); c[C::Text] = pick(ternary); c[C::BgColor] = pick(binary);
        c[C::Other] = pick(ternary); c[C::Other1] = pick(binary); c[C::Other2] = pick(binary);
    } else if (KindTable::is(kind, KindTable::Kind::ChatGroup)) {
        c[C::Picture] = url(); c[C::Link] = digits(1000, 99999999);
    } else if (KindTable::is(kind, KindTable::Kind::Video)) {
        c[C::Picture] = QStringLiteral("https://cloud.video.taobao.com/play/u/22073/p/%1/e/6/t/1/%2.swf")
                            .arg(number(1, 2)).arg(number(1000, 9999));
        c[C::Link] = pick(binary);
    } else if (KindTable::is(kind, KindTable::Kind::Countdown)) {
        c[C::Picture] = QStringLiteral("2027-%1-11 00:00:00").arg(number(10, 12));
        c[C::Link] = digits(20, 120); c[C::Text] = digits(9, 40); c[C::BgColor] = pick(ternary + QStringList{QStringLiteral("3")});
        c[C::Other] = colour(); c[C::Other1] = pick(binary); c[C::BgCode] = url();
        c[C::Other4] = pick({QStringLiteral("微软雅黑"), QStringLiteral("宋体")}); c[C::Other2] = pick(ternary);
    } else if (KindTable::is(kind, KindTable::Kind::Search)) {
        c[C::Picture] = words(); c[C::Link] = QStringLiteral("https://shop%1.taobao.com").arg(number(1, 999));
        c[C::Text] = digits(50, 300); c[C::BgColor] = digits(20, 40); c[C::Other] = digits(30, 80);
        c[C::Other1] = digits(20, 40); c[C::Other2] = colour(); c[C::BgCode] = colour(); c[C::Other4] = colour();
        c[C::Other5] = colour(); c[C::Other6] = colour();
    } else if (KindTable::is(kind, KindTable::Kind::Flash)) {
        c[C::Picture] = url(); c[C::Link] = pick(ternary);
    }
    return c;
}

inline void RandomDesigns::addCarousel(DesignFile::Design &design)
{
    const int row = int(design.rows.size());
    const int id = TextOps::toInt(design.rows.last().at(C::Id)) + 1;
    QStringList carousel = component(KindTable::nameOf(KindTable::Kind::Carousel));
    carousel[C::Id] = QString::number(id);
    design.rows.append(carousel);
    for (const QString &prefix : {CarouselSettings::kLeftArrowPrefix, CarouselSettings::kRightArrowPrefix}) {
        QStringList arrow(C::ColumnCount);
        arrow[C::Id] = QString::number(id + int(design.rows.size()) - row);
        arrow[C::Kind] = prefix + QString::number(row);
        arrow[C::Width] = arrow[C::Height] = digits(20, 60);
        arrow[C::Left] = QString::number(TextOps::toInt(carousel.at(C::Left)) + number(-30, 500));
        arrow[C::Top] = QString::number(TextOps::toInt(carousel.at(C::Top)) + number(-30, 300));
        design.rows.append(arrow);
    }
    DesignFile::CarouselValues settings = CarouselSettings::defaults();
    for (auto &[key, value] : settings) {
        if (key == CarouselSettings::kNumber)
            value = digits(0, 6);
        else if (key.startsWith(QStringLiteral("t_")) && key != CarouselSettings::kBannerWidth
                 && key != CarouselSettings::kBannerHeight)
            value = url();
        else if (key.startsWith(QStringLiteral("l_")))
            value = pick({url(), QStringLiteral("#")});
        else if (key == CarouselSettings::kShowArrows || key == CarouselSettings::kLinkTarget
                 || key == CarouselSettings::kAutoplay)
            value = digits(0, 1);
    }
    const int transition = number(0, 3);
    const int easing = number(0, 13);
    for (auto &[key, value] : settings) {
        if (key == CarouselSettings::kTransitionIndex)
            value = QString::number(transition);
        else if (key == CarouselSettings::kTransitionCode)
            value = CarouselSettings::transitionCodes().at(transition);
        else if (key == CarouselSettings::kEasingIndex)
            value = QString::number(easing);
        else if (key == CarouselSettings::kEasingCode)
            value = CarouselSettings::easingCodes().at(easing);
    }
    design.carousels.insert(row, settings);
}

inline QStringList RandomDesigns::moduleRecord(int edition)
{
    ComponentTable table;
    ModuleSettings settings;
    settings.width = digits(200, 1920);
    settings.height = digits(100, 3000);
    settings.picture = chance(50) ? url() : QString();
    settings.anchor = chance(30) ? pick({QStringLiteral("top"), QStringLiteral("新品")}) : QString();
    settings.colour = number(0, 0xFFFFFF);
    settings.colourText = ColourConversion::colourText(settings.colour);
    settings.repeat = number(0, 3);
    settings.horizontal = number(0, 2);
    settings.vertical = number(0, 2);
    settings.attachment = number(0, 1);
    settings.edition = edition;
    settings.save(table);
    table.setCell(0, C::Other4, settings.buildWrapper());
    return table.rowCells(0);
}

inline void RandomDesigns::add(DesignFile::Design &design, const QString &kind)
{
    if (KindTable::is(kind, KindTable::Kind::Carousel)) {
        addCarousel(design);
        return;
    }
    QStringList cells = component(kind);
    cells[C::Id] = QString::number(TextOps::toInt(design.rows.last().at(C::Id)) + 1);
    design.rows.append(cells);
}

inline DesignFile::Design RandomDesigns::next()
{
    static const QStringList kinds = {
        QStringLiteral("图片"), QStringLiteral("热点"), QStringLiteral("换图"), QStringLiteral("放大"),
        QStringLiteral("文字"), QStringLiteral("收藏"), QStringLiteral("分享"), QStringLiteral("二维码"),
        QStringLiteral("购物车"), QStringLiteral("喜欢"), QStringLiteral("关注"), QStringLiteral("客服"),
        QStringLiteral("旺旺群"), QStringLiteral("视频"), QStringLiteral("倒计时"), QStringLiteral("搜索"),
        QStringLiteral("flash"), KindTable::nameOf(KindTable::Kind::Carousel),
    };
    DesignFile::Design design;
    // One module in ten was never confirmed in the settings window.
    design.rows = {chance(90) ? moduleRecord(number(0, 1)) : ComponentTable::initialModuleRecord()};
    const int count = number(0, 8);
    for (int i = 0; i < count; ++i)
        add(design, pick(kinds));
    if (chance(30))
        design.shrink = digits(-200, 200);
    return design;
}

inline QString RandomDesigns::generate(const DesignFile::Design &design)
{
    ComponentTable table;
    table.replaceRows(design.rows);
    GenerationSources sources;
    const auto carousels = design.carousels;
    sources.carouselSetting = [carousels](int number, const QString &key) {
        for (const auto &[name, value] : carousels.value(number)) {
            if (name == key)
                return value;
        }
        return QString();
    };
    sources.randomDigit = [this] { return number(0, 9); };
    const QString shrink = design.shrink.isEmpty() ? QStringLiteral("auto") : design.shrink + QStringLiteral("px");
    return ModuleGenerator(table, sources).generate(shrink);
}

} // namespace Plumbrook::Test
