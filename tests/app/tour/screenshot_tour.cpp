// vantle-screenshots: takes the program through its states against the simulated phone and saves
// a picture of each (window and open sheet together) into a folder. Run by scripts/screenshots.sh.
#include "app/AppController.h"
#include "app/PhoneDataSource.h"
#include "app/QueueDataSource.h"
#include "app/Translations.h"
#include "app/history/TransferHistory.h"
#include "app/history/TransferHistoryWindow.h"
#include "app/tray/TrayIcon.h"
#include "platform/Defaults.h"
#include "platform/Settings.h"
#include "support/harness/AppProcess.h"
#include "support/harness/Program.h"
#include "transfer/TransferTimeouts.h"
#include "ui/IDDragTableView.h"
#include "ui/MRCoolTextView.h"
#include "ui/MRWindow.h"
#include "ui/SheetPresenter.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMenu>
#include <QPainter>
#include <QPalette>
#include <QProgressBar>
#include <QStyleFactory>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <iterator>
#include <memory>

using namespace vantle;
using vantle::test::PhoneProcess;
using vantle::test::Program;

namespace {

constexpr int kWaitMs = vantle::test::kProgramWaitMs;
constexpr int kSettleMs = 400;
constexpr int kSheetTop = 28;
constexpr QSize kWindowSize{520, 640};
// The phone's files in the tour: a video long enough to show its download, and small notes.
constexpr qsizetype kPhoneVideoBytes = 8 * 1024 * 1024;
constexpr qsizetype kPhoneNoteBytes = 120;

QString gOutput;
int gFailures = 0;
// The shots a run takes: those named after --only, or all.
QStringList gOnly;

bool wanted(const QStringList& shots) {
    return gOnly.isEmpty() || std::any_of(shots.cbegin(), shots.cend(),
                                          [](const QString& shot) { return gOnly.contains(shot); });
}

void setPref(QLatin1StringView key, const QVariant& value) {
    Defaults::setValue(QString(key), value);
    Defaults::sync();
}

void savePicture(const QPixmap& picture, const QString& name) {
    if (!wanted({name})) return;
    const QString path = gOutput + QStringLiteral("/") + name + QStringLiteral(".png");
    if (picture.save(path)) {
        std::printf("%s\n", qUtf8Printable(path));
    } else {
        std::fprintf(stderr, "cannot save %s\n", qUtf8Printable(path));
        ++gFailures;
    }
}

// The window with its open sheet drawn where a sheet hangs: centred under the title.
void save(const Program& program, const QString& name) {
    QTest::qWait(kSettleMs);
    QPixmap picture = program.window()->grab();
    if (QWidget* sheet = program.presenter()->current()) {
        const QPixmap drawn = sheet->grab();
        QPainter painter(&picture);
        const int x = (picture.width() - drawn.width()) / 2;
        painter.fillRect(QRect(x - 1, kSheetTop - 1, drawn.width() + 2, drawn.height() + 2),
                         program.window()->palette().color(QPalette::Shadow));
        painter.drawPixmap(x, kSheetTop, drawn);
    }
    savePicture(picture, name);
}

// The tray icon in each of its looks at the sizes trays use, its tool tip beside it, and its menu
// popped up, over a panel of the palette's colours (Xvfb has no tray to grab).
void saveTray(const Program& program, const QString& name) {
    constexpr int kGap = 12;
    constexpr int kRowHeight = 56;
    constexpr int kTextWidth = 280;
    constexpr int kSizes[] = {16, 22, 32, 48};
    using Look = TrayIcon::Look;
    using Connection = TrayIcon::Connection;
    const QString phone = QStringLiteral("Anna's iPhone");
    const struct {
        Look look;
        QString toolTip;
    } rows[] = {
        {Look::NotConnected, TrayIcon::describe(Connection::NotConnected, {}, 0, {}, false)},
        {Look::Connected, TrayIcon::describe(Connection::Connected, phone, 0, {}, false)},
        {Look::Sending, TrayIcon::describe(Connection::Connected, phone, 3, 42, true)},
    };
    QMenu* menu = program->tray().menu();
    menu->popup(QPoint(0, 0));
    QTest::qWait(kSettleMs);
    const QPixmap drawnMenu = menu->grab();
    menu->hide();

    int iconsWidth = kGap;
    for (const int side : kSizes)
        iconsWidth += side + kGap;
    const int rowsHeight = kGap + static_cast<int>(std::size(rows)) * kRowHeight;
    QPixmap picture(iconsWidth + kTextWidth + drawnMenu.width() + kGap,
                    std::max(rowsHeight, drawnMenu.height() + 2 * kGap));
    const QPalette palette = QApplication::palette();
    picture.fill(palette.color(QPalette::Window));
    QPainter painter(&picture);
    int y = kGap;
    for (const auto& row : rows) {
        const QIcon icon = TrayIcon::iconFor(row.look);
        int x = kGap;
        for (const int side : kSizes) {
            painter.drawPixmap(x, y + (kRowHeight - kGap - side) / 2, icon.pixmap(side, side));
            x += side + kGap;
        }
        painter.setPen(palette.color(QPalette::WindowText));
        painter.drawText(QRect(x, y, kTextWidth, kRowHeight - kGap), Qt::AlignVCenter, row.toolTip);
        y += kRowHeight;
    }
    painter.drawPixmap(iconsWidth + kTextWidth, kGap, drawnMenu);
    painter.end();
    savePicture(picture, name);
}

Program start() {
    Program program;
    if (!program.started) return program;
    program.window()->resize(kWindowSize);
    program.window()->show();
    return program;
}

const QString kPhoneName = QStringLiteral("Anna's iPhone");

// A text as the window shows it in the tour's language.
QString shown(const char* context, const char* source) {
    return QCoreApplication::translate(context, source);
}

bool waitForStatus(const Program& program, const QString& status) {
    const bool reached = QTest::qWaitFor([&] { return program.statusText() == status; }, kWaitMs);
    if (!reached) {
        std::fprintf(stderr, "never reached \"%s\" (at \"%s\")\n", qUtf8Printable(status),
                     qUtf8Printable(program.statusText()));
        ++gFailures;
    }
    return reached;
}

QStringList sampleFiles(const QString& folder) {
    QStringList paths;
    QDir().mkpath(folder);
    const char* names[] = {"Holiday photos", "Quarterly report.pdf", "Notes.rtf",
                           "Song of the summer.mp3"};
    for (const char* name : names) {
        const QString path = folder + QStringLiteral("/") + QLatin1String(name);
        if (!QString::fromLatin1(name).contains(QLatin1Char('.'))) {
            QDir().mkpath(path);
            QFile file(path + QStringLiteral("/beach.jpg"));
            if (file.open(QIODevice::WriteOnly)) file.write(QByteArray(180'000, 'x'));
        } else {
            QFile file(path);
            if (file.open(QIODevice::WriteOnly)) file.write(QByteArray(52'000, 'x'));
        }
        paths << path;
    }
    return paths;
}

// Each state's phone is a phone of its own, as its store is: what one phone was left with (an
// upload's remains) is never looked for on another.
QStringList ownPhone(QStringList arguments) {
    static int phones = 0;
    return arguments << QStringLiteral("--id") << QStringLiteral("tour-phone-%1").arg(++phones);
}

void waitForUploadLine(const Program& program, const QString& part = QStringLiteral("/s")) {
    if (!QTest::qWaitFor([&] { return program.uploadDetails().contains(part); }, kWaitMs)) {
        std::fprintf(stderr, "no upload line\n");
        ++gFailures;
    }
}

void waitForSheet(const Program& program, const QString& title) {
    if (!QTest::qWaitFor([&] { return program.presenter()->currentTitle() == title; }, kWaitMs)) {
        std::fprintf(stderr, "no sheet \"%s\"\n", qUtf8Printable(title));
        ++gFailures;
    }
}

// The queue going to the phone: the bar and its line, a name clash, a failed piece.
void uploadTour(const QString& files) {
    constexpr qsizetype kVideoBytes = 12 * 1024 * 1024;
    const QString video = files + QStringLiteral("/Holiday video.mov");
    {
        QFile file(video);
        if (file.open(QIODevice::WriteOnly)) file.write(QByteArray(kVideoBytes, 'v'));
    }
    {
        PhoneProcess phone(ownPhone({QStringLiteral("--name"), QStringLiteral("Anna's iPhone"),
                                     QStringLiteral("--delay-ms"), QStringLiteral("150")}));
        auto program = start();
        program->addToQueue({video});
        program->connectToTypedAddress(vantle::test::loopbackAddress(phone));
        // The large file well under way.
        waitForUploadLine(program);
        save(program, QStringLiteral("uploading"));
    }
    {
        // Whichever item comes first finds its name taken.
        QTemporaryDir store;
        for (const QString& name : QDir(files).entryList(QDir::AllEntries | QDir::NoDotAndDotDot))
            QFile(store.filePath(name)).open(QIODevice::WriteOnly);
        PhoneProcess phone(ownPhone({QStringLiteral("--name"), QStringLiteral("Anna's iPhone"),
                                     QStringLiteral("--store"), store.path()}));
        auto program = start();
        program->connectToTypedAddress(vantle::test::loopbackAddress(phone));
        waitForSheet(program, shown("vantle::UploadFlow", "File Exists On Device"));
        save(program, QStringLiteral("file-exists"));
    }
    {
        PhoneProcess phone(ownPhone({QStringLiteral("--name"), QStringLiteral("Anna's iPhone"),
                                     QStringLiteral("--fail-chunk"), QStringLiteral("1=-36")}));
        auto program = start();
        program->connectToTypedAddress(vantle::test::loopbackAddress(phone));
        waitForSheet(program, shown("vantle::UploadFlow", "Error Uploading to Device"));
        save(program, QStringLiteral("upload-error"));
    }
}

// Edit → Preferences..., its window on its own, in the theme of the moment.
void preferences(const QString& name) {
    auto program = start();
    if (!program.started) return;
    program.action(QStringLiteral("showPreferences:"))->trigger();
    auto* dialog = program.find<QDialog>(QStringLiteral("preferencesDialog"));
    if (!dialog) {
        std::fprintf(stderr, "no preferences window\n");
        ++gFailures;
        return;
    }
    QTest::qWait(kSettleMs);
    savePicture(dialog->grab(), name);
}

int phoneRow(const PhoneDataSource& rows, const QString& name) {
    for (int row = 0; row < rows.rowCount(); ++row)
        if (rows.data(rows.index(row, 0)).toString() == name) return row;
    return -1;
}

// The phone's sample files with their icons and sizes, one of them coming (the phone reads
// slowly, so the bar stays a while), and the question before a removal.
// A phone that stops sending in the middle of a file: the download ends with its cause.
void downloadStops(const QString& store) {
    // The limit a silent phone is given, shortened for the tour.
    qputenv(kDownloadSilenceVariable, "1500");
    PhoneProcess phone(ownPhone({QStringLiteral("--name"), QStringLiteral("Anna's iPhone"),
                                 QStringLiteral("--store"), store,
                                 QStringLiteral("--stop-after-pieces"), QStringLiteral("2")}));
    auto program = start();
    program->connectToTypedAddress(vantle::test::loopbackAddress(phone));
    if (!waitForStatus(program,
                       shown("vantle::ConnectionStatus", "Connected to %1.").arg(kPhoneName)))
        return;
    PhoneDataSource& rows = *program.phoneDataSource();
    if (!QTest::qWaitFor([&] { return phoneRow(rows, QStringLiteral("Beach video.mov")) >= 0; },
                         kWaitMs))
        ++gFailures;
    emit program.phoneTable()->rowActivated(phoneRow(rows, QStringLiteral("Beach video.mov")));
    waitForSheet(program, shown("vantle::PhonePane", "Download Failed"));
    save(program, QStringLiteral("download-stopped"));
    qunsetenv(kDownloadSilenceVariable);
}

void phoneFiles(const QString& store) {
    QDir().mkpath(store + QStringLiteral("/Trip"));
    const auto write = [&](const QString& name, qsizetype size) {
        QFile file(store + QStringLiteral("/") + name);
        if (!file.open(QIODevice::WriteOnly) || file.write(QByteArray(size, 'v')) != size)
            ++gFailures;
    };
    write(QStringLiteral("Beach video.mov"), kPhoneVideoBytes);
    write(QStringLiteral("Shopping list.txt"), kPhoneNoteBytes);
    write(QStringLiteral("Welcome.txt"), kPhoneNoteBytes);
    write(QStringLiteral("Trip/Itinerary.txt"), kPhoneNoteBytes);
    PhoneProcess phone(ownPhone(
        {QStringLiteral("--name"), QStringLiteral("Anna's iPhone"), QStringLiteral("--store"),
         store, QStringLiteral("--read-bytes-per-second"), QStringLiteral("1500")}));
    auto program = start();
    // Nothing of the tour opens on the desktop.
    const auto nothing = [](const QString&) { return true; };
    program->phonePane().setDesktopOpener({nothing, nothing});
    program->connectToTypedAddress(vantle::test::loopbackAddress(phone));
    if (!waitForStatus(program,
                       shown("vantle::ConnectionStatus", "Connected to %1.").arg(kPhoneName)))
        return;
    PhoneDataSource& rows = *program.phoneDataSource();
    if (!QTest::qWaitFor(
            [&] { return rows.rowCount() > 0 && rows.pathsWithoutIconsAndSizes().isEmpty(); },
            kWaitMs))
        ++gFailures;
    save(program, QStringLiteral("phone-files"));

    const int big = phoneRow(rows, QStringLiteral("Beach video.mov"));
    emit program.phoneTable()->rowActivated(big);
    if (!QTest::qWaitFor([&] { return !program.downloadBar()->isHidden(); }, kWaitMs)) ++gFailures;
    save(program, QStringLiteral("phone-downloading"));
    // A second click cancels it.
    emit program.phoneTable()->rowActivated(big);

    program.phoneTable()->selectRow(phoneRow(rows, QStringLiteral("Shopping list.txt")));
    emit program.phoneTable()->deleteRequested();
    if (!QTest::qWaitFor([&] { return program.presenter()->current() != nullptr; }, kWaitMs))
        ++gFailures;
    save(program, QStringLiteral("phone-remove"));
    program.presenter()->answer(SheetPresenter::Role::Cancel);
}

// The transfer history with an item sent, one received, one refused and one stopped.
void historyWindow(const QString& files, const QString& name) {
    auto program = start();
    TransferHistory& history = program->history();
    if (!QTest::qWaitFor([&] { return history.state() == TransferHistory::State::Ready; }, kWaitMs))
        ++gFailures;
    history.clear();
    const QStringList paths = sampleFiles(files);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const auto add = [&](int minutesAgo, TransferDirection direction, TransferResult result,
                         const QString& path, quint64 size, const QString& reason = {}) {
        history.add({now.addSecs(-60 * minutesAgo), direction, result, QFileInfo(path).fileName(),
                     size, QStringLiteral("Anna's iPhone"), path, reason});
    };
    add(42, TransferDirection::Sent, TransferResult::Done, paths.at(1), 52'000);
    add(30, TransferDirection::Sent, TransferResult::Failed, paths.at(3), 52'000,
        shown("vantle::UploadFlow", "Error Uploading to Device"));
    add(12, TransferDirection::Received, TransferResult::Done, paths.at(2), 52'000);
    add(5, TransferDirection::Sent, TransferResult::Cancelled, paths.at(0), 180'000);
    add(1, TransferDirection::Received, TransferResult::Failed,
        files + QStringLiteral("/Beach video.mov"), kPhoneVideoBytes,
        QStringLiteral("the phone stopped sending"));
    program->showTransferHistory();
    TransferHistoryWindow* window = program->transferHistoryWindow();
    window->table()->selectRow(2);
    QTest::qWait(kSettleMs);
    savePicture(window->grab(), name);
}

void tour(const QString& files) {
    if (wanted({QStringLiteral("welcome"), QStringLiteral("manual-connect")})) {
        auto program = start();
        if (!program.started) return;
        // The hint over the empty queue comes a moment after the start.
        if (!QTest::qWaitFor([&] { return !program.helpfulMessage()->title().isEmpty(); }, kWaitMs))
            ++gFailures;
        save(program, QStringLiteral("welcome"));
        program->status().directConnect();
        if (!QTest::qWaitFor([&] { return program.presenter()->current() != nullptr; }, kWaitMs))
            ++gFailures;
        save(program, QStringLiteral("manual-connect"));
    }
    if (wanted({QStringLiteral("waiting-for-approval")})) {
        PhoneProcess phone(ownPhone({QStringLiteral("--no-approval")}));
        auto program = start();
        program->connectToTypedAddress(vantle::test::loopbackAddress(phone));
        if (waitForStatus(program, shown("vantle::ConnectionStatus", "Waiting for approval...")))
            save(program, QStringLiteral("waiting-for-approval"));
    }
    if (wanted({QStringLiteral("refused")})) {
        PhoneProcess phone(ownPhone(
            {QStringLiteral("--deny"), QStringLiteral("--name"), QStringLiteral("Anna's iPhone")}));
        auto program = start();
        program->connectToTypedAddress(vantle::test::loopbackAddress(phone));
        const bool refused = QTest::qWaitFor(
            [&] {
                return program.presenter()->currentTitle() ==
                       shown("vantle::ConnectionStatus", "Connection Refused");
            },
            kWaitMs);
        if (!refused) ++gFailures;
        save(program, QStringLiteral("refused"));
    }
    if (wanted({QStringLiteral("connected"), QStringLiteral("tray-menu")})) {
        PhoneProcess phone(ownPhone({QStringLiteral("--name"), QStringLiteral("Anna's iPhone")}));
        auto program = start();
        program->connectToTypedAddress(vantle::test::loopbackAddress(phone));
        if (waitForStatus(program,
                          shown("vantle::ConnectionStatus", "Connected to %1.").arg(kPhoneName))) {
            save(program, QStringLiteral("connected"));
            saveTray(program, QStringLiteral("tray-menu"));
        }
    }
    if (wanted({QStringLiteral("preferences")})) preferences(QStringLiteral("preferences"));
    if (wanted({QStringLiteral("phone-files"), QStringLiteral("phone-downloading"),
                QStringLiteral("phone-remove")}))
        phoneFiles(files + QStringLiteral("-phone"));
    if (wanted({QStringLiteral("download-stopped")}))
        downloadStops(files + QStringLiteral("-phone"));
    if (wanted({QStringLiteral("queue")})) {
        auto program = start();
        program->addToQueue(sampleFiles(files));
        save(program, QStringLiteral("queue"));
    }
    if (wanted({QStringLiteral("uploading"), QStringLiteral("file-exists"),
                QStringLiteral("upload-error")}))
        uploadTour(files);
    if (wanted({QStringLiteral("history")})) historyWindow(files, QStringLiteral("history"));
    {
        // The same queue in a dark theme.
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        QPalette dark;
        dark.setColor(QPalette::Window, QColor(45, 45, 48));
        dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
        dark.setColor(QPalette::Base, QColor(30, 30, 32));
        dark.setColor(QPalette::AlternateBase, QColor(40, 40, 44));
        dark.setColor(QPalette::Text, QColor(230, 230, 230));
        dark.setColor(QPalette::Button, QColor(55, 55, 60));
        dark.setColor(QPalette::ButtonText, QColor(230, 230, 230));
        dark.setColor(QPalette::Highlight, QColor(42, 110, 200));
        dark.setColor(QPalette::HighlightedText, Qt::white);
        dark.setColor(QPalette::Light, QColor(80, 80, 86));
        dark.setColor(QPalette::Midlight, QColor(65, 65, 70));
        dark.setColor(QPalette::Mid, QColor(100, 100, 106));
        dark.setColor(QPalette::Dark, QColor(20, 20, 22));
        dark.setColor(QPalette::Shadow, Qt::black);
        dark.setColor(QPalette::PlaceholderText, QColor(150, 150, 156));
        // What cannot be used now looks so.
        for (const QPalette::ColorRole role :
             {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            dark.setColor(QPalette::Disabled, role, QColor(120, 120, 126));
        QApplication::setPalette(dark);
    }
    if (wanted({QStringLiteral("dark-queue"), QStringLiteral("tray-menu-dark")})) {
        PhoneProcess phone(ownPhone({QStringLiteral("--name"), QStringLiteral("Anna's iPhone"),
                                     QStringLiteral("--delay-ms"), QStringLiteral("150")}));
        auto program = start();
        program->connectToTypedAddress(vantle::test::loopbackAddress(phone));
        waitForStatus(program,
                      shown("vantle::ConnectionStatus", "Connected to %1.").arg(kPhoneName));
        waitForUploadLine(program);
        save(program, QStringLiteral("dark-queue"));
        saveTray(program, QStringLiteral("tray-menu-dark"));
    }
    if (wanted({QStringLiteral("dark-preferences")}))
        preferences(QStringLiteral("dark-preferences"));
    if (wanted({QStringLiteral("dark-history")}))
        historyWindow(files, QStringLiteral("dark-history"));
    // In the dark theme still: Make Unique finds no free name.
    if (wanted({QStringLiteral("no-free-name")})) {
        // A name so long that no numbered one beside it fits: Make Unique finds no free name.
        constexpr int kLongestStem = 250;
        const QString name = QString(kLongestStem, u'x') + QStringLiteral(".txt");
        QTemporaryDir store;
        QTemporaryDir here;
        QFile(store.filePath(name)).open(QIODevice::WriteOnly);
        QFile(here.filePath(name)).open(QIODevice::WriteOnly);
        PhoneProcess phone(ownPhone({QStringLiteral("--name"), QStringLiteral("Anna's iPhone"),
                                     QStringLiteral("--store"), store.path()}));
        auto program = start();
        program->addToQueue({here.filePath(name)});
        program->connectToTypedAddress(vantle::test::loopbackAddress(phone));
        SheetPresenter& sheets = *program.presenter();
        const auto noFreeName = [&] {
            if (sheets.currentText() ==
                shown("vantle::UploadFlow",
                      "A file or folder named \"%1\" already exists in your Vantle, and no free "
                      "name was found for a copy beside it.")
                    .arg(name))
                return true;
            if (sheets.currentTitle() == shown("vantle::UploadFlow", "File Exists On Device"))
                sheets.answer(SheetPresenter::Role::MakeUnique);
            return false;
        };
        if (!QTest::qWaitFor(noFreeName, kWaitMs)) {
            std::fprintf(stderr, "no sheet about a free name\n");
            ++gFailures;
        }
        save(program, QStringLiteral("no-free-name"));
    }
}

} // namespace

// vantle-screenshots [FOLDER] [--only SHOT,SHOT...] [--scale FACTOR]: FACTOR scales the whole
// window (QT_SCALE_FACTOR), for pictures of it on screens of 1.5 or 2 times the density.
int main(int argc, char** argv) {
    gOutput = QStringLiteral("screenshots");
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        const bool hasValue = i + 1 < argc;
        if (argument == "--only" && hasValue)
            gOnly = QString::fromLocal8Bit(argv[++i]).split(u',', Qt::SkipEmptyParts);
        else if (argument == "--scale" && hasValue)
            qputenv("QT_SCALE_FACTOR", argv[++i]); // read as the application starts
        else
            gOutput = QString::fromLocal8Bit(argument);
    }
    QTemporaryDir profile;
    vantle::test::usePrivateProfile(profile.path());
    QApplication app(argc, argv);
    vantle::test::nameApplication();
    // The tour shows the window in the user's language (LANGUAGE=de ...); the harness installed
    // English as the suites need it.
    vantle::translations::install(app, QLocale::system().uiLanguages());
    QDir().mkpath(gOutput);
    setPref(settings::kAutoConnect.key, false);
    setPref(settings::kDontWarnAboutManual.key, true);
    setPref(settings::kLastManualIP.key, QStringLiteral("192.168.1.20"));
    tour(profile.filePath(QStringLiteral("files")));
    return gFailures == 0 ? 0 : 1;
}
