// The phone pane against the simulated phone: the listing and its icons and sizes, downloads one
// at a time, opening and revealing what arrived, removals, and the phone leaving on the way.
#include "app/AppController.h"
#include "app/PhoneDataSource.h"
#include "app/PhoneHost.h"
#include "files/FSNodeInfo.h"
#include "files/NamedImages.h"
#include "platform/Defaults.h"
#include "platform/Settings.h"
#include "support/harness/AppProcess.h"
#include "support/harness/Program.h"
#include "support/harness/StallMeter.h"
#include "transfer/MRTransferController.h"
#include "transfer/ProtocolKeys.h"
#include "transfer/TransferTimeouts.h"
#include "ui/FileRoles.h"
#include "ui/IDDragTableView.h"
#include "ui/SheetPresenter.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QJsonArray>
#include <QProgressBar>
#include <QScopeGuard>
#include <QSemaphore>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <atomic>
#include <memory>
#include <optional>

using namespace vantle;
using vantle::test::PhoneProcess;
using vantle::test::writeFile;

namespace {

constexpr int kWaitMs = vantle::test::kProgramWaitMs;
// A phone that reads the PC's answers this slowly sends a few pieces a second: downloads last
// long enough to be clicked on or cut off.
const char kSlowReading[] = "1500";
constexpr qint64 kBigFileBytes = 4 * 1024 * 1024;
constexpr int kManyFiles = 10'000;
// How long a download may hear nothing from the phone, shortened for the silent phone.
const char kShortSilenceMs[] = "1500";
// Generous: the figure itself is printed; the aim is under one second.
constexpr qint64 kListingBoundMs = 5'000;
// A phone this slow to answer leaves time for listings to come in while icons are on their way.
const char kSlowAnswers[] = "200";
// Listing changes announced one after the other while the first icons are on their way.
constexpr int kListingChanges = 4;
// Many rows removed at once from a phone slow to answer each: seconds of requests in all.
constexpr int kManyRemovals = 200;
const char kSlowRemovals[] = "20";
// A phone this slow to answer a download request would freeze the window for as long.
const char kSlowRequest[] = "2000";
// The longest the window may stop turning while the phone is slow.
// A phone that answers everything slowly takes this long to connect and list.
constexpr int kSlowPhoneWaitMs = 4 * kWaitMs;

// What the desktop was asked to open ("open PATH") and reveal ("reveal PATH"), in order. The
// offscreen platform has no desktop services, so the controller's opener is replaced.
struct DesktopRecord {
    QStringList calls;
    PhonePane::DesktopOpener opener() {
        return {[this](const QString& path) {
                    calls << QStringLiteral("open ") + path;
                    return true;
                },
                [this](const QString& path) {
                    calls << QStringLiteral("reveal ") + path;
                    return true;
                }};
    }
};

QString downloads() {
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) +
           QStringLiteral("/Vantle");
}

// The phone's store: a few files, a folder and a big file.
struct Store {
    QTemporaryDir dir;
    Store() {
        writeFile(dir.filePath(QStringLiteral("b.txt")), "bee\n");
        writeFile(dir.filePath(QStringLiteral("A.pdf")), QByteArray(3000, 'a'));
        writeFile(dir.filePath(QStringLiteral("note.txt")), "a note\n");
        writeFile(dir.filePath(QStringLiteral("zeta.txt")), "last\n");
        QByteArray big(kBigFileBytes, Qt::Uninitialized);
        for (qsizetype i = 0; i < big.size(); ++i)
            big[i] = char(i % 251);
        writeFile(dir.filePath(QStringLiteral("big.bin")), big);
        QDir(dir.path()).mkpath(QStringLiteral("c/inside"));
        writeFile(dir.filePath(QStringLiteral("c/one.txt")), "one\n");
        writeFile(dir.filePath(QStringLiteral("c/inside/two.txt")), "two\n");
    }
    QString path(const QString& name) const { return dir.filePath(name); }
};

// The program connected to a simulated phone on loopback, its listing in.
struct Program : vantle::test::Program {
    std::optional<PhoneProcess> phone;
    DesktopRecord desktop;

    Program(const Store& store, QStringList phoneOptions = {}) {
        controller->phonePane().setDesktopOpener(desktop.opener());
        phone.emplace(
            QStringList{QStringLiteral("--quiet"), QStringLiteral("--store"), store.dir.path()} +
            phoneOptions);
        if (!phone->started() || !started) return;
        controller->connectToTypedAddress(vantle::test::loopbackAddress(*phone));
    }
    // The controller goes first, while its phone still answers.
    ~Program() { controller.reset(); }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    PhoneDataSource& rows() const { return *phoneDataSource(); }
    IDDragTableView& table() const { return *phoneTable(); }
    bool ready(int rowCount) const {
        return QTest::qWaitFor(
            [&] {
                return statusText() == vantle::test::kConnectedStatus &&
                       rows().rowCount() == rowCount;
            },
            kWaitMs);
    }
    int row(const QString& name) const {
        for (int row = 0; row < rows().rowCount(); ++row)
            if (rows().data(rows().index(row, 0)).toString() == name) return row;
        return -1;
    }
    QStringList names() const {
        QStringList all;
        for (int row = 0; row < rows().rowCount(); ++row)
            all << rows().data(rows().index(row, 0)).toString();
        return all;
    }
    void select(const QStringList& names) const {
        table().clearSelection();
        for (const QString& name : names)
            table().selectionModel()->select(rows().index(row(name), 0),
                                             QItemSelectionModel::Select |
                                                 QItemSelectionModel::Rows);
    }
    // The row's action of the context menu, as if chosen there.
    void choose(const QString& action, const QString& name) const {
        table().setCurrentIndex(rows().index(row(name), 0));
        this->action(action)->trigger();
    }
};

