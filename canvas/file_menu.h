#pragma once

#include "components/preview_download.h"
#include "model/design_file.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>

class QAction;
class QMenu;
class QTimer;

namespace Plumbrook {

class DesignDocument;
class MainWindow;

// The "文件" menu: new, open, import of module code, save, save as, recent
// files and the restore of the autosaved design; undo and redo of the design's
// steps; autosave every half minute and on exit, with a marker that tells the
// next start about an unclean exit.
class FileMenu : public QObject
{
    Q_OBJECT

public:
    // Asks for a file name; an empty answer cancels. Tests put their own in.
    using Chooser = std::function<QString(bool forSaving, const QString &suggestion)>;

    FileMenu(MainWindow *main, DesignDocument *document, QObject *parent = nullptr);

    QMenu *menu() const { return mMenu; }
    void setChooser(Chooser chooser) { mChooser = std::move(chooser); }
    void setPreviewFetch(PreviewDownload::Fetch fetch);

    // Per-user folder of the autosave, the running marker and the recent list;
    // by default the application's data location.
    void setDataDir(const QString &dir) { mDataDir = dir; }
    QString dataDir() const;
    QString autosavePath() const;
    QString recoveryPath() const;
    QString markerPath() const;

    QString currentPath() const { return mCurrentPath; }
    QStringList recentFiles() const;

    // Start of the program's run: reports a design an unclean exit left behind,
    // marks this run as running and starts the autosave timer.
    void startSession();
    // "退出软件": the last autosave, waited for like every write before it; then the
    // marker goes, unless a change was left unwritten.
    void endSession();
    // Blocks until every save and autosave asked for is written and reported.
    void finishWrites();

public slots:
    void newDesign();
    void openDesign();
    // "导入代码…": the window that takes module code.
    void openCodeImport();
    // Makes the design the code was generated from the current one, as one
    // step of the history; false, with the design untouched, when nothing of
    // the code could be read. The status line tells how much was.
    bool importCode(const QString &code);
    bool openFile(const QString &path);
    // The file is written off the user-interface thread: these return whether a write
    // was asked for (false for a cancelled dialog); designWritten tells how it went.
    bool save();
    bool saveAs();
    void saveTo(const QString &path);
    bool restoreAutosave();
    // Writes the autosave when the design changed since the last one; false when
    // there was nothing to write.
    bool autosave();
    void undo();
    void redo();

signals:
    // A save or autosave asked for earlier is on disk, or failed (the status line says why).
    void designWritten(const QString &path, bool written);

private:
    void closeModuleSettings();
    void saveFinished(const QString &path, quint64 revision, int generation, bool written,
                      const QString &error);
    void fillRecentMenu();
    void rememberRecent(const QString &path);
    bool loadFile(const QString &path, bool remember);
    DesignFile::Design currentDesign() const;
    void keepStatusOverBackground(const QString &text);

    MainWindow *mMain;
    DesignDocument *mDocument;
    QPointer<QWidget> mCodeImportWindow;
    QMenu *mMenu;
    QMenu *mRecentMenu;
    QTimer *mAutosaveTimer;
    Chooser mChooser;
    QString mDataDir;
    QString mCurrentPath;
    bool mChangedSinceAutosave = false;
    // Counts the designs put in place without a save (new, open, import), so that a
    // save finishing after one of them leaves the new design's name and state alone.
    int mGeneration = 0;
    bool mSessionStarted = false;
};

} // namespace Plumbrook
