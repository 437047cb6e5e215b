#include "canvas/file_menu.h"

#include "canvas/code_import_window.h"
#include "canvas/design_canvas.h"
#include "canvas/canvas_builder.h"
#include "canvas/design_loader.h"
#include "canvas/main_window.h"
#include "canvas/module_background_layer.h"
#include "canvas/recovery_window.h"
#include "model/background_work.h"
#include "model/thread_handoff.h"
#include "codegen/code_reader.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/design_file.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>
#include <QUndoStack>

#include <memory>

namespace Plumbrook {

namespace {

constexpr int kMaxRecent = 8;
const QString kRecentKey = QStringLiteral("recentFiles");
const QString kProductTitle = QStringLiteral("Plumbrook自由布局");

constexpr int kAutosaveIntervalMs = 1000;
constexpr qint64 kBackgroundOpenBytes = 2 * 1024 * 1024;
constexpr int kExitWaitMs = 800;

QString fileNameOf(const QString &path)
{
    return QFileInfo(path).fileName();
}

template<typename Receiver, typename Slot>
QAction *addMenuAction(QMenu *menu, QWidget *window, Receiver *receiver, const QString &text,
                              const QKeySequence &shortcut, Slot slot)
{
    QAction *action = menu->addAction(text);
    action->setObjectName(text);
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
        // The window carries the action too, so the shortcut works with the menu closed.
        window->addAction(action);
    }
    QObject::connect(action, &QAction::triggered, receiver, slot);
    return action;
}

} // namespace

FileMenu::FileMenu(MainWindow *main, DesignDocument *document, QObject *parent)
    : QObject(parent)
    , mMain(main)
    , mDocument(document)
    , mMenu(new QMenu(main))
    , mAutosaveTimer(new QTimer(this))
{
    mMenu->setObjectName(QStringLiteral("文件"));
    addMenuAction(mMenu, mMain, this, QStringLiteral("新建"), QKeySequence(QStringLiteral("Ctrl+N")), &FileMenu::newDesign);
    addMenuAction(mMenu, mMain, this, QStringLiteral("打开…"), QKeySequence(QStringLiteral("Ctrl+O")), &FileMenu::openDesign);
    addMenuAction(mMenu, mMain, this, QStringLiteral("导入代码…"), {}, &FileMenu::openCodeImport);
    addMenuAction(mMenu, mMain, this, QStringLiteral("保存"), QKeySequence(QStringLiteral("Ctrl+S")), [this] { save(); });
    addMenuAction(mMenu, mMain, this, QStringLiteral("另存为…"), QKeySequence(QStringLiteral("Ctrl+Shift+S")), [this] { saveAs(); });
    mRecentMenu = mMenu->addMenu(QStringLiteral("最近打开"));
    mRecentMenu->setObjectName(QStringLiteral("最近打开"));
    connect(mRecentMenu, &QMenu::aboutToShow, this, &FileMenu::fillRecentMenu);
    addMenuAction(mMenu, mMain, this, QStringLiteral("恢复自动保存"), {}, [this] { restoreAutosave(); });

    // The entries name the step they undo or redo. The window carries the keys too,
    // so that they work with the menu closed and tell when there is nothing to do.
    QUndoStack *stack = mDocument->undoStack();
    const QList<QKeySequence> undoKeys{QKeySequence(QStringLiteral("Ctrl+Z"))};
    const QList<QKeySequence> redoKeys{QKeySequence(QStringLiteral("Ctrl+Y")),
                                       QKeySequence(QStringLiteral("Ctrl+Shift+Z"))};
    QAction *undoEntry = stack->createUndoAction(mMenu, QStringLiteral("撤销"));
    undoEntry->setShortcuts(undoKeys);
    QAction *redoEntry = stack->createRedoAction(mMenu, QStringLiteral("重做"));
    redoEntry->setShortcuts(redoKeys);
    mMenu->addActions({undoEntry, redoEntry});
    for (const auto &[name, keys, slot] : {std::tuple{QStringLiteral("撤销"), undoKeys, &FileMenu::undo},
                                           std::tuple{QStringLiteral("重做"), redoKeys, &FileMenu::redo}}) {
        auto *action = new QAction(name, mMain);
        action->setObjectName(name);
        action->setShortcuts(keys);
        connect(action, &QAction::triggered, this, slot);
        mMain->addAction(action);
    }
    auto titleFollows = connect(stack, &QUndoStack::cleanChanged, this, [this] {
        mStateChanged = true;
        updateTitle();
    });
    // The stack reports itself clean once more as the window is taken apart.
    connect(mDocument, &QObject::destroyed, this, [titleFollows] { disconnect(titleFollows); });

    // A change is in the autosave within two seconds, and the design is written at most
    // once a second however fast it changes.
    mAutosaveTimer->setObjectName(QStringLiteral("自动保存"));
    mAutosaveTimer->setInterval(kAutosaveIntervalMs);
    connect(mAutosaveTimer, &QTimer::timeout, this, [this] { autosave(); });
    connect(mMain, &MainWindow::exitRequested, this, &FileMenu::endSession);
    // However the event loop ends (a logout ends it without "退出软件"), the files asked
    // for go to disk before the window and the workers go; a stuck one is not waited for,
    // and the next start recovers the design from the last autosave.
    if (QCoreApplication *app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, [this] { finishWritesWithin(kExitWaitMs); });

    mAsker = [this](const QString &text, const QStringList &buttons) {
        QMessageBox box(QMessageBox::Question, kProductTitle, text, QMessageBox::NoButton, mMain);
        // Plain text: a file name is shown as it is, never read as markup.
        box.setTextFormat(Qt::PlainText);
        QList<QAbstractButton *> added;
        for (const QString &caption : buttons)
            added.append(box.addButton(caption, added.isEmpty() ? QMessageBox::AcceptRole : QMessageBox::ActionRole));
        box.exec();
        return int(added.indexOf(box.clickedButton()));
    };
    updateTitle();

    mChooser = [this](bool forSaving, const QString &suggestion) {
        const QString filter = QStringLiteral("设计文件 (*.plbd)");
        return forSaving ? QFileDialog::getSaveFileName(mMain, QStringLiteral("保存设计"), suggestion, filter)
                         : QFileDialog::getOpenFileName(mMain, QStringLiteral("打开设计"), suggestion, filter);
    };
}

