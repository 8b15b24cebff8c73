#pragma once

#include <QString>
#include <QVariantMap>
#include <optional>

namespace vantle::phone {

// One thing the phone does on its own once the PC is approved: a line of a script file or of
// standard input.
struct PhoneAction {
    enum class Kind { Push, Ask, Notify, Sleep, Disconnect };
    Kind kind = Kind::Sleep;
    QString argument;   // the path, request type or notification name
    QVariantMap fields; // the request's keys for Ask
    int ms = 0;         // for Sleep

    // None for a blank line or a comment; `error` says what is wrong with a line that is neither
    // an action nor empty.
    static std::optional<PhoneAction> parse(const QString& line, QString* error);
};

} // namespace vantle::phone
