#pragma once

namespace Plumbrook {

// Registers the editor of the 轮播 kind.
void registerCarouselEditor();

} // namespace Plumbrook
