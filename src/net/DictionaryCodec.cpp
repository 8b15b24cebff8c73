#include "net/DictionaryCodec.h"

#include "net/WireFormat.h"
#include "platform/Plist.h"
#include "support/ParoxLog.h"

#include <QtEndian>

namespace vantle {

QByteArray encodeDictionary(std::uint32_t magic, const QVariantMap& dictionary) {
    QString error;
    const QByteArray body = plist::writeBinary(dictionary, &error);
    if (body.isEmpty()) {
        ParoxErrorLog("Failed serializing dictionary: %@", error);
        return {};
    }
    QByteArray payload(static_cast<qsizetype>(wire::kPayloadMagicSize), Qt::Uninitialized);
    qToBigEndian<std::uint32_t>(magic, payload.data());
    payload.append(body);
    return payload;
}

std::optional<QVariantMap> decodeDictionary(std::uint32_t magic, const QByteArray& payload,
                                            QString* error) {
    if (payload.size() <= static_cast<qsizetype>(wire::kPayloadMagicSize)) return std::nullopt;
    if (qFromBigEndian<std::uint32_t>(payload.constData()) != magic) return std::nullopt;
    const QByteArray body = payload.sliced(static_cast<qsizetype>(wire::kPayloadMagicSize));
    const Result<plist::Document> parsed =
        plist::read(body, plist::ReadLimits{wire::kMaxValuesPerMessage});
    if (!parsed) {
        ParoxLog("Refused a dictionary of %d bytes: %@", body.size(), parsed.error());
        if (error) *error = parsed.error();
        return std::nullopt;
    }
    if (parsed->value.typeId() != QMetaType::QVariantMap) {
        if (error) *error = QStringLiteral("the property list is not a dictionary");
        return std::nullopt;
    }
    return parsed->value.toMap();
}

} // namespace vantle
