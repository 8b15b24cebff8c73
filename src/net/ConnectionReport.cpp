#include "net/ConnectionReport.h"

namespace vantle {
namespace {

const QString kHeading = QStringLiteral("Vantle connection diagnostics");
// The verdict column is as wide as its longest word in brackets, so that titles line up.
constexpr int kVerdictColumn = 10;
const QString kIndent = QString(kVerdictColumn, QLatin1Char(' '));
const QString kDetailIndent = kIndent + QStringLiteral("  ");

} // namespace

QString verdictText(CheckVerdict verdict) {
    switch (verdict) {
    case CheckVerdict::Ok:
        return QStringLiteral("OK");
    case CheckVerdict::Warning:
        return QStringLiteral("WARNING");
    case CheckVerdict::Failed:
        return QStringLiteral("FAILED");
    case CheckVerdict::Skipped:
        break;
    }
    return QStringLiteral("SKIPPED");
}

QString renderCheck(const DiagnosticCheck& check) {
    const QString verdict = QLatin1Char('[') + verdictText(check.verdict) + QLatin1Char(']');
    QString text = verdict.leftJustified(kVerdictColumn) + check.title + QLatin1Char('\n');
    if (!check.finding.isEmpty()) text += kIndent + check.finding + QLatin1Char('\n');
    for (const QString& line : check.details)
        text += kDetailIndent + line + QLatin1Char('\n');
    if (!check.advice.isEmpty())
        text += kIndent + QStringLiteral("What to do: ") + check.advice + QLatin1Char('\n');
    return text;
}

QString renderReportHeading() {
    return kHeading + QStringLiteral("\n\n");
}

QString renderReportConclusion(const ConnectionReport& report) {
    return QLatin1Char('\n') +
           (report.phoneAnswered ? QStringLiteral("Result: a phone answered.")
                                 : QStringLiteral("Result: no phone answered.")) +
           QLatin1Char('\n');
}

QString renderReport(const ConnectionReport& report) {
    QString text = renderReportHeading();
    for (const DiagnosticCheck& check : report.checks)
        text += renderCheck(check);
    return text + renderReportConclusion(report);
}

} // namespace vantle
