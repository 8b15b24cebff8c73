#include "app/history/TransferHistoryFile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace vantle {
namespace {

// The largest whole number a JSON number holds exactly.
constexpr double kLargestExactInteger = 9007199254740992.0; // 2^53

const QLatin1StringView kVersionKey("version");
const QLatin1StringView kEntriesKey("entries");
const QLatin1StringView kTimeKey("time");
const QLatin1StringView kDirectionKey("direction");
const QLatin1StringView kResultKey("result");
const QLatin1StringView kNameKey("name");
const QLatin1StringView kSizeKey("size");
const QLatin1StringView kPhoneKey("phone");
const QLatin1StringView kPathKey("path");
const QLatin1StringView kReasonKey("reason");

constexpr std::array kDirections{
    std::pair{TransferDirection::Sent, QLatin1StringView("sent")},
    std::pair{TransferDirection::Received, QLatin1StringView("received")}};
constexpr std::array kResults{std::pair{TransferResult::Done, QLatin1StringView("done")},
                              std::pair{TransferResult::Failed, QLatin1StringView("failed")},
                              std::pair{TransferResult::Cancelled, QLatin1StringView("cancelled")}};

template <class Table, class Value> QLatin1StringView textOf(const Table& table, Value value) {
    for (const auto& [known, text] : table)
        if (known == value) return text;
    return {};
}

template <class Table>
auto valueOf(const Table& table, const QString& text) -> std::optional<decltype(table[0].first)> {
    for (const auto& [known, name] : table)
        if (name == text) return known;
    return std::nullopt;
}

// A whole number from 0 to 2^53; none for anything else.
std::optional<qint64> countOf(const QJsonValue& value) {
    if (!value.isDouble()) return std::nullopt;
    const double number = value.toDouble();
    if (!(number >= 0 && number <= kLargestExactInteger) || std::trunc(number) != number)
        return std::nullopt;
    return static_cast<qint64>(number);
}

// A text field; `required` ones must be there. Text the file cannot hold again is refused.
Result<QString> textField(const QJsonObject& entry, QLatin1StringView key, bool required) {
    const QJsonValue value = entry.value(key);
    if (value.isUndefined() && !required) return QString();
    if (!value.isString())
        return Result<QString>::failure(QString(key) + QStringLiteral(" is not a text"));
    QString text = value.toString();
    if (!text.isValidUtf16())
        return Result<QString>::failure(QString(key) + QStringLiteral(" is not valid text"));
    return text;
}

Result<TransferRecord> entryOf(const QJsonValue& value) {
    if (!value.isObject()) return Result<TransferRecord>::failure(QStringLiteral("not an object"));
    const QJsonObject entry = value.toObject();
    TransferRecord record;
    const std::optional<qint64> time = countOf(entry.value(kTimeKey));
    if (!time)
        return Result<TransferRecord>::failure(
            QStringLiteral("time is not a count of milliseconds"));
    record.time = QDateTime::fromMSecsSinceEpoch(*time, Qt::UTC);
    const auto direction = valueOf(kDirections, entry.value(kDirectionKey).toString());
    if (!direction) return Result<TransferRecord>::failure(QStringLiteral("unknown direction"));
    record.direction = *direction;
    const auto result = valueOf(kResults, entry.value(kResultKey).toString());
    if (!result) return Result<TransferRecord>::failure(QStringLiteral("unknown result"));
    record.result = *result;
    if (entry.contains(kSizeKey)) {
        const std::optional<qint64> size = countOf(entry.value(kSizeKey));
        if (!size)
            return Result<TransferRecord>::failure(QStringLiteral("size is not a count of bytes"));
        record.size = static_cast<quint64>(*size);
    }
    const std::array texts{
        std::pair{kNameKey, &record.name}, std::pair{kPhoneKey, &record.phoneName},
        std::pair{kPathKey, &record.localPath}, std::pair{kReasonKey, &record.reason}};
    for (const auto& [key, field] : texts) {
        Result<QString> text = textField(entry, key, key == kNameKey);
        if (!text) return Result<TransferRecord>::failure(text.error());
        *field = *std::move(text);
    }
    return record;
}

} // namespace

Result<QList<TransferRecord>> TransferHistoryFile::decode(const QByteArray& bytes) {
    using Entries = Result<QList<TransferRecord>>;
    if (bytes.isEmpty()) return QList<TransferRecord>();
    if (bytes.size() > kMaxFileBytes)
        return Entries::failure(QStringLiteral("the file has %1 bytes, more than %2")
                                    .arg(bytes.size())
                                    .arg(kMaxFileBytes));
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return Entries::failure(QStringLiteral("not JSON: %1 at %2")
                                    .arg(parseError.errorString())
                                    .arg(parseError.offset));
    if (!document.isObject()) return Entries::failure(QStringLiteral("not a JSON object"));
    const QJsonObject root = document.object();
    const std::optional<qint64> version = countOf(root.value(kVersionKey));
    if (!version) return Entries::failure(QStringLiteral("no version"));
    if (*version != kVersion)
        return Entries::failure(QStringLiteral("unknown version %1").arg(*version));
    if (!root.value(kEntriesKey).isArray()) return Entries::failure(QStringLiteral("no entries"));
    const QJsonArray array = root.value(kEntriesKey).toArray();
    if (array.size() > kMaxEntries)
        return Entries::failure(
            QStringLiteral("%1 entries, more than %2").arg(array.size()).arg(kMaxEntries));
    QList<TransferRecord> entries;
    entries.reserve(array.size());
    for (qsizetype i = 0; i < array.size(); ++i) {
        Result<TransferRecord> entry = entryOf(array.at(i));
        if (!entry)
            return Entries::failure(QStringLiteral("entry %1: %2").arg(i).arg(entry.error()));
        entries.append(*std::move(entry));
    }
    return entries;
}

QByteArray TransferHistoryFile::encode(const QList<TransferRecord>& entries) {
    QJsonArray array;
    for (const TransferRecord& record : entries.first(std::min(entries.size(), kMaxEntries))) {
        QJsonObject entry{
            {kTimeKey, static_cast<double>(record.time.toMSecsSinceEpoch())},
            {kDirectionKey, QString(textOf(kDirections, record.direction))},
            {kResultKey, QString(textOf(kResults, record.result))},
            {kNameKey, record.name},
        };
        if (record.size) entry.insert(kSizeKey, static_cast<double>(*record.size));
        const std::array texts{std::pair{kPhoneKey, &record.phoneName},
                               std::pair{kPathKey, &record.localPath},
                               std::pair{kReasonKey, &record.reason}};
        for (const auto& [key, field] : texts)
            if (!field->isEmpty()) entry.insert(key, *field);
        array.append(entry);
    }
    const QJsonObject root{{kVersionKey, kVersion}, {kEntriesKey, array}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

} // namespace vantle
