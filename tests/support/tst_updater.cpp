#include "platform/Defaults.h"
#include "support/SUUpdater.h"
#include "support/StringFormat.h"
#include "support/VersionPage.h"
#include "support/VersionPageFetch.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QSettings>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>
#include <optional>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

using namespace vantle;

namespace {

// Generous bound for anything a test waits for; reaching it means the test failed.
constexpr int kWaitMs = 10000;
enum class Unreachable { NoServer, SilentServer, Address };

// A web site address that can never be a real one.
const QUrl kWebSite(u"http://downloads.vantle.invalid/latest"_s);

// A one-page HTTP/1.1 server on 127.0.0.1 that answers every GET with the same canned response,
// or (when silent) never answers, and keeps the request heads it was sent.
class VersionServer : public QObject {
public:
    explicit VersionServer(QByteArray body = {}, QByteArray status = "200 OK")
        : mBody(std::move(body)), mStatus(std::move(status)) {
        QVERIFY(mServer.listen(QHostAddress::LocalHost));
        connect(&mServer, &QTcpServer::newConnection, this, [this] { accept(); });
    }

    void setSilent() { mSilent = true; }
    QUrl url() const {
        return QUrl(u"http://127.0.0.1:%1/version.txt"_s.arg(mServer.serverPort()));
    }
    const QList<QByteArray>& requests() const { return mRequests; }

    // The value of `name` in request `index`'s head; empty when it was not sent.
    QByteArray header(qsizetype index, const QByteArray& name) const {
        const QList<QByteArray> lines = mRequests.value(index).split('\n');
        for (const QByteArray& line : lines) {
            const qsizetype colon = line.indexOf(':');
            if (colon > 0 && line.left(colon).trimmed().toLower() == name.toLower())
                return line.mid(colon + 1).trimmed();
        }
        return {};
    }

private:
    void accept() {
        while (QTcpSocket* socket = mServer.nextPendingConnection()) {
            socket->setParent(this);
            auto head = std::make_shared<QByteArray>();
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket, head] {
                *head += socket->readAll();
                const qsizetype end = head->indexOf("\r\n\r\n");
                if (end < 0) return;
                mRequests << head->left(end);
                head->clear();
                if (mSilent) return;
                socket->write("HTTP/1.1 " + mStatus + "\r\nContent-Type: text/plain\r\n" +
                              "Content-Length: " + QByteArray::number(mBody.size()) +
                              "\r\nConnection: close\r\n\r\n" + mBody);
                socket->disconnectFromHost();
            });
        }
    }

    QTcpServer mServer;
    QByteArray mBody;
    QByteArray mStatus;
    bool mSilent = false;
    QList<QByteArray> mRequests;
};

// Stands in for the window: records each panel and answers it with the button it is told to.
class RecordingHost : public UpdaterHost {
public:
    void showUpdatePanel(const UpdatePanel& panel,
                         std::function<void(const QString& button)> done) override {
        panels << panel;
        done(answer);
    }
    void openWebSite() override { ++webSiteOpened; }

    QString answer = UpdatePanel::okButton();
    QList<UpdatePanel> panels;
    int webSiteOpened = 0;
};

// Runs `start` and waits for the check it begins; empty when none finished in time.
std::optional<SUUpdater::Outcome> finishedCheck(SUUpdater& updater,
                                                const std::function<void()>& start) {
    QSignalSpy finished(&updater, &SUUpdater::checkFinished);
    start();
    if (finished.isEmpty() && !finished.wait(kWaitMs)) return std::nullopt;
    return finished.at(0).at(1).value<SUUpdater::Outcome>();
}

void pointAt(const QUrl& url) {
    qputenv("VANTLE_VERSION_URL", url.toEncoded());
}

QString daysAgo(int days) {
    return describe(QVariant(QDateTime::currentDateTimeUtc().addDays(-days)));
}

} // namespace

Q_DECLARE_METATYPE(Unreachable)

class UpdaterTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        // Preferences of this run only, even with other runs of the suite beside it.
        QVERIFY(mPreferences.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, mPreferences.path());
        // The local server is reached directly, whatever proxy the machine names.
        for (const char* name :
             {"http_proxy", "https_proxy", "all_proxy", "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY"})
            qunsetenv(name);
    }
    void init() { Defaults::remove(SUUpdater::lastUpdateCheckKey()); }
    void cleanupTestCase() { qunsetenv("VANTLE_VERSION_URL"); }

    void parsesTheVersionPage_data() {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<quint32>("expected"); // 0: refused

        QTest::newRow("plain") << "Latest:1201"_ba << 1201u;
        QTest::newRow("line end") << "Latest:1300\r\n"_ba << 1300u;
        QTest::newRow("space and plus") << "Latest: \t+1200"_ba << 1200u;
        QTest::newRow("leading zeros") << "Latest:0012"_ba << 12u;
        QTest::newRow("text after the digits") << "Latest:1201beta"_ba << 1201u;
        QTest::newRow("largest") << "Latest:4294967295"_ba << 4294967295u;
        QTest::newRow("longer than one read")
            << "Latest:1202\n"_ba + QByteArray(4000, 'x') + "Latest:9999"_ba << 1202u;
        QTest::newRow("zero") << "Latest:0"_ba << 0u;
        QTest::newRow("negative") << "Latest:-5"_ba << 0u;
        QTest::newRow("past 32 bits") << "Latest:4294967296"_ba << 0u;
        QTest::newRow("far past 32 bits") << "Latest:99999999999999999999999"_ba << 0u;
        QTest::newRow("no digits") << "Latest:"_ba << 0u;
        QTest::newRow("sign only") << "Latest:+"_ba << 0u;
        QTest::newRow("lower case") << "latest:1201"_ba << 0u;
        QTest::newRow("space in front") << " Latest:1201"_ba << 0u;
        QTest::newRow("error page") << "<html><body>Not Found</body></html>"_ba << 0u;
        QTest::newRow("empty") << QByteArray() << 0u;
        QTest::newRow("nul inside") << QByteArray("Latest:\0"
                                                  "1201",
                                                  12)
                                    << 0u;
    }
    void parsesTheVersionPage() {
        QFETCH(QByteArray, page);
        QFETCH(quint32, expected);
        const Result<quint32> latest = parseVersionPage(page);
        QCOMPARE(latest.ok(), expected != 0);
        if (latest)
            QCOMPARE(*latest, expected);
        else
            QVERIFY(!latest.error().isEmpty());
    }

    void sevenDayRule_data() {
        QTest::addColumn<QVariant>("lastCheck");
        QTest::addColumn<bool>("due");
        const QDateTime now = QDateTime::currentDateTimeUtc();
        QTest::newRow("never") << QVariant() << true;
        QTest::newRow("unreadable") << QVariant(u"last Tuesday"_s) << true;
        QTest::newRow("3 days") << QVariant(daysAgo(3)) << false;
        QTest::newRow("just under 7 days")
            << QVariant(describe(QVariant(now.addSecs(-604800 + 60)))) << false;
        QTest::newRow("just over 7 days")
            << QVariant(describe(QVariant(now.addSecs(-604800 - 60)))) << true;
        QTest::newRow("8 days") << QVariant(daysAgo(8)) << true;
        QTest::newRow("still to come") << QVariant(daysAgo(-2)) << true;
    }
    void sevenDayRule() {
        QFETCH(QVariant, lastCheck);
        QFETCH(bool, due);
        QCOMPARE(SUUpdater::isAutomaticCheckDue(lastCheck, QDateTime::currentDateTimeUtc()), due);
    }

    void userCheckShowsItsPanel_data() {
        QTest::addColumn<QByteArray>("status");
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<SUUpdater::Outcome>("outcome");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("buttons");

        const QString upToDate = u"You are running the latest version of the Vantle for Linux."_s;
        const QString failed = u"Vantle was unable to determine if an update is available.  "
                               u"Please try again later."_s;
        const QStringList ok{u"OK"_s};
        QTest::newRow("Latest:1200") << "200 OK"_ba
                                     << "Latest:1200"_ba << SUUpdater::Outcome::UpToDate
                                     << u"No Update Available"_s << upToDate << ok;
        QTest::newRow("Latest:1201")
            << "200 OK"_ba
            << "Latest:1201\n"_ba << SUUpdater::Outcome::NewerVersion << u"Update Available"_s
            << u"A Vantle for Linux update is available at downloads.vantle.invalid."_s
            << QStringList{u"OK"_s, u"Go There Now"_s};
        QTest::newRow("older on the page") << "200 OK"_ba
                                           << "Latest:1100"_ba << SUUpdater::Outcome::UpToDate
                                           << u"No Update Available"_s << upToDate << ok;
        QTest::newRow("garbage") << "200 OK"_ba
                                 << "<html><body>It works!</body></html>"_ba
                                 << SUUpdater::Outcome::Failed << u"Unable to Check for Updates"_s
                                 << failed << ok;
        QTest::newRow("Latest:0") << "200 OK"_ba
                                  << "Latest:0"_ba << SUUpdater::Outcome::Failed
                                  << u"Unable to Check for Updates"_s << failed << ok;
        QTest::newRow("empty page") << "200 OK"_ba << QByteArray() << SUUpdater::Outcome::Failed
                                    << u"Unable to Check for Updates"_s << failed << ok;
        QTest::newRow("not found with a version in the body")
            << "404 Not Found"_ba
            << "Latest:1300"_ba << SUUpdater::Outcome::Failed << u"Unable to Check for Updates"_s
            << failed << ok;
        QTest::newRow("over-long page")
            << "200 OK"_ba
            << "Latest:1201\n"_ba + QByteArray(kMaxVersionPageSize, 'x')
            << SUUpdater::Outcome::Failed << u"Unable to Check for Updates"_s << failed << ok;
    }
    void userCheckShowsItsPanel() {
        QFETCH(QByteArray, status);
        QFETCH(QByteArray, page);
        QFETCH(SUUpdater::Outcome, outcome);
        QFETCH(QString, title);
        QFETCH(QString, message);
        QFETCH(QStringList, buttons);

        VersionServer server(page, status);
        pointAt(server.url());
        RecordingHost host;
        SUUpdater updater(host, kWebSite);
        QCOMPARE(finishedCheck(updater, [&] { updater.checkForUpdates(); }), outcome);

        QCOMPARE(host.panels.size(), 1);
        QCOMPARE(host.panels[0].title, title);
        QCOMPARE(host.panels[0].message, message);
        QCOMPARE(host.panels[0].buttons, buttons);
        QCOMPARE(host.webSiteOpened, 0);
        // A user's check leaves the automatic check's date alone.
        QVERIFY(!Defaults::contains(SUUpdater::lastUpdateCheckKey()));

        QCOMPARE(server.requests().size(), 1);
        QVERIFY(server.requests()[0].startsWith("GET /version.txt HTTP/1.1\r\n"));
        QCOMPARE(server.header(0, "User-Agent"), "Vantle/1.2"_ba);
        QCOMPARE(server.header(0, "Cache-Control"), "no-cache"_ba);
        QCOMPARE(server.header(0, "Pragma"), "no-cache"_ba);
    }

    void automaticCheckSpeaksOnlyOfANewerVersion_data() {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<SUUpdater::Outcome>("outcome");
        QTest::addColumn<int>("panels");
        QTest::newRow("Latest:1200") << "Latest:1200"_ba << SUUpdater::Outcome::UpToDate << 0;
        QTest::newRow("Latest:1201") << "Latest:1201"_ba << SUUpdater::Outcome::NewerVersion << 1;
        QTest::newRow("garbage") << "Server busy"_ba << SUUpdater::Outcome::Failed << 0;
    }
    void automaticCheckSpeaksOnlyOfANewerVersion() {
        QFETCH(QByteArray, page);
        QFETCH(SUUpdater::Outcome, outcome);
        QFETCH(int, panels);

        VersionServer server(page);
        pointAt(server.url());
        RecordingHost host;
        SUUpdater updater(host, kWebSite);
        SUUpdater::AutoCheck started = SUUpdater::AutoCheck::NotDue;
        QCOMPARE(finishedCheck(updater, [&] { started = updater.autoCheckForUpdates(); }), outcome);
        QCOMPARE(started, SUUpdater::AutoCheck::Started);
        QCOMPARE(host.panels.size(), panels);
        if (panels) QCOMPARE(host.panels[0].kind, UpdatePanel::Kind::UpdateAvailable);
        QCOMPARE(server.header(0, "User-Agent"), "Vantle/1.2"_ba);
    }

    // Every way of not reaching a version page: the error panel for the user, silence otherwise.
    void unreachablePage_data() {
        QTest::addColumn<Unreachable>("situation");
        QTest::addColumn<QByteArray>("address");
        QTest::newRow("no server") << Unreachable::NoServer << QByteArray();
        QTest::newRow("silent server") << Unreachable::SilentServer << QByteArray();
        QTest::newRow("empty address") << Unreachable::Address << QByteArray();
        QTest::newRow("blank address") << Unreachable::Address << "  "_ba;
        QTest::newRow("not HTTP") << Unreachable::Address << "file:///etc/hostname"_ba;
    }
    void unreachablePage() {
        QFETCH(Unreachable, situation);
        QFETCH(QByteArray, address);
        VersionServer server;
        server.setSilent();
        if (situation == Unreachable::NoServer) {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost));
            address = "http://127.0.0.1:" + QByteArray::number(probe.serverPort()) + "/version.txt";
        } else if (situation == Unreachable::SilentServer) {
            address = server.url().toEncoded();
        }
        qputenv("VANTLE_VERSION_URL", address);
        RecordingHost host;
        SUUpdater updater(host, kWebSite);
        updater.setTimeout(300ms);

        QCOMPARE(finishedCheck(updater, [&] { updater.checkForUpdates(); }),
                 SUUpdater::Outcome::Failed);
        QCOMPARE(host.panels.size(), 1);
        QCOMPARE(host.panels[0].kind, UpdatePanel::Kind::CheckFailed);
        QCOMPARE(server.requests().size(), situation == Unreachable::SilentServer ? 1 : 0);
        QTRY_COMPARE_WITH_TIMEOUT(updater.runningChecks(), 0, kWaitMs);

        if (address.trimmed().isEmpty()) {
            QCOMPARE(updater.autoCheckForUpdates(), SUUpdater::AutoCheck::NoAddress);
            QCOMPARE(updater.runningChecks(), 0);
            QVERIFY(!Defaults::contains(SUUpdater::lastUpdateCheckKey()));
        } else {
            QCOMPARE(finishedCheck(updater, [&] { (void)updater.autoCheckForUpdates(); }),
                     SUUpdater::Outcome::Failed);
            QCOMPARE(host.panels.size(), 1);
            QVERIFY(Defaults::contains(SUUpdater::lastUpdateCheckKey()));
        }
    }

    void lastCheckThreeDaysAgo() {
        VersionServer server("Latest:1201"_ba);
        pointAt(server.url());
        const QString stored = daysAgo(3);
        Defaults::setValue(SUUpdater::lastUpdateCheckKey(), stored);
        RecordingHost host;
        SUUpdater updater(host, kWebSite);

        QCOMPARE(updater.autoCheckForUpdates(), SUUpdater::AutoCheck::NotDue);
        QCOMPARE(updater.runningChecks(), 0);
        QCOMPARE(Defaults::value(SUUpdater::lastUpdateCheckKey()).toString(), stored);
        // The user may still ask.
        QCOMPARE(finishedCheck(updater, [&] { updater.checkForUpdates(); }),
                 SUUpdater::Outcome::NewerVersion);
        QCOMPARE(server.requests().size(), 1);
    }

    void lastCheckEightDaysAgo() {
        VersionServer server;
        server.setSilent();
        pointAt(server.url());
        Defaults::setValue(SUUpdater::lastUpdateCheckKey(), daysAgo(8));
        RecordingHost host;
        SUUpdater updater(host, kWebSite);
        updater.setTimeout(300ms);

        const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-1);
        QSignalSpy finished(&updater, &SUUpdater::checkFinished);
        QCOMPARE(updater.autoCheckForUpdates(), SUUpdater::AutoCheck::Started);
        // Stored at once, before the check has an outcome, and kept when it fails.
        QVERIFY(finished.isEmpty());
        const QString stored = Defaults::value(SUUpdater::lastUpdateCheckKey()).toString();
        const QDateTime storedDate = dateFromDescription(stored);
        QVERIFY2(storedDate >= before && storedDate <= QDateTime::currentDateTimeUtc(),
                 qPrintable(stored));
        QVERIFY(finished.wait(kWaitMs));
        QCOMPARE(finished.at(0).at(1).value<SUUpdater::Outcome>(), SUUpdater::Outcome::Failed);
        QCOMPARE(server.requests().size(), 1);
        QVERIFY(host.panels.isEmpty());
        QCOMPARE(Defaults::value(SUUpdater::lastUpdateCheckKey()).toString(), stored);
        // Not again within the week.
        QCOMPARE(updater.autoCheckForUpdates(), SUUpdater::AutoCheck::NotDue);
    }

    void updatePanelAnswers_data() {
        QTest::addColumn<QUrl>("webSite");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("opened");
        QTest::newRow("go there now") << kWebSite << u"Go There Now"_s << 1;
        QTest::newRow("ok") << kWebSite << u"OK"_s << 0;
        QTest::newRow("dismissed") << kWebSite << QString() << 0;
        QTest::newRow("no web site") << QUrl() << u"OK"_s << 0;
    }
    void updatePanelAnswers() {
        QFETCH(QUrl, webSite);
        QFETCH(QString, answer);
        QFETCH(int, opened);
        VersionServer server("Latest:1300"_ba);
        pointAt(server.url());
        RecordingHost host;
        host.answer = answer;
        SUUpdater updater(host, webSite);
        QCOMPARE(finishedCheck(updater, [&] { updater.checkForUpdates(); }),
                 SUUpdater::Outcome::NewerVersion);
        QCOMPARE(host.panels.size(), 1);
        QCOMPARE(host.webSiteOpened, opened);
        if (webSite.isEmpty()) {
            QCOMPARE(host.panels[0].message, u"A Vantle for Linux update is available."_s);
            QCOMPARE(host.panels[0].buttons, QStringList{u"OK"_s});
        }
    }

    void severalChecksAtOnce() {
        constexpr int kChecks = 3;
        VersionServer server("Latest:1200"_ba);
        pointAt(server.url());
        RecordingHost host;
        SUUpdater updater(host, kWebSite);
        QSignalSpy finished(&updater, &SUUpdater::checkFinished);
        for (int n = 0; n < kChecks; ++n)
            updater.checkForUpdates();
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), kChecks, kWaitMs);
        QCOMPARE(host.panels.size(), kChecks);
        QCOMPARE(server.requests().size(), kChecks);
        QTRY_COMPARE_WITH_TIMEOUT(updater.runningChecks(), 0, kWaitMs);
    }

    void goingAwayStopsTheCheck() {
        VersionServer server;
        server.setSilent();
        pointAt(server.url());
        RecordingHost host;
        QElapsedTimer clock;
        {
            SUUpdater updater(host, kWebSite);
            updater.checkForUpdates();
            QTRY_COMPARE_WITH_TIMEOUT(server.requests().size(), 1, kWaitMs);
            QCOMPARE(updater.runningChecks(), 1);
            clock.start();
        }
        // Well before the 30-second time-out: the check was stopped, not waited out.
        QVERIFY2(clock.elapsed() < kWaitMs, qPrintable(QString::number(clock.elapsed())));
        QCoreApplication::processEvents();
        QVERIFY(host.panels.isEmpty());
    }

private:
    QTemporaryDir mPreferences;
};

QTEST_GUILESS_MAIN(UpdaterTest)
#include "tst_updater.moc"
