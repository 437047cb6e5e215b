#include "canvas/file_menu.h"

#include "canvas/main_window.h"
#include "model/background_work.h"

#include <QFileInfo>
#include <QProgressDialog>

#include <atomic>
#include <memory>

namespace Plumbrook {

namespace {

struct Reading
{
    std::optional<DesignFile::Design> design;
    QString error;
};

} // namespace

void FileMenu::openInBackground(const QString &path, bool locked, bool afterWrites)
{
    if (mOpeningProgress)
        mOpeningProgress->close();
    auto *progress = new QProgressDialog(QStringLiteral("正在打开“%1”…").arg(QFileInfo(path).fileName()),
                                         QStringLiteral("取消"), 0, 0, mMain);
    progress->setObjectName(QStringLiteral("正在打开"));
    progress->setAttribute(Qt::WA_DeleteOnClose);
    progress->setMinimumDuration(0);
    progress->setAutoClose(false);
    progress->show();
    mOpeningProgress = progress;
    auto cancelled = std::make_shared<std::atomic_bool>(false);
    connect(progress, &QProgressDialog::canceled, this, [this, cancelled, path, locked] {
        cancelled->store(true);
        // The lock taken for it goes back to the design that stays.
        if (locked && mCurrentPath.isEmpty())
            mLock.release();
        else if (locked)
            mLock.take(mCurrentPath);
        if (mOpeningProgress)
            mOpeningProgress->close();
        mMain->showStatus(QStringLiteral("已取消打开：") + QFileInfo(path).fileName());
    });
    const int generation = mGeneration;
    BackgroundWork::run(
        afterWrites ? BackgroundWork::Lane::Files : BackgroundWork::Lane::Requests, this,
        [path, cancelled] {
            Reading reading;
            if (!cancelled->load())
                reading.design = DesignFile::readFile(path, &reading.error);
            return reading;
        },
        [this, path, locked, cancelled, generation, progress = QPointer<QProgressDialog>(progress)](Reading reading) {
            if (progress) {
                // Closing the window reports a cancel of its own.
                disconnect(progress, &QProgressDialog::canceled, this, nullptr);
                progress->close();
            }
            if (cancelled->load())
                return;
            // Another design was put in place meanwhile, or this one could not be read:
            // the lock goes back to the design that stays.
            if (generation != mGeneration || !reading.design) {
                if (locked && mCurrentPath.isEmpty())
                    mLock.release();
                else if (locked)
                    mLock.take(mCurrentPath);
                if (!reading.design)
                    mMain->showStatus(QStringLiteral("文件无法读取：") + reading.error);
                return;
            }
            finishOpening(path, *reading.design, locked);
        });
}

} // namespace Plumbrook
