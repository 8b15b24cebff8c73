#include "NetTestSupport.h"
#include "net/FrameReader.h"

#include <QtTest>

using namespace vantle;
using namespace vantle::test;

class FrameReaderTest : public QObject {
    Q_OBJECT

private slots:
    void headerSplitAtEveryByteStillDeliversTheFrame() {
        const QByteArray payload("hello, phone");
        const QByteArray stream = frame(payload);
        for (qsizetype cut = 1; cut < stream.size(); ++cut) {
            FrameReader reader;
            std::vector<QByteArray> frames;
            QCOMPARE(reader.feed(stream.first(cut), frames), FrameReader::Status::NeedMore);
            QVERIFY(frames.empty());
            QVERIFY(reader.midFrame());
            reader.feed(stream.sliced(cut), frames);
            QCOMPARE(frames.size(), size_t(1));
            QCOMPARE(frames.front(), payload);
            QVERIFY(!reader.midFrame());
        }
    }

    void severalFramesInOneReadAllComeOutInOrder() {
        const QByteArray stream = frame("one") + frame("") + frame("three") + frame("fo");
        FrameReader reader;
        std::vector<QByteArray> frames;
        reader.feed(stream, frames);
        QCOMPARE(frames.size(), size_t(4));
        QCOMPARE(frames[0], QByteArray("one"));
        QVERIFY(frames[1].isEmpty());
        QCOMPARE(frames[2], QByteArray("three"));
        QCOMPARE(frames[3], QByteArray("fo"));
    }

    void zeroLengthFrameIsDeliveredFromItsHeaderAlone() {
        FrameReader reader;
        std::vector<QByteArray> frames;
        QCOMPARE(reader.feed(frame(QByteArray()), frames), FrameReader::Status::NeedMore);
        QCOMPARE(frames.size(), size_t(1));
        QVERIFY(frames.front().isEmpty());
    }

    void payloadFilledByteByByteInPlace() {
        QByteArray payload(1000, Qt::Uninitialized);
        for (int i = 0; i < payload.size(); ++i)
            payload[i] = char(i % 251);
        const QByteArray stream = frame(payload);
        FrameReader reader;
        std::vector<QByteArray> frames;
        for (const char byte : stream) {
            const std::span<char> room = reader.buffer();
            QVERIFY(!room.empty());
            room[0] = byte;
            if (reader.advance(1) == FrameReader::Status::FrameReady)
                frames.push_back(reader.takeFrame());
        }
        QCOMPARE(frames.size(), size_t(1));
        QCOMPARE(frames.front(), payload);
    }

    // A payload still held by its taker is never filled again; one let go of is.
    void payloadBufferIsReusedOnlyOnceLetGo() {
        FrameReader reader;
        std::vector<QByteArray> kept;
        reader.feed(frame(QByteArray(1000, 'a')), kept);
        reader.feed(frame(QByteArray(1000, 'b')), kept);
        QCOMPARE(kept.size(), std::size_t(2));
        QCOMPARE(kept[0], QByteArray(1000, 'a'));
        QVERIFY(kept[0].constData() != kept[1].constData());
        const char* buffer = kept[1].constData();
        kept.clear();
        reader.feed(frame(QByteArray(900, 'c')), kept);
        QCOMPARE(kept.size(), std::size_t(1));
        QCOMPARE(kept[0], QByteArray(900, 'c'));
        QCOMPARE(kept[0].constData(), buffer);
    }

    void byteSwappedMagicIsRefusedAndStaysRefused() {
        QByteArray stream = frame("x");
        std::reverse(stream.begin(), stream.begin() + 4); // AB CD 12 34 ... swapped order
        stream[0] = char(0xAB), stream[1] = char(0xCD), stream[2] = 0x12, stream[3] = 0x34;
        FrameReader reader;
        std::vector<QByteArray> frames;
        QCOMPARE(reader.feed(stream, frames), FrameReader::Status::BadMagic);
        QCOMPARE(reader.announcedMagic(), 0xABCD1234u);
        QCOMPARE(reader.feed(frame("after"), frames), FrameReader::Status::BadMagic);
        QVERIFY(frames.empty());
        QVERIFY(reader.buffer().empty());
    }

    void oversizeFrameIsRefusedBeforeAnyAllocation() {
        FrameReader reader;
        std::vector<QByteArray> frames;
        const auto header = frameHeader(wire::kMaxFramePayload + 1);
        QCOMPARE(reader.feed(QByteArrayView(header.data(), header.size()), frames),
                 FrameReader::Status::TooLarge);
        QCOMPARE(reader.announcedLength(), wire::kMaxFramePayload + 1);
        QVERIFY(reader.buffer().empty());

        FrameReader small(16);
        QCOMPARE(small.feed(frame(QByteArray(16, 'a')), frames), FrameReader::Status::NeedMore);
        QCOMPARE(small.feed(frame(QByteArray(17, 'a')), frames), FrameReader::Status::TooLarge);
        QCOMPARE(frames.size(), size_t(1));
    }
};

QTEST_GUILESS_MAIN(FrameReaderTest)
#include "tst_framereader.moc"
