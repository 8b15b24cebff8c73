// The window's controller against the simulated phone: start-up, status, approval and refusal,
// manual connect, menus and their stored settings, the queue's intake.
#include "app/AppController.h"
#include "app/QueueDataSource.h"
#include "net/GameClient.h"
#include "platform/Defaults.h"
#include "platform/Settings.h"
#include "support/harness/AppProcess.h"
#include "support/harness/Files.h"
#include "support/harness/Program.h"
#include "support/harness/StallMeter.h"
#include "transfer/ProtocolKeys.h"
#include "ui/DirectConnectPanel.h"
#include "ui/IDDragTableView.h"
#include "ui/MRCoolTextView.h"
#include "ui/MRSplitView.h"
#include "ui/MRWindow.h"
#include "ui/ReportDialog.h"
#include "ui/SheetPresenter.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <condition_variable>
#include <memory>
#include <mutex>

using namespace vantle;
using vantle::bench::StallMeter;
using vantle::test::Phone;
using vantle::test::PhoneProcess;
using vantle::test::Program;

namespace {

constexpr int kWaitMs = vantle::test::kProgramWaitMs;
// A phone this late with every answer keeps a window that waits for one frozen for seconds.
constexpr int kLateAnswerMs = 3000;
// How long the window is watched for something that must not come.
constexpr int kNothingComesMs = 500;

// A resolver that answers nothing until it is released, at the latest when it goes (declared
// after the program, it goes first).
class SilentResolver {
public:
    HostLookup lookUp() const {
        return [state = mState](const QString&, std::uint16_t) -> std::optional<SocketAddress> {
            std::unique_lock lock(state->lock);
            state->released.wait(lock, [&] { return state->release; });
            ++state->answered;
            return std::nullopt;
        };
    }
    void release() {
        std::lock_guard lock(mState->lock);
        mState->release = true;
        mState->released.notify_all();
    }
    int answered() const {
        std::lock_guard lock(mState->lock);
        return mState->answered;
    }
    SilentResolver() = default;
    SilentResolver(const SilentResolver&) = delete;
    SilentResolver& operator=(const SilentResolver&) = delete;
    ~SilentResolver() { release(); }

private:
    struct State {
        std::mutex lock;
        std::condition_variable released;
        bool release = false;
        int answered = 0;
    };
    std::shared_ptr<State> mState = std::make_shared<State>();
};

QString queuedFile(const QTemporaryDir& folder) {
    const QString path = folder.filePath(QStringLiteral("queued.txt"));
    return vantle::test::writeFile(path, "queued") ? path : QString();
}

std::uint16_t unusedPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

void setPref(QLatin1StringView key, const QVariant& value) {
    Defaults::setValue(QString(key), value);
    Defaults::sync();
}

} // namespace

class AppControllerTest : public QObject {
    Q_OBJECT
    ScriptedDnsSdControl dnssd;

private slots:
    void init() {
        // Automatic connection would look for phones; the suites that want it turn it on.
        vantle::test::startFromCleanSettings();
        if (dnssd.reset) dnssd.reset();
    }

    // First: the library, once loaded, stays loaded for the process.
    void missingDnsSdLibraryEndsTheProgram() {
        qputenv("VANTLE_DNSSD_LIBRARY", scriptedDnsSdPath("scripted_dnssd_incomplete").toUtf8());
        Program program;
        useScriptedDnsSd();
        QVERIFY(!program.started);
        QCOMPARE(program.sheets().currentTitle(), QStringLiteral("Unable To Load Bonjour"));
        QVERIFY(
            program.sheets().currentText().contains(QStringLiteral("libavahi-compat-libdnssd1")));
        QCOMPARE(program.sheets().currentButtons(), QStringList{QStringLiteral("Quit")});
    }
    void firstStartWithEmptySettings() {
        QSettings().clear();
        Program program;
        QVERIFY(program.started);
        QVERIFY(program.action(QStringLiteral("autoConnectMenu:"))->isChecked());
        QVERIFY(!program.action(QStringLiteral("loggingMenu:"))->isChecked());
        // The search is under way (the scripted library browses without a network), yet the
        // first status is the welcome.
        QVERIFY(program.clientServer().client()->isDiscoveringServers());
        QCOMPARE(program.statusText(), QStringLiteral("Welcome to Vantle."));
        QCOMPARE(program.topHeading(), QStringLiteral("Files awaiting transfer"));
        QCOMPARE(program.phoneHeading(),
                 QStringLiteral("Open Vantle on iPhone to start the transfer"));
        QVERIFY(program.splitView()->collapsed());
        QTRY_COMPARE_WITH_TIMEOUT(program.helpfulMessage()->title(),
                                  QStringLiteral("Drag files here for\nfuture transfer\nto your "
                                                 "iPhone"),
                                  kWaitMs);
        // No manual-mode warning with automatic connection on.
        QTest::qWait(300);
        QVERIFY(program.sheets().currentTitle().isEmpty());
    }

