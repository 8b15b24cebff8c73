#pragma once

#include "app/PhoneDataSource.h"
#include "app/PhoneHost.h"
#include "app/TransferRecord.h"
#include "app/WindowParts.h"
#include "platform/BackgroundWork.h"
#include "platform/DesktopServices.h"
#include "platform/Result.h"

#include <QMap>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>
#include <optional>

class QAction;
class QLabel;
class QProgressBar;
class QTimer;
class QWidget;

namespace vantle {

class ClientServerController;
class IDDragTableView;
class MRTransferController;
class SheetPresenter;

// The phone's files: the pane that lists them, their icons and sizes fetched on workers,
// downloads one at a time with their bar, and removals. Main thread.
class PhonePane final : public QObject, public PhoneHost {
    Q_OBJECT

public:
    using Parts = WindowParts;
    // How a finished download reaches the desktop.
    using DesktopOpener = vantle::DesktopOpener;

    explicit PhonePane(Parts parts, QObject* parent = nullptr);
    ~PhonePane() override;
    PhonePane(const PhonePane&) = delete;
    PhonePane& operator=(const PhonePane&) = delete;

    // Fills `pane` with the heading, the table and the download bar.
    void buildPhonePane(QWidget* pane);
    QLabel* heading() const { return mHeading; }
    IDDragTableView* phoneTable() const { return phoneTable_; }
    PhoneDataSource* phoneDataSource() const { return mPhone; }
    QProgressBar* downloadBar() const { return downloadProgressIndicator; }
    QStringList receivingFiles() const { return mReceivingFiles; }
    const QMap<QString, QString>& dropDestinations() const { return mDropDestinations; }
    void setDesktopOpener(DesktopOpener opener) { mOpener = std::move(opener); }

    // Lists the phone's files on a worker; their icons and sizes follow on another.
    void refreshPhoneListing();
    // The PC wrote or removed `path` on the phone: its old icon and size are asked for again.
    void phoneItemChanged(const QString& path);
    // Downloads `path` into `folder`, where it is neither opened nor revealed.
    void downloadTo(const QString& path, const QString& folder);
    // Where the user's own downloads (not those dropped or sent to a folder) go: the folder of
    // the preferences, or none for the store.
    static std::optional<QString> usersDownloadFolder();
    // What an earlier run left half-arrived goes, on a worker.
    void clearLeftoverDownloads();
    void phoneConnectionLost();
    void hideDownloadBar();
    // The transfer layer's words about the download under way.
    void downloadProgress(quint64 total, quint64 received);
    // The download under way ended: its item all arrived (`finished`), or it was cancelled.
    void fileDownloaded(bool finished);
    void downloadFailed(const QString& reason);
    // Waits for the workers; their requests end with the connection.
    void waitForPhoneWorkers();

    // --- PhoneHost ---
    bool connected() const override;
    bool requestFile(const QString& path) override;
    void cancelDownload() override;
    void forgetDropDestination(const QString& path) override;

signals:
    // A download ended: moved into place (its record's local path is where), failed with the
    // reason, or stopped.
    void downloadEnded(const TransferRecord& record);
    // The downloads asked for changed: `count` of them, the one in front called `first`; none
    // (0) once the last has ended.
    void receivingChanged(const QString& first, int count);

private:
    enum class DownloadFailure { NotSaved, NotReceived };
    // The phone is asked for the file in front on a worker (Requesting); a finished item crosses
    // file systems as a copy as long as itself, which a worker does (MovingIntoPlace). The next
    // download waits for either.
    enum class DownloadStage { Receiving, Requesting, MovingIntoPlace };
    // Where a finished item goes: where the user's downloads go (then opened or revealed), or
    // where it was dropped or sent (left there).
    enum class Landing { UsersFolder, DropDestination };
    // What became of the download in front before the phone had answered its request, dealt
    // with once it has: the user's stop and the phone's end, in whichever order they came.
    struct WhileRequesting {
        bool stopped = false;
        std::optional<bool> endedFinished; // the phone's end, and whether all of it arrived
    };
    // One listing worker and one icons worker at a time: what changes while one runs is done
    // once more after it.
    enum class PhoneWork { Idle, Running, RunningAndStale };
    // One each for the listing, the icons, a download's request, a move into place and the
    // download area.
    static constexpr int kWorkerThreads = 5;
    // How long the end of the program waits for the workers before it says so.
    static constexpr std::chrono::milliseconds kWorkersEndLimit{5000};

