#include "canvas/file_menu.h"

#include "canvas/code_import_window.h"
#include "canvas/design_canvas.h"
#include "canvas/design_loader.h"
#include "canvas/main_window.h"
#include "canvas/module_background_layer.h"
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
#include <QMenu>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>
#include <QUndoStack>

#include <memory>

namespace Plumbrook {

namespace {

constexpr int kAutosaveMs = 30000;
constexpr int kMaxRecent = 8;
const QString kRecentKey = QStringLiteral("recentFiles");

const QString kUncleanExitMessage =
    QStringLiteral("上次未正常退出，有未保存的设计可以恢复：请选“文件”菜单中的“恢复自动保存”");

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
    connect(stack, &QUndoStack::indexChanged, this, [this] { mChangedSinceAutosave = true; });
    connect(mDocument, &DesignDocument::designReset, this, [this] { mChangedSinceAutosave = true; });

    mAutosaveTimer->setInterval(kAutosaveMs);
    connect(mAutosaveTimer, &QTimer::timeout, this, [this] { autosave(); });
    connect(mMain, &MainWindow::exitRequested, this, &FileMenu::endSession);
    // However the event loop ends (a logout ends it without "退出软件"), the files asked
    // for are on disk before the window and the workers go.
    if (QCoreApplication *app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, &FileMenu::finishWrites);

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

QString FileMenu::autosavePath() const
{
    return dataDir() + QStringLiteral("/autosave.plbd");
}

QString FileMenu::recoveryPath() const
{
    return dataDir() + QStringLiteral("/recovered.plbd");
}

QString FileMenu::markerPath() const
{
    return dataDir() + QStringLiteral("/running");
}

QStringList FileMenu::recentFiles() const
{
    QSettings settings(dataDir() + QStringLiteral("/recent.ini"), QSettings::IniFormat);
    return settings.value(kRecentKey).toStringList().mid(0, kMaxRecent);
}

void FileMenu::rememberRecent(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList list = recentFiles();
    list.removeAll(absolute);
    list.prepend(absolute);
    QSettings settings(dataDir() + QStringLiteral("/recent.ini"), QSettings::IniFormat);
    settings.setValue(kRecentKey, list.mid(0, kMaxRecent));
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

void FileMenu::startSession()
{
    mSessionStarted = true;
    finishWrites();
    if (QFile::exists(markerPath()) && QFile::exists(autosavePath())) {
        // This run's autosaves must not overwrite what the last run left.
        QFile::remove(recoveryPath());
        QFile::copy(autosavePath(), recoveryPath());
        mMain->showStatus(kUncleanExitMessage);
    } else {
        // After a clean exit the last autosave is the design to come back to.
        QFile::remove(recoveryPath());
    }
    QFile marker(markerPath());
    if (marker.open(QIODevice::WriteOnly | QIODevice::Truncate))
        marker.write(QByteArray::number(QApplication::applicationPid()));
    mChangedSinceAutosave = false;
    mAutosaveTimer->start();
}

void FileMenu::endSession()
{
    if (!mSessionStarted)
        return;
    mAutosaveTimer->stop();
    autosave();
    finishWrites();
    // A marker left behind tells of a design that may be lost; only a written one is safe.
    if (!mChangedSinceAutosave)
        QFile::remove(markerPath());
    mSessionStarted = false;
}

void FileMenu::finishWrites()
{
    DesignFile::finishWrites();
}

bool FileMenu::autosave()
{
    if (!mChangedSinceAutosave)
        return false;
    // Changes made while it is written ask for the next one.
    mChangedSinceAutosave = false;
    const QString path = autosavePath();
    DesignFile::writeInBackground(path, currentDesign(), this, [this, path](bool written, const QString &error) {
        if (!written) {
            mChangedSinceAutosave = true;
            mMain->showStatus(QStringLiteral("自动保存失败：") + error);
        }
        emit designWritten(path, written);
    });
    return true;
}

void FileMenu::closeModuleSettings()
{
    // Its fields would show a design that is no longer there, and confirming would write them back.
    if (mMain->moduleSettingsWindow)
        mMain->moduleSettingsWindow->close();
}

void FileMenu::newDesign()
{
    closeModuleSettings();
    DesignFile::Design design;
    design.rows = {ComponentTable::initialModuleRecord()};
    DesignLoader::load(mMain->canvas(), design);
    ++mGeneration;
    mCurrentPath.clear();
    mMain->showStatus(QStringLiteral("已新建设计"));
}

void FileMenu::openDesign()
{
    const QString path = mChooser(false, QFileInfo(mCurrentPath).absolutePath());
    if (!path.isEmpty())
        openFile(path);
}

bool FileMenu::openFile(const QString &path)
{
    if (!loadFile(path, true))
        return false;
    mCurrentPath = path;
    mMain->showStatus(QStringLiteral("已打开：") + fileNameOf(path));
    return true;
}

bool FileMenu::loadFile(const QString &path, bool remember)
{
    // A save still on its way to this very file would otherwise be read as it was before.
    finishWrites();
    QString error;
    const std::optional<DesignFile::Design> design = DesignFile::readFile(path, &error);
    if (!design) {
        mMain->showStatus(QStringLiteral("文件无法读取：") + error);
        return false;
    }
    closeModuleSettings();
    DesignLoader::load(mMain->canvas(), *design);
    ++mGeneration;
    if (remember)
        rememberRecent(path);
    return true;
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
    mMain->showStatus(imported.summary());
    if (!imported.recognisedAnything())
        return false;
    closeModuleSettings();
    // One step, so that undo brings the design before it back.
    mDocument->replaceDesign(QStringLiteral("导入代码"), imported.design);
    // The code came from no design file: "保存" asks for one.
    ++mGeneration;
    mCurrentPath.clear();
    keepStatusOverBackground(imported.summary());
    return true;
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
    const quint64 revision = mDocument->revision();
    const int generation = mGeneration;
    DesignFile::writeInBackground(path, currentDesign(), this,
                                  [this, path, revision, generation](bool written, const QString &error) {
                                      saveFinished(path, revision, generation, written, error);
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
    if (generation == mGeneration) {
        mDocument->markSavedAt(revision);
        mCurrentPath = path;
    }
    rememberRecent(path);
    mMain->showStatus(QStringLiteral("已保存：") + fileNameOf(path));
    emit designWritten(path, true);
}

bool FileMenu::restoreAutosave()
{
    finishWrites();
    const QString path = QFile::exists(recoveryPath()) ? recoveryPath() : autosavePath();
    if (!QFile::exists(path)) {
        mMain->showStatus(QStringLiteral("没有自动保存的设计"));
        return false;
    }
    if (!loadFile(path, false))
        return false;
    QFile::remove(recoveryPath());
    // A restored design has no file of its own yet: "保存" asks for one.
    mCurrentPath.clear();
    mMain->showStatus(QStringLiteral("已恢复自动保存的设计"));
    return true;
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
