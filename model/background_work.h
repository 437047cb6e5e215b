#pragma once

#include "model/thread_handoff.h"

#include <QEvent>
#include <QFuture>
#include <QObject>
#include <QPointer>
#include <QPromise>
#include <QRunnable>
#include <QThreadPool>

#include <exception>
#include <functional>
#include <type_traits>
#include <variant>

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

// Pooled work that sees all its starting thread wrote before start(), and whose own
// writes are seen by whoever then waits for its lane to go idle. Once it ran, it is
// deleted on the user-interface thread.
class HandedOverTask : public QRunnable
{
public:
    HandedOverTask() { setAutoDelete(false); }

    void run() final;
    // On the starting thread, as the last step before the pool takes the task.
    void handTo(QThreadPool *pool, int priority);

protected:
    virtual void work() = 0;

private:
    QThreadPool *mPool = nullptr;
};

// One result on its way to the user-interface thread, as an event for deliveryContext().
class Delivery : public QEvent
{
public:
    static QEvent::Type eventType();

    Delivery()
        : QEvent(eventType())
    {}

    virtual void deliver() = 0;
};

// Hands `delivery` to the user-interface thread, where deliveryContext() calls it.
void post(Delivery *delivery);

template<typename Result>
using Stored = std::conditional_t<std::is_void_v<Result>, std::monostate, Result>;

template<typename Done, typename Result>
class ResultDelivery final : public Delivery
{
public:
    ResultDelivery(QPointer<QObject> guard, Done done, Stored<Result> result)
        : mGuard(std::move(guard))
        , mDone(std::move(done))
        , mResult(std::move(result))
    {}

    // Also when Qt deletes it undelivered, as it does with events still queued at exit.
    ~ResultDelivery() override { ThreadHandoff::acquire(this); }

    void deliver() override
    {
        if (!mGuard)
            return;
        if constexpr (std::is_void_v<Result>)
            std::invoke(mDone);
        else
            std::invoke(mDone, std::move(mResult));
    }

private:
    QPointer<QObject> mGuard;
    Done mDone;
    Stored<Result> mResult;
};

// One piece of pooled work and the promise of its result. Holding the work by
// value lets it be move-only, which a std::function would not allow.
template<typename Work, typename Result>
class PromisedTask final : public HandedOverTask
{
public:
    explicit PromisedTask(Work work)
        : mWork(std::move(work))
    {
        mPromise.start();
    }

    QFuture<Result> future() { return mPromise.future(); }

protected:
    void work() override
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

// Pooled work whose result is handed to `done` on the user-interface thread. The result
// travels in an event of our own rather than a QFuture continuation: the continuation
// is built on the pool thread inside Qt, where no hand-off can be marked for the
// thread sanitizer after the last write and before the posting.
template<typename Work, typename Done>
class DeliveringTask final : public HandedOverTask
{
public:
    using Result = std::invoke_result_t<Work &>;

    DeliveringTask(Work work, QPointer<QObject> guard, Done done)
        : mWork(std::move(work))
        , mGuard(std::move(guard))
        , mDone(std::move(done))
    {}

protected:
    void work() override
    {
        using Carrier = ResultDelivery<Done, Result>;
        // Work that throws delivers nothing, as a result that never came.
        try {
            if constexpr (std::is_void_v<Result>) {
                std::invoke(mWork);
                post(new Carrier(std::move(mGuard), std::move(mDone), {}));
            } else {
                post(new Carrier(std::move(mGuard), std::move(mDone), std::invoke(mWork)));
            }
        } catch (...) {
        }
    }

private:
    Work mWork;
    QPointer<QObject> mGuard;
    Done mDone;
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
    task->handTo(pool(lane), priorityOf(lane));
    return future;
}

// Starts `work` on the lane's pool and calls `done` with its result on the
// user-interface thread, unless `receiver` was destroyed meanwhile. Results arrive at a
// later turn of the event loop, never inside this call, and a lane's in the order its
// work finished.
template<typename Work, typename Done>
void run(Lane lane, QObject *receiver, Work &&work, Done &&done)
{
    using Task = Detail::DeliveringTask<std::decay_t<Work>, std::decay_t<Done>>;
    auto *task = new Task(std::forward<Work>(work), QPointer<QObject>(receiver), std::forward<Done>(done));
    task->handTo(pool(lane), priorityOf(lane));
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
