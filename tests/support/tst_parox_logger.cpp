#include "support/ParoxLog.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <thread>
#include <vector>

using namespace vantle;

namespace {
QStringList logFiles(const QString& folder) {
    return QDir(folder).entryList({"*.log"}, QDir::Files, QDir::Name);
}

QString readAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}
} // namespace

class ParoxLoggerTest : public QObject {
    Q_OBJECT
private slots:
    // Keeps the default log folder out of the user's own data folder.
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void cleanup() { ParoxLogger::removeDefaultLogger(); }

    void fileNameAndLines() {
        QTemporaryDir dir;
        ParoxLogger logger(false, false);
        logger.setLogFileLocation(dir.path());
        logger.setLogToFile(true);
        const QString name = QFileInfo(logger.logFilePath()).fileName();
        QVERIFY2(QRegularExpression("^" + QRegularExpression::escape(ParoxLogger::getAppName()) +
                                    " \\d{4}-\\d\\d-\\d\\d at \\d\\d\\.\\d\\d\\.\\d\\d\\.log$")
                     .match(name)
                     .hasMatch(),
                 qPrintable(name));

        logger.log("first line");
        logger.log("ends with a feed\n");
        logger.log("100% of %d and %@ unchanged");
        logger.flush();
        const QStringList lines = readAll(logger.logFilePath()).split('\n');
        QVERIFY(lines[0].startsWith("===== ") && lines[0].endsWith(" ====="));
        const QRegularExpression stamped(
            "^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} (.*)$");
        QCOMPARE(stamped.match(lines[1]).captured(1), QString("first line"));
        QCOMPARE(stamped.match(lines[2]).captured(1), QString("ends with a feed"));
        QCOMPARE(stamped.match(lines[3]).captured(1), QString("100% of %d and %@ unchanged"));
        QCOMPARE(lines.size(), 5); // no doubled line feed: the last split part is empty
        QVERIFY(lines[4].isEmpty());
    }

    void offAndOnStartsANewFile() {
        QTemporaryDir dir;
        ParoxLogger logger(false, false);
        logger.setLogFileLocation(dir.path());
        logger.setLogToFile(true);
        const QString first = logger.logFilePath();
        logger.setLogToFile(false);
        logger.log("not written anywhere");
        QTest::qWait(1100); // the file name carries the time to the second
        logger.setLogToFile(true);
        QVERIFY(logger.logFilePath() != first);
        QCOMPARE(logFiles(dir.path()).size(), 2);
        QVERIFY(!readAll(first).contains("not written anywhere"));
    }

    void silentLoggerCreatesNothing() {
        ParoxLogger logger(false, false);
        logger.log("nothing");
        QVERIFY(logger.logFilePath().isEmpty());
    }

    void unwritableFolderLeavesNoFile() {
        QTemporaryDir dir;
        QFile blocker(dir.filePath("blocker"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        ParoxLogger logger(false, false);
        logger.setLogFileLocation(dir.filePath("blocker/logs")); // a file stands in the way
        logger.setLogToFile(true);
        QVERIFY(logger.logFilePath().isEmpty());
        logger.log("skipped quietly"); // no crash, nothing written
    }

    void freeFunctionsNeedADefaultLogger() {
        QTemporaryDir dir;
        ParoxLog("lost: %d", 1); // no default logger yet
        auto logger = ParoxLogger::createDefaultLogger(false, false);
        logger->setLogFileLocation(dir.path());
        logger->setLogToFile(true);
        ParoxLog("kept: %d %@", 2, QString("two"));
        ParoxErrorLog("error: %s", "bad");
        logger->flush();
        const QString text = readAll(logger->logFilePath());
        QVERIFY(!text.contains("lost"));
        QVERIFY(text.contains("kept: 2 two"));
        QVERIFY(text.contains("error: bad"));
    }

    void linesFromManyThreadsNeverInterleave() {
        QTemporaryDir dir;
        ParoxLogger logger(false, false);
        logger.setLogFileLocation(dir.path());
        logger.setLogToFile(true);
        constexpr int kThreads = 4;
        constexpr int kLines = 500;
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t)
            threads.emplace_back([&logger, t] {
                for (int n = 0; n < kLines; ++n)
                    logger.log(QString("thread %1 line %2 %3").arg(t).arg(n).arg(QString(40, 'x')));
            });
        for (auto& thread : threads)
            thread.join();
        logger.flush();
        const QStringList lines = readAll(logger.logFilePath()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), kThreads * kLines + 1);
        const QRegularExpression whole("^\\S+ \\S+ thread \\d line \\d+ x{40}$");
        for (qsizetype n = 1; n < lines.size(); ++n)
            QVERIFY2(whole.match(lines[n]).hasMatch(), qPrintable(lines[n]));
    }
};

QTEST_GUILESS_MAIN(ParoxLoggerTest)
#include "tst_parox_logger.moc"
