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
    connect(progress, &QProgressDialog::canceled, this, [this, cancelled, path] {
        cancelled->store(true);
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
            if (progress)
                progress->close();
            // Cancelled, or another design was put in place while this one was read.
            // The lock taken for it goes back to the design that stays.
            if (cancelled->load() || generation != mGeneration) {
                if (locked && mCurrentPath.isEmpty())
                    mLock.release();
                else if (locked)
                    mLock.take(mCurrentPath);
                return;
            }
            if (!reading.design) {
                mMain->showStatus(QStringLiteral("文件无法读取：") + reading.error);
                return;
            }
            finishOpening(path, *reading.design, locked);
        });
}

} // namespace Plumbrook
