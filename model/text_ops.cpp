#include "model/text_ops.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <charconv>
#include <climits>
#include <clocale>
#include <cstdlib>
#include <locale.h>

namespace Plumbrook::TextOps {

int toInt(const QString &text)
{
    int i = 0;
    const int n = int(text.size());
    while (i < n) {
        const char16_t c = text.at(i).unicode();
        if (c == u' ' || (c >= u'\t' && c <= u'\r'))
            ++i;
        else
            break;
    }
    bool negative = false;
    if (i < n && (text.at(i) == u'+' || text.at(i) == u'-')) {
        negative = text.at(i) == u'-';
        ++i;
    }
    long long value = 0;
    for (; i < n; ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < u'0' || c > u'9')
            break;
        value = value * 10 + (c - u'0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return int(value);
}

float toFloat(const QString &text)
{
    // strtod in the C locale reads exactly what atof reads (blanks, sign,
    // decimal or hexadecimal digits, exponent, inf, nan); the user's locale
    // must not turn "1.5" into 1.
#ifndef _WIN32
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
#endif
    QByteArray ascii;
    ascii.reserve(text.size());
    for (const QChar c : text) {
        if (c.unicode() == 0 || c.unicode() > 0x7f)
            break;
        ascii.append(char(c.unicode()));
    }
#ifdef _WIN32
    // MinGW's own strtod reads the same forms as glibc's (hexadecimal, inf, nan), which
    // the system's msvcrt does not. It follows the C runtime's locale, which stays "C"
    // on Windows: neither the program nor Qt sets another there.
    return float(__mingw_strtod(ascii.constData(), nullptr));
#else
    return float(strtod_l(ascii.constData(), nullptr, cLocale));
#endif
}

QString formatNumber(double value)
{
    // to_chars with a precision is specified as printf's "%.13g" in the C locale.
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                      std::chars_format::general, 13);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

namespace {

// A position inside a surrogate pair is not a character boundary.
bool splitsPair(const QString &text, qsizetype at)
{
    return at > 0 && at < text.size() && text.at(at).isLowSurrogate()
        && text.at(at - 1).isHighSurrogate();
}

} // namespace

int replaceIn(QString &text, const QString &search, const QString &replacement, int limit)
{
    if (search.isEmpty() || limit == 0)
        return 0;
    // One pass that copies the untouched stretches: linear in the text,
    // whatever the number of occurrences.
    QString out;
    qsizetype copied = 0;
    qsizetype from = 0;
    int done = 0;
    while (limit < 0 || done < limit) {
        const qsizetype at = text.indexOf(search, from);
        if (at < 0)
            break;
        const qsizetype end = at + search.size();
        if (splitsPair(text, at) || splitsPair(text, end)) {
            from = at + 1;
            continue;
        }
        if (done == 0)
            out.reserve(text.size() + qMax<qsizetype>(0, replacement.size() - search.size()) * 4);
        out.append(QStringView(text).mid(copied, at - copied));
        out.append(replacement);
        copied = end;
        from = end;
        ++done;
    }
    if (done > 0) {
        out.append(QStringView(text).mid(copied));
        text = std::move(out);
    }
    return done;
}

QString replace(const QString &text, const QString &search, const QString &replacement, int limit)
{
    QString result = text;
    replaceIn(result, search, replacement, limit);
    return result;
}

int count(const QString &text, const QString &search)
{
    if (search.isEmpty())
        return 0;
    int found = 0;
    qsizetype from = 0;
    while (true) {
        const qsizetype at = text.indexOf(search, from);
        if (at < 0)
            break;
        const qsizetype end = at + search.size();
        if (splitsPair(text, at) || splitsPair(text, end)) {
            from = at + 1;
            continue;
        }
        ++found;
        from = end;
    }
    return found;
}

QString between(const QString &text, const QString &left, const QString &right, int start,
                Qt::CaseSensitivity cs)
{
    static const QString quoteToken = QStringLiteral("#引号");
    const QString leftMarker = replace(left, quoteToken, QStringLiteral("\""));
    const QString rightMarker = replace(right, quoteToken, QStringLiteral("\""));
    const qsizetype leftAt = text.indexOf(leftMarker, qMax(0, start), cs);
    if (leftAt < 0)
        return {};
    const qsizetype from = leftAt + leftMarker.size();
    const qsizetype rightAt = text.indexOf(rightMarker, from, cs);
    if (rightAt < 0)
        return {};
    return text.mid(from, rightAt - from);
}

QString trimmed(const QString &text, QStringView blanks)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && blanks.contains(text.at(begin)))
        ++begin;
    while (end > begin && blanks.contains(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

QString urlEncode(const QString &text, bool keepSafe, bool utf8)
{
    if (text.isEmpty())
        return {};
    const QByteArray bytes = utf8 ? text.toUtf8() : toGbk(text);
    static const char hex[] = "0123456789ABCDEF";
    QString out;
    out.reserve(bytes.size() * 3);
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        const bool safe = (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z')
            || (b >= '0' && b <= '9') || b == '-' || b == '.';
        if (keepSafe && safe) {
            out.append(QChar(b));
        } else {
            out.append(QChar(u'%'));
            out.append(QChar(hex[b >> 4]));
            out.append(QChar(hex[b & 0xf]));
        }
    }
    return out;
}

QByteArray toGbk(const QString &text)
{
    // GB18030 is a superset of GBK that agrees with it byte for byte on every
    // character GBK holds, so one encoder gives both.
    QStringEncoder encoder(QStringEncoder::System);
    static const QByteArray name = "GB18030";
    QStringEncoder gb(name.constData());
    if (gb.isValid())
        return gb.encode(text);
    return encoder.encode(text);
}

QString fromGbk(const QByteArray &bytes)
{
    QStringDecoder gb("GB18030");
    if (gb.isValid())
        return gb.decode(bytes);
    return QString::fromLocal8Bit(bytes);
}

int gbkLength(const QString &text)
{
    return int(toGbk(text).size());
}

QByteArray encode(const QString &text, CodePage codePage)
{
    return codePage == Utf8 ? text.toUtf8() : toGbk(text);
}

QString decode(const QByteArray &bytes, CodePage codePage)
{
    return codePage == Utf8 ? QString::fromUtf8(bytes) : fromGbk(bytes);
}

} // namespace Plumbrook::TextOps
