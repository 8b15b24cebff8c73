#pragma once

#include <QString>

// The desktop's file manager and default applications; one body per platform.
namespace vantle {

// Opens a file with its default application; false when nothing could open it.
bool openPath(const QString& path);

// Shows the file selected in the desktop's file manager; when that can't be done, opens the
// folder that holds it. False when neither worked.
bool revealPath(const QString& path);

} // namespace vantle
