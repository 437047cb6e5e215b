#include "codegen/picture_sizes.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QStandardPaths>

namespace Plumbrook {

namespace {

PictureSizes::Answer answerFrom(QIODevice *device)
{
    using Answer = PictureSizes::Answer;
    QImageReader reader(device);
    const QSize size = reader.size();
    if (size.isValid() && !size.isEmpty())
        return {Answer::Loaded, size};
    // Some formats tell their size only once decoded.
    const QImage image = reader.read();
    if (image.isNull())
        return {Answer::Failed, {}};
    return {Answer::Loaded, image.size()};
}

} // namespace

PictureSizes::Answer PictureSizes::fromBytes(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return {};
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return answerFrom(&buffer);
}

DiskPictureSizes::DiskPictureSizes(const QString &folder)
    : mFolder(folder.isEmpty() ? defaultFolder() : folder)
{
}

QString DiskPictureSizes::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/pictures");
}

QString DiskPictureSizes::fileName(const QString &url)
{
    return QString::fromLatin1(QCryptographicHash::hash(url.toUtf8(), QCryptographicHash::Sha1).toHex());
}

bool DiskPictureSizes::folderExists() const
{
    return QFileInfo(mFolder).isDir();
}

PictureSizes::Answer DiskPictureSizes::sizeOf(const QString &url) const
{
    if (url.isEmpty())
        return {};
    QFile file(QDir(mFolder).filePath(fileName(url)));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return answerFrom(&file);
}

} // namespace Plumbrook
