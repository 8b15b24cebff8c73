#include "support/SUUpdater.h"

#include "platform/MainThread.h"
#include "platform/Settings.h"
#include "support/ParoxLog.h"
#include "support/VersionPage.h"
#include "support/VersionPageFetch.h"

#include <QPointer>
#include <QThread>

#ifndef VANTLE_VERSION_URL
#define VANTLE_VERSION_URL ""
#endif

namespace vantle {
namespace {

constexpr char kVersionUrlVariable[] = "VANTLE_VERSION_URL";

QList<QThread*> checkThreads(const QObject& owner) {
    return owner.findChildren<QThread*>(Qt::FindDirectChildrenOnly);
}

} // namespace

SUUpdater::SUUpdater(UpdaterHost& host, const QUrl& webSite, QObject* parent)
    : QObject(parent), mHost(host), mWebSite(webSite) {}

SUUpdater::~SUUpdater() {
    const QList<QThread*> threads = checkThreads(*this);
    for (QThread* thread : threads) {
        thread->requestInterruption();
        thread->quit();
    }
    for (QThread* thread : threads)
        thread->wait();
}

QUrl SUUpdater::versionPageUrl() {
    const QString address = qEnvironmentVariableIsSet(kVersionUrlVariable)
                                ? qEnvironmentVariable(kVersionUrlVariable)
                                : QStringLiteral(VANTLE_VERSION_URL);
    return QUrl(address.trimmed());
}

QString SUUpdater::lastUpdateCheckKey() {
    return QString(settings::kLastUpdateCheck.key);
}

bool SUUpdater::isAutomaticCheckDue(const QVariant& lastCheck, const QDateTime& now) {
    const QDateTime last = dateFromDescription(lastCheck.toString());
    // An unreadable date, or one still to come (the clock was set back), must not hold off
    // checks for good.
    if (!last.isValid() || last > now) return true;
    return last < now.addSecs(-kAutomaticCheckInterval.count());
}

SUUpdater::AutoCheck SUUpdater::autoCheckForUpdates() {
    if (versionPageUrl().isEmpty()) {
        ParoxLog("Automatic update check skipped: no version page address");
        return AutoCheck::NoAddress;
    }
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const std::optional<QString> last = Defaults::get(settings::kLastUpdateCheck);
    if (!isAutomaticCheckDue(QVariant(last.value_or(QString())), now)) return AutoCheck::NotDue;
    Defaults::set(settings::kLastUpdateCheck, describe(QVariant(now)));
    checkForUpdatesOnThread(CheckKind::Automatic);
    return AutoCheck::Started;
}

void SUUpdater::checkForUpdates() {
    checkForUpdatesOnThread(CheckKind::UserAsked);
}

void SUUpdater::checkForUpdatesOnThread(CheckKind kind) {
    const QUrl url = versionPageUrl();
    const std::chrono::milliseconds timeout = mTimeout;
    QThread* thread = QThread::create([this, kind, url, timeout] {
        const Result<quint32> latest = doCheckForUpdates(url, timeout);
        // The destructor waits for this thread, so the updater is still there to post to.
        if (!QThread::currentThread()->isInterruptionRequested())
            runOn(this, [this, kind, latest] { finishCheck(kind, latest); });
    });
    thread->setParent(this);
    thread->setObjectName(QStringLiteral("update check"));
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
}

int SUUpdater::runningChecks() const {
    int running = 0;
    for (const QThread* thread : checkThreads(*this))
        if (!thread->isFinished()) ++running;
    return running;
}

Result<quint32> SUUpdater::doCheckForUpdates(const QUrl& url, std::chrono::milliseconds timeout) {
    ParoxLog("Performing update check...");
    const Result<QByteArray> page = fetchVersionPage(url, timeout);
    if (!page) {
        ParoxLog("Update check failed: %@", page.error());
        return Error{page.error()};
    }
    Result<quint32> latest = parseVersionPage(*page);
    if (!latest) {
        ParoxLog("Update check failed: %@", latest.error());
        return latest;
    }
    ParoxLog("Lastest is: %d Installed: %d", *latest, kInstalledVersion);
    return latest;
}

void SUUpdater::finishCheck(CheckKind kind, const Result<quint32>& latest) {
    const Outcome outcome = !latest                       ? Outcome::Failed
                            : *latest > kInstalledVersion ? Outcome::NewerVersion
                                                          : Outcome::UpToDate;
    switch (outcome) {
    case Outcome::NewerVersion:
        showPanel(UpdatePanel::updateAvailable(mWebSite));
        break;
    case Outcome::UpToDate:
        if (kind == CheckKind::UserAsked) showPanel(UpdatePanel::upToDate());
        break;
    case Outcome::Failed:
        if (kind == CheckKind::UserAsked) showPanel(UpdatePanel::checkFailed());
        break;
    }
    emit checkFinished(kind, outcome);
}

void SUUpdater::showPanel(const UpdatePanel& panel) {
    mHost.showUpdatePanel(panel, [self = QPointer<SUUpdater>(this)](const QString& button) {
        if (self && button == UpdatePanel::goThereNowButton()) self->mHost.openWebSite();
    });
}

} // namespace vantle
