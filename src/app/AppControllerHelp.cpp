// The Help side of the window: the update check and the connection diagnostics.
#include "app/AppController.h"
#include "app/AppLinks.h"
#include "net/ConnectionDoctor.h"
#include "net/ConnectionReport.h"
#include "net/GamePeer.h"
#include "platform/Defaults.h"
#include "platform/Settings.h"
#include "support/SUUpdater.h"
#include "ui/MRWindow.h"
#include "ui/ReportDialog.h"
#include "ui/SheetPresenter.h"

#include <QUrl>

namespace vantle {

void AppController::showUpdatePanel(const UpdatePanel& panel,
                                    std::function<void(const QString& button)> done) {
    if (!mPresenter) return;
    using Role = SheetPresenter::Role;
    SheetPresenter::Question question{
        panel.title, panel.message, {}, std::nullopt, SheetPresenter::Kind::Alert};
    for (const QString& title : panel.buttons)
        question.buttons.push_back(
            {title, title == UpdatePanel::goThereNowButton() ? Role::GoThere : Role::Accept});
    mPresenter->show(question, [done = std::move(done)](Role role, bool) {
        if (done)
            done(role == Role::GoThere ? UpdatePanel::goThereNowButton() : UpdatePanel::okButton());
    });
}

void AppController::openWebSite() {
    openLink(links::webSite());
}

void AppController::checkForUpdates() {
    if (mUpdater) mUpdater->checkForUpdates();
}

void AppController::showConnectionDiagnostics() {
    if (mDiagnostics) {
        mDiagnostics->raise();
        mDiagnostics->activateWindow();
        return;
    }
    mDiagnostics = new ReportDialog(tr("Connection Diagnostics"), _window);
    mDiagnostics->setObjectName(QStringLiteral("diagnosticsDialog"));
    mDiagnostics->setAttribute(Qt::WA_DeleteOnClose);
    // The doctor dials phones itself; a phone serves one computer at a time, so while this
    // program is connected its phone may not answer the doctor.
    QString note;
    DiagnosisSettings settings;
    if (const auto phone = mClientServer->peer(); phone && connected()) {
        note = tr("Connected now to %1 (%2): that connection works; while it lasts the phone "
                  "may not answer the checks below. ")
                   .arg(phone->name().value_or(QString()), phone->address().value_or(QString()));
    } else {
        // The address typed last is the one the user is trying to reach.
        const QString typed = Defaults::get(settings::kLastManualIP).value_or(QString()).trimmed();
        if (!typed.isEmpty()) settings.address = typed;
    }
    mDiagnostics->setStatus(note + tr("Checking the network and looking for iPhones..."));
    mDiagnostics->setReport(renderReportHeading());
    auto* doctor = new ConnectionDoctor(mDiagnostics);
    connect(doctor, &ConnectionDoctor::checkDone, mDiagnostics,
            [dialog = mDiagnostics](const DiagnosticCheck& check) {
                dialog->appendReport(renderCheck(check));
            });
    connect(doctor, &ConnectionDoctor::finished, mDiagnostics,
            [dialog = mDiagnostics, note](const ConnectionReport& report) {
                dialog->setReport(renderReport(report));
                dialog->setStatus(note + renderReportConclusion(report));
            });
    doctor->start(settings);
    mDiagnostics->show();
}

} // namespace vantle
