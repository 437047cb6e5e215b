#pragma once

#include <QString>

namespace Plumbrook {

// Registers the editors of the styled-text kinds: 文字, 搜索, 倒计时.
void registerTextEditors();

namespace TextEditors {

// A shop address cut back to its host: everything before the first ".com"
// (case-sensitive) followed by ".com"; a text without it gives ".com".
QString shopAddress(const QString &text);

} // namespace TextEditors
} // namespace Plumbrook
