#pragma once

#include "net/ConnectionDiagnosis.h"
#include "net/ConnectionReport.h"

#include <QObject>

class QThread;

namespace vantle {

// Runs a connection diagnosis on a thread of its own and reports each step to the thread the
// doctor lives on, for a window that shows the report as it grows.
class ConnectionDoctor : public QObject {
    Q_OBJECT

public:
    explicit ConnectionDoctor(QObject* parent = nullptr);
    // Interrupts a diagnosis under way and waits for the step it is in (a few seconds at most).
    ~ConnectionDoctor() override;

    // False while a diagnosis is running.
    bool start(const DiagnosisSettings& settings = {});
    bool isRunning() const;

signals:
    void checkDone(const vantle::DiagnosticCheck& check);
    void finished(const vantle::ConnectionReport& report);

private:
    QThread* mThread = nullptr;
};

} // namespace vantle
