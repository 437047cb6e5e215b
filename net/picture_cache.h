#pragma once

#include <QByteArray>
#include <QHash>
#include <QMutex>
#include <QString>

#include <optional>

namespace Plumbrook {

// Keeps downloaded pictures on disk by address, within a size limit, least recently used
// dropped first, so that a design shows its pictures at once and with no network.
//
// Every member may be called from any thread. Disk errors (a full disk, no permission, a
// folder gone) only make the cache forget: a lookup misses, a store does not keep.
class PictureCache
{
public:
    static constexpr qint64 kDefaultLimit = qint64(500) * 1024 * 1024;

    struct Entry
    {
        QByteArray body;
        QByteArray etag;
        QByteArray lastModified;
    };

    // What a revalidation found out about a cached picture.
    enum class Freshness {
        Unchanged,   // the server confirmed the cached copy
        Changed,     // a new picture replaced the cached one
        Unknown,     // no answer, or no usable one: the cached copy stays
    };

    explicit PictureCache(const QString &directory, qint64 limitBytes = kDefaultLimit);

    // The per-user cache the designer's previews go through.
    static PictureCache &shared();

    QString directory() const { return mDirectory; }
    qint64 limit() const;
    void setLimit(qint64 bytes);
    // Bytes the cached pictures take on disk.
    qint64 sizeInBytes();
    int count();

    // The cached picture of `url`, which counts as used now.
    std::optional<Entry> find(const QString &url);
    // False when not kept: a disk error, or a picture larger than the whole limit.
    bool store(const QString &url, const Entry &entry);
    void remove(const QString &url);
    void clear();

    // A plain download through the cache: a picture answered with 200 is kept. The body
    // whatever the status, empty on failure, as HttpClient::download gives it.
    QByteArray download(const QString &url);
    // Asks the server whether the cached picture of `url` is still current, with its
    // validators; a changed picture is kept in its place and returned in `body`.
    Freshness revalidate(const QString &url, QByteArray *body = nullptr);

private:
    struct Item
    {
        qint64 size = 0;
        qint64 lastUsed = 0;   // a counter: later use, higher value
    };
    static QString nameOf(const QString &url);
    QString pathOf(const QString &name) const;
    void loadIndexLocked();
    void trimLocked(const QString &keep);
    void forgetLocked(const QString &name);

    const QString mDirectory;
    mutable QMutex mMutex;
    qint64 mLimit;
    bool mIndexed = false;
    QHash<QString, Item> mItems;
    qint64 mTotal = 0;
    qint64 mClock = 0;
};

} // namespace Plumbrook
