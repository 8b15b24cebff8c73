#include "BenchSockets.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vantle::bench {

namespace {
constexpr int kBacklog = 4;
}

Listener::Listener() {
    fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const SocketAddress any = makeSocketAddress(INADDR_LOOPBACK, 0);
    ::bind(fd, asSockaddr(any), sizeof(sockaddr_in));
    ::listen(fd, kBacklog);
    sockaddr_in bound{};
    socklen_t length = sizeof bound;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &length);
    port = ntohs(bound.sin_port);
}

Listener::~Listener() {
    ::close(fd);
}

int Listener::accept() const {
    return ::accept4(fd, nullptr, nullptr, SOCK_CLOEXEC);
}

SocketAddress Listener::address() const {
    return makeSocketAddress(INADDR_LOOPBACK, port);
}

void Listener::shutdown() const {
    ::shutdown(fd, SHUT_RDWR);
}

int connectLoopback(std::uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const SocketAddress address = makeSocketAddress(INADDR_LOOPBACK, port);
    if (fd < 0 || ::connect(fd, asSockaddr(address), sizeof(sockaddr_in)) != 0) {
        if (fd >= 0) ::close(fd);
        return -1;
    }
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    return fd;
}

bool readAll(int fd, char* into, std::size_t count) {
    while (count > 0) {
        const ssize_t got = ::recv(fd, into, count, 0);
        if (got <= 0) return false;
        into += got;
        count -= static_cast<std::size_t>(got);
    }
    return true;
}

bool writeAll(int fd, const char* from, std::size_t count) {
    while (count > 0) {
        const ssize_t sent = ::send(fd, from, count, MSG_NOSIGNAL);
        if (sent <= 0) return false;
        from += sent;
        count -= static_cast<std::size_t>(sent);
    }
    return true;
}

} // namespace vantle::bench