void FileMenu::setPreviewFetch(PreviewDownload::Fetch fetch)
{
    mMain->canvas()->setPreviewFetch(std::move(fetch));
}

QString FileMenu::dataDir() const
{
    const QString dir = mDataDir.isEmpty()
        ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
        : mDataDir;
    QDir().mkpath(dir);
    return dir;
}

QStringList FileMenu::recentFiles() const
{
    if (!mRecent) {
        QSettings settings(dataDir() + QStringLiteral("/recent.ini"), QSettings::IniFormat);
        mRecent = settings.value(kRecentKey).toStringList().mid(0, kMaxRecent);
    }
    return *mRecent;
}

void FileMenu::rememberRecent(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList list = recentFiles();
    list.removeAll(absolute);
    list.prepend(absolute);
    list = list.mid(0, kMaxRecent);
    mRecent = list;
    const QString file = dataDir() + QStringLiteral("/recent.ini");
    BackgroundWork::start(BackgroundWork::Lane::Files, [file, list] {
        // QSettings keeps its parsed files in one cache for all threads, under Qt's own lock.
        ThreadHandoff::ignoreQt();
        {
            QSettings settings(file, QSettings::IniFormat);
            settings.setValue(kRecentKey, list);
        }
        ThreadHandoff::watchAgain();
    });
}

void FileMenu::fillRecentMenu()
{
    mRecentMenu->clear();
    const QStringList list = recentFiles();
    for (const QString &path : list)
        mRecentMenu->addAction(path, this, [this, path] { openFile(path); });
    mRecentMenu->setEnabled(true);
    if (list.isEmpty())
        mRecentMenu->addAction(QStringLiteral("（无）"))->setEnabled(false);
}

QString FileMenu::titleText() const
{
    const QString name = mCurrentPath.isEmpty() ? QStringLiteral("未命名") : fileNameOf(mCurrentPath);
    return mDocument->isModified() ? name + u'*' : name;
}

