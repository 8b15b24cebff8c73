#include "app/MorrowFileQueue.h"
#include "app/QueueDataSource.h"
#include "app/QueueFile.h"
#include "app/QueueHost.h"
#include "app/TemporaryQueue.h"
#include "platform/NotificationCenter.h"
#include "platform/Plist.h"
#include "support/ParoxLog.h"
#include "ui/FileRoles.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace vantle;

namespace {

// More than a second, so that a test can wait for the date text to change.
constexpr int kSecondTurnsMs = 3000;
constexpr int kManyItems = 10000;
constexpr int kManyExisting = 100;

QString makeFile(const QString& folder, const QString& name, const QByteArray& bytes = "12345") {
    const QString path = folder + u'/' + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) return {};
    return path;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray queueXml(const QVariantMap& root) {
    return plist::writeXml(root);
}

QVariantMap item(const QVariant& date) {
    return QVariantMap{{u"DateAdded"_s, date}};
}

// A queue file of one item queued long ago.
bool writeOldQueue(const QString& store, const QString& path) {
    return writeBytes(store, queueXml({{path, item(u"2000-01-01 00:00:00 +0000"_s)}}));
}

QStringList pathsInOrder(const MorrowFileQueue& queue) {
    QStringList paths;
    for (const FSNodeInfoPtr& node : queue.nodesInOrder())
        paths << node->absolutePath();
    return paths;
}

QStringList rowPaths(const QAbstractItemModel& model) {
    QStringList paths;
    for (int row = 0; row < model.rowCount(); ++row)
        paths << model.index(row, 0).data(Qt::ToolTipRole).toString();
    return paths;
}

// The controller's side of the queue, recording what the queue asked of it.
class RecordingHost : public QueueHost {
public:
    void queueTableChanged() override { ++tableChanges; }
    void stopButton() override { ++stops; }
    void removeIfInTempQueue(const QString& path) override { leftQueue << path; }

    int tableChanges = 0;
    int stops = 0;
    QStringList leftQueue;
};

} // namespace

class TestQueue : public QObject {
    Q_OBJECT

private:
    QTemporaryDir mDataHome;
    QTemporaryDir mLogDir;
    std::shared_ptr<ParoxLogger> mLogger;

    QString logText() {
        mLogger->flush();
        return QString::fromUtf8(readFile(mLogger->logFilePath()));
    }

private slots:
    void initTestCase() {
        // The user's own queue and folders are never touched.
        QVERIFY(mDataHome.isValid() && mLogDir.isValid());
        qputenv("XDG_DATA_HOME", QFile::encodeName(mDataHome.path()));
        QCoreApplication::setOrganizationName(u"Vantle"_s);
        QCoreApplication::setApplicationName(u"Vantle"_s);
        mLogger = ParoxLogger::createDefaultLogger(false, false);
        mLogger->setLogFileLocation(mLogDir.path());
        mLogger->setLogToFile(true);
    }

    void cleanupTestCase() { ParoxLogger::removeDefaultLogger(); }

    void codecRoundTripsWhatItKeeps() {
        const QList<QueueEntry> entries = {{u"/b/two"_s, u"2024-01-01 10:00:00 +0000"_s},
                                           {u"/a/one & <x>"_s, u"2024-01-01 09:00:00 +0000"_s}};
        const Result<QByteArray> bytes = QueueFile::encode(entries);
        QVERIFY(bytes);
        const Result<QVariant> written = plist::readXml(*bytes);
        QVERIFY(written);
        for (const QVariant& value : written->toMap())
            QCOMPARE(value.toMap().keys(), QStringList{u"DateAdded"_s});
        const Result<QList<QueueEntry>> decoded = QueueFile::decode(*bytes);
        QVERIFY(decoded);
        QCOMPARE(*decoded, (QList<QueueEntry>{entries[1], entries[0]}));

        const QByteArray binary = plist::writeBinary(written.value());
        QCOMPARE(*QueueFile::decode(binary), *decoded);
        QVERIFY(QueueFile::decode(QByteArray())->isEmpty());
    }

