#include "cli/CliCommands.h"
#include "cli/CliOptions.h"
#include "cli/CliSession.h"
#include "transfer/ProtocolKeys.h"

#include <QMap>
#include <algorithm>
#include <cstdio>

namespace vantle::cli {
namespace {

constexpr const char* kUsage = "ls [--address HOST[:PORT]] [--wait-approval SECONDS] [PATH]";
constexpr const char* kHelp =
    "Usage: vantle-cli ls [--address HOST[:PORT]] [--wait-approval SECONDS] [PATH]\n"
    "\n"
    "Lists the folder PATH on the phone (the top of its store when left out), one line per\n"
    "entry sorted by name ignoring case: the size in bytes (a folder's total as the phone\n"
    "reports it), a tab, and the name, with \"/\" after a folder.\n"
    "Waits up to SECONDS (default 60) for the approval on the phone.\n"
    "\n"
    "Exit status: 0 when listed, 1 on any failure (PATH not a folder, refused, connection\n"
    "lost...), 2 for a usage error.\n";

struct Entry {
    QString name;
    bool isFolder = false;
    qint64 size = 0;
};

// "/" and "a/b/" name the same folders as "" and "a/b".
QString phoneFolder(QString path) {
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

bool byNameIgnoringCase(const Entry& a, const Entry& b) {
    const int order = a.name.compare(b.name, Qt::CaseInsensitive);
    return order != 0 ? order < 0 : a.name < b.name;
}

} // namespace

int runList(const QStringList& arguments) {
    const auto line = parseCommandLine(arguments, OptionSet{});
    if (!line) return usageError(line.error(), kUsage);
    if (line->help) return printHelp(kHelp);
    if (line->operands.size() > 1)
        return usageError(QStringLiteral("ls lists one folder at a time."), kUsage);
    const QString folder = phoneFolder(line->operands.value(0));

    CliSession session(*line, CliSession::Approval::Needed);
    if (const auto opened = session.open(); !opened) return failure(opened.error());
    std::vector<Entry> entries;
    QString problem;
    session.runOnWorker([&] {
        MRTransferController& transfer = session.transfer();
        bool isFolder = false;
        if (!folder.isEmpty() && (!transfer.fileExists(folder, &isFolder) || !isFolder)) {
            problem = QStringLiteral("%1 is not a folder on the phone.").arg(folder);
            return;
        }
        const auto listing = transfer.getDirectoryListingPlus(folder);
        if (!listing) {
            problem = QStringLiteral("%1 is not a folder on the phone.").arg(folder);
            return;
        }
        QStringList paths;
        for (auto i = listing->cbegin(); i != listing->cend(); ++i) {
            if (i.key() == storeNames::kMetadataFolder || i.key() == storeNames::kThumbsFolder)
                continue;
            entries.push_back({i.key(), i.value().isFolder, 0});
            paths << (folder.isEmpty() ? i.key() : folder + QLatin1Char('/') + i.key());
        }
        if (paths.isEmpty()) return;
        const auto sizes = transfer.getIconsAndSizes(paths);
        if (!sizes || sizes->isEmpty()) {
            problem = QStringLiteral("the phone did not tell the sizes in %1.")
                          .arg(folder.isEmpty() ? QStringLiteral("its top folder") : folder);
            return;
        }
        for (std::size_t i = 0; i < entries.size(); ++i)
            entries[i].size = sizes->value(paths[static_cast<qsizetype>(i)]).size;
    });
    // No answer at all reads as an empty or missing folder; the lost connection is the cause.
    if (!session.connected())
        return failure(QStringLiteral("the connection to the phone was lost."));
    if (!problem.isEmpty()) return failure(problem);
    std::sort(entries.begin(), entries.end(), byNameIgnoringCase);
    for (const Entry& entry : entries)
        std::printf("%lld\t%s%s\n", static_cast<long long>(entry.size), qUtf8Printable(entry.name),
                    entry.isFolder ? "/" : "");
    std::fflush(stdout);
    return kExitSuccess;
}

} // namespace vantle::cli
