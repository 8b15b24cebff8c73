#include "support/CRExceptionLogger.h"
#include "support/ParoxLog.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <stdexcept>

using namespace Qt::StringLiterals;
using namespace vantle;

namespace {

// The child mode of this binary: log to the folder named here, then let an exception escape.
constexpr const char* kThrowIntoFolder = "VANTLE_TEST_THROW_INTO";
constexpr int kChildTimeoutMs = 30000;

QString readAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

std::shared_ptr<ParoxLogger> loggerInto(const QString& folder) {
    auto logger = ParoxLogger::createDefaultLogger(false, false);
    logger->setLogFileLocation(folder);
    logger->setLogToFile(true);
    return logger;
}

struct DiskOnFire {
    int code = 0;
};

[[noreturn]] void throwUncaught(const QByteArray& kind) {
    if (kind == "other") throw DiskOnFire{};
    throw std::runtime_error("disk on fire");
}

} // namespace

class ExceptionLoggerTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void cleanup() { ParoxLogger::removeDefaultLogger(); }

    void quittingLogsTerminationOnce() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        ParoxLog("before"); // no logger yet: nothing, anywhere
        const auto logger = loggerInto(dir.path());
        CRExceptionLogger exceptionLogger;

        // Two runs of the event loop, each ending with aboutToQuit, and a direct call.
        for (int run = 0; run < 2; ++run) {
            QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
            QCOMPARE(QCoreApplication::exec(), 0);
        }
        CRExceptionLogger::terminating();
        // The line is on disk before the process goes on to end.
        const QString text = readAll(logger->logFilePath());
        QCOMPARE(text.count(u"App Terminating"_s), 1);
        QVERIFY(text.contains(u" App Terminating\n"_s));
        QVERIFY(!text.contains(u"before"_s));
    }

    void printExceptionWritesOneLine() {
        QTemporaryDir dir;
        const auto logger = loggerInto(dir.path());
        CRExceptionLogger::printException(u"NSRangeException"_s, u"index 4 beyond bounds"_s,
                                          QVariantMap{{u"index"_s, 4}});
        const QStringList lines = readAll(logger->logFilePath()).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2); // the separator, then the exception
        QVERIFY2(lines[1].contains(u" Foundation Exception: NSRangeException index 4 beyond "
                                   u"bounds "_s +
                                   describe(QVariantMap{{u"index"_s, 4}})),
                 qPrintable(lines[1]));
    }

    void uncaughtExceptionIsLoggedBeforeTheCrash_data() {
        QTest::addColumn<QByteArray>("kind");
        QTest::addColumn<QString>("expected");
        QTest::newRow("std::exception")
            << QByteArray("std") << u"Foundation Exception: std::runtime_error disk on fire"_s;
        QTest::newRow("any other type")
            << QByteArray("other") << u"Foundation Exception: (anonymous namespace)::DiskOnFire"_s;
    }

    void uncaughtExceptionIsLoggedBeforeTheCrash() {
        QFETCH(QByteArray, kind);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QString::fromLatin1(kThrowIntoFolder), dir.path());
        environment.insert(u"VANTLE_TEST_THROW_KIND"_s, QString::fromLatin1(kind));
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(child.waitForFinished(kChildTimeoutMs));
        // The usual crash stays a crash.
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        // Moving the log folder may begin a file of its own: read them all.
        QString text;
        for (const QString& file : QDir(dir.path()).entryList({u"*.log"_s}, QDir::Files))
            text += readAll(dir.filePath(file));
        QCOMPARE(text.count(u"Foundation Exception"_s), 1);
        QVERIFY2(text.contains(expected), qPrintable(text));
        QVERIFY(!text.contains(u"App Terminating"_s));
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QByteArray folder = qgetenv(kThrowIntoFolder);
    if (!folder.isEmpty()) {
        auto logger = ParoxLogger::createDefaultLogger(false, false);
        logger->setLogFileLocation(QString::fromLocal8Bit(folder));
        logger->setLogToFile(true);
        CRExceptionLogger exceptionLogger;
        throwUncaught(qgetenv("VANTLE_TEST_THROW_KIND"));
    }
    ExceptionLoggerTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_exception_logger.moc"
