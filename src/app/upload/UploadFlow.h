#pragma once

#include "app/TransferRecord.h"
#include "app/UploadPartials.h"
#include "app/UploadProgressText.h"
#include "platform/BackgroundWork.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QBoxLayout;
class QLabel;
class QProgressBar;
class QTimer;
class QToolButton;
class QWidget;

namespace vantle {

class ClientServerController;
class FSNodeInfo;
class IDDragTableView;
class MRTransferController;
class QueueDataSource;
class SheetPresenter;

// The way of the queue to the phone: one item at a time on a worker, its row under the queue
// (name, bar, stop button, details line), the remembered answer to a name clash, the sheets that
// explain a failure, and what a dropped upload left on a phone. Main thread, except the worker.
class UploadFlow final : public QObject {
    Q_OBJECT

public:
    // What the flow works with; owned by the controller, alive as long as the flow.
    struct Parts {
        MRTransferController& transfer;
        ClientServerController& clientServer;
        QueueDataSource& queue;
        SheetPresenter& presenter;
        IDDragTableView& queueTable;
        // Whether an upload may start now: the phone is connected, has approved and takes them.
        std::function<bool()> mayUpload;
    };

    explicit UploadFlow(Parts parts, QObject* parent = nullptr);
    ~UploadFlow() override;
    UploadFlow(const UploadFlow&) = delete;
    UploadFlow& operator=(const UploadFlow&) = delete;

    // Adds the upload row to the queue's pane.
    void buildUploadRow(QWidget* pane, QBoxLayout* layout);
    // The row's Stop button, for the window's order of the keyboard's focus.
    QToolButton* stopButtonWidget() const { return mRow.stop; }

    void setupUploadUI();
    void startUploadIfWeCan();
    // Stops the item being sent (the button, a row taken out, a lost connection).
    void stopButton();
    // The program is about to end: the item's upload stops and the worker ends.
    void shutDown();
    // The queued item being sent, or whose failure a sheet is asking about; empty when none.
    QString currentUploadPath() const;

signals:
    // The upload wrote or removed `name` at the top of the phone's store.
    void phoneItemChanged(const QString& name);
    // An item's upload ended: it arrived whole, failed (a failure's sheet is up or it left the
    // queue unsent), or was stopped.
    void itemEnded(const TransferRecord& record);
    // The queue has run dry after uploads; `itemsSent` of them went.
    void queueEmptied(int itemsSent);
    // An item is going (at every tick of the bar): `percent` of it has gone, none while it is
    // being measured.
    void sendingProgress(std::optional<int> percent);
    // The item called `name` is on its way; `itemsLeft` queued items go, that one included.
    void sendingStarted(const QString& name, int itemsLeft);
    // Nothing is on its way any more: the item ended, stopped, or waits for its sheet's answer.
    void sendingStopped();

private:
    enum class UploadPhase {
        Idle,    // no item is being sent
        Sending, // the worker runs, or its result is on its way to the main thread
        Failed,  // the item's sheet is pending or open
    };
    enum class ClashAnswer { Replace, Cancel, MakeUnique };
    enum class PartialState {
        Gone,       // nothing is left at its name (it was removed, or is no longer there)
        StillThere, // it could not be removed
        NotOurs,    // the phone holds more there than was ever sent: it is left alone
    };
    // The row's widgets, owned by the queue's pane.
    struct Row {
        QLabel* name = nullptr;
        QProgressBar* bar = nullptr;
        QToolButton* stop = nullptr;
        QLabel* details = nullptr;
    };

    // Delay before the next item is tried, after a success, a sheet's answer or a stop.
    static constexpr int kNextUploadDelayMs = 100;
    // How long the end of the program waits for the worker before it says so.
    static constexpr std::chrono::milliseconds kWorkerEndLimit{5000};
    static QString lastComponent(const FSNodeInfo& node);

    void startAnUpload();
    // Every change of phase goes through here, so that the start and end of sending are told.
    void setUploadPhase(UploadPhase phase);
    // Starts the worker: remains of items no longer queued go first, then `node`, if any, once
    // the worker has measured what it sends.
    void startUploadWorker(const std::shared_ptr<FSNodeInfo>& node);
    // The worker's measure of the item being sent: the bar's range and the details line follow.
    void uploadSizeKnown(const std::shared_ptr<FSNodeInfo>& node, quint64 total);
    // The worker's part of one item: what the phone holds of an earlier try, the name, then the
    // upload and the clean-up of what a failure left.
    std::int32_t uploadItem(FSNodeInfo& node, quint64 total, const QString& phoneID);
    void removeLeftovers(const QString& phoneID, const QStringList& queued);
    PartialState removeOwnPartial(const UploadPartials::Partial& partial);
    // The unique ID the connected phone gave; empty without one. Any thread.
    QString connectedPhoneID() const;
    void uploadFinished(std::int32_t result);
    // Tells how the current item's upload ended.
    void reportEnd(TransferResult result, const QString& reason = {});
    void displayError(std::int32_t result);
    void askReplace(ClashAnswer answer);
    void finishedError();
    void askTryAgain(bool tryAgain);
    void removeCurrentUpload();
    void waitForThreadToFinish();
    void checkForFinished();
    // The name of the item being sent (none: nothing is), beside the bar and as its name.
    void showName(const QString& name);

    Parts mParts;
    Row mRow;
    std::shared_ptr<FSNodeInfo> mCurrentUpload;
    std::atomic<bool> mThreadRunning{false};
    UploadPhase mUploadPhase = UploadPhase::Idle;
    // Items sent since the queue last ran dry, for the notification when it does.
    int mItemsSent = 0;
    QTimer* mUploadTimer = nullptr;
    int mTimerTicks = 0;
    // The bar's range; 0 (a busy bar) until the worker has measured the item.
    int mUploadMaximum = 0;
    // The bytes the item sends, once measured.
    std::optional<quint64> mUploadTotal;
    // The name of the phone the item goes to, as it was when the item started.
    QString mPhoneName;
    UploadProgressText mProgressText;
    // The user's answer to a name clash, given for the other items too; forgotten when the run
    // ends: the queue has emptied, a stop, a lost connection.
    std::optional<ClashAnswer> mClashAnswer;
    UploadPartials mPartials;
    // Last, so that it goes first: its work uses the members above.
    BackgroundWork mWorker{1};
};

} // namespace vantle
