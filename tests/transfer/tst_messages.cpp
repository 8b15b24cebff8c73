#include "platform/PlistPython.h"
#include "transfer/MessageEnvelope.h"
#include "transfer/ProtocolKeys.h"
#include "transfer/Requests.h"
#include "transfer/Responses.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>
#include <limits>

using namespace vantle;

namespace {

constexpr std::int32_t kSampleRequestNum = 41;
constexpr qint64 kBeyondFourGiB = 5'000'000'000LL;
constexpr qint64 kBeyondInt32 = qint64(std::numeric_limits<std::int32_t>::max()) + 1;

QVariant real(double value) {
    return QVariant(value);
}

// Through the whole path a message takes: fields, envelope, payload bytes, and back.
QVariantMap throughPayload(QVariantMap message) {
    const QByteArray payload = encodeMessage(message);
    if (payload.isEmpty()) return {};
    return decodeMessage(payload).value_or(QVariantMap());
}

template <typename Request> void checkRequestRoundTrip(const Request& request) {
    QVariantMap message = request.encode();
    addRequestEnvelope(message, kSampleRequestNum);
    const QVariantMap received = throughPayload(message);
    const Envelope envelope = Envelope::decode(received);
    QCOMPARE(envelope.messageType, MessageType::Request);
    QCOMPARE(envelope.requestType, Request::kType);
    QCOMPARE(envelope.requestNum, std::optional<std::int32_t>(kSampleRequestNum));
    const Result<Request> decoded = Request::decode(received);
    QVERIFY2(decoded.ok(), qPrintable(decoded.error()));
    QCOMPARE(*decoded, request);
}

template <typename Response> void checkResponseRoundTrip(const Response& response) {
    QVariantMap message = response.encode();
    addResponseEnvelope(message, kSampleRequestNum);
    const QVariantMap received = throughPayload(message);
    const Envelope envelope = Envelope::decode(received);
    QCOMPARE(envelope.messageType, MessageType::Response);
    QCOMPARE(envelope.responseNum, kSampleRequestNum);
    QCOMPARE(Response::decode(received), response);
}

// The reason a request of `type` cannot be served, or empty when it decodes.
QString requestError(RequestType type, const QVariantMap& message) {
    switch (type) {
    case RequestType::VersionCheck:
        return VersionCheckRequest::decode(message).error();
    case RequestType::DirectoryList:
        return DirectoryListRequest::decode(message).error();
    case RequestType::GetIconsAndSizes:
        return GetIconsAndSizesRequest::decode(message).error();
    case RequestType::FileExists:
        return FileExistsRequest::decode(message).error();
    case RequestType::RequestFile:
        return RequestFileRequest::decode(message).error();
    case RequestType::RemoveFile:
        return RemoveFileRequest::decode(message).error();
    case RequestType::CreateDirectory:
        return CreateDirectoryRequest::decode(message).error();
    case RequestType::SendChunk:
        return SendChunkRequest::decode(message).error();
    case RequestType::Notify:
        return NotifyRequest::decode(message).error();
    case RequestType::Unknown:
        break;
    }
    return QStringLiteral("no decoder");
}

// A request of every type with all its fields set, as the sender writes it.
QVariantMap fullRequest(RequestType type) {
    switch (type) {
    case RequestType::VersionCheck:
        return VersionCheckRequest{protocol::kProtocolVersion}.encode();
    case RequestType::DirectoryList:
        return DirectoryListRequest{QStringLiteral("Folder")}.encode();
    case RequestType::GetIconsAndSizes:
        return GetIconsAndSizesRequest{{QStringLiteral("a"), QStringLiteral("b")}}.encode();
    case RequestType::FileExists:
        return FileExistsRequest{QStringLiteral("a")}.encode();
    case RequestType::RequestFile:
        return RequestFileRequest{QStringLiteral("a")}.encode();
    case RequestType::RemoveFile:
        return RemoveFileRequest{QStringLiteral("a")}.encode();
    case RequestType::CreateDirectory:
        return CreateDirectoryRequest{QStringLiteral("Notes.rtfd"), QByteArray("II*"),
                                      QByteArray("<p>")}
            .encode();
    case RequestType::SendChunk:
        return SendChunkRequest{QStringLiteral("f.txt"), QByteArray("abc"), 1,  true,
                                QByteArray("II*"),       QByteArray("<p>"), 10, 7,
                                QStringLiteral("f.txt")}
            .encode();
    case RequestType::Notify:
        return NotifyRequest{notes::kTransferFinished.toString(), QVariantMap()}.encode();
    case RequestType::Unknown:
        break;
    }
    return {};
}

} // namespace

