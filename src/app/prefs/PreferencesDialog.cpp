#include "app/prefs/PreferencesDialog.h"

#include "app/PaneWidgets.h"
#include "platform/Settings.h"
#include "support/ParoxLog.h"
#include "transfer/DownloadStore.h"
#include "ui/SheetPresenter.h"

#include <QAction>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSystemTrayIcon>
#include <QVBoxLayout>
#include <utility>

namespace vantle {

PreferencesDialog::PreferencesDialog(Parts parts, QWidget* parent)
    : QDialog(parent), mParts(std::move(parts)) {
    setObjectName(QStringLiteral("preferencesDialog"));
    setWindowTitle(tr("Preferences"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildConnectionGroup());
    layout->addWidget(buildDownloadsGroup());
    layout->addWidget(buildDesktopGroup());
    layout->addStretch(1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetMinimumSize);
}

void PreferencesDialog::present() {
    showStoredState();
    show();
    raise();
    activateWindow();
}

QWidget* PreferencesDialog::buildConnectionGroup() {
    auto* group = new QGroupBox(tr("Connection"), this);
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(menuBox(QStringLiteral("autoConnectBox"), mParts.toggles.autoConnect, group));
    layout->addWidget(menuBox(QStringLiteral("loggingBox"), mParts.toggles.logging, group));
    return group;
}

QWidget* PreferencesDialog::buildDownloadsGroup() {
    auto* group = new QGroupBox(tr("Downloads"), this);
    auto* layout = new QVBoxLayout(group);
    mFolderPath = new QLineEdit(group);
    mFolderPath->setObjectName(QStringLiteral("downloadFolderPath"));
    mFolderPath->setReadOnly(true);
    auto* label = new QLabel(tr("Downloads from the iPhone are saved in:"), group);
    label->setBuddy(mFolderPath);
    layout->addWidget(label);
    layout->addWidget(mFolderPath);
    auto* row = new QHBoxLayout();
    row->addStretch(1);
    mUseDefault = new QPushButton(tr("Use Default"), group);
    mUseDefault->setObjectName(QStringLiteral("useDefaultDownloadFolder"));
    mUseDefault->setAutoDefault(false);
    connect(mUseDefault, &QPushButton::clicked, this, [this] {
        Defaults::remove(QString(settings::kDownloadFolder.key));
        showStoredState();
    });
    row->addWidget(mUseDefault);
    auto* change = new QPushButton(tr("Change..."), group);
    change->setObjectName(QStringLiteral("changeDownloadFolder"));
    change->setAutoDefault(false);
    connect(change, &QPushButton::clicked, this, &PreferencesDialog::chooseDownloadFolder);
    row->addWidget(change);
    layout->addLayout(row);
    return group;
}

QWidget* PreferencesDialog::buildDesktopGroup() {
    auto* group = new QGroupBox(tr("Desktop"), this);
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(
        menuBox(QStringLiteral("notificationsBox"), mParts.toggles.notifications, group));
    mKeepInTray = new QCheckBox(tr("Keep running in the tray when the window is closed"), group);
    mKeepInTray->setObjectName(QStringLiteral("keepRunningInTrayBox"));
    connect(mKeepInTray, &QCheckBox::clicked, this,
            [](bool on) { Defaults::set(settings::kKeepRunningInTray, on); });
    layout->addWidget(mKeepInTray);
    mStartAtLogin = new QCheckBox(tr("Start at login"), group);
    mStartAtLogin->setObjectName(QStringLiteral("startAtLoginBox"));
    connect(mStartAtLogin, &QCheckBox::clicked, this, &PreferencesDialog::setStartAtLogin);
    layout->addWidget(mStartAtLogin);
    return group;
}

QCheckBox* PreferencesDialog::menuBox(const QString& name, QAction* action, QWidget* parent) {
    auto* box = new QCheckBox(action->text(), parent);
    box->setObjectName(name);
    box->setChecked(action->isChecked());
    // The menu item does the work (the search, the alert, the log file); the box only asks it.
    connect(box, &QCheckBox::clicked, action, [box, action](bool on) {
        if (action->isChecked() != on) action->trigger();
        box->setChecked(action->isChecked());
    });
    connect(action, &QAction::toggled, box, [box](bool on) {
        const QSignalBlocker quiet(box);
        box->setChecked(on);
    });
    return box;
}

void PreferencesDialog::showStoredState() {
    const std::optional<QString> chosen = Defaults::get(settings::kDownloadFolder);
    const bool hasChoice = chosen && !chosen->isEmpty();
    mFolderPath->setText(
        QDir::toNativeSeparators(hasChoice ? *chosen : mParts.defaultDownloadFolder()));
    mFolderPath->setCursorPosition(0);
    mUseDefault->setEnabled(hasChoice);
    const bool trayAvailable = QSystemTrayIcon::isSystemTrayAvailable();
    mKeepInTray->setEnabled(trayAvailable);
    mKeepInTray->setToolTip(trayAvailable ? QString() : tr("This desktop has no system tray."));
    mKeepInTray->setChecked(Defaults::get(settings::kKeepRunningInTray));
    mStartAtLogin->setChecked(mParts.autostart.enabled());
}

void PreferencesDialog::chooseDownloadFolder() {
    QFileDialog* dialog = folderDialog(this, tr("Download Folder"), tr("Choose"));
    dialog->setObjectName(QStringLiteral("downloadFolderDialog"));
    dialog->setDirectory(QDir::fromNativeSeparators(mFolderPath->text()));
    mParts.presenter.showSheet(dialog, [this, dialog](int result) {
        const QString folder = dialog->selectedFiles().value(0);
        dialog->deleteLater();
        if (result == QDialog::Accepted && !folder.isEmpty()) useDownloadFolder(folder);
    });
}

void PreferencesDialog::useDownloadFolder(const QString& folder) {
    const QString cleaned = QDir::cleanPath(QDir(folder).absolutePath());
    if (const Result<void> usable = store::checkWritableFolder(cleaned); !usable) {
        ParoxLog("download folder refused: %@", usable.error());
        // One pass of arg(): a folder's name is never read as a format.
        mParts.presenter.tell(tr("Unable To Use Folder"),
                              tr("Downloads cannot go there: %1. They still go to \"%2\".")
                                  .arg(usable.error(), mFolderPath->text()));
        return;
    }
    Defaults::set(settings::kDownloadFolder, cleaned);
    showStoredState();
}

void PreferencesDialog::setStartAtLogin(bool on) {
    if (const Result<void> done = mParts.autostart.setEnabled(on); !done) {
        ParoxLog("start at login: %@", done.error());
        mParts.presenter.tell(tr("Unable To Change Start At Login"),
                              done.error() + QLatin1Char('.'));
    }
    mStartAtLogin->setChecked(mParts.autostart.enabled());
}

} // namespace vantle
