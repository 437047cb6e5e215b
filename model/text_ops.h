#pragma once

#include <QByteArray>
#include <QString>

namespace Plumbrook {

// Text operations shared by the model, generation, editors and network code.
namespace TextOps {

// Reads the leading integer of a text the way C's atoi does: leading blanks,
// an optional sign, then digits; no digits give 0. Saturates at the int range.
int toInt(const QString &text);

// Reads the leading number of a text the way C's atof does, then rounds it to
// single precision (the zoom factor is a float in the generated arithmetic).
float toFloat(const QString &text);

// A computed number as text, written with C's "%.13g": 520, -5.5, 240.0000095367.
QString formatNumber(double value);

// Replaces up to `limit` non-overlapping occurrences of `search`, scanning left
// to right and resuming after each inserted replacement, so a replacement is
// never rescanned. A negative limit replaces every occurrence; an empty search
// or a limit of 0 changes nothing. Matches start only at character boundaries.
QString replace(const QString &text, const QString &search, const QString &replacement,
                int limit = -1);
// The same in place; returns the number of occurrences replaced.
int replaceIn(QString &text, const QString &search, const QString &replacement,
              int limit = -1);

// Non-overlapping occurrences of `search`, each search starting right after
// the previous match.
int count(const QString &text, const QString &search);

// The text between the first `left` at or after `start` and the next `right`
// after it; empty when either marker is missing. In both markers the token
// "#引号" stands for a double quote.
QString between(const QString &text, const QString &left, const QString &right,
                int start = 0, Qt::CaseSensitivity cs = Qt::CaseSensitive);

// The text without the given characters at either end (QString::trimmed
// knows no full-width space, and the callers differ in what counts as blank).
QString trimmed(const QString &text, QStringView blanks);

// Percent-encodes the bytes of a text: its UTF-8 bytes when `utf8` is set,
// its GBK bytes otherwise. With `keepSafe` ASCII letters, digits, "-" and "."
// stay as they are; every other byte becomes "%" and two upper-case hex digits.
QString urlEncode(const QString &text, bool keepSafe = true, bool utf8 = true);

// GBK bytes of a text; characters GBK cannot hold are written as GB18030.
QByteArray toGbk(const QString &text);
QString fromGbk(const QByteArray &bytes);
// Length of the text in GBK bytes.
int gbkLength(const QString &text);

// Code-page conversion for the two code pages the program exchanges:
// 936 (GBK, with GB18030 for what GBK cannot hold) and 65001 (UTF-8).
enum CodePage { Gbk = 936, Utf8 = 65001 };
QByteArray encode(const QString &text, CodePage codePage);
QString decode(const QByteArray &bytes, CodePage codePage);

} // namespace TextOps
} // namespace Plumbrook
