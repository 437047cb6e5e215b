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

// Pictures kept in the per-user cache folder, one file per address.
class DiskPictureSizes : public PictureSizes
{
public:
    // `folder` empty: the cache location's "pictures" folder.
    explicit DiskPictureSizes(const QString &folder = {});

    Answer sizeOf(const QString &url) const override;
    bool folderExists() const;

    // The file the picture from `url` is kept in: its address's SHA-1 in hexadecimal.
    static QString fileName(const QString &url);
    static QString defaultFolder();

private:
    QString mFolder;
};

} // namespace Plumbrook
