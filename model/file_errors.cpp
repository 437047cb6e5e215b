#include "model/file_errors.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include <cerrno>

namespace Plumbrook::FileErrors {

QString writeFailure(const QString &path, qint64 size, QFileDevice::FileError error, int systemError)
{
    if (systemError == ENOSPC
#ifdef EDQUOT
        || systemError == EDQUOT
#endif
    )
        return QStringLiteral("磁盘已满：%1").arg(QDir::toNativeSeparators(path));
    if (systemError == EFBIG)
        return QStringLiteral("文件超出系统允许的大小：%1").arg(QDir::toNativeSeparators(path));
    const QFileInfo target(path);
    const QFileInfo folder(target.absolutePath());
    if (!folder.exists())
        return QStringLiteral("文件夹已不存在：%1").arg(QDir::toNativeSeparators(folder.filePath()));
    if (!folder.isWritable() || (target.exists() && !target.isWritable())
        || error == QFileDevice::PermissionsError)
        return QStringLiteral("没有写入权限：%1").arg(QDir::toNativeSeparators(path));
    const QStorageInfo storage(folder.absoluteFilePath());
    // The temporary copy and the old file stand side by side until the rename.
    if (storage.isValid() && storage.bytesAvailable() >= 0 && storage.bytesAvailable() < size + 4096)
        return QStringLiteral("磁盘已满：%1").arg(QDir::toNativeSeparators(path));
    return QStringLiteral("写入失败：%1").arg(QDir::toNativeSeparators(path));
}

QString readFailure(const QString &path)
{
    const QFileInfo target(path);
    if (!QFileInfo::exists(target.absolutePath()))
        return QStringLiteral("文件夹已不存在：%1").arg(QDir::toNativeSeparators(target.absolutePath()));
    if (!target.exists())
        return QStringLiteral("文件不存在：%1").arg(QDir::toNativeSeparators(path));
    if (!target.isReadable())
        return QStringLiteral("没有读取权限：%1").arg(QDir::toNativeSeparators(path));
    return QStringLiteral("读取失败：%1").arg(QDir::toNativeSeparators(path));
}

QString placeOf(const QByteArray &bytes, qint64 offset)
{
    offset = qBound<qint64>(0, offset, bytes.size());
    const QByteArrayView before(bytes.constData(), offset);
    const qint64 line = before.count('\n') + 1;
    const qint64 lineStart = before.lastIndexOf('\n') + 1;
    // Columns count characters, not the bytes of their UTF-8 form.
    const qint64 column = QString::fromUtf8(before.sliced(lineStart)).size() + 1;
    return QStringLiteral("第 %1 行第 %2 列").arg(line).arg(column);
}

} // namespace Plumbrook::FileErrors
