#pragma once

#include <QString>

namespace Plumbrook {

// The outside services that generated markup and editors address, kept in one place.
namespace ServiceAddresses {

// The marketplace's main web site (group chat and direct messenger links).
inline const QString kMarketplaceSite = QStringLiteral("https://www.taobao.com");
// The marketplace's image host.
inline const QString kImageHost = QStringLiteral("https://img.alicdn.com");
// The marketplace's QR-code image service; its pictures are served over plain http.
inline const QString kQrCodeService = QStringLiteral("http://gqrcode.alicdn.com");
// The marketplace's messenger web service (status icons and routed contact links).
inline const QString kMessengerService = QStringLiteral("https://amos.alicdn.com");
// The Flash Player maker's site, whose /go/getflashplayer is the download page.
inline const QString kFlashPlayerSite = QStringLiteral("https://www.adobe.com");
// A fully transparent picture stretched over a hotspot so that it stays invisible.
inline const QString kHotspotPicture = kImageHost + QStringLiteral("/tps/plumbrook/hotspot-transparent.png");

} // namespace ServiceAddresses
} // namespace Plumbrook
