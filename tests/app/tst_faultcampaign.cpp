// The fault campaign: seeded random sequences of what users and phones do to the upload side,
// each followed by the checks that nothing the user handed over is lost, damaged, or written over,
// and that nothing hangs. A failing sequence is printed with its seed, to be replayed with
// VANTLE_CAMPAIGN_SEED=S VANTLE_CAMPAIGN_RUNS=1.
#include "AppTestMain.h"
#include "app/campaign/Campaign.h"
#include "net/ScriptedDnsSdControl.h"

#include <QTest>
#include <cstdio>

using namespace vantle::campaign;

class FaultCampaignTest : public QObject {
    Q_OBJECT
    ScriptedDnsSdControl dnssd;

private slots:
    void seededSequencesKeepTheInvariants() {
        const CampaignSettings settings =
            CampaignSettings::fromEnvironment(VANTLE_CAMPAIGN_DEFAULT_RUNS);
        const CampaignReport report = runCampaign(settings);
        std::printf("%s\n", qUtf8Printable(resultLine(report)));
        QCOMPARE(report.runs, settings.runs);
        QVERIFY2(report.failed.isEmpty(), qPrintable(describe(report.failed.value(0))));
    }
};

int main(int argc, char** argv) {
    return vantle::test::runAppSuite<FaultCampaignTest>(argc, argv);
}

#include "tst_faultcampaign.moc"