    void codecRefusesOrSkipsHostileFiles() {
        QCOMPARE(QueueFile::decode("\x01garbage\xff").ok(), false);
        const Result<QList<QueueEntry>> array =
            QueueFile::decode(plist::writeXml(QVariantList{u"/a"_s}));
        QVERIFY(!array);
        QVERIFY2(array.error().contains(u"dictionary"_s), qPrintable(array.error()));
        QVERIFY(!QueueFile::decode(QByteArray(QueueFile::kMaxFileBytes + 1, ' ')));

        const QVariantMap root = {
            {u"/kept"_s, item(u"d"_s)},
            {u"/not a dictionary"_s, u"d"_s},
            {u"/no date"_s, QVariantMap{{u"Other"_s, u"d"_s}}},
            {u"/number date"_s, item(qint64(5))},
            {u"relative/key"_s, item(u"d"_s)},
            {u":/resource"_s, item(u"d"_s)},
            {u"/control date"_s, item(u"a\u0001b"_s)},
        };
        // Only the binary form can carry the control character.
        const Result<QList<QueueEntry>> decoded = QueueFile::decode(plist::writeBinary(root));
        QVERIFY(decoded);
        QCOMPARE(*decoded, (QList<QueueEntry>{{u"/kept"_s, u"d"_s}}));
        QVERIFY(logText().contains(u"skipping relative/key"_s));
    }

    void batchesKeepPathOrderAndOneDate() {
        QTemporaryDir dir;
        const QString store = dir.filePath(u"q/MorrowQueue.plist"_s);
        const QString c = makeFile(dir.path(), u"c.txt"_s);
        const QString a = makeFile(dir.path(), u"a.txt"_s);
        const QString b = makeFile(dir.path(), u"b.txt"_s);
        MorrowFileQueue queue(store);
        QCOMPARE(queue.addFiles({c, a, u""_s, b, dir.filePath(u"gone.txt"_s)}), 3);
        QCOMPARE(pathsInOrder(queue), (QStringList{a, b, c}));
        QCOMPARE(queue.numberOfItemsInQueue(), 3);
        QCOMPARE(queue.pathAtIndex(0)->absolutePath(), a);
        QVERIFY(!queue.pathAtIndex(-1));
        QVERIFY(!queue.pathAtIndex(3));
        QVERIFY(logText().contains(u"File in queue has gone away"_s));

        // The file, made with its folder, holds the whole batch under one date.
        QVERIFY(queue.flush());
        const Result<QList<QueueEntry>> saved = QueueFile::decode(readFile(store));
        QVERIFY(saved);
        QCOMPARE(saved->size(), 3);
        for (const QueueEntry& entry : *saved)
            QCOMPARE(entry.dateAdded, saved->first().dateAdded);

        // Queued again a second later, an item goes to the end, still once.
        const QString first = MorrowFileQueue::currentDateText();
        QTRY_VERIFY_WITH_TIMEOUT(MorrowFileQueue::currentDateText() != first, kSecondTurnsMs);
        QVERIFY(queue.addFile(a));
        QCOMPARE(pathsInOrder(queue), (QStringList{b, c, a}));
    }

    void restartReadsTheQueueBack() {
        QTemporaryDir dir;
        const QString store = dir.filePath(u"MorrowQueue.plist"_s);
        const QString folder = dir.filePath(u"Folder"_s);
        QVERIFY(QDir().mkpath(folder));
        const QString file = makeFile(dir.path(), u"x.txt"_s);
        QStringList before;
        {
            MorrowFileQueue queue(store);
            QVERIFY(queue.addFile(file));
            // A slash-ended path is queued as the item's own path, so the row has a name.
            QVERIFY(queue.addFile(folder + u'/'));
            before = pathsInOrder(queue);
            QVERIFY(queue.save());
        }
        QCOMPARE(before.size(), 2);
        QVERIFY(before.contains(folder));
        MorrowFileQueue again(store);
        QCOMPARE(pathsInOrder(again), before);
        QVERIFY(logText().contains(u"reading prefs from "_s + store));

        // Items whose files are gone stay out, yet stay in the file until the next change.
        QVERIFY(QFile::remove(file));
        MorrowFileQueue third(store);
        QCOMPARE(pathsInOrder(third), QStringList{folder});
        QCOMPARE(QueueFile::decode(readFile(store))->size(), 2);
        QVERIFY(third.removeFile(third.pathAtIndex(0)));
        QVERIFY(third.flush());
        QVERIFY(QueueFile::decode(readFile(store))->isEmpty());
    }