// Stands in for the controller when the model is checked on its own.
struct FakeHost : PhoneHost {
    bool isConnected = true;
    QStringList requested;
    int cancels = 0;
    bool connected() const override { return isConnected; }
    bool requestFile(const QString& path) override {
        requested << path;
        return true;
    }
    void cancelDownload() override { ++cancels; }
    void forgetDropDestination(const QString&) override {}
};

// How often the phone was asked for each path's icon and size (its --record).
QHash<QString, int> iconAsks(const QString& record) {
    QHash<QString, int> asks;
    for (const QJsonObject& request :
         vantle::test::recordedRequests(record, requests::kGetIconsAndSizes))
        for (const QJsonValue& path : request.value(keys::kPaths).toArray())
            ++asks[path.toString()];
    return asks;
}

QMap<QString, ListingEntry> listingOf(const QStringList& files, const QStringList& folders) {
    QMap<QString, ListingEntry> listing;
    for (const QString& name : files)
        listing.insert(name, {false});
    for (const QString& name : folders)
        listing.insert(name, {true});
    return listing;
}

// A phone whose store holds `count` one-byte files, "file N.txt", and the program connected to
// it.
struct ManyFilesPhone {
    QTemporaryDir store;
    std::optional<PhoneProcess> phone;
    vantle::test::Program program;

    ManyFilesPhone(int count, const QStringList& phoneOptions = {}) {
        for (int i = 0; i < count; ++i)
            if (!writeFile(store.filePath(QStringLiteral("file %1.txt").arg(i)), "x")) return;
        phone.emplace(
            QStringList{QStringLiteral("--quiet"), QStringLiteral("--store"), store.path()} +
            phoneOptions);
        if (phone->started() && program.started)
            program->connectToTypedAddress(vantle::test::loopbackAddress(*phone));
    }
    bool started() const { return phone && phone->started() && program.started; }
    PhoneDataSource& rows() const { return *program.phoneDataSource(); }
};

} // namespace

class PhonePaneTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        QSettings().clear();
        Defaults::setValue(QString(settings::kAutoConnect.key), false);
        Defaults::setValue(QString(settings::kDontWarnAboutManual.key), true);
        Defaults::setValue(QString(settings::kLastTransfer.key), QDateTime::currentDateTime());
        Defaults::sync();
        QDir(downloads()).removeRecursively();
        ClearNodeCache();
    }

    void modelSortsMergesAndLeavesOutMetadata() {
        FakeHost host;
        PhoneDataSource model(&host);
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.refreshListingFromDevice(listingOf(
            {QStringLiteral("b.txt"), QStringLiteral("A.pdf"), QStringLiteral("kept.txt")},
            {QStringLiteral("c"), QStringLiteral("vantleThumbs"),
             QStringLiteral("vantleMetadata")}));
        QCOMPARE(model.rowCount(), 4);
        QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("A.pdf"));
        QCOMPARE(model.data(model.index(1, 0)).toString(), QStringLiteral("b.txt"));
        QCOMPARE(model.data(model.index(2, 0)).toString(), QStringLiteral("c"));
        QCOMPARE(model.data(model.index(2, 0), Qt::ToolTipRole).toString(), QStringLiteral("c"));
        QCOMPARE(model.pathsWithoutIconsAndSizes().size(), 4);

        // An answer for a file not listed yet is kept for the listing that shows it; empty icon
        // data keeps the icon there is.
        QImage red(8, 8, QImage::Format_RGB32);
        red.fill(Qt::red);
        model.setIconsAndSizes({{QStringLiteral("A.pdf"), {red, QStringLiteral("3 KB")}},
                                {QStringLiteral("later.txt"), {red, QStringLiteral("1 KB")}}});
        model.setIconsAndSizes({{QStringLiteral("A.pdf"), {QImage(), QStringLiteral("3 KB")}}});
        const QImage icon = model.data(model.index(0, 0), Qt::DecorationRole).value<QImage>();
        // Drawn at the artwork's double density, so that it stays sharp on screens scaled up.
        QCOMPARE(icon.deviceIndependentSize().toSize(),
                 QSize(PhoneNodeInfo::kIconSide, PhoneNodeInfo::kIconSide));
        QCOMPARE(icon.devicePixelRatio(), qreal(NamedImages::kIconScale));
        QCOMPARE(icon.pixelColor(icon.rect().center()), QColor(Qt::red));
        const QImage generic = model.data(model.index(1, 0), Qt::DecorationRole).value<QImage>();
        QCOMPARE(generic.size(), icon.size());
        QCOMPARE(generic.devicePixelRatio(), icon.devicePixelRatio());
        QCOMPARE(model.data(model.index(0, 0), SizeLineRole).toString(), QStringLiteral("3 KB"));
        QVERIFY(!model.pathsWithoutIconsAndSizes().contains(QStringLiteral("A.pdf")));
        // A screen reader hears each row in one line: its size, a folder as one, the state.
        const auto spoken = [&](int row, int role = Qt::AccessibleTextRole) {
            return model.data(model.index(row, 0), role).toString();
        };
        QCOMPARE(spoken(0), QStringLiteral("A.pdf, 3 KB"));
        QCOMPARE(spoken(2), QStringLiteral("c, folder"));
        QCOMPARE(spoken(0, Qt::AccessibleDescriptionRole), QStringLiteral("on the phone"));
        model.nodeAtRow(0)->setUploading(true);
        QCOMPARE(spoken(0), QStringLiteral("A.pdf, downloading"));
        QCOMPARE(spoken(0, Qt::AccessibleDescriptionRole), QStringLiteral("downloading"));
        // How far, once the download says; a screen reader hears only whole percentages move.
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        model.setDownloadPercent(QStringLiteral("A.pdf"), 40);
        QCOMPARE(spoken(0), QStringLiteral("A.pdf, downloading 40 %"));
        QCOMPARE(changed.size(), 1);
        model.setDownloadPercent(QStringLiteral("A.pdf"), 40);
        QCOMPARE(changed.size(), 1);
        model.setDownloadPercent({}, std::nullopt);
        QCOMPARE(spoken(0), QStringLiteral("A.pdf, downloading"));
        model.nodeAtRow(0)->setUploading(false);
        model.refreshListingFromDevice(listingOf({QStringLiteral("later.txt")}, {}));
        QCOMPARE(model.data(model.index(0, 0), SizeLineRole).toString(), QStringLiteral("1 KB"));
        QVERIFY(model.pathsWithoutIconsAndSizes().isEmpty());

        // A second click on a file being downloaded cancels it; only removed rows leave.
        model.refreshListingFromDevice(
            listingOf({QStringLiteral("kept.txt"), QStringLiteral("gone.txt")}, {}));
        model.nodeAtRow(0)->setUploading(true);
        QCOMPARE(model.data(model.index(0, 0), SizeLineRole).toString(), QString());
        model.downloadRow(0, true);
        QCOMPARE(host.cancels, 1);
        QVERIFY(host.requested.isEmpty());
        model.downloadRow(1, true);
        QCOMPARE(host.requested, QStringList{QStringLiteral("kept.txt")});
        QVERIFY(model.nodeAtRow(1)->shouldOpenAfterDownload());
        model.removeRows({QStringLiteral("gone.txt")});
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.nodeAtRow(0)->path(), QStringLiteral("kept.txt"));

        // Without a connection a listing shows nothing.
        host.isConnected = false;
        model.refreshListingFromDevice(listingOf({QStringLiteral("x")}, {}));
        QCOMPARE(model.rowCount(), 0);
    }

    void listingShowsSortedRowsWithIconsAndSizes() {
        Store store;
        Program program(store);
        QVERIFY(program.ready(6));
        QAbstractItemModelTester tester(&program.rows(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(program.names(),
                 (QStringList{QStringLiteral("A.pdf"), QStringLiteral("b.txt"),
                              QStringLiteral("big.bin"), QStringLiteral("c"),
                              QStringLiteral("note.txt"), QStringLiteral("zeta.txt")}));
        QVERIFY(QTest::qWaitFor(
            [&] {
                return program.rows().data(program.rows().index(0, 0), SizeLineRole).toString() ==
                       FSNodeInfo::getSizeText(3000);
            },
            kWaitMs));
        // The phone's own icon, not the generic one of the kind.
        const QImage generic =
            PhoneNodeInfo::squareIcon(FSNodeInfo::genericIconForType(QStringLiteral("PDF"), false));
        QVERIFY(
            program.rows().data(program.rows().index(0, 0), Qt::DecorationRole).value<QImage>() !=
            generic);
        QVERIFY(program.rows().pathsWithoutIconsAndSizes().isEmpty());
        // A file added on the phone shows after its notice.
        writeFile(store.path(QStringLiteral("new.txt")), "new");
        program->phonePane().refreshPhoneListing();
        QVERIFY(
            QTest::qWaitFor([&] { return program.row(QStringLiteral("new.txt")) >= 0; }, kWaitMs));
    }

    // A file written again under its name, or gone from the listing and back, shows its new
    // size; rows nobody touched are not asked for again.
    void changedFilesAreAskedAgainOthersNot() {
        Store store;
        QTemporaryDir work;
        const QString record = work.filePath(QStringLiteral("record.jsonl"));
        Program program(store, {QStringLiteral("--record"), record});
        QVERIFY(program.ready(6));
        QAbstractItemModelTester tester(&program.rows(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        const auto shows = [&](const QString& name, quint64 bytes) {
            return QTest::qWaitFor(
                [&] {
                    const int row = program.row(name);
                    return row >= 0 && program.rows()
                                               .data(program.rows().index(row, 0), SizeLineRole)
                                               .toString() == FSNodeInfo::getSizeText(bytes);
                },
                kWaitMs);
        };
        QVERIFY(shows(QStringLiteral("A.pdf"), 3000));

        const QString first = work.filePath(QStringLiteral("first/up.txt"));
        const QString second = work.filePath(QStringLiteral("second/up.txt"));
        QVERIFY(QDir(work.path()).mkpath(QStringLiteral("first")) &&
                QDir(work.path()).mkpath(QStringLiteral("second")));
        QVERIFY(writeFile(first, QByteArray(10, 'x')) && writeFile(second, QByteArray(5000, 'y')));
        program->doAddToQueue({first});
        QVERIFY(shows(QStringLiteral("up.txt"), 10));
        program->doAddToQueue({second});
        QVERIFY(program.showsSheet(QStringLiteral("File Exists On Device")));
        QVERIFY(program.sheets().answer(SheetPresenter::Role::Replace));
        QVERIFY(shows(QStringLiteral("up.txt"), 5000));

        QVERIFY(QFile::remove(store.path(QStringLiteral("b.txt"))));
        program->phonePane().refreshPhoneListing();
        QTRY_COMPARE_WITH_TIMEOUT(program.row(QStringLiteral("b.txt")), -1, kWaitMs);
        QVERIFY(writeFile(store.path(QStringLiteral("b.txt")), QByteArray(2000, 'b')));
        program->phonePane().refreshPhoneListing();
        QVERIFY(shows(QStringLiteral("b.txt"), 2000));

        program.choose(QStringLiteral("removeFile:"), QStringLiteral("note.txt"));
        QVERIFY(program.showsSheet(QStringLiteral("Remove \"note.txt\" from the iPhone?")));
        QVERIFY(program.sheets().answer(SheetPresenter::Role::Remove));
        QTRY_COMPARE_WITH_TIMEOUT(program.row(QStringLiteral("note.txt")), -1, kWaitMs);
        QVERIFY(writeFile(store.path(QStringLiteral("note.txt")), QByteArray(3000, 'n')));
        program->phonePane().refreshPhoneListing();
        QVERIFY(shows(QStringLiteral("note.txt"), 3000));

        const QHash<QString, int> asks = iconAsks(record);
        for (const char* untouched : {"A.pdf", "big.bin", "c", "zeta.txt"})
            QCOMPARE(asks.value(QLatin1String(untouched)), 1);
    }

    // Listings that come in while icons are on their way ask for no icon a second time.
    void iconRunsDoNotOverlap() {
        const int files = kMaxPathsPerIconsRequest + 10;
        QTemporaryDir work;
        const QString record = work.filePath(QStringLiteral("record.jsonl"));
        ManyFilesPhone many(files, {QStringLiteral("--record"), record,
                                    QStringLiteral("--delay-ms"), QLatin1String(kSlowAnswers)});
        QVERIFY(many.started());
        vantle::test::Program& program = many.program;
        PhoneDataSource& rows = many.rows();
        QAbstractItemModelTester tester(&rows,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QVERIFY(QTest::qWaitFor([&] { return rows.rowCount() == files; }, kWaitMs));
        QSignalSpy reset(&rows, &QAbstractItemModel::modelReset);
        for (int change = 0; change < kListingChanges; ++change) {
            program->phonePane().refreshPhoneListing();
            QVERIFY(reset.wait(kWaitMs));
        }
        QVERIFY(
            QTest::qWaitFor([&] { return rows.pathsWithoutIconsAndSizes().isEmpty(); }, kWaitMs));
        // Whatever was asked before this listing has reached the phone by its end.
        program->phonePane().refreshPhoneListing();
        QVERIFY(reset.wait(kWaitMs));

        const QHash<QString, int> asks = iconAsks(record);
        QCOMPARE(asks.size(), files);
        for (auto ask = asks.cbegin(); ask != asks.cend(); ++ask)
            QVERIFY2(ask.value() == 1, qPrintable(ask.key()));
        QCOMPARE(rows.data(rows.index(0, 0), SizeLineRole).toString(), FSNodeInfo::getSizeText(1));
    }

    // The phone as the other tests know it, and one that sends only what the PC may rely on.
    void doubleClickOpensRevealDoesNotAndNamesStayUnique_data() {
        QTest::addColumn<QStringList>("phoneOptions");
        QTest::newRow("everything") << QStringList();
        QTest::newRow("strict") << QStringList{QStringLiteral("--strict")};
    }

    void doubleClickOpensRevealDoesNotAndNamesStayUnique() {
        QFETCH(QStringList, phoneOptions);
        Store store;
        Program program(store, phoneOptions);
        QVERIFY(program.ready(6));
        // A double click on the row.
        const QRect noteRow = program.table().visualRect(
            program.rows().index(program.row(QStringLiteral("note.txt")), 0));
        QTest::mouseDClick(program.table().viewport(), Qt::LeftButton, {}, noteRow.center());
        const QString first = downloads() + QStringLiteral("/note.txt");
        QTRY_COMPARE_WITH_TIMEOUT(program.desktop.calls,
                                  QStringList{QStringLiteral("open ") + first}, kWaitMs);
        QCOMPARE(QFile(first).size(), 7);

        // The reveal action: the file is shown in the file manager, under a name of its own.
        emit program.table().revealRequested(program.row(QStringLiteral("note.txt")));
        const QString second = downloads() + QStringLiteral("/note-1.txt");
        QTRY_COMPARE_WITH_TIMEOUT(program.desktop.calls.size(), 2, kWaitMs);
        QCOMPARE(program.desktop.calls.last(), QStringLiteral("reveal ") + second);
        QVERIFY(QFile::exists(second));

        // A folder, double-clicked, arrives whole and is revealed rather than opened.
        emit program.table().rowActivated(program.row(QStringLiteral("c")));
        QTRY_COMPARE_WITH_TIMEOUT(program.desktop.calls.size(), 3, kWaitMs);
        QCOMPARE(program.desktop.calls.last(),
                 QStringLiteral("reveal ") + downloads() + QStringLiteral("/c"));
        QFile inner(downloads() + QStringLiteral("/c/inside/two.txt"));
        QVERIFY(inner.open(QIODevice::ReadOnly));
        QCOMPARE(inner.readAll(), QByteArray("two\n"));
        QVERIFY(QFile::exists(downloads() + QStringLiteral("/c/one.txt")));
        QTRY_VERIFY_WITH_TIMEOUT(program.receivingFiles().isEmpty(), kWaitMs);

        // Return on the selected row does what a double click does.
        program.table().setCurrentIndex(
            program.rows().index(program.row(QStringLiteral("zeta.txt")), 0));
        QTest::keyClick(&program.table(), Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(program.desktop.calls.size(), 4, kWaitMs);
        QCOMPARE(program.desktop.calls.last(),
                 QStringLiteral("open ") + downloads() + QStringLiteral("/zeta.txt"));
    }

    void downloadToLandsInTheChosenFolderUnopened() {
        Store store;
        Program program(store);
        QVERIFY(program.ready(6));
        QTemporaryDir chosen;
        program.choose(QStringLiteral("downloadTo:"), QStringLiteral("b.txt"));
        QVERIFY(program.showsSheet(QStringLiteral("Download To")));
        auto* dialog = qobject_cast<QFileDialog*>(program.sheets().current());
        QVERIFY(dialog);
        dialog->setDirectory(chosen.path());
        dialog->selectFile(chosen.path());
        static_cast<QDialog*>(dialog)->accept();
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(chosen.filePath(QStringLiteral("b.txt"))), kWaitMs);
        QVERIFY(!QFile::exists(downloads() + QStringLiteral("/b.txt")));
        // Nothing was opened or revealed: the next opened file is the first thing recorded.
        program.choose(QStringLiteral("downloadAndOpen:"), QStringLiteral("zeta.txt"));
        QTRY_COMPARE_WITH_TIMEOUT(
            program.desktop.calls,
            QStringList{QStringLiteral("open ") + downloads() + QStringLiteral("/zeta.txt")},
            kWaitMs);
        QVERIFY(program->phonePane().dropDestinations().isEmpty());

        // A folder gone by the time the file arrives: the user is told, nothing is opened.
        auto gone = std::make_unique<QTemporaryDir>();
        const QString vanished = gone->path();
        program.choose(QStringLiteral("downloadTo:"), QStringLiteral("note.txt"));
        QVERIFY(program.showsSheet(QStringLiteral("Download To")));
        dialog = qobject_cast<QFileDialog*>(program.sheets().current());
        QVERIFY(dialog);
        dialog->setDirectory(vanished);
        dialog->selectFile(vanished);
        static_cast<QDialog*>(dialog)->accept();
        gone.reset();
        QVERIFY(program.showsSheet(QStringLiteral("Unable To Save Download")));
        QVERIFY(program.sheets().currentText().startsWith(
            QStringLiteral("\"note.txt\" arrived but could not be saved: ")));
        QVERIFY(program.sheets().answer(SheetPresenter::Role::Accept));
        QCOMPARE(program.desktop.calls.size(), 1);
        QVERIFY(program.receivingFiles().isEmpty());
    }

    // A finished item bound for another file system is copied by a worker: the window's event
    // loop turns all through the copy (each block of it waits for a tick of the main thread).
    void finishingCopyLeavesTheWindowTurning() {
        const QString otherDisk = QStringLiteral("/dev/shm");
        Store store;
        Program program(store);
        QVERIFY(program.ready(6));
        if (!QFileInfo(otherDisk).isDir() ||
            QStorageInfo(otherDisk).device() ==
                QStorageInfo(program.transfer().temporaryDir()).device())
            QSKIP("no second file system beside the temporary area");
        QTemporaryDir chosen(otherDisk + QStringLiteral("/vantle-test-XXXXXX"));
        QVERIFY(chosen.isValid());
        QSemaphore ticked;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, [&] {
            if (ticked.available() == 0) ticked.release();
        });
        ticker.start(1);
        std::atomic<int> blocks{0};
        program.transfer().setFinishCopyStep([&] {
            ++blocks;
            return ticked.tryAcquire(1, kWaitMs / 3);
        });
        program->phonePane().downloadTo(QStringLiteral("big.bin"), chosen.path());
        const QString arrived = chosen.filePath(QStringLiteral("big.bin"));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(arrived).size() == kBigFileBytes, kWaitMs);
        QVERIFY(blocks > 1);
        QTRY_VERIFY_WITH_TIMEOUT(program.receivingFiles().isEmpty(), kWaitMs);
        QCOMPARE(
            QDir(chosen.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{QStringLiteral("big.bin")});
        program.transfer().setFinishCopyStep({});
    }

    void threeInARowArriveInOrderOneCancelled() {
        Store store;
        Program program(store,
                        {QStringLiteral("--read-bytes-per-second"), QLatin1String(kSlowReading)});
        QVERIFY(program.ready(6));
        program.choose(QStringLiteral("downloadFile:"), QStringLiteral("big.bin"));
        emit program.table().revealRequested(program.row(QStringLiteral("zeta.txt")));
        emit program.table().revealRequested(program.row(QStringLiteral("note.txt")));
        // Asking again for a waiting file changes nothing.
        emit program.table().revealRequested(program.row(QStringLiteral("zeta.txt")));
        QCOMPARE(program.receivingFiles(),
                 (QStringList{QStringLiteral("big.bin"), QStringLiteral("zeta.txt"),
                              QStringLiteral("note.txt")}));

        // The bar lies over the big file's row while it comes; a second click cancels it.
        QProgressBar* bar = program.downloadBar();
        QTRY_VERIFY_WITH_TIMEOUT(!bar->isHidden(), kWaitMs);
        const QRect row = program.table().visualRect(
            program.rows().index(program.row(QStringLiteral("big.bin")), 0));
        QVERIFY(row.contains(bar->geometry().topLeft()));
        QCOMPARE(
            program.rows()
                .data(program.rows().index(program.row(QStringLiteral("big.bin")), 0), SizeLineRole)
                .toString(),
            QString());
        emit program.table().rowActivated(program.row(QStringLiteral("big.bin")));

        QStringList arrived;
        const QStringList expected{QStringLiteral("zeta.txt"), QStringLiteral("note.txt")};
        QVERIFY(QTest::qWaitFor(
            [&] {
                for (const QString& name : expected)
                    if (!arrived.contains(name) && QFile::exists(downloads() + u'/' + name))
                        arrived << name;
                return arrived.size() == expected.size();
            },
            kWaitMs));
        QCOMPARE(arrived, expected);
        QTRY_VERIFY_WITH_TIMEOUT(program.receivingFiles().isEmpty(), kWaitMs);
        QCOMPARE(
            program.desktop.calls,
            (QStringList{QStringLiteral("reveal ") + downloads() + QStringLiteral("/zeta.txt"),
                         QStringLiteral("reveal ") + downloads() + QStringLiteral("/note.txt")}));
        QVERIFY(!QFile::exists(downloads() + QStringLiteral("/big.bin")));
        QVERIFY(bar->isHidden());
    }

    void removalAsksFirst() {
        Store store;
        Program program(store);
        QVERIFY(program.ready(6));
        program.select({QStringLiteral("b.txt")});
        emit program.table().deleteRequested();
        QVERIFY(program.showsSheet(QStringLiteral("Remove \"b.txt\" from the iPhone?")));
        QCOMPARE(program.sheets().currentButtons(),
                 (QStringList{QStringLiteral("Remove"), QStringLiteral("Cancel")}));
        QVERIFY(program.sheets().answer(SheetPresenter::Role::Cancel));
        QVERIFY(QFile::exists(store.path(QStringLiteral("b.txt"))));
        QVERIFY(program.row(QStringLiteral("b.txt")) >= 0);

        program.choose(QStringLiteral("removeFile:"), QStringLiteral("b.txt"));
        QVERIFY(program.showsSheet(QStringLiteral("Remove \"b.txt\" from the iPhone?")));
        QVERIFY(program.sheets().answer(SheetPresenter::Role::Remove));
        QTRY_COMPARE_WITH_TIMEOUT(program.row(QStringLiteral("b.txt")), -1, kWaitMs);
        QVERIFY(!QFile::exists(store.path(QStringLiteral("b.txt"))));

        program.select({QStringLiteral("note.txt"), QStringLiteral("zeta.txt")});
        emit program.table().deleteRequested();
        QVERIFY(program.showsSheet(QStringLiteral("Remove 2 items from the iPhone?")));
        QVERIFY(program.sheets().answer(SheetPresenter::Role::Cancel));
        QVERIFY(QFile::exists(store.path(QStringLiteral("note.txt"))));
        emit program.table().deleteRequested();
        QVERIFY(program.showsSheet(QStringLiteral("Remove 2 items from the iPhone?")));
        QVERIFY(program.sheets().answer(SheetPresenter::Role::Remove));
        QTRY_COMPARE_WITH_TIMEOUT(
            program.names(),
            (QStringList{QStringLiteral("A.pdf"), QStringLiteral("big.bin"), QStringLiteral("c")}),
            kWaitMs);
        QVERIFY(!QFile::exists(store.path(QStringLiteral("note.txt"))));
        QVERIFY(!QFile::exists(store.path(QStringLiteral("zeta.txt"))));
    }

    // Removing many rows waits for the phone on a worker; a download of a row on its way out is
    // refused meanwhile.
    void removingManyRowsLeavesTheWindowTurning() {
        ManyFilesPhone many(kManyRemovals,
                            {QStringLiteral("--delay-ms"), QLatin1String(kSlowRemovals)});
        QVERIFY(many.started());
        vantle::test::Program& program = many.program;
        PhoneDataSource& rows = many.rows();
        QAbstractItemModelTester tester(&rows,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QVERIFY(QTest::qWaitFor([&] { return rows.rowCount() == kManyRemovals; }, kWaitMs));
        program.phoneTable()->selectAll();
        emit program.phoneTable()->deleteRequested();
        QVERIFY(program.showsSheet(
            QStringLiteral("Remove %1 items from the iPhone?").arg(kManyRemovals)));
        vantle::bench::StallMeter meter;
        QVERIFY(program.sheets().answer(SheetPresenter::Role::Remove));
        // The answer returns with the removal under way on a worker: no row has gone yet.
        QCOMPARE(rows.rowCount(), kManyRemovals);
        emit program.phoneTable()->revealRequested(rows.rowCount() - 1);
        QVERIFY(program.receivingFiles().isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(rows.rowCount(), 0, kWaitMs);
        // A tick after the end: a removal that held the thread up shows as one long gap.
        QVERIFY(QTest::qWaitFor([&] { return meter.longestMs() > 0; }, kWaitMs));
        // The bound lives in bench/responsiveness; here the figure is only reported.
        qInfo("longest stall while removing %d rows: %.0f ms", kManyRemovals, meter.longestMs());
        QCOMPARE(QDir(many.store.path()).entryList(QDir::Files), QStringList());
        QVERIFY(program.phoneTable()->selectionModel()->selectedRows().isEmpty());
    }

    // The download request waits for the phone on a worker; a stop pressed meanwhile still
    // takes, and the file behind still arrives.
    void slowDownloadRequestLeavesTheWindowTurning() {
        Store store;
        Program program(store,
                        {QStringLiteral("--delay-ms"), QLatin1String(kSlowRequest),
                         QStringLiteral("--read-bytes-per-second"), QLatin1String(kSlowReading)});
        QVERIFY(QTest::qWaitFor([&] { return program.rows().rowCount() == 6; }, kSlowPhoneWaitMs));
        vantle::bench::StallMeter meter;
        emit program.table().revealRequested(program.row(QStringLiteral("big.bin")));
        emit program.table().revealRequested(program.row(QStringLiteral("note.txt")));
        emit program.table().rowActivated(program.row(QStringLiteral("big.bin")));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(downloads() + QStringLiteral("/note.txt")),
                                 kSlowPhoneWaitMs);
        qInfo("longest stall while asking a slow phone for a file: %.0f ms", meter.longestMs());
        QTRY_VERIFY_WITH_TIMEOUT(program.receivingFiles().isEmpty(), kWaitMs);
        QVERIFY(!QFile::exists(downloads() + QStringLiteral("/big.bin")));
        QCOMPARE(program.desktop.calls, QStringList{QStringLiteral("reveal ") + downloads() +
                                                    QStringLiteral("/note.txt")});
    }

    // A small file stopped while the phone is still being asked for it has usually all arrived by
    // the time the answer comes: the stop holds, quietly, and nothing of it is kept.
    void aStopWhileAskingEndsQuietlyThoughTheItemArrived() {
        Store store;
        Program program(store, {QStringLiteral("--delay-ms"), QLatin1String(kSlowRequest)});
        QVERIFY(QTest::qWaitFor([&] { return program.rows().rowCount() == 6; }, kSlowPhoneWaitMs));
        emit program.table().revealRequested(program.row(QStringLiteral("note.txt")));
        emit program.table().revealRequested(program.row(QStringLiteral("note.txt")));
        QTRY_VERIFY_WITH_TIMEOUT(program.receivingFiles().isEmpty(), kSlowPhoneWaitMs);
        // Any sheet would have come with the end of the download.
        QVERIFY(!program.sheets().current());
        QVERIFY(!QFile::exists(downloads() + QStringLiteral("/note.txt")));
        QVERIFY(program.desktop.calls.isEmpty());
    }

    void phoneLeavingMidDownloadLeavesNothingHalfWritten() {
        Store store;
        Program program(store,
                        {QStringLiteral("--read-bytes-per-second"), QLatin1String(kSlowReading)});
        QVERIFY(program.ready(6));
        emit program.table().rowActivated(program.row(QStringLiteral("big.bin")));
        emit program.table().rowActivated(program.row(QStringLiteral("note.txt")));
        QTRY_VERIFY_WITH_TIMEOUT(!program.downloadBar()->isHidden(), kWaitMs);
        program.phone.reset(); // killed by its process id
        QVERIFY(QTest::qWaitFor(
            [&] { return program.statusText() == QStringLiteral("Not connected."); }, kWaitMs));
        QCOMPARE(program.rows().rowCount(), 0);
        QVERIFY(program.receivingFiles().isEmpty());
        QVERIFY(program.downloadBar()->isHidden());
        QVERIFY(!PhoneNodeInfo::existingNode(QStringLiteral("big.bin")));
        QCOMPARE(QDir(downloads()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList());
        QVERIFY(program.desktop.calls.isEmpty());
    }

    // A phone that stops sending mid-item: the row ends, the user is told why, and the download
    // waiting behind it still comes.
    void phoneGoingSilentMidItemEndsItAndTheNextArrives() {
        qputenv(kDownloadSilenceVariable, kShortSilenceMs);
        const auto restore = qScopeGuard([] { qunsetenv(kDownloadSilenceVariable); });
        Store store;
        Program program(store, {QStringLiteral("--stop-after-pieces"), QStringLiteral("2")});
        QVERIFY(program.ready(6));
        emit program.table().revealRequested(program.row(QStringLiteral("big.bin")));
        emit program.table().revealRequested(program.row(QStringLiteral("note.txt")));
        QVERIFY(program.showsSheet(QStringLiteral("Download Failed")));
        QCOMPARE(program.sheets().currentText(),
                 QStringLiteral("\"big.bin\" could not be downloaded: nothing arrived of it for "
                                "1.5 seconds."));
        QVERIFY(program.sheets().answer(SheetPresenter::Role::Accept));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(downloads() + QStringLiteral("/note.txt")), kWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(program.receivingFiles().isEmpty(), kWaitMs);
        QVERIFY(!PhoneNodeInfo::existingNode(QStringLiteral("big.bin"))->uploading());
        QVERIFY(!QFile::exists(downloads() + QStringLiteral("/big.bin")));
    }

    void phoneLeavingMidListingEmptiesThePane() {
        Store store;
        Program program(store, {QStringLiteral("--withhold"), QStringLiteral("DirectoryList")});
        QVERIFY(QTest::qWaitFor(
            [&] {
                return program.statusText() == QStringLiteral("Connected to Simulated iPhone.");
            },
            kWaitMs));
        program.phone.reset();
        QVERIFY(QTest::qWaitFor(
            [&] { return program.statusText() == QStringLiteral("Not connected."); }, kWaitMs));
        QCOMPARE(program.rows().rowCount(), 0);
    }

    void phoneWithoutUploadsListsAndDownloadsPastAMissingFile() {
        Store store;
        Program program(store, {QStringLiteral("--no-upload")});
        QVERIFY(program.ready(6));
        // A file gone from the phone since the listing holds up no later download.
        QVERIFY(QFile::remove(store.path(QStringLiteral("b.txt"))));
        emit program.table().revealRequested(program.row(QStringLiteral("b.txt")));
        QTRY_VERIFY_WITH_TIMEOUT(program.receivingFiles().isEmpty(), kWaitMs);
        emit program.table().revealRequested(program.row(QStringLiteral("A.pdf")));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(downloads() + QStringLiteral("/A.pdf")), kWaitMs);
    }

    void tenThousandFilesListQuickly() {
        ManyFilesPhone many(kManyFiles);
        QVERIFY(many.started());
        vantle::test::Program& program = many.program;
        PhoneDataSource& rows = many.rows();
        QVERIFY(QTest::qWaitFor([&] { return rows.rowCount() == kManyFiles; }, kWaitMs));
        // Once more, timed: from the request to the rows in the table.
        QSignalSpy reset(&rows, &QAbstractItemModel::modelReset);
        QElapsedTimer timer;
        timer.start();
        program->phonePane().refreshPhoneListing();
        QVERIFY(reset.wait(kWaitMs));
        const qint64 elapsed = timer.elapsed();
        QCOMPARE(rows.rowCount(), kManyFiles);
        qInfo("a listing of %d files shown in %lld ms", kManyFiles, elapsed);
        QVERIFY(elapsed < kListingBoundMs);
        // Their sizes follow without holding up the window.
        QVERIFY(
            QTest::qWaitFor([&] { return rows.pathsWithoutIconsAndSizes().isEmpty(); }, kWaitMs));
    }
};

int main(int argc, char** argv) {
    return vantle::test::runAppSuite<PhonePaneTest>(argc, argv);
}

#include "tst_phonepane.moc"
