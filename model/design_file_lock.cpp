#include "model/design_file_lock.h"

#include <QFileInfo>
#include <QLockFile>

namespace Plumbrook {

DesignFileLock::DesignFileLock() = default;
DesignFileLock::~DesignFileLock() = default;

QString DesignFileLock::lockPathOf(const QString &path)
{
    const QFileInfo info(path);
    return info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".lock");
}

bool DesignFileLock::take(const QString &path, Holder *holder)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (mLock && absolute == mPath)
        return true;
    auto lock = std::make_unique<QLockFile>(lockPathOf(absolute));
    // Only a designer that is gone gives a file up, however long it has it open.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        if (lock->error() == QLockFile::LockFailedError) {
            if (holder) {
                QString application;
                lock->getLockInfo(&holder->pid, &holder->host, &application);
            }
            return false;
        }
        // A folder that takes no lock (read-only media) cannot be edited by two
        // designers through it either; the file opens without one.
        lock.reset();
    }
    mLock = std::move(lock);
    mPath = absolute;
    stamp();
    return true;
}

void DesignFileLock::release()
{
    mLock.reset();
    mPath.clear();
    mModified = {};
    mSize = -1;
}

void DesignFileLock::stamp()
{
    const QFileInfo info(mPath);
    mModified = info.exists() ? info.lastModified() : QDateTime();
    mSize = info.exists() ? info.size() : -1;
}

bool DesignFileLock::changedOnDisk() const
{
    if (mPath.isEmpty())
        return false;
    const QFileInfo info(mPath);
    if (!info.exists())
        return mSize >= 0;
    return info.lastModified() != mModified || info.size() != mSize;
}

} // namespace Plumbrook
