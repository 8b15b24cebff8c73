#include "phone/PhoneMessageLog.h"

#include "transfer/ProtocolKeys.h"

#include <QStringList>
#include <cstdio>

namespace vantle::phone {
namespace {

constexpr qsizetype kMaxValueText = 300;

} // namespace

QString describeValue(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::QByteArray:
        return QStringLiteral("<%1 bytes>").arg(value.toByteArray().size());
    case QMetaType::QVariantMap: {
        QStringList parts;
        const QVariantMap map = value.toMap();
        for (auto it = map.begin(); it != map.end(); ++it)
            parts << it.key() + QLatin1Char('=') + describeValue(it.value());
        return QLatin1Char('{') + parts.join(QStringLiteral(", ")) + QLatin1Char('}');
    }
    case QMetaType::QVariantList: {
        QStringList parts;
        for (const QVariant& item : value.toList())
            parts << describeValue(item);
        return QLatin1Char('[') + parts.join(QStringLiteral(", ")) + QLatin1Char(']');
    }
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    default:
        return value.toString();
    }
}

QString describeMessage(const QVariantMap& message) {
    QVariantMap rest = message;
    const QString kind = rest.take(keys::kMessageType).toString();
    QString head = kind.isEmpty() ? QStringLiteral("Message") : kind;
    if (rest.contains(keys::kRequestNum))
        head += QStringLiteral(" #%1").arg(rest.take(keys::kRequestNum).toLongLong());
    if (rest.contains(keys::kResponseNum))
        head += QStringLiteral(" #%1").arg(rest.take(keys::kResponseNum).toLongLong());
    if (rest.contains(keys::kRequestType))
        head += QLatin1Char(' ') + rest.take(keys::kRequestType).toString();
    QString body = describeValue(rest);
    if (body.size() > kMaxValueText) body = body.left(kMaxValueText) + QStringLiteral("...}");
    return head + QLatin1Char(' ') + body;
}

void printLine(const QString& line) {
    std::fputs(line.toLocal8Bit().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace vantle::phone
