#include "model/creation_defaults.h"

#include "model/preset_urls.h"

namespace Plumbrook::CreationDefaults {

namespace {

const QString kSeller = QStringLiteral("2207352451023");

// One sample picture in the seller's picture space on the marketplace's image host.
QString hostedPicture(const QString &name, const QString &extension)
{
    return QStringLiteral("https://img.alicdn.com/imgextra/i%1/%2/O1CN01%3_!!%2.%4")
        .arg(QString::number(name.at(2).unicode() % 4 + 1), kSeller, name, extension);
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

QString leftArrowPicture() { return QStringLiteral("arrow_left.png"); }
QString rightArrowPicture() { return QStringLiteral("arrow_right.png"); }

} // namespace Plumbrook::CreationDefaults
