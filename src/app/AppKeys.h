#pragma once

#include "platform/Settings.h"

#include <QLatin1StringView>

// The program's preferences by their stored keys alone, for code that still reads them untyped;
// the keys and defaults are those of platform/Settings.h.
namespace vantle::prefs {

inline constexpr QLatin1StringView kAutoConnect = settings::kAutoConnect.key;
inline constexpr QLatin1StringView kLogToFile = settings::kLogToFile.key;
inline constexpr QLatin1StringView kLastManualIP = settings::kLastManualIP.key;
inline constexpr QLatin1StringView kDontWarnAboutManual = settings::kDontWarnAboutManual.key;
inline constexpr QLatin1StringView kLastTransfer = settings::kLastTransfer.key;
inline constexpr QLatin1StringView kShowNotifications = settings::kShowNotifications.key;
inline constexpr QLatin1StringView kUploadPartials = settings::kUploadPartials;

} // namespace vantle::prefs

// How the program names itself to the desktop.
namespace vantle::names {

// The phone's name as the status shows it before a phone has told its own.
inline constexpr char kLocalAppName[] = "Vantle";
// The desktop entry's and the icon's name, by which desktops match windows and notifications
// to the program.
inline constexpr char kDesktopEntry[] = "invalid.vantle.Vantle";

} // namespace vantle::names
