#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include <memory>

class QLockFile;

namespace Plumbrook {

// The autosave folder of one running designer, locked while it runs, and the folders
// earlier runs left behind, which stay until the user decides what becomes of them.
class SessionStore
{
public:
    // What an earlier run left: its last autosave and the state of the design in it.
    struct Leftover
    {
        QString folder;
        QString autosavePath;
        QString designPath;      // the design file it was editing; empty for none
        bool modified = false;   // changes not in that file
        bool exited = false;     // left through "退出软件", not a crash
        QDateTime time;          // of the last autosave
        int components = -1;     // -1 when the autosave cannot be read
    };

    explicit SessionStore(const QString &dataDir);
    ~SessionStore();

    // Makes and locks this run's own folder; false when none can be made.
    bool begin();
    bool isOpen() const;
    QString folder() const { return mFolder; }
    QString autosavePath() const;
    QString statePath() const;

    // The folders whose designer is gone, newest first; this run's and running ones' never.
    QList<Leftover> leftovers() const;
    static Leftover readLeftover(const QString &folder);
    // The leftover's folder goes with everything in it.
    static bool discard(const Leftover &leftover);

    // The state file's bytes for a design: its file, whether it is modified, whether the
    // designer left through "退出软件".
    static QByteArray stateBytes(const QString &designPath, bool modified, bool exited);

private:
    QString mSessionsDir;
    QString mFolder;
    std::unique_ptr<QLockFile> mLock;
};

} // namespace Plumbrook