    void welcomeThenNotConnected() {
        {
            Program program;
            QCOMPARE(program.statusText(), QStringLiteral("Welcome to Vantle."));
        }
        setPref(settings::kLastTransfer.key, QDateTime::currentDateTime());
        Program program;
        QCOMPARE(program.statusText(), QStringLiteral("Not connected."));
    }

    void searchThatCannotStartIsExplained() {
        setPref(settings::kAutoConnect.key, true);
        dnssd.failBrowse(-65537);
        Program program;
        QVERIFY(program.showsSheet(QStringLiteral("Unable To Search For iPhones")));
        QVERIFY(program.sheets().currentText().contains(QStringLiteral("avahi-daemon")));
        QVERIFY(program.sheets().answer(SheetPresenter::Role::Accept));
    }

    void approvalLeadsToTheConnectedState() {
        PhoneProcess phone({QStringLiteral("--approve-after-ms"), QStringLiteral("400")});
        QVERIFY(phone.started());
        Program program;
        QSignalSpy statuses(program.controller.get(), &AppController::statusChanged);
        program->connectToTypedAddress(vantle::test::loopbackAddress(phone));
        QVERIFY(program.statusBecomes(QStringLiteral("Connected to Simulated iPhone.")));
        QVERIFY(statuses.size() >= 3);
        QCOMPARE(statuses.at(0).at(0).toString(), QStringLiteral("Connecting..."));
        QCOMPARE(statuses.at(1).at(0).toString(), QStringLiteral("Waiting for approval..."));
        QCOMPARE(program.phoneHeading(), QStringLiteral("Files on connected iPhone"));
        QVERIFY(!program.splitView()->collapsed());
        QVERIFY(program.plusButtonEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(program.helpfulMessage()->title(),
                                  QStringLiteral("Drag files here\nto transfer to\nyour iPhone"),
                                  kWaitMs);
        QVERIFY(Defaults::contains(QString(settings::kLastTransfer.key)));
        QVERIFY(!program.action(QStringLiteral("directConnect:"))->isEnabled() ||
                !!program->status().connectedOrConnecting());
        QVERIFY(!!program->status().connectedOrConnecting());
    }

    void waitingForApprovalKeepsThePhonePaneShut() {
        PhoneProcess phone({QStringLiteral("--no-approval")});
        QVERIFY(phone.started());
        Program program;
        program->connectToTypedAddress(vantle::test::loopbackAddress(phone));
        QVERIFY(program.statusBecomes(QStringLiteral("Waiting for approval...")));
        QVERIFY(program.splitView()->collapsed());
        QTRY_COMPARE_WITH_TIMEOUT(program.helpfulMessage()->title(),
                                  QStringLiteral("Waiting for approval\nfrom iPhone..."), kWaitMs);
    }

    // A phone that answers late: the window runs on, and nothing is sent, nor may files be added,
    // before the phone has said it takes uploads.
    void theWindowRunsOnWhileTheVersionAnswerIsLate() {
        Phone phone({QStringLiteral("--delay-ms"), QString::number(kLateAnswerMs)});
        QVERIFY(phone.running());
        QTemporaryDir files;
        Program program;
        QVERIFY(program.add({queuedFile(files)}));
        StallMeter meter;
        program->connectToTypedAddress(phone.address());
        QVERIFY(program.statusBecomes(vantle::test::kConnectedStatus));
        QCOMPARE(program.topHeading(), QStringLiteral("Files awaiting transfer"));
        QVERIFY(!program.plusButtonEnabled());
        QVERIFY(!program.action(QStringLiteral("addFileToQueue:"))->isEnabled());
        QVERIFY(!program.sending());
        // The answer enables them before the upload starts.
        QVERIFY(QTest::qWaitFor([&] { return program.plusButtonEnabled() || program.sending(); },
                                kWaitMs));
        QVERIFY(program.plusButtonEnabled());
        QVERIFY(program.action(QStringLiteral("addFileToQueue:"))->isEnabled());
        QVERIFY(QTest::qWaitFor([&] { return program.sending(); }, kWaitMs));
        // The bound lives in bench/responsiveness; here the figure is only reported.
        qInfo("longest stall: %.0f ms", meter.longestMs());
    }

    // Quitting while the version check waits for its answer is not held up by it.
    void quittingWhileTheVersionCheckWaitsIsQuick() {
        Phone phone({QStringLiteral("--delay-ms"), QString::number(kLateAnswerMs)});
        QVERIFY(phone.running());
        Program program;
        program->connectToTypedAddress(phone.address());
        QVERIFY(program.statusBecomes(vantle::test::kConnectedStatus));
        QVERIFY(!program.plusButtonEnabled());
        QElapsedTimer quitting;
        quitting.start();
        program.controller.reset();
        // It did not wait for the answer, which comes only after kLateAnswerMs.
        QVERIFY2(quitting.elapsed() < kLateAnswerMs,
                 qPrintable(QString::number(quitting.elapsed())));
    }

    // Late with its answer, the phone that takes no uploads never receives one.
    void aPhoneThatTakesNoUploads() {
        Phone phone({QStringLiteral("--no-upload"), QStringLiteral("--app-name"),
                     QStringLiteral("Phone %@ App"), QStringLiteral("--delay-ms"),
                     QString::number(kLateAnswerMs / 2)});
        QVERIFY(phone.running());
        QTemporaryDir files;
        Program program;
        QVERIFY(program.add({queuedFile(files)}));
        program->connectToTypedAddress(phone.address());
        QVERIFY(program.statusBecomes(vantle::test::kConnectedStatus));
        QTRY_COMPARE_WITH_TIMEOUT(program.topHeading(),
                                  QStringLiteral("Download from Phone %@ App"), kWaitMs);
        QVERIFY(!program.plusButtonEnabled());
        QVERIFY(!program.action(QStringLiteral("addFileToQueue:"))->isEnabled());
        // The listing goes when an upload would have started.
        QTRY_VERIFY_WITH_TIMEOUT(!phone.received(requests::kDirectoryList).isEmpty(), kWaitMs);
        QVERIFY(!program.sending());
        QVERIFY(phone.received(requests::kFileExists).isEmpty());
        QVERIFY(phone.received(requests::kSendChunk).isEmpty());
        QVERIFY(!QFile::exists(phone.path(QStringLiteral("queued.txt"))));
    }

    void refusalTryAgainDialsTheTypedAddressAgain() {
        PhoneProcess phone({QStringLiteral("--deny-first"), QStringLiteral("--close-on-deny"),
                            QStringLiteral("--name"), QStringLiteral("Ann's <b>%@</b> phone")});
        QVERIFY(phone.started());
        Program program;
        program->connectToTypedAddress(vantle::test::loopbackAddress(phone));
        QVERIFY(program.showsSheet(QStringLiteral("Connection Refused")));
        QCOMPARE(program.sheets().currentText(),
                 QStringLiteral("\"Ann's <b>%@</b> phone\" refused the connnection. How would you "
                                "like to proceed?"));
        QCOMPARE(program.sheets().currentButtons(),
                 (QStringList{QStringLiteral("Try Again"), QStringLiteral("Ignore This iPhone")}));
        // While the sheet is open nothing may be dropped on the queue.
        QVERIFY(program.sheets().sheetOpen());
        QVERIFY(program.sheets().answer(SheetPresenter::Role::TryAgain));
        QVERIFY(program.statusBecomes(QStringLiteral("Connected to Ann's <b>%@</b> phone.")));
        QVERIFY(program->status().phonesToIgnore().isEmpty());
    }

    void refusalIgnoreRemembersTheAddress() {
        PhoneProcess phone({QStringLiteral("--deny"), QStringLiteral("--close-on-deny")});
        QVERIFY(phone.started());
        Program program;
        program->connectToTypedAddress(vantle::test::loopbackAddress(phone));
        QVERIFY(program.showsSheet(QStringLiteral("Connection Refused")));
        QVERIFY(program.sheets().answer(SheetPresenter::Role::Ignore));
        QCOMPARE(program->status().phonesToIgnore().size(), 1);
        QVERIFY(program->isIgnored(program->status().phonesToIgnore().front()));
        QVERIFY(program.statusBecomes(QStringLiteral("Not connected.")));
    }

    void manualConnectSheet() {
        PhoneProcess phone;
        QVERIFY(phone.started());
        setPref(settings::kLastManualIP.key, vantle::test::loopbackAddress(phone));
        Program program;
        program->status().directConnect();
        QVERIFY(program.showsSheet(QStringLiteral("Manual Connect")));
        auto* panel = qobject_cast<DirectConnectPanel*>(program.sheets().current());
        QVERIFY(panel);
        QCOMPARE(panel->address(), vantle::test::loopbackAddress(phone));
        QCOMPARE(panel->addressField()->selectedText(), vantle::test::loopbackAddress(phone));
        QVERIFY(panel->connectButton()->isDefault());
        panel->accept();
        QVERIFY(program.statusBecomes(QStringLiteral("Connecting...")));
        QVERIFY(program.statusBecomes(QStringLiteral("Connected to Simulated iPhone.")));
        QVERIFY(!!program->status().connectedOrConnecting());
    }

    void manualConnectFailures_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("detail");
        QTest::newRow("not an address")
            << QStringLiteral("phone:port:x")
            << QStringLiteral("Ensure that you have entered a valid network address.");
        QTest::newRow("bad port") << QStringLiteral("127.0.0.1:99999")
                                  << QStringLiteral("Ensure that you have entered a valid "
                                                    "network address.");
        QTest::newRow("nobody listening")
            << QStringLiteral("127.0.0.1:%1").arg(unusedPort())
            << QStringLiteral("Ensure that your iPhone is turned on and the Vantle iPhone "
                              "application is open.");
    }

