#pragma once

#include <QString>

namespace Plumbrook {

// The token the program hands the updater, so that the updater runs only when started by the program.
//
// Kept scrambled so that it does not show up among the executable's strings; shared
// as a header by the program and the updater.
inline QString updaterToken()
{
    static constexpr unsigned char kScrambled[] = {
        0x2a, 0x03, 0x03, 0x42, 0x0e, 0x07, 0xa9, 0xbf, 0xf1, 0xa8, 0xc5, 0x9e,
        0xcf, 0x82, 0xda, 0xf3, 0xf9, 0xb5, 0xea, 0xea, 0x84, 0xdb, 0xcc};
    QString token;
    for (int i = 0; i < int(sizeof kScrambled); ++i)
        token.append(QChar(char16_t(kScrambled[i] ^ ((0x5A + i * 7) & 0xff))));
    return token;
}

} // namespace Plumbrook
