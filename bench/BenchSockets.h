#pragma once

#include "net/SocketAddress.h"

#include <cstddef>
#include <cstdint>

// Blocking loopback sockets for the benchmarks' own ends of a connection.
namespace vantle::bench {

// A socket listening on 127.0.0.1 at a port the system picks.
struct Listener {
    int fd = -1;
    std::uint16_t port = 0;
    Listener();
    ~Listener();
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;
    int accept() const;
    SocketAddress address() const;
    // Wakes a thread blocked in accept().
    void shutdown() const;
};

// A connected socket to 127.0.0.1:port, or -1.
int connectLoopback(std::uint16_t port);
bool readAll(int fd, char* into, std::size_t count);
bool writeAll(int fd, const char* from, std::size_t count);

} // namespace vantle::bench