class TestMessages : public QObject {
    Q_OBJECT

private slots:
    void requestsRoundTripThroughPayload();
    void responsesRoundTripThroughPayload();
    void requestTypeNames();
    void envelopeReadsWhatItCan_data();
    void envelopeReadsWhatItCan();
    void missingBooleansAndNumbersAreZero();
    void booleansAndNumbersStandForEachOther_data();
    void booleansAndNumbersStandForEachOther();
    void wrongTypedRequestFieldsFail_data();
    void wrongTypedRequestFieldsFail();
    void wrongTypedResponseFieldsReadAsMissing();
    void payloadsThatAreNoMessage();
    void payloadAgreesWithPlistlib();
};

void TestMessages::requestsRoundTripThroughPayload() {
    const QByteArray piece(static_cast<qsizetype>(protocol::kChunkSize), '\x7f');
    checkRequestRoundTrip(VersionCheckRequest{protocol::kProtocolVersion});
    checkRequestRoundTrip(VersionCheckRequest{std::numeric_limits<std::int32_t>::min()});
    checkRequestRoundTrip(DirectoryListRequest{QString()});
    checkRequestRoundTrip(FileExistsRequest{QStringLiteral("a/b c/\u65e5\u672c.txt")});
    checkRequestRoundTrip(RequestFileRequest{QStringLiteral("report.pdf")});
    checkRequestRoundTrip(RemoveFileRequest{QStringLiteral("Folder")});
    checkRequestRoundTrip(GetIconsAndSizesRequest{});
    checkRequestRoundTrip(
        GetIconsAndSizesRequest{{QStringLiteral("a"), QString(), QStringLiteral("\u00e9")}});
    checkRequestRoundTrip(CreateDirectoryRequest{QStringLiteral("Plain"), {}, {}});
    checkRequestRoundTrip(
        CreateDirectoryRequest{QStringLiteral("Notes.rtfd"), QByteArray("II*"), QByteArray()});
    SendChunkRequest emptyFile;
    emptyFile.path = QStringLiteral("empty");
    emptyFile.lastChunk = true;
    checkRequestRoundTrip(emptyFile);
    checkRequestRoundTrip(SendChunkRequest{QStringLiteral("big.bin"), piece,
                                           std::numeric_limits<std::int32_t>::max(), false,
                                           QByteArray("II*"), QByteArray("<html>"), kBeyondFourGiB,
                                           kBeyondFourGiB - 1, QStringLiteral("big.bin")});
    checkRequestRoundTrip(NotifyRequest{notes::kTransferFinished.toString(),
                                        QVariantMap{{keys::kPath, QStringLiteral("x")}}});
    checkRequestRoundTrip(NotifyRequest{notes::kConnectionAllowed.toString(), std::nullopt});
}

