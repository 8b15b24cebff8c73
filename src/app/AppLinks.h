#pragma once

#include <QString>

// The web addresses the program may open. They are build options, empty unless the build names
// them; menu items and buttons for an empty address are left out.
namespace vantle::links {

QString webSite();
QString connectionHelp();

} // namespace vantle::links