    void unreadableFilesAreKeptAside() {
        QTemporaryDir dir;
        const QString store = dir.filePath(u"MorrowQueue.plist"_s);
        const QString bad = store + u".bad"_s;
        const QByteArray garbage = "not a property list \xff";
        QVERIFY(writeBytes(bad, "an older one"));
        QVERIFY(writeBytes(store, garbage));
        {
            MorrowFileQueue queue(store);
            QCOMPARE(queue.numberOfItemsInQueue(), 0);
            QCOMPARE(readFile(bad), garbage);
            QVERIFY(logText().contains(u"is kept as "_s + bad));
            QVERIFY(queue.addFile(makeFile(dir.path(), u"new.txt"_s)));
        }
        QCOMPARE(QueueFile::decode(readFile(store))->size(), 1);
        QCOMPARE(readFile(bad), garbage);

        const QByteArray array = plist::writeXml(QVariantList{store});
        QVERIFY(writeBytes(store, array));
        MorrowFileQueue notADictionary(store);
        QCOMPARE(notADictionary.numberOfItemsInQueue(), 0);
        QCOMPARE(readFile(bad), array);
    }

    void manyItemsLoadAndBadOnesAreSkipped() {
        QTemporaryDir dir;
        QVariantMap root;
        QStringList existing;
        for (int i = 0; i < kManyExisting; ++i)
            existing << makeFile(dir.path(), u"f%1"_s.arg(i, 3, 10, QLatin1Char('0')));
        for (int i = 0; i < kManyItems; ++i) {
            const QString path = i < kManyExisting ? existing[i] : dir.filePath(u"gone%1"_s.arg(i));
            root.insert(path, item(u"2024-01-01 00:00:00 +0000"_s));
        }
        root.insert(u"relative"_s, item(u"d"_s));
        root.insert(dir.filePath(u"dateless"_s), QVariantMap());
        const QString store = dir.filePath(u"MorrowQueue.plist"_s);
        QVERIFY(writeBytes(store, queueXml(root)));
        MorrowFileQueue queue(store);
        QCOMPARE(pathsInOrder(queue), existing);
        QVERIFY(!QFile::exists(store + u".bad"_s));
    }

    void unstorableItemsDoNotBlockSaving() {
        QTemporaryDir dir;
        const QString store = dir.filePath(u"MorrowQueue.plist"_s);
        const QString odd = makeFile(dir.path(), u"odd\u0001name"_s);
        const QString plain = makeFile(dir.path(), u"plain.txt"_s);
        QVERIFY(!odd.isEmpty());
        MorrowFileQueue queue(store);
        QCOMPARE(queue.addFiles({odd, plain}), 2);
        QVERIFY(queue.save());
        QVERIFY(logText().contains(u"Error: could create XML plist"_s));
        QCOMPARE(*QueueFile::decode(readFile(store)),
                 (QList<QueueEntry>{{plain, queue.pathAtIndex(1)->dateAdded()}}));

        MorrowFileQueue nowhere(makeFile(dir.path(), u"a file"_s) + u"/MorrowQueue.plist"_s);
        QVERIFY(!nowhere.save());
    }

    void removalStopsTheUploadAndCleansUp() {
        QTemporaryDir dir;
        RecordingHost host;
        MorrowFileQueue queue(dir.filePath(u"MorrowQueue.plist"_s), &host);
        const QString a = makeFile(dir.path(), u"a"_s);
        const QString b = makeFile(dir.path(), u"b"_s);
        QCOMPARE(queue.addFiles({a, b}), 2);
        QVERIFY(!queue.removeFile(nullptr));
        queue.pathAtIndex(1)->setUploading(true);
        QVERIFY(queue.removeFile(queue.pathAtIndex(1)));
        QCOMPARE(host.stops, 1);
        QCOMPARE(host.leftQueue, QStringList{b});
        QVERIFY(queue.removeFile(queue.pathAtIndex(0)));
        QCOMPARE(host.stops, 1);
        QCOMPARE(host.leftQueue, (QStringList{b, a}));
        QCOMPARE(queue.numberOfItemsInQueue(), 0);
    }

