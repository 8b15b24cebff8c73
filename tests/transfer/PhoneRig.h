#pragma once

#include "TransferTestSupport.h"
#include "transfer/MRTransferController.h"

#include <QJsonObject>
#include <QList>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <optional>
#include <thread>

namespace vantle::test {

// Limits short enough for suites that wait for them on purpose.
TransferTimeouts quickTimeouts();

// vantle-phone with a store and a record of its messages, and the PC's transfer controller
// connected to it through a real client-server controller.
class PhoneRig {
public:
    explicit PhoneRig(const QStringList& phoneArguments = {},
                      const TransferTimeouts& timeouts = quickTimeouts());
    ~PhoneRig();
    // Connects to the phone; true once the peer is up.
    bool connect();

    // The phone's store, and a path in it.
    QString storePath(const QString& relative = {}) const;
    // The messages the phone received of `requestType` (every type when empty), in order, as
    // recorded: data values as {"length", "sha256"}.
    QList<QJsonObject> received(const QString& requestType = {}) const;
    // The output of the phone so far, for failure messages.
    QString phoneOutput() { return phone.output(); }

    QTemporaryDir storeDir;
    QTemporaryDir workDir; // local files to upload, and the record
    PhoneProcess phone;
    MRTransferController transfer;
    RecordingHost host;
    ClientServerController controller;
};

// Longest a call on a worker may take before the test says so; the time-outs end it anyway.
inline constexpr int kWorkerLimitMs = 60'000;

// Runs `call` on a thread of its own, as the upload and listing threads do, while the main
// thread keeps serving its event loop (previews are made there).
template <typename Call> auto onWorker(Call call) -> decltype(call()) {
    std::optional<decltype(call())> result;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        result.emplace(call());
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done.load(); }, kWorkerLimitMs))
        qWarning("the call on the worker thread is still running");
    worker.join();
    return std::move(*result);
}

// An upload on a thread of its own, to be interfered with from the test.
class UploadThread {
public:
    UploadThread(MRTransferController& transfer, const QString& local, const QString& remote);
    ~UploadThread();
    // Waits (bounded) for the upload to end, serving the main thread meanwhile.
    bool finish(int timeoutMs = kWorkerLimitMs);
    std::atomic<std::int32_t> result{1};

private:
    std::atomic<bool> mDone{false};
    std::thread mThread;
};

// How an upload on a worker went when it ran without the right to read everything.
struct UploadWithoutOverride {
    // False when the worker could still open `probe` (the rights could not be given up): the
    // result then says nothing.
    bool probeRefused = false;
    std::int32_t result = 1;
};

// An upload on a thread that first gives up the rights to read and search past permissions
// (CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH; a root test run has them) and then tries to open
// `probe`, a path its permissions keep from being read. A thread's capabilities are its own, so
// the rest of the test and the phone keep theirs; a normal user has nothing to give up.
UploadWithoutOverride uploadWithoutOverride(MRTransferController& transfer, const QString& local,
                                            const QString& remote, const QString& probe);

// A file of `size` patterned bytes; false when it could not be written.
bool writeFile(const QString& path, qint64 size, char seed = 'a');

} // namespace vantle::test
