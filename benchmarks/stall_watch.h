#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <functional>

namespace Plumbrook {

// Measures how long the event loop was held: the longest gap between two ticks of a
// 1 ms timer while the loop runs.
class StallWatch
{
public:
    // `onTick` runs at every tick, for figures sampled alongside.
    explicit StallWatch(std::function<void()> onTick = {})
        : mOnTick(std::move(onTick))
    {
        mClock.start();
        mLast = mClock.nsecsElapsed();
        mTicker.setTimerType(Qt::PreciseTimer);
        QObject::connect(&mTicker, &QTimer::timeout, [this] {
            const qint64 now = mClock.nsecsElapsed();
            mLongest = std::max(mLongest, now - mLast);
            mLast = now;
            if (mOnTick)
                mOnTick();
        });
        mTicker.start(1);
    }

    // Runs the event loop until `done` holds or `limitMs` has passed since the start.
    void runUntil(const std::function<bool()> &done, int limitMs = 60000)
    {
        while (!done() && mClock.elapsed() < limitMs)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }

    // Runs on until one more tick came, so that a stall in the last delivery counts too.
    void runOneMoreTick(int limitMs = 60000)
    {
        const qint64 now = mClock.nsecsElapsed();
        runUntil([&] { return mLast > now; }, limitMs);
    }

    qint64 elapsedMs() const { return mClock.elapsed(); }
    double longestMs() const { return mLongest / 1e6; }

private:
    std::function<void()> mOnTick;
    QElapsedTimer mClock;
    QTimer mTicker;
    qint64 mLast = 0;
    qint64 mLongest = 0;
};

} // namespace Plumbrook
