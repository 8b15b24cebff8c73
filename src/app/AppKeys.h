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
