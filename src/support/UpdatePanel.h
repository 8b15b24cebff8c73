#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

namespace vantle {

// One of the update checker's three alert panels, as data for whoever draws it.
struct UpdatePanel {
    enum class Kind { UpdateAvailable, UpToDate, CheckFailed };

    Kind kind = Kind::CheckFailed;
    QString title;
    QString message;
    QStringList buttons; // the first is the default one

    static QString okButton();
    static QString goThereNowButton();

    // Names the web site's host when there is one; offers "Go There Now" only then.
    static UpdatePanel updateAvailable(const QUrl& webSite);
    static UpdatePanel upToDate();
    static UpdatePanel checkFailed();
};

// "Vantle for Linux" and its kin: the program as named for the system it runs on.
QString productNameForPlatform();

} // namespace vantle
