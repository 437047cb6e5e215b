#pragma once

#include <QObject>

#include <functional>

namespace Plumbrook {

// Takes the user-interface thread's long jobs (building a large design's canvas,
// reading it into the layer list) a slice at a time, one job's slice per turn.
//
// Turns come from one zero timer, so between two of them the loop delivers what was
// posted (a repaint first of all) and fires the window's other timers. Jobs that each
// scheduled their own slices would otherwise run back to back, and the window would
// wait for all of them at once.
namespace SlicedWork {

// A slice that keeps to this leaves the window time to repaint in every frame.
inline constexpr qint64 kSliceNs = 8'000'000;

// Calls `slice` at later turns, in turn with the other jobs, until it returns false
// or `owner` is destroyed. A job that is queued already for `owner` and `name` is
// replaced, so that a job started again does not run twice.
void queue(QObject *owner, const char *name, std::function<bool()> slice);
// Drops the job of `owner` and `name` if it is queued.
void cancel(QObject *owner, const char *name);
bool isQueued(const QObject *owner, const char *name);

} // namespace SlicedWork
} // namespace Plumbrook
