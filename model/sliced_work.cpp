#include "model/sliced_work.h"

#include <QCoreApplication>
#include <QList>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstring>
#include <memory>

namespace Plumbrook::SlicedWork {

namespace {

struct Job
{
    QPointer<QObject> owner;   // a job whose owner is gone never runs again
    const char *name = nullptr;
    // Shared by the job's copies, so that a slice that keeps state keeps it between turns.
    std::shared_ptr<std::function<bool()>> slice;
    quint64 serial = 0;             // a job queued again is another job
};

bool sameJob(const Job &job, const QObject *owner, const char *name)
{
    return job.owner == owner && std::strcmp(job.name, name) == 0;
}

// The jobs, in the order their next slices come; a job whose slice ran goes to the back.
class Turns : public QObject
{
public:
    Turns()
    {
        mTimer.setSingleShot(true);
        mTimer.setInterval(0);
        connect(&mTimer, &QTimer::timeout, this, &Turns::takeTurn);
    }

    void put(QObject *owner, const char *name, std::function<bool()> slice)
    {
        Job job{owner, name, std::make_shared<std::function<bool()>>(std::move(slice)), ++mSerial};
        const auto found = std::find_if(mJobs.begin(), mJobs.end(),
                                        [&](const Job &queued) { return sameJob(queued, owner, name); });
        if (found != mJobs.end())
            *found = std::move(job);
        else
            mJobs.append(std::move(job));
        if (!mTimer.isActive())
            mTimer.start();
    }

    void drop(const QObject *owner, const char *name)
    {
        mJobs.removeIf([&](const Job &job) { return sameJob(job, owner, name); });
    }

    bool holds(const QObject *owner, const char *name) const
    {
        return std::any_of(mJobs.begin(), mJobs.end(),
                           [&](const Job &job) { return sameJob(job, owner, name); });
    }

private:
    void takeTurn()
    {
        mJobs.removeIf([](const Job &job) { return !job.owner; });
        if (!mJobs.isEmpty()) {
            // At the back before the slice runs, which may queue, replace or drop jobs.
            Job job = mJobs.takeFirst();
            mJobs.append(job);
            if (!(*job.slice)())
                mJobs.removeIf([&](const Job &queued) { return queued.serial == job.serial; });
        }
        if (!mJobs.isEmpty())
            mTimer.start();
    }

    QList<Job> mJobs;
    QTimer mTimer;
    quint64 mSerial = 0;
};

Turns &turns()
{
    Q_ASSERT(QThread::currentThread() == QCoreApplication::instance()->thread());
    static Turns *instance = new Turns;
    return *instance;
}

} // namespace

void queue(QObject *owner, const char *name, std::function<bool()> slice)
{
    turns().put(owner, name, std::move(slice));
}

void cancel(QObject *owner, const char *name)
{
    turns().drop(owner, name);
}

bool isQueued(const QObject *owner, const char *name)
{
    return turns().holds(owner, name);
}

} // namespace Plumbrook::SlicedWork
