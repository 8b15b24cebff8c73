#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

namespace vantle {

// Marks the end of a run in the log: "App Terminating" when the application is about to quit, and
// a line for an exception nobody caught before the process aborts. Make it once, right after the
// default logger (ParoxLog writes nothing before that), on the main thread of a running
// QCoreApplication; it lives as long as the process.
class CRExceptionLogger : public QObject {
    Q_OBJECT
public:
    explicit CRExceptionLogger(QObject* parent = nullptr);

    // Logs "App Terminating" and flushes the log; once per process however often it is asked.
    static void terminating();
    // Logs "Foundation Exception: NAME REASON USERINFO" and flushes the log.
    static void printException(const QString& name, const QString& reason,
                               const QVariant& userInfo = {});
};

} // namespace vantle
