#pragma once

#include "phone/PhoneOptions.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QVariantMap>
#include <memory>
#include <optional>

namespace vantle::phone {

// The phone's files and its answers to the PC's requests. Every path from the PC is taken
// relative to the store folder and must stay inside it.
class PhoneStore {
public:
    PhoneStore(const QString& root, const PhoneOptions& options);

    // What answering a request did besides the answer.
    struct Outcome {
        QVariantMap response;            // without "MessageType" and "ResponseNum"
        bool listingChanged = false;     // the store changed: tell the PC
        std::optional<QString> sendItem; // "RequestFile" accepted: send this store path
    };
    Outcome handle(const QVariantMap& request);

    // The absolute path for a phone path, none when it would leave the store.
    std::optional<QString> resolve(const QString& phonePath) const;
    const QString& root() const { return mRoot; }
    // Whether a canonical path (links resolved) lies in the store.
    bool holds(const QString& canonicalPath) const;

    static qint64 sizeOf(const QString& absolutePath);
    // A small TIFF image that stands for the item; empty when TIFF cannot be written.
    static QByteArray thumbnail(const QString& absolutePath);
    // Fills `folder` with a few files and a folder, so that a listing has something to show.
    static bool fillWithSamples(const QString& folder);

private:
    QVariantMap versionCheck(const QVariantMap& request) const;
    QVariantMap directoryList(const QVariantMap& request) const;
    QVariantMap iconsAndSizes(const QVariantMap& request) const;
    QVariantMap fileExists(const QVariantMap& request) const;
    QVariantMap createDirectory(const QVariantMap& request) const;
    QVariantMap sendChunk(const QVariantMap& request);
    Outcome removeFile(const QVariantMap& request) const;
    Outcome requestFile(const QVariantMap& request) const;
    Outcome notify(const QVariantMap& request) const;
    bool nameTooLong(const QString& phonePath) const;

    QString mRoot;
    PhoneOptions mOptions;
    // The file an upload's pieces go to, open from its first piece (its path checked then) until
    // another file or any other request comes.
    std::unique_ptr<QFile> mPieceFile;
    QString mPiecePhonePath;
};

} // namespace vantle::phone
