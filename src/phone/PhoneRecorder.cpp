#include "phone/PhoneRecorder.h"

#include "phone/PhoneMessageLog.h"
#include "platform/PlistValue.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace vantle::phone {
namespace {

QJsonValue jsonValue(const QVariant& value) {
    switch (plist::kindOf(value)) {
    case plist::ValueKind::Data: {
        const QByteArray bytes = value.toByteArray();
        return QJsonObject{
            {QStringLiteral("length"), bytes.size()},
            {QStringLiteral("sha256"),
             QString::fromLatin1(
                 QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex())}};
    }
    case plist::ValueKind::Dictionary: {
        QJsonObject object;
        const QVariantMap map = value.toMap();
        for (auto it = map.begin(); it != map.end(); ++it)
            object.insert(it.key(), jsonValue(it.value()));
        return object;
    }
    case plist::ValueKind::Array: {
        QJsonArray array;
        for (const QVariant& item : value.toList())
            array.append(jsonValue(item));
        return array;
    }
    case plist::ValueKind::Integer:
        return plist::signedValue(value);
    case plist::ValueKind::UnsignedInteger:
        return static_cast<double>(plist::unsignedValue(value));
    case plist::ValueKind::Real:
        return value.toDouble();
    case plist::ValueKind::Bool:
        return value.toBool();
    case plist::ValueKind::Date:
        return value.toDateTime().toUTC().toString(Qt::ISODateWithMs);
    case plist::ValueKind::String:
    case plist::ValueKind::Unsupported:
        break;
    }
    return value.toString();
}

QString directionName(PhoneRecorder::Direction direction) {
    return direction == PhoneRecorder::Direction::Received ? QStringLiteral("received")
                                                           : QStringLiteral("sent");
}

QString kindName(PhoneRecorder::Kind kind) {
    switch (kind) {
    case PhoneRecorder::Kind::Handshake:
        return QStringLiteral("handshake");
    case PhoneRecorder::Kind::Ping:
        return QStringLiteral("ping");
    case PhoneRecorder::Kind::Message:
        break;
    }
    return QStringLiteral("message");
}

} // namespace

bool PhoneRecorder::open(const QString& path, QString* error) {
    mFile.setFileName(path);
    if (mFile.open(QIODevice::WriteOnly | QIODevice::Truncate)) return true;
    if (error) *error = mFile.errorString();
    return false;
}

void PhoneRecorder::record(int connection, Direction direction, Kind kind,
                           const QVariantMap& dictionary) {
    if (!mFile.isOpen()) return;
    const QJsonObject line{
        {QStringLiteral("connection"), connection},
        {QStringLiteral("direction"), directionName(direction)},
        {QStringLiteral("time"), QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs)},
        {QStringLiteral("kind"), kindName(kind)},
        {QStringLiteral("dictionary"), jsonValue(dictionary)}};
    const QByteArray bytes = QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n';
    if (mFile.write(bytes) != bytes.size() || !mFile.flush()) {
        printLine(QStringLiteral("-- cannot write the record %1: %2; recording stops")
                      .arg(mFile.fileName(), mFile.errorString()));
        mFile.close();
    }
}

} // namespace vantle::phone
