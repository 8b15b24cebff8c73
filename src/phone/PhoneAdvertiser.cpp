#include "phone/PhoneAdvertiser.h"

#include "net/DnsSdLibrary.h"
#include "net/GameClient.h"
#include "phone/PhoneMessageLog.h"

#include <QSocketNotifier>
#include <QtEndian>

namespace vantle::phone {
namespace {

template <class Fn> Fn function(const char* name) {
    return reinterpret_cast<Fn>(dnsSdFunction(name));
}

void notAdvertising(const QString& why) {
    printLine(
        QStringLiteral("%1 - not advertising; the phone answers at its address only").arg(why));
}

} // namespace

PhoneAdvertiser::PhoneAdvertiser() = default;

PhoneAdvertiser::~PhoneAdvertiser() {
    end();
}

void PhoneAdvertiser::end() {
    // end() may run inside the notifier's own signal.
    if (mNotifier) {
        mNotifier->setEnabled(false);
        mNotifier->deleteLater();
    }
    mNotifier = nullptr;
    if (mRef && mDeallocate) mDeallocate(mRef);
    mRef = nullptr;
}

bool PhoneAdvertiser::advertise(const QString& uniqueID, const QString& name, std::uint16_t port) {
    end();
    const auto registerFn = function<dnssd::DNSServiceRegisterFn>("DNSServiceRegister");
    const auto sockFn = function<dnssd::DNSServiceRefSockFDFn>("DNSServiceRefSockFD");
    mProcessResult = function<dnssd::DNSServiceProcessResultFn>("DNSServiceProcessResult");
    mDeallocate = function<dnssd::DNSServiceRefDeallocateFn>("DNSServiceRefDeallocate");
    if (!registerFn || !sockFn || !mProcessResult || !mDeallocate) {
        notAdvertising(dnsSdLoadError());
        return false;
    }
    auto type = serviceTypeForGameIdentifier(QLatin1String(kVantleServiceIdentifier));
    if (!type) return false;
    // Registration wants the type without the root's final dot.
    if (type->endsWith(QLatin1Char('.'))) type->chop(1);
    const QByteArray instance = QStringLiteral("%1:%2").arg(uniqueID, name).toUtf8();
    const QByteArray typeBytes = type->toUtf8();
    const dnssd::DNSServiceErrorType err =
        registerFn(&mRef, 0, 0, instance.constData(), typeBytes.constData(), nullptr, nullptr,
                   qToBigEndian(port), 0, nullptr, &registerReply, this);
    if (err != dnssd::kDNSServiceErr_NoError) {
        mRef = nullptr;
        notAdvertising(dnsSdErrorText(err));
        return false;
    }
    const int fd = sockFn(mRef);
    if (fd >= 0) {
        mNotifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        connect(mNotifier, &QSocketNotifier::activated, this, [this] {
            if (mRef && mProcessResult(mRef) != dnssd::kDNSServiceErr_NoError) {
                // The daemon went away; the registration is over.
                printLine(QStringLiteral("advertising ended: the DNS-SD daemon went away"));
                end();
            }
        });
    }
    printLine(QStringLiteral("advertising \"%1\" as %2 on port %3")
                  .arg(QString::fromUtf8(instance), *type)
                  .arg(port));
    return true;
}

void PhoneAdvertiser::registerReply(dnssd::DNSServiceRef, dnssd::DNSServiceFlags,
                                    dnssd::DNSServiceErrorType error, const char* name,
                                    const char* regtype, const char* domain, void*) {
    if (error != dnssd::kDNSServiceErr_NoError) {
        printLine(QStringLiteral("advertising failed: %1").arg(dnsSdErrorText(error)));
        return;
    }
    printLine(QStringLiteral("advertised \"%1\" %2%3")
                  .arg(QString::fromUtf8(name ? name : ""),
                       QString::fromUtf8(regtype ? regtype : ""),
                       QString::fromUtf8(domain ? domain : "")));
}

} // namespace vantle::phone
