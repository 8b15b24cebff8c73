#include "platform/Plist.h"
#include "platform/PlistPython.h"
#include "platform/PlistValue.h"

#include <QPoint>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

using namespace Qt::StringLiterals;

using namespace vantle;

namespace {

// Big-endian `value` in `width` bytes.
QByteArray be(quint64 value, int width) {
    QByteArray out(width, '\0');
    for (int i = width - 1; i >= 0; --i, value >>= 8)
        out[i] = char(value & 0xFF);
    return out;
}

QByteArray bytes(std::initializer_list<int> list) {
    QByteArray out;
    for (int b : list)
        out += char(b);
    return out;
}

// Lays out objects (already encoded, references included), the offset table and the trailer.
QByteArray bplist(const QList<QByteArray>& objects, int offsetSize = 1, int refSize = 1,
                  quint64 top = 0) {
    QByteArray out = "bplist00";
    QList<quint64> offsets;
    for (const QByteArray& object : objects) {
        offsets << quint64(out.size());
        out += object;
    }
    const quint64 table = quint64(out.size());
    for (quint64 offset : offsets)
        out += be(offset, offsetSize);
    out += QByteArray(6, '\0') + char(offsetSize) + char(refSize);
    out += be(quint64(objects.size()), 8) + be(top, 8) + be(table, 8);
    return out;
}

// An array object referring to `refs`.
QByteArray array(const QList<quint64>& refs, int refSize = 1) {
    QByteArray out;
    if (refs.size() < 15)
        out += char(0xA0 | refs.size());
    else
        out += QByteArray("\xAF\x11") + be(quint64(refs.size()), 2);
    for (quint64 ref : refs)
        out += be(ref, refSize);
    return out;
}

const QByteArray kOne = bytes({0x10, 0x01});

QString xmlDocument(const QString& body) {
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE plist PUBLIC "
                          "\"-//Apple//DTD PLIST 1.0//EN\" "
                          "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                          "<plist version=\"1.0\">%1</plist>\n")
        .arg(body);
}

bool writeFile(const QString& path, const QByteArray& data) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Reads the row's input with `reader` and checks the refusal and its error text.
template <typename Reader> void verifyRefused(Reader reader) {
    QFETCH(QByteArray, input);
    QFETCH(QString, error);
    const auto result = reader(input, plist::ReadLimits{});
    QVERIFY(!result.ok());
    QVERIFY2(result.error().contains(error), qPrintable(result.error()));
}

} // namespace

class PlistTest : public QObject {
    Q_OBJECT

private slots:
    void plistlibReadsWhatWeWrite();
    void weReadWhatPlistlibWrites();
    void binaryLayoutIsApples_data();
    void binaryLayoutIsApples();
    void widerOffsetsAndReferences();
    void roundTripsKeepTypes();
    void xmlReaderAcceptsOtherWriters_data();
    void xmlReaderAcceptsOtherWriters();
    void hostileBinaryIsRefused_data();
    void hostileBinaryIsRefused();
    void sharedReferencesAreBounded();
    void nestingIsBounded();
    void valueLimitsAreHonoured_data();
    void valueLimitsAreHonoured();
    void hostileXmlIsRefused_data();
    void hostileXmlIsRefused();
    void unwritableValuesAreRefused();
};

void PlistTest::plistlibReadsWhatWeWrite() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVariantMap value = test::sampleValue().toMap();
    // XML has to carry a carriage return as a character reference.
    value.insert(u"cr"_s, u"a\rb"_s);
    const QString expected = QStringLiteral("dict(%1, cr='a\\rb')").arg(test::kSamplePython);
    QString error;
    const QByteArray binary = plist::writeBinary(value, &error);
    QVERIFY2(!binary.isEmpty(), qPrintable(error));
    const QByteArray xml = plist::writeXml(value, &error);
    QVERIFY2(!xml.isEmpty(), qPrintable(error));
    QVERIFY(xml.startsWith(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST "
        "1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n<plist "
        "version=\"1.0\">\n"));
    QVERIFY(xml.contains("<date>2026-12-06T05:41:44Z</date>"));
    QVERIFY(writeFile(dir.filePath(u"v.bplist"_s), binary));
    QVERIFY(writeFile(dir.filePath(u"v.xml"_s), xml));
    QCOMPARE(test::pythonCompares(dir.filePath(u"v.bplist"_s), expected), QByteArray("OK"));
    QCOMPARE(test::pythonCompares(dir.filePath(u"v.xml"_s), expected), QByteArray("OK"));
}

