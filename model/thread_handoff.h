#pragma once

#if defined(__SANITIZE_THREAD__)
#define PLUMBROOK_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define PLUMBROOK_THREAD_SANITIZER 1
#endif
#endif

#ifdef PLUMBROOK_THREAD_SANITIZER
#include <sanitizer/tsan_interface.h>
// In the sanitizer's runtime, though not in every compiler's copy of its header.
extern "C" void __tsan_ignore_thread_begin();
extern "C" void __tsan_ignore_thread_end();
#endif

namespace Plumbrook {

// Shows ThreadSanitizer the hand-offs between threads that go through Qt's own locks,
// queues and pools; Qt is not built with the sanitizer, so to it they order nothing.
// Outside a sanitizer build every call here is empty.
namespace ThreadHandoff {

// On the handing thread, after its last write to what it hands over.
inline void release(const void *token)
{
#ifdef PLUMBROOK_THREAD_SANITIZER
    __tsan_release(const_cast<void *>(token));
#else
    (void)token;
#endif
}

// On the receiving thread, before its first read of what was handed over.
inline void acquire(const void *token)
{
#ifdef PLUMBROOK_THREAD_SANITIZER
    __tsan_acquire(const_cast<void *>(token));
#else
    (void)token;
#endif
}

// Whether this is a ThreadSanitizer build.
#ifdef PLUMBROOK_THREAD_SANITIZER
inline constexpr bool kSanitized = true;
#else
inline constexpr bool kSanitized = false;
#endif

// Around Qt's own work on one of our threads, done under Qt's own locking (its pool's books,
// its event queue): the sanitizer would take it for races. A thread must watch again
// before it ends.
inline void ignoreQt()
{
#ifdef PLUMBROOK_THREAD_SANITIZER
    __tsan_ignore_thread_begin();
#endif
}

inline void watchAgain()
{
#ifdef PLUMBROOK_THREAD_SANITIZER
    __tsan_ignore_thread_end();
#endif
}

} // namespace ThreadHandoff
} // namespace Plumbrook
