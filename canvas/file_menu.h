#pragma once

#include "canvas/preview_download.h"
#include "model/design_file.h"
#include "model/design_file_lock.h"
#include "model/session_store.h"

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <QString>
#include <QStringList>

#include <QHash>

#include <functional>
#include <memory>
#include <optional>

class QAction;
class QMenu;
class QTimer;

namespace Plumbrook {

class DesignDocument;
class MainWindow;

// The "文件" menu: new, open, import of module code, save, save as, recent files and
// the recovery of what earlier runs left; undo and redo of the design's steps; this
// designer's autosave, a second after each change, and the question before a modified
// design is replaced.
class FileMenu : public QObject
{
    Q_OBJECT

public:
    // Asks for a file name; an empty answer cancels. Tests put their own in.
    using Chooser = std::function<QString(bool forSaving, const QString &suggestion)>;
    // Asks the user a question; the answer is the index of the button chosen, -1 for none.
    // Tests put their own in.
    using Asker = std::function<int(const QString &text, const QStringList &buttons)>;

    FileMenu(MainWindow *main, DesignDocument *document, QObject *parent = nullptr);

    QMenu *menu() const { return mMenu; }
    void setChooser(Chooser chooser) { mChooser = std::move(chooser); }
    void setAsker(Asker asker) { mAsker = std::move(asker); }
    void setPreviewFetch(PreviewDownload::Fetch fetch);

    // Per-user folder of the autosaves and the recent list; by default the
    // application's data location.
    void setDataDir(const QString &dir) { mDataDir = dir; }
    QString dataDir() const;
    // This designer's own autosave; empty before the session started.
    QString autosavePath() const;
    SessionStore *session() const { return mSession.get(); }

    QString currentPath() const { return mCurrentPath; }
    // The design's file name with "*" while it is modified, as the title strip shows it.
    QString titleText() const;
    QStringList recentFiles() const;
    QWidget *recoveryWindow() const { return mRecoveryWindow; }
    // The progress window of a design being read off this thread, with "取消".
    QWidget *openingProgress() const { return mOpeningProgress; }

    // Start of the program's run: takes this designer's autosave folder, puts back the
    // design the last "退出软件" left unless `fileToOpen` is to be opened instead, and
    // lists what crashed runs left in the recovery window.
    void startSession(const QString &fileToOpen = {});
    // "退出软件": the design's last autosave and state are handed to the files lane; the
    // window does not wait for them.
    void endSession();
    // Blocks until every save and autosave asked for is written and reported.
    void finishWrites();
    // Waits at most `msecs` for the files lane; false when a write is still stuck.
    bool finishWritesWithin(int msecs);

public slots:
    void newDesign();
    void openDesign();
    // "导入代码…": the window that takes module code.
    void openCodeImport();
    // Makes the design the code was generated from the current one, as one
    // step of the history; false, with the design untouched, when nothing of
    // the code could be read. The status line tells how much was.
    bool importCode(const QString &code);
    // Asks first while the design is modified.
    bool openFile(const QString &path);
    // The file is written off the user-interface thread: these return whether a write
    // was asked for (false for a cancelled dialog); designWritten tells how it went.
    bool save();
    bool saveAs();
    void saveTo(const QString &path);
    // "恢复自动保存": the recovery window with what earlier runs left; false for none.
    bool restoreAutosave();
    // Writes the autosave when the design changed since the last one; false when
    // there was nothing to write or the last one is still on its way.
    bool autosave();
    // Puts an earlier run's design in place of this one ("恢复"), with its file name and
    // modified state; its folder goes once it is in place.
    bool recover(const SessionStore::Leftover &leftover);
    // Writes an earlier run's design to a file the user chooses ("另存为…"); its folder
    // goes once the file is written.
    void saveLeftoverAs(const SessionStore::Leftover &leftover);
    void undo();
    void redo();

signals:
    // A save or autosave asked for earlier is on disk, or failed (the status line says why).
    void designWritten(const QString &path, bool written);

private:
    enum Answer { Save, DontSave, Cancel };
    // Runs `proceed` at once for an unmodified design; else asks "保存 / 不保存 / 取消" and
    // runs it after a successful save, at once, or never.
    void proceedUnlessKept(const std::function<void()> &proceed);
    int ask(const QString &text, const QStringList &buttons);
    void saveThen(const std::function<void()> &proceed);
    void writeDesign(const QString &path, const std::function<void()> &then);
    bool takeLock(const QString &path, bool forSaving);
    void setCurrentPath(const QString &path);
    void updateTitle();
    void writeState(bool exited);
    void openRecoveryWindow(const QList<SessionStore::Leftover> &leftovers);
    void doNewDesign();
    bool doOpenFile(const QString &path);
    // Whether the file is this designer's (true) or opened as a copy (false); nothing
    // when the user keeps away from a file another designer holds.
    std::optional<bool> lockForOpening(const QString &path);
    // On the files lane when `afterWrites`, so that the writes asked for before land first.
    void openInBackground(const QString &path, bool locked, bool afterWrites);
    void finishOpening(const QString &path, const DesignFile::Design &design, bool locked);
    void closeModuleSettings();
    void saveFinished(const QString &path, quint64 revision, int generation, bool written,
                      const QString &error);
    void fillRecentMenu();
    void rememberRecent(const QString &path);
    void loadDesign(const DesignFile::Design &design);
    void showBuilding();
    DesignFile::Design currentDesign() const;
    void keepStatusOverBackground(const QString &text);

    MainWindow *mMain;
    DesignDocument *mDocument;
    QPointer<QWidget> mCodeImportWindow;
    QMenu *mMenu;
    QMenu *mRecentMenu;
    QTimer *mAutosaveTimer;
    Chooser mChooser;
    Asker mAsker;
    QString mDataDir;
    QString mCurrentPath;
    std::unique_ptr<SessionStore> mSession;
    DesignFileLock mLock;
    QPointer<QWidget> mRecoveryWindow;
    QPointer<QWidget> mOpeningProgress;
    // The revision the last autosave holds; an autosave still on its way holds the next.
    quint64 mAutosavedRevision = 0;
    bool mAutosaveWriting = false;
    bool mStateChanged = true;
    // Recent files as this run knows them; the files lane writes them.
    mutable std::optional<QStringList> mRecent;
    // Saves to each file still on their way: a file they change has not changed elsewhere.
    QHash<QString, int> mSavesOnTheirWay;
    // Counts the designs put in place without a save (new, open, import), so that a
    // save finishing after one of them leaves the new design's name and state alone.
    int mGeneration = 0;
    bool mSessionStarted = false;
};

} // namespace Plumbrook
