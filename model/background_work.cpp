#include "model/background_work.h"

#include "model/thread_handoff.h"

#include <QCoreApplication>
#include <QThread>

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace Plumbrook::BackgroundWork {

namespace {

// Six connections at once is what a browser opens to one host.
constexpr int kNetworkThreads = 6;

// A pool and the count of its tasks not yet done. The pool's own waitForDone() would
// also end its threads; this count only waits.
struct LanePool
{
    explicit LanePool(int threads)
        : pool(new QThreadPool)
    {
        pool->setMaxThreadCount(threads);
        // The sanitizer takes a thread that ends while it is ignored (between tasks,
        // see run()) for an error: under it, pool threads stay.
        if (ThreadHandoff::kSanitized)
            pool->setExpiryTimeout(-1);
    }

    // Never destroyed: a download stuck in a slow server must not hold up the exit.
    QThreadPool *pool;
    std::mutex mutex;
    std::condition_variable idle;
    int unfinished = 0;
};

LanePool &networkPool()
{
    static auto *lane = new LanePool(kNetworkThreads);
    return *lane;
}

LanePool &filesPool()
{
    static auto *lane = new LanePool(1);
    return *lane;
}

LanePool &lanePoolOf(Lane lane)
{
    return lane == Lane::Files ? filesPool() : networkPool();
}

LanePool &lanePoolOf(QThreadPool *pool)
{
    return pool == filesPool().pool ? filesPool() : networkPool();
}

bool waitUntilIdle(LanePool &lane, int msecs)
{
    std::unique_lock lock(lane.mutex);
    const auto done = [&lane] { return lane.unfinished == 0; };
    if (msecs < 0) {
        lane.idle.wait(lock, done);
        return true;
    }
    return lane.idle.wait_for(lock, std::chrono::milliseconds(msecs), done);
}

// Calls each result's delivery on the user-interface thread.
class DeliveryContext final : public QObject
{
public:
    bool event(QEvent *event) override
    {
        // Before even its type is read: a delivery was made on a pool thread.
        ThreadHandoff::acquire(event);
        if (event->type() != Detail::Delivery::eventType())
            return QObject::event(event);
        static_cast<Detail::Delivery *>(event)->deliver();
        return true;
    }
};

// A task back on the user-interface thread once it ran. What its work captured (a copy
// of a design, say) shares its data with what that thread edits: released there, the
// last reference to that data is dropped where the edits are made.
class Disposal final : public Detail::Delivery
{
public:
    explicit Disposal(QRunnable *task)
        : mTask(task)
    {}

    // Also when Qt deletes it undelivered, as it does with events still queued at exit:
    // the task goes then.
    ~Disposal() override
    {
        ThreadHandoff::acquire(this);
        delete mTask;
    }

    void deliver() override
    {
        delete mTask;
        mTask = nullptr;
    }

private:
    QRunnable *mTask;
};

// Whether this pool thread left the sanitizer's view when its last task ended.
thread_local bool tBetweenTasks = false;

} // namespace

namespace Detail {

void HandedOverTask::handTo(QThreadPool *pool, int priority)
{
    mPool = pool;
    {
        LanePool &lane = lanePoolOf(pool);
        const std::lock_guard lock(lane.mutex);
        ++lane.unfinished;
    }
    ThreadHandoff::release(this);
    pool->start(this, priority);
}

void HandedOverTask::run()
{
    if (tBetweenTasks)
        ThreadHandoff::watchAgain();
    ThreadHandoff::acquire(this);
    work();
    LanePool &lane = lanePoolOf(mPool);
    // Not touched here again: the user-interface thread may delete it at once.
    post(new Disposal(this));
    {
        const std::lock_guard lock(lane.mutex);
        if (--lane.unfinished == 0)
            lane.idle.notify_all();
    }
    // Between tasks a pool thread runs Qt's own books (its lists of idle threads) under
    // Qt's lock, which the sanitizer cannot see.
    tBetweenTasks = true;
    ThreadHandoff::ignoreQt();
}

QEvent::Type Delivery::eventType()
{
    static const auto type = QEvent::Type(QEvent::registerEventType());
    return type;
}

void post(Delivery *delivery)
{
    ThreadHandoff::release(delivery);
    // Qt's event queue is shared with the user-interface thread under Qt's own lock.
    ThreadHandoff::ignoreQt();
    QCoreApplication::postEvent(deliveryContext(), delivery);
    ThreadHandoff::watchAgain();
}

} // namespace Detail

QThreadPool *pool(Lane lane)
{
    return lanePoolOf(lane).pool;
}

int priorityOf(Lane lane)
{
    return lane == Lane::Requests ? 1 : 0;
}

QObject *deliveryContext()
{
    static QObject *context = [] {
        auto *object = new DeliveryContext;
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
        idle = waitUntilIdle(lanePoolOf(lane), msecs) && idle;
    return idle;
}

bool waitForLane(Lane lane, int msecs)
{
    const bool idle = waitUntilIdle(lanePoolOf(lane), msecs);
    // A finished task posted its delivery and itself before it counted itself done.
    QCoreApplication::sendPostedEvents(deliveryContext(), Detail::Delivery::eventType());
    return idle;
}

} // namespace Plumbrook::BackgroundWork
