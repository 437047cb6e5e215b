#pragma once

#include <QDateTime>
#include <QString>

#include <memory>

class QLockFile;

namespace Plumbrook {

// The lock beside the design file a designer has open, so that a second designer does
// not edit it too, and the file's stamp, so that a save notices a change made elsewhere.
class DesignFileLock
{
public:
    DesignFileLock();
    ~DesignFileLock();

    // Who holds a lock: the other designer's process and machine.
    struct Holder
    {
        qint64 pid = 0;
        QString host;
    };

    // Takes the lock of `path` in place of the one held; false, with the one held kept
    // and `holder` filled, when another designer holds it.
    bool take(const QString &path, Holder *holder = nullptr);
    void release();
    QString path() const { return mPath; }
    static QString lockPathOf(const QString &path);

    // The file as it is on disk now is the one this designer read or wrote.
    void stamp();
    // The file changed on disk since the last stamp (written, replaced or removed elsewhere).
    bool changedOnDisk() const;

private:
    QString mPath;
    std::unique_ptr<QLockFile> mLock;
    QDateTime mModified;
    qint64 mSize = -1;
};

} // namespace Plumbrook