    void modelFollowsTheQueue() {
        QTemporaryDir dir;
        const QString store = dir.filePath(u"MorrowQueue.plist"_s);
        const QString old = makeFile(dir.path(), u"old.txt"_s);
        QVERIFY(writeOldQueue(store, old));
        RecordingHost host;
        QueueDataSource model(store);
        model.setHost(&host);
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy loaded(&model, &QueueDataSource::loaded);
        QVERIFY(loaded.wait());
        QCOMPARE(rowPaths(model), QStringList{old});

        const QString c = makeFile(dir.path(), u"c.txt"_s);
        const QString a = makeFile(dir.path(), u"a.txt"_s, "123456789");
        const QString b = makeFile(dir.path(), u"b.txt"_s);
        QSignalSpy added(&model, &QueueDataSource::added);
        model.addFiles({c, a, b});
        QVERIFY(added.wait());
        QCOMPARE(added.first().first().toInt(), 3);
        QCOMPARE(rowPaths(model), (QStringList{old, a, b, c}));
        QCOMPARE(model.columnCount(), 1);
        const QModelIndex row = model.index(1, 0);
        QCOMPARE(row.data(Qt::DisplayRole).toString(), u"a.txt"_s);
        QCOMPARE(row.data(SizeLineRole).toString(), u"9 Bytes"_s);
        QVERIFY(!row.data(Qt::DecorationRole).value<QImage>().isNull());
        QCOMPARE(model.flags(row),
                 Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren);
        QCOMPARE(row.data(Qt::AccessibleTextRole).toString(), u"a.txt, 9 Bytes"_s);
        QCOMPARE(row.data(Qt::AccessibleDescriptionRole).toString(), u"waiting"_s);
        model.nodeAtRow(1)->setUploading(true);
        QVERIFY(row.data(SizeLineRole).toString().isEmpty());
        QCOMPARE(row.data(Qt::AccessibleTextRole).toString(), u"a.txt, sending"_s);
        QCOMPARE(row.data(Qt::AccessibleDescriptionRole).toString(), u"sending"_s);
        model.nodeAtRow(1)->setUploading(false);

        // Queued again later: the row moves to the end.
        const QString now = MorrowFileQueue::currentDateText();
        QTRY_VERIFY_WITH_TIMEOUT(MorrowFileQueue::currentDateText() != now, kSecondTurnsMs);
        model.addFile(b);
        QTRY_COMPARE(rowPaths(model), (QStringList{old, a, c, b}));
        QCOMPARE(model.getNextFile()->absolutePath(), old);

        const int changesBefore = host.tableChanges;
        model.removeAtIndex(0); // the next upload's item: the upload flow is stopped
        QCOMPARE(host.stops, 1);
        model.removeAtIndex(7);
        QCOMPARE(host.stops, 1);
        model.deleteSelected(QList<int>{2, 0, 2});
        QCOMPARE(rowPaths(model), QStringList{c});
        QCOMPARE(host.leftQueue, (QStringList{old, a, b}));
        model.removeNode(model.nodeAtRow(0));
        QCOMPARE(model.rowCount(), 0);
        QVERIFY(!model.getNextFile());
        QCOMPARE(host.tableChanges, changesBefore + 3);
        QCOMPARE(host.stops, 1);
    }

    // A path given twice in one batch, however it is spelt, is one item: one row, sent once,
    // and gone once it is removed.
    void aPathTwiceInABatchIsOneRow() {
        QTemporaryDir dir;
        const QString a = makeFile(dir.path(), u"a.txt"_s);
        const QString b = makeFile(dir.path(), u"b.txt"_s);
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        QueueDataSource model(dir.filePath(u"MorrowQueue.plist"_s));
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy added(&model, &QueueDataSource::added);
        model.addFiles({a, u"a.txt"_s, u"./a.txt"_s, b, a, dir.path() + u"//a.txt"_s});
        QVERIFY(added.wait());
        QVERIFY(QDir::setCurrent(before));
        QCOMPARE(added.first().first().toInt(), 2);
        QCOMPARE(rowPaths(model), (QStringList{a, b}));

        // Again while queued, once more twice over: still one row each.
        model.addFiles({b, b});
        QTRY_VERIFY(!model.isBusy());
        QCOMPARE(rowPaths(model), (QStringList{a, b}));
        QCOMPARE(model.queue().numberOfItemsInQueue(), 2);

        model.removeNode(model.nodeAtRow(0));
        QCOMPARE(rowPaths(model), QStringList{b});
        QVERIFY(model.getNextFile() && model.getNextFile()->absolutePath() == b);
        model.removeNode(model.nodeAtRow(0));
        QCOMPARE(model.rowCount(), 0);
        QVERIFY(!model.getNextFile());
    }

