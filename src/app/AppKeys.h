#pragma once

#include <QLatin1StringView>

// The program's preferences, by the keys they are stored under.
namespace vantle::prefs {

inline constexpr QLatin1StringView kAutoConnect{"AutoConnect"};
inline constexpr QLatin1StringView kLogToFile{"LogToFile"};
inline constexpr QLatin1StringView kLastManualIP{"LastManualIP"};
inline constexpr QLatin1StringView kDontWarnAboutManual{"DontWarnAboutManual"};
inline constexpr QLatin1StringView kLastTransfer{"LastTransfer"};
inline constexpr QLatin1StringView kShowNotifications{"ShowNotifications"};
// What uploads may have left on phones (UploadPartials).
inline constexpr QLatin1StringView kUploadPartials{"UploadPartials"};

} // namespace vantle::prefs

// How the program names itself to the desktop.
namespace vantle::names {

// The phone's name as the status shows it before a phone has told its own.
inline constexpr char kLocalAppName[] = "Vantle";
// The desktop entry's and the icon's name, by which desktops match windows and notifications
// to the program.
inline constexpr char kDesktopEntry[] = "invalid.vantle.Vantle";

} // namespace vantle::names
