#include "support/raw_http_server.h"

#include "model/text_ops.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace Plumbrook::Test {

namespace {

using Handle = RawHttpServer::SocketHandle;

#ifdef _WIN32
using NativeSocket = SOCKET;
using ssize_t = int;
constexpr int kSendFlags = 0;

int waitReadable(Handle socket, int milliseconds)
{
    WSAPOLLFD fd{NativeSocket(socket), POLLIN, 0};
    return WSAPoll(&fd, 1, milliseconds);
}
void closeSocket(Handle socket) { closesocket(NativeSocket(socket)); }
#else
using NativeSocket = int;
constexpr int kSendFlags = MSG_NOSIGNAL;

int waitReadable(Handle socket, int milliseconds)
{
    pollfd fd{NativeSocket(socket), POLLIN, 0};
    return ::poll(&fd, 1, milliseconds);
}
void closeSocket(Handle socket) { ::close(NativeSocket(socket)); }
#endif

} // namespace

RawHttpServer::RawHttpServer(QByteArray response, std::chrono::milliseconds stall)
    : mResponse(std::move(response))
    , mStall(stall)
{
#ifdef _WIN32
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
#endif
    const NativeSocket listener = ::socket(AF_INET, SOCK_STREAM, 0);
    mListener = Handle(listener);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    ::bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof address);
    ::listen(listener, 8);
    socklen_t length = sizeof address;
    ::getsockname(listener, reinterpret_cast<sockaddr *>(&address), &length);
    mPort = ntohs(address.sin_port);
    mThread = std::thread([this] { serve(); });
}

RawHttpServer::~RawHttpServer()
{
    mStop = true;
    mThread.join();
    closeSocket(mListener);
#ifdef _WIN32
    WSACleanup();
#endif
}

QString RawHttpServer::url(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(mPort).arg(path);
}

QByteArray RawHttpServer::lastRequest() const
{
    std::lock_guard lock(mMutex);
    return mLastRequest;
}

void RawHttpServer::serve()
{
    while (!mStop) {
        if (waitReadable(mListener, 50) <= 0)
            continue;
        const NativeSocket connection = ::accept(NativeSocket(mListener), nullptr, nullptr);
        if (Handle(connection) == kNoSocket)
            continue;
        handle(Handle(connection));
        closeSocket(Handle(connection));
    }
}

void RawHttpServer::handle(SocketHandle connection)
{
    using namespace std::chrono;
    QByteArray request;
    const auto deadline = steady_clock::now() + seconds(5);
    qsizetype wanted = -1;
    while (!mStop && steady_clock::now() < deadline) {
        if (waitReadable(connection, 50) <= 0)
            continue;
        char buffer[4096];
        const ssize_t got = ::recv(NativeSocket(connection), buffer, sizeof buffer, 0);
        if (got <= 0)
            break;
        request.append(buffer, got);
        const qsizetype headEnd = request.indexOf("\r\n\r\n");
        if (headEnd >= 0 && wanted < 0) {
            wanted = headEnd + 4;
            const QByteArray lower = request.left(headEnd).toLower();
            const qsizetype at = lower.indexOf("\r\ncontent-length:");
            if (at >= 0)
                wanted += TextOps::toInt(QString::fromLatin1(lower.mid(at + 17, 20)));
        }
        if (wanted >= 0 && request.size() >= wanted)
            break;
    }
    {
        std::lock_guard lock(mMutex);
        mLastRequest = request;
    }
    ++mRequests;

    const auto stallEnd = steady_clock::now() + mStall;
    while (!mStop && steady_clock::now() < stallEnd)
        std::this_thread::sleep_for(milliseconds(10));
    if (!mStop)
        ::send(NativeSocket(connection), mResponse.constData(), int(mResponse.size()), kSendFlags);
}

} // namespace Plumbrook::Test
