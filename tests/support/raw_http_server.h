#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <thread>

namespace Plumbrook::Test {

// A loopback HTTP server that records requests byte for byte and answers with fixed bytes.
//
// For checks that need the exact request (header order) or a misbehaving server
// (one that stalls before answering). Serves one connection at a time.
class RawHttpServer
{
public:
    // A socket: a descriptor on POSIX systems, a handle in Winsock.
    using SocketHandle = std::uintptr_t;
    static constexpr SocketHandle kNoSocket = ~SocketHandle(0);

    explicit RawHttpServer(QByteArray response,
                           std::chrono::milliseconds stall = std::chrono::milliseconds(0));
    ~RawHttpServer();
    RawHttpServer(const RawHttpServer &) = delete;
    RawHttpServer &operator=(const RawHttpServer &) = delete;

    int port() const { return mPort; }
    QString url(const QString &path = QStringLiteral("/")) const;
    // The head (and body, when Content-Length says so) of the last request received.
    QByteArray lastRequest() const;
    int requestCount() const { return mRequests.load(); }

private:
    void serve();
    void handle(SocketHandle connection);

    QByteArray mResponse;
    std::chrono::milliseconds mStall;
    SocketHandle mListener = kNoSocket;
    int mPort = 0;
    std::atomic<bool> mStop{false};
    std::atomic<int> mRequests{0};
    mutable std::mutex mMutex;
    QByteArray mLastRequest;
    std::thread mThread;
};

} // namespace Plumbrook::Test
