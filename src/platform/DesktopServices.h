#pragma once

#include <QString>
#include <functional>

// The desktop's file manager and default applications; one body per platform.
namespace vantle {

// Opens a file with its default application; false when nothing could open it.
bool openPath(const QString& path);

// Shows the file selected in the desktop's file manager; when that can't be done, opens the
// folder that holds it. False when neither worked.
bool revealPath(const QString& path);

// How a window reaches the desktop for a file: opened with its application, or shown in the
// file manager. The desktop's own by default; tests record the calls instead.
struct DesktopOpener {
    std::function<bool(const QString&)> open = openPath;
    std::function<bool(const QString&)> reveal = revealPath;
};

} // namespace vantle
