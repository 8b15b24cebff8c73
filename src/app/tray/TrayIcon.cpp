// The tray icon: what it shows of the connection and the queue, its menu and its click.
#include "app/tray/TrayIcon.h"

#include "support/ParoxLog.h"
#include "ui/MRWindow.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QSystemTrayIcon>
#include <algorithm>
#include <utility>

namespace vantle {
namespace {

constexpr int kFullPercent = 100;

// An item of the tray's menu that stands for one of the File menu's: enabled as that one is,
// and choosing it brings the window forward first (a dialog may open over it).
QAction* mirror(QMenu& menu, QAction* original, MRWindow* window) {
    QAction* action = menu.addAction(original->text());
    action->setObjectName(QString(QStringLiteral("tray:") + original->objectName()));
    action->setEnabled(original->isEnabled());
    QObject::connect(original, &QAction::changed, action,
                     [action, original] { action->setEnabled(original->isEnabled()); });
    QObject::connect(action, &QAction::triggered, original, [original, window] {
        if (window) window->bringToFront();
        original->trigger();
    });
    return action;
}

} // namespace

TrayIcon::TrayIcon(Parts parts, QObject* parent)
    : QObject(parent), mParts(parts), mMenu(std::make_unique<QMenu>()) {
    QAction* show = mMenu->addAction(tr("Show Vantle"));
    show->setObjectName(QStringLiteral("tray:show"));
    connect(show, &QAction::triggered, this, [this] {
        if (mParts.window) mParts.window->bringToFront();
    });
    if (mParts.addFiles) mirror(*mMenu, mParts.addFiles, mParts.window);
    // The history has a window of its own.
    if (mParts.transferHistory) mirror(*mMenu, mParts.transferHistory, nullptr);
    mMenu->addSeparator();
    if (mParts.quit) mirror(*mMenu, mParts.quit, nullptr);

    mThrottle.setSingleShot(true);
    mThrottle.setInterval(kRefreshMs);
    connect(&mThrottle, &QTimer::timeout, this, [this] {
        if (std::exchange(mRefreshPending, false)) changed();
    });

    mIcon = new QSystemTrayIcon(this);
    mIcon->setContextMenu(mMenu.get());
    connect(mIcon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason why) {
                if (why == QSystemTrayIcon::Trigger) toggleWindow();
            });
    refresh();
    // Without a tray now the icon stays away: a tray that comes later finds none.
    if (QSystemTrayIcon::isSystemTrayAvailable())
        mIcon->show();
    else
        ParoxLog("no system tray");
}

TrayIcon::~TrayIcon() {
    // The icon goes before the menu it shows.
    delete mIcon;
    mIcon = nullptr;
}

bool TrayIcon::available() const {
    return mIcon && mIcon->isVisible() && QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayIcon::showConnection(Connection connection, const QString& phoneName) {
    if (connection == mConnection && phoneName == mPhoneName) return;
    mConnection = connection;
    mPhoneName = phoneName;
    changed();
}

void TrayIcon::showSending(int items, std::optional<int> percent) {
    if (percent) percent = std::clamp(*percent, 0, kFullPercent);
    const Sending now{std::max(items, 1), percent};
    if (mSending && mSending->items == now.items && mSending->percent == now.percent) return;
    mSending = now;
    changed();
}

void TrayIcon::sendingEnded() {
    if (!mSending) return;
    mSending.reset();
    changed();
}

QString TrayIcon::toolTip() const {
    return mIcon ? mIcon->toolTip() : QString();
}

void TrayIcon::changed() {
    if (mThrottle.isActive()) {
        mRefreshPending = true;
        return;
    }
    refresh();
    mThrottle.start();
}

QString TrayIcon::describe(Connection connection, const QString& phoneName, int items,
                           std::optional<int> percent, bool sending) {
    QString state;
    if (sending) {
        state = tr("Sending %n item(s)", nullptr, items);
        //: The tray's tool tip: what is being sent, then how much of it in per cent
        if (percent) state = tr("%1, %2 %").arg(state, QString::number(*percent));
    } else {
        switch (connection) {
        case Connection::NotConnected:
            state = tr("Not connected");
            break;
        case Connection::WaitingForApproval:
            state = tr("Waiting for approval...");
            break;
        case Connection::Connected:
            // One pass of arg(): the name is never read as a format.
            state = tr("Connected to %1").arg(phoneName);
            break;
        }
    }
    return QStringLiteral("Vantle \u2014 ") + state;
}

void TrayIcon::refresh() {
    const bool sending = mSending && mConnection == Connection::Connected;
    mIcon->setToolTip(describe(mConnection, mPhoneName, sending ? mSending->items : 0,
                               sending ? mSending->percent : std::nullopt, sending));
    const Look look = sending                                   ? Look::Sending
                      : mConnection == Connection::NotConnected ? Look::NotConnected
                                                                : Look::Connected;
    // Drawn only when it changes: progress alone changes the tool tip.
    if (mShownLook != look) {
        mShownLook = look;
        mIcon->setIcon(iconFor(look));
    }
}

void TrayIcon::toggleWindow() {
    if (!mParts.window) return;
    if (mParts.window->isFrontmost())
        mParts.window->hideWithDialogs();
    else
        mParts.window->bringToFront();
}

} // namespace vantle