void PlistTest::weReadWhatPlistlibWrites() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // Unsorted keys, shared values, nan and infinities, a list long enough for two-byte
    // references and data long enough for wide offsets.
    const auto out = test::runPython(
        QStringLiteral("v = %1\n"
                       "ext = {'zeta': 1, 'alpha': [float('nan'), float('inf'), -float('inf')],\n"
                       "       'many': ['s%d' % (i % 7) for i in range(400)],\n"
                       "       'big': bytes(range(256)) * 300}\n"
                       "d = sys.argv[1]\n"
                       "for name, value in (('v', v), ('ext', ext)):\n"
                       "    for fmt, ext_ in ((plistlib.FMT_BINARY, 'bplist'), "
                       "(plistlib.FMT_XML, 'xml')):\n"
                       "        with open(d + '/' + name + '.' + ext_, 'wb') as f:\n"
                       "            plistlib.dump(value, f, fmt=fmt, sort_keys=False)\n")
            .arg(test::kSamplePython),
        {dir.path()});
    QVERIFY(out);

    for (const char* file : {"v.bplist", "v.xml"}) {
        const Result<plist::Document> result =
            plist::read(readFile(dir.filePath(QString::fromLatin1(file))));
        QVERIFY2(result.ok(), qPrintable(QString::fromLatin1(file) + u": "_s + result.error()));
        QVERIFY2(plist::sameValue(result->value, test::sampleValue()), file);
    }
    QVariantList many;
    for (int i = 0; i < 400; ++i)
        many << QStringLiteral("s%1").arg(i % 7);
    QByteArray big;
    for (int i = 0; i < 300; ++i)
        for (int b = 0; b < 256; ++b)
            big += char(b);
    const QVariantMap ext{{u"zeta"_s, qint64(1)},
                          {u"alpha"_s, QVariantList{std::nan(""), INFINITY, -INFINITY}},
                          {u"many"_s, many},
                          {u"big"_s, big}};
    for (const char* file : {"ext.bplist", "ext.xml"}) {
        const Result<plist::Document> result =
            plist::read(readFile(dir.filePath(QString::fromLatin1(file))));
        QVERIFY2(result.ok(), qPrintable(QString::fromLatin1(file) + u": "_s + result.error()));
        QCOMPARE(result->format,
                 QByteArray(file).endsWith("xml") ? plist::Format::Xml : plist::Format::Binary);
        QVERIFY2(plist::sameValue(result->value, ext), file);
    }
}

void PlistTest::binaryLayoutIsApples_data() {
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QByteArray>("object");
    QTest::newRow("ascii") << QVariant(u"abc"_s) << bytes({0x53, 'a', 'b', 'c'});
    QTest::newRow("utf-16") << QVariant(QString::fromUtf8("\xc3\xa9")) << bytes({0x61, 0x00, 0xE9});
    QTest::newRow("long ascii") << QVariant(QString(15, u'x'))
                                << bytes({0x5F, 0x10, 0x0F}) + QByteArray(15, 'x');
    QTest::newRow("1-byte int") << QVariant(255) << bytes({0x10, 0xFF});
    QTest::newRow("2-byte int") << QVariant(256) << bytes({0x11, 0x01, 0x00});
    QTest::newRow("4-byte int") << QVariant(qint64(65536)) << bytes({0x12, 0, 1, 0, 0});
    QTest::newRow("8-byte int") << QVariant(qint64(1) << 32)
                                << bytes({0x13, 0, 0, 0, 1, 0, 0, 0, 0});
    QTest::newRow("negative") << QVariant(-1) << bytes({0x13}) + QByteArray(8, '\xFF');
    QTest::newRow("unsigned") << QVariant(std::numeric_limits<quint64>::max())
                              << bytes({0x14}) + QByteArray(8, '\0') + QByteArray(8, '\xFF');
    QTest::newRow("short") << QVariant::fromValue<short>(-2)
                           << bytes({0x13}) + QByteArray(7, '\xFF') + '\xFE';
    QTest::newRow("real") << QVariant(1.5) << bytes({0x23, 0x3F, 0xF8, 0, 0, 0, 0, 0, 0});
    QTest::newRow("date") << QVariant(QDateTime(QDate(2001, 1, 1), QTime(0, 0, 1), Qt::UTC))
                          << bytes({0x33, 0x3F, 0xF0, 0, 0, 0, 0, 0, 0});
    QTest::newRow("false") << QVariant(false) << bytes({0x08});
    QTest::newRow("data") << QVariant(QByteArray("\x01\x02")) << bytes({0x42, 1, 2});
}

