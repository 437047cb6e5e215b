#pragma once

#include <QString>
#include <QStringList>

class QLabel;

namespace Plumbrook {

// Registers the editors of the styled-text kinds: 文字, 搜索, 倒计时.
void registerTextEditors();

namespace TextEditors {

// A shop address cut back to its host: everything before the first ".com"
// (case-sensitive) followed by ".com"; a text without it gives ".com".
QString shopAddress(const QString &text);

// Gives a text component's canvas label the look its row describes: text,
// alignment, font family, pixel size, weight and colour.
void applyLabelLook(QLabel *label, const QStringList &cells);

} // namespace TextEditors
} // namespace Plumbrook
