#include "net/picture_cache.h"

#include "net/disk_picture_sizes.h"

#include "net/http_client.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>

namespace Plumbrook {

namespace {

const QByteArray kMagic = QByteArrayLiteral("plumbrook-picture 1\n");
const QString kSuffix = QStringLiteral(".pic");

QByteArray oneLine(QByteArray text)
{
    text.replace('\r', ' ').replace('\n', ' ');
    return text;
}

// The entry's file: a header of four lines (mark, address, ETag, Last-Modified), then the body.
QByteArray encode(const QString &url, const PictureCache::Entry &entry)
{
    return kMagic + oneLine(url.toUtf8()) + '\n' + oneLine(entry.etag) + '\n'
           + oneLine(entry.lastModified) + '\n' + entry.body;
}

std::optional<PictureCache::Entry> decode(const QByteArray &bytes, const QString &url)
{
    if (!bytes.startsWith(kMagic))
        return std::nullopt;
    qsizetype at = kMagic.size();
    QByteArray lines[3];
    for (QByteArray &line : lines) {
        const qsizetype end = bytes.indexOf('\n', at);
        if (end < 0)
            return std::nullopt;
        line = bytes.mid(at, end - at);
        at = end + 1;
    }
    // Two addresses sharing a file name must not show each other's pictures.
    if (lines[0] != oneLine(url.toUtf8()))
        return std::nullopt;
    PictureCache::Entry entry{bytes.mid(at), lines[1], lines[2]};
    if (entry.body.isEmpty())
        return std::nullopt;
    return entry;
}

} // namespace

PictureCache::PictureCache(const QString &directory, qint64 limitBytes)
    : mDirectory(directory)
    , mLimit(limitBytes)
{
}

PictureCache &PictureCache::shared()
{
    // Never destroyed: downloads nobody waits for at exit may still use it.
    static auto *cache = new PictureCache(DiskPictureSizes::defaultFolder());
    return *cache;
}

qint64 PictureCache::limit() const
{
    QMutexLocker lock(&mMutex);
    return mLimit;
}

void PictureCache::setLimit(qint64 bytes)
{
    QMutexLocker lock(&mMutex);
    mLimit = bytes;
    loadIndexLocked();
    trimLocked({});
}

qint64 PictureCache::sizeInBytes()
{
    QMutexLocker lock(&mMutex);
    loadIndexLocked();
    return mTotal;
}

int PictureCache::count()
{
    QMutexLocker lock(&mMutex);
    loadIndexLocked();
    return int(mItems.size());
}

QString PictureCache::nameOf(const QString &url)
{
    return QString::fromLatin1(
               QCryptographicHash::hash(url.toUtf8(), QCryptographicHash::Sha1).toHex())
           + kSuffix;
}

QString PictureCache::pathOf(const QString &name) const
{
    return mDirectory + u'/' + name;
}

void PictureCache::loadIndexLocked()
{
    if (mIndexed)
        return;
    mIndexed = true;
    QFileInfoList files = QDir(mDirectory).entryInfoList({u'*' + kSuffix}, QDir::Files);
    // The files' times carry the order of use over from earlier runs.
    std::sort(files.begin(), files.end(), [](const QFileInfo &a, const QFileInfo &b) {
        return a.lastModified() < b.lastModified();
    });
    for (const QFileInfo &file : files) {
        mItems.insert(file.fileName(), Item{file.size(), ++mClock});
        mTotal += file.size();
    }
    trimLocked({});
}

void PictureCache::forgetLocked(const QString &name)
{
    const auto it = mItems.constFind(name);
    if (it == mItems.constEnd())
        return;
    // `name` may be the key of the entry erased here: its path is taken first.
    const QString path = pathOf(name);
    mTotal -= it->size;
    mItems.erase(it);
    QFile::remove(path);
}

void PictureCache::trimLocked(const QString &keep)
{
    while (mTotal > mLimit && !mItems.isEmpty()) {
        auto oldest = mItems.constEnd();
        for (auto it = mItems.constBegin(); it != mItems.constEnd(); ++it) {
            if (it.key() != keep && (oldest == mItems.constEnd() || it->lastUsed < oldest->lastUsed))
                oldest = it;
        }
        if (oldest == mItems.constEnd())
            break;
        forgetLocked(oldest.key());
    }
}

std::optional<PictureCache::Entry> PictureCache::find(const QString &url)
{
    QMutexLocker lock(&mMutex);
    loadIndexLocked();
    const QString name = nameOf(url);
    auto it = mItems.find(name);
    if (it == mItems.end())
        return std::nullopt;
    QFile file(pathOf(name));
    std::optional<Entry> entry;
    if (file.open(QIODevice::ReadOnly))
        entry = decode(file.readAll(), url);
    if (!entry) {
        // Unreadable, gone or someone else's: no longer worth its place.
        forgetLocked(name);
        return std::nullopt;
    }
    it->lastUsed = ++mClock;
    file.setFileTime(QDateTime::currentDateTimeUtc(), QFileDevice::FileModificationTime);
    return entry;
}

bool PictureCache::store(const QString &url, const Entry &entry)
{
    if (entry.body.isEmpty())
        return false;
    const QByteArray bytes = encode(url, entry);
    QMutexLocker lock(&mMutex);
    loadIndexLocked();
    const QString name = nameOf(url);
    if (bytes.size() > mLimit) {
        forgetLocked(name);
        return false;
    }
    if (!QDir().mkpath(mDirectory))
        return false;
    QSaveFile file(pathOf(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        file.cancelWriting();
        return false;
    }
    const Item previous = mItems.value(name);
    mTotal += bytes.size() - previous.size;
    mItems.insert(name, Item{bytes.size(), ++mClock});
    trimLocked(name);
    return true;
}

void PictureCache::remove(const QString &url)
{
    QMutexLocker lock(&mMutex);
    loadIndexLocked();
    forgetLocked(nameOf(url));
}

void PictureCache::clear()
{
    QMutexLocker lock(&mMutex);
    loadIndexLocked();
    const QStringList names = mItems.keys();
    for (const QString &name : names)
        forgetLocked(name);
    // Files that appeared behind the index's back (another running designer) go too.
    const QStringList rest = QDir(mDirectory).entryList({u'*' + kSuffix}, QDir::Files);
    for (const QString &name : rest)
        QFile::remove(pathOf(name));
}

QByteArray PictureCache::download(const QString &url)
{
    const HttpClient::Revalidation answer = HttpClient::conditionalDownload(url);
    if (answer.answered && answer.status == 200 && !answer.body.isEmpty())
        store(url, {answer.body, answer.etag, answer.lastModified});
    return answer.body;
}

PictureCache::Freshness PictureCache::revalidate(const QString &url, QByteArray *body)
{
    const std::optional<Entry> cached = find(url);
    const HttpClient::Revalidation answer =
        cached ? HttpClient::conditionalDownload(url, cached->etag, cached->lastModified)
               : HttpClient::conditionalDownload(url);
    if (!answer.answered)
        return Freshness::Unknown;
    if (answer.status == 304 && cached)
        return Freshness::Unchanged;
    if (answer.status != 200 || answer.body.isEmpty())
        return Freshness::Unknown;
    if (cached && answer.body == cached->body) {
        // Validators may have changed even where the picture did not.
        store(url, {answer.body, answer.etag, answer.lastModified});
        return Freshness::Unchanged;
    }
    store(url, {answer.body, answer.etag, answer.lastModified});
    if (body)
        *body = answer.body;
    return Freshness::Changed;
}

} // namespace Plumbrook
