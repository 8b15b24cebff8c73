#include "ScriptedDnsSdControl.h"
#include "net/DnsSdLibrary.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

using namespace vantle;

// Runs in order: a missing and a damaged library must leave no half-filled entry points behind,
// and a good one loaded afterwards must still work.
class DnsSdLoaderTest : public QObject {
    Q_OBJECT
private slots:
    void missingLibraryIsFalse() {
        QTemporaryDir dir;
        qputenv("VANTLE_DNSSD_LIBRARY", dir.filePath(u"libnothing.so"_s).toUtf8());
        QVERIFY(!loadBonjourDLL());
        QVERIFY(dnsSdLoadError().contains(u"could not be loaded"_s));
        QVERIFY(!dnsSdFunction("DNSServiceRegister"));
        QVERIFY(!mDNSServiceBrowseFn);
        QCOMPARE(qgetenv("AVAHI_COMPAT_NOWARN"), QByteArray("1"));
    }

    void libraryLackingOneFunctionIsFalse() {
        qputenv("VANTLE_DNSSD_LIBRARY", scriptedDnsSdPath("scripted_dnssd_incomplete").toUtf8());
        QVERIFY(!loadBonjourDLL());
        QVERIFY(dnsSdLoadError().contains(u"DNSServiceReconfirmRecord"_s));
        QVERIFY(!mDNSServiceBrowseFn && !mDNSServiceResolveFn && !mDNSServiceQueryRecordFn &&
                !mDNSServiceRefSockFDFn && !mDNSServiceProcessResultFn &&
                !mDNSServiceRefDeallocateFn && !mDNSServiceReconfirmRecordFn);
    }

    void completeLibraryLoadsAndStays() {
        useScriptedDnsSd();
        QVERIFY(loadBonjourDLL());
        QVERIFY(dnsSdLoadError().isEmpty());
        QVERIFY(mDNSServiceBrowseFn && mDNSServiceResolveFn && mDNSServiceQueryRecordFn &&
                mDNSServiceRefSockFDFn && mDNSServiceProcessResultFn &&
                mDNSServiceRefDeallocateFn && mDNSServiceReconfirmRecordFn);
        QVERIFY(dnsSdFunction("DNSServiceRegister"));
        QVERIFY(!dnsSdFunction("DNSServiceNoSuchCall"));
        // Once loaded, naming another library changes nothing.
        qputenv("VANTLE_DNSSD_LIBRARY", "/nonexistent/libdns_sd.so");
        QVERIFY(loadBonjourDLL());
    }
};

QTEST_GUILESS_MAIN(DnsSdLoaderTest)
#include "tst_dnssdloader.moc"