    void manualConnectFailures() {
        QFETCH(QString, address);
        QFETCH(QString, detail);
        Program program;
        program->connectToTypedAddress(address);
        QVERIFY(program.showsSheet(QStringLiteral("Unable To Connect")));
        QCOMPARE(program.sheets().currentText(),
                 QStringLiteral("Unable to connect to the specified address.  ") + detail);
        QVERIFY(program.statusText() != QStringLiteral("Connecting..."));
        QCOMPARE(Defaults::value(QString(settings::kLastManualIP.key)).toString(), address);
        QVERIFY(program.sheets().answer(SheetPresenter::Role::Accept));
    }

    // A typed name whose look-up never ends leaves the window running; the next Manual Connect
    // replaces it, and its late result is dropped.
    void aNameThatNeverResolvesLeavesTheWindowRunning() {
        Phone phone;
        QVERIFY(phone.running());
        Program program;
        SilentResolver resolver;
        program->status().setHostLookup(resolver.lookUp());
        StallMeter meter;
        program->connectToTypedAddress(QStringLiteral("phone.example:1234"));
        QCOMPARE(program.statusText(), QStringLiteral("Connecting..."));
        QVERIFY(program.connectTo(phone));
        resolver.release();
        QVERIFY(QTest::qWaitFor([&] { return resolver.answered() == 1; }, kWaitMs));
        QVERIFY(!QTest::qWaitFor(
            [&] {
                return !program.sheets().currentTitle().isEmpty() ||
                       program.statusText() != vantle::test::kConnectedStatus;
            },
            kNothingComesMs));
        // The bound lives in bench/responsiveness; here the figure is only reported.
        qInfo("longest stall: %.0f ms", meter.longestMs());
    }