void TestMessages::responsesRoundTripThroughPayload() {
    checkResponseRoundTrip(
        VersionCheckResponse{protocol::kProtocolVersion, false, QStringLiteral("Phone"), false});
    checkResponseRoundTrip(VersionCheckResponse{std::nullopt, true, std::nullopt, std::nullopt});
    checkResponseRoundTrip(DirectoryListResponse{});
    checkResponseRoundTrip(
        DirectoryListResponse{QStringList{QStringLiteral("a"), QStringLiteral("Sub")},
                              QMap<QString, ListingEntry>{{QStringLiteral("a"), {false}},
                                                          {QStringLiteral("Sub"), {true}}}});
    checkResponseRoundTrip(DirectoryListResponse{QStringList(), QMap<QString, ListingEntry>()});
    checkResponseRoundTrip(GetIconsAndSizesResponse{
        QMap<QString, IconAndSize>{{QStringLiteral("a"), {QByteArray("II*\0", 4), kBeyondFourGiB}},
                                   {QStringLiteral("b"), {std::nullopt, 0}}}});
    checkResponseRoundTrip(FileExistsResponse{true, false});
    checkResponseRoundTrip(SuccessResponse{true, std::nullopt});
    checkResponseRoundTrip(SuccessResponse{false, protocol::kDownloadCancelled});
    QCOMPARE(Envelope::decode(throughPayload(unhandledRequestResponse())).messageType,
             MessageType::Unknown);
    QCOMPARE(unhandledRequestResponse().value(keys::kGood).toString(), kUnhandledAnswer);
}

void TestMessages::requestTypeNames() {
    for (int i = 0; i < static_cast<int>(RequestType::Unknown); ++i) {
        const auto type = static_cast<RequestType>(i);
        QVERIFY(!requestTypeName(type).isEmpty());
        QCOMPARE(requestTypeFromName(requestTypeName(type).toString()), type);
        QCOMPARE(Envelope::decode(fullRequest(type)).requestType, type);
    }
    QCOMPARE(requestTypeFromName(QStringLiteral("versioncheck")), RequestType::Unknown);
    QCOMPARE(requestTypeFromName(QString()), RequestType::Unknown);
    QVERIFY(requestTypeName(RequestType::Unknown).isEmpty());
}

void TestMessages::envelopeReadsWhatItCan_data() {
    QTest::addColumn<QVariantMap>("message");
    QTest::addColumn<MessageType>("messageType");
    QTest::addColumn<QString>("requestTypeName");
    QTest::addColumn<RequestType>("requestType");
    QTest::addColumn<std::optional<std::int32_t>>("requestNum");
    QTest::addColumn<std::int32_t>("responseNum");

    const QString request = messageTypes::kRequest.toString();
    const QString response = messageTypes::kResponse.toString();
    const QString listName = requests::kDirectoryList.toString();
    const auto none = std::optional<std::int32_t>();
    QTest::newRow("empty") << QVariantMap() << MessageType::Unknown << QString()
                           << RequestType::Unknown << none << 0;
    QTest::newRow("other message type")
        << QVariantMap{{keys::kMessageType, QStringLiteral("Reply")}} << MessageType::Unknown
        << QString() << RequestType::Unknown << none << 0;
    QTest::newRow("message type as data")
        << QVariantMap{{keys::kMessageType, request.toUtf8()}} << MessageType::Unknown << QString()
        << RequestType::Unknown << none << 0;
    QTest::newRow("whole real number")
        << QVariantMap{{keys::kMessageType, request},
                       {keys::kRequestType, listName},
                       {keys::kRequestNum, real(7.0)}}
        << MessageType::Request << listName << RequestType::DirectoryList
        << std::optional<std::int32_t>(7) << 0;
    QTest::newRow("number as text")
        << QVariantMap{{keys::kMessageType, request},
                       {keys::kRequestType, QStringLiteral("Frobnicate")},
                       {keys::kRequestNum, QStringLiteral("7")}}
        << MessageType::Request << QStringLiteral("Frobnicate") << RequestType::Unknown << none
        << 0;
    QTest::newRow("number beyond 32 bits")
        << QVariantMap{{keys::kMessageType, request}, {keys::kRequestNum, kBeyondInt32}}
        << MessageType::Request << QString() << RequestType::Unknown << none << 0;
    QTest::newRow("request type not text")
        << QVariantMap{{keys::kMessageType, request}, {keys::kRequestType, 3}}
        << MessageType::Request << QString() << RequestType::Unknown << none << 0;
    QTest::newRow("response") << QVariantMap{{keys::kMessageType, response},
                                             {keys::kResponseNum, 12}}
                              << MessageType::Response << QString() << RequestType::Unknown << none
                              << 12;
    QTest::newRow("response number beyond 32 bits counts as 0")
        << QVariantMap{{keys::kMessageType, response},
                       {keys::kResponseNum, kBeyondInt32 + kSampleRequestNum}}
        << MessageType::Response << QString() << RequestType::Unknown << none << 0;
}

