// The upload flow of the window against the simulated phone: the queue arrives byte for byte,
// every failure's sheet and its answers, stopping, the progress line.
#include "app/AppController.h"
#include "app/QueueDataSource.h"
#include "app/TemporaryQueue.h"
#include "files/FSNodeInfo.h"
#include "platform/Defaults.h"
#include "support/harness/AppProcess.h"
#include "support/harness/Program.h"
#include "support/harness/Watchdog.h"
#include "transfer/ProtocolKeys.h"
#include "ui/IDDragTableView.h"
#include "ui/MRWindow.h"
#include "ui/SheetPresenter.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <chrono>
#include <memory>
#include <thread>
#include <unistd.h>

using namespace vantle;
using namespace Qt::StringLiterals;
using vantle::test::filesBelow;
using vantle::test::patterned;
using vantle::test::Phone;
using vantle::test::PhoneProcess;
using vantle::test::Program;
using vantle::test::readFile;
using vantle::test::recordedRequests;
using vantle::test::writeFile;

namespace {

constexpr int kWaitMs = vantle::test::kProgramWaitMs;
// How long something that must not happen is watched for.
constexpr int kQuietMs = 600;
// The phone's upload pieces.
constexpr qint64 kPiece = 131'072;
// A folder that takes a moment to walk.
constexpr int kWideFolderFiles = 20'000;
// A name stem for which no numbered name ("-1" …) fits in 255 bytes with ".txt".
constexpr int kLongestStem = 250;
const QString kConnected = vantle::test::kConnectedStatus;
const QString kExists = QStringLiteral("File Exists On Device");
const QString kTooLong = QStringLiteral("File Name or Path Too Long");
const QString kDeviceError = QStringLiteral("Error Uploading to Device");
// Quitting takes no longer than this, whatever the upload is doing.
constexpr qint64 kQuitMs = 2000;
// A quit still running after this is taken to hang for good.
constexpr int kHungMs = 10'000;

// The last piece of the file sent to `phonePath`, or an empty object.
QJsonObject lastPiece(const Phone& phone, const QString& phonePath) {
    for (const QJsonObject& piece : phone.received(requests::kSendChunk))
        if (piece.value(keys::kPath).toString() == phonePath &&
            piece.value(keys::kLastChunk).toBool())
            return piece;
    return {};
}

// Waits for `condition` without turning this thread's event loop, as a thread busy quitting does.
template <class Condition> bool waitWithoutEvents(Condition condition, int ms) {
    const QDeadlineTimer deadline(ms);
    while (!condition()) {
        if (deadline.hasExpired()) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

qint64 dataLength(const QJsonObject& message, QLatin1StringView key) {
    return message.value(key).toObject().value(QStringLiteral("length")).toInteger(-1);
}

} // namespace

class UploadFlowTest : public QObject {
    Q_OBJECT
    ScriptedDnsSdControl dnssd;
    std::unique_ptr<QTemporaryDir> local;

    QString localFile(const QString& relative, const QByteArray& data) {
        const QString path = local->filePath(relative);
        return writeFile(path, data) ? path : QString();
    }

    // The phone holds `name` ("phone's own") and the same name is queued from here ("local"):
    // once connected, the program meets the clash and asks.
    bool meetsClash(const Program& program, const Phone& phone, const QString& name) {
        return writeFile(phone.path(name), "phone's own") &&
               program.add({localFile(name, "local")}) && program.connectTo(phone) &&
               program.showsSheet(kExists);
    }

private slots:
    void init() {
        vantle::test::startFromCleanSettings();
        if (dnssd.reset) dnssd.reset();
        local = std::make_unique<QTemporaryDir>();
    }

    // Queued before the phone approves, sent once it has: files, a folder, a rich-text document
    // and an empty file arrive as they are, with their previews.
    void queueArrivesAfterApproval() {
        Phone phone({QStringLiteral("--approve-after-ms"), QStringLiteral("600")});
        QVERIFY(phone.process->started());
        const QByteArray big = patterned(3 * kPiece + 17, 'b');
        const QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl\\f0 Helvetica;}\\f0\\fs24 Hello there}";
        const QStringList paths{
            localFile(QStringLiteral("big.bin"), big),
            localFile(QStringLiteral("Folder/inner.txt"), "inner"),
            localFile(QStringLiteral("Folder/Sub/deep.bin"), patterned(kPiece + 1, 'd')),
            localFile(QStringLiteral("Notes.rtf"), rtf),
            localFile(QStringLiteral("empty.txt"), {}),
        };
        Program program;
        QVERIFY(
            program.add({paths[0], local->filePath(QStringLiteral("Folder")), paths[3], paths[4]}));
        program->connectToTypedAddress(phone.address());
        QTRY_COMPARE_WITH_TIMEOUT(program.statusText(), QStringLiteral("Waiting for approval..."),
                                  kWaitMs);
        QCOMPARE(program.queue().rowCount(), 4);
        QVERIFY(phone.received(requests::kSendChunk).isEmpty());

        QTRY_COMPARE_WITH_TIMEOUT(program.statusText(), kConnected, kWaitMs);
        QVERIFY(program.queueHolds(0));
        QTRY_VERIFY_WITH_TIMEOUT(!program.sending(), kWaitMs);
        QCOMPARE(program.sheets().currentTitle(), QString());

        const QMap<QString, QByteArray> arrived = filesBelow(phone.store.path());
        QCOMPARE(arrived.keys(), (QStringList{u"Folder/Sub/deep.bin"_s, u"Folder/inner.txt"_s,
                                              u"Notes.rtf"_s, u"big.bin"_s, u"empty.txt"_s}));
        QCOMPARE(arrived.value(u"big.bin"_s), big);
        QCOMPARE(arrived.value(u"Folder/inner.txt"_s), QByteArray("inner"));
        QCOMPARE(arrived.value(u"Folder/Sub/deep.bin"_s), patterned(kPiece + 1, 'd'));
        QCOMPARE(arrived.value(u"Notes.rtf"_s), rtf);
        QCOMPARE(arrived.value(u"empty.txt"_s), QByteArray());
        // Previews ride on each file's last piece; the rich text brings its HTML.
        for (const char* name : {"big.bin", "empty.txt", "Notes.rtf", "Folder/inner.txt"})
            QVERIFY2(dataLength(lastPiece(phone, QLatin1String(name)), keys::kPreviewTIFF) > 0,
                     name);
        QVERIFY(dataLength(lastPiece(phone, QStringLiteral("Notes.rtf")), keys::kHTMLSubstitute) >
                0);
    }