    // What the look-up of a typed name finds comes back to the window.
    void aTypedNameIsLookedUp_data() {
        QTest::addColumn<bool>("found");
        QTest::newRow("found") << true;
        QTest::newRow("not found") << false;
    }
    void aTypedNameIsLookedUp() {
        QFETCH(bool, found);
        Phone phone;
        QVERIFY(phone.running());
        Program program;
        const SocketAddress address = phone.process->address();
        program->status().setHostLookup(
            [found, address](const QString& host, std::uint16_t) -> std::optional<SocketAddress> {
                if (!found || host != QStringLiteral("phone.example")) return std::nullopt;
                return address;
            });
        program->connectToTypedAddress(
            QStringLiteral("phone.example:%1").arg(phone.process->port()));
        if (found) {
            QVERIFY(program.statusBecomes(vantle::test::kConnectedStatus));
            return;
        }
        QVERIFY(program.showsSheet(QStringLiteral("Unable To Connect")));
        QCOMPARE(program.sheets().currentText(),
                 QStringLiteral("Unable to connect to the specified address.  Ensure that you "
                                "have entered a valid network address."));
        QVERIFY(program.sheets().answer(SheetPresenter::Role::Accept));
    }

    void emptyAddressIsStoredAndNothingElse() {
        setPref(settings::kLastManualIP.key, QStringLiteral("10.0.0.9"));
        Program program;
        const QString before = program.statusText();
        program->connectToTypedAddress(QString());
        QCOMPARE(Defaults::value(QString(settings::kLastManualIP.key)).toString(), QString());
        QCOMPARE(program.statusText(), before);
        QVERIFY(!program->status().connectedOrConnecting());
    }

