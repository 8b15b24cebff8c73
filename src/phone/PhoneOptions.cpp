#include "phone/PhoneOptions.h"

#include <functional>
#include <limits>
#include <vector>

namespace vantle::phone {
namespace {

// Whether an option's value may be left out; an optional one comes only as "--name=value".
enum class ValueUse { AsNamed, Optional };

// One row per option: adding an option is adding a row (and its field).
struct OptionSpec {
    const char* name;
    const char* valueName; // nullptr for a flag
    const char* help;
    std::function<bool(PhoneOptions&, const QString&)> apply;
    ValueUse valueUse = ValueUse::AsNamed;
};

bool toInt64(const QString& text, qint64& out, qint64 minimum) {
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    if (!ok || value < minimum) return false;
    out = value;
    return true;
}

bool toInt(const QString& text, int& out, int minimum) {
    qint64 value = 0;
    if (!toInt64(text, value, minimum) || value > std::numeric_limits<int>::max()) return false;
    out = static_cast<int>(value);
    return true;
}

// The approval options exclude each other; repeating one is harmless.
bool setApproval(PhoneOptions& o, Approval approval) {
    if (o.approval != Approval::Allow && o.approval != approval) return false;
    o.approval = approval;
    return true;
}

bool setFlag(bool& field) {
    field = true;
    return true;
}

// "N", "TYPE" or "TYPE:N".
std::optional<RequestSelector> toSelector(const QString& text) {
    RequestSelector which;
    const QStringList parts = text.split(QLatin1Char(':'));
    if (parts.size() > 2 || parts[0].isEmpty()) return std::nullopt;
    if (parts.size() == 2) {
        if (!toInt(parts[1], which.ordinal, 1)) return std::nullopt;
        which.type = parts[0];
        return which;
    }
    if (parts[0].front().isDigit()) {
        if (!toInt(parts[0], which.ordinal, 1)) return std::nullopt;
        return which;
    }
    which.type = parts[0];
    return which;
}

bool addWithhold(PhoneOptions& o, const QString& value) {
    const auto which = toSelector(value);
    if (!which) return false;
    o.answerFaults.withhold.push_back(*which);
    return true;
}

// "WHICH=+K", "WHICH=-K" or "WHICH=none".
bool addResponseNum(PhoneOptions& o, const QString& value) {
    const QStringList parts = value.split(QLatin1Char('='));
    if (parts.size() != 2) return false;
    const auto which = toSelector(parts[0]);
    if (!which) return false;
    ResponseNumFault fault{*which};
    if (parts[1] == QLatin1String("none")) {
        fault.kind = ResponseNumFault::Kind::Missing;
    } else if (!toInt64(parts[1], fault.shift, std::numeric_limits<qint64>::min()) ||
               fault.shift == 0) {
        return false;
    }
    o.answerFaults.responseNum.push_back(fault);
    return true;
}

// Empty (the first request, again before the next answer), "WHICH" or "WHICH@MS".
bool addDuplicate(PhoneOptions& o, const QString& value) {
    DuplicateFault fault{RequestSelector{QString(), 1}};
    if (!value.isEmpty()) {
        const QStringList parts = value.split(QLatin1Char('@'));
        if (parts.size() > 2) return false;
        const auto which = toSelector(parts[0]);
        if (!which) return false;
        fault.which = *which;
        if (parts.size() == 2) {
            if (!toInt(parts[1], fault.delayMs, 0)) return false;
            fault.when = DuplicateFault::When::AfterDelay;
        }
    }
    o.answerFaults.duplicate.push_back(fault);
    return true;
}

bool setVersionAnswer(PhoneOptions& o, const QString& mode) {
    static const QMap<QString, VersionAnswer> modes = {
        {QStringLiteral("full"), VersionAnswer::Full},
        {QStringLiteral("good-only"), VersionAnswer::GoodOnly},
        {QStringLiteral("no-allow-upload"), VersionAnswer::NoAllowUpload},
        {QStringLiteral("no-app-name"), VersionAnswer::NoAppName}};
    const auto found = modes.find(mode);
    if (found == modes.end()) return false;
    o.versionAnswer = *found;
    return true;
}

const std::vector<OptionSpec>& optionTable() {
    static const std::vector<OptionSpec> table = {
        {"--port", "N", "TCP port to listen on (default 34345; 0 picks a free one)",
         [](PhoneOptions& o, const QString& v) {
             int port = 0;
             if (!toInt(v, port, 0) || port > 65535) return false;
             o.port = static_cast<std::uint16_t>(port);
             return true;
         }},
        {"--bind", "ADDRESS", "address to listen on (default 127.0.0.1)",
         [](PhoneOptions& o, const QString& v) {
             o.bind = v;
             return !v.isEmpty();
         }},
        {"--id", "ID", "unique ID sent in the handshake",
         [](PhoneOptions& o, const QString& v) {
             o.id = v;
             return true;
         }},
        {"--name", "NAME", "display name sent in the handshake (default \"Simulated iPhone\")",
         [](PhoneOptions& o, const QString& v) {
             o.name = v;
             return true;
         }},
        {"--app-name", "NAME", "\"ClientAppName\" of the version answer (default Vantle)",
         [](PhoneOptions& o, const QString& v) {
             o.appName = v;
             return true;
         }},
        {"--store", "DIR",
         "folder the phone keeps its files in (default: a fresh temporary "
         "folder with sample files and a folder)",
         [](PhoneOptions& o, const QString& v) {
             o.store = v;
             return !v.isEmpty();
         }},
        {"--deny", nullptr, "refuse every PC (\"ConnectionDenied\") instead of approving it",
         [](PhoneOptions& o, const QString&) { return setApproval(o, Approval::Deny); }},
        {"--deny-first", nullptr, "refuse the first PC that shakes hands, approve those after it",
         [](PhoneOptions& o, const QString&) { return setApproval(o, Approval::DenyFirst); }},
        {"--no-approval", nullptr,
         "send neither \"ConnectionAllowed\" nor \"ConnectionDenied\" (requests are still "
         "answered)",
         [](PhoneOptions& o, const QString&) { return setApproval(o, Approval::Silent); }},
        {"--approve-after-ms", "N", "wait N ms after the handshake before sending the verdict",
         [](PhoneOptions& o, const QString& v) { return toInt(v, o.approveAfterMs, 0); }},
        {"--close-on-deny", nullptr,
         "close the connection once the PC has answered \"ConnectionDenied\" (default: keep "
         "it); the next PC is asked afresh",
         [](PhoneOptions& o, const QString&) { return setFlag(o.closeOnDeny); }},
        {"--no-upload", nullptr, "answer the version check with \"AllowUpload\" false",
         [](PhoneOptions& o, const QString&) { return setFlag(o.noUpload); }},
        {"--version-answer", "MODE",
         "shape of the version check's answer: full (default), good-only (only \"Good\"), "
         "no-allow-upload, no-app-name (without that key)",
         setVersionAnswer},
        {"--max-name", "N",
         "longest name accepted in an upload; longer ones get \"ErrorCode\" "
         "-555 (default 255)",
         [](PhoneOptions& o, const QString& v) { return toInt(v, o.maxName, 1); }},
        {"--script", "FILE", "run the actions in FILE once the PC is approved (see ACTIONS)",
         [](PhoneOptions& o, const QString& v) {
             o.script = v;
             return !v.isEmpty();
         }},
        {"--interactive", nullptr, "read actions from standard input once the PC is approved",
         [](PhoneOptions& o, const QString&) { return setFlag(o.interactive); }},
        {"--delay-ms", "N", "wait N ms before each answer",
         [](PhoneOptions& o, const QString& v) { return toInt(v, o.delayMs, 0); }},
        {"--drop-after-chunks", "N", "close the connection after answering N upload pieces",
         [](PhoneOptions& o, const QString& v) { return toInt(v, o.dropAfterChunks, 1); }},
        {"--fail-chunk", "N=CODE",
         "answer upload piece N (counted from 1) with \"ErrorCode\" CODE; "
         "may be repeated",
         [](PhoneOptions& o, const QString& v) {
             const QStringList parts = v.split(QLatin1Char('='));
             int piece = 0, code = 0;
             if (parts.size() != 2 || !toInt(parts[0], piece, 1)) return false;
             bool ok = false;
             code = parts[1].toInt(&ok);
             if (!ok) return false;
             o.failChunk.insert(piece, code);
             return true;
         }},
        {"--push-as", "NAME",
         "send the next push of a connection under NAME on the wire, whatever it is (\"..\", "
         "\"a/../../x\", a backslash...); %XX stands for the byte XX (%00 a NUL, %25 a %), the "
         "rest is taken as it is; may be repeated, one per push in order",
         [](PhoneOptions& o, const QString& v) {
             const QString name = QString::fromUtf8(QByteArray::fromPercentEncoding(v.toUtf8()));
             if (name.isEmpty()) return false;
             o.pushAs << name;
             return true;
         }},
        {"--restart-after-piece", "K",
         "in a push, after piece K of a file of more than K pieces send the file again from "
         "\"ChunkNum\" 0 (once per file)",
         [](PhoneOptions& o, const QString& v) { return toInt(v, o.restartAfterPiece, 1); }},
        {"--withhold", "WHICH",
         "never answer the request(s) WHICH (see WHICH; they are still carried out); may be "
         "repeated",
         addWithhold},
        {"--response-num", "WHICH=SHIFT",
         "answer WHICH with \"ResponseNum\" the request's number plus SHIFT (+1, -2...), "
         "or without \"ResponseNum\" when SHIFT is none; may be repeated",
         addResponseNum},
        {"--late-response", "WHICH[@MS]",
         "answer WHICH (default 1) a second time: just before the next answer, or MS ms after "
         "the first; with --withhold on the same request only this late copy goes out; may be "
         "repeated",
         addDuplicate, ValueUse::Optional},
        {"--strict", nullptr,
         "send only what the PC relies on and nothing optional: no \"info\" in the "
         "handshake, no \"UserInfo\" in a \"Notify\" (so no path in \"TransferFinished\"), "
         "no \"LastChunk\", \"PreviewTIFF\" or \"HTMLSubstitute\" in a push",
         [](PhoneOptions& o, const QString&) { return setFlag(o.strict); }},
        {"--stop-after-pieces", "N",
         "send at most N pieces of each pushed item, then nothing more of it (no further "
         "piece, no \"TransferFinished\"); later pushes go on",
         [](PhoneOptions& o, const QString& v) { return toInt(v, o.stopAfterPieces, 1); }},
        {"--garbage", nullptr,
         "after the handshake send a payload with an unknown magic, then a "
         "message that is not a property list",
         [](PhoneOptions& o, const QString&) { return setFlag(o.garbage); }},
        {"--stop-reading-after", "BYTES",
         "read no more from a PC's connection after BYTES bytes (the PC's writes then stall; "
         "the socket's buffers hold some more)",
         [](PhoneOptions& o, const QString& v) { return toInt64(v, o.stopReadingAfter, 0); }},
        {"--read-bytes-per-second", "N", "read from a PC's connection at most N bytes a second",
         [](PhoneOptions& o, const QString& v) { return toInt64(v, o.readBytesPerSecond, 1); }},
        {"--record", "FILE",
         "write one JSON object per line to FILE for every message received and sent: "
         "\"connection\" (from 1), \"direction\" (received or sent), \"time\" (UTC), "
         "\"kind\" (handshake, ping or message) and \"dictionary\", data values as "
         "{\"length\", \"sha256\"}",
         [](PhoneOptions& o, const QString& v) {
             o.record = v;
             return !v.isEmpty();
         }},
        {"--advertise", nullptr,
         "make the phone findable by DNS-SD as \"ID:NAME\" (needs a running DNS-SD daemon)",
         [](PhoneOptions& o, const QString&) { return setFlag(o.advertise); }},
        {"--quiet", nullptr, "do not log the messages",
         [](PhoneOptions& o, const QString&) { return setFlag(o.quiet); }},
        {"--help", nullptr, "show this text",
         [](PhoneOptions& o, const QString&) { return setFlag(o.help); }},
    };
    return table;
}

const OptionSpec* findOption(const QString& name) {
    for (const OptionSpec& option : optionTable())
        if (name == QLatin1String(option.name)) return &option;
    return nullptr;
}

} // namespace

ParsedOptions parsePhoneOptions(const QStringList& arguments) {
    ParsedOptions parsed;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString name = arguments[i];
        std::optional<QString> value;
        if (const qsizetype equals = name.indexOf(QLatin1Char('=')); equals > 0) {
            value = name.mid(equals + 1);
            name = name.left(equals);
        }
        const OptionSpec* option = findOption(name);
        if (!option) {
            parsed.error = QStringLiteral("unknown option %1").arg(name);
            return parsed;
        }
        if (option->valueName && !value && option->valueUse == ValueUse::AsNamed) {
            if (i + 1 >= arguments.size()) {
                parsed.error = QStringLiteral("%1 needs a value").arg(name);
                return parsed;
            }
            value = arguments[++i];
        }
        if (!option->valueName && value) {
            parsed.error = QStringLiteral("%1 takes no value").arg(name);
            return parsed;
        }
        if (!option->apply(parsed.options, value.value_or(QString()))) {
            parsed.error =
                option->valueName
                    ? QStringLiteral("bad value for %1: %2").arg(name, value.value_or(QString()))
                    : QStringLiteral("%1 cannot be combined with the options before it").arg(name);
            return parsed;
        }
    }
    return parsed;
}

