// The line beside the name of the item being uploaded: sizes, speed, time left, items left, and
// how often it may change.
#include "app/UploadProgressText.h"
#include "files/FSNodeInfo.h"

#include <QTest>

using namespace vantle;

namespace {

constexpr quint64 kMB = 1024 * 1024;

} // namespace

class UploadProgressTextTest : public QObject {
    Q_OBJECT

private slots:
    void describe_data() {
        QTest::addColumn<quint64>("sent");
        QTest::addColumn<quint64>("total");
        QTest::addColumn<double>("rate"); // negative: not known yet
        QTest::addColumn<int>("itemsLeft");
        QTest::addColumn<QString>("expected");
        QTest::newRow("speed not known yet") << quint64(0) << 5 * kMB << -1.0 << 3
                                             << QStringLiteral("0 Bytes of 5 MB, 3 items left");
        QTest::newRow("one item") << 2 * kMB << 4 * kMB << double(kMB) << 1
                                  << QStringLiteral("2 MB of 4 MB, 1 MB/s, 2 s left, 1 item left");
        QTest::newRow("time left rounds up")
            << quint64(0) << 3 * kMB + 1 << double(kMB) << 2
            << QStringLiteral("0 Bytes of 3 MB, 1 MB/s, 4 s left, 2 items left");
        QTest::newRow("minutes") << quint64(0) << 130 * kMB << double(kMB) << 1
                                 << QStringLiteral("0 Bytes of 130 MB, 1 MB/s, 2 min 10 s left, 1 "
                                                   "item left");
        QTest::newRow("stalled: no time left") << kMB << 2 * kMB << 0.0 << 1
                                               << QStringLiteral("1 MB of 2 MB, 0 Bytes/s, 1 item "
                                                                 "left");
        // A folder's total counts its entries too; what was sent never shows beyond it.
        QTest::newRow("sent passes the total")
            << 3 * kMB << 2 * kMB << double(kMB) << 1
            << QStringLiteral("3 MB of 3 MB, 1 MB/s, 0 s left, 1 item left");
    }
    void describe() {
        QFETCH(quint64, sent);
        QFETCH(quint64, total);
        QFETCH(double, rate);
        QFETCH(int, itemsLeft);
        QFETCH(QString, expected);
        const std::optional<double> speed = rate < 0 ? std::nullopt : std::optional(rate);
        QCOMPARE(UploadProgressText::describe(sent, total, speed, itemsLeft), expected);
    }

    void durations() {
        QCOMPARE(UploadProgressText::durationText(-3), QStringLiteral("0 s"));
        QCOMPARE(UploadProgressText::durationText(59), QStringLiteral("59 s"));
        QCOMPARE(UploadProgressText::durationText(60), QStringLiteral("1 min 0 s"));
        QCOMPARE(UploadProgressText::durationText(3599), QStringLiteral("59 min 59 s"));
        QCOMPARE(UploadProgressText::durationText(3 * 3600 + 125), QStringLiteral("3 h 2 min"));
    }

    // Ticks come every 100 ms; the line moves at most every 250 ms, with a speed that follows a
    // change without jumping to it.
    void updatesAtMostFourTimesASecond() {
        UploadProgressText line;
        line.start(10 * kMB, 1000);
        QVERIFY(line.text().isEmpty());
        QVERIFY(line.update(kMB / 4, 4, 1250));
        QCOMPARE(*line.bytesPerSecond(), double(kMB));
        QCOMPARE(line.text(), QStringLiteral("256 KB of 10 MB, 1 MB/s, 10 s left, 4 items left"));
        int changes = 1;
        quint64 sent = 0;
        for (qint64 now = 1300; now <= 2200; now += 100) {
            sent = quint64(now - 1000) * kMB / 1000;
            changes += line.update(sent, 4, now) ? 1 : 0;
        }
        // Shown at 1250, then no sooner than 250 ms later each time: 1500, 1800, 2100.
        QCOMPARE(changes, 4);
        QVERIFY(qAbs(*line.bytesPerSecond() - double(kMB)) < 8.0);

        // Twice as fast from here: the speed moves towards it without jumping there.
        QVERIFY(line.update(sent + kMB / 2, 3, 2450));
        QVERIFY(*line.bytesPerSecond() > 1.1 * kMB);
        QVERIFY(*line.bytesPerSecond() < 1.9 * kMB);
        QVERIFY(line.text().endsWith(QStringLiteral(", 3 items left")));

        // A new item forgets the old speed.
        line.start(kMB, 5000);
        QVERIFY(!line.bytesPerSecond());
        QVERIFY(line.text().isEmpty());
    }

    void sizesAreTheFileCellsSizes() {
        QCOMPARE(UploadProgressText::describe(1536, 1536 * 1024, std::nullopt, 0),
                 FSNodeInfo::getSizeText(1536) + QStringLiteral(" of ") +
                     FSNodeInfo::getSizeText(1536 * 1024) + QStringLiteral(", 0 items left"));
    }
};

QTEST_GUILESS_MAIN(UploadProgressTextTest)
#include "tst_uploadprogresstext.moc"
