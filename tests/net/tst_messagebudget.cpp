// A frame from the phone may be 64 MiB; what it decodes to must stay bounded by the message's
// value budget, refused before the memory is spent.

#include "net/DictionaryCodec.h"
#include "net/WireFormat.h"
#include "platform/Plist.h"
#include "support/ParoxLogger.h"
#include "transfer/ProtocolKeys.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <sys/resource.h>

using namespace vantle;

namespace {

// 60 million one-byte references: about the largest hostile message a frame carries.
constexpr quint64 kHostileReferences = 60'000'000;
// A hostile message is refused well within this, and without building its values.
constexpr qint64 kRefusalMs = 2000;
constexpr long kMaxGrowthKiB = 300 * 1024;
constexpr int kListingEntries = 10'000;
constexpr int kCountWidth = 4;
constexpr int kOffsetWidth = 4;

QByteArray bigEndian(quint64 value, int width) {
    QByteArray out(width, '\0');
    for (int i = width - 1; i >= 0; --i, value >>= CHAR_BIT)
        out[i] = static_cast<char>(value & 0xFF);
    return out;
}

// The message payload: the magic, then a "bplist00" whose top object is an array (or a
// dictionary) of `count` one-byte references to the objects that follow it.
QByteArray hostileMessage(bool dictionary, quint64 count) {
    const quint64 references = dictionary ? count * 2 : count;
    QByteArray out = bigEndian(protocol::kMessageMagic, int(wire::kPayloadMagicSize));
    const qsizetype start = out.size();
    out.reserve(qsizetype(references) + 64);
    out += "bplist00";
    QList<quint64> offsets{quint64(out.size() - start)};
    out += char(dictionary ? 0xDF : 0xAF); // container with the count following
    out += char(0x12);                     // a 4-byte integer
    out += bigEndian(count, kCountWidth);
    if (dictionary) {
        out.append(qsizetype(count), char(1)); // every key: object 1
        out.append(qsizetype(count), char(2)); // every value: object 2
        offsets << quint64(out.size() - start);
        out += QByteArray("\x51k", 2);
    } else {
        out.append(qsizetype(count), char(1));
    }
    offsets << quint64(out.size() - start);
    out += QByteArray("\x10\x07", 2);
    const quint64 table = quint64(out.size() - start);
    for (quint64 offset : offsets)
        out += bigEndian(offset, kOffsetWidth);
    out += QByteArray(6, '\0') + char(kOffsetWidth) + char(1);
    out += bigEndian(quint64(offsets.size()), 8) + bigEndian(0, 8) + bigEndian(table, 8);
    return out;
}

long peakKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

class MessageBudgetTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void hostileMessageIsRefusedCheaply_data();
    void hostileMessageIsRefusedCheaply();
    void largeListingStillDecodes();
    void messageAtTheLimitDecodes();

private:
    QString loggedText() const;

    QTemporaryDir mLogDir;
    std::shared_ptr<ParoxLogger> mLogger;
};

void MessageBudgetTest::initTestCase() {
    QVERIFY(mLogDir.isValid());
    mLogger = ParoxLogger::createDefaultLogger(false, false);
    mLogger->setLogFileLocation(mLogDir.path());
    mLogger->setLogToFile(true);
}

void MessageBudgetTest::cleanupTestCase() {
    ParoxLogger::removeDefaultLogger();
}

QString MessageBudgetTest::loggedText() const {
    mLogger->flush();
    QFile file(mLogger->logFilePath());
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void MessageBudgetTest::hostileMessageIsRefusedCheaply_data() {
    QTest::addColumn<bool>("dictionary");
    QTest::addColumn<quint64>("count");
    QTest::addColumn<bool>("viaDictionaryCodec");
    QTest::newRow("array, decoded as a message") << false << kHostileReferences << true;
    QTest::newRow("array, read with the message limits") << false << kHostileReferences << false;
    QTest::newRow("dictionary, decoded as a message") << true << kHostileReferences / 2 << true;
    QTest::newRow("just over the limit") << false << quint64(wire::kMaxValuesPerMessage) << true;
}

void MessageBudgetTest::hostileMessageIsRefusedCheaply() {
    QFETCH(bool, dictionary);
    QFETCH(quint64, count);
    QFETCH(bool, viaDictionaryCodec);
    const QByteArray payload = hostileMessage(dictionary, count);
    QVERIFY(payload.size() <= qsizetype(wire::kMaxFramePayload));
    const QString limit = QString::number(wire::kMaxValuesPerMessage);

    const long before = peakKiB();
    QElapsedTimer clock;
    clock.start();
    QString error;
    if (viaDictionaryCodec) {
        QVERIFY(!decodeDictionary(protocol::kMessageMagic, payload, &error));
    } else {
        const Result<QVariant> read =
            plist::readBinary(payload.sliced(qsizetype(wire::kPayloadMagicSize)),
                              plist::ReadLimits{wire::kMaxValuesPerMessage});
        QVERIFY(!read);
        error = read.error();
    }
    const qint64 elapsed = clock.elapsed();
    const long growth = peakKiB() - before;

    const QString cost =
        QStringLiteral("%1 ms, peak memory grown by %2 KiB").arg(elapsed).arg(growth);
    QVERIFY2(growth < kMaxGrowthKiB, qPrintable(cost));
    QVERIFY2(elapsed < kRefusalMs, qPrintable(cost));
    QVERIFY2(error.contains(QStringLiteral("limit of %1 values").arg(limit)), qPrintable(error));
    if (viaDictionaryCodec)
        QVERIFY2(loggedText().contains(QStringLiteral("Refused a dictionary of %1 bytes: %2")
                                           .arg(payload.size() - qsizetype(wire::kPayloadMagicSize))
                                           .arg(error)),
                 qPrintable(loggedText()));
}

void MessageBudgetTest::largeListingStillDecodes() {
    QVariantMap entries;
    for (int i = 0; i < kListingEntries; ++i)
        entries.insert(QStringLiteral("Entry %1.txt").arg(i),
                       QVariantMap{{QStringLiteral("IsFolder"), i % 3 == 0}});
    const QVariantMap message{{keys::kMessageType, messageTypes::kResponse},
                              {keys::kListing, entries}};
    const QByteArray payload = encodeDictionary(protocol::kMessageMagic, message);
    QVERIFY(!payload.isEmpty());
    QString error;
    const std::optional<QVariantMap> decoded =
        decodeDictionary(protocol::kMessageMagic, payload, &error);
    QVERIFY2(decoded, qPrintable(error));
    QCOMPARE(decoded->value(keys::kListing).toMap().size(), kListingEntries);
    QCOMPARE(*decoded, message);
}

void MessageBudgetTest::messageAtTheLimitDecodes() {
    // The dictionary and its entries' keys and values, every reference counted.
    const quint64 entries = (wire::kMaxValuesPerMessage - 1) / 2;
    QString error;
    const std::optional<QVariantMap> decoded =
        decodeDictionary(protocol::kMessageMagic, hostileMessage(true, entries), &error);
    QVERIFY2(decoded, qPrintable(error));
    QCOMPARE(*decoded, (QVariantMap{{QStringLiteral("k"), qint64(7)}}));
}

QTEST_GUILESS_MAIN(MessageBudgetTest)
#include "tst_messagebudget.moc"
