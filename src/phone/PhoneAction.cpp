#include "phone/PhoneAction.h"

#include <QRegularExpression>
#include <QStringList>

namespace vantle::phone {
namespace {

QVariant parseValue(const QString& text) {
    bool isNumber = false;
    const qint64 number = text.toLongLong(&isNumber);
    if (isNumber) return number;
    if (text == QLatin1String("true")) return true;
    if (text == QLatin1String("false")) return false;
    if (text.startsWith(QLatin1Char('[')) && text.endsWith(QLatin1Char(']'))) {
        QVariantList items;
        for (const QString& item :
             text.mid(1, text.size() - 2).split(QLatin1Char(','), Qt::SkipEmptyParts))
            items << item.trimmed();
        return items;
    }
    return text;
}

} // namespace

std::optional<PhoneAction> PhoneAction::parse(const QString& line, QString* error) {
    const QString trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#'))) return std::nullopt;
    const qsizetype space = trimmed.indexOf(QLatin1Char(' '));
    const QString verb = space < 0 ? trimmed : trimmed.left(space);
    const QString rest = space < 0 ? QString() : trimmed.mid(space + 1).trimmed();
    const auto fail = [&](const QString& why) -> std::optional<PhoneAction> {
        if (error) *error = why;
        return std::nullopt;
    };
    PhoneAction action;
    if (verb == QLatin1String("push")) {
        if (rest.isEmpty()) return fail(QStringLiteral("push needs a path"));
        action.kind = Kind::Push;
        action.argument = rest;
    } else if (verb == QLatin1String("ask")) {
        // Values may hold blanks only inside [ ]; keys and texts are single words.
        const QStringList words = rest.split(
            QRegularExpression(QStringLiteral("\\s+(?![^\\[]*\\])")), Qt::SkipEmptyParts);
        if (words.isEmpty()) return fail(QStringLiteral("ask needs a request type"));
        action.kind = Kind::Ask;
        action.argument = words.first();
        for (const QString& word : words.mid(1)) {
            const qsizetype equals = word.indexOf(QLatin1Char('='));
            if (equals <= 0) return fail(QStringLiteral("expected KEY=VALUE, got %1").arg(word));
            action.fields.insert(word.left(equals), parseValue(word.mid(equals + 1)));
        }
    } else if (verb == QLatin1String("notify")) {
        if (rest.isEmpty()) return fail(QStringLiteral("notify needs a name"));
        action.kind = Kind::Notify;
        action.argument = rest;
    } else if (verb == QLatin1String("sleep")) {
        bool ok = false;
        action.ms = rest.toInt(&ok);
        if (!ok || action.ms < 0) return fail(QStringLiteral("sleep needs milliseconds"));
        action.kind = Kind::Sleep;
    } else if (verb == QLatin1String("disconnect")) {
        action.kind = Kind::Disconnect;
    } else {
        return fail(QStringLiteral("unknown action %1").arg(verb));
    }
    return action;
}

} // namespace vantle::phone
