#include "components/creation_defaults.h"

#include "components/preset_urls.h"
#include "model/component_table.h"

namespace Plumbrook::CreationDefaults {

namespace {

const QString kSeller = QStringLiteral("2207352451023");

// One sample picture in the seller's picture space on the marketplace's image host.
QString hostedPicture(const QString &name, const QString &extension)
{
    return QStringLiteral("https://img.alicdn.com/imgextra/i%1/%2/O1CN01%3_!!%2.%4")
        .arg(QString::number(name.at(2).unicode() % 4 + 1), kSeller, name, extension);
}

QList<KindDefaults> buildAll()
{
    using T = ComponentTable;
    const auto kind = [](const QString &name, const QString &caption, const QString &picture,
                         int width, int height, QList<std::pair<int, QString>> cells) {
        // Buttons are named by kind, so the flash button's name is lower case like its kind.
        return KindDefaults{name, caption, QStringLiteral("超级按钮_") + name, picture, width, height,
                            std::move(cells)};
    };
    return {
        kind(QStringLiteral("图片"), QStringLiteral("图片"), QStringLiteral("picture.jpg"), 180, 220,
             {{T::Picture, imageUrl()}, {T::Link, QStringLiteral("#")}}),
        kind(QStringLiteral("热点"), QStringLiteral("热点"), QString(), 100, 100, {}),
        kind(QStringLiteral("换图"), QStringLiteral("换图"), QStringLiteral("swap.png"), 180, 180,
             {{T::Picture, swapFrontUrl()}, {T::Link, swapHoverUrl()},
              {T::Text, QStringLiteral("#")}}),
        kind(QStringLiteral("放大"), QStringLiteral("放大"), QStringLiteral("zoom.png"), 180, 180,
             {{T::Picture, zoomImageUrl()}, {T::Link, zoomImageUrl()},
              {T::Text, QStringLiteral("#")}, {T::Other2, QStringLiteral("_blank")},
              {T::BgCode, QStringLiteral("1.2")}}),
        kind(QStringLiteral("轮播"), QStringLiteral("轮播"), QStringLiteral("carousel.jpg"), 500, 160,
             {}),
        kind(QStringLiteral("文字"), QStringLiteral("文字"), QString(), 0, 0,
             {{T::Picture, QStringLiteral("亲爱的，咱不哭")}, {T::Other, QStringLiteral("宋体")},
              {T::Other1, QStringLiteral("12")}, {T::BgCode, QStringLiteral("#000")}}),
        kind(QStringLiteral("flash"), QStringLiteral("FLASH"), QStringLiteral("flash.png"), 475, 600,
             {{T::Picture, PresetUrls::flashEffect(0)}, {T::Link, QStringLiteral("0")}}),
        kind(QStringLiteral("搜索"), QStringLiteral("搜索"), QStringLiteral("search.png"), 238, 30,
             {{T::Picture, QStringLiteral("宝贝，我要")}, {T::Link, QStringLiteral("#")},
              {T::Text, QStringLiteral("180")}, {T::BgColor, QStringLiteral("30")},
              {T::Other, QStringLiteral("50")}, {T::Other1, QStringLiteral("30")},
              {T::Other2, QStringLiteral("#fff")}, {T::BgCode, QStringLiteral("#000")},
              {T::Other4, QStringLiteral("#FF798A")}, {T::Other5, QStringLiteral("#FF798A")},
              {T::Other6, QStringLiteral("#fff")}}),
        kind(QStringLiteral("视频"), QStringLiteral("视频"), QStringLiteral("video.jpg"), 350, 240,
             {{T::Picture, videoPlayerUrl()}, {T::Link, QStringLiteral("0")}}),
        kind(QStringLiteral("倒计时"), QStringLiteral("倒计时"), QStringLiteral("countdown.png"), 358,
             92,
             {{T::Picture, QStringLiteral("2016-11-11 00:00:00")}, {T::Link, QStringLiteral("89")},
              {T::Text, QStringLiteral("18")}, {T::Other, QStringLiteral("#fff")},
              {T::Other2, QStringLiteral("2")}, {T::BgCode, countdownBackgroundUrl()}}),
        kind(QStringLiteral("收藏"), QStringLiteral("收藏"), QStringLiteral("favourite.gif"), 190, 174,
             {{T::Picture, favouriteBadgeUrl()}, {T::Link, QStringLiteral("#")},
              {T::Text, QStringLiteral("#")}}),
        kind(QStringLiteral("分享"), QStringLiteral("分享"), QStringLiteral("share.gif"), 92, 27,
             {{T::Picture, QString()}, {T::Link, shareIconUrl()}}),
        kind(QStringLiteral("二维码"), QStringLiteral("二维码"), QStringLiteral("qrcode.jpg"), 140, 140,
             {{T::Picture, itemId()}, {T::Link, QStringLiteral("3")}, {T::Text, qrImageUrl()}}),
        kind(QStringLiteral("购物车"), QStringLiteral("购物车"), QStringLiteral("cart.png"), 120, 31,
             {{T::Picture, cartIconUrl()}, {T::Link, itemPageUrl()}}),
        kind(QStringLiteral("喜欢"), QStringLiteral("喜欢"), QStringLiteral("like.png"), 109, 25,
             {{T::Picture, itemPageUrl()}, {T::Link, QStringLiteral("0")}}),
        kind(QStringLiteral("关注"), QStringLiteral("关注"), QStringLiteral("follow.png"), 75, 22,
             {{T::Picture, QString()}, {T::Link, followIconUrl()}}),
        kind(QStringLiteral("客服"), QStringLiteral("客服"), QStringLiteral("service.gif"), 70, 70,
             {{T::Picture, QStringLiteral("旺旺帐号")}, {T::Link, avatarUrl()}}),
        kind(QStringLiteral("旺旺群"), QStringLiteral("旺旺群"), QStringLiteral("chat_group.gif"), 63,
             20, {{T::Picture, groupBadgeUrl()}, {T::Link, QString()}}),
    };
}

} // namespace

QString itemId() { return QStringLiteral("580912345678"); }

QString itemPageUrl() { return QStringLiteral("https://item.taobao.com/item.htm?id=") + itemId(); }

QString imageUrl() { return hostedPicture(QStringLiteral("Pb7tQm1Wc8Yx2Rk"), QStringLiteral("jpg")); }
QString swapFrontUrl() { return hostedPicture(QStringLiteral("Pb3sFr0nT5aQe9L"), QStringLiteral("jpg")); }
QString swapHoverUrl() { return hostedPicture(QStringLiteral("Pb8hOv3rB2mKd4N"), QStringLiteral("jpg")); }
QString zoomImageUrl() { return hostedPicture(QStringLiteral("Pb5zOo7mG1uWc6T"), QStringLiteral("jpg")); }

QString videoPlayerUrl()
{
    return QStringLiteral("https://cloud.video.taobao.com/play/u/%1/p/1/e/1/t/1/212345678901.swf")
        .arg(kSeller);
}

QString countdownBackgroundUrl()
{
    return hostedPicture(QStringLiteral("Pb2cDb9kG4nRv7S"), QStringLiteral("png"));
}
QString favouriteBadgeUrl()
{
    return hostedPicture(QStringLiteral("Pb6fAv1bD3gHe8J"), QStringLiteral("gif"));
}
QString shareIconUrl() { return hostedPicture(QStringLiteral("Pb4sHa5rE7iCn2P"), QStringLiteral("gif")); }

QString qrImageUrl()
{
    // Escaped as it stands inside an HTML attribute; the editor writes bare "&" on save.
    return PresetUrls::qrService() + QStringLiteral("/img?type=ci&amp;item_id=") + itemId()
        + QStringLiteral("&amp;w=90&amp;h=90&amp;v=1");
}

QString cartIconUrl() { return hostedPicture(QStringLiteral("Pb9cArT2bU6tX3Q"), QStringLiteral("png")); }
QString followIconUrl() { return hostedPicture(QStringLiteral("Pb1fOl8wB5tZk7M"), QStringLiteral("png")); }
QString avatarUrl() { return hostedPicture(QStringLiteral("Pb7aVt4rS9eVc1K"), QStringLiteral("gif")); }
QString groupBadgeUrl() { return hostedPicture(QStringLiteral("Pb3gRp6bG2dQw5H"), QStringLiteral("gif")); }

const QList<KindDefaults> &all()
{
    static const QList<KindDefaults> kinds = buildAll();
    return kinds;
}

const KindDefaults *find(const QString &kind)
{
    for (const KindDefaults &defaults : all()) {
        if (defaults.kind == kind)
            return &defaults;
    }
    return nullptr;
}

QString leftArrowPicture() { return QStringLiteral("arrow_left.png"); }
QString rightArrowPicture() { return QStringLiteral("arrow_right.png"); }

} // namespace Plumbrook::CreationDefaults