    void menusStoreTheirSettingsAtOnce() {
        Program program;
        QAction* logging = program.action(QStringLiteral("loggingMenu:"));
        logging->trigger();
        QVERIFY(logging->isChecked());
        QVERIFY(Defaults::boolForKey(QString(settings::kLogToFile.key), false));
        logging->trigger();
        QVERIFY(!Defaults::boolForKey(QString(settings::kLogToFile.key), true));

        QAction* automatic = program.action(QStringLiteral("autoConnectMenu:"));
        QVERIFY(!automatic->isChecked());
        automatic->trigger();
        QVERIFY(Defaults::boolForKey(QString(settings::kAutoConnect.key), false));
        QVERIFY(program.statusBecomes(QStringLiteral("Searching for iPhones...")));
        automatic->trigger();
        QVERIFY(!Defaults::boolForKey(QString(settings::kAutoConnect.key), true));
        QVERIFY(program.showsSheet(QStringLiteral("Manual Connect Mode")));
        QVERIFY(program.sheets().currentText().startsWith(
            QStringLiteral("Vantle is no longer searching for iPhones.  To make a connection")));
        QVERIFY(program.sheets().answer(SheetPresenter::Role::Accept));
        QVERIFY(!program->status().connectedOrConnecting());
    }

    void storedBooleansFollowTheReadingRule() {
        setPref(settings::kLogToFile.key, QStringLiteral("1"));
        {
            Program program;
            QVERIFY(program.action(QStringLiteral("loggingMenu:"))->isChecked());
        }
        setPref(settings::kLogToFile.key, QStringLiteral("yes"));
        Program program;
        QVERIFY(!program.action(QStringLiteral("loggingMenu:"))->isChecked());
    }

    void manualModeWarningOnce() {
        QSettings().remove(QString(settings::kDontWarnAboutManual.key));
        {
            Program program;
            QVERIFY(program.showsSheet(QStringLiteral("Manual Connect Mode")));
            QVERIFY(program.sheets().currentText().contains(
                QStringLiteral("choose \"Automatically Connect\" from the File menu")));
            QVERIFY(program.sheets().answer(SheetPresenter::Role::Accept));
        }
        QVERIFY(!Defaults::contains(QString(settings::kDontWarnAboutManual.key)));
        {
            Program program;
            QVERIFY(program.showsSheet(QStringLiteral("Manual Connect Mode")));
            QVERIFY(program.sheets().answer(SheetPresenter::Role::DontRemind));
        }
        QVERIFY(Defaults::contains(QString(settings::kDontWarnAboutManual.key)));
        Program program;
        QTest::qWait(300);
        QVERIFY(program.sheets().currentTitle().isEmpty());
    }

