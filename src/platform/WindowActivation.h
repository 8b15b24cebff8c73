#pragma once

#include <QString>
#include <optional>

namespace vantle {

// The desktop lets a program take the focus only with a token it handed out for that: a
// launcher gives one to the process it starts, a notification server to the program whose action
// was chosen.

// The token this process was started with: XDG_ACTIVATION_TOKEN (Wayland), else
// DESKTOP_STARTUP_ID (X11); none when neither is set. Read it before the application object is
// made: the X11 platform takes the startup id out of the environment when it starts.
std::optional<QString> startupActivationToken();

// Makes `token` the one the next activation of a window uses, where the platform can take it
// after start: Qt's Wayland platform reads XDG_ACTIVATION_TOKEN when a window asks to be
// activated (and then drops it). The X11 platform reads its startup id only at start, so there
// the token changes nothing. Returns whether the platform will use it. Main thread.
bool useActivationToken(const QString& token);

} // namespace vantle
