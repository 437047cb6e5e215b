#pragma once

#include "codegen/picture_sizes.h"

#include <memory>

namespace Plumbrook {

class PictureCache;

// Picture sizes from the per-user picture cache the designer's previews fill.
class DiskPictureSizes : public PictureSizes
{
public:
    // `folder` empty: the designer's own cache folder.
    explicit DiskPictureSizes(const QString &folder = {});
    ~DiskPictureSizes() override;

    Answer sizeOf(const QString &url) const override;
    bool folderExists() const;

    static QString defaultFolder();

private:
    QString mFolder;
    std::unique_ptr<PictureCache> mCache;
};

} // namespace Plumbrook
