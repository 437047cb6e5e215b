#include "model/indented_json.h"

namespace Plumbrook {

void IndentedJson::openObject()
{
    open('{');
}

void IndentedJson::closeObject()
{
    close('}');
}

void IndentedJson::openArray()
{
    open('[');
}

void IndentedJson::closeArray()
{
    close(']');
}

void IndentedJson::key(QStringView key)
{
    mOut->append(mFirst ? "" : ",\n");
    mFirst = false;
    indent(mDepth);
    quoted(key);
    mOut->append(": ");
    mAfterKey = true;
}

void IndentedJson::string(QStringView value)
{
    beforeValue();
    quoted(value);
}

void IndentedJson::integer(qint64 value)
{
    beforeValue();
    mOut->append(QByteArray::number(value));
}

void IndentedJson::beforeValue()
{
    if (mAfterKey) {
        mAfterKey = false;
        return;
    }
    if (mDepth == 0)
        return;
    mOut->append(mFirst ? "" : ",\n");
    mFirst = false;
    indent(mDepth);
}

void IndentedJson::open(char bracket)
{
    beforeValue();
    mOut->append(bracket);
    mOut->append('\n');
    ++mDepth;
    mFirst = true;
}

void IndentedJson::close(char bracket)
{
    // An empty one keeps its line break: "{", a new line, the indentation, "}".
    if (!mFirst)
        mOut->append('\n');
    --mDepth;
    indent(mDepth);
    mOut->append(bracket);
    mFirst = false;
}

void IndentedJson::indent(int depth)
{
    mOut->append(qsizetype(4) * depth, ' ');
}

void IndentedJson::quoted(QStringView text)
{
    static constexpr char kHex[] = "0123456789abcdef";
    // Room for the worst case, six bytes a code unit, written through a pointer: the
    // text of a large design is millions of characters.
    QByteArray &out = *mOut;
    const qsizetype start = out.size();
    out.resize(start + 2 + 6 * text.size());
    char *cursor = out.data() + start;
    *cursor++ = '"';
    const char16_t *unit = text.utf16();
    const char16_t *const end = unit + text.size();
    while (unit != end) {
        const char16_t u = *unit++;
        if (u < 0x80) {
            if (u >= 0x20 && u != u'"' && u != u'\\') {
                *cursor++ = char(u);
                continue;
            }
            *cursor++ = '\\';
            switch (u) {
            case u'"': *cursor++ = '"'; break;
            case u'\\': *cursor++ = '\\'; break;
            case u'\b': *cursor++ = 'b'; break;
            case u'\f': *cursor++ = 'f'; break;
            case u'\n': *cursor++ = 'n'; break;
            case u'\r': *cursor++ = 'r'; break;
            case u'\t': *cursor++ = 't'; break;
            default:
                *cursor++ = 'u';
                *cursor++ = '0';
                *cursor++ = '0';
                *cursor++ = kHex[u >> 4];
                *cursor++ = kHex[u & 0xf];
            }
        } else if (u < 0x800) {
            *cursor++ = char(0xc0 | (u >> 6));
            *cursor++ = char(0x80 | (u & 0x3f));
        } else if (QChar::isHighSurrogate(u) && unit != end && QChar::isLowSurrogate(*unit)) {
            const char32_t c = QChar::surrogateToUcs4(u, *unit++);
            *cursor++ = char(0xf0 | (c >> 18));
            *cursor++ = char(0x80 | ((c >> 12) & 0x3f));
            *cursor++ = char(0x80 | ((c >> 6) & 0x3f));
            *cursor++ = char(0x80 | (c & 0x3f));
        } else if (QChar::isSurrogate(u)) {
            // Half a pair is no UTF-8; it goes as an escape, as QJsonDocument writes it.
            *cursor++ = '\\';
            *cursor++ = 'u';
            for (int shift = 12; shift >= 0; shift -= 4)
                *cursor++ = kHex[(u >> shift) & 0xf];
        } else {
            *cursor++ = char(0xe0 | (u >> 12));
            *cursor++ = char(0x80 | ((u >> 6) & 0x3f));
            *cursor++ = char(0x80 | (u & 0x3f));
        }
    }
    *cursor++ = '"';
    out.resize(cursor - out.constData());
}

} // namespace Plumbrook
