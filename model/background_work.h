#pragma once

#include <QFuture>
#include <QObject>
#include <QPointer>
#include <QPromise>
#include <QRunnable>
#include <QThreadPool>

#include <exception>
#include <functional>
#include <type_traits>

namespace Plumbrook {

// Runs blocking work on a few pooled threads and hands each result back to the
// user-interface thread.
//
// Every piece of background work goes through here, so that the process never holds
// more threads than the pools allow, however many requests a design starts.
namespace BackgroundWork {

enum class Lane {
    Downloads,   // pictures fetched for the canvas, served after the requests below
    Requests,    // what the user waits on: site requests, the module background
    Files,       // one file write at a time, in the order they were asked for
};

QThreadPool *pool(Lane lane);
// The object results are delivered through; it lives on the user-interface thread
// for the whole process, so a delivery never meets a destroyed context.
QObject *deliveryContext();
int priorityOf(Lane lane);

namespace Detail {

// One piece of pooled work and the promise of its result. Holding the work by
// value lets it be move-only, which a std::function would not allow.
template<typename Work, typename Result>
class PromisedTask final : public QRunnable
{
public:
    explicit PromisedTask(Work work)
        : mWork(std::move(work))
    {
        mPromise.start();
    }

    QFuture<Result> future() { return mPromise.future(); }

    void run() override
    {
        try {
            if constexpr (std::is_void_v<Result>)
                std::invoke(mWork);
            else
                mPromise.addResult(std::invoke(mWork));
        } catch (...) {
            mPromise.setException(std::current_exception());
        }
        mPromise.finish();
    }

private:
    Work mWork;
    QPromise<Result> mPromise;
};

template<typename Work>
auto makeTask(Work &&work)
{
    using Task = std::decay_t<Work>;
    return new PromisedTask<Task, std::invoke_result_t<Task>>(Task(std::forward<Work>(work)));
}

} // namespace Detail

// Starts `work` on the lane's pool; its future is the work's own result.
template<typename Work>
auto start(Lane lane, Work &&work)
{
    auto *task = Detail::makeTask(std::forward<Work>(work));
    auto future = task->future();
    pool(lane)->start(task, priorityOf(lane)); // the pool deletes the task once it ran
    return future;
}

// Starts `work` on the lane's pool and calls `done` with its result on the
// user-interface thread, unless `receiver` was destroyed meanwhile.
template<typename Work, typename Done>
auto run(Lane lane, QObject *receiver, Work &&work, Done &&done)
{
    using Result = std::invoke_result_t<std::decay_t<Work>>;
    QPointer<QObject> guard(receiver);
    auto *task = Detail::makeTask(std::forward<Work>(work));
    // The delivery is arranged before the work can start. Arranged on work already done,
    // it would run at once, inside this call and ahead of results still queued.
    auto delivered = [&] {
        if constexpr (std::is_void_v<Result>) {
            return task->future().then(deliveryContext(), [guard, done = std::forward<Done>(done)]() mutable {
                if (guard)
                    done();
            });
        } else {
            return task->future().then(deliveryContext(),
                                       [guard, done = std::forward<Done>(done)](Result result) mutable {
                                           if (guard)
                                               done(std::move(result));
                                       });
        }
    }();
    pool(lane)->start(task, priorityOf(lane)); // the pool deletes the task once it ran
    return delivered;
}

// Blocks until every lane is idle (leaving the program, tests); the deliveries of
// finished work are then queued on the user-interface thread. False on a timeout.
bool waitForIdle(int msecs = -1);
// Blocks until the lane is idle, then delivers the results of finished work at once
// rather than at the next turn of the event loop; on the user-interface thread only
// (leaving the program, reading a file that is being written). False on a timeout.
bool waitForLane(Lane lane, int msecs = -1);

} // namespace BackgroundWork
} // namespace Plumbrook
