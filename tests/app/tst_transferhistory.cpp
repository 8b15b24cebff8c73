// The transfer history: its file refused when it is not what the program writes and set aside,
// the newest 1,000 kept, the model, the window and its keys, and the entries the real phone's
// transfers make, each agreeing with the notification of the same end.
#include "app/PhoneDataSource.h"
#include "app/history/TransferHistory.h"
#include "app/history/TransferHistoryFile.h"
#include "app/history/TransferHistoryModel.h"
#include "app/history/TransferHistoryWindow.h"
#include "app/notify/DesktopNotifier.h"
#include "files/FSNodeInfo.h"
#include "support/ParoxLogger.h"
#include "support/harness/AppProcess.h"
#include "support/harness/Program.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace vantle;
using namespace Qt::StringLiterals;
using vantle::test::Phone;
using vantle::test::Program;
using vantle::test::readFile;
using vantle::test::writeFile;

namespace {

constexpr int kWaitMs = vantle::test::kProgramWaitMs;
constexpr qint64 kPiece = 131'072;
const QString kPhoneName = QStringLiteral("Simulated iPhone");

TransferRecord record(qint64 ms, TransferDirection direction, TransferResult result,
                      const QString& name, const QString& path = {}) {
    TransferRecord made;
    made.time = QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
    made.direction = direction;
    made.result = result;
    made.name = name;
    made.size = quint64(ms);
    made.phoneName = kPhoneName;
    made.localPath = path;
    made.reason = result == TransferResult::Failed ? QStringLiteral("Why") : QString();
    return made;
}

TransferRecord sent(qint64 ms, const QString& path = {}) {
    return record(ms, TransferDirection::Sent, TransferResult::Done, QStringLiteral("s.txt"), path);
}

QByteArray fileOf(const QByteArray& entries, int version = TransferHistoryFile::kVersion) {
    return "{\"version\": " + QByteArray::number(version) + ", \"entries\": [" + entries + "]}";
}

QString historyPath() {
    return TransferHistory::defaultFilePath();
}

bool ready(const TransferHistory& history) {
    return QTest::qWaitFor([&] { return history.state() == TransferHistory::State::Ready; },
                           kWaitMs);
}

} // namespace

class TransferHistoryTest : public QObject {
    Q_OBJECT
    QTemporaryDir folder;

    QString localFile(const QString& name, const QByteArray& data) {
        const QString path = folder.filePath(name);
        return writeFile(path, data) ? path : QString();
    }

    // The entry the program made of the one end its room told, and that end's notice agreeing.
    static void checkAgreement(const TransferRecord& entry, const QSignalSpy& told) {
        QCOMPARE(told.size(), 1);
        QCOMPARE(told.first().first().value<TransferRecord>(), entry);
        const std::optional<DesktopNotifier::Notice> notice = DesktopNotifier::noticeFor(entry);
        if (entry.result == TransferResult::Failed && entry.direction == TransferDirection::Sent) {
            QVERIFY(notice);
            QCOMPARE(notice->summary, QStringLiteral("Upload Failed"));
            QCOMPARE(notice->body, entry.name + u'\n' + entry.reason);
        } else if (entry.result == TransferResult::Done &&
                   entry.direction == TransferDirection::Received) {
            QVERIFY(notice);
            QCOMPARE(notice->summary, QStringLiteral("Download Complete"));
            QCOMPARE(notice->downloadedPath, entry.localPath);
        } else {
            QVERIFY(!notice);
        }
    }

private slots:
    void init() {
        vantle::test::startFromCleanSettings();
        QFile::remove(historyPath());
    }

