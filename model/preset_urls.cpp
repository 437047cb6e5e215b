#include "model/preset_urls.h"

#include "model/service_addresses.h"

#include <array>

namespace Plumbrook::PresetUrls {

namespace {

const char *const imageHost = "https://img.alicdn.com/imgextra/";
const char *const fileHost = "https://assets.alicdn.com/";

// Indexes 1..11 of the style list: 大网格屋 … 樱花飞舞.
constexpr std::array<const char *, swapStyleCount - 1> overlayFiles = {
    "i1/plumbrook/swap_grid_large.png",
    "i2/plumbrook/swap_grid_small.png",
    "i3/plumbrook/swap_diagonal.png",
    "i4/plumbrook/swap_hearts.png",
    "i1/plumbrook/swap_dot_hot.gif",
    "i2/plumbrook/swap_butterflies.gif",
    "i3/plumbrook/swap_drizzle.gif",
    "i4/plumbrook/swap_bubbles.gif",
    "i1/plumbrook/swap_sparkle.gif",
    "i2/plumbrook/swap_blossom_drift.gif",
    "i3/plumbrook/swap_blossom_flight.gif",
};

// Indexes 0..5 of the effect list: 烟花 雪花 花瓣 雪霜 元宝 萤光.
constexpr std::array<const char *, flashEffectCount - 1> effectFiles = {
    "plumbrook/flash/fireworks.swf",
    "plumbrook/flash/snowflakes.swf",
    "plumbrook/flash/petals.swf",
    "plumbrook/flash/frost.swf",
    "plumbrook/flash/ingots.swf",
    "plumbrook/flash/fireflies.swf",
};

} // namespace

QString swapStyleOverlay(int index)
{
    if (index < 1 || index >= swapStyleCount)
        return {};
    return QString::fromLatin1(imageHost) + QString::fromLatin1(overlayFiles[index - 1]);
}

QString flashEffect(int index)
{
    if (index < 0 || index >= flashEffectCount - 1)
        return {};
    return QString::fromLatin1(fileHost) + QString::fromLatin1(effectFiles[index]);
}

QString qrService()
{
    return ServiceAddresses::kQrCodeService;
}

} // namespace Plumbrook::PresetUrls
