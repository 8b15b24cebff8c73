#pragma once

#include <QFile>
#include <QString>
#include <QVariantMap>

namespace vantle::phone {

// --record: one JSON object per line for every message the phone receives or sends, flushed
// line by line so that a test can read what arrived while the phone runs. Data values are
// written as their length and SHA-256, never as their bytes.
class PhoneRecorder {
public:
    enum class Direction { Received, Sent };
    enum class Kind { Handshake, Ping, Message };

    // Starts the file afresh; false with `error` set when it cannot be written.
    bool open(const QString& path, QString* error);
    bool isOpen() const { return mFile.isOpen(); }
    // Nothing happens when no file is open.
    void record(int connection, Direction direction, Kind kind, const QVariantMap& dictionary);

private:
    QFile mFile;
};

} // namespace vantle::phone
