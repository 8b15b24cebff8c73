#pragma once

#include "support/UpdatePanel.h"

#include <QString>
#include <functional>

namespace vantle {

// What the update checker needs of the program's window: showing its panels and the web site.
// Called on the main thread only.
class UpdaterHost {
public:
    virtual ~UpdaterHost() = default;

    // Shows `panel` as an alert and calls `done` once with the title of the chosen button
    // (an empty text when the alert went away unanswered).
    virtual void showUpdatePanel(const UpdatePanel& panel,
                                 std::function<void(const QString& button)> done) = 0;
    // Opens the product's web site in the default browser.
    virtual void openWebSite() = 0;
};

} // namespace vantle
