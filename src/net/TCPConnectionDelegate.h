#pragma once

#include <QByteArray>
#include <cstdint>

namespace vantle {

class TCPConnection;

// What a TCPConnection tells its delegate. The connection asks once, when the delegate is set,
// which callbacks are implemented, and sends only those.
class TCPConnectionDelegate {
public:
    enum Callback : std::uint32_t {
        kDidFailOpening = 1u << 0,
        kDidOpen = 1u << 1,
        kDidClose = 1u << 2,
        kDidReceiveData = 1u << 3,
        kAllCallbacks = kDidFailOpening | kDidOpen | kDidClose | kDidReceiveData,
    };

    virtual ~TCPConnectionDelegate() = default;
    virtual std::uint32_t implementedCallbacks() const { return kAllCallbacks; }

    virtual void connectionDidFailOpening(TCPConnection*) {}
    virtual void connectionDidOpen(TCPConnection*) {}
    virtual void connectionDidClose(TCPConnection*) {}
    virtual void connectionDidReceiveData(TCPConnection*, const QByteArray&) {}
};

} // namespace vantle