void TestMessages::envelopeReadsWhatItCan() {
    QFETCH(QVariantMap, message);
    const Envelope envelope = Envelope::decode(throughPayload(message));
    QTEST(envelope.messageType, "messageType");
    QTEST(envelope.requestTypeName, "requestTypeName");
    QTEST(envelope.requestType, "requestType");
    QTEST(envelope.requestNum, "requestNum");
    QTEST(envelope.responseNum, "responseNum");
}

void TestMessages::missingBooleansAndNumbersAreZero() {
    const auto chunk = SendChunkRequest::decode(
        {{keys::kPath, QStringLiteral("p")}, {keys::kChunkData, QByteArray("x")}});
    QVERIFY2(chunk.ok(), qPrintable(chunk.error()));
    QCOMPARE(chunk->chunkNum, 0);
    QCOMPARE(chunk->lastChunk, false);
    QVERIFY(!chunk->totalBytes && !chunk->currentBytes && !chunk->baseFileName);
    QVERIFY(!chunk->previewTIFF && !chunk->htmlSubstitute);
    const auto version = VersionCheckRequest::decode({});
    QVERIFY(version.ok());
    QCOMPARE(version->serverVersion, 0);
    const auto note = NotifyRequest::decode({{keys::kNotification, QStringLiteral("n")}});
    QVERIFY(note.ok());
    QVERIFY(!note->userInfo);

    QCOMPARE(SuccessResponse::decode({}), (SuccessResponse{false, std::nullopt}));
    QCOMPARE(FileExistsResponse::decode({}), (FileExistsResponse{false, false}));
    QCOMPARE(DirectoryListResponse::decode({}), DirectoryListResponse{});
    QCOMPARE(GetIconsAndSizesResponse::decode({}), GetIconsAndSizesResponse{});
    const auto nothing = VersionCheckResponse::decode({});
    QCOMPARE(nothing.version(), -1);
    QVERIFY(nothing.uploadsAllowed());
    const auto goodOnly = VersionCheckResponse::decode({{keys::kGood, QStringLiteral("x")}});
    QCOMPARE(goodOnly.version(), protocol::kGoodOnlyVersion);
    const auto both = VersionCheckResponse::decode(
        {{keys::kGood, true}, {keys::kClientVersion, 0}, {keys::kAllowUpload, false}});
    QCOMPARE(both.version(), 0);
    QVERIFY(!both.uploadsAllowed());
}

