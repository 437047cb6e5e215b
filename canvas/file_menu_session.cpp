#include "canvas/file_menu.h"

#include "canvas/main_window.h"
#include "canvas/recovery_window.h"
#include "model/background_work.h"
#include "model/design_document.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTimer>
#include <QUndoStack>

namespace Plumbrook {

namespace {

// What an interrupted write leaves: the temporary copy beside the file it was to replace.
bool isStrayTemporary(const QFileInfo &file)
{
    static const QRegularExpression name(QStringLiteral(R"(^.+\.(plbd|json|ini)\.[A-Za-z0-9]{6}$)"));
    return file.isFile() && name.match(file.fileName()).hasMatch();
}

void removeStrayTemporaries(const QString &folder, const QDateTime &olderThan)
{
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden);
    for (const QFileInfo &file : files) {
        if (isStrayTemporary(file) && file.lastModified() < olderThan)
            QFile::remove(file.absoluteFilePath());
    }
}

struct Outcome
{
    bool written = true;
    QString error;
};

} // namespace

QString FileMenu::autosavePath() const
{
    return mSession && mSession->isOpen() ? mSession->autosavePath() : QString();
}

void FileMenu::startSession(const QString &fileToOpen)
{
    mSessionStarted = true;
    mSession = std::make_unique<SessionStore>(dataDir());
    if (!mSession->begin())
        mMain->showStatus(QStringLiteral("无法自动保存：无法写入 ") + QDir::toNativeSeparators(dataDir()));
    QList<SessionStore::Leftover> leftovers = mSession->leftovers();
    // Another designer writing its recent list right now keeps its temporary file.
    removeStrayTemporaries(dataDir(), QDateTime::currentDateTime().addSecs(-60));
    for (const SessionStore::Leftover &leftover : std::as_const(leftovers))
        removeStrayTemporaries(leftover.folder, QDateTime::currentDateTime().addSecs(1));

    // The design the last "退出软件" left comes back as it was, unless a file was asked for.
    for (qsizetype i = leftovers.size() - 1; i >= 0; --i) {
        const SessionStore::Leftover &left = leftovers.at(i);
        // A designer left with an empty, untouched design: nothing to bring back.
        if (left.exited && !left.modified && left.designPath.isEmpty() && left.components == 0) {
            SessionStore::discard(left);
            leftovers.removeAt(i);
        }
    }
    if (fileToOpen.isEmpty()) {
        for (qsizetype i = 0; i < leftovers.size(); ++i) {
            if (leftovers.at(i).exited && leftovers.at(i).components >= 0) {
                if (recover(leftovers.at(i)))
                    leftovers.removeAt(i);
                break;
            }
        }
    }
    if (!leftovers.isEmpty())
        openRecoveryWindow(leftovers);
    mAutosavedRevision = mDocument->revision();
    mStateChanged = true;
    mAutosaveTimer->start();
}

void FileMenu::openRecoveryWindow(const QList<SessionStore::Leftover> &leftovers)
{
    if (mRecoveryWindow)
        mRecoveryWindow->close();
    auto *window = new RecoveryWindow(mMain, this, leftovers);
    window->move(mMain->frameGeometry().center() - window->rect().center());
    window->show();
    window->raise();
    mRecoveryWindow = window;
    mMain->showStatus(QStringLiteral("上次未正常退出：有 %1 个设计可以恢复").arg(leftovers.size()));
}

bool FileMenu::restoreAutosave()
{
    const QList<SessionStore::Leftover> leftovers =
        mSession ? mSession->leftovers() : SessionStore(dataDir()).leftovers();
    if (leftovers.isEmpty()) {
        mMain->showStatus(QStringLiteral("没有自动保存的设计"));
        return false;
    }
    openRecoveryWindow(leftovers);
    return true;
}

bool FileMenu::recover(const SessionStore::Leftover &leftover)
{
    // Run later when the user chose to save first: nothing here may be referred to then.
    auto recovered = std::make_shared<bool>(false);
    proceedUnlessKept([this, leftover, recovered] {
        QString error;
        const std::optional<DesignFile::Design> design = DesignFile::readFile(leftover.autosavePath, &error);
        if (!design) {
            mMain->showStatus(QStringLiteral("无法恢复：") + error);
            return;
        }
        closeModuleSettings();
        loadDesign(*design);
        // The file it came from is its file again when this designer can have it.
        const bool ownFile = !leftover.designPath.isEmpty() && mLock.take(leftover.designPath);
        setCurrentPath(ownFile ? leftover.designPath : QString());
        if (leftover.modified || !ownFile)
            mDocument->undoStack()->resetClean();
        updateTitle();
        SessionStore::discard(leftover);
        mMain->showStatus(QStringLiteral("已恢复：") + titleText());
        *recovered = true;
    });
    return *recovered;
}

