#include "codegen/fill_context.h"

namespace Plumbrook::FillRules {

// A switch without a default, so that a kind added to the kind table without a
// fill rule is a compiler warning.
FillRule of(KindTable::Kind kind)
{
    using K = KindTable::Kind;
    switch (kind) {
    case K::Picture: return image;
    case K::Hotspot: return hotspot;
    case K::Swap: return swap;
    case K::Zoom: return zoom;
    case K::Carousel: return carousel;
    case K::Text: return text;
    case K::Flash: return flash;
    case K::Search: return search;
    case K::Video: return video;
    case K::Countdown: return countdown;
    case K::Favourite: return favourite;
    case K::Share: return share;
    case K::QrCode: return qrCode;
    case K::Cart: return cart;
    case K::Like: return like;
    case K::Follow: return follow;
    case K::Service: return customerService;
    case K::ChatGroup: return wangwangGroup;
    }
    return nullptr;
}

} // namespace Plumbrook::FillRules