void FileMenu::updateTitle()
{
    const QString title = titleText();
    if (auto *label = mMain->findChild<QLabel *>(QStringLiteral("标签_文件名")))
        label->setText(title);
    mMain->setWindowTitle(title + QStringLiteral(" - ") + kProductTitle);
}

void FileMenu::setCurrentPath(const QString &path)
{
    if (mCurrentPath != path)
        mStateChanged = true;
    mCurrentPath = path;
    if (path.isEmpty())
        mLock.release();
    updateTitle();
}

int FileMenu::ask(const QString &text, const QStringList &buttons)
{
    return mAsker ? mAsker(text, buttons) : -1;
}

void FileMenu::proceedUnlessKept(const std::function<void()> &proceed)
{
    if (!mDocument->isModified()) {
        proceed();
        return;
    }
    const QString name = mCurrentPath.isEmpty() ? QStringLiteral("未命名的设计") : fileNameOf(mCurrentPath);
    const int answer = ask(QStringLiteral("“%1”有未保存的修改，是否保存？").arg(name),
                           {QStringLiteral("保存"), QStringLiteral("不保存"), QStringLiteral("取消")});
    if (answer == Save)
        saveThen(proceed);
    else if (answer == DontSave)
        proceed();
}

void FileMenu::saveThen(const std::function<void()> &proceed)
{
    QString path = mCurrentPath;
    if (path.isEmpty()) {
        path = mChooser(true, QStringLiteral("设计.plbd"));
        if (path.isEmpty())
            return;
        if (QFileInfo(path).suffix().isEmpty())
            path += QLatin1Char('.') + DesignFile::kSuffix;
    }
    // The design goes only once its file holds it; a failed save keeps it here.
    writeDesign(path, proceed);
}

void FileMenu::closeModuleSettings()
{
    // Its fields would show a design that is no longer there, and confirming would write them back.
    if (mMain->moduleSettingsWindow)
        mMain->moduleSettingsWindow->close();
}

void FileMenu::newDesign()
{
    proceedUnlessKept([this] { doNewDesign(); });
}

void FileMenu::doNewDesign()
{
    closeModuleSettings();
    DesignFile::Design design;
    design.rows = {ComponentTable::initialModuleRecord()};
    loadDesign(design);
    setCurrentPath({});
    mMain->showStatus(QStringLiteral("已新建设计"));
}

void FileMenu::openDesign()
{
    proceedUnlessKept([this] {
        const QString path = mChooser(false, QFileInfo(mCurrentPath).absolutePath());
        if (!path.isEmpty())
            doOpenFile(path);
    });
}

bool FileMenu::openFile(const QString &path)
{
    // Run later when the user chose to save first: nothing here may be referred to then.
    auto opened = std::make_shared<bool>(false);
    proceedUnlessKept([this, path, opened] { *opened = doOpenFile(path); });
    return *opened;
}

bool FileMenu::doOpenFile(const QString &path)
{
    // A large design is read and parsed off this thread, with a progress window; one
    // this designer is still saving is read once the save is in it, the window free meanwhile.
    const bool beingSaved = mSavesOnTheirWay.value(QFileInfo(path).absoluteFilePath()) > 0;
    if (beingSaved || QFileInfo(path).size() > kBackgroundOpenBytes) {
        const std::optional<bool> locked = lockForOpening(path);
        if (!locked)
            return false;
        openInBackground(path, *locked, beingSaved);
        return true;
    }
    QString error;
    const std::optional<DesignFile::Design> design = DesignFile::readFile(path, &error);
    if (!design) {
        mMain->showStatus(QStringLiteral("文件无法读取：") + error);
        return false;
    }
    const std::optional<bool> locked = lockForOpening(path);
    if (!locked)
        return false;
    finishOpening(path, *design, *locked);
    return true;
}