void PlistTest::binaryLayoutIsApples() {
    QFETCH(QVariant, value);
    QFETCH(QByteArray, object);
    QCOMPARE(plist::writeBinary(value), bplist({object}));
}

void PlistTest::widerOffsetsAndReferences() {
    // Strings and integers are stored once: 70000 distinct integers need 3-byte references, a
    // 70000-byte data value 3-byte offsets.
    QVariantList list;
    for (int i = 0; i < 70000; ++i)
        list << qint64(i) << qint64(i);
    list << QByteArray(70000, 'd');
    const QByteArray written = plist::writeBinary(list);
    QCOMPARE(int(written[written.size() - 26]), 3);    // offset size
    QCOMPARE(int(written[written.size() - 25]), 3);    // reference size
    QCOMPARE(written.right(24).left(8), be(70002, 8)); // objects
    const Result<QVariant> back = plist::readBinary(written);
    QVERIFY2(back.ok(), qPrintable(back.error()));
    QVERIFY(plist::sameValue((*back), list));

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(writeFile(dir.filePath(u"wide.bplist"_s), written));
    QCOMPARE(test::pythonCompares(dir.filePath(u"wide.bplist"_s),
                                  u"[x for i in range(70000) for x in (i, i)] + [b'd' * 70000]"_s),
             QByteArray("OK"));

    // Widths no writer of ours picks, 5-byte offsets and 7-byte references, are valid too.
    const QByteArray odd = bplist({array({1, 2}, 7), kOne, bytes({0x51, 'a'})}, 5, 7);
    const Result<QVariant> oddBack = plist::readBinary(odd);
    QVERIFY2(oddBack.ok(), qPrintable(oddBack.error()));
    QVERIFY(plist::sameValue((*oddBack), QVariantList{qint64(1), u"a"_s}));
    QVERIFY(writeFile(dir.filePath(u"odd.bplist"_s), odd));
    QCOMPARE(test::pythonCompares(dir.filePath(u"odd.bplist"_s), u"[1, 'a']"_s), QByteArray("OK"));
}

void PlistTest::roundTripsKeepTypes() {
    QVariantMap value = test::sampleValue().toMap();
    value.insert(u"ms"_s, QDateTime(QDate(1, 1, 1), QTime(0, 0, 0, 0), Qt::UTC));
    value.insert(u"nan"_s, std::nan(""));
    value.insert(u"float"_s, QVariant(1.25f));
    value.insert(u"dates"_s,
                 QVariantList{QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59), Qt::UTC),
                              QDateTime(QDate(1969, 7, 20), QTime(20, 17, 40, 123), Qt::UTC)});
    const Result<QVariant> binary = plist::readBinary(plist::writeBinary(value));
    QVERIFY2(binary.ok(), qPrintable(binary.error()));
    value.insert(u"float"_s, 1.25); // comes back as a double
    QVERIFY(plist::sameValue((*binary), value));
    QCOMPARE((*binary).toMap().value(u"ints"_s).toList().last().typeId(),
             int(QMetaType::ULongLong));
    QCOMPARE((*binary).toMap().value(u"ints"_s).toList().first().typeId(),
             int(QMetaType::LongLong));

    const Result<QVariant> xml = plist::readXml(plist::writeXml(value));
    QVERIFY2(xml.ok(), qPrintable(xml.error()));
    // XML dates carry whole seconds.
    QVariantList dates = value.value(u"dates"_s).toList();
    dates[1] = QDateTime(QDate(1969, 7, 20), QTime(20, 17, 40), Qt::UTC);
    value.insert(u"dates"_s, dates);
    QVERIFY(plist::sameValue((*xml), value));
}

