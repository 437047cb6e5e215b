// Built into the test programs under ThreadSanitizer only (tests/CMakeLists.txt).
#include "model/thread_handoff.h"

#include <QSemaphore>
#include <QThreadPool>

#include <dlfcn.h>

#include <functional>

// Shows ThreadSanitizer the hand-offs Qt's other libraries make through QtCore's semaphore
// and thread pool: Qt Gui fills and scales large images on pool threads and waits for them
// on a semaphore, and none of that is visible to a sanitizer Qt was not built with. These
// definitions come before QtCore's for every call from outside QtCore (and from our own
// code), mark the hand-off and pass the call on.

namespace {

template<typename Function>
Function next(const char *mangledName)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, mangledName));
}

// A function for a pool thread, marked as handed over at its own address.
struct Marked
{
    std::function<void()> function;

    void operator()()
    {
        Plumbrook::ThreadHandoff::acquire(this);
        function();
    }
};

// Qt's global pool keeps its list of idle threads under a lock the sanitizer cannot see;
// with one thread only that thread touches the list.
const bool gOneGlobalThread = [] {
    QThreadPool::globalInstance()->setMaxThreadCount(1);
    return true;
}();

} // namespace

void QSemaphore::release(int n)
{
    static const auto real = next<void (*)(QSemaphore *, int)>("_ZN10QSemaphore7releaseEi");
    Plumbrook::ThreadHandoff::release(this);
    real(this, n);
}

void QSemaphore::acquire(int n)
{
    static const auto real = next<void (*)(QSemaphore *, int)>("_ZN10QSemaphore7acquireEi");
    real(this, n);
    Plumbrook::ThreadHandoff::acquire(this);
}

bool QSemaphore::tryAcquire(int n)
{
    static const auto real = next<bool (*)(QSemaphore *, int)>("_ZN10QSemaphore10tryAcquireEi");
    const bool acquired = real(this, n);
    if (acquired)
        Plumbrook::ThreadHandoff::acquire(this);
    return acquired;
}

bool QSemaphore::tryAcquire(int n, int timeout)
{
    static const auto real = next<bool (*)(QSemaphore *, int, int)>("_ZN10QSemaphore10tryAcquireEii");
    const bool acquired = real(this, n, timeout);
    if (acquired)
        Plumbrook::ThreadHandoff::acquire(this);
    return acquired;
}

void QThreadPool::start(std::function<void()> functionToRun, int priority)
{
    using Start = void (*)(QThreadPool *, std::function<void()>, int);
    static const auto real = next<Start>("_ZN11QThreadPool5startESt8functionIFvvEEi");
    // A Marked is too large to be kept inside the std::function: it stays where it is
    // while the function is moved into the pool.
    std::function<void()> marked = Marked{std::move(functionToRun)};
    Plumbrook::ThreadHandoff::release(marked.target<Marked>());
    real(this, std::move(marked), priority);
}