void TestMessages::booleansAndNumbersStandForEachOther_data() {
    QTest::addColumn<QVariant>("chunkNum");
    QTest::addColumn<QVariant>("lastChunk");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<std::int32_t>("number");
    QTest::addColumn<bool>("flag");

    QTest::newRow("integer 1 is true") << QVariant(2) << QVariant(1) << true << 2 << true;
    QTest::newRow("integer 0 is false") << QVariant(2) << QVariant(0) << true << 2 << false;
    QTest::newRow("any other integer is true") << QVariant(2) << QVariant(-5) << true << 2 << true;
    QTest::newRow("true is 1") << QVariant(true) << QVariant(true) << true << 1 << true;
    QTest::newRow("false is 0") << QVariant(false) << QVariant(false) << true << 0 << false;
    QTest::newRow("whole real is a number") << real(3.0) << real(0.0) << true << 3 << false;
    QTest::newRow("negative whole real") << real(-4.0) << real(0.5) << true << -4 << true;
    QTest::newRow("largest 32-bit number")
        << QVariant(std::numeric_limits<std::int32_t>::max()) << QVariant(true) << true
        << std::numeric_limits<std::int32_t>::max() << true;
    QTest::newRow("real that is not whole") << real(2.5) << QVariant(true) << false << 0 << false;
    QTest::newRow("infinite real")
        << real(std::numeric_limits<double>::infinity()) << QVariant(true) << false << 0 << false;
    QTest::newRow("NaN is no boolean") << QVariant(1) << real(std::nan("")) << false << 0 << false;
    QTest::newRow("beyond 32 bits")
        << QVariant(kBeyondInt32) << QVariant(true) << false << 0 << false;
    QTest::newRow("real beyond 32 bits")
        << real(4294967296.0) << QVariant(true) << false << 0 << false;
    QTest::newRow("unsigned beyond 64 bits")
        << QVariant(std::numeric_limits<quint64>::max()) << QVariant(true) << false << 0 << false;
}

void TestMessages::booleansAndNumbersStandForEachOther() {
    QFETCH(QVariant, chunkNum);
    QFETCH(QVariant, lastChunk);
    QFETCH(bool, accepted);
    const QVariantMap message{{keys::kPath, QStringLiteral("p")},
                              {keys::kChunkData, QByteArray("x")},
                              {keys::kChunkNum, chunkNum},
                              {keys::kLastChunk, lastChunk}};
    // As a request: through the payload, so the values are what a reader of bytes sees.
    const auto request = SendChunkRequest::decode(throughPayload(message));
    QCOMPARE(request.ok(), accepted);
    if (accepted) {
        QTEST(request->chunkNum, "number");
        QTEST(request->lastChunk, "flag");
    }
    // As a response: the same values where "ErrorCode" and "Success" belong.
    const auto response = SuccessResponse::decode(
        throughPayload({{keys::kErrorCode, chunkNum}, {keys::kSuccess, lastChunk}}));
    if (accepted) {
        QTEST(response.errorCode.value_or(-1), "number");
        QTEST(response.success, "flag");
    }
}

void TestMessages::wrongTypedRequestFieldsFail_data() {
    QTest::addColumn<RequestType>("type");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("value"); // an invalid QVariant removes the key

    const auto row = [](const char* name, RequestType type, QLatin1StringView key,
                        const QVariant& value) {
        QTest::newRow(name) << type << key.toString() << value;
    };
    const QVariant absent;
    row("number where a path belongs", RequestType::DirectoryList, keys::kPath, 5);
    row("data where a path belongs", RequestType::FileExists, keys::kPath, QByteArray("a"));
    row("array where a path belongs", RequestType::RemoveFile, keys::kPath,
        QVariantList{QStringLiteral("a")});
    row("missing path", RequestType::RequestFile, keys::kPath, absent);
    row("text where data belongs", RequestType::SendChunk, keys::kChunkData, QStringLiteral("abc"));
    row("missing data", RequestType::SendChunk, keys::kChunkData, absent);
    row("text where a number belongs", RequestType::SendChunk, keys::kChunkNum,
        QStringLiteral("0"));
    row("piece number beyond 32 bits", RequestType::SendChunk, keys::kChunkNum, kBeyondInt32);
    row("text where a boolean belongs", RequestType::SendChunk, keys::kLastChunk,
        QStringLiteral("YES"));
    row("total beyond 64 bits", RequestType::SendChunk, keys::kTotalBytes,
        std::numeric_limits<quint64>::max());
    row("date where a size belongs", RequestType::SendChunk, keys::kCurrentBytes,
        QDateTime(QDate(2020, 1, 1), QTime(0, 0), Qt::UTC));
    row("data where a name belongs", RequestType::SendChunk, keys::kBaseFileName, QByteArray("f"));
    row("text where a preview belongs", RequestType::CreateDirectory, keys::kPreviewTIFF,
        QStringLiteral("II*"));
    row("number where HTML belongs", RequestType::SendChunk, keys::kHTMLSubstitute, 1);
    row("a non-string among the paths", RequestType::GetIconsAndSizes, keys::kPaths,
        QVariantList{QStringLiteral("a"), 2});
    row("one path instead of an array", RequestType::GetIconsAndSizes, keys::kPaths,
        QStringLiteral("a"));
    row("missing paths", RequestType::GetIconsAndSizes, keys::kPaths, absent);
    row("text where a version belongs", RequestType::VersionCheck, keys::kServerVersion,
        QStringLiteral("259"));
    row("boolean where a name belongs", RequestType::Notify, keys::kNotification, true);
    row("array where user info belongs", RequestType::Notify, keys::kUserInfo, QVariantList());
}