void FileMenu::saveLeftoverAs(const SessionStore::Leftover &leftover)
{
    QString path = mChooser(true, leftover.designPath.isEmpty() ? QStringLiteral("设计.plbd") : leftover.designPath);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + DesignFile::kSuffix;
    const QString source = leftover.autosavePath;
    BackgroundWork::run(
        BackgroundWork::Lane::Files, this,
        [source, path] {
            Outcome outcome;
            QFile file(source);
            outcome.written = file.open(QIODevice::ReadOnly)
                && DesignFile::writeBytes(path, file.readAll(), &outcome.error);
            return outcome;
        },
        [this, leftover, path](const Outcome &outcome) {
            if (!outcome.written) {
                mMain->showStatus(QStringLiteral("文件无法保存：") + outcome.error);
            } else {
                SessionStore::discard(leftover);
                rememberRecent(path);
                mMain->showStatus(QStringLiteral("已保存：") + QFileInfo(path).fileName());
            }
            emit designWritten(path, outcome.written);
        });
}

bool FileMenu::autosave()
{
    if (!mSession || !mSession->isOpen())
        return false;
    const quint64 revision = mDocument->revision();
    const bool designChanged = revision != mAutosavedRevision;
    if (!designChanged && !mStateChanged)
        return false;
    if (mAutosaveWriting) {
        // The last one is still on its way: a slow or stuck disk. The window goes on.
        mMain->showStatus(QStringLiteral("正在保存…"));
        return false;
    }
    mAutosaveWriting = true;
    mStateChanged = false;
    const QString path = mSession->autosavePath();
    const QString statePath = mSession->statePath();
    const QByteArray state = SessionStore::stateBytes(mCurrentPath, mDocument->isModified(), false);
    std::optional<DesignFile::Design> design;
    if (designChanged)
        design = currentDesign();
    BackgroundWork::run(
        BackgroundWork::Lane::Files, this,
        [path, statePath, state, design = std::move(design)] {
            Outcome outcome;
            if (design)
                outcome.written = DesignFile::writeFile(path, *design, &outcome.error);
            if (outcome.written)
                outcome.written = DesignFile::writeBytes(statePath, state, &outcome.error);
            return outcome;
        },
        [this, path, revision, designChanged](const Outcome &outcome) {
            mAutosaveWriting = false;
            if (outcome.written) {
                if (designChanged)
                    mAutosavedRevision = revision;
                if (mMain->statusText() == QStringLiteral("正在保存…"))
                    mMain->showStatus(QStringLiteral("已自动保存"));
            } else {
                mStateChanged = true;
                mMain->showStatus(QStringLiteral("自动保存失败：") + outcome.error);
            }
            emit designWritten(path, outcome.written);
        });
    return true;
}

void FileMenu::endSession()
{
    if (!mSessionStarted)
        return;
    mSessionStarted = false;
    mAutosaveTimer->stop();
    if (!mSession || !mSession->isOpen())
        return;
    // Queued behind whatever is on its way; nothing here waits for the disk.
    const QString path = mSession->autosavePath();
    const QString statePath = mSession->statePath();
    const QByteArray state = SessionStore::stateBytes(mCurrentPath, mDocument->isModified(), true);
    std::optional<DesignFile::Design> design;
    if (mDocument->revision() != mAutosavedRevision || !QFileInfo::exists(path))
        design = currentDesign();
    BackgroundWork::start(BackgroundWork::Lane::Files, [path, statePath, state, design = std::move(design)] {
        if (design && !DesignFile::writeFile(path, *design))
            return;
        DesignFile::writeBytes(statePath, state);
    });
}

void FileMenu::finishWrites()
{
    DesignFile::finishWrites();
}

bool FileMenu::finishWritesWithin(int msecs)
{
    return BackgroundWork::waitForLane(BackgroundWork::Lane::Files, msecs);
}

} // namespace Plumbrook
