#include "model/kind_table.h"

#include "model/carousel_settings.h"
#include "model/creation_defaults.h"
#include "model/preset_urls.h"
#include "model/component_table.h"

#include <QHash>

namespace Plumbrook::KindTable {

namespace {

using T = ComponentTable;
namespace CD = CreationDefaults;

struct Preview
{
    PreviewSource source = PreviewSource::None;
    int column = -1;
    bool bySiteRequest = false;
};

const Preview kNoPreview;
Preview column(int c) { return {PreviewSource::Column, c, false}; }

QList<KindInfo> buildAll()
{
    const auto kind = [](Kind k, const QString &name, const QString &caption, const QString &picture,
                         int width, int height, QList<std::pair<int, QString>> cells, Preview preview) {
        // Buttons are named by kind, so the flash button's name is lower case like its kind.
        return KindInfo{k, name, caption, QStringLiteral("超级按钮_") + name, picture, width, height,
                        std::move(cells), preview.source, preview.column,
                        preview.bySiteRequest};
    };
    return {
        kind(Kind::Picture, QStringLiteral("图片"), QStringLiteral("图片"), QStringLiteral("picture.jpg"),
             180, 220, {{T::Picture, CD::imageUrl()}, {T::Link, QStringLiteral("#")}},
             column(T::Picture)),
        kind(Kind::Hotspot, QStringLiteral("热点"), QStringLiteral("热点"), QString(), 100, 100, {},
             kNoPreview),
        kind(Kind::Swap, QStringLiteral("换图"), QStringLiteral("换图"), QStringLiteral("swap.png"), 180,
             180,
             {{T::Picture, CD::swapFrontUrl()}, {T::Link, CD::swapHoverUrl()},
              {T::Text, QStringLiteral("#")}},
             column(T::Picture)),
        kind(Kind::Zoom, QStringLiteral("放大"), QStringLiteral("放大"), QStringLiteral("zoom.png"), 180,
             180,
             {{T::Picture, CD::zoomImageUrl()}, {T::Link, CD::zoomImageUrl()},
              {T::Text, QStringLiteral("#")}, {T::Other2, QStringLiteral("_blank")},
              {T::BgCode, QStringLiteral("1.2")}},
             column(T::Picture)),
        kind(Kind::Carousel, QStringLiteral("轮播"), QStringLiteral("轮播"),
             QStringLiteral("carousel.jpg"), 500, 160, {},
             {PreviewSource::FirstCarouselPicture, -1, false}),
        kind(Kind::Text, QStringLiteral("文字"), QStringLiteral("文字"), QString(), 0, 0,
             {{T::Picture, QStringLiteral("亲爱的，咱不哭")}, {T::Other, QStringLiteral("宋体")},
              {T::Other1, QStringLiteral("12")}, {T::BgCode, QStringLiteral("#000")}},
             kNoPreview),
        kind(Kind::Flash, QStringLiteral("flash"), QStringLiteral("FLASH"), QStringLiteral("flash.png"),
             475, 600, {{T::Picture, PresetUrls::flashEffect(0)}, {T::Link, QStringLiteral("0")}},
             kNoPreview),
        kind(Kind::Search, QStringLiteral("搜索"), QStringLiteral("搜索"), QStringLiteral("search.png"),
             238, 30,
             {{T::Picture, QStringLiteral("宝贝，我要")}, {T::Link, QStringLiteral("#")},
              {T::Text, QStringLiteral("180")}, {T::BgColor, QStringLiteral("30")},
              {T::Other, QStringLiteral("50")}, {T::Other1, QStringLiteral("30")},
              {T::Other2, QStringLiteral("#fff")}, {T::BgCode, QStringLiteral("#000")},
              {T::Other4, QStringLiteral("#FF798A")}, {T::Other5, QStringLiteral("#FF798A")},
              {T::Other6, QStringLiteral("#fff")}},
             kNoPreview),
        kind(Kind::Video, QStringLiteral("视频"), QStringLiteral("视频"), QStringLiteral("video.jpg"), 350,
             240, {{T::Picture, CD::videoPlayerUrl()}, {T::Link, QStringLiteral("0")}},
             kNoPreview),
        kind(Kind::Countdown, QStringLiteral("倒计时"), QStringLiteral("倒计时"),
             QStringLiteral("countdown.png"), 358, 92,
             {{T::Picture, QStringLiteral("2016-11-11 00:00:00")}, {T::Link, QStringLiteral("89")},
              {T::Text, QStringLiteral("18")}, {T::Other, QStringLiteral("#fff")},
              {T::Other2, QStringLiteral("2")}, {T::BgCode, CD::countdownBackgroundUrl()}},
             {PreviewSource::Column, T::BgCode, true}),
        kind(Kind::Favourite, QStringLiteral("收藏"), QStringLiteral("收藏"),
             QStringLiteral("favourite.gif"), 190, 174,
             {{T::Picture, CD::favouriteBadgeUrl()}, {T::Link, QStringLiteral("#")},
              {T::Text, QStringLiteral("#")}},
             column(T::Picture)),
        kind(Kind::Share, QStringLiteral("分享"), QStringLiteral("分享"), QStringLiteral("share.gif"), 92,
             27, {{T::Picture, QString()}, {T::Link, CD::shareIconUrl()}},
             column(T::Link)),
        kind(Kind::QrCode, QStringLiteral("二维码"), QStringLiteral("二维码"),
             QStringLiteral("qrcode.jpg"), 140, 140,
             {{T::Picture, CD::itemId()}, {T::Link, QStringLiteral("3")}, {T::Text, CD::qrImageUrl()}},
             column(T::Text)),
        kind(Kind::Cart, QStringLiteral("购物车"), QStringLiteral("购物车"), QStringLiteral("cart.png"),
             120, 31, {{T::Picture, CD::cartIconUrl()}, {T::Link, CD::itemPageUrl()}},
             column(T::Picture)),
        kind(Kind::Like, QStringLiteral("喜欢"), QStringLiteral("喜欢"), QStringLiteral("like.png"), 109,
             25, {{T::Picture, CD::itemPageUrl()}, {T::Link, QStringLiteral("0")}},
             kNoPreview),
        kind(Kind::Follow, QStringLiteral("关注"), QStringLiteral("关注"), QStringLiteral("follow.png"), 75,
             22, {{T::Picture, QString()}, {T::Link, CD::followIconUrl()}},
             column(T::Link)),
        kind(Kind::Service, QStringLiteral("客服"), QStringLiteral("客服"), QStringLiteral("service.gif"),
             70, 70, {{T::Picture, QStringLiteral("旺旺帐号")}, {T::Link, CD::avatarUrl()}},
             kNoPreview),
        kind(Kind::ChatGroup, QStringLiteral("旺旺群"), QStringLiteral("旺旺群"),
             QStringLiteral("chat_group.gif"), 63, 20,
             {{T::Picture, CD::groupBadgeUrl()}, {T::Link, QString()}},
             kNoPreview),
    };
}

const QHash<QString, const KindInfo *> &byName()
{
    static const QHash<QString, const KindInfo *> map = [] {
        QHash<QString, const KindInfo *> names;
        for (const KindInfo &info : all())
            names.insert(info.name, &info);
        return names;
    }();
    return map;
}

} // namespace

const QList<KindInfo> &all()
{
    static const QList<KindInfo> kinds = buildAll();
    return kinds;
}

const KindInfo *find(const QString &name)
{
    return byName().value(name);
}

const KindInfo &of(Kind kind)
{
    // The list stands in the order of the enumeration.
    const KindInfo &info = all().at(int(kind));
    Q_ASSERT(info.kind == kind);
    return info;
}

bool is(const QString &name, Kind kind)
{
    return name == nameOf(kind);
}

int zIndexOf(Kind kind)
{
    switch (kind) {
    case Kind::Share:
        return 4;
    case Kind::Swap:
    case Kind::Favourite:
    case Kind::Follow:
    case Kind::Service:
    case Kind::Countdown:
        return 3;
    default:
        return 2;
    }
}

int zIndexOf(const QString &name)
{
    const KindInfo *info = find(name);
    return info ? zIndexOf(info->kind) : 0;
}

QString previewUrl(const QStringList &cells,
                   const std::function<QString(const QString &key)> &carouselSetting)
{
    const KindInfo *info = find(cells.value(T::Kind));
    if (!info)
        return {};
    switch (info->preview) {
    case PreviewSource::None:
        return {};
    case PreviewSource::Column:
        return cells.value(info->previewColumn);
    case PreviewSource::FirstCarouselPicture:
        return carouselSetting ? carouselSetting(CarouselSettings::pictureKey(1)) : QString();
    }
    return {};
}

} // namespace Plumbrook::KindTable