void TestMessages::wrongTypedRequestFieldsFail() {
    QFETCH(RequestType, type);
    QFETCH(QString, key);
    QFETCH(QVariant, value);
    QVariantMap message = fullRequest(type);
    QCOMPARE(requestError(type, throughPayload(message)), QString());
    if (value.isValid())
        message.insert(key, value);
    else
        message.remove(key);
    const QString error = requestError(type, throughPayload(message));
    QVERIFY2(error.contains(key), qPrintable(error));
}

void TestMessages::wrongTypedResponseFieldsReadAsMissing() {
    const QString text = QStringLiteral("yes");
    QCOMPARE(SuccessResponse::decode({{keys::kSuccess, text}, {keys::kErrorCode, text}}),
             (SuccessResponse{false, std::nullopt}));
    QCOMPARE(FileExistsResponse::decode(
                 {{keys::kExists, QByteArray("1")}, {keys::kIsDirectory, QVariantMap()}}),
             (FileExistsResponse{false, false}));

    const auto version = VersionCheckResponse::decode({{keys::kClientVersion, text},
                                                       {keys::kGood, 0},
                                                       {keys::kClientAppName, 7},
                                                       {keys::kAllowUpload, text}});
    QCOMPARE(version.version(), protocol::kGoodOnlyVersion);
    QVERIFY(!version.clientAppName);
    QVERIFY(version.uploadsAllowed());

    QCOMPARE(DirectoryListResponse::decode(
                 {{keys::kListing, text}, {keys::kListingPlus, QVariantList{text}}}),
             DirectoryListResponse{});
    const auto listing = DirectoryListResponse::decode(
        {{keys::kListing, QVariantList{QStringLiteral("a"), 1, QStringLiteral("b")}},
         {keys::kListingPlus,
          QVariantMap{{QStringLiteral("a"), text},
                      {QStringLiteral("b"), QVariantMap{{keys::kIsFolder, text}}},
                      {QStringLiteral("c"), QVariantMap{{keys::kIsFolder, 1}}}}}});
    QCOMPARE(listing.listing,
             std::optional<QStringList>({QStringLiteral("a"), QStringLiteral("b")}));
    QCOMPARE(listing.listingPlus,
             (std::optional<QMap<QString, ListingEntry>>({{QStringLiteral("a"), {false}},
                                                          {QStringLiteral("b"), {false}},
                                                          {QStringLiteral("c"), {true}}})));

    const auto icons = GetIconsAndSizesResponse::decode(
        {{keys::kIconsAndSizes,
          QVariantMap{{QStringLiteral("a"), QVariantMap{{keys::kIcon, text}, {keys::kSize, text}}},
                      {QStringLiteral("b"), 3},
                      {QStringLiteral("c"), QVariantMap{{keys::kSize, real(12.0)}}}}}});
    QCOMPARE(icons.iconsAndSizes, (std::optional<QMap<QString, IconAndSize>>(
                                      {{QStringLiteral("a"), {std::nullopt, 0}},
                                       {QStringLiteral("b"), {std::nullopt, 0}},
                                       {QStringLiteral("c"), {std::nullopt, 12}}})));
    QCOMPARE(GetIconsAndSizesResponse::decode({{keys::kIconsAndSizes, text}}),
             GetIconsAndSizesResponse{});
}

