#include "model/background_work.h"

#include <QCoreApplication>
#include <QThread>

namespace Plumbrook::BackgroundWork {

namespace {

// Six connections at once is what a browser opens to one host.
constexpr int kNetworkThreads = 6;

QThreadPool *makePool(int threads)
{
    // Never destroyed: a download stuck in a slow server must not hold up the exit.
    auto *pool = new QThreadPool;
    pool->setMaxThreadCount(threads);
    return pool;
}

QThreadPool *networkPool()
{
    static QThreadPool *pool = makePool(kNetworkThreads);
    return pool;
}

QThreadPool *filesPool()
{
    static QThreadPool *pool = makePool(1);
    return pool;
}

} // namespace

QThreadPool *pool(Lane lane)
{
    return lane == Lane::Files ? filesPool() : networkPool();
}

int priorityOf(Lane lane)
{
    return lane == Lane::Requests ? 1 : 0;
}

QObject *deliveryContext()
{
    static QObject *context = [] {
        auto *object = new QObject;
        // Created on first use from any thread, it still belongs to the application's thread.
        if (QCoreApplication *app = QCoreApplication::instance())
            object->moveToThread(app->thread());
        return object;
    }();
    return context;
}

bool waitForIdle(int msecs)
{
    bool idle = true;
    for (Lane lane : {Lane::Downloads, Lane::Files})
        idle = pool(lane)->waitForDone(msecs) && idle;
    return idle;
}

bool waitForLane(Lane lane, int msecs)
{
    const bool idle = pool(lane)->waitForDone(msecs);
    // A finished task posted its delivery before the pool counted it done.
    QCoreApplication::sendPostedEvents(deliveryContext(), QEvent::MetaCall);
    return idle;
}

} // namespace Plumbrook::BackgroundWork
