#include "support/StringFormat.h"

#include <QTest>
#include <memory>

using namespace Qt::StringLiterals;

using namespace vantle;

namespace {
struct Described {
    QString description() const { return QStringLiteral("<peer A>"); }
};
} // namespace

class StringFormatTest : public QObject {
    Q_OBJECT
private slots:
    void printfConversions() {
        QCOMPARE(stringWithFormat("%d|%i|%u", -5, 7, 4000000000u), u"-5|7|4000000000"_s);
        QCOMPARE(stringWithFormat("%x %X %08X", 255, 255, 0x1234ABCDu), u"ff FF 1234ABCD"_s);
        QCOMPARE(stringWithFormat("%lld %ld", qint64(-9000000000), 12L), u"-9000000000 12"_s);
        QCOMPARE(stringWithFormat("%f %.1f", 1.5, 2.25), u"1.500000 2.2"_s);
        QCOMPARE(stringWithFormat("%.2X-%.2X", 0x0a, 0xff), u"0A-FF"_s);
        QCOMPARE(stringWithFormat("%5d|%-5d|", 42, 42), u"   42|42   |"_s);
    }

    void objectsThroughAt() {
        QCOMPARE(stringWithFormat("%@ and %@", u"text"_s, 12), u"text and 12"_s);
        QCOMPARE(stringWithFormat("%@", QByteArray("\x01\x02\x03\x04\x05", 5)), u"<01020304 05>"_s);
        QCOMPARE(stringWithFormat("%@", Described{}), u"<peer A>"_s);
        auto shared = std::make_shared<Described>();
        QCOMPARE(stringWithFormat("%@", shared), u"<peer A>"_s);
        const Described* none = nullptr;
        QCOMPARE(stringWithFormat("%@", none), u"(null)"_s);
        QCOMPARE(stringWithFormat("%@", QVariant()), u"(null)"_s);
        QCOMPARE(stringWithFormat("%@", QVariant(QVariantList{1, u"a"_s})), u"(1, a)"_s);
        QCOMPARE(stringWithFormat("%s: %s", "op", u"é"_s), u"op: é"_s);
    }

    void percentAndMismatches() {
        QCOMPARE(stringWithFormat("100%% done"), u"100% done"_s);
        // Too few arguments never reads past the end.
        QCOMPARE(stringWithFormat("%d and %d", 1), u"1 and (missing)"_s);
        // A trailing lone percent and unknown conversions stay as written.
        QCOMPARE(stringWithFormat("50%"), u"50%"_s);
        QCOMPARE(stringWithFormat("%y", 3), u"%y"_s);
        // Numbers given to %s and text given to %d still come out sensibly.
        QCOMPARE(stringWithFormat("%s", 7), u"7"_s);
        QCOMPARE(stringWithFormat("%d", true), u"1"_s);
    }
};

QTEST_APPLESS_MAIN(StringFormatTest)
#include "tst_stringformat.moc"