void TestMessages::payloadsThatAreNoMessage() {
    const QByteArray valid = encodeMessage(fullRequest(RequestType::FileExists));
    QVERIFY(decodeMessage(valid));
    QVERIFY(!decodeMessage(valid.left(4)));
    QByteArray otherMagic = valid;
    otherMagic[0] = '\x00';
    QVERIFY(!decodeMessage(otherMagic));
    QString error;
    QVERIFY(!decodeMessage(valid.left(valid.size() - 1), &error));
    QVERIFY(!error.isEmpty());
    // A value a property list cannot carry leaves nothing to send.
    QVERIFY(
        encodeMessage({{keys::kPath, QVariant::fromValue(QObject::staticMetaObject.className())}})
            .isEmpty());
}

void TestMessages::payloadAgreesWithPlistlib() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // Ours, read by plistlib.
    SendChunkRequest chunk{QStringLiteral("Folder/caf\u00e9.txt"),
                           QByteArray("\x00\xff", 2),
                           3,
                           true,
                           QByteArray("II*"),
                           std::nullopt,
                           kBeyondFourGiB,
                           131072,
                           QStringLiteral("Folder")};
    QVariantMap message = chunk.encode();
    addRequestEnvelope(message, kSampleRequestNum);
    const QByteArray payload = encodeMessage(message);
    QCOMPARE(qFromBigEndian<std::uint32_t>(payload.constData()), protocol::kMessageMagic);
    const QString path = dir.filePath(QStringLiteral("chunk.bplist"));
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly));
    QCOMPARE(out.write(payload.mid(4)), qint64{payload.size() - 4});
    out.close();
    QCOMPARE(
        test::pythonCompares(
            path, QStringLiteral("{'MessageType': 'Request', 'RequestType': 'SendChunk', "
                                 "'RequestNum': 41, 'Path': 'Folder/caf\\u00e9.txt', "
                                 "'ChunkData': b'\\x00\\xff', 'ChunkNum': 3, 'LastChunk': True, "
                                 "'PreviewTIFF': b'II*', 'TotalBytes': 5000000000, "
                                 "'CurrentBytes': 131072, 'BaseFileName': 'Folder'}")),
        QByteArray("OK"));

    // plistlib's, with the number and boolean habits of other writers, read by us.
    const auto written = test::runPython(QStringLiteral(
        "sys.stdout.buffer.write(plistlib.dumps({'MessageType': 'Request', "
        "'RequestType': 'SendChunk', 'RequestNum': 9.0, 'Path': 'x', 'ChunkData': b'', "
        "'ChunkNum': 2.0, 'LastChunk': 1, 'TotalBytes': 2**40, 'CurrentBytes': False}, "
        "fmt=plistlib.FMT_BINARY))"));
    QVERIFY(written);
    QByteArray theirs(4, Qt::Uninitialized);
    qToBigEndian<std::uint32_t>(protocol::kMessageMagic, theirs.data());
    const auto received = decodeMessage(theirs + *written);
    QVERIFY(received);
    QCOMPARE(Envelope::decode(*received).requestNum, std::optional<std::int32_t>(9));
    const auto decoded = SendChunkRequest::decode(*received);
    QVERIFY2(decoded.ok(), qPrintable(decoded.error()));
    QCOMPARE(*decoded, (SendChunkRequest{QStringLiteral("x"), QByteArray(), 2, true, std::nullopt,
                                         std::nullopt, qint64(1) << 40, 0, std::nullopt}));
}

QTEST_GUILESS_MAIN(TestMessages)
#include "tst_messages.moc"
