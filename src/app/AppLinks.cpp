#include "app/AppLinks.h"

namespace vantle::links {

QString webSite() {
    return QStringLiteral(VANTLE_WEB_URL);
}

QString connectionHelp() {
    return QStringLiteral(VANTLE_HELP_URL);
}

} // namespace vantle::links
