#include "support/raw_http_server.h"

#include "codegen/text_ops.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace Plumbrook::Test {

RawHttpServer::RawHttpServer(QByteArray response, std::chrono::milliseconds stall)
    : mResponse(std::move(response))
    , mStall(stall)
{
    mListener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    ::bind(mListener, reinterpret_cast<sockaddr *>(&address), sizeof address);
    ::listen(mListener, 8);
    socklen_t length = sizeof address;
    ::getsockname(mListener, reinterpret_cast<sockaddr *>(&address), &length);
    mPort = ntohs(address.sin_port);
    mThread = std::thread([this] { serve(); });
}

RawHttpServer::~RawHttpServer()
{
    mStop = true;
    mThread.join();
    ::close(mListener);
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
        pollfd listener{mListener, POLLIN, 0};
        if (::poll(&listener, 1, 50) <= 0)
            continue;
        const int connection = ::accept(mListener, nullptr, nullptr);
        if (connection < 0)
            continue;
        handle(connection);
        ::close(connection);
    }
}

void RawHttpServer::handle(int connection)
{
    using namespace std::chrono;
    QByteArray request;
    const auto deadline = steady_clock::now() + seconds(5);
    qsizetype wanted = -1;
    while (!mStop && steady_clock::now() < deadline) {
        pollfd fd{connection, POLLIN, 0};
        if (::poll(&fd, 1, 50) <= 0)
            continue;
        char buffer[4096];
        const ssize_t got = ::recv(connection, buffer, sizeof buffer, 0);
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
        ::send(connection, mResponse.constData(), size_t(mResponse.size()), MSG_NOSIGNAL);
}

} // namespace Plumbrook::Test