    void removingTheUploadingFirstRowStopsOnce() {
        QTemporaryDir dir;
        RecordingHost host;
        QueueDataSource model(dir.filePath(u"MorrowQueue.plist"_s));
        model.setHost(&host);
        model.addFile(makeFile(dir.path(), u"only"_s));
        QTRY_VERIFY(model.getNextFile());
        model.getNextFile()->setUploading(true);
        model.removeAtIndex(0);
        QCOMPARE(host.stops, 1);
        QCOMPARE(model.rowCount(), 0);
    }

    void changesWhileLoadingAreKept() {
        QTemporaryDir dir;
        const QString store = dir.filePath(u"MorrowQueue.plist"_s);
        const QString old = makeFile(dir.path(), u"old"_s);
        QVERIFY(writeOldQueue(store, old));
        const QString fresh = makeFile(dir.path(), u"fresh"_s);
        {
            QueueDataSource model(store);
            QAbstractItemModelTester tester(&model,
                                            QAbstractItemModelTester::FailureReportingMode::QtTest);
            model.addFile(fresh);
            QTRY_COMPARE(rowPaths(model), (QStringList{old, fresh}));
        }
        QCOMPARE(QueueFile::decode(readFile(store))->size(), 2);

        // Files dropped just before the table goes are saved all the same.
        const QString last = makeFile(dir.path(), u"last"_s);
        {
            QueueDataSource model(store);
            model.addFiles({last});
        }
        QCOMPARE(QueueFile::decode(readFile(store))->size(), 3);
    }

    // Batches are made on a worker while the table goes on: a second one waits behind the first,
    // not the main thread, and they land in the order given. The end of the table saves both.
    void batchesLandInOrderWithoutHoldingUpTheTable() {
        QTemporaryDir dir;
        const QString store = dir.filePath(u"MorrowQueue.plist"_s);
        const QStringList first{makeFile(dir.path(), u"a"_s), makeFile(dir.path(), u"b"_s)};
        const QString second = makeFile(dir.path(), u"c"_s);
        QList<bool> saved;
        const auto recordSaved = [&](bool ok) { saved << ok; };
        {
            QueueDataSource model(store);
            QSignalSpy loaded(&model, &QueueDataSource::loaded);
            QVERIFY(loaded.wait());
            QSignalSpy added(&model, &QueueDataSource::added);
            model.addFiles(first, recordSaved);
            model.addFiles({second}, recordSaved);
            QVERIFY(model.isBusy());
            QCOMPARE(model.rowCount(), 0);
            QCOMPARE(model.queue().numberOfItemsInQueue(), 0);
            QTRY_VERIFY(!model.isBusy());
            QCOMPARE(added.size(), 2);
            QCOMPARE(added.at(0).first().toInt(), 2);
            QCOMPARE(added.at(1).first().toInt(), 1);
            QCOMPARE(rowPaths(model), first + QStringList{second});
            QCOMPARE(saved, (QList<bool>{true, true}));

            // Dropped just before the end: taken in and saved, each batch told so.
            saved.clear();
            model.addFiles({makeFile(dir.path(), u"d"_s)}, recordSaved);
            model.addFiles({makeFile(dir.path(), u"e"_s)}, recordSaved);
        }
        QCOMPARE(saved, (QList<bool>{true, true}));
        QCOMPARE(QueueFile::decode(readFile(store))->size(), 5);
    }

    void newIconsAndSizesRedrawTheRows() {
        QTemporaryDir dir;
        QueueDataSource model(dir.filePath(u"MorrowQueue.plist"_s));
        model.addFiles({makeFile(dir.path(), u"a"_s), makeFile(dir.path(), u"b"_s)});
        QTRY_COMPARE(model.queue().numberOfItemsInQueue(), 2);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        NotificationCenter::defaultCenter().post(FSNodeInfo::kInfoChangedNotification,
                                                 QVariant::fromValue(model.nodeAtRow(1)));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.first().at(0).toModelIndex().row(), 1);
        QCOMPARE(changed.first().at(1).toModelIndex().row(), 1);