    // "File Exists On Device": each answer, given for one item or for the others too.
    void nameClash_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("forOthers");
        QTest::newRow("replace, for the others too") << QStringLiteral("Replace") << true;
        QTest::newRow("make unique, for the others too") << QStringLiteral("Make Unique") << true;
        QTest::newRow("cancel, for the others too") << QStringLiteral("Cancel") << true;
        QTest::newRow("replace, asked again") << QStringLiteral("Replace") << false;
    }
    void nameClash() {
        QFETCH(QString, answer);
        QFETCH(bool, forOthers);
        Phone phone;
        QVERIFY(phone.process->started());
        QVERIFY(writeFile(phone.path(QStringLiteral("one.txt")), "old one"));
        QVERIFY(writeFile(phone.path(QStringLiteral("two/old.txt")), "old two"));
        QVERIFY(!localFile(QStringLiteral("two/new.txt"), "new two").isEmpty());
        Program program;
        QVERIFY(program.add({localFile(QStringLiteral("one.txt"), "new one")}));
        QVERIFY(program.add({local->filePath(QStringLiteral("two"))}));
        QVERIFY(program.connectTo(phone));

        QVERIFY(program.showsSheet(kExists));
        QCOMPARE(program.sheets().currentText(),
                 QStringLiteral("A file or folder named \"one.txt\" already exists in your "
                                "Vantle."));
        QCOMPARE(program.sheets().currentButtons(),
                 (QStringList{u"Replace"_s, u"Cancel"_s, u"Make Unique"_s}));
        QCOMPARE(program.queue().rowCount(), 2);
        QVERIFY(program.sheets().answer(answer, forOthers));

        if (!forOthers) {
            QVERIFY(program.showsSheet(kExists));
            QVERIFY(program.sheets().currentText().contains(QStringLiteral("\"two\"")));
            QVERIFY(program.sheets().answer(answer));
        }
        QVERIFY(program.queueHolds(0));
        QTRY_VERIFY_WITH_TIMEOUT(!program.sending(), kWaitMs);
        QCOMPARE(program.sheets().currentTitle(), QString());

        const QMap<QString, QByteArray> arrived = filesBelow(phone.store.path());
        if (answer == QLatin1String("Replace")) {
            QCOMPARE(arrived, (QMap<QString, QByteArray>{{u"one.txt"_s, "new one"},
                                                         {u"two/new.txt"_s, "new two"}}));
        } else if (answer == QLatin1String("Cancel")) {
            QCOMPARE(arrived, (QMap<QString, QByteArray>{{u"one.txt"_s, "old one"},
                                                         {u"two/old.txt"_s, "old two"}}));
        } else {
            // The old ones kept, the new ones beside them under names of their own.
            QCOMPARE(arrived, (QMap<QString, QByteArray>{{u"one.txt"_s, "old one"},
                                                         {u"one-1.txt"_s, "new one"},
                                                         {u"two/old.txt"_s, "old two"},
                                                         {u"two-1/new.txt"_s, "new two"}}));
        }
    }

    // A name the phone cannot take: OK removes the item and the rest of the queue waits for the
    // next start; the text names a folder, a package or a file.
    void nameTooLong() {
        Phone phone({QStringLiteral("--max-name"), QStringLiteral("12")});
        QVERIFY(phone.process->started());
        const QString longName = QStringLiteral("a-rather-long-name.txt");
        const QString folder = QFileInfo(localFile(u"Dir/"_s + longName, "x")).path();
        const QString package = QFileInfo(localFile(u"Pkg.bundle/"_s + longName, "y")).path();
        const QString file = localFile(longName, "z");
        Program program;
        QVERIFY(program.add({folder}));
        QVERIFY(program.add({package}));
        QVERIFY(program.connectTo(phone));

        QVERIFY(program.showsSheet(kTooLong));
        QCOMPARE(program.sheets().currentText(),
                 QStringLiteral("Vantle is unable to transfer the folder named \"Dir\" because a "
                                "file name or folder path is too long."));
        QCOMPARE(program.sheets().currentButtons(), QStringList{u"OK"_s});
        QVERIFY(program.sheets().answer(SheetPresenter::Role::Accept));
        QVERIFY(program.queueHolds(1));
        QCOMPARE(program.queue().getNextFile()->absolutePath(), package);
        // The folder made for it on the phone went with it.
        QVERIFY(!QFileInfo::exists(phone.path(QStringLiteral("Dir"))));
        QVERIFY(!QTest::qWaitFor([&] { return program.sending(); }, kQuietMs));
        QCOMPARE(program.sheets().currentTitle(), QString());

        // Adding a file is the next start.
        QVERIFY(program.add({file}));
        QVERIFY(program.showsSheet(kTooLong));
        QCOMPARE(program.sheets().currentText(),
                 QStringLiteral("Vantle is unable to transfer the item named \"Pkg.bundle\" "
                                "because the file name or the name of a file contained within it "
                                "is too long."));
        QVERIFY(program.sheets().answer(SheetPresenter::Role::Accept));
        QVERIFY(program.queueHolds(1));
        program->upload().startUploadIfWeCan();
        QVERIFY(program.showsSheet(kTooLong));
        QCOMPARE(program.sheets().currentText(),
                 u"Vantle is unable to transfer the file named \""_s + longName +
                     u"\" because the file's name is too long."_s);
        QVERIFY(program.sheets().answer(SheetPresenter::Role::Accept));
        QVERIFY(program.queueHolds(0));
    }

    // A piece the phone refuses with a code: Try again sends the item again from its start,
    // Cancel drops it.
    void failedPiece_data() {
        QTest::addColumn<QString>("answer");
        QTest::newRow("try again") << QStringLiteral("Try again");
        QTest::newRow("cancel") << QStringLiteral("Cancel");
    }
    void failedPiece() {
        QFETCH(QString, answer);
        Phone phone({QStringLiteral("--fail-chunk"), QStringLiteral("2=-321")});
        QVERIFY(phone.process->started());
        const QByteArray data = patterned(2 * kPiece + 5, 'f');
        Program program;
        QVERIFY(program.add({localFile(QStringLiteral("f.bin"), data)}));
        QVERIFY(program.connectTo(phone));
        QVERIFY(program.showsSheet(kDeviceError));
        QCOMPARE(program.sheets().currentText(),
                 QStringLiteral("There was an error uploading your files to the device. (Error: "
                                "-321)"));
        QCOMPARE(program.sheets().currentButtons(), (QStringList{u"Try again"_s, u"Cancel"_s}));
        QCOMPARE(program.queue().rowCount(), 1);
        QVERIFY(program.sheets().answer(answer));
        if (answer == QLatin1String("Try again")) {
            QVERIFY(program.queueHolds(0));
            QCOMPARE(readFile(phone.path(QStringLiteral("f.bin"))), data);
        } else {
            QVERIFY(program.queueHolds(0));
            QVERIFY(!QTest::qWaitFor([&] { return program.sending(); }, kQuietMs));
            QCOMPARE(phone.received(requests::kSendChunk).size(), 2);
            // The piece that did arrive is no file on the phone.
            QVERIFY(!QFileInfo::exists(phone.path(QStringLiteral("f.bin"))));
        }
    }

    // The approval comes while a sheet is open (here the Add Files sheet): nothing goes while it
    // is there; once it closes, the queue goes and the phone's files are listed.
    void approvalDuringASheetIsFollowedUpOnceItCloses() {
        Phone phone({QStringLiteral("--approve-after-ms"), QStringLiteral("600")});
        QVERIFY(phone.process->started());
        QVERIFY(writeFile(phone.path(u"there.txt"_s), "there"));
        Program program;
        QVERIFY(program.add({localFile(u"held.txt"_s, "held")}));
        program->connectToTypedAddress(phone.address());
        QTRY_COMPARE_WITH_TIMEOUT(program.statusText(), QStringLiteral("Waiting for approval..."),
                                  kWaitMs);
        // Files can be added once the phone has said it takes them.
        QTRY_VERIFY_WITH_TIMEOUT(program.action(u"addFileToQueue:"_s)->isEnabled(), kWaitMs);
        program->addFileToQueue();
        QTRY_VERIFY_WITH_TIMEOUT(program.sheets().sheetOpen(), kWaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(program.statusText(), kConnected, kWaitMs);
        QVERIFY(!QTest::qWaitFor([&] { return QFileInfo::exists(phone.path(u"held.txt"_s)); },
                                 kQuietMs));
        auto* sheet = qobject_cast<QDialog*>(program.sheets().current());
        QVERIFY(sheet);
        sheet->reject();
        QTRY_COMPARE_WITH_TIMEOUT(readFile(phone.path(u"held.txt"_s)), QByteArray("held"), kWaitMs);
        QVERIFY(program.queueHolds(0));
        QTRY_COMPARE_WITH_TIMEOUT(program.phoneDataSource()->rowCount(), 2, kWaitMs);
    }

    // The phone goes away in the middle of a file: the lost-connection sheet or the plain
    // not-connected state, and the item is still queued.
    void droppedConnection() {
        Phone phone({QStringLiteral("--drop-after-chunks"), QStringLiteral("2")});
        QVERIFY(phone.process->started());
        Program program;
        QVERIFY(program.add({localFile(QStringLiteral("f.bin"), patterned(6 * kPiece, 'g'))}));
        QVERIFY(program.connectTo(phone));
        QVERIFY(QTest::qWaitFor(
            [&] {
                return program.sheets().currentTitle() == kDeviceError ||
                       program.statusText() == QStringLiteral("Not connected.");
            },
            kWaitMs));
        if (program.sheets().currentTitle() == kDeviceError) {
            QCOMPARE(program.sheets().currentText(),
                     QStringLiteral("There was an error uploading your files to the device. The "
                                    "connection was lost or timed out."));
            QVERIFY(program.sheets().answer(SheetPresenter::Role::TryAgain));
        }
        QTRY_COMPARE_WITH_TIMEOUT(program.statusText(), QStringLiteral("Not connected."), kWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(!program.sending(), kWaitMs);
        QCOMPARE(program.queue().rowCount(), 1);
        QVERIFY(program.sheets().currentTitle().isEmpty());
    }

    // Stopping in the middle of a large file: no sheet, the item stays and the queue waits;
    // meanwhile the line beside the name tells bytes, speed, time left and items left.
    void stopInTheMiddle() {
        Phone phone({QStringLiteral("--delay-ms"), QStringLiteral("40")});
        QVERIFY(phone.process->started());
        Program program;
        QVERIFY(program.add({localFile(QStringLiteral("large.bin"), patterned(60 * kPiece, 'l'))}));
        QVERIFY(program.add({localFile(QStringLiteral("small.txt"), "small")}));
        QVERIFY(program.connectTo(phone));
        QTRY_VERIFY_WITH_TIMEOUT(program.transfer().bytesTransferred() >= 3 * kPiece, kWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(program.uploadDetails().contains(QStringLiteral("/s")), kWaitMs);
        const QString details = program.uploadDetails();
        QVERIFY2(details.contains(u" of "_s + FSNodeInfo::getSizeText(60 * kPiece) + u", "_s),
                 qPrintable(details));
        QVERIFY2(details.contains(QStringLiteral(" left, 2 items left")), qPrintable(details));
        QCOMPARE(program.find<QLabel>(QStringLiteral("uploadName"))->text(),
                 QStringLiteral("large.bin"));
        // The bar counts in 64 KiB units and moves by two pixels at the least.
        const auto* bar = program.find<QProgressBar>(QStringLiteral("uploadBar"));
        QCOMPARE(bar->maximum(), int(60 * kPiece / 65536));
        // It moves at its next tick (in every upload of the program's life, not only the first).
        QTRY_VERIFY_WITH_TIMEOUT(bar->value() > 0, kWaitMs);
        QVERIFY(bar->value() <= int(program.transfer().bytesTransferred() / 65536));

        auto* stop = program.find<QToolButton>(QStringLiteral("stopButton"));
        QVERIFY(stop->isEnabled());
        QTest::mouseClick(stop, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!program.sending(), kWaitMs);
        QVERIFY(!QTest::qWaitFor([&] { return program.sending(); }, kQuietMs));
        QVERIFY(program.sheets().currentTitle().isEmpty());
        QCOMPARE(program.queue().rowCount(), 2);
        QVERIFY(!QFileInfo::exists(phone.path(QStringLiteral("small.txt"))));

        // The next start sends the item again from its beginning.
        program->upload().startUploadIfWeCan();
        QTRY_VERIFY_WITH_TIMEOUT(program.transfer().bytesTransferred() >= kPiece, kWaitMs);
        // Taking the item being sent out of the queue stops it; the next one goes.
        program.queue().removeAtIndex(0);
        QVERIFY(program.queueHolds(0));
        QTRY_COMPARE_WITH_TIMEOUT(readFile(phone.path(QStringLiteral("small.txt"))),
                                  QByteArray("small"), kWaitMs);
        QVERIFY(program.sheets().currentTitle().isEmpty());
        // What had arrived of the stopped file was taken away again.
        QVERIFY(!QFileInfo::exists(phone.path(QStringLiteral("large.bin"))));
    }

    // Printed output handed to the program lives in the temporary queue folder until it has
    // been sent; then it and its hand-off folder go.
    void handOffIsCleanedUpOnceSent() {
        Phone phone;
        QVERIFY(phone.process->started());
        Program program;
        program->doAddToQueueTemp({localFile(QStringLiteral("printed.pdf"), "%PDF")});
        QVERIFY(program.queueHolds(1));
        const QString copy = program.queue().getNextFile()->absolutePath();
        const std::optional<QString> folder = TemporaryQueue::queueDirectoryPath();
        QVERIFY(folder);
        QVERIFY(copy.startsWith(*folder));
        QVERIFY(QFileInfo::exists(copy));
        QVERIFY(program.connectTo(phone));
        QVERIFY(program.queueHolds(0));
        QCOMPARE(readFile(phone.path(QStringLiteral("printed.pdf"))), QByteArray("%PDF"));
        QVERIFY(!QFileInfo::exists(copy));
        QVERIFY(!QFileInfo::exists(QFileInfo(copy).path()));
    }

    // Quitting in the middle of a slow upload ends the worker with the program, promptly; the
    // item stays queued for the next start.
    void quittingDuringAnUpload() {
        Phone phone({QStringLiteral("--delay-ms"), QStringLiteral("200")});
        QVERIFY(phone.process->started());
        const QString file = localFile(QStringLiteral("large.bin"), patterned(30 * kPiece, 'q'));
        {
            Program program;
            QVERIFY(program.add({file}));
            QVERIFY(program.connectTo(phone));
            QTRY_VERIFY_WITH_TIMEOUT(program.transfer().bytesTransferred() > 0, kWaitMs);
            QElapsedTimer clock;
            clock.start();
            program.controller.reset();
            QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
        }
        Program program;
        QVERIFY(program.queueHolds(1));
        QCOMPARE(program.queue().getNextFile()->absolutePath(), file);
    }

    // Stopping an item whose name the phone already holds, before that was even checked (here
    // while its folder is still being walked), leaves the phone's item as it was.
    void stopBeforeTheNameCheckKeepsThePhonesItem() {
        Phone phone;
        QVERIFY(phone.process->started());
        QVERIFY(writeFile(phone.path(u"Big/old.txt"_s), "old"));
        for (int i = 0; i < kWideFolderFiles; ++i)
            QVERIFY(writeFile(local->filePath(u"Big/d%1/f%2"_s.arg(i % 100).arg(i)), {}));
        Program program;
        QVERIFY(program.connectTo(phone));
        // Once listed, the connection's own starts are over: the add is the one start.
        QTRY_COMPARE_WITH_TIMEOUT(program.phoneDataSource()->rowCount(), 1, kWaitMs);
        program->doAddToQueue({local->filePath(u"Big"_s)});
        QTRY_VERIFY_WITH_TIMEOUT(program.sending(), kWaitMs);
        QTest::mouseClick(program.find<QToolButton>(QStringLiteral("stopButton")), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!program.sending(), kWaitMs);
        QVERIFY(!QTest::qWaitFor([&] { return program.sending(); }, kQuietMs));
        QCOMPARE(readFile(phone.path(u"Big/old.txt"_s)), QByteArray("old"));
        QCOMPARE(program.queue().rowCount(), 1);
    }

    // The connection goes in the middle of a file, and the program is restarted: at the next
    // try with that phone, the remains are replaced without asking while they are no more than
    // what was sent; grown beyond that, they are the user's and the clash is asked about.
    void remainsOfADroppedUpload_data() {
        QTest::addColumn<bool>("grownOnThePhone");
        QTest::addColumn<bool>("removedFromTheQueue");
        QTest::newRow("remains as left") << false << false;
        QTest::newRow("grown since") << true << false;
        QTest::newRow("item removed meanwhile") << false << true;
    }
    void remainsOfADroppedUpload() {
        QFETCH(bool, grownOnThePhone);
        QFETCH(bool, removedFromTheQueue);
        const QStringList sameID{u"--id"_s, u"phone-1"_s};
        QTemporaryDir store;
        const QByteArray data = patterned(8 * kPiece + 3, 'r');
        const QString file = localFile(u"r.bin"_s, data);
        {
            Phone phone(sameID + QStringList{u"--drop-after-chunks"_s, u"3"_s});
            QVERIFY(phone.process->started());
            Program program;
            QVERIFY(program.add({file}));
            program->connectToTypedAddress(phone.address());
            QTRY_COMPARE_WITH_TIMEOUT(program.statusText(), QStringLiteral("Not connected."),
                                      kWaitMs);
            QTRY_VERIFY_WITH_TIMEOUT(!program.sending(), kWaitMs);
            // The remains could not be taken away over the lost connection.
            const qint64 left = QFileInfo(phone.path(u"r.bin"_s)).size();
            QVERIFY2(left > 0 && left < data.size(), qPrintable(QString::number(left)));
            QVERIFY(QFile::copy(phone.path(u"r.bin"_s), store.filePath(u"r.bin"_s)));
            if (grownOnThePhone)
                QVERIFY(writeFile(store.filePath(u"r.bin"_s), patterned(9 * kPiece, 'u')));
        }
        Phone phone(sameID + QStringList{u"--store"_s, store.path()});
        QVERIFY(phone.process->started());
        Program program;
        QVERIFY(program.queueHolds(1));
        if (removedFromTheQueue) {
            // Remains of an item no longer queued are taken away all the same.
            program.queue().removeAtIndex(0);
            QVERIFY(program.queueHolds(0));
            QVERIFY(program.connectTo(phone));
            QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(store.filePath(u"r.bin"_s)), kWaitMs);
            return;
        }
        QVERIFY(program.connectTo(phone));
        if (grownOnThePhone) {
            QVERIFY(program.showsSheet(kExists));
            QVERIFY(program.sheets().answer(SheetPresenter::Role::Cancel));
            QVERIFY(program.queueHolds(0));
            QCOMPARE(readFile(store.filePath(u"r.bin"_s)), patterned(9 * kPiece, 'u'));
        } else {
            QVERIFY(program.queueHolds(0));
            QCOMPARE(readFile(store.filePath(u"r.bin"_s)), data);
            QCOMPARE(program.sheets().currentTitle(), QString());
        }
    }

    // An item gone before its turn leaves the queue unsent: the phone is not told it arrived and
    // its copy stays, even when Replace was the answer.
    void vanishedItemIsNotSent() {
        Phone phone;
        QVERIFY(phone.process->started());
        Program program;
        QVERIFY(meetsClash(program, phone, u"gone.txt"_s));
        QVERIFY(QFile::remove(local->filePath(u"gone.txt"_s)));
        QVERIFY(program.sheets().answer(SheetPresenter::Role::Replace));
        QVERIFY(program.queueHolds(0));
        QTRY_VERIFY_WITH_TIMEOUT(!program.sending(), kWaitMs);
        QCOMPARE(readFile(phone.path(u"gone.txt"_s)), QByteArray("phone's own"));
        QVERIFY(phone.received(requests::kNotify).isEmpty());
        QCOMPARE(program.sheets().currentTitle(), QString());
    }

    // "Do the same for the other items" holds for the run it was given in: after a stop the
    // next clash is asked about again.
    void clashAnswerEndsWithTheRun() {
        Phone phone({QStringLiteral("--delay-ms"), QStringLiteral("30")});
        QVERIFY(phone.process->started());
        QVERIFY(writeFile(phone.path(u"1x.txt"_s), "old x"));
        QVERIFY(writeFile(phone.path(u"3y.txt"_s), "old y"));
        Program program;
        QVERIFY(program.add({localFile(u"1x.txt"_s, "new x")}));
        QVERIFY(program.add({localFile(u"2big.bin"_s, patterned(40 * kPiece, 'c'))}));
        QVERIFY(program.add({localFile(u"3y.txt"_s, "new y")}));
        QVERIFY(program.connectTo(phone));
        QVERIFY(program.showsSheet(kExists));
        QVERIFY(program.sheets().answer(SheetPresenter::Role::Replace, true));
        QTRY_VERIFY_WITH_TIMEOUT(program.transfer().bytesTransferred() >= kPiece, kWaitMs);
        QTest::mouseClick(program.find<QToolButton>(QStringLiteral("stopButton")), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!program.sending(), kWaitMs);
        QCOMPARE(readFile(phone.path(u"1x.txt"_s)), QByteArray("new x"));

        program->upload().startUploadIfWeCan();
        QVERIFY(program.showsSheet(kExists));
        QVERIFY(program.sheets().currentText().contains(u"\"3y.txt\""_s));
        QVERIFY(program.sheets().answer(SheetPresenter::Role::Cancel));
        QVERIFY(program.queueHolds(0));
        QCOMPARE(readFile(phone.path(u"3y.txt"_s)), QByteArray("old y"));
    }

    // Make Unique when no free name is left (every numbered name would be too long): the item
    // is not sent over the phone's own, and a sheet says why.
    void makeUniqueWithoutAFreeName() {
        Phone phone;
        QVERIFY(phone.process->started());
        const QString name = QString(kLongestStem, u'n') + u".txt"_s;
        Program program;
        QVERIFY(meetsClash(program, phone, name));
        QVERIFY(program.sheets().answer(SheetPresenter::Role::MakeUnique));
        QVERIFY(program.showsSheet(kExists));
        QVERIFY2(program.sheets().currentText().contains(u"no free name"_s),
                 qPrintable(program.sheets().currentText()));
        QVERIFY(program.sheets().answer(SheetPresenter::Role::Cancel));
        QVERIFY(program.queueHolds(0));
        QCOMPARE(readFile(phone.path(name)), QByteArray("phone's own"));
        QVERIFY(phone.received(requests::kSendChunk).isEmpty());
    }

    // Deleting the row of an item while it is still being prepared (its Replace is under way)
    // stops it: nothing of it is sent.
    void deletedWhilePreparedIsNotSent() {
        Phone phone({QStringLiteral("--delay-ms"), QStringLiteral("400")});
        QVERIFY(phone.process->started());
        Program program;
        QVERIFY(meetsClash(program, phone, u"p.txt"_s));
        QVERIFY(program.sheets().answer(SheetPresenter::Role::Replace));
        QTRY_VERIFY_WITH_TIMEOUT(program.sending(), kWaitMs);
        program.queue().deleteSelected(QList<int>{0});
        QVERIFY(program.queueHolds(0));
        QTRY_VERIFY_WITH_TIMEOUT(!program.sending(), kWaitMs);
        QVERIFY(!QTest::qWaitFor([&] { return program.sending(); }, kQuietMs));
        QVERIFY(phone.received(requests::kSendChunk).isEmpty());
    }

    // Quitting just as the worker makes the last piece's preview: the main thread, busy quitting,
    // serves nothing, and the worker must need nothing of it.
    void quittingWhileThePreviewIsMade() {
        Phone phone({QStringLiteral("--delay-ms"), QStringLiteral("400")});
        QVERIFY(phone.process->started());
        const QString name = QStringLiteral("two-pieces.bin");
        Program program;
        QVERIFY(program.add({localFile(name, patterned(kPiece + 5, 'p'))}));
        QVERIFY(program.connectTo(phone));
        // Under way: the name check and the first piece each wait for the slow phone.
        QTRY_COMPARE_WITH_TIMEOUT(program.transfer().currentFile(), name, kWaitMs);
        // The first piece answered, the worker's next step is the last piece's preview.
        QVERIFY(waitWithoutEvents(
            [&] { return program.transfer().bytesTransferred() >= quint64(kPiece); }, kWaitMs));
        const vantle::test::Watchdog watchdog(
            kHungMs, [] { qFatal("shutDown hung while the preview was made"); });
        QElapsedTimer clock;
        clock.start();
        program->shutDown();
        QVERIFY2(clock.elapsed() < kQuitMs, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(program.queue().rowCount(), 1);
    }

    // Quitting with a failure's sheet open is no answer to it: the application closes the box
    // on its way out, which a box takes for its Cancel, and the item must stay queued.
    void quittingWithASheetOpenKeepsTheItem() {
        Phone phone;
        QVERIFY(phone.process->started());
        {
            Program program;
            QVERIFY(meetsClash(program, phone, u"kept.txt"_s));
            QVERIFY(program.window()->close());
            if (QWidget* box = program.sheets().current()) box->close();
        }
        Program program;
        QVERIFY(program.queueHolds(1));
        QCOMPARE(program.queue().getNextFile()->absolutePath(), local->filePath(u"kept.txt"_s));
    }

    // A phone application that takes no uploads never gets one.
    void phoneThatTakesNoUploads() {
        Phone phone({QStringLiteral("--no-upload")});
        QVERIFY(phone.process->started());
        Program program;
        QVERIFY(program.add({localFile(QStringLiteral("f.txt"), "f")}));
        QVERIFY(program.connectTo(phone));
        QTRY_COMPARE_WITH_TIMEOUT(program.topHeading(), QStringLiteral("Download from Vantle"),
                                  kWaitMs);
        program->upload().startUploadIfWeCan();
        QVERIFY(!QTest::qWaitFor([&] { return program.sending(); }, kQuietMs));
        QVERIFY(phone.received(requests::kSendChunk).isEmpty());
        QCOMPARE(program.queue().rowCount(), 1);
    }
};

int main(int argc, char** argv) {
    return vantle::test::runAppSuite<UploadFlowTest>(argc, argv);
}

#include "tst_uploadflow.moc"