QString phoneHelpText() {
    QString text = QStringLiteral(
        "Usage: vantle-phone [OPTIONS]\n"
        "Plays the phone application for one PC at a time: listens on TCP, answers the\n"
        "handshake and pings, approves (or refuses) the PC, and answers every request from its\n"
        "store folder. Prints \"listening on ADDRESS:PORT\" once it listens, then one line per\n"
        "message received (<-) and sent (->).\n\nOptions:\n");
    for (const OptionSpec& option : optionTable()) {
        QString left = QLatin1String(option.name);
        if (option.valueName && option.valueUse == ValueUse::Optional)
            left += QStringLiteral("[=%1]").arg(QLatin1String(option.valueName));
        else if (option.valueName)
            left += QLatin1Char(' ') + QLatin1String(option.valueName);
        text += QStringLiteral("  %1 %2\n").arg(left, -24).arg(QLatin1String(option.help));
    }
    text += QStringLiteral(
        "\nACTIONS (one per line in a script file or typed with --interactive; # starts a "
        "comment):\n"
        "  push PATH                 send a file or folder of the store to the PC unasked\n"
        "  ask TYPE KEY=VALUE...     send a request about the PC's store and print the answer;\n"
        "                            VALUE is an integer, true/false, [a,b] for a list of\n"
        "                            texts, or text\n"
        "  notify NAME               send a \"Notify\" request\n"
        "  sleep MS                  wait\n"
        "  disconnect                close the connection\n"
        "\nWHICH picks requests of the PC on one connection: N the Nth request (from 1), TYPE\n"
        "every request of that \"RequestType\", TYPE:N the Nth request of that type.\n"
        "\nPaths from the PC are relative to the store; a leading / stands for the store itself.\n"
        "Paths with a .. component or a drive letter are refused.\n");
    return text;
}

} // namespace vantle::phone
