#include "app/AppCommandLine.h"
#include "app/SingleInstance.h"
#include "support/ParoxLog.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtEndian>
#include <atomic>
#include <optional>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace vantle;

namespace {

// The child mode of this binary: claim the profile named here with one file, report the role.
constexpr const char* kClaimFolder = "VANTLE_TEST_CLAIM_FOLDER";
constexpr const char* kClaimFile = "VANTLE_TEST_CLAIM_FILE";
constexpr int kWaitMs = 30000;
constexpr int kChildWaitsForHandOverMs = 10000;
constexpr int kRaceRounds = 3;
constexpr qsizetype kLengthBytes = 4;
// A receiver's reply comes this much later than the hand-over.
constexpr int kReplyLaterMs = 200;

enum class Reply { Taken, Refused, Dropped };

using Role = SingleInstance::Role;

// Runs `work` on a thread of its own while this thread's event loop turns, so a primary living
// here can answer it.
template <class Work> auto whileTurning(Work work) {
    std::optional<decltype(work())> result;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        result.emplace(work());
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done.load(); }, kWaitMs))
        qWarning("still busy after %d ms", kWaitMs); // its own time-outs end it
    worker.join();
    return std::move(*result);
}

Result<Role> claimElsewhere(const QString& folder, const HandoverMessage& message) {
    return whileTurning([&] { return SingleInstance(folder).claim(message); });
}

QByteArray framed(const QByteArray& document) {
    QByteArray header(kLengthBytes, '\0');
    qToBigEndian(static_cast<quint32>(document.size()), header.data());
    return header + document;
}

// What a raw sender gets back for `bytes`.
QByteArray sendRaw(const QString& name, const QByteArray& bytes) {
    return whileTurning([&] {
        QLocalSocket socket;
        socket.connectToServer(name);
        if (!socket.waitForConnected(kWaitMs)) return QByteArray("no connection");
        socket.write(bytes);
        while (socket.bytesToWrite() > 0 && socket.waitForBytesWritten(kWaitMs)) {
        }
        socket.waitForReadyRead(kWaitMs);
        return socket.readAll();
    });
}

QString logText() {
    const auto logger = ParoxLogger::defaultLogger();
    logger->flush();
    QFile file(logger->logFilePath());
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

int runClaimingChild() {
    SingleInstance instance(qEnvironmentVariable(kClaimFolder));
    QTextStream out(stdout);
    std::optional<HandoverMessage> received;
    QObject::connect(&instance, &SingleInstance::messageReceived,
                     [&](const HandoverMessage& message) { received = message; });
    const auto role = instance.claim({{qEnvironmentVariable(kClaimFile)}, std::nullopt});
    if (!role) {
        out << "error " << role.error() << Qt::endl;
        return 2;
    }
    if (*role == Role::HandedOver) {
        out << "HandedOver" << Qt::endl;
        return 0;
    }
    out << "Primary" << Qt::endl;
    if (QTest::qWaitFor([&] { return received.has_value(); }, kChildWaitsForHandOverMs))
        out << "received " << received->files.join(u',') << Qt::endl;
    return 0;
}

} // namespace

