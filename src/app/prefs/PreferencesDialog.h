#pragma once

#include "platform/Autostart.h"

#include <QDialog>
#include <QString>
#include <functional>

class QAction;
class QCheckBox;
class QLineEdit;
class QPushButton;

namespace vantle {

class SheetPresenter;

// The preferences: the File menu's settings (each box triggers its menu item and follows it, so
// the two never disagree), the folder the user's downloads go to, the tray and the start at
// login. One window, not modal; its refusals and errors are sheets of the presenter. Main thread.
class PreferencesDialog final : public QDialog {
    Q_OBJECT

public:
    // The File menu's items the boxes stand for.
    struct MenuToggles {
        QAction* autoConnect = nullptr;
        QAction* logging = nullptr;
        QAction* notifications = nullptr;
    };
    struct Parts {
        SheetPresenter& presenter;
        MenuToggles toggles;
        // Where downloads go while no folder is chosen: the download store.
        std::function<QString()> defaultDownloadFolder;
        Autostart autostart;
    };

    explicit PreferencesDialog(Parts parts, QWidget* parent = nullptr);

    // Shows the dialog with what is stored now, or brings it to the front when it is open.
    void present();

private:
    QWidget* buildConnectionGroup();
    QWidget* buildDownloadsGroup();
    QWidget* buildDesktopGroup();
    // A box with the text of `action` that triggers it when clicked and follows its check.
    QCheckBox* menuBox(const QString& name, QAction* action, QWidget* parent);
    // What is stored, shown anew.
    void showStoredState();
    void chooseDownloadFolder();
    void useDownloadFolder(const QString& folder);
    void setStartAtLogin(bool on);

    Parts mParts;
    QLineEdit* mFolderPath = nullptr;
    QPushButton* mUseDefault = nullptr;
    QCheckBox* mKeepInTray = nullptr;
    QCheckBox* mStartAtLogin = nullptr;
};

} // namespace vantle