        // A new icon names no node: every row is redrawn once, a turn later, for a burst of them.
        changed.clear();
        for (int i = 0; i < 3; ++i)
            NotificationCenter::defaultCenter().post(FSNodeInfo::kInfoChangedNotification,
                                                     QVariant::fromValue(QImage()));
        QCOMPARE(changed.size(), 0);
        QVERIFY(changed.wait());
        QCOMPARE(changed.last().at(0).toModelIndex().row(), 0);
        QCOMPARE(changed.last().at(1).toModelIndex().row(), 1);
    }

    void temporaryQueueMovesInAndCleansUp() {
        const std::optional<QString> folder = TemporaryQueue::queueDirectoryPath();
        QVERIFY(folder);
        QVERIFY(folder->startsWith(QFileInfo(mDataHome.path()).canonicalFilePath()));
        QVERIFY(folder->endsWith(u"/Vantle/Vantle/Temporary Queued Items"_s));
        QCOMPARE(QFileInfo(*folder).permissions() & (QFile::ReadGroup | QFile::ReadOther),
                 QFile::Permissions());

        QTemporaryDir outside;
        const QString one = makeFile(outside.path(), u"one.ps"_s);
        const QString tree = outside.filePath(u"tree"_s);
        QVERIFY(QDir().mkpath(tree + u"/inner"_s));
        QVERIFY(!makeFile(tree + u"/inner"_s, u"leaf"_s).isEmpty());
        const QStringList moved =
            TemporaryQueue::moveIn({one, tree, outside.filePath(u"missing"_s)});
        QCOMPARE(moved.size(), 2);
        const QString drop = QFileInfo(moved[0]).path();
        QVERIFY(QRegularExpression(u"/\\d+\\.\\d{3}$"_s).match(drop).hasMatch());
        QCOMPARE(QFileInfo(drop).path(), *folder);
        QVERIFY(!QFile::exists(one) && !QFile::exists(tree));
        QVERIFY(QFile::exists(moved[1] + u"/inner/leaf"_s));

        // Nothing outside the drop folders is touched, however the path is spelt.
        const QString bystander = makeFile(outside.path(), u"bystander"_s);
        const QString inFolder = makeFile(*folder, u"loose"_s);
        QCOMPARE(TemporaryQueue::removeIfInTempQueue(bystander),
                 TemporaryQueue::Cleanup::NotInQueueFolder);
        QCOMPARE(TemporaryQueue::removeIfInTempQueue(drop + u"/.."_s),
                 TemporaryQueue::Cleanup::NotInQueueFolder);
        QCOMPARE(TemporaryQueue::removeIfInTempQueue(inFolder),
                 TemporaryQueue::Cleanup::NotInQueueFolder);
        QCOMPARE(TemporaryQueue::removeIfInTempQueue(u"relative/x/y"_s),
                 TemporaryQueue::Cleanup::NotInQueueFolder);
        QVERIFY(QFile::exists(bystander) && QFile::exists(inFolder) && QFile::exists(drop));

        // A link inside goes as a link; what it points to stays.
        const QString link = drop + u"/link"_s;
        QVERIFY(QFile::link(bystander, link));
        QCOMPARE(TemporaryQueue::removeIfInTempQueue(link), TemporaryQueue::Cleanup::Removed);
        QVERIFY(QFile::exists(bystander));

        QCOMPARE(TemporaryQueue::removeIfInTempQueue(moved[0]), TemporaryQueue::Cleanup::Removed);
        QVERIFY(QFile::exists(drop));
        QCOMPARE(TemporaryQueue::removeIfInTempQueue(moved[1]), TemporaryQueue::Cleanup::Removed);
        QVERIFY(!QFile::exists(drop));
        QVERIFY(QFile::exists(*folder));
        QVERIFY(QFile::remove(inFolder));
    }

    void printOutputIsAHandOff() {
        QVERIFY(TemporaryQueue::isPrintHandOff({u"/private/tmp/printing.1/out.pdf"_s, u"/x"_s}));
        QVERIFY(!TemporaryQueue::isPrintHandOff({u"/x"_s, u"/private/tmp/printing.1/a"_s}));
        QVERIFY(!TemporaryQueue::isPrintHandOff({}));
    }

    void defaultQueueFileIsInTheDataFolder() {
        QCOMPARE(MorrowFileQueue::defaultStorePath(),
                 mDataHome.path() + u"/Vantle/Vantle/MorrowQueue.plist"_s);
    }
};

QTEST_MAIN(TestQueue)
#include "tst_queue.moc"
