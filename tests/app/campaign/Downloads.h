#pragma once

#include "app/campaign/Invariants.h"
#include "app/campaign/Tree.h"

#include <QElapsedTimer>
#include <QList>
#include <QStringList>

namespace vantle::campaign {

struct RunContext;

// One download the user asked for, and what the phone held under that name when it was asked
// (and when its turn came): the bytes that may arrive.
struct AskedDownload {
    QString phonePath;
    QString name;
    QString folder;
    QList<Tree> expected;
    bool cancelled = false;
    // The connection went, or the program quit, while it was asked for.
    bool connectionLost = false;
};

// The run's downloads as the user knows them, and the watch on the one under way.
struct DownloadLedger {
    QList<AskedDownload> asked;
    QString chosenFolder;
    // Every folder a download may land in.
    QStringList folders;
    // The watch: what was under way at its last look, and how long nothing has moved.
    QStringList lastReceiving;
    QString front;
    int barValue = -1;
    int barMaximum = -1;
    QElapsedTimer sincePiece;
    qint64 longestStallMs = 0;
    bool stallReported = false;

    // Everything asked for and not settled ends with the connection.
    void connectionGone();
};

// The profile's downloads folder.
QString downloadsFolder();
// Empties the downloads folders and sets the run's own "Download To" folder up.
void prepareDownloads(RunContext& run);
// Rows of the phone's pane asked for by a double click or the reveal action: one, several, the
// same twice; with `chosen`, "Download To" the run's own folder.
void askDownloads(RunContext& run, bool chosen);
// A second click on the row being downloaded.
void cancelDownloadByClick(RunContext& run);
// Looks at the download under way (called often while the program works): D3.
void watchDownloads(RunContext& run);
// D1 and D2, once the run has settled.
QList<Violation> checkDownloads(RunContext& run);

} // namespace vantle::campaign
