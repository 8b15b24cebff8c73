// vantle-plist: print, convert and check property lists, for people who debug the protocol.

#include "cli/PlistPrinter.h"
#include "platform/Plist.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>
#include <cstdio>
#include <optional>

namespace {

enum ExitStatus { kOk = 0, kFailed = 1, kUsage = 2 };

const QString kStandardStream = QStringLiteral("-");

void complain(const QString& text) {
    std::fprintf(stderr, "vantle-plist: %s\n", qUtf8Printable(text));
}

int usage() {
    std::fputs("usage: vantle-plist print FILE\n"
               "       vantle-plist convert binary|xml IN OUT\n"
               "       vantle-plist lint FILE\n"
               "FILE, IN or OUT \"-\" means standard input or output.\n",
               stderr);
    return kUsage;
}

std::optional<QByteArray> readAll(const QString& path) {
    QFile file;
    const bool opened = path == kStandardStream
                            ? file.open(stdin, QIODevice::ReadOnly)
                            : (file.setFileName(path), file.open(QIODevice::ReadOnly));
    if (!opened) {
        complain(QStringLiteral("%1: %2").arg(path, file.errorString()));
        return std::nullopt;
    }
    return file.readAll();
}

bool writeAll(const QString& path, const QByteArray& bytes) {
    QFile file;
    const bool opened = path == kStandardStream
                            ? file.open(stdout, QIODevice::WriteOnly)
                            : (file.setFileName(path), file.open(QIODevice::WriteOnly));
    if (!opened || file.write(bytes) != bytes.size() || !file.flush()) {
        complain(QStringLiteral("%1: %2").arg(path, file.errorString()));
        return false;
    }
    return true;
}

std::optional<QVariant> load(const QString& path) {
    const std::optional<QByteArray> bytes = readAll(path);
    if (!bytes) return std::nullopt;
    const vantle::Result<vantle::plist::Document> result = vantle::plist::read(*bytes);
    if (!result) {
        complain(QStringLiteral("%1: %2").arg(path, result.error()));
        return std::nullopt;
    }
    return result->value;
}

int convert(const QString& format, const QString& in, const QString& out) {
    const bool binary = format == QLatin1String("binary");
    if (!binary && format != QLatin1String("xml")) return usage();
    const std::optional<QVariant> value = load(in);
    if (!value) return kFailed;
    QString error;
    const QByteArray bytes = binary ? vantle::plist::writeBinary(*value, &error)
                                    : vantle::plist::writeXml(*value, &error);
    if (bytes.isEmpty()) {
        complain(QStringLiteral("%1: %2").arg(in, error));
        return kFailed;
    }
    return writeAll(out, bytes) ? kOk : kFailed;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const QString command = args.value(0);
    if (command == QLatin1String("print") && args.size() == 2) {
        const std::optional<QVariant> value = load(args[1]);
        return value && writeAll(kStandardStream, vantle::printPlist(*value)) ? kOk : kFailed;
    }
    if (command == QLatin1String("convert") && args.size() == 4)
        return convert(args[1], args[2], args[3]);
    if (command == QLatin1String("lint") && args.size() == 2) {
        if (!load(args[1])) return kFailed;
        std::printf("%s: OK\n", qUtf8Printable(args[1]));
        return kOk;
    }
    return usage();
}
