#pragma once

#include <QMetaType>
#include <QString>
#include <QStringList>
#include <vector>

namespace vantle {

// How one step of the connection diagnosis came out.
enum class CheckVerdict { Ok, Warning, Failed, Skipped };

// One step of the diagnosis, in plain words for the person at the computer.
struct DiagnosticCheck {
    QString title;
    CheckVerdict verdict = CheckVerdict::Skipped;
    QString finding;     // what was found
    QStringList details; // one line per interface, phone and so on
    QString advice;      // what to do about it; empty when nothing is to be done
};

// Every step in the order they ran, and whether any phone answered in the end.
struct ConnectionReport {
    std::vector<DiagnosticCheck> checks;
    bool phoneAnswered = false;
};

// "OK", "WARNING", "FAILED", "SKIPPED".
QString verdictText(CheckVerdict verdict);
// One step as lines of plain text: the verdict and title, then the finding, details and advice
// indented beneath.
QString renderCheck(const DiagnosticCheck& check);
// The report's first lines and its last line, for a report shown as it grows.
QString renderReportHeading();
QString renderReportConclusion(const ConnectionReport& report);
// The whole report as plain text, for a terminal or the clipboard.
QString renderReport(const ConnectionReport& report);

} // namespace vantle

Q_DECLARE_METATYPE(vantle::DiagnosticCheck)
Q_DECLARE_METATYPE(vantle::ConnectionReport)