std::optional<bool> FileMenu::lockForOpening(const QString &path)
{
    DesignFileLock::Holder holder;
    if (mLock.take(path, &holder))
        return true;
    const int answer = ask(QStringLiteral("“%1”正由另一个设计器编辑（进程 %2，计算机 %3）。\n"
                                          "是否打开它的只读副本？")
                               .arg(fileNameOf(path)).arg(holder.pid).arg(holder.host),
                           {QStringLiteral("打开只读副本"), QStringLiteral("取消")});
    if (answer != 0) {
        mMain->showStatus(QStringLiteral("未打开：“%1”正由另一个设计器编辑").arg(fileNameOf(path)));
        return std::nullopt;
    }
    return false;
}

void FileMenu::finishOpening(const QString &path, const DesignFile::Design &design, bool locked)
{
    closeModuleSettings();
    loadDesign(design);
    if (locked) {
        setCurrentPath(path);
        rememberRecent(path);
        mMain->showStatus(QStringLiteral("已打开：") + fileNameOf(path));
    } else {
        // A copy of no file: "保存" asks for a file of its own.
        setCurrentPath({});
        mMain->showStatus(QStringLiteral("已打开只读副本：") + fileNameOf(path));
    }
}

void FileMenu::loadDesign(const DesignFile::Design &design)
{
    DesignLoader::load(mMain->canvas(), design);
    ++mGeneration;
    mStateChanged = true;
    updateTitle();
    showBuilding();
}

void FileMenu::showBuilding()
{
    // A large design's objects come onto the canvas a slice at a time; until they are
    // all there the window says how far it is, with nothing left to cancel.
    CanvasBuilder *builder = CanvasBuilder::of(mMain->canvas());
    if (!builder->isBuilding())
        return;
    if (mOpeningProgress)
        mOpeningProgress->close();
    auto *progress = new QProgressDialog(QStringLiteral("正在显示组件…"), QString(), 0, builder->totalCount(), mMain);
    progress->setObjectName(QStringLiteral("正在显示"));
    progress->setAttribute(Qt::WA_DeleteOnClose);
    progress->setCancelButton(nullptr);
    progress->setMinimumDuration(0);
    progress->setAutoClose(false);
    progress->setValue(builder->builtCount());
    progress->show();
    mOpeningProgress = progress;
    connect(builder, &CanvasBuilder::progressed, progress, [progress](int built, int total) {
        progress->setMaximum(total);
        progress->setValue(built);
    });
    connect(builder, &CanvasBuilder::finished, progress, &QWidget::close);
}

void FileMenu::openCodeImport()
{
    if (!mCodeImportWindow) {
        mCodeImportWindow = new CodeImportWindow(mMain);
        mCodeImportWindow->move(mMain->frameGeometry().center() - mCodeImportWindow->rect().center());
    }
    mCodeImportWindow->show();
    mCodeImportWindow->raise();
    mCodeImportWindow->activateWindow();
}

bool FileMenu::importCode(const QString &code)
{
    const CodeImport imported = CodeReader::read(code);
    if (!imported.recognisedAnything()) {
        mMain->showStatus(imported.summary());
        return false;
    }
    bool done = false;
    // Undo brings the design before an import back, so the import need not wait for
    // the save the user asked for: that save writes the design as it stood.
    auto proceed = [this, &imported, &done] {
        mMain->showStatus(imported.summary());
        closeModuleSettings();
        // One step, so that undo brings the design before it back.
        mDocument->replaceDesign(QStringLiteral("导入代码"), imported.design);
        // The code came from no design file: "保存" asks for one.
        ++mGeneration;
        setCurrentPath({});
        keepStatusOverBackground(imported.summary());
        done = true;
    };
    if (!mDocument->isModified()) {
        proceed();
        return done;
    }
    const int answer = ask(QStringLiteral("当前设计有未保存的修改，是否先保存？"),
                           {QStringLiteral("保存"), QStringLiteral("不保存"), QStringLiteral("取消")});
    if (answer == Save) {
        if (mCurrentPath.isEmpty() && !saveAs())
            return false;
        if (!mCurrentPath.isEmpty() && !save())
            return false;
        proceed();
    } else if (answer == DontSave) {
        proceed();
    }
    return done;
}

