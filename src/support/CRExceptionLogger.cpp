#include "support/CRExceptionLogger.h"

#include "support/ParoxLog.h"

#include <QCoreApplication>
#include <atomic>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <typeinfo>

#if defined(__GNUG__)
#include <cxxabi.h>
#endif

namespace vantle {
namespace {

std::atomic<bool> gTerminationLogged{false};
std::terminate_handler gPreviousTerminateHandler = nullptr;

void flushLog() {
    if (auto logger = ParoxLogger::defaultLogger()) logger->flush();
}

// The source-level name of a type where the compiler can give it, its raw name otherwise.
QString typeName(const std::type_info& type) {
#if defined(__GNUG__)
    int status = 0;
    char* readable = abi::__cxa_demangle(type.name(), nullptr, nullptr, &status);
    if (status == 0 && readable) {
        QString name = QString::fromUtf8(readable);
        std::free(readable);
        return name;
    }
    std::free(readable);
#endif
    return QString::fromUtf8(type.name());
}

// The current exception's type, also for exceptions not derived from std::exception.
QString currentExceptionTypeName() {
#if defined(__GNUG__)
    if (const std::type_info* type = abi::__cxa_current_exception_type()) return typeName(*type);
#endif
    return QStringLiteral("unknown exception");
}

// Runs instead of the default handler: the log learns what escaped, then the process ends as it
// would have without us (the previous handler, which aborts).
[[noreturn]] void logUncaughtException() {
    if (const std::exception_ptr current = std::current_exception()) {
        const QString name = currentExceptionTypeName();
        try {
            std::rethrow_exception(current);
        } catch (const std::exception& exception) {
            CRExceptionLogger::printException(name, QString::fromLocal8Bit(exception.what()));
        } catch (...) {
            CRExceptionLogger::printException(name, QString());
        }
    }
    if (gPreviousTerminateHandler) gPreviousTerminateHandler();
    std::abort();
}

} // namespace

CRExceptionLogger::CRExceptionLogger(QObject* parent) : QObject(parent) {
    static std::once_flag installed;
    std::call_once(installed,
                   [] { gPreviousTerminateHandler = std::set_terminate(&logUncaughtException); });
    connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this,
            &CRExceptionLogger::terminating);
}

void CRExceptionLogger::terminating() {
    if (gTerminationLogged.exchange(true)) return;
    ParoxLog("App Terminating");
    flushLog();
}

void CRExceptionLogger::printException(const QString& name, const QString& reason,
                                       const QVariant& userInfo) {
    ParoxLog("Foundation Exception: %@ %@ %@", name, reason, userInfo);
    flushLog();
}

} // namespace vantle
