#pragma once

// How the program names itself to the desktop.
namespace vantle::names {

// The phone's name as the status shows it before a phone has told its own.
inline constexpr char kLocalAppName[] = "Vantle";
// The desktop entry's and the icon's name, by which desktops match windows and notifications
// to the program.
inline constexpr char kDesktopEntry[] = "invalid.vantle.Vantle";

} // namespace vantle::names
