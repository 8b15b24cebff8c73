// Edit → Preferences...: its boxes in step with the File menu's items, the folder the user's
// downloads go to, Start at login, and the start in the background that it leads to.
#include "app/AppDelegate.h"
#include "app/prefs/PreferencesDialog.h"
#include "net/GameClient.h"
#include "platform/Defaults.h"
#include "platform/Settings.h"
#include "support/ParoxLogger.h"
#include "support/harness/AppProcess.h"
#include "support/harness/Files.h"
#include "support/harness/Program.h"
#include "ui/IDDragTableView.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>

using namespace vantle;
using namespace Qt::StringLiterals;
using vantle::test::Phone;

namespace {

constexpr int kWaitMs = vantle::test::kProgramWaitMs;
const QString kUnableToSave = u"Unable To Save Download"_s;

QString autostartEntry() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           u"/autostart/invalid.vantle.Vantle.desktop"_s;
}

// The program with its preferences open, what the desktop was asked to open or reveal recorded.
struct Program : vantle::test::Program {
    QStringList desktop;

    Program() {
        const auto record = [this](const QString& verb) {
            return [this, verb](const QString& path) {
                desktop << verb + path;
                return true;
            };
        };
        controller->phonePane().setDesktopOpener({record(u"open "_s), record(u"reveal "_s)});
    }
    PreferencesDialog* openPreferences() const {
        action(u"showPreferences:"_s)->trigger();
        return find<PreferencesDialog>(u"preferencesDialog"_s);
    }
    template <class T> T* inPreferences(const QString& name) const {
        auto* dialog = find<PreferencesDialog>(u"preferencesDialog"_s);
        return dialog ? dialog->findChild<T*>(name) : nullptr;
    }
    QString shownFolder() const {
        return QDir::fromNativeSeparators(
            inPreferences<QLineEdit>(u"downloadFolderPath"_s)->text());
    }
    // Change..., then the folder chosen in its sheet; `checked` skips the dialog's own check of
    // the choice, as a folder that goes while the dialog is open would.
    bool chooseFolder(const QString& folder, bool checked = true) const {
        inPreferences<QPushButton>(u"changeDownloadFolder"_s)->click();
        if (!showsSheet(u"Download Folder"_s)) return false;
        auto* dialog = qobject_cast<QFileDialog*>(sheets().current());
        if (!dialog) return false;
        dialog->setDirectory(QFileInfo(folder).absolutePath());
        dialog->selectFile(folder);
        if (checked)
            static_cast<QDialog*>(dialog)->accept();
        else
            static_cast<QDialog*>(dialog)->done(QDialog::Accepted);
        return true;
    }
    bool connectToPhoneWith(const Phone& phone, const QString& name) const {
        controller->connectToTypedAddress(phone.address());
        return statusBecomes(vantle::test::kConnectedStatus) &&
               QTest::qWaitFor([&] { return rowOf(name) >= 0; }, kWaitMs);
    }
    int rowOf(const QString& name) const {
        const PhoneDataSource& rows = *phoneDataSource();
        for (int row = 0; row < rows.rowCount(); ++row)
            if (rows.data(rows.index(row, 0)).toString() == name) return row;
        return -1;
    }
};

// What a File menu item does, seen from outside, once it is on or off.
struct MenuToggle {
    const char* box;
    const char* action;
    QLatin1StringView key;
    std::function<bool(const Program&, bool on)> done;
};

const MenuToggle kToggles[] = {
    {"autoConnectBox", "autoConnectMenu:", settings::kAutoConnect.key,
     [](const Program& program, bool on) {
         const bool searching = program.clientServer().client()->isDiscoveringServers();
         if (on) return searching;
         return !searching && program.showsSheet(u"Manual Connect Mode"_s) &&
                program.sheets().answer(SheetPresenter::Role::Accept);
     }},
    {"loggingBox", "loggingMenu:", settings::kLogToFile.key,
     [](const Program&, bool on) {
         const auto logger = ParoxLogger::defaultLogger();
         return logger && logger->logToFile() == on &&
                (!on || QFile::exists(logger->logFilePath()));
     }},
    {"notificationsBox", "notificationsMenu:", settings::kShowNotifications.key,
     [](const Program& program, bool on) { return program->notifier().showNotifications() == on; }},
};

} // namespace

class PreferencesTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        vantle::test::startFromCleanSettings();
        QFile::remove(autostartEntry());
    }

    void oneWindowFromTheMenuThatEscapeCloses() {
        Program program;
        QAction* item = program.action(u"showPreferences:"_s);
        QCOMPARE(item->text(), u"Preferences..."_s);
        QCOMPARE(item->shortcut(), QKeySequence(u"Ctrl+,"_s));
        PreferencesDialog* dialog = program.openPreferences();
        QVERIFY(dialog && dialog->isVisible());
        QVERIFY(!dialog->isModal());
        QCOMPARE(program.openPreferences(), dialog);
        QCOMPARE(program.window()->findChildren<PreferencesDialog*>().size(), 1);
        QTest::keyClick(dialog, Qt::Key_Escape);
        QTRY_VERIFY_WITH_TIMEOUT(!dialog->isVisible(), kWaitMs);
    }

    void boxesDoWhatTheirMenuItemsDo_data() {
        QTest::addColumn<int>("toggle");
        for (int i = 0; i < int(std::size(kToggles)); ++i)
            QTest::newRow(kToggles[i].box) << i;
    }
    void boxesDoWhatTheirMenuItemsDo() {
        QFETCH(int, toggle);
        const MenuToggle& the = kToggles[toggle];
        Program program;
        QVERIFY(program.openPreferences());
        auto* box = program.inPreferences<QCheckBox>(QLatin1String(the.box));
        QAction* item = program.action(QLatin1String(the.action));
        QCOMPARE(box->text(), item->text());
        const bool before = item->isChecked();
        QCOMPARE(box->isChecked(), before);

        // The box turns the item, and what it does, over...
        box->click();
        QCOMPARE(item->isChecked(), !before);
        QCOMPARE(Defaults::boolForKey(QString(the.key), before), !before);
        QVERIFY(the.done(program, !before));
        // ...and the menu item turns the box back.
        item->trigger();
        QCOMPARE(box->isChecked(), before);
        QCOMPARE(Defaults::boolForKey(QString(the.key), !before), before);
        QVERIFY(the.done(program, before));
    }

    void aChosenFolderTakesTheUsersDownloadsAndTheStoreStays() {
        Phone phone;
        QVERIFY(vantle::test::writeFile(phone.path(u"note.txt"_s), "a note\n"));
        QTemporaryDir chosen;
        Program program;
        QVERIFY(program.openPreferences());
        const QString storeFolder = program.transfer().rootDir();
        QCOMPARE(program.shownFolder(), storeFolder);
        QVERIFY(!program.inPreferences<QPushButton>(u"useDefaultDownloadFolder"_s)->isEnabled());

        QVERIFY(program.chooseFolder(chosen.path()));
        QTRY_COMPARE_WITH_TIMEOUT(Defaults::get(settings::kDownloadFolder).value_or(QString()),
                                  chosen.path(), kWaitMs);
        QCOMPARE(program.shownFolder(), chosen.path());

        // Opened, then revealed, as downloads into the store are; each under a name of its own.
        QVERIFY(program.connectToPhoneWith(phone, u"note.txt"_s));
        emit program.phoneTable()->rowActivated(program.rowOf(u"note.txt"_s));
        QTRY_COMPARE_WITH_TIMEOUT(program.desktop.size(), 1, kWaitMs);
        emit program.phoneTable()->revealRequested(program.rowOf(u"note.txt"_s));
        QTRY_COMPARE_WITH_TIMEOUT(program.desktop.size(), 2, kWaitMs);
        QCOMPARE(program.desktop, (QStringList{u"open "_s + chosen.filePath(u"note.txt"_s),
                                               u"reveal "_s + chosen.filePath(u"note-1.txt"_s)}));
        QCOMPARE(vantle::test::readFile(chosen.filePath(u"note-1.txt"_s)), QByteArray("a note\n"));
        // The store the phone lists and removes from is where it was, and got nothing.
        QCOMPARE(program.transfer().rootDir(), storeFolder);
        QVERIFY(!QFile::exists(storeFolder + u"/note.txt"_s));

        program.inPreferences<QPushButton>(u"useDefaultDownloadFolder"_s)->click();
        QVERIFY(!Defaults::get(settings::kDownloadFolder));
        QCOMPARE(program.shownFolder(), storeFolder);
    }

    // A folder nothing can be put in is refused with its reason; the choice before it stays.
    void unusableFolderIsRefused_data() {
        QTest::addColumn<QString>("folder"); // empty: one gone while the dialog was open
        QTest::addColumn<QString>("reason");
        QTest::newRow("not writable") << u"/proc"_s << u"nothing can be written in \"/proc\""_s;
        QTest::newRow("gone") << QString() << u"\"%1\" is not there"_s;
    }
    void unusableFolderIsRefused() {
        QFETCH(QString, folder);
        QFETCH(QString, reason);
        QTemporaryDir around;
        if (folder.isEmpty()) {
            folder = around.filePath(u"gone"_s);
            reason = reason.arg(folder);
        }
        QTemporaryDir earlier;
        Defaults::set(settings::kDownloadFolder, earlier.path());
        Program program;
        QVERIFY(program.openPreferences());
        QVERIFY(program.chooseFolder(folder, QFileInfo(folder).isDir()));
        QVERIFY(program.showsSheet(u"Unable To Use Folder"_s));
        QVERIFY2(program.sheets().currentText().contains(reason),
                 qPrintable(program.sheets().currentText()));
        QVERIFY(program.sheets().answer(SheetPresenter::Role::Accept));
        QCOMPARE(Defaults::get(settings::kDownloadFolder).value_or(QString()), earlier.path());
        QCOMPARE(program.shownFolder(), earlier.path());
    }

    void folderGoneByDownloadTimeFailsTheDownloadWithItsCause() {
        Phone phone;
        QVERIFY(vantle::test::writeFile(phone.path(u"note.txt"_s), "a note\n"));
        auto chosen = std::make_unique<QTemporaryDir>();
        const QString gone = chosen->path();
        Defaults::set(settings::kDownloadFolder, gone);
        chosen.reset();
        Program program;
        QVERIFY(program.connectToPhoneWith(phone, u"note.txt"_s));
        emit program.phoneTable()->rowActivated(program.rowOf(u"note.txt"_s));
        QVERIFY(program.showsSheet(kUnableToSave));
        QCOMPARE(program.sheets().currentText(),
                 u"\"note.txt\" arrived but could not be saved: \""_s + gone +
                     u"\" is not there"_s);
        QVERIFY(program.sheets().answer(SheetPresenter::Role::Accept));
        QVERIFY(program.desktop.isEmpty());
        QVERIFY(!QFile::exists(program.transfer().rootDir() + u"/note.txt"_s));
    }

    void startAtLoginWritesAndRemovesTheEntryOrSaysWhyNot() {
        Program program;
        QVERIFY(program.openPreferences());
        auto* box = program.inPreferences<QCheckBox>(u"startAtLoginBox"_s);
        QVERIFY(!box->isChecked());
        box->click();
        QVERIFY(box->isChecked());
        QVERIFY(vantle::test::readFile(autostartEntry()).contains("Exec=vantle --hidden"));
        box->click();
        QVERIFY(!box->isChecked());
        QVERIFY(!QFile::exists(autostartEntry()));

        // Something else where the autostart folder belongs.
        const QString folder = QFileInfo(autostartEntry()).absolutePath();
        QDir().rmdir(folder);
        QVERIFY(vantle::test::writeFile(folder, "not a folder"));
        const auto restore = qScopeGuard([&] { QFile::remove(folder); });
        box->click();
        QVERIFY(program.showsSheet(u"Unable To Change Start At Login"_s));
        QVERIFY(program.sheets().currentText().contains(folder));
        QVERIFY(program.sheets().answer(SheetPresenter::Role::Accept));
        QVERIFY(!box->isChecked());
    }

    // Without a tray (offscreen has none) a start in the background is a minimized window; the
    // queue goes to the phone as usual, and files handed over in the background leave the window
    // where it is.
    void backgroundStartSendsAndLeavesTheWindowAlone() {
        Phone phone;
        QTemporaryDir files;
        const QString queued = files.filePath(u"queued.txt"_s);
        QVERIFY(vantle::test::writeFile(queued, "queued"));
        Program program;
        AppDelegate delegate(*program.controller);
        delegate.showWindowAtStart(WindowRequest::Background);
        QVERIFY(program.window()->isMinimized());
        delegate.openFiles({{queued}, phone.address(), WindowRequest::Background});
        QVERIFY(program.statusBecomes(vantle::test::kConnectedStatus));
        QTRY_COMPARE_WITH_TIMEOUT(vantle::test::readFile(phone.path(u"queued.txt"_s)),
                                  QByteArray("queued"), kWaitMs);
        QVERIFY(program.window()->isMinimized());
        // Handed over without --hidden, the files bring the window forward.
        delegate.openFiles({{}, std::nullopt, WindowRequest::Show});
        QVERIFY(!program.window()->isMinimized());
    }
};

int main(int argc, char** argv) {
    return vantle::test::runAppSuite<PreferencesTest>(argc, argv);
}
#include "tst_preferences.moc"
