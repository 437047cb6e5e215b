#include "net/disk_picture_sizes.h"

#include "net/picture_cache.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace Plumbrook {

DiskPictureSizes::DiskPictureSizes(const QString &folder)
    : mFolder(folder.isEmpty() ? defaultFolder() : folder)
    , mCache(std::make_unique<PictureCache>(mFolder))
{
}

DiskPictureSizes::~DiskPictureSizes() = default;

QString DiskPictureSizes::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/pictures");
}

bool DiskPictureSizes::folderExists() const
{
    return QFileInfo(mFolder).isDir();
}

PictureSizes::Answer DiskPictureSizes::sizeOf(const QString &url) const
{
    if (url.isEmpty())
        return {};
    const std::optional<PictureCache::Entry> entry = mCache->find(url);
    return entry ? fromBytes(entry->body) : Answer{};
}

} // namespace Plumbrook
