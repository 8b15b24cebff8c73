// Start at login: the autostart entry written whole and valid, removed again, and the reason when
// it cannot be.
#include "platform/Autostart.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace vantle;
using namespace Qt::StringLiterals;

namespace {

constexpr int kValidatorMs = 10'000;

Autostart autostartIn(const QString& configFolder) {
    return Autostart({u"invalid.vantle.Vantle"_s, u"Vantle"_s, u"vantle --hidden"_s}, configFolder);
}

} // namespace

class AutostartTest : public QObject {
    Q_OBJECT

private slots:
    void enablingWritesAValidEntryDisablingRemovesIt() {
        QTemporaryDir config;
        const Autostart autostart = autostartIn(config.path());
        QCOMPARE(autostart.entryPath(),
                 config.filePath(u"autostart/invalid.vantle.Vantle.desktop"_s));
        QVERIFY(!autostart.enabled());
        const Result<void> on = autostart.setEnabled(true);
        QVERIFY2(on.ok(), qPrintable(on.error()));
        QVERIFY(autostart.enabled());
        QFile entry(autostart.entryPath());
        QVERIFY(entry.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(entry.readAll());
        QVERIFY(text.startsWith(u"[Desktop Entry]\n"_s));
        QVERIFY(text.contains(u"\nExec=vantle --hidden\n"_s));
        QVERIFY(text.contains(u"\nX-GNOME-Autostart-enabled=true\n"_s));
        // Enabled twice is still one entry.
        QVERIFY(autostart.setEnabled(true).ok());

        const QString validator = QStandardPaths::findExecutable(u"desktop-file-validate"_s);
        if (!validator.isEmpty()) {
            QProcess validate;
            validate.setProcessChannelMode(QProcess::MergedChannels);
            validate.start(validator, {autostart.entryPath()});
            QVERIFY(validate.waitForFinished(kValidatorMs));
            QVERIFY2(validate.exitCode() == 0, validate.readAll().constData());
        }

        QVERIFY(autostart.setEnabled(false).ok());
        QVERIFY(!autostart.enabled());
        QVERIFY(!QFileInfo::exists(autostart.entryPath()));
        // Nothing to remove is no error.
        QVERIFY(autostart.setEnabled(false).ok());
    }

    // A file where the autostart folder belongs, and a folder nothing can be written in.
    void unwritableFolderIsAnError_data() {
        QTest::addColumn<bool>("autostartIsAFile");
        QTest::addColumn<QString>("configFolder");
        QTest::newRow("autostart is a file") << true << QString();
        QTest::newRow("in /proc") << false << u"/proc"_s;
    }
    void unwritableFolderIsAnError() {
        QFETCH(bool, autostartIsAFile);
        QFETCH(QString, configFolder);
        QTemporaryDir config;
        if (autostartIsAFile) {
            configFolder = config.path();
            QFile blocker(config.filePath(u"autostart"_s));
            QVERIFY(blocker.open(QIODevice::WriteOnly));
        }
        const Autostart autostart = autostartIn(configFolder);
        const Result<void> on = autostart.setEnabled(true);
        QVERIFY(!on.ok());
        QVERIFY2(on.error().contains(configFolder + u"/autostart"_s), qPrintable(on.error()));
        QVERIFY(!autostart.enabled());
    }
};

QTEST_GUILESS_MAIN(AutostartTest)
#include "tst_autostart.moc"