    void connectPhoneTable();
    void gotListing(const std::optional<QMap<QString, ListingEntry>>& listing);
    void listingArrived(const std::optional<QMap<QString, ListingEntry>>& listing);
    void updateSizesAndIcons();
    void iconsArrived(const std::optional<PhoneIconsAndSizes>& answer);
    void gotIconsAndSizes(const PhoneIconsAndSizes& answer);
    // The cached icon and size of `path` dropped, and any answer for it still on its way.
    void forgetIconAndSize(const QString& path);
    // Asks the phone for the file in front, on a worker; false when none waits.
    bool requestNextFile();
    // Says what is being received now, after every change of the downloads asked for.
    void tellReceiving();
    // The phone's answer to the request tagged `tag`: the file comes (`granted`), or the next
    // one is asked for.
    void requestAnswered(quint64 tag, bool granted);
    void askDownloadTo(int row);
    // The item `asked` (top-level `root`) was moved into place off the main thread, or not.
    void downloadMovedIntoPlace(const QString& asked, const QString& root, Landing landing,
                                const Result<QString>& finalFile);
    // Tells how the download of `asked` ended.
    void reportDownloadEnd(const QString& asked, TransferResult result, const QString& reason,
                           const QString& localPath = {});
    // The download in front has ended: its row, the next one.
    void endDownload(const QString& asked);
    void showDownloadFailure(const QString& name, const QString& error,
                             DownloadFailure failure = DownloadFailure::NotSaved);
    void askToRemove(const QStringList& paths);
    // Removes `paths` on the phone on a worker, one after the other; what is asked for or being
    // downloaded stays.
    void removeFromPhone(const QStringList& paths);
    // The removal of `asked` has ended: the rows of those `removed` leave.
    void removalAnswered(const QStringList& asked, const QStringList& removed);

    Parts mParts;
    QLabel* mHeading = nullptr;
    IDDragTableView* phoneTable_ = nullptr;
    QProgressBar* downloadProgressIndicator = nullptr;
    PhoneDataSource* mPhone = nullptr;
    // Gives up a download that hears nothing from the phone for too long.
    QTimer* mDownloadSilenceTimer = nullptr;
    QStringList mReceivingFiles;
    DownloadStage mDownloadStage = DownloadStage::Receiving;
    WhileRequesting mWhileRequesting;
    // Of the download in front: its phone's name, its size once the phone has told it, and why it
    // failed once the transfer layer has said so.
    QString mDownloadPhone;
    std::optional<quint64> mDownloadTotal;
    std::optional<QString> mDownloadFailure;
    // Each request's own: the answer to one made before the connection went is dropped.
    quint64 mRequestTag = 0;
    QMap<QString, QString> mDropDestinations;
    DesktopOpener mOpener;
    PhoneWork mListingWork = PhoneWork::Idle;
    PhoneWork mIconsWork = PhoneWork::Idle;
    // The paths the running icons worker asked for whose answers still hold: a path written,
    // removed or gone from the listing meanwhile is asked for again instead.
    QSet<QString> mIconsAwaited;
    // The paths on their way out, once per removal that asked for them: none is downloaded.
    QStringList mRemoving;
    // Removals, one after the other in the order asked. Last with mWorkers, so that both go
    // first.
    BackgroundWork mRemovals{1};
    // The listing, the icons, the move of a download into place and the clearing of the
    // download area each run on one of these.
    BackgroundWork mWorkers{kWorkerThreads};
};

} // namespace vantle
