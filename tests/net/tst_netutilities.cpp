#include "net/NetUtilities.h"

#include <QTest>
#include <arpa/inet.h>
#include <netinet/in.h>

using namespace Qt::StringLiterals;

using namespace vantle;

namespace {
sockaddr_in ipv4(const char* address, quint16 port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    inet_pton(AF_INET, address, &a.sin_addr);
    return a;
}
} // namespace

class NetUtilitiesTest : public QObject {
    Q_OBJECT
private slots:
    void addressTexts() {
        const sockaddr_in phone = ipv4("192.0.2.7", 34345);
        const auto* raw = reinterpret_cast<const sockaddr*>(&phone);
        QCOMPARE(IPAddressToIPString(raw).value_or(u"none"_s), u"192.0.2.7"_s);
        QCOMPARE(IPAddressToString(raw, true, true).value_or(u"none"_s), u"192.0.2.7:34345"_s);
        const sockaddr_in noPort = ipv4("127.0.0.1", 0);
        QCOMPARE(IPAddressToString(reinterpret_cast<const sockaddr*>(&noPort), true, true)
                     .value_or(u"none"_s),
                 u"127.0.0.1"_s);
        QVERIFY(!IPAddressToIPString(nullptr));
        QVERIFY(!IPAddressToString(nullptr, true, true));
    }

    void uniqueIdForms() {
        QCOMPARE(hardwareAddressText(QByteArray::fromHex("001a2b3c4d5e")), u"00-1A-2B-3C-4D-5E"_s);
        QCOMPARE(hardwareAddressText(QByteArray::fromHex("000000000000")), QString());
        QCOMPARE(hardwareAddressText({}), QString());
        QCOMPARE(normalizedUniqueID(u"my-pc:office"_s), u"MY-PC-OFFICE"_s);

        const auto id = HostGetUniqueID();
        QVERIFY(id && !id->isEmpty());
        QCOMPARE(*id, id->toUpper());
        QVERIFY(!id->contains(QLatin1Char(':')));
        QCOMPARE(HostGetUniqueID(), id);
        QCOMPARE(HostGetUniqueID(), id);
        QCOMPARE(HostUniqueIDComputations(), 1); // the adapters were walked once
    }

    void serviceType() {
        QCOMPARE(_MakeServiceType(u"GAME-0123ABCD"_s, u"tcp"_s).value_or(u"none"_s),
                 u"_GAME-0123ABCD._tcp."_s);
        QVERIFY(!_MakeServiceType(u"GAME-0123ABCD"_s, u""_s));
        QVERIFY(!_MakeServiceType(u""_s, u"tcp"_s));
    }
};

QTEST_GUILESS_MAIN(NetUtilitiesTest)
#include "tst_netutilities.moc"
