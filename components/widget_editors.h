#pragma once

namespace Plumbrook {

// Registers the editors of the marketplace widget kinds: 收藏, 分享, 二维码,
// 购物车, 喜欢, 关注, 客服, 旺旺群.
void registerWidgetEditors();

} // namespace Plumbrook