void PlistTest::xmlReaderAcceptsOtherWriters_data() {
    QTest::addColumn<QString>("body");
    QTest::addColumn<QVariant>("expected");
    QTest::newRow("nan") << "<real>nan</real>" << QVariant(std::nan(""));
    QTest::newRow("+infinity") << "<real>+infinity</real>" << QVariant(double(INFINITY));
    QTest::newRow("-inf") << "<real> -inf </real>" << QVariant(-double(INFINITY));
    QTest::newRow("real exponent") << "<real>1e-3</real>" << QVariant(0.001);
    QTest::newRow("hex integer") << "<integer>0x1F</integer>" << QVariant(qint64(31));
    QTest::newRow("min integer") << "<integer>-9223372036854775808</integer>"
                                 << QVariant(std::numeric_limits<qint64>::min());
    QTest::newRow("data with whitespace")
        << "<data>\n\tAAE\n\tC/w==\n\t</data>" << QVariant(QByteArray("\x00\x01\x02\xff", 4));
    QTest::newRow("empty containers")
        << "<array><dict/><array/><string/><data></data></array>"
        << QVariant(QVariantList{QVariantMap{}, QVariantList{}, QString(), QByteArray()});
    QTest::newRow("entities") << "<string>&lt;&amp;&gt;&quot;&apos;&#13;&#x1F600;</string>"
                              << QVariant(QString::fromUtf8("<&>\"'\r\xf0\x9f\x98\x80"));
    QTest::newRow("comments") << "<!-- a --><dict><!-- b --><key>k</key><true/></dict>"
                              << QVariant(QVariantMap{{u"k"_s, true}});
    QTest::newRow("short date") << "<date>2026-12Z</date>"
                                << QVariant(QDateTime(QDate(2026, 12, 1), QTime(0, 0), Qt::UTC));
    QTest::newRow("spaces kept") << "<string>  a\n b </string>" << QVariant(u"  a\n b "_s);
}

void PlistTest::xmlReaderAcceptsOtherWriters() {
    QFETCH(QString, body);
    QFETCH(QVariant, expected);
    const Result<plist::Document> result = plist::read(xmlDocument(body).toUtf8());
    QVERIFY2(result.ok(), qPrintable(result.error()));
    QCOMPARE(result->format, plist::Format::Xml);
    QVERIFY2(plist::sameValue(result->value, expected), qPrintable(result->value.toString()));
}