void FileMenu::keepStatusOverBackground(const QString &text)
{
    // The background layer reports on its own after the design is in place;
    // what the import read is what the user has to see.
    mMain->showStatus(text);
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = connect(mMain->canvas(), &DesignCanvas::statusMessage, this, [this, text, connection] {
        mMain->showStatus(text);
        QTimer::singleShot(0, this, [connection] {
            if (ModuleBackgroundLayer::runningWorkers() == 0)
                disconnect(*connection);
        });
    });
}

DesignFile::Design FileMenu::currentDesign() const
{
    return mDocument->design();
}

bool FileMenu::save()
{
    if (mCurrentPath.isEmpty())
        return saveAs();
    saveTo(mCurrentPath);
    return true;
}

bool FileMenu::saveAs()
{
    QString path = mChooser(true, mCurrentPath.isEmpty() ? QStringLiteral("设计.plbd") : mCurrentPath);
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + DesignFile::kSuffix;
    saveTo(path);
    return true;
}

void FileMenu::saveTo(const QString &path)
{
    writeDesign(path, {});
}

bool FileMenu::takeLock(const QString &path, bool forSaving)
{
    Q_UNUSED(forSaving)
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (absolute == mLock.path())
        return true;
    // Another file: the one held goes only once the new one is this designer's.
    DesignFileLock other;
    DesignFileLock::Holder holder;
    if (!other.take(absolute, &holder)) {
        mMain->showStatus(QStringLiteral("文件无法保存：“%1”正由另一个设计器编辑（进程 %2）")
                              .arg(fileNameOf(path)).arg(holder.pid));
        return false;
    }
    other.release();
    return mLock.take(absolute);
}

void FileMenu::writeDesign(const QString &path, const std::function<void()> &then)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const bool sameFile = absolute == mLock.path();
    if (sameFile && mSavesOnTheirWay.value(absolute) == 0 && mLock.changedOnDisk()) {
        const int answer = ask(QStringLiteral("“%1”在打开或上次保存之后已在磁盘上被修改。是否覆盖它？")
                                   .arg(fileNameOf(path)),
                               {QStringLiteral("覆盖"), QStringLiteral("取消")});
        if (answer != 0) {
            mMain->showStatus(QStringLiteral("未保存：“%1”已在磁盘上被修改").arg(fileNameOf(path)));
            emit designWritten(path, false);
            return;
        }
    }
    if (!sameFile && !takeLock(absolute, true)) {
        emit designWritten(path, false);
        return;
    }
    const quint64 revision = mDocument->revision();
    const int generation = mGeneration;
    ++mSavesOnTheirWay[absolute];
    DesignFile::writeInBackground(path, currentDesign(), this,
                                  [this, path, absolute, revision, generation, then](bool written, const QString &error) {
                                      if (--mSavesOnTheirWay[absolute] <= 0)
                                          mSavesOnTheirWay.remove(absolute);
                                      saveFinished(path, revision, generation, written, error);
                                      if (written && then)
                                          then();
                                  });
}

void FileMenu::saveFinished(const QString &path, quint64 revision, int generation, bool written,
                            const QString &error)
{
    if (!written) {
        mMain->showStatus(QStringLiteral("文件无法保存：") + error);
        emit designWritten(path, false);
        return;
    }
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (absolute == mLock.path())
        mLock.stamp();
    if (generation == mGeneration) {
        mDocument->markSavedAt(revision);
        setCurrentPath(path);
    }
    rememberRecent(path);
    mMain->showStatus(QStringLiteral("已保存：") + fileNameOf(path));
    emit designWritten(path, true);
}

void FileMenu::undo()
{
    QUndoStack *stack = mDocument->undoStack();
    if (!stack->canUndo()) {
        mMain->showStatus(QStringLiteral("没有可撤销的操作"));
        return;
    }
    closeModuleSettings();
    stack->undo();
    mMain->showStatus(QStringLiteral("已撤销"));
}

void FileMenu::redo()
{
    QUndoStack *stack = mDocument->undoStack();
    if (!stack->canRedo()) {
        mMain->showStatus(QStringLiteral("没有可重做的操作"));
        return;
    }
    closeModuleSettings();
    stack->redo();
    mMain->showStatus(QStringLiteral("已重做"));
}

} // namespace Plumbrook
