#include "phone/PhoneRequestCheck.h"

#include "platform/PlistValue.h"
#include "transfer/ProtocolKeys.h"

#include <QVariantList>
#include <vector>

namespace vantle::phone {
namespace {

enum class Presence { Required, Optional };
// Texts in a list: "Paths".
enum class Shape { Text, Integer, Boolean, Data, Dictionary, ListOfTexts };

struct Field {
    QLatin1StringView key;
    Shape shape;
    Presence presence;
};

struct RequestFields {
    QLatin1StringView type;
    std::vector<Field> fields;
};

const std::vector<RequestFields>& fieldTable() {
    using P = Presence;
    using S = Shape;
    static const std::vector<RequestFields> table = {
        {requests::kVersionCheck, {{keys::kServerVersion, S::Integer, P::Optional}}},
        {requests::kDirectoryList, {{keys::kPath, S::Text, P::Required}}},
        {requests::kGetIconsAndSizes, {{keys::kPaths, S::ListOfTexts, P::Required}}},
        {requests::kFileExists, {{keys::kPath, S::Text, P::Required}}},
        {requests::kRequestFile, {{keys::kPath, S::Text, P::Required}}},
        {requests::kRemoveFile, {{keys::kPath, S::Text, P::Required}}},
        {requests::kCreateDirectory,
         {{keys::kPath, S::Text, P::Required},
          {keys::kPreviewTIFF, S::Data, P::Optional},
          {keys::kHTMLSubstitute, S::Data, P::Optional}}},
        {requests::kSendChunk,
         {{keys::kPath, S::Text, P::Required},
          {keys::kChunkData, S::Data, P::Required},
          {keys::kChunkNum, S::Integer, P::Required},
          {keys::kLastChunk, S::Boolean, P::Optional},
          {keys::kTotalBytes, S::Integer, P::Optional},
          {keys::kCurrentBytes, S::Integer, P::Optional},
          {keys::kBaseFileName, S::Text, P::Optional},
          {keys::kPreviewTIFF, S::Data, P::Optional},
          {keys::kHTMLSubstitute, S::Data, P::Optional}}},
        {requests::kNotify,
         {{keys::kNotification, S::Text, P::Required},
          {keys::kUserInfo, S::Dictionary, P::Optional}}},
    };
    return table;
}

bool hasShape(const QVariant& value, Shape shape) {
    using plist::ValueKind;
    const ValueKind kind = plist::kindOf(value);
    switch (shape) {
    case Shape::Text:
        return kind == ValueKind::String;
    case Shape::Integer:
        return kind == ValueKind::Integer;
    case Shape::Boolean:
        return kind == ValueKind::Bool;
    case Shape::Data:
        return kind == ValueKind::Data;
    case Shape::Dictionary:
        return kind == ValueKind::Dictionary;
    case Shape::ListOfTexts:
        if (kind != ValueKind::Array) return false;
        for (const QVariant& item : value.toList())
            if (plist::kindOf(item) != ValueKind::String) return false;
        return true;
    }
    return false;
}

QString shapeName(Shape shape) {
    switch (shape) {
    case Shape::Text:
        return QStringLiteral("a string");
    case Shape::Integer:
        return QStringLiteral("an integer");
    case Shape::Boolean:
        return QStringLiteral("a boolean");
    case Shape::Data:
        return QStringLiteral("data");
    case Shape::Dictionary:
        return QStringLiteral("a dictionary");
    case Shape::ListOfTexts:
        return QStringLiteral("an array of strings");
    }
    return {};
}

} // namespace

QString requestFieldProblem(const QVariantMap& request) {
    const QString type = request.value(keys::kRequestType).toString();
    for (const RequestFields& entry : fieldTable()) {
        if (type != entry.type) continue;
        for (const Field& field : entry.fields) {
            const auto found = request.constFind(field.key);
            if (found == request.constEnd()) {
                if (field.presence == Presence::Required)
                    return QStringLiteral("%1 without \"%2\"").arg(type, field.key);
                continue;
            }
            if (!hasShape(*found, field.shape))
                return QStringLiteral("%1 with \"%2\" that is not %3")
                    .arg(type, field.key, shapeName(field.shape));
        }
        return {};
    }
    return {};
}

} // namespace vantle::phone
