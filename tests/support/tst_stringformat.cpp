#include "support/StringFormat.h"

#include <QTest>
#include <memory>

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
        QCOMPARE(stringWithFormat("%d|%i|%u", -5, 7, 4000000000u), QString("-5|7|4000000000"));
        QCOMPARE(stringWithFormat("%x %X %08X", 255, 255, 0x1234ABCDu), QString("ff FF 1234ABCD"));
        QCOMPARE(stringWithFormat("%lld %ld", qint64(-9000000000), 12L), QString("-9000000000 12"));
        QCOMPARE(stringWithFormat("%f %.1f", 1.5, 2.25), QString("1.500000 2.2"));
        QCOMPARE(stringWithFormat("%.2X-%.2X", 0x0a, 0xff), QString("0A-FF"));
        QCOMPARE(stringWithFormat("%5d|%-5d|", 42, 42), QString("   42|42   |"));
    }

    void objectsThroughAt() {
        QCOMPARE(stringWithFormat("%@ and %@", QString("text"), 12), QString("text and 12"));
        QCOMPARE(stringWithFormat("%@", QByteArray("\x01\x02\x03\x04\x05", 5)),
                 QString("<01020304 05>"));
        QCOMPARE(stringWithFormat("%@", Described{}), QString("<peer A>"));
        auto shared = std::make_shared<Described>();
        QCOMPARE(stringWithFormat("%@", shared), QString("<peer A>"));
        const Described* none = nullptr;
        QCOMPARE(stringWithFormat("%@", none), QString("(null)"));
        QCOMPARE(stringWithFormat("%@", QVariant()), QString("(null)"));
        QCOMPARE(stringWithFormat("%@", QVariant(QVariantList{1, "a"})), QString("(1, a)"));
        QCOMPARE(stringWithFormat("%s: %s", "op", QString("é")), QString("op: é"));
    }

    void percentAndMismatches() {
        QCOMPARE(stringWithFormat("100%% done"), QString("100% done"));
        // Too few arguments never reads past the end.
        QCOMPARE(stringWithFormat("%d and %d", 1), QString("1 and (missing)"));
        // A trailing lone percent and unknown conversions stay as written.
        QCOMPARE(stringWithFormat("50%"), QString("50%"));
        QCOMPARE(stringWithFormat("%y", 3), QString("%y"));
        // Numbers given to %s and text given to %d still come out sensibly.
        QCOMPARE(stringWithFormat("%s", 7), QString("7"));
        QCOMPARE(stringWithFormat("%d", true), QString("1"));
    }
};

QTEST_APPLESS_MAIN(StringFormatTest)
#include "tst_stringformat.moc"