void PlistTest::hostileBinaryIsRefused_data() {
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("error");
    const QByteArray good = bplist({kOne});
    auto withTrailerByte = [&](int at, int value) {
        QByteArray b = good;
        b[b.size() - 32 + at] = char(value);
        return b;
    };
    QTest::newRow("empty") << QByteArray() << "not a binary property list";
    QTest::newRow("short trailer") << good.left(good.size() - 1) << "trailer";
    QTest::newRow("offset size 0") << withTrailerByte(6, 0) << "offset size";
    QTest::newRow("offset size 9") << withTrailerByte(6, 9) << "offset size";
    QTest::newRow("ref size 0") << withTrailerByte(7, 0) << "reference size";
    QTest::newRow("no objects") << withTrailerByte(15, 0) << "top object";
    QTest::newRow("top out of range") << withTrailerByte(23, 1) << "top object";
    QTest::newRow("huge object count") << withTrailerByte(8, 0x7F) << "does not fit";
    QTest::newRow("table past end") << withTrailerByte(31, 0x7F) << "does not fit";
    QTest::newRow("offset out of range")
        << bplist({kOne}).replace(10, 1, "\x60") << "offset 96 out of range";
    QTest::newRow("ref out of range") << bplist({array({5})}) << "reference 5 out of range";
    QTest::newRow("count past end")
        << bplist({QByteArray("\xAF\x13") + be(quint64(1) << 61, 8)}) << "references run past";
    QTest::newRow("data past end")
        << bplist({QByteArray("\x4F\x13") + be(~quint64(0), 8)}) << "runs past";
    QTest::newRow("utf-16 past end")
        << bplist({QByteArray("\x6F\x13") + be(quint64(1) << 63, 8)}) << "runs past";
    QTest::newRow("cycle") << bplist({array({1}), array({0})}) << "cycle";
    QTest::newRow("self") << bplist({array({0})}) << "cycle";
    QTest::newRow("dict cycle") << bplist({bytes({0xD1, 1, 0}), bytes({0x51, 'k'})}) << "cycle";
    QTest::newRow("int 32 bytes") << bplist({bytes({0x15}) + QByteArray(32, 1)}) << "wider";
    QTest::newRow("int128 high half")
        << bplist({bytes({0x14, 1}) + QByteArray(15, 0)}) << "beyond 64 bits";
    QTest::newRow("non-ascii") << bplist({bytes({0x52, 'a', 0xE9})}) << "non-ASCII";
    QTest::newRow("lone surrogate") << bplist({bytes({0x61, 0xD8, 0x00})}) << "surrogate";
    QTest::newRow("reversed pair")
        << bplist({bytes({0x62, 0xDC, 0x00, 0xD8, 0x00})}) << "surrogate";
    QTest::newRow("int key") << bplist({bytes({0xD1, 1, 1}), kOne}) << "key is not a string";
    QTest::newRow("key is its own dict") << bplist({bytes({0xD1, 0, 1}), kOne}) << "cycle";
    QTest::newRow("non-ascii key")
        << bplist({bytes({0xD1, 1, 2}), bytes({0x52, 'a', 0xE9}), kOne}) << "non-ASCII";
    QTest::newRow("key of bad length")
        << bplist({bytes({0xD1, 1, 2}), bytes({0x5F, 0x14}) + QByteArray(16, 0), kOne})
        << "malformed length";
    // The second visit reads the shared dictionary again, by the shared-value path.
    QTest::newRow("shared array key")
        << bplist({array({1, 1}), bytes({0xD1, 2, 3}), bytes({0xA0}), kOne})
        << "key is not a string";
    QTest::newRow("uid") << bplist({bytes({0x80, 1})}) << "UID";
    QTest::newRow("set") << bplist({bytes({0xC1, 1}), kOne}) << "sets";
    QTest::newRow("null") << bplist({bytes({0x00})}) << "not a value";
    QTest::newRow("real 2 bytes") << bplist({bytes({0x21, 0, 0})}) << "real of 2 bytes";
    QTest::newRow("bad count marker")
        << bplist({bytes({0x5F, 0x14}) + QByteArray(16, 0)}) << "malformed length";
    QTest::newRow("nan date") << bplist({bytes({0x33, 0x7F, 0xF8, 0, 0, 0, 0, 0, 0})})
                              << "date outside";
    QTest::newRow("far date") << bplist({bytes({0x33, 0x47, 0xEF, 0, 0, 0, 0, 0, 0})})
                              << "date outside";
    QTest::newRow("unknown marker") << bplist({bytes({0x70})}) << "unknown marker";
}

void PlistTest::hostileBinaryIsRefused() {
    verifyRefused(plist::readBinary);
}

void PlistTest::sharedReferencesAreBounded() {
    // Each array refers to the next one twice: 2^60 values from a few hundred bytes.
    constexpr int kArrays = 60;
    QList<QByteArray> objects;
    for (int i = 0; i < kArrays; ++i)
        objects << array({quint64(i + 1), quint64(i + 1)});
    objects << kOne;
    const Result<QVariant> bomb = plist::readBinary(bplist(objects));
    QVERIFY(!bomb.ok());
    QVERIFY2(bomb.error().contains(u"shared references"_s), qPrintable(bomb.error()));

    // Moderate sharing, as writers that store equal values once produce, still reads.
    QList<quint64> refs(2000, 1);
    const Result<QVariant> shared =
        plist::readBinary(bplist({array(refs, 1), bytes({0x51, 's'})}, 2));
    QVERIFY2(shared.ok(), qPrintable(shared.error()));
    QCOMPARE((*shared).toList().size(), 2000);
    QCOMPARE((*shared).toList().last(), QVariant(u"s"_s));
    const Result<QVariant> nested =
        plist::readBinary(bplist({array({1, 1, 1}), array({2, 2}), bytes({0x51, 's'})}));
    QVERIFY2(nested.ok(), qPrintable(nested.error()));
    const QVariantList pair{u"s"_s, u"s"_s};
    QVERIFY(plist::sameValue((*nested), QVariantList{pair, pair, pair}));
}

