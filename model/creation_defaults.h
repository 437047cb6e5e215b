#pragma once

#include <QString>

namespace Plumbrook {

// The sample addresses new components point at, and the carousel arrows' pictures.
namespace CreationDefaults {

// Sample content on the marketplace's hosts that new components point at. The
// flash movie is the first preset effect (PresetUrls) and the carousel's samples
// live with its settings file (CarouselSettings).
QString itemId();
QString itemPageUrl();          // ends in "id=" + itemId()
QString imageUrl();             // 图片
QString swapFrontUrl();         // 换图
QString swapHoverUrl();
QString zoomImageUrl();         // 放大
QString videoPlayerUrl();
QString countdownBackgroundUrl();
QString favouriteBadgeUrl();
QString shareIconUrl();
QString qrImageUrl();           // query pairs joined by "&amp;"
QString cartIconUrl();
QString followIconUrl();
QString avatarUrl();
QString groupBadgeUrl();

inline constexpr int ArrowSize = 40;
QString leftArrowPicture();
QString rightArrowPicture();

} // namespace CreationDefaults
} // namespace Plumbrook
