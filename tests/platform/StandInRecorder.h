#pragma once

// What a stand-in service (tests/platform/*_standin) was asked, appended to a file one JSON object
// a line as it happens, so that a suite reads it while the stand-in runs.
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

namespace vantle::test {

class StandInRecorder {
public:
    explicit StandInRecorder(const QString& path) : mFile(path) {}
    bool open() { return mFile.open(QIODevice::WriteOnly | QIODevice::Append); }
    void record(const QJsonObject& call) {
        mFile.write(QJsonDocument(call).toJson(QJsonDocument::Compact) + '\n');
        mFile.flush();
    }

private:
    QFile mFile;
};

} // namespace vantle::test
