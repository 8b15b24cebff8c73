#include "platform/PlistPython.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

using namespace vantle;

namespace {

struct Run {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Run runTool(const QStringList& args, const QByteArray& input = {}) {
    constexpr int kToolTimeoutMs = 30000;
    QProcess tool;
    tool.start(QStringLiteral(VANTLE_BIN_DIR "/vantle-plist"), args);
    if (!tool.waitForStarted(kToolTimeoutMs)) return {};
    tool.write(input);
    tool.closeWriteChannel();
    if (!tool.waitForFinished(kToolTimeoutMs)) {
        tool.kill();
        tool.waitForFinished();
        return {};
    }
    return {tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1,
            tool.readAllStandardOutput(), tool.readAllStandardError()};
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& data) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

} // namespace

class PlistToolTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void convertsPlistlibFiles();
    void convertsBetweenStandardStreams();
    void lintTellsValidFromInvalid();
    void printShowsValuesAndDataPreview();
    void wrongUsageIsRefused();

private:
    QTemporaryDir mDir;
};

void PlistToolTest::initTestCase() {
    QVERIFY(mDir.isValid());
    QVERIFY2(QFile::exists(QStringLiteral(VANTLE_BIN_DIR "/vantle-plist")),
             "build the vantle-plist target first");
    QVERIFY(test::runPython(QStringLiteral("v = %1\n"
                                           "plistlib.dump(v, open(sys.argv[1], 'wb'), "
                                           "fmt=plistlib.FMT_BINARY)\n"
                                           "plistlib.dump(v, open(sys.argv[2], 'wb'))\n")
                                .arg(test::kSamplePython),
                            {mDir.filePath(u"sample.bplist"_s), mDir.filePath(u"sample.xml"_s)}));
}

void PlistToolTest::convertsPlistlibFiles() {
    for (const QString& input : {u"sample.bplist"_s, u"sample.xml"_s}) {
        for (const QString& format : {u"binary"_s, u"xml"_s}) {
            const QString out = mDir.filePath(QStringLiteral("out-%1-%2").arg(input, format));
            const Run run = runTool({u"convert"_s, format, mDir.filePath(input), out});
            QVERIFY2(run.status == 0, run.err.constData());
            QVERIFY(readFile(out).startsWith(format == u"xml"_s ? "<?xml" : "bplist00"));
            QCOMPARE(test::pythonCompares(out, test::kSamplePython), QByteArray("OK"));
        }
    }
}

void PlistToolTest::convertsBetweenStandardStreams() {
    const Run toXml = runTool({u"convert"_s, u"xml"_s, u"-"_s, u"-"_s},
                              readFile(mDir.filePath(u"sample.bplist"_s)));
    QVERIFY2(toXml.status == 0, toXml.err.constData());
    const Run toBinary = runTool({u"convert"_s, u"binary"_s, u"-"_s, u"-"_s}, toXml.out);
    QVERIFY2(toBinary.status == 0, toBinary.err.constData());
    const QString out = mDir.filePath(u"streamed.bplist"_s);
    QVERIFY(writeFile(out, toBinary.out));
    QCOMPARE(test::pythonCompares(out, test::kSamplePython), QByteArray("OK"));
}

void PlistToolTest::lintTellsValidFromInvalid() {
    const Run valid = runTool({u"lint"_s, mDir.filePath(u"sample.xml"_s)});
    QCOMPARE(valid.status, 0);
    QVERIFY(valid.out.contains("OK"));

    // An array that contains itself.
    QByteArray cycle("bplist00\xA1\x00\x08", 11);
    cycle += QByteArray(6, '\0') + "\x01\x01" + QByteArray(7, '\0') + "\x01" + QByteArray(8, '\0') +
             QByteArray(7, '\0') + "\x0A";
    const QString bad = mDir.filePath(u"cycle.bplist"_s);
    QVERIFY(writeFile(bad, cycle));
    const Run invalid = runTool({u"lint"_s, bad});
    QCOMPARE(invalid.status, 1);
    QVERIFY2(invalid.err.contains("cycle"), invalid.err.constData());

    const Run fromStdin = runTool({u"lint"_s, u"-"_s}, "<plist><dict><key>a</key></dict></plist>");
    QCOMPARE(fromStdin.status, 1);
    QVERIFY2(fromStdin.err.contains("no value"), fromStdin.err.constData());

    QCOMPARE(runTool({u"lint"_s, mDir.filePath(u"missing.plist"_s)}).status, 1);
}

void PlistToolTest::printShowsValuesAndDataPreview() {
    const QString path = mDir.filePath(u"request.bplist"_s);
    QVERIFY(test::runPython(QStringLiteral("plistlib.dump({'RequestNum': 7, 'ChunkData': "
                                           "bytes(range(200)), 'Path': 'a/\"b\".txt', 'Items': "
                                           "[True, 1.5]}, open(sys.argv[1], 'wb'), "
                                           "fmt=plistlib.FMT_BINARY)"),
                            {path}));
    const Run run = runTool({u"print"_s, path});
    QVERIFY2(run.status == 0, run.err.constData());
    QVERIFY2(run.out.contains("\"ChunkData\" => <200 bytes: 00 01 02 03 04 05 06 07 08 09 0a 0b "
                              "0c 0d 0e 0f ...>"),
             run.out.constData());
    QVERIFY(run.out.contains("\"RequestNum\" => 7"));
    QVERIFY(run.out.contains("\"Path\" => \"a/\\\"b\\\".txt\""));
    QVERIFY(run.out.contains("0 => true"));
    QVERIFY(run.out.contains("1 => 1.5"));
}

void PlistToolTest::wrongUsageIsRefused() {
    QCOMPARE(runTool({}).status, 2);
    QCOMPARE(runTool({u"convert"_s, u"json"_s, u"-"_s, u"-"_s}).status, 2);
    QVERIFY(runTool({u"print"_s}).err.contains("usage"));
}

QTEST_GUILESS_MAIN(PlistToolTest)
#include "tst_plisttool.moc"