void PlistTest::nestingIsBounded() {
    auto chain = [](int depth) {
        QList<QByteArray> objects;
        for (int i = 0; i < depth; ++i)
            objects << array({quint64(i + 1)}, 2);
        objects << kOne;
        return bplist(objects, 2, 2);
    };
    QVERIFY(plist::readBinary(chain(plist::kMaxDepth)).ok());
    QVERIFY(plist::readBinary(chain(plist::kMaxDepth + 1)).error().contains(u"nested deeper"_s));

    // A chain decoded once, then reached again from deeper down, is still too deep.
    constexpr int kFirst = 400;
    constexpr int kSecond = 200;
    QList<QByteArray> objects{array({1, kFirst + 2}, 2)};
    for (int i = 0; i < kFirst; ++i)
        objects << array({quint64(i + 2)}, 2);
    objects << kOne;
    for (int i = 0; i < kSecond; ++i)
        objects << array({i + 1 < kSecond ? quint64(kFirst + 3 + i) : 1}, 2);
    QVERIFY(plist::readBinary(bplist(objects, 2, 2)).error().contains(u"nested deeper"_s));

    QString deepXml;
    for (int i = 0; i <= plist::kMaxDepth; ++i)
        deepXml += u"<array>"_s;
    for (int i = 0; i <= plist::kMaxDepth; ++i)
        deepXml += u"</array>"_s;
    QVERIFY(plist::readXml(xmlDocument(deepXml).toUtf8()).error().contains(u"nested deeper"_s));

    QVariant deep = QVariantList{};
    for (int i = 0; i < plist::kMaxDepth; ++i)
        deep = QVariantList{deep};
    QString error;
    QVERIFY(plist::writeBinary(deep, &error).isEmpty());
    QVERIFY(error.contains(u"nested deeper"_s));
    QVERIFY(plist::writeXml(deep, &error).isEmpty());
}

void PlistTest::valueLimitsAreHonoured_data() {
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<quint64>("maxValues");
    QTest::addColumn<bool>("accepted");
    // An array of three references and the array itself: four values.
    const QByteArray flat = bplist({array({1, 1, 1}), kOne});
    QTest::newRow("binary at the limit") << flat << quint64(4) << true;
    QTest::newRow("binary over the limit") << flat << quint64(3) << false;
    // Keys count as values: the dictionary, two keys, two values.
    const QByteArray dictionary =
        bplist({bytes({0xD2, 1, 2, 3, 3}), bytes({0x51, 'a'}), bytes({0x51, 'b'}), kOne});
    QTest::newRow("dictionary at the limit") << dictionary << quint64(5) << true;
    QTest::newRow("dictionary over the limit") << dictionary << quint64(4) << false;
    // Every reference to a shared array counts its values again.
    const QByteArray shared = bplist({array({1, 1}), array({2, 2}), kOne});
    QTest::newRow("shared at the limit") << shared << quint64(7) << true;
    QTest::newRow("shared over the limit") << shared << quint64(6) << false;
    // More objects than values cannot be a tree within the limit.
    QTest::newRow("objects over the limit") << bplist({kOne, kOne, kOne}) << quint64(2) << false;
    const QByteArray xml =
        xmlDocument(QStringLiteral("<dict><key>a</key><array><true/><true/></array></dict>"))
            .toUtf8();
    QTest::newRow("xml at the limit") << xml << quint64(5) << true;
    QTest::newRow("xml over the limit") << xml << quint64(4) << false;
}

void PlistTest::valueLimitsAreHonoured() {
    QFETCH(QByteArray, input);
    QFETCH(quint64, maxValues);
    QFETCH(bool, accepted);
    const Result<plist::Document> result = plist::read(input, plist::ReadLimits{maxValues});
    QCOMPARE(result.ok(), accepted);
    if (accepted)
        QVERIFY(plist::sameValue(result->value, plist::read(input)->value));
    else
        QVERIFY2(result.error().contains(QStringLiteral("limit of %1 values").arg(maxValues)),
                 qPrintable(result.error()));
}

