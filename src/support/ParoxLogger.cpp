#include "support/ParoxLogger.h"

#include "platform/DesktopServices.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <atomic>
#include <ctime>
#include <filesystem>

#if defined(Q_OS_UNIX)
#include <unistd.h>
#endif

namespace vantle {
namespace {

// Never destroyed: detached workers may still log while the process exits.
std::atomic<std::shared_ptr<ParoxLogger>>& gMainLogger =
    *new std::atomic<std::shared_ptr<ParoxLogger>>();

const char* const kLogFolderName = "Logs";

QString timeStamp() {
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz "));
}

// The platform's local date and time representation ("%x %X").
QString localDateAndTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#if defined(Q_OS_WIN)
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    char text[128];
    const size_t n = std::strftime(text, sizeof text, "%x %X", &local);
    return QString::fromLocal8Bit(text, static_cast<qsizetype>(n));
}

QString executablePath() {
    if (QCoreApplication::instance()) return QCoreApplication::applicationFilePath();
#if defined(Q_OS_LINUX)
    std::error_code error;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) return QString::fromStdString(path.string());
#endif
    return QStringLiteral("Vantle");
}

} // namespace

void platformLog(const QString& message) {
    QByteArray line = (timeStamp() + message).toUtf8();
    if (!line.endsWith('\n')) line += '\n';
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stderr);
    std::fflush(stderr);
}

ParoxLogger::ParoxLogger(bool toFile, bool toStdOut)
    : mLogToFile(toFile), mLogToStdOut(toStdOut), mAppName(getAppName()),
      mLogFileLocation(defaultLogFileLocation()) {
    if (mLogToFile) createLogFile();
}

ParoxLogger::~ParoxLogger() {
    std::lock_guard guard(mLogLock);
    closeFile();
}

std::shared_ptr<ParoxLogger> ParoxLogger::createDefaultLogger(bool toFile, bool toStdOut) {
    auto logger = std::make_shared<ParoxLogger>(toFile, toStdOut);
    gMainLogger.store(logger);
    return logger;
}

std::shared_ptr<ParoxLogger> ParoxLogger::defaultLogger() {
    return gMainLogger.load();
}

void ParoxLogger::removeDefaultLogger() {
    gMainLogger.store(nullptr);
}

QString ParoxLogger::getAppName() {
    static const QString name = QFileInfo(executablePath()).fileName();
    return name;
}

QString ParoxLogger::defaultLogFileLocation() {
    QString base = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    if (base.isEmpty()) base = QDir::homePath() + QLatin1Char('/') + getAppName();
    return base + QLatin1Char('/') + QLatin1String(kLogFolderName);
}

QString ParoxLogger::logFileLocation() const {
    std::lock_guard guard(mLogLock);
    return mLogFileLocation;
}

QString ParoxLogger::logFilePath() const {
    std::lock_guard guard(mLogLock);
    return mLogFilePath;
}

void ParoxLogger::closeFile() {
    if (mFileHandle) std::fclose(mFileHandle);
    mFileHandle = nullptr;
}

void ParoxLogger::createLogFile() {
    std::lock_guard guard(mLogLock);
    closeFile();
    mLogFilePath.clear();

    // Our default folder sits below per-user folders that may not exist yet, so make the whole
    // path.
    QDir().mkpath(mLogFileLocation);
    if (!QFileInfo(mLogFileLocation).isDir()) {
        platformLog(QStringLiteral("%1: Couldn't create log file folder at %2")
                        .arg(mAppName, mLogFileLocation));
        return;
    }
    const QString name =
        QStringLiteral("%1 %2.log")
            .arg(mAppName,
                 QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd 'at' HH.mm.ss")));
    const QString path = mLogFileLocation + QLatin1Char('/') + name;
    {
        QFile create(path);
        if (create.open(QIODevice::WriteOnly | QIODevice::Truncate)) create.close();
    }
    if (!QFileInfo::exists(path)) {
        platformLog(QStringLiteral("%1: Couldn't create log file at %2").arg(mAppName, path));
        return;
    }
    mFileHandle = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (!mFileHandle) {
        platformLog(
            QStringLiteral("%1: Couldn't open log file for writing at %2").arg(mAppName, path));
        return;
    }
    mLogFilePath = path;
    markLogLocked();
}

void ParoxLogger::markLog() {
    std::lock_guard guard(mLogLock);
    markLogLocked();
}

void ParoxLogger::markLogLocked() {
    if (!mLogToFile || !mFileHandle) return;
    writeToFile(QStringLiteral("===== %1 =====\n").arg(localDateAndTime()).toUtf8());
    flush();
}

void ParoxLogger::flush() {
    std::lock_guard guard(mLogLock);
    if (!mFileHandle) return;
    std::fflush(mFileHandle);
#if defined(Q_OS_UNIX)
    ::fsync(fileno(mFileHandle));
#endif
}

void ParoxLogger::writeToFile(const QByteArray& bytes) {
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), mFileHandle);
}

void ParoxLogger::log(const QString& message) {
    std::lock_guard guard(mLogLock);
    if (!mLogToFile && !mLogToStdOut) return;
    const QString stamp = timeStamp();
    QString line = message;
    if (!line.endsWith(QLatin1Char('\n'))) line += QLatin1Char('\n');
    if (mLogToFile && mFileHandle) writeToFile((stamp + line).toUtf8());
    if (mLogToStdOut) {
        const QByteArray out = (stamp + mAppName + QStringLiteral(": ") + line).toUtf8();
        std::fwrite(out.constData(), 1, static_cast<size_t>(out.size()), stdout);
        std::fflush(stdout);
    }
}

void ParoxLogger::setLogToFile(bool on) {
    if (on && !mLogToFile) {
        mLogToFile = true;
        createLogFile();
        return;
    }
    flush();
    mLogToFile = on;
}

void ParoxLogger::setLogFileLocation(const QString& path) {
    {
        std::lock_guard guard(mLogLock);
        if (path == mLogFileLocation) return;
        mLogFileLocation =
            path.startsWith(QLatin1Char('~')) ? QDir::homePath() + path.mid(1) : path;
    }
    createLogFile();
}

void ParoxLogger::openLogFile() {
    std::lock_guard guard(mLogLock);
    if (!mLogFilePath.isEmpty() && QFileInfo::exists(mLogFilePath)) openPath(mLogFilePath);
}

void ParoxLogger::revealLogFile() {
    const QString path = logFilePath();
    if (!path.isEmpty() && QFileInfo::exists(path)) revealPath(path);
}

} // namespace vantle
