#pragma once

#include <QString>

namespace Plumbrook {

// The fixed addresses on the marketplace's hosts that the editors fill in for
// the user: swap-image overlay styles, flash effects and the QR-code service.
namespace PresetUrls {

// Number of entries in the swap editor's style list; entry 0 is the custom one.
constexpr int swapStyleCount = 12;
// Overlay picture of swap style 1..11; empty for 0 and any other index.
QString swapStyleOverlay(int index);

// Number of entries in the flash editor's effect list; the last one is custom.
constexpr int flashEffectCount = 7;
// Movie of flash effect 0..5; empty for the custom entry and any other index.
// Effect 0 is also the flash kind's creation default.
QString flashEffect(int index);

// Address of the QR-code image service (plain http, no trailing "/").
QString qrService();

} // namespace PresetUrls
} // namespace Plumbrook
