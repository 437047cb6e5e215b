// Substitution, counting, text between markers, numbers, URL encoding and code
// pages over arbitrary texts.
#include "fuzz_input.h"

#include "model/text_ops.h"

#include <algorithm>
#include <climits>
#include <cstring>

using namespace Plumbrook;

namespace {

bool isAsciiWithoutNul(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() == 0 || c.unicode() > 0x7f)
            return false;
    }
    return true;
}

void checkNumbers(const QString &text, const QByteArray &raw)
{
    const int value = TextOps::toInt(text);
    if (isAsciiWithoutNul(text)) {
        const long long reference = std::strtoll(text.toLatin1().constData(), nullptr, 10);
        const long long clamped = std::clamp<long long>(reference, INT_MIN, INT_MAX);
        Fuzz::check(value == clamped, "toInt reads what atoi reads, saturated");
    }
    (void)TextOps::toFloat(text);

    if (raw.size() >= qsizetype(sizeof(double))) {
        double number;
        std::memcpy(&number, raw.constData(), sizeof number);
        char reference[64];
        std::snprintf(reference, sizeof reference, "%.13g", number);
        Fuzz::check(TextOps::formatNumber(number) == QLatin1String(reference),
                    "formatNumber writes %.13g");
    }
}

void checkSubstitution(const QString &text, const QString &search, const QString &replacement,
                       int limit)
{
    QString replaced = text;
    const int done = TextOps::replaceIn(replaced, search, replacement, limit);
    const int found = TextOps::count(text, search);
    Fuzz::check(done == (limit < 0 ? found : qMin(limit, found)),
                "replacements made equal the occurrences counted, up to the limit");
    Fuzz::check(replaced.size() == text.size() + qsizetype(done) * (replacement.size() - search.size()),
                "each replacement changes the length by the size difference");
    Fuzz::check(TextOps::replace(text, search, search) == text, "replacing by itself changes nothing");
    Fuzz::check(TextOps::replace(text, search, replacement, 0) == text, "limit 0 changes nothing");

    const QString inner = TextOps::between(text, search, replacement, limit);
    Fuzz::check(inner.isEmpty() || text.contains(inner), "text between markers is part of the text");
}

void checkEncoding(const QString &text, const QByteArray &raw)
{
    const QString encoded = TextOps::urlEncode(text, true, true);
    for (const QChar c : encoded) {
        const char16_t u = c.unicode();
        Fuzz::check((u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9')
                        || u == u'-' || u == u'.' || u == u'%',
                    "URL encoding leaves only safe characters");
    }
    Fuzz::check(QByteArray::fromPercentEncoding(encoded.toLatin1()) == text.toUtf8(),
                "URL encoding decodes to the UTF-8 bytes");
    (void)TextOps::urlEncode(text, false, false);

    const QByteArray gbk = TextOps::toGbk(text);
    Fuzz::check(TextOps::gbkLength(text) == gbk.size(), "GBK length is the encoded size");
    if (text.isValidUtf16())
        Fuzz::check(TextOps::fromGbk(gbk) == text, "GBK with GB18030 holds every character");
    (void)TextOps::fromGbk(raw);
    (void)TextOps::decode(raw, TextOps::Utf8);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QList<QByteArray> parts = Fuzz::fields(data, size, 4);
    const QString text = Fuzz::text(parts.at(0));
    const QString search = Fuzz::text(parts.at(1));
    const QString replacement = Fuzz::text(parts.at(2));
    const int limit = parts.at(3).isEmpty() ? -1 : int(qint8(parts.at(3).at(0)));

    checkNumbers(text, parts.at(0));
    checkSubstitution(text, search, replacement, limit);
    checkEncoding(text, parts.at(0));
    return 0;
}
