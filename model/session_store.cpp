#include "model/session_store.h"

#include "model/design_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QUuid>

#include <algorithm>

namespace Plumbrook {

namespace {

const QString kLockName = QStringLiteral("lock");
const QString kAutosaveName = QStringLiteral("autosave.plbd");
const QString kStateName = QStringLiteral("state.json");

} // namespace

SessionStore::SessionStore(const QString &dataDir)
    : mSessionsDir(dataDir + QStringLiteral("/sessions"))
{
}

SessionStore::~SessionStore() = default;

bool SessionStore::begin()
{
    if (mLock)
        return true;
    const QString folder = mSessionsDir + u'/' + QUuid::createUuid().toString(QUuid::WithoutBraces);
    if (!QDir().mkpath(folder))
        return false;
    auto lock = std::make_unique<QLockFile>(folder + u'/' + kLockName);
    // Only a designer that is gone gives its folder up, however long it runs.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return false;
    mFolder = folder;
    mLock = std::move(lock);
    return true;
}

bool SessionStore::isOpen() const
{
    return bool(mLock);
}

QString SessionStore::autosavePath() const
{
    return mFolder + u'/' + kAutosaveName;
}

QString SessionStore::statePath() const
{
    return mFolder + u'/' + kStateName;
}

QByteArray SessionStore::stateBytes(const QString &designPath, bool modified, bool exited)
{
    QJsonObject state;
    state.insert(QStringLiteral("path"), designPath);
    state.insert(QStringLiteral("modified"), modified);
    state.insert(QStringLiteral("exited"), exited);
    return QJsonDocument(state).toJson(QJsonDocument::Compact);
}

SessionStore::Leftover SessionStore::readLeftover(const QString &folder)
{
    Leftover leftover;
    leftover.folder = folder;
    leftover.autosavePath = folder + u'/' + kAutosaveName;
    QFile stateFile(folder + u'/' + kStateName);
    if (stateFile.open(QIODevice::ReadOnly)) {
        const QJsonObject state = QJsonDocument::fromJson(stateFile.readAll()).object();
        leftover.designPath = state.value(QStringLiteral("path")).toString();
        leftover.modified = state.value(QStringLiteral("modified")).toBool();
        leftover.exited = state.value(QStringLiteral("exited")).toBool();
    }
    const QFileInfo autosave(leftover.autosavePath);
    leftover.time = autosave.lastModified();
    if (const auto design = DesignFile::readFile(leftover.autosavePath))
        leftover.components = int(design->rows.size()) - 1;
    return leftover;
}

QList<SessionStore::Leftover> SessionStore::leftovers() const
{
    QList<Leftover> found;
    const QFileInfoList folders = QDir(mSessionsDir).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QFileInfo &info : folders) {
        const QString folder = info.absoluteFilePath();
        if (folder == QFileInfo(mFolder).absoluteFilePath())
            continue;
        QLockFile lock(folder + u'/' + kLockName);
        lock.setStaleLockTime(0);
        // A lock that can be taken belongs to no running designer; it is let go at once,
        // so that the folder stays as it was until the user decides.
        if (!lock.tryLock(0))
            continue;
        lock.unlock();
        if (!QFile::exists(folder + u'/' + kAutosaveName)) {
            // Nothing was ever autosaved there: nothing to offer.
            QDir(folder).removeRecursively();
            continue;
        }
        found.append(readLeftover(folder));
    }
    std::sort(found.begin(), found.end(), [](const Leftover &a, const Leftover &b) { return a.time > b.time; });
    return found;
}

bool SessionStore::discard(const Leftover &leftover)
{
    return QDir(leftover.folder).removeRecursively();
}

} // namespace Plumbrook
