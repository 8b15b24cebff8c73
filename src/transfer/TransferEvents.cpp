#include "transfer/TransferEvents.h"

#include "platform/NotificationCenter.h"
#include "support/ParoxLog.h"
#include "transfer/ProtocolKeys.h"

#include <QVariantList>
#include <QVariantMap>

namespace vantle {
namespace {

// "DownloadProgress" carries [TotalBytes, CurrentBytes, BaseFileName].
constexpr qsizetype kProgressCounts = 2;

// The text under `key`; none when the key is absent, or (logged) not a text.
std::optional<QString> textOf(const Notification& note, const QVariantMap& info,
                              QLatin1StringView key) {
    const QVariant value = info.value(key);
    if (!value.isValid()) return std::nullopt;
    if (value.typeId() != QMetaType::QString) {
        ParoxLog("%@ with a %@ that is no text: %@", note.name, QString(key), value);
        return std::nullopt;
    }
    return value.toString();
}

// A map, or an empty one when there is none; anything else is logged.
QVariantMap mapOf(const Notification& note, const QVariant& value) {
    if (!value.isValid() || value.isNull()) return {};
    if (value.typeId() != QMetaType::QVariantMap) {
        ParoxLog("%@ with user info that is no dictionary: %@", note.name, value);
        return {};
    }
    return value.toMap();
}

std::optional<quint64> countOf(const QVariant& value) {
    bool ok = false;
    const qint64 count = value.toLongLong(&ok);
    if (!ok || count < 0) return std::nullopt;
    return quint64(count);
}

} // namespace

TransferEvents::TransferEvents(QObject* parent) : QObject(parent) {
    auto& center = NotificationCenter::defaultCenter();
    const auto verdict = [this](const Notification& note) { connectionVerdict(note); };
    center.addObserver(QString(notes::kConnectionAllowed), this, verdict);
    center.addObserver(QString(notes::kConnectionDenied), this, verdict);
    center.addObserver(QString(notes::kServerListingChanged), this,
                       [this](const Notification&) { emit serverListingChanged(); });
    center.addObserver(QString(notes::kTransferFinished), this,
                       [this](const Notification& note) { finished(note); });
    center.addObserver(QString(notes::kDownloadProgress), this,
                       [this](const Notification& note) { progress(note); });
    center.addObserver(QString(notes::kDownloadFailed), this,
                       [this](const Notification& note) { failed(note); });
}

TransferEvents::~TransferEvents() {
    NotificationCenter::defaultCenter().removeObservers(this);
}

void TransferEvents::connectionVerdict(const Notification& note) {
    // Filled in order and cut at the first value the connection lacked: any may be missing.
    const QVariantMap info = mapOf(note, note.userInfo);
    const QString device = textOf(note, info, keys::kDeviceName).value_or(QString());
    const QString address = textOf(note, info, keys::kPhoneIP).value_or(QString());
    if (note.name == notes::kConnectionDenied)
        emit connectionDenied(device, address);
    else
        emit connectionAllowed(device, address);
}

void TransferEvents::finished(const Notification& note) {
    const QVariantMap noteInfo = mapOf(note, mapOf(note, note.userInfo).value(keys::kNoteInfo));
    // The end stands even when its item's name is unreadable.
    emit transferFinished(textOf(note, noteInfo, keys::kPath));
}

void TransferEvents::progress(const Notification& note) {
    if (!note.userInfo.isValid() || note.userInfo.isNull()) {
        emit downloadCancelled();
        return;
    }
    const QVariantList counts = note.userInfo.toList();
    const std::optional<quint64> total =
        counts.size() >= kProgressCounts ? countOf(counts[0]) : std::nullopt;
    const std::optional<quint64> received =
        counts.size() >= kProgressCounts ? countOf(counts[1]) : std::nullopt;
    if (!total || !received) {
        ParoxLog("%@ without its counts: %@", note.name, note.userInfo);
        return;
    }
    emit downloadProgress(*total, *received);
}

void TransferEvents::failed(const Notification& note) {
    // The download has ended whatever the reason reads: the failure must still be told.
    if (note.userInfo.typeId() != QMetaType::QString) {
        ParoxLog("%@ with a reason that is no text: %@", note.name, note.userInfo);
        emit downloadFailed(QStringLiteral("no reason was given"));
        return;
    }
    emit downloadFailed(note.userInfo.toString());
}

} // namespace vantle