class SingleInstanceTest : public QObject {
    Q_OBJECT
    QTemporaryDir mLogFolder;

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setApplicationVersion(u"1.2"_s);
        auto logger = ParoxLogger::createDefaultLogger(false, false);
        logger->setLogFileLocation(mLogFolder.path());
        logger->setLogToFile(true);
    }

    void parse_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("action");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("connect");
        QTest::addColumn<bool>("background");
        const auto run = static_cast<int>(AppCommandLine::Action::Run);
        QTest::newRow("nothing") << QStringList{} << run << QStringList{} << QString() << false;
        QTest::newRow("relative, absolute, dotted and URL paths")
            << QStringList{u"a.txt"_s, u"../up/b.rtf"_s, u"/abs//c/./d"_s, u"file:///x/y%20z"_s,
                           u""_s}
            << run
            << QStringList{u"/work/dir/a.txt"_s, u"/work/up/b.rtf"_s, u"/abs/c/d"_s, u"/x/y z"_s}
            << QString() << false;
        QTest::newRow("connect with port")
            << QStringList{u"--connect"_s, u"10.0.0.7:4000"_s, u"f"_s} << run
            << QStringList{u"/work/dir/f"_s} << u"10.0.0.7:4000"_s << false;
        QTest::newRow("connect= form, host only") << QStringList{u"--connect=phone.local"_s} << run
                                                  << QStringList{} << u"phone.local"_s << false;
        QTest::newRow("a file named like an option after --")
            << QStringList{u"--"_s, u"--connect"_s} << run << QStringList{u"/work/dir/--connect"_s}
            << QString() << false;
        QTest::newRow("help") << QStringList{u"--help"_s, u"f"_s}
                              << static_cast<int>(AppCommandLine::Action::ShowHelp) << QStringList{}
                              << QString() << false;
        QTest::newRow("version") << QStringList{u"--version"_s}
                                 << static_cast<int>(AppCommandLine::Action::ShowVersion)
                                 << QStringList{} << QString() << false;
        QTest::newRow("hidden, with a file") << QStringList{u"--hidden"_s, u"f"_s} << run
                                             << QStringList{u"/work/dir/f"_s} << QString() << true;
    }

    void parse() {
        QFETCH(QStringList, arguments);
        QFETCH(int, action);
        QFETCH(QStringList, files);
        QFETCH(QString, connect);
        QFETCH(bool, background);
        const auto line =
            AppCommandLine::parse(QStringList{u"/usr/bin/vantle"_s} + arguments, u"/work/dir"_s);
        QVERIFY2(line.ok(), qPrintable(line.error()));
        QCOMPARE(static_cast<int>(line->action), action);
        QCOMPARE(line->files, files);
        QCOMPARE(line->connect.value_or(QString()), connect);
        QCOMPARE(line->connect.has_value(), !connect.isEmpty());
        QCOMPARE(line->handover().files, files);
        const WindowRequest window = background ? WindowRequest::Background : WindowRequest::Show;
        QVERIFY(line->window == window);
        QVERIFY(line->handover().window == window);
        QVERIFY(line->helpText.startsWith(u"Usage: vantle [options] [FILE...]\n"_s));
        QVERIFY(line->helpText.contains(u"--connect <HOST[:PORT]>"_s));
        QVERIFY(line->helpText.contains(u"--hidden"_s));
        QCOMPARE(line->versionText, u"vantle 1.2"_s);
    }

    void parseErrors_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("mentions");
        QTest::newRow("unknown option") << QStringList{u"--frobnicate"_s} << u"frobnicate"_s;
        QTest::newRow("connect without value") << QStringList{u"--connect"_s} << u"connect"_s;
        QTest::newRow("connect with a bad port")
            << QStringList{u"--connect"_s, u"10.0.0.7:70000"_s} << u"10.0.0.7:70000"_s;
        QTest::newRow("connect without host") << QStringList{u"--connect=:80"_s} << u":80"_s;
    }

    void parseErrors() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, mentions);
        const auto line = AppCommandLine::parse(QStringList{u"vantle"_s} + arguments, u"/w"_s);
        QVERIFY(!line.ok());
        QVERIFY2(line.error().contains(mentions), qPrintable(line.error()));
        QVERIFY(line.error().endsWith(u"Try 'vantle --help' for more information."_s));
    }

    // The desktop's token for the raise rides along when it is usable; a message of an older
    // start has none, and an unusable token never costs the files.
    void activationTokenTravelsWhenUsable_data() {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<QString>("token");
        QTest::newRow("older start: no token") << QByteArray(R"({"files": ["/a"]})") << QString();
        QTest::newRow("Wayland token")
            << QByteArray(R"({"files": ["/a"], "activationToken": "abc-123_x"})") << u"abc-123_x"_s;
        QTest::newRow("X11 startup id")
            << QByteArray(R"({"files": [], "activationToken": "host;1234-0 vantle_TIME42"})")
            << u"host;1234-0 vantle_TIME42"_s;
        QTest::newRow("empty") << QByteArray(R"({"files": ["/a"], "activationToken": ""})")
                               << QString();
        QTest::newRow("not a text")
            << QByteArray(R"({"files": ["/a"], "activationToken": 7})") << QString();
        QTest::newRow("a line break") << QByteArray(R"({"files": ["/a"], "activationToken": "a
b"})") << QString();
        QTest::newRow("too long") << QByteArray(R"({"files": ["/a"], "activationToken": ")" +
                                                QByteArray(kMaxActivationTokenLength + 1, 'x') +
                                                R"("})")
                                  << QString();
    }
    void activationTokenTravelsWhenUsable() {
        QFETCH(QByteArray, document);
        QFETCH(QString, token);
        const auto decoded = decodeHandoverMessage(document);
        QVERIFY2(decoded.ok(), qPrintable(decoded.error()));
        QCOMPARE(decoded->activationToken.value_or(QString()), token);
        QCOMPARE(decoded->activationToken.has_value(), !token.isEmpty());
        QCOMPARE(*decodeHandoverMessage(encodeHandoverMessage(*decoded)), *decoded);
    }

    void serverNameFollowsTheProfile() {
        QTemporaryDir one;
        QTemporaryDir two;
        const QString name = SingleInstance::serverName(one.path());
        QCOMPARE(SingleInstance::serverName(one.path() + u"/sub/.."_s), name);
        QVERIFY(QFile::link(one.path(), two.filePath(u"alias"_s)));
        QCOMPARE(SingleInstance::serverName(two.filePath(u"alias"_s)), name);
        QCOMPARE_NE(SingleInstance::serverName(two.path()), name);
        // In the user's private runtime folder, within the length a socket path may have.
        QVERIFY(name.startsWith(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)));
        QVERIFY(QFile::encodeName(name).size() < qsizetype(sizeof(sockaddr_un::sun_path)));
    }

    void secondStartHandsOverToTheFirst() {
        QTemporaryDir profile;
        SingleInstance first(profile.path());
        QSignalSpy received(&first, &SingleInstance::messageReceived);
        const auto firstRole = first.claim({{u"/ignored"_s}, std::nullopt});
        QVERIFY2(firstRole.ok(), qPrintable(firstRole.error()));
        QCOMPARE(*firstRole, Role::Primary);
        QCOMPARE(QFileInfo(first.serverName()).permissions() &
                     (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther),
                 QFile::Permissions());

        const HandoverMessage sent{{u"/home/u/a b.txt"_s, u"/srv/folder"_s},
                                   u"10.0.0.7:4000"_s,
                                   WindowRequest::Background,
                                   u"abc"_s};
        const auto secondRole = claimElsewhere(profile.path(), sent);
        QVERIFY2(secondRole.ok(), qPrintable(secondRole.error()));
        QCOMPARE(*secondRole, Role::HandedOver);
        // The acknowledgement came after the message was taken: it is already here.
        QCOMPARE(received.size(), 1);
        QCOMPARE(received.at(0).at(0).value<HandoverMessage>(), sent);

        // A profile elsewhere has a program of its own.
        QTemporaryDir otherProfile;
        SingleInstance other(otherProfile.path());
        const auto otherRole = other.claim({});
        QVERIFY(otherRole.ok());
        QCOMPARE(*otherRole, Role::Primary);
        QCOMPARE(received.size(), 1);
    }

    // With a receiver the later start waits for its reply, given a while later: taken is a
    // hand-over; refused, or a reply dropped unanswered, is an error at once.
    void receiverRepliesWhenTheFilesAreSafe_data() {
        QTest::addColumn<int>("reply");
        QTest::addColumn<bool>("handedOver");
        QTest::newRow("taken") << int(Reply::Taken) << true;
        QTest::newRow("refused") << int(Reply::Refused) << false;
        QTest::newRow("dropped") << int(Reply::Dropped) << false;
    }
    void receiverRepliesWhenTheFilesAreSafe() {
        QFETCH(int, reply);
        QFETCH(bool, handedOver);
        QTemporaryDir profile;
        SingleInstance primary(profile.path());
        QCOMPARE(*primary.claim({}), Role::Primary);
        QStringList received;
        primary.setReceiver([&](const HandoverMessage& message, SingleInstance::Reply answer) {
            received << message.files;
            if (Reply(reply) == Reply::Dropped) return;
            QTimer::singleShot(kReplyLaterMs, &primary, [answer, reply] {
                answer(Reply(reply) == Reply::Taken);
                answer(false); // only the first answer counts
            });
        });
        QElapsedTimer clock;
        clock.start();
        const auto role = claimElsewhere(profile.path(), {{u"/f"_s}, std::nullopt});
        QCOMPARE(received, QStringList{u"/f"_s});
        QCOMPARE(role.ok(), handedOver);
        if (handedOver) QCOMPARE(*role, Role::HandedOver);
        QVERIFY2(role.ok() || role.error().contains(u"refused"_s), qPrintable(role.error()));
        if (Reply(reply) != Reply::Dropped) QVERIFY(clock.elapsed() >= kReplyLaterMs);
    }

    void refusedHandOverIsAnError() {
        QTemporaryDir profile;
        SingleInstance first(profile.path());
        QCOMPARE(*first.claim({}), Role::Primary);
        const auto refused = claimElsewhere(profile.path(), {{u"relative/path"_s}, std::nullopt});
        QVERIFY(!refused.ok());
        QVERIFY2(refused.error().contains(u"refused"_s), qPrintable(refused.error()));
    }

    void crashedProgramsSocketIsCleared() {
        QTemporaryDir profile;
        const QString name = SingleInstance::serverName(profile.path());
        // What a crash leaves: a bound socket file with nobody behind it.
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(fd >= 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray path = QFile::encodeName(name);
        std::memcpy(address.sun_path, path.constData(), static_cast<size_t>(path.size()));
        QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ::close(fd);
        QVERIFY(QFileInfo::exists(name));

        SingleInstance next(profile.path());
        const auto role = next.claim({});
        QVERIFY2(role.ok(), qPrintable(role.error()));
        QCOMPARE(*role, Role::Primary);
        QSignalSpy received(&next, &SingleInstance::messageReceived);
        QCOMPARE(*claimElsewhere(profile.path(), {{u"/f"_s}, std::nullopt}), Role::HandedOver);
        QCOMPARE(received.size(), 1);
    }

    void hostileMessagesAreDropped_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("logged");
        QTest::newRow("not JSON") << framed("{\"files\": [") << u"not JSON"_s;
        QTest::newRow("not an object") << framed("[\"/a\"]") << u"not an object"_s;
        QTest::newRow("relative path")
            << framed(R"({"files": ["/ok", "../../etc/passwd"]})") << u"not an absolute path"_s;
        QTest::newRow("files not a list") << framed(R"({"files": "/a"})") << u"not a list"_s;
        QTest::newRow("a file not a text") << framed(R"({"files": [7]})") << u"not a text"_s;
        QTest::newRow("empty address") << framed(R"({"connect": ""})") << u"usable address"_s;
        QTest::newRow("background not true or false")
            << framed(R"({"background": "yes"})") << u"not true or false"_s;
        QTest::newRow("announced too large")
            << QByteArray::fromHex("00200000") + QByteArray(64, 'x') << u"more than"_s;
        QTest::newRow("raw garbage") << QByteArray("GET / HTTP/1.0\r\n\r\n") << u"more than"_s;
    }

    void hostileMessagesAreDropped() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, logged);
        QTemporaryDir profile;
        SingleInstance primary(profile.path());
        QSignalSpy received(&primary, &SingleInstance::messageReceived);
        QCOMPARE(*primary.claim({}), Role::Primary);
        const qsizetype dropsBefore = logText().count(u"Hand-over dropped: "_s);

        QCOMPARE(sendRaw(primary.serverName(), bytes), QByteArray("N"));
        const QString text = logText();
        QCOMPARE(text.count(u"Hand-over dropped: "_s), dropsBefore + 1);
        const QString lastDrop = text.mid(text.lastIndexOf(u"Hand-over dropped: "_s));
        QVERIFY2(lastDrop.left(lastDrop.indexOf(u'\n')).contains(logged), qPrintable(lastDrop));
        QCOMPARE(received.size(), 0);
        // Still the program: the next start hands over as usual.
        QCOMPARE(*claimElsewhere(profile.path(), {{u"/f"_s}, std::nullopt}), Role::HandedOver);
        QCOMPARE(received.size(), 1);
    }

    void silentSenderIsDropped() {
        QTemporaryDir profile;
        SingleInstance primary(profile.path());
        QCOMPARE(*primary.claim({}), Role::Primary);
        // Half a length, then nothing: the sender does not hold the program's door for ever.
        QCOMPARE(sendRaw(primary.serverName(), QByteArray(2, '\0')), QByteArray());
        QVERIFY(logText().contains(u"Hand-over dropped: no whole message within"_s));
    }

    void twoStartsAtOnceEndWithOneProgram() {
        for (int round = 0; round < kRaceRounds; ++round) {
            QTemporaryDir profile;
            QProcess starts[2];
            for (int i = 0; i < 2; ++i) {
                QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
                environment.insert(QString::fromLatin1(kClaimFolder), profile.path());
                environment.insert(QString::fromLatin1(kClaimFile), u"/start/%1"_s.arg(i));
                starts[i].setProcessEnvironment(environment);
            }
            for (QProcess& start : starts)
                start.start(QCoreApplication::applicationFilePath(), {});
            QStringList outputs;
            for (QProcess& start : starts) {
                const bool finished = start.waitForFinished(kWaitMs);
                if (!finished) start.kill(); // by its own handle, never left running
                outputs.append(QString::fromUtf8(start.readAllStandardOutput()));
                QVERIFY(finished);
                QVERIFY2(start.exitCode() == 0, qPrintable(outputs.back()));
            }
            const int primary = outputs[0].startsWith(u"Primary"_s) ? 0 : 1;
            QVERIFY2(outputs[primary].startsWith(u"Primary\n"_s), qPrintable(outputs.join(u'|')));
            QCOMPARE(outputs[1 - primary], u"HandedOver\n"_s);
            QCOMPARE(outputs[primary], u"Primary\nreceived /start/%1\n"_s.arg(1 - primary));
        }
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(kClaimFolder)) return runClaimingChild();
    // Sockets of the suite in a runtime folder of its own, inherited by its children.
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    SingleInstanceTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_singleinstance.moc"
