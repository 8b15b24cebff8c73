// vantle-phone: the simulated phone, the server end of the PC's connection.
#include "phone/PhoneAction.h"
#include "phone/PhoneAdvertiser.h"
#include "phone/PhoneMessageLog.h"
#include "phone/PhoneOptions.h"
#include "phone/PhoneRecorder.h"
#include "phone/PhoneServer.h"
#include "phone/PhoneStore.h"

#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>
#include <malloc.h>
#include <memory>
#include <unistd.h>

using namespace vantle::phone;

namespace {

constexpr int kUsageError = 2;

std::optional<std::vector<PhoneAction>> loadScript(const QString& path) {
    std::vector<PhoneAction> actions;
    if (path.isEmpty()) return actions;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        std::fprintf(stderr, "vantle-phone: cannot read the script %s\n", qPrintable(path));
        return std::nullopt;
    }
    int lineNumber = 0;
    QTextStream in(&file);
    while (!in.atEnd()) {
        ++lineNumber;
        QString error;
        const auto action = PhoneAction::parse(in.readLine(), &error);
        if (action) actions.push_back(*action);
        if (!error.isEmpty()) {
            std::fprintf(stderr, "vantle-phone: %s:%d: %s\n", qPrintable(path), lineNumber,
                         qPrintable(error));
            return std::nullopt;
        }
    }
    return actions;
}

} // namespace

int main(int argc, char** argv) {
#ifdef __GLIBC__
    // The heap stays between pieces: a piece's worth of memory handed back after every piece
    // would be faulted in afresh for the next one.
    constexpr int kKeptHeapBytes = 64 * 1024 * 1024;
    mallopt(M_TRIM_THRESHOLD, kKeptHeapBytes);
#endif
    QCoreApplication app(argc, argv);
    const ParsedOptions parsed = parsePhoneOptions(app.arguments().mid(1));
    if (!parsed.error.isEmpty()) {
        std::fprintf(stderr, "vantle-phone: %s\n\n%s", qPrintable(parsed.error),
                     qPrintable(phoneHelpText()));
        return kUsageError;
    }
    const PhoneOptions& options = parsed.options;
    if (options.help) {
        std::fputs(qPrintable(phoneHelpText()), stdout);
        return 0;
    }
    const auto script = loadScript(options.script);
    if (!script) return kUsageError;

    std::unique_ptr<QTemporaryDir> samples;
    QString storeFolder = options.store;
    if (storeFolder.isEmpty()) {
        samples = std::make_unique<QTemporaryDir>();
        if (!samples->isValid() || !PhoneStore::fillWithSamples(samples->path())) {
            std::fprintf(stderr, "vantle-phone: cannot make a sample store\n");
            return 1;
        }
        storeFolder = samples->path();
    } else if (!QDir().mkpath(storeFolder)) {
        std::fprintf(stderr, "vantle-phone: cannot use the store %s\n", qPrintable(storeFolder));
        return 1;
    }
    PhoneStore store(storeFolder, options);
    if (!options.quiet) printLine(QStringLiteral("store folder %1").arg(store.root()));

    PhoneRecorder recorder;
    QString recordError;
    if (!options.record.isEmpty() && !recorder.open(options.record, &recordError)) {
        std::fprintf(stderr, "vantle-phone: cannot write the record %s: %s\n",
                     qPrintable(options.record), qPrintable(recordError));
        return 1;
    }
    PhoneServer server(store, recorder, options, *script);
    if (!server.listen()) return 1;
    PhoneAdvertiser advertiser;
    if (options.advertise) advertiser.advertise(options.id, options.name, server.port());

    std::unique_ptr<QSocketNotifier> input;
    QByteArray typed; // what has been typed but not yet ended by a newline
    if (options.interactive) {
        input = std::make_unique<QSocketNotifier>(STDIN_FILENO, QSocketNotifier::Read);
        QObject::connect(input.get(), &QSocketNotifier::activated, [&] {
            char buffer[4096];
            const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
            if (count <= 0) {
                input->setEnabled(false); // end of input: keep serving
                return;
            }
            typed.append(buffer, count);
            for (qsizetype end = typed.indexOf('\n'); end >= 0; end = typed.indexOf('\n')) {
                const QString line = QString::fromLocal8Bit(typed.left(end));
                typed.remove(0, end + 1);
                QString error;
                const auto action = PhoneAction::parse(line, &error);
                if (action) server.typedAction(*action);
                if (!error.isEmpty()) printLine(QStringLiteral("-- %1").arg(error));
            }
        });
    }
    return app.exec();
}
