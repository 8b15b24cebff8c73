// The window from the keyboard alone: Tab goes through the files and then the buttons, and every
// action of a row is reached by Return, Delete and the row's menu (the menu key, Shift+F10).
#include "support/harness/AppProcess.h"
#include "support/harness/Program.h"
#include "ui/IDDragTableView.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QToolButton>

using namespace vantle;
using vantle::test::Phone;
using vantle::test::Program;
using vantle::test::writeFile;

namespace {

constexpr int kWaitMs = vantle::test::kProgramWaitMs;
// More presses than the window has stops: the walk ends where it began.
constexpr int kMaxTabs = 12;

QString downloads() {
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) +
           QStringLiteral("/Vantle");
}

// What a row action, done from the keyboard, must have brought about.
enum class Effect { LeavesQueue, Downloaded, AsksForFolder, AsksToRemove };

} // namespace

Q_DECLARE_METATYPE(Effect)

class KeyboardTest : public QObject {
    Q_OBJECT

    QTemporaryDir files;

    // A window in front, connected to a phone with one note, and with `queued` files in the
    // queue (which stay there only when the phone takes no uploads).
    bool ready(Program& program, const Phone& phone, const QStringList& queued = {}) {
        const auto nothing = [](const QString&) { return true; };
        program->phonePane().setDesktopOpener({nothing, nothing});
        for (const QString& name : queued)
            if (!writeFile(files.filePath(name), name.toUtf8()) ||
                !program.add({files.filePath(name)}))
                return false;
        return writeFile(phone.path(QStringLiteral("note.txt")), "note") &&
               program.connectTo(phone) && program.showInFront() &&
               QTest::qWaitFor([&] { return program.phoneDataSource()->rowCount() == 1; }, kWaitMs);
    }

private slots:
    void initTestCase() { QVERIFY(files.isValid()); }
    void init() {
        vantle::test::startFromCleanSettings();
        QDir(downloads()).removeRecursively();
    }

    void tabGoesThroughTheFilesThenTheButtons() {
        Phone phone;
        Program program;
        QVERIFY(ready(program, phone));
        // The window's first stop is the queue, empty here: it shows the focus as a frame.
        QTRY_COMPARE(QApplication::focusWidget(), program.queueTable());
        QStringList visited{QApplication::focusWidget()->objectName()};
        for (int press = 0; press < kMaxTabs; ++press) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            if (QApplication::focusWidget() == program.queueTable()) break;
            visited << QApplication::focusWidget()->objectName();
        }
        // Stop is there only while an upload runs.
        QCOMPARE(visited, (QStringList{QStringLiteral("queueTable"), QStringLiteral("phoneTable"),
                                       QStringLiteral("plusButton")}));
    }

    // The phone's files are listed again at every change there: the keys stay on their file.
    void theKeyboardsRowOutlivesANewListing() {
        Phone phone;
        Program program;
        QVERIFY(ready(program, phone));
        QVERIFY(writeFile(phone.path(QStringLiteral("a first.txt")), "first"));
        program.phoneTable()->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(program.phoneTable()->contextRow(), 0);
        QSignalSpy listed(program.phoneDataSource(), &QAbstractItemModel::modelReset);
        program->phonePane().refreshPhoneListing();
        QVERIFY(listed.wait(kWaitMs));
        QCOMPARE(program.phoneDataSource()->rowCount(), 2);
        QCOMPARE(program.phoneTable()->contextRow(), 1);
        QCOMPARE(program.phoneTable()->currentIndex().row(), 1);
    }

    void rowActionsFromTheKeyboard_data() {
        QTest::addColumn<bool>("onPhone");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("menuItem"); // chosen in the row's menu by its title
        QTest::addColumn<Effect>("effect");
        const int none = Qt::NoModifier;
        QTest::newRow("queue: Delete")
            << false << int(Qt::Key_Delete) << none << QString() << Effect::LeavesQueue;
        QTest::newRow("queue: menu key, Remove from Queue")
            << false << int(Qt::Key_Menu) << none << QStringLiteral("Remove from Queue")
            << Effect::LeavesQueue;
        QTest::newRow("phone: Return")
            << true << int(Qt::Key_Return) << none << QString() << Effect::Downloaded;
        QTest::newRow("phone: Shift+F10, Download")
            << true << int(Qt::Key_F10) << int(Qt::ShiftModifier) << QStringLiteral("Download")
            << Effect::Downloaded;
        QTest::newRow("phone: menu key, Download To...")
            << true << int(Qt::Key_Menu) << none << QStringLiteral("Download To...")
            << Effect::AsksForFolder;
        QTest::newRow("phone: menu key, Remove")
            << true << int(Qt::Key_Menu) << none << QStringLiteral("Remove")
            << Effect::AsksToRemove;
        QTest::newRow("phone: Delete")
            << true << int(Qt::Key_Delete) << none << QString() << Effect::AsksToRemove;
    }

    void rowActionsFromTheKeyboard() {
        QFETCH(bool, onPhone);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, menuItem);
        QFETCH(Effect, effect);
        // The queue's file stays there: the phone takes no uploads.
        Phone phone({QStringLiteral("--no-upload")});
        Program program;
        QVERIFY(ready(program, phone, {QStringLiteral("queued.txt")}));
        IDDragTableView* table = onPhone ? program.phoneTable() : program.queueTable();
        QTRY_COMPARE(QApplication::focusWidget(), program.queueTable());
        if (onPhone) QTest::keyClick(program.queueTable(), Qt::Key_Tab);
        QTRY_COMPARE(QApplication::focusWidget(), table);

        QTest::keyClick(table, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        if (!menuItem.isEmpty()) {
            QTRY_VERIFY(table->contextMenu());
            QMenu* menu = table->contextMenu();
            const QList<QAction*> items = menu->actions();
            const auto chosen = std::find_if(items.cbegin(), items.cend(), [&](QAction* item) {
                return item->text() == menuItem;
            });
            QVERIFY(chosen != items.cend());
            for (auto item = items.cbegin(); item <= chosen; ++item)
                QTest::keyClick(menu, Qt::Key_Down);
            QCOMPARE(menu->activeAction(), *chosen);
            QTest::keyClick(menu, Qt::Key_Return);
        }

        const QString name = QStringLiteral("note.txt");
        switch (effect) {
        case Effect::LeavesQueue:
            QVERIFY(program.queueHolds(0));
            break;
        case Effect::Downloaded:
            QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(downloads() + QStringLiteral("/") + name),
                                     kWaitMs);
            break;
        case Effect::AsksForFolder:
            QVERIFY(program.showsSheet(QStringLiteral("Download To")));
            program.sheets().answer(SheetPresenter::Role::Cancel);
            break;
        case Effect::AsksToRemove:
            QVERIFY(program.showsSheet(QStringLiteral("Remove \"") + name +
                                       QStringLiteral("\" from the iPhone?")));
            QTest::keyClick(program.sheets().current(), Qt::Key_Escape);
            QTRY_VERIFY(!program.sheets().current());
            QVERIFY(QFile::exists(phone.path(name)));
            break;
        }
    }
};

int main(int argc, char** argv) {
    return vantle::test::runAppSuite<KeyboardTest>(argc, argv);
}

#include "tst_keyboard.moc"
