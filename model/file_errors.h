#pragma once

#include <QFileDevice>
#include <QString>

namespace Plumbrook {

// Names, in the user's language, why a file could not be written or read.
namespace FileErrors {

// After a failed write of `size` bytes to `path`: a full disk, a folder without write
// permission, a folder that is gone, or the system's own words.
// `systemError` is the errno the failed call left, 0 for none known.
QString writeFailure(const QString &path, qint64 size, QFileDevice::FileError error, int systemError = 0);
// After a failed open of `path` for reading.
QString readFailure(const QString &path);
// The line and column (from 1) of a byte offset into a text.
QString placeOf(const QByteArray &bytes, qint64 offset);

} // namespace FileErrors
} // namespace Plumbrook
