#include "app/UploadPartials.h"

#include "platform/Settings.h"
#include "support/ParoxLog.h"

#include <QSettings>
#include <algorithm>

namespace vantle {
namespace {

constexpr QLatin1StringView kLocalPath{"LocalPath"};
constexpr QLatin1StringView kPhoneName{"PhoneName"};
constexpr QLatin1StringView kPhoneID{"PhoneID"};
constexpr QLatin1StringView kBytesAtMost{"BytesAtMost"};

bool sameItem(const UploadPartials::Partial& partial, const QString& localPath,
              const QString& phoneID) {
    return partial.localPath == localPath && partial.phoneID == phoneID;
}

} // namespace

std::optional<UploadPartials::Partial> UploadPartials::find(const QString& localPath,
                                                            const QString& phoneID) const {
    const std::lock_guard lock(mLock);
    for (const Partial& partial : read())
        if (sameItem(partial, localPath, phoneID)) return partial;
    return std::nullopt;
}

std::vector<UploadPartials::Partial> UploadPartials::onPhone(const QString& phoneID) const {
    const std::lock_guard lock(mLock);
    std::vector<Partial> found;
    for (const Partial& partial : read())
        if (partial.phoneID == phoneID) found.push_back(partial);
    return found;
}

void UploadPartials::remember(const Partial& partial) {
    const std::lock_guard lock(mLock);
    std::vector<Partial> all = read();
    std::erase_if(all, [&](const Partial& kept) {
        return sameItem(kept, partial.localPath, partial.phoneID);
    });
    all.push_back(partial);
    write(all);
}

void UploadPartials::forget(const QString& localPath, const QString& phoneID) {
    const std::lock_guard lock(mLock);
    std::vector<Partial> all = read();
    if (std::erase_if(all, [&](const Partial& kept) { return sameItem(kept, localPath, phoneID); }))
        write(all);
}

std::vector<UploadPartials::Partial> UploadPartials::read() const {
    QSettings settings;
    std::vector<Partial> all;
    const int count = settings.beginReadArray(QString(settings::kUploadPartials));
    for (int i = 0; i < count; ++i) {
        settings.setArrayIndex(i);
        Partial partial{settings.value(QString(kLocalPath)).toString(),
                        settings.value(QString(kPhoneName)).toString(),
                        settings.value(QString(kPhoneID)).toString(),
                        settings.value(QString(kBytesAtMost)).toULongLong()};
        // A record that names no item or no phone can guard nothing.
        if (partial.localPath.isEmpty() || partial.phoneName.isEmpty() ||
            partial.phoneID.isEmpty()) {
            ParoxLog("an unusable record of a partial upload is dropped");
            continue;
        }
        all.push_back(std::move(partial));
    }
    settings.endArray();
    return all;
}

void UploadPartials::write(const std::vector<Partial>& all) const {
    QSettings settings;
    settings.remove(QString(settings::kUploadPartials));
    settings.beginWriteArray(QString(settings::kUploadPartials), int(all.size()));
    for (int i = 0; i < int(all.size()); ++i) {
        settings.setArrayIndex(i);
        const Partial& partial = all[std::size_t(i)];
        settings.setValue(QString(kLocalPath), partial.localPath);
        settings.setValue(QString(kPhoneName), partial.phoneName);
        settings.setValue(QString(kPhoneID), partial.phoneID);
        settings.setValue(QString(kBytesAtMost), partial.bytesAtMost);
    }
    settings.endArray();
    // Durable before the pieces it guards go out.
    settings.sync();
    if (settings.status() != QSettings::NoError)
        ParoxLog("the record of partial uploads could not be written");
}

} // namespace vantle
