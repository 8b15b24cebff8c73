// fault_campaign: the upload side's fault campaign run longer than the suite runs it.
//   fault_campaign [--runs N] [--seed S] [--steps K]
// Prints each failing run with its seed and steps, then
//   RESULT runs=… violations=… longest_step_s=… longest_quit_s=…
#include "app/campaign/Campaign.h"
#include "support/harness/AppProcess.h"

#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>

int main(int argc, char** argv) {
    QTemporaryDir profile;
    vantle::test::prepareAppProcess(profile.path(), vantle::test::PhoneSearch::Scripted);
    QApplication app(argc, argv);
    vantle::test::nameApplication();

    auto settings = vantle::campaign::CampaignSettings::fromEnvironment(50);
    QCommandLineParser parser;
    const QCommandLineOption runs(QStringLiteral("runs"), QStringLiteral("sequences"),
                                  QStringLiteral("N"), QString::number(settings.runs));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("first seed"),
                                  QStringLiteral("S"), QString::number(settings.firstSeed));
    const QCommandLineOption steps(QStringLiteral("steps"), QStringLiteral("steps per sequence"),
                                   QStringLiteral("K"), QString::number(settings.steps));
    parser.addOptions({runs, seed, steps});
    parser.addHelpOption();
    parser.process(app);
    settings.runs = parser.value(runs).toInt();
    settings.firstSeed = parser.value(seed).toUInt();
    settings.steps = parser.value(steps).toInt();

    const auto report = vantle::campaign::runCampaign(settings);
    std::printf("%s\n", qUtf8Printable(vantle::campaign::resultLine(report)));
    return 0;
}
