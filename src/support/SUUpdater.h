#pragma once

#include "platform/Result.h"
#include "support/UpdaterHost.h"

#include <QDateTime>
#include <QObject>
#include <QUrl>
#include <QVariant>
#include <chrono>

namespace vantle {

// Tells the user when a newer version of the program exists: fetches the version page on a thread
// of its own and shows the outcome in one of three panels through its host, on the main thread.
// Lives on the main thread. Several checks may run at once; each ends with its own outcome.
class SUUpdater : public QObject {
    Q_OBJECT
public:
    enum class CheckKind {
        UserAsked, // every outcome shows a panel
        Automatic, // only a newer version shows one
    };
    Q_ENUM(CheckKind)
    enum class Outcome { NewerVersion, UpToDate, Failed };
    Q_ENUM(Outcome)
    enum class AutoCheck { Started, NotDue, NoAddress };
    Q_ENUM(AutoCheck)

    static constexpr quint32 kInstalledVersion = 1200;
    static constexpr std::chrono::seconds kAutomaticCheckInterval{604800};
    static constexpr std::chrono::seconds kDefaultTimeout{30};
    static QString lastUpdateCheckKey();

    // `webSite` is the product's web site: the update panel names its host and offers to open it
    // only when there is one.
    explicit SUUpdater(UpdaterHost& host, const QUrl& webSite = {}, QObject* parent = nullptr);
    // Stops the checks still running and waits for their threads; their outcomes are dropped.
    ~SUUpdater() override;

    void setWebSite(const QUrl& webSite) { mWebSite = webSite; }
    void setTimeout(std::chrono::milliseconds timeout) { mTimeout = timeout; }

    // The quiet check, at most once per kAutomaticCheckInterval: records the time of the check in
    // the defaults before it starts, whatever its outcome. Skipped without a version page address.
    AutoCheck autoCheckForUpdates();
    // The check the user asked for ("Check for Updates...").
    void checkForUpdates();
    // Starts a check on a new thread and returns at once.
    void checkForUpdatesOnThread(CheckKind kind);

    int runningChecks() const;

    // The version page: VANTLE_VERSION_URL from the environment when set (even empty), otherwise
    // the address built in; empty when there is none.
    static QUrl versionPageUrl();
    // Whether an automatic check is due, given the stored "LastUpdateCheck" value.
    static bool isAutomaticCheckDue(const QVariant& lastCheck, const QDateTime& now);

signals:
    // On the main thread, once the panel for the check (if any) has been asked for.
    void checkFinished(vantle::SUUpdater::CheckKind kind, vantle::SUUpdater::Outcome outcome);

private:
    static Result<quint32> doCheckForUpdates(const QUrl& url, std::chrono::milliseconds timeout);
    void finishCheck(CheckKind kind, const Result<quint32>& latest);
    void showPanel(const UpdatePanel& panel);

    UpdaterHost& mHost;
    QUrl mWebSite;
    std::chrono::milliseconds mTimeout = kDefaultTimeout;
};

} // namespace vantle
