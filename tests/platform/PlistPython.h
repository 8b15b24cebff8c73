#pragma once

// Python's plistlib as an independent second opinion on property-list bytes.

#include <QByteArray>
#include <QDateTime>
#include <QProcess>
#include <QStringList>
#include <QVariant>
#include <limits>
#include <optional>

namespace vantle::test {

// A value that every suite can check on both sides: the same value as a Python expression and as
// a QVariant.
inline constexpr QLatin1StringView kSamplePython{R"PY({
    "ascii": "Request", "empty": "", "latin": "caf\u00e9", "cjk": "\u65e5\u672c",
    "emoji": "\U0001F600 smile", "markup": "a<b>&c\nd\t",
    "ints": [0, 1, 14, 15, 255, 256, 65535, 65536, 4294967295, 4294967296,
             9223372036854775807, -1, -9223372036854775808, 18446744073709551615],
    "reals": [1.5, -2.25, 1e300, 0.1, 0.0],
    "flags": [True, False],
    "date": datetime.datetime(2026, 12, 6, 5, 41, 44),
    "data": b"\x00\x01\xffabc", "nodata": b"", "long": "x" * 40,
    "nested": {"list": [[], {}, [1, [2, [3]]]], "dict": {}},
})PY"};

inline QVariant sampleValue() {
    const QVariantList ints{qint64(0),
                            qint64(1),
                            qint64(14),
                            qint64(15),
                            qint64(255),
                            qint64(256),
                            qint64(65535),
                            qint64(65536),
                            qint64(4294967295LL),
                            qint64(4294967296LL),
                            qint64(9223372036854775807LL),
                            qint64(-1),
                            std::numeric_limits<qint64>::min(),
                            std::numeric_limits<quint64>::max()};
    const QVariantList nestedList{
        QVariantList{}, QVariantMap{},
        QVariantList{qint64(1), QVariantList{qint64(2), QVariantList{qint64(3)}}}};
    return QVariantMap{
        {QStringLiteral("ascii"), QStringLiteral("Request")},
        {QStringLiteral("empty"), QString()},
        {QStringLiteral("latin"), QString::fromUtf8("caf\xc3\xa9")},
        {QStringLiteral("cjk"), QString::fromUtf8("\xe6\x97\xa5\xe6\x9c\xac")},
        {QStringLiteral("emoji"), QString::fromUtf8("\xf0\x9f\x98\x80 smile")},
        {QStringLiteral("markup"), QStringLiteral("a<b>&c\nd\t")},
        {QStringLiteral("ints"), ints},
        {QStringLiteral("reals"), QVariantList{1.5, -2.25, 1e300, 0.1, 0.0}},
        {QStringLiteral("flags"), QVariantList{true, false}},
        {QStringLiteral("date"), QDateTime(QDate(2026, 12, 6), QTime(5, 41, 44), Qt::UTC)},
        {QStringLiteral("data"), QByteArray("\x00\x01\xff"
                                            "abc",
                                            6)},
        {QStringLiteral("nodata"), QByteArray()},
        {QStringLiteral("long"), QString(40, u'x')},
        {QStringLiteral("nested"), QVariantMap{{QStringLiteral("list"), nestedList},
                                               {QStringLiteral("dict"), QVariantMap{}}}},
    };
}

// Runs a Python script (with `plistlib`, `datetime`, `math` and `sys` imported) and returns its
// standard output, or nothing when it fails.
inline std::optional<QByteArray> runPython(const QString& script, const QStringList& args = {},
                                           QByteArray* errors = nullptr) {
    constexpr int kPythonTimeoutMs = 60000;
    QProcess python;
    python.start(QStringLiteral("python3"),
                 QStringList{QStringLiteral("-c"),
                             QStringLiteral("import plistlib, datetime, math, sys\n") + script} +
                     args);
    if (!python.waitForFinished(kPythonTimeoutMs)) {
        python.kill();
        python.waitForFinished();
        return std::nullopt;
    }
    if (errors) *errors = python.readAllStandardError();
    if (python.exitStatus() != QProcess::NormalExit || python.exitCode() != 0) return std::nullopt;
    return python.readAllStandardOutput();
}

// Asks plistlib whether the file holds `expected` (a Python expression); returns "OK" or what
// plistlib made of it.
inline QByteArray pythonCompares(const QString& path, const QString& expected) {
    QByteArray errors;
    const auto out =
        runPython(QStringLiteral("v = plistlib.load(open(sys.argv[1], 'rb'))\n"
                                 "e = %1\n"
                                 "print('OK' if v == e else 'DIFFERENT: ' + repr(v))\n")
                      .arg(expected),
                  {path}, &errors);
    return out ? out->trimmed() : "python failed: " + errors;
}

} // namespace vantle::test
