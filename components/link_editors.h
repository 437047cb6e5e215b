#pragma once

namespace Plumbrook {

// Registers the editors of the link and picture kinds: 热点, 图片, 换图, 放大, 视频, flash.
void registerLinkEditors();

} // namespace Plumbrook
