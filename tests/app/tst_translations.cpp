// The catalogues as main installs them: the user's language from the environment, Qt's own texts
// in it with its plural forms, and English where there is no catalogue.
#include "app/Translations.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>
#include <QtTest>

namespace {

const char kNotifier[] = "vantle::DesktopNotifier";
const char kFilesSent[] = "%n file(s) were sent to your iPhone.";

} // namespace

class TranslationsTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() {
        // Back to no catalogue at all, the English one of the suites included.
        for (QTranslator* translator : QCoreApplication::instance()->findChildren<QTranslator*>()) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
    }

    void theUsersLanguageComesFromLanguage() {
        QCOMPARE(QLocale::system().uiLanguages().value(0).left(2), QStringLiteral("de"));
    }

    void texts_data() {
        QTest::addColumn<QStringList>("languages");
        QTest::addColumn<QString>("context");
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("shown");

        const QStringList system = QLocale::system().uiLanguages();
        const QStringList english{QStringLiteral("en-US")};
        QTest::newRow("English: one file") << english << kNotifier << kFilesSent << 1
                                           << QStringLiteral("1 file was sent to your iPhone.");
        QTest::newRow("English: files") << english << kNotifier << kFilesSent << 3
                                        << QStringLiteral("3 files were sent to your iPhone.");
        QTest::newRow("German: Qt's own button") << system << "QPlatformTheme"
                                                 << "Cancel" << -1 << QStringLiteral("Abbrechen");
        QTest::newRow("German: one file")
            << system << kNotifier << kFilesSent << 1
            << QStringLiteral("1 Datei wurde an Ihr iPhone gesendet.");
        QTest::newRow("German: files")
            << system << kNotifier << kFilesSent << 2
            << QStringLiteral("2 Dateien wurden an Ihr iPhone gesendet.");
        QTest::newRow("a language without a catalogue: English")
            << QStringList{QStringLiteral("tlh")} << kNotifier << kFilesSent << 2
            << QStringLiteral("2 files were sent to your iPhone.");
    }

    void texts() {
        QFETCH(QStringList, languages);
        QFETCH(QString, context);
        QFETCH(QString, source);
        QFETCH(int, count);
        QFETCH(QString, shown);
        vantle::translations::install(*QCoreApplication::instance(), languages);
        QCOMPARE(
            QCoreApplication::translate(qPrintable(context), qPrintable(source), nullptr, count),
            shown);
    }
};

int main(int argc, char** argv) {
    // The user's languages as a desktop sets them: LANGUAGE before the locale.
    qputenv("LANGUAGE", "de:fr");
    qputenv("LANG", "C.UTF-8");
    qunsetenv("LC_ALL");
    qunsetenv("LC_MESSAGES");
    QCoreApplication app(argc, argv);
    TranslationsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_translations.moc"
