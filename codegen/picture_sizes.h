#pragma once

#include <QSize>
#include <QString>

namespace Plumbrook {

// Answers how large a picture really is, from wherever its bytes were kept.
class PictureSizes
{
public:
    struct Answer
    {
        enum State { Unknown, Loaded, Failed };
        State state = Unknown;
        QSize size;   // valid when Loaded
    };

    virtual ~PictureSizes() = default;
    virtual Answer sizeOf(const QString &url) const = 0;

    // The size read from a picture's bytes (only its header is decoded); Failed when
    // they hold no picture, Unknown when there are none.
    static Answer fromBytes(const QByteArray &bytes);
};

} // namespace Plumbrook
