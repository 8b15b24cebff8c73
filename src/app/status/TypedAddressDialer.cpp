// Typed addresses dialled without the window waiting for a name's look-up.
#include "app/status/TypedAddressDialer.h"

#include "support/ParoxLog.h"

#include <optional>
#include <utility>

namespace vantle {

TypedAddressDialer::TypedAddressDialer(ClientServerController& clientServer)
    : mClientServer(clientServer) {}

void TypedAddressDialer::dial(const QString& text, Done done) {
    const std::uint64_t number = ++mLatest;
    // A numeric address, or one that is no address at all, needs nobody's answer.
    if (!splitTypedAddress(text) || NSNetServicesWrapper::wrapperWithNumericIP(text)) {
        done(mClientServer.addServer(text));
        return;
    }
    ParoxLog("looking up %@", text);
    mLookups.runThenCallback(
        [text, lookUp = mLookUp] { return NSNetServicesWrapper::wrapperWithIP(text, lookUp); },
        [this, number, text,
         done = std::move(done)](const std::optional<NSNetServicesWrapper>& found) {
            if (number != mLatest) {
                ParoxLog("the look-up of %@ came after a later dial: dropped", text);
                return;
            }
            done(found ? mClientServer.addServer(*found) : AddServerResult::InvalidAddress);
        });
}

} // namespace vantle
