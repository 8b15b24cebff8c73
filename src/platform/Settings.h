#pragma once

#include "platform/Defaults.h"

#include <QByteArray>
#include <QDateTime>
#include <QLatin1StringView>
#include <QString>

// Every preference of the program: the key it is stored under (users' settings files rely on
// these) and what an absent key stands for. Read and written with Defaults::get and set.
namespace vantle::settings {

inline constexpr BoolSetting kAutoConnect{QLatin1StringView("AutoConnect"), true};
inline constexpr BoolSetting kLogToFile{QLatin1StringView("LogToFile"), false};
inline constexpr BoolSetting kShowNotifications{QLatin1StringView("ShowNotifications"), true};
// Once there, the warning about manual connection mode is not shown at start-up.
inline constexpr PresenceSetting kDontWarnAboutManual{QLatin1StringView("DontWarnAboutManual")};
// The address last typed into the manual-connect sheet.
inline constexpr ValueSetting<QString> kLastManualIP{QLatin1StringView("LastManualIP")};
// When a phone was last connected; only its presence matters.
inline constexpr ValueSetting<QDateTime> kLastTransfer{QLatin1StringView("LastTransfer")};
// The text form of the date and time of the last automatic update check.
inline constexpr ValueSetting<QString> kLastUpdateCheck{QLatin1StringView("LastUpdateCheck")};
inline constexpr ValueSetting<QByteArray> kWindowGeometry{QLatin1StringView("WindowGeometry")};
// Closing the window leaves the program and its queue running in the tray, when there is one.
inline constexpr BoolSetting kKeepRunningInTray{QLatin1StringView("KeepRunningInTray"), false};
// Once there, the user has been told that the closed window left the program in the tray.
inline constexpr PresenceSetting kToldAboutTray{QLatin1StringView("ToldAboutTray")};
// Where the user's own downloads land; absent: the download store, as always. (Start at login is
// no setting: the autostart entry's presence is its state, platform/Autostart.h.)
inline constexpr ValueSetting<QString> kDownloadFolder{QLatin1StringView("DownloadFolder")};
// What uploads may have left on phones: an array of records that UploadPartials reads and
// writes whole.
inline constexpr QLatin1StringView kUploadPartials{"UploadPartials"};

} // namespace vantle::settings
