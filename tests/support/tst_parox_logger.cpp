#include "support/ParoxLog.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <thread>
#include <vector>

using namespace Qt::StringLiterals;

using namespace vantle;

namespace {
QStringList logFiles(const QString& folder) {
    return QDir(folder).entryList({u"*.log"_s}, QDir::Files, QDir::Name);
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
        QVERIFY2(QRegularExpression(u"^"_s + QRegularExpression::escape(ParoxLogger::getAppName()) +
                                    u" \\d{4}-\\d\\d-\\d\\d at \\d\\d\\.\\d\\d\\.\\d\\d\\.log$"_s)
                     .match(name)
                     .hasMatch(),
                 qPrintable(name));

        logger.log(u"first line"_s);
        logger.log(u"ends with a feed\n"_s);
        logger.log(u"100% of %d and %@ unchanged"_s);
        logger.flush();
        const QStringList lines = readAll(logger.logFilePath()).split(QLatin1Char('\n'));
        QVERIFY(lines[0].startsWith(u"===== "_s) && lines[0].endsWith(u" ====="_s));
        const QRegularExpression stamped(
            u"^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} (.*)$"_s);
        QCOMPARE(stamped.match(lines[1]).captured(1), u"first line"_s);
        QCOMPARE(stamped.match(lines[2]).captured(1), u"ends with a feed"_s);
        QCOMPARE(stamped.match(lines[3]).captured(1), u"100% of %d and %@ unchanged"_s);
        QCOMPARE(lines.size(), 5); // no doubled line feed: the last split part is empty
        QVERIFY(lines[4].isEmpty());
    }

    void offAndOnStartsANewFile() {
        QTemporaryDir dir;
        ParoxLogger logger(false, false);
        logger.setLogFileLocation(dir.path());
        logger.setLogToFile(true);
        const QString first = logger.logFilePath();
        const qint64 firstSecond = QDateTime::currentSecsSinceEpoch();
        logger.setLogToFile(false);
        logger.log(u"not written anywhere"_s);
        // The file name carries the time to the second.
        QTRY_VERIFY(QDateTime::currentSecsSinceEpoch() > firstSecond);
        logger.setLogToFile(true);
        QCOMPARE_NE(logger.logFilePath(), first);
        QCOMPARE(logFiles(dir.path()).size(), 2);
        QVERIFY(!readAll(first).contains(u"not written anywhere"_s));
    }

    void silentLoggerCreatesNothing() {
        ParoxLogger logger(false, false);
        logger.log(u"nothing"_s);
        QVERIFY(logger.logFilePath().isEmpty());
    }

    void unwritableFolderLeavesNoFile() {
        QTemporaryDir dir;
        QFile blocker(dir.filePath(u"blocker"_s));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        ParoxLogger logger(false, false);
        logger.setLogFileLocation(dir.filePath(u"blocker/logs"_s)); // a file stands in the way
        logger.setLogToFile(true);
        QVERIFY(logger.logFilePath().isEmpty());
        logger.log(u"skipped quietly"_s); // no crash, nothing written
    }

    void freeFunctionsNeedADefaultLogger() {
        QTemporaryDir dir;
        ParoxLog("lost: %d", 1); // no default logger yet
        auto logger = ParoxLogger::createDefaultLogger(false, false);
        logger->setLogFileLocation(dir.path());
        logger->setLogToFile(true);
        ParoxLog("kept: %d %@", 2, u"two"_s);
        ParoxErrorLog("error: %s", "bad");
        logger->flush();
        const QString text = readAll(logger->logFilePath());
        QVERIFY(!text.contains(u"lost"_s));
        QVERIFY(text.contains(u"kept: 2 two"_s));
        QVERIFY(text.contains(u"error: bad"_s));
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
                    logger.log(
                        u"thread %1 line %2 %3"_s.arg(t).arg(n).arg(QString(40, QLatin1Char('x'))));
            });
        for (auto& thread : threads)
            thread.join();
        logger.flush();
        const QStringList lines =
            readAll(logger.logFilePath()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), kThreads * kLines + 1);
        const QRegularExpression whole(u"^\\S+ \\S+ thread \\d line \\d+ x{40}$"_s);
        for (qsizetype n = 1; n < lines.size(); ++n)
            QVERIFY2(whole.match(lines[n]).hasMatch(), qPrintable(lines[n]));
    }
};

QTEST_GUILESS_MAIN(ParoxLoggerTest)
#include "tst_parox_logger.moc"
