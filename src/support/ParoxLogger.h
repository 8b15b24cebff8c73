#pragma once

#include <QString>
#include <atomic>
#include <cstdio>
#include <memory>
#include <mutex>

namespace vantle {

// The process-wide logger: time-stamped lines to a log file of its own (one file per logging
// period) and, when asked, to standard output.
class ParoxLogger {
public:
    ParoxLogger(bool toFile, bool toStdOut);
    ~ParoxLogger();
    ParoxLogger(const ParoxLogger&) = delete;
    ParoxLogger& operator=(const ParoxLogger&) = delete;

    // Makes a logger and installs it as the default one (gMainLogger).
    static std::shared_ptr<ParoxLogger> createDefaultLogger(bool toFile, bool toStdOut);
    static std::shared_ptr<ParoxLogger> defaultLogger();
    // Removes the default logger; later ParoxLog calls do nothing.
    static void removeDefaultLogger();
    // The running executable's file name.
    static QString getAppName();
    // The folder that log files go to unless setLogFileLocation says otherwise.
    static QString defaultLogFileLocation();

    void log(const QString& message);
    void createLogFile();
    void markLog();
    void flush();

    void setLogToFile(bool on);
    void setLogToConsole(bool on) { mLogToConsole = on; }
    void setLogToStdOut(bool on) { mLogToStdOut = on; }
    void setLogFileLocation(const QString& path);

    void openLogFile();
    void revealLogFile();

    bool logToFile() const { return mLogToFile; }
    bool logToStdOut() const { return mLogToStdOut; }
    QString logFileLocation() const;
    QString logFilePath() const;

private:
    void closeFile();
    void writeToFile(const QByteArray& bytes);
    void markLogLocked();

    // Flags flip on the main thread while other threads log.
    std::atomic<bool> mLogToConsole{false}; // kept for callers; no output path reads it
    std::atomic<bool> mLogToFile{false};
    std::atomic<bool> mLogToStdOut{false};
    QString mAppName;
    QString mLogFileLocation;
    QString mLogFilePath;
    std::FILE* mFileHandle = nullptr;
    mutable std::recursive_mutex mLogLock;
};

// The platform's own log: standard error, with a time stamp and the program name in front.
void platformLog(const QString& message);

} // namespace vantle
