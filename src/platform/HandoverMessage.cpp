#include "platform/HandoverMessage.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

namespace vantle {
namespace {

const QLatin1StringView kFilesKey{"files"};
const QLatin1StringView kConnectKey{"connect"};
const QLatin1StringView kBackgroundKey{"background"};
const QLatin1StringView kActivationTokenKey{"activationToken"};
// Tokens are printable ASCII; anything else (a line break, a NUL) has no place in the
// environment variable it ends up in.
constexpr char16_t kFirstPrintable = u' ';
constexpr char16_t kLastPrintable = u'~';

bool isAcceptablePath(const QString& path) {
    return !path.contains(QChar(u'\0')) && QDir::isAbsolutePath(path);
}

bool isAcceptableToken(const QJsonValue& value) {
    const QString token = value.toString();
    return value.isString() && !token.isEmpty() && token.size() <= kMaxActivationTokenLength &&
           std::all_of(token.cbegin(), token.cend(), [](QChar c) {
               return c.unicode() >= kFirstPrintable && c.unicode() <= kLastPrintable;
           });
}

} // namespace

QByteArray encodeHandoverMessage(const HandoverMessage& message) {
    QJsonObject object;
    object.insert(kFilesKey, QJsonArray::fromStringList(message.files));
    if (message.connect) object.insert(kConnectKey, *message.connect);
    if (message.window == WindowRequest::Background) object.insert(kBackgroundKey, true);
    if (message.activationToken) object.insert(kActivationTokenKey, *message.activationToken);
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

Result<HandoverMessage> decodeHandoverMessage(const QByteArray& document) {
    if (document.size() > kMaxHandoverBytes)
        return Result<HandoverMessage>::failure(
            QStringLiteral("%1 bytes, more than %2").arg(document.size()).arg(kMaxHandoverBytes));
    QJsonParseError parseError;
    const QJsonDocument json = QJsonDocument::fromJson(document, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return Result<HandoverMessage>::failure(QStringLiteral("not JSON: ") +
                                                parseError.errorString());
    if (!json.isObject()) return Result<HandoverMessage>::failure(QStringLiteral("not an object"));
    const QJsonObject object = json.object();

    HandoverMessage message;
    const QJsonValue files = object.value(kFilesKey);
    if (!files.isUndefined() && !files.isArray())
        return Result<HandoverMessage>::failure(QStringLiteral("\"files\" is not a list"));
    const QJsonArray fileList = files.toArray();
    for (const QJsonValue& file : fileList) {
        if (!file.isString())
            return Result<HandoverMessage>::failure(QStringLiteral("a file is not a text"));
        const QString path = file.toString();
        if (!isAcceptablePath(path))
            return Result<HandoverMessage>::failure(QStringLiteral("not an absolute path: ") +
                                                    path);
        message.files.append(QDir::cleanPath(path));
    }

    const QJsonValue connect = object.value(kConnectKey);
    if (!connect.isUndefined()) {
        const QString address = connect.toString();
        if (!connect.isString() || address.isEmpty() || address.size() > kMaxHandoverConnectLength)
            return Result<HandoverMessage>::failure(
                QStringLiteral("\"connect\" is not a usable address"));
        message.connect = address;
    }

    const QJsonValue background = object.value(kBackgroundKey);
    if (!background.isUndefined() && !background.isBool())
        return Result<HandoverMessage>::failure(
            QStringLiteral("\"background\" is not true or false"));
    if (background.toBool()) message.window = WindowRequest::Background;
    if (const QJsonValue token = object.value(kActivationTokenKey); isAcceptableToken(token))
        message.activationToken = token.toString();
    return message;
}

} // namespace vantle
