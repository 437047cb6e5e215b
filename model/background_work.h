#pragma once

#include <QFuture>
#include <QObject>
#include <QPointer>
#include <QThreadPool>
#include <QtConcurrent/qtconcurrenttask.h>

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

// Starts `work` on the lane's pool; its future is the work's own result.
template<typename Work>
auto start(Lane lane, Work &&work)
{
    return QtConcurrent::task(std::forward<Work>(work))
        .onThreadPool(*pool(lane))
        .withPriority(priorityOf(lane))
        .spawn();
}

// Starts `work` on the lane's pool and calls `done` with its result on the
// user-interface thread, unless `receiver` was destroyed meanwhile.
template<typename Work, typename Done>
auto run(Lane lane, QObject *receiver, Work &&work, Done &&done)
{
    using Result = std::invoke_result_t<std::decay_t<Work>>;
    QPointer<QObject> guard(receiver);
    auto future = start(lane, std::forward<Work>(work));
    if constexpr (std::is_void_v<Result>) {
        return future.then(deliveryContext(), [guard, done = std::forward<Done>(done)]() mutable {
            if (guard)
                done();
        });
    } else {
        return future.then(deliveryContext(),
                           [guard, done = std::forward<Done>(done)](Result result) mutable {
                               if (guard)
                                   done(std::move(result));
                           });
    }
}

// Blocks until every lane is idle (leaving the program, tests); the deliveries of
// finished work are then queued on the user-interface thread. False on a timeout.
bool waitForIdle(int msecs = -1);

} // namespace BackgroundWork
} // namespace Plumbrook