void PlistTest::hostileXmlIsRefused_data() {
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("error");
    const QByteArray laughs = "<?xml version=\"1.0\"?>\n<!DOCTYPE plist [<!ENTITY a \"aaaaaaaaaa\">"
                              "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">]>\n"
                              "<plist version=\"1.0\"><string>&b;</string></plist>";
    QTest::newRow("internal subset") << laughs << "DTD";
    QTest::newRow("undeclared entity")
        << xmlDocument(u"<string>&nope;</string>"_s).toUtf8() << u""_s;
    QTest::newRow("unknown tag") << xmlDocument(u"<dict><key>a</key><foo/></dict>"_s).toUtf8()
                                 << "unknown element <foo>";
    QTest::newRow("key without value")
        << xmlDocument(u"<dict><key>a</key></dict>"_s).toUtf8() << u"no value"_s;
    QTest::newRow("key after key")
        << xmlDocument(u"<dict><key>a</key><key>b</key></dict>"_s).toUtf8() << u"no value"_s;
    QTest::newRow("value without key")
        << xmlDocument(u"<dict><string>a</string></dict>"_s).toUtf8() << u"where a <key> belongs"_s;
    QTest::newRow("text in array")
        << xmlDocument(u"<array>hello</array>"_s).toUtf8() << u"text outside"_s;
    QTest::newRow("element in string")
        << xmlDocument(u"<string>a<true/></string>"_s).toUtf8() << u"inside a text element"_s;
    QTest::newRow("two values") << xmlDocument(u"<true/><false/>"_s).toUtf8() << u"more than one"_s;
    QTest::newRow("no value") << xmlDocument(u""_s).toUtf8() << u"no value"_s;
    QTest::newRow("not plist") << QByteArray("<array/>") << "not <plist>";
    QTest::newRow("integer overflow")
        << xmlDocument(u"<integer>18446744073709551616</integer>"_s).toUtf8()
        << u"malformed <integer>"_s;
    QTest::newRow("integer underflow")
        << xmlDocument(u"<integer>-9223372036854775809</integer>"_s).toUtf8()
        << u"malformed <integer>"_s;
    QTest::newRow("integer text") << xmlDocument(u"<integer>12a</integer>"_s).toUtf8()
                                  << "malformed <integer>";
    QTest::newRow("real text") << xmlDocument(u"<real>one</real>"_s).toUtf8()
                               << u"malformed <real>"_s;
    QTest::newRow("base64") << xmlDocument(u"<data>AA!=</data>"_s).toUtf8()
                            << u"malformed <data>"_s;
    QTest::newRow("date") << xmlDocument(u"<date>2026-13-01T00:00:00Z</date>"_s).toUtf8()
                          << "malformed <date>";
    QTest::newRow("true with text")
        << xmlDocument(u"<true>x</true>"_s).toUtf8() << u"malformed <true>"_s;
    QTest::newRow("unclosed") << QByteArray("<plist><array>") << "";
    QTest::newRow("garbage") << QByteArray("\x01\x02 hello") << "";
    QTest::newRow("trailing text") << xmlDocument(u"<true/>"_s).toUtf8() + "junk"
                                   << "";
}

void PlistTest::hostileXmlIsRefused() {
    verifyRefused(plist::read);
}

void PlistTest::unwritableValuesAreRefused() {
    const QList<QVariant> values{
        QVariant(),
        QVariant(QPoint(1, 2)),
        QVariant(QDateTime()),
        QVariant(QVariantList{QVariantMap{{u"k"_s, QVariant::fromValue(QPoint())}}}),
        QVariant(QString(QChar(0xD800))),
    };
    for (const QVariant& value : values) {
        QString error;
        QVERIFY(plist::writeBinary(value, &error).isEmpty());
        QVERIFY(!error.isEmpty());
        error.clear();
        QVERIFY(plist::writeXml(value, &error).isEmpty());
        QVERIFY(!error.isEmpty());
    }
    // XML cannot carry most control characters; the binary form can.
    QString error;
    QVERIFY(plist::writeXml(u"a\x01"_s, &error).isEmpty());
    QVERIFY2(error.contains(u"U+0001"_s), qPrintable(error));
    QVERIFY(!plist::writeBinary(u"a\x01"_s).isEmpty());
}

QTEST_GUILESS_MAIN(PlistTest)
#include "tst_plist.moc"
