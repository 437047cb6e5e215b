#pragma once

#include <QByteArray>
#include <QString>

namespace Plumbrook {

// Text operations shared by the model, generation, editors and network code.
namespace TextOps {

// Reads the leading integer of a text the way C's atoi does: leading blanks,
// an optional sign, then digits; no digits give 0. Saturates at the int range.
int toInt(const QString &text);

// GBK bytes of a text; characters GBK cannot hold are written as GB18030.
QByteArray toGbk(const QString &text);
QString fromGbk(const QByteArray &bytes);
// Length of the text in GBK bytes.
int gbkLength(const QString &text);

} // namespace TextOps
} // namespace Plumbrook
