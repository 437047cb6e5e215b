#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace Plumbrook::Fuzz {

// Cuts one fuzzer input into fields at 0x1F bytes, so that a corpus entry stays
// readable and mutations move bytes between fields.
inline QList<QByteArray> fields(const uint8_t *data, size_t size, int count)
{
    QList<QByteArray> out = QByteArray(reinterpret_cast<const char *>(data), qsizetype(size))
                                .split('\x1f');
    while (out.size() < count)
        out.append(QByteArray());
    return out;
}

// Text of a field. A leading 0x01 byte reads the rest as raw UTF-16 code units,
// which reaches lone surrogates that no UTF-8 decoding produces.
inline QString text(const QByteArray &field)
{
    if (field.startsWith('\x01')) {
        const QByteArray raw = field.mid(1);
        return QString(reinterpret_cast<const QChar *>(raw.constData()), raw.size() / 2);
    }
    return QString::fromUtf8(field);
}

[[noreturn]] inline void fail(const char *what)
{
    std::fprintf(stderr, "property violated: %s\n", what);
    std::abort();
}

inline void check(bool condition, const char *what)
{
    if (!condition)
        fail(what);
}

} // namespace Plumbrook::Fuzz