    void droppedFilesJoinTheQueueAndSurviveARestart() {
        QTemporaryDir files;
        QStringList paths;
        for (const char* name : {"b.txt", "a.txt", "c.txt"}) {
            QFile file(files.filePath(QLatin1String(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("x");
            paths << file.fileName();
        }
        {
            Program program;
            emit program.queueTable()->filesDropped(paths);
            QTRY_COMPARE_WITH_TIMEOUT(program.queueDataSource()->rowCount(), 3, kWaitMs);
            // Dropped together, within one second: path order.
            QCOMPARE(program.queueDataSource()->getNextFile()->absolutePath(),
                     files.filePath(QStringLiteral("a.txt")));
            QTRY_VERIFY_WITH_TIMEOUT(program.helpfulMessage()->isHidden(), kWaitMs);
        }

        // The queue is read off the main thread; its rows follow.
        Program program;
        QTRY_COMPARE_WITH_TIMEOUT(program.queueDataSource()->rowCount(), 3, kWaitMs);
        program.queueTable()->selectRow(0);
        emit program.queueTable()->deleteRequested();
        QTRY_COMPARE_WITH_TIMEOUT(program.queueDataSource()->rowCount(), 2, kWaitMs);
    }

    void dropsAreRefusedWhileASheetIsOpen() {
        Program program;
        program->status().directConnect();
        QVERIFY(program.showsSheet(QStringLiteral("Manual Connect")));
        QTemporaryDir files;
        QMimeData drag;
        drag.setUrls({QUrl::fromLocalFile(files.path())});
        QVERIFY(!program.queueTable()->acceptsDrop(&drag, nullptr));
        QVERIFY(!program.helpfulMessage()->acceptsDrop(&drag, nullptr));
        QVERIFY(!program.phoneTable()->acceptsDrop(&drag, nullptr));
        program.sheets().current()->close();
        QTRY_VERIFY_WITH_TIMEOUT(program.queueTable()->acceptsDrop(&drag, nullptr), kWaitMs);
        QVERIFY(program.helpfulMessage()->acceptsDrop(&drag, nullptr));
        // Never on the phone's files, and never from one file table onto the other.
        QVERIFY(!program.phoneTable()->acceptsDrop(&drag, nullptr));
        QVERIFY(!program.queueTable()->acceptsDrop(&drag, program.phoneTable()));
    }

    void updateCheckFromTheMenu() {
        // A version page of the suite's own.
        QTcpServer page;
        QVERIFY(page.listen(QHostAddress::LocalHost, 0));
        connect(&page, &QTcpServer::newConnection, &page, [&page] {
            QTcpSocket* client = page.nextPendingConnection();
            connect(client, &QTcpSocket::readyRead, client, [client] {
                client->readAll();
                client->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: "
                              "11\r\nConnection: close\r\n\r\nLatest:1201");
                client->disconnectFromHost();
            });
        });
        qputenv("VANTLE_VERSION_URL",
                QStringLiteral("http://127.0.0.1:%1/version").arg(page.serverPort()).toUtf8());
        Program program;
        program.action(QStringLiteral("checkForUpdates:"))->trigger();
        QVERIFY(program.showsSheet(QStringLiteral("Update Available")));
        QVERIFY(program.sheets().currentText().contains(QStringLiteral("Vantle for Linux")));
        QCOMPARE(program.sheets().currentButtons(), QStringList{QStringLiteral("OK")});
        QVERIFY(program.sheets().answer(SheetPresenter::Role::Accept));
        // Without an address the user's check says it could not be made.
        qputenv("VANTLE_VERSION_URL", "");
        program.action(QStringLiteral("checkForUpdates:"))->trigger();
        QVERIFY(program.showsSheet(QStringLiteral("Unable to Check for Updates")));
        QVERIFY(program.sheets().answer(SheetPresenter::Role::Accept));
    }

    void connectionDiagnosticsShowTheReport() {
        PhoneProcess phone;
        QVERIFY(phone.started());
        // Not connected: the address typed last is the one the doctor dials.
        setPref(settings::kLastManualIP.key, vantle::test::loopbackAddress(phone));
        Program program;
        program.action(QStringLiteral("showConnectionDiagnostics:"))->trigger();
        ReportDialog* dialog = program.diagnosticsDialog();
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!dialog->status().contains(QStringLiteral("looking for")),
                                 kWaitMs);
        QVERIFY2(dialog->report().contains(QStringLiteral("Simulated iPhone")),
                 qPrintable(dialog->report()));
        dialog->copyButton()->click();
        QCOMPARE(QApplication::clipboard()->text(), dialog->report());
        dialog->close();
    }
};

int main(int argc, char** argv) {
    return vantle::test::runAppSuite<AppControllerTest>(argc, argv);
}

#include "tst_appcontroller.moc"