    void decodeRefusesWhatTheProgramDoesNotWrite_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("entries");
        QTest::addColumn<QString>("error");
        const QByteArray good = R"({"time": 1000, "direction": "sent", "result": "done",
                                    "name": "a", "size": 5, "phone": "p", "path": "/a"})";
        QTest::newRow("good") << fileOf(good + ", " + good) << 2 << QString();
        QTest::newRow("no bytes") << QByteArray() << 0 << QString();
        QTest::newRow("corrupt") << QByteArray("{\"version\": 1, \"entr") << -1 << u"not JSON"_s;
        QTest::newRow("array") << QByteArray("[]") << -1 << u"not a JSON object"_s;
        QTest::newRow("version") << fileOf("", 2) << -1 << u"unknown version 2"_s;
        QTest::newRow("no version") << QByteArray("{\"entries\": []}") << -1 << u"no version"_s;
        QTest::newRow("time type") << fileOf(QByteArray(good).replace("1000", "\"noon\"")) << -1
                                   << u"entry 0: time is not a count of milliseconds"_s;
        QTest::newRow("name type") << fileOf(QByteArray(good).replace("\"a\"", "7")) << -1
                                   << u"entry 0: name is not a text"_s;
        QTest::newRow("direction") << fileOf(QByteArray(good).replace("sent", "up")) << -1
                                   << u"entry 0: unknown direction"_s;
        QTest::newRow("huge size") << fileOf(QByteArray(good).replace("5", "1e300")) << -1
                                   << u"entry 0: size is not a count of bytes"_s;
        QTest::newRow("negative size") << fileOf(QByteArray(good).replace("5", "-5")) << -1
                                       << u"entry 0: size is not a count of bytes"_s;
        QByteArray many = good;
        for (qsizetype i = 0; i < TransferHistoryFile::kMaxEntries; ++i)
            many += ", " + good;
        QTest::newRow("too many") << fileOf(many) << -1 << u"1001 entries, more than 1000"_s;
        QTest::newRow("too big") << QByteArray(TransferHistoryFile::kMaxFileBytes + 1, ' ') << -1
                                 << u"more than"_s;
    }

    void decodeRefusesWhatTheProgramDoesNotWrite() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, entries);
        QFETCH(QString, error);
        const Result<QList<TransferRecord>> decoded = TransferHistoryFile::decode(bytes);
        if (entries < 0) {
            QVERIFY(!decoded);
            QVERIFY2(decoded.error().contains(error), qPrintable(decoded.error()));
            return;
        }
        QVERIFY2(decoded, qPrintable(decoded.error()));
        QCOMPARE(decoded->size(), entries);
        // What it read, it writes and reads back the same.
        const Result<QList<TransferRecord>> again =
            TransferHistoryFile::decode(TransferHistoryFile::encode(*decoded));
        QVERIFY(again);
        QCOMPARE(*again, *decoded);
    }

    // More than 1,000 ends: the newest stay, in memory and in the file, newest first.
    void keepsTheNewestThousand() {
        TransferHistory history(folder.filePath(u"capped/history.json"_s));
        history.load();
        QVERIFY(ready(history));
        constexpr int kMore = 5;
        for (int i = 0; i < TransferHistoryFile::kMaxEntries + kMore; ++i)
            history.add(sent(i));
        QCOMPARE(history.entries().size(), TransferHistoryFile::kMaxEntries);
        QCOMPARE(history.entries().first(), sent(TransferHistoryFile::kMaxEntries + kMore - 1));
        QCOMPARE(history.entries().last(), sent(kMore));
        QVERIFY(history.flush(std::chrono::milliseconds(kWaitMs)));
        const Result<QList<TransferRecord>> stored =
            TransferHistoryFile::decode(readFile(history.filePath()));
        QVERIFY(stored);
        QCOMPARE(*stored, history.entries());
    }

    // A file it cannot read is renamed, never deleted, with a log line; the history starts
    // empty but for what ended while it was read, and is written anew.
    void unreadableFileIsSetAside() {
        auto logger = ParoxLogger::createDefaultLogger(false, false);
        logger->setLogFileLocation(folder.filePath(u"logs"_s));
        logger->setLogToFile(true);
        const QString path = folder.filePath(u"history.json"_s);
        QVERIFY(writeFile(path, "{\"version\": 1, \"entries\": [{]}"));
        TransferHistory history(path);
        history.add(sent(1));
        history.load();
        QVERIFY(ready(history));
        QCOMPARE(history.entries(), QList<TransferRecord>{sent(1)});
        QCOMPARE(readFile(path + TransferHistory::kSetAsideSuffix),
                 QByteArray("{\"version\": 1, \"entries\": [{]}"));
        QVERIFY(history.flush(std::chrono::milliseconds(kWaitMs)));
        QCOMPARE(*TransferHistoryFile::decode(readFile(path)), history.entries());
        logger->flush();
        QVERIFY(readFile(logger->logFilePath()).contains("could not be read"));
        ParoxLogger::removeDefaultLogger();
    }

    // Entries that end while the file is read join what it held, newest first.
    void loadMergesWhatCameMeanwhile() {
        const QString path = folder.filePath(u"merge.json"_s);
        QVERIFY(writeFile(path, TransferHistoryFile::encode({sent(20), sent(10)})));
        TransferHistory history(path);
        history.add(sent(30));
        history.load();
        QVERIFY(ready(history));
        QCOMPARE(history.entries(), (QList<TransferRecord>{sent(30), sent(20), sent(10)}));
    }

    void modelFollowsTheHistory() {
        TransferHistory history(folder.filePath(u"model.json"_s));
        TransferHistoryModel model(history);
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        history.load();
        QVERIFY(ready(history));
        const TransferRecord failed =
            record(2'000'000'000'000, TransferDirection::Sent, TransferResult::Failed, u"f.bin"_s);
        history.add(sent(1'000'000'000'000));
        history.add(failed);
        QCOMPARE(model.rowCount(), 2);
        const auto text = [&](int row, int column) {
            return model.index(row, column).data().toString();
        };
        QCOMPARE(text(0, TransferHistoryModel::TimeColumn),
                 QLocale().toString(failed.time.toLocalTime(), QLocale::ShortFormat));
        QCOMPARE(text(0, TransferHistoryModel::SizeColumn),
                 FSNodeInfo::getSizeText(2'000'000'000'000));
        QCOMPARE(text(0, TransferHistoryModel::ResultColumn), u"Failed: Why"_s);
        QCOMPARE(text(1, TransferHistoryModel::ResultColumn), u"Sent"_s);
        QCOMPARE(text(1, TransferHistoryModel::PhoneColumn), kPhoneName);
        history.removeAt({0});
        QCOMPARE(text(0, TransferHistoryModel::NameColumn), u"s.txt"_s);
        history.clear();
        QCOMPARE(model.rowCount(), 0);
    }

    // One window, raised again; loading at first; Return opens, Delete removes, Clear asks
    // first, Escape closes; Open and Show are off for a file that is gone.
    void windowWorksFromTheKeyboard() {
        Program program;
        QVERIFY(program.started);
        TransferHistory& history = program->history();
        QVERIFY(ready(history));
        const QString here = localFile(u"here.txt"_s, "here");
        history.add(sent(1, folder.filePath(u"gone.txt"_s)));
        history.add(
            record(2, TransferDirection::Received, TransferResult::Done, u"here.txt"_s, here));
        program.action(u"showTransferHistory:"_s)->trigger();
        program.action(u"showTransferHistory:"_s)->trigger();
        QCOMPARE(program.window()->findChildren<TransferHistoryWindow*>().size(), 1);
        TransferHistoryWindow* window = program->transferHistoryWindow();
        QStringList calls;
        const auto recorder = [&](const QString& verb) {
            return [&calls, verb](const QString& path) {
                calls << verb + u' ' + path;
                return true;
            };
        };
        window->setDesktopOpener({recorder(u"open"_s), recorder(u"reveal"_s)});
        QVERIFY(QTest::qWaitForWindowActive(window));
        auto* open = window->findChild<QPushButton*>(u"historyOpen"_s);
        auto* reveal = window->findChild<QPushButton*>(u"historyReveal"_s);
        QTableView* table = window->table();
        QCOMPARE(table->model()->rowCount(), 2);

        table->setFocus();
        table->selectRow(0);
        QVERIFY(open->isEnabled() && reveal->isEnabled());
        QTest::keyClick(table, Qt::Key_Return);
        QTest::mouseClick(reveal, Qt::LeftButton);
        QCOMPARE(calls, (QStringList{u"open "_s + here, u"reveal "_s + here}));
        table->selectRow(1);
        QVERIFY(!open->isEnabled() && !reveal->isEnabled());

        QTest::keyClick(table, Qt::Key_Delete);
        QCOMPARE(history.entries().size(), 1);
        QTest::mouseClick(window->findChild<QPushButton*>(u"historyClear"_s), Qt::LeftButton);
        QVERIFY(program.showsSheet(u"Clear Transfer History?"_s));
        QVERIFY(program.sheets().answer(SheetPresenter::Role::Cancel));
        QCOMPARE(history.entries().size(), 1);
        QTest::mouseClick(window->findChild<QPushButton*>(u"historyClear"_s), Qt::LeftButton);
        QVERIFY(program.showsSheet(u"Clear Transfer History?"_s));
        QVERIFY(program.sheets().answer(SheetPresenter::Role::Remove));
        QVERIFY(history.entries().isEmpty());

        QTest::keyClick(table, Qt::Key_Escape);
        QTRY_VERIFY_WITH_TIMEOUT(!program->transferHistoryWindow(), kWaitMs);
    }

    void windowShowsLoadingUntilTheFileIsRead() {
        TransferHistory history(folder.filePath(u"slow.json"_s));
        SheetPresenter presenter(nullptr);
        TransferHistoryWindow window(history, presenter);
        window.show();
        auto* loading = window.findChild<QLabel*>(u"historyLoading"_s);
        QVERIFY(loading->isVisible() && !window.table()->isVisible());
        history.add(sent(1));
        history.load();
        QTRY_VERIFY_WITH_TIMEOUT(window.table()->isVisible() && !loading->isVisible(), kWaitMs);
        QCOMPARE(window.table()->model()->rowCount(), 1);
    }

    // Uploads to the real phone: each end is one entry, the very record the notifier gets.
    void uploadsMakeEntries_data() {
        QTest::addColumn<QStringList>("phoneOptions");
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("reason");
        QTest::newRow("sent") << QStringList() << qint64(5) << int(TransferResult::Done)
                              << QString();
        QTest::newRow("refused") << QStringList{u"--fail-chunk"_s, u"2=-321"_s} << 2 * kPiece + 5
                                 << int(TransferResult::Failed) << u"Error Uploading to Device"_s;
        QTest::newRow("stopped") << QStringList{u"--delay-ms"_s, u"40"_s} << 60 * kPiece
                                 << int(TransferResult::Cancelled) << QString();
    }

    void uploadsMakeEntries() {
        QFETCH(QStringList, phoneOptions);
        QFETCH(qint64, bytes);
        QFETCH(int, result);
        QFETCH(QString, reason);
        Phone phone(phoneOptions);
        QVERIFY(phone.process->started());
        Program program;
        QSignalSpy told(&program->upload(), &UploadFlow::itemEnded);
        const QString path = localFile(u"item.bin"_s, QByteArray(bytes, 'x'));
        QVERIFY(program.add({path}));
        QVERIFY(program.connectTo(phone));
        if (TransferResult(result) == TransferResult::Cancelled) {
            QTRY_VERIFY_WITH_TIMEOUT(program.transfer().bytesTransferred() >= kPiece, kWaitMs);
            QTest::mouseClick(program.find<QToolButton>(u"stopButton"_s), Qt::LeftButton);
        }
        const TransferHistory& history = program->history();
        QTRY_COMPARE_WITH_TIMEOUT(history.entries().size(), 1, kWaitMs);
        const TransferRecord entry = history.entries().first();
        QCOMPARE(int(entry.result), result);
        QCOMPARE(entry.direction, TransferDirection::Sent);
        QCOMPARE(entry.name, u"item.bin"_s);
        QCOMPARE(entry.localPath, path);
        QCOMPARE(entry.phoneName, kPhoneName);
        QCOMPARE(entry.size, std::optional<quint64>(bytes));
        QCOMPARE(entry.reason, reason);
        if (TransferResult(result) == TransferResult::Done)
            QCOMPARE(readFile(phone.path(u"item.bin"_s)), QByteArray(bytes, 'x'));
        checkAgreement(entry, told);
    }

    void downloadMakesAReceivedEntry() {
        Phone phone;
        QVERIFY(writeFile(phone.path(u"note.txt"_s), "note me"));
        Program program;
        const auto nothing = [](const QString&) { return true; };
        program->phonePane().setDesktopOpener({nothing, nothing});
        QSignalSpy told(&program->phonePane(), &PhonePane::downloadEnded);
        QVERIFY(program.connectTo(phone));
        PhoneDataSource& rows = *program.phoneDataSource();
        const auto row = [&] {
            for (int i = 0; i < rows.rowCount(); ++i)
                if (rows.data(rows.index(i, 0)).toString() == u"note.txt"_s) return i;
            return -1;
        };
        QTRY_VERIFY_WITH_TIMEOUT(row() >= 0, kWaitMs);
        rows.downloadRow(row(), false);
        const TransferHistory& history = program->history();
        QTRY_COMPARE_WITH_TIMEOUT(history.entries().size(), 1, kWaitMs);
        const TransferRecord entry = history.entries().first();
        QCOMPARE(entry.direction, TransferDirection::Received);
        QCOMPARE(entry.result, TransferResult::Done);
        QCOMPARE(entry.name, u"note.txt"_s);
        QCOMPARE(entry.phoneName, kPhoneName);
        QCOMPARE(entry.size, std::optional<quint64>(7));
        QCOMPARE(readFile(entry.localPath), QByteArray("note me"));
        checkAgreement(entry, told);
    }
};

int main(int argc, char** argv) {
    return vantle::test::runAppSuite<TransferHistoryTest>(argc, argv);
}

#include "tst_transferhistory.moc"
