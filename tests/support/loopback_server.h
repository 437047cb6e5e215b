#pragma once

#include <httplib.h>

#include <QString>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace Plumbrook::Test {

// A cpp-httplib server on a free loopback port, stopped when it goes out of scope.
class LoopbackServer
{
public:
    LoopbackServer() { mPort = mServer.bind_to_any_port("127.0.0.1"); }
    ~LoopbackServer()
    {
        mServer.stop();
        if (mThread.joinable())
            mThread.join();
    }
    LoopbackServer(const LoopbackServer &) = delete;
    LoopbackServer &operator=(const LoopbackServer &) = delete;

    // Register the handlers first, then start.
    httplib::Server &server() { return mServer; }
    void start()
    {
        // The port is already listening, so requests queue until the loop takes them.
        mThread = std::thread([this] { mServer.listen_after_bind(); });
        // stop() before the loop runs would be lost and leave the loop running forever.
        while (mPort > 0 && !mServer.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    QString base() const { return QStringLiteral("http://127.0.0.1:%1").arg(mPort); }

private:
    httplib::Server mServer;
    int mPort = 0;
    std::thread mThread;
};

// Holds a handler's answer while closed, so that a test looks at the window while a
// request is certainly on its way, then lets it go; a gate left closed opens after a minute.
class AnswerGate
{
public:
    void close()
    {
        std::lock_guard lock(mMutex);
        mOpen = false;
    }
    void open()
    {
        {
            std::lock_guard lock(mMutex);
            mOpen = true;
        }
        mChanged.notify_all();
    }
    // Called by the handler.
    void pass()
    {
        std::unique_lock lock(mMutex);
        mChanged.wait_for(lock, std::chrono::minutes(1), [this] { return mOpen; });
    }

private:
    std::mutex mMutex;
    std::condition_variable mChanged;
    bool mOpen = true;
};

// A loopback address nothing listens on.
inline QString deadBase()
{
    return QStringLiteral("http://127.0.0.1:1");
}

} // namespace Plumbrook::Test
