#include "codegen/text_ops.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <climits>

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

} // namespace Plumbrook::TextOps
