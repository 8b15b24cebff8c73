// The window's layout: the outlets the controller works with, in one place.
#include "app/AppController.h"
#include "app/AppLinks.h"
#include "app/PaneWidgets.h"
#include "app/QueueDataSource.h"
#include "app/history/TransferHistoryWindow.h"
#include "app/phone/PhonePane.h"
#include "app/status/ConnectionStatus.h"
#include "app/upload/UploadFlow.h"
#include "ui/IDDragTableView.h"
#include "ui/MRCoolTextView.h"
#include "ui/MRFileCell.h"
#include "ui/MRSplitView.h"
#include "ui/MRWindow.h"
#include "ui/SheetPresenter.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace vantle {

void AppController::buildWindow() {
    _window = new MRWindow();
    _window->setWindowTitle(QStringLiteral("Vantle"));
    mPresenter = new SheetPresenter(_window);
    // The program ends with its window, not with the last window on show: with the window in
    // the tray, an alert's closing would end it.
    QApplication::setQuitOnLastWindowClosed(false);
    connect(_window, &MRWindow::closed, this, &AppController::endProgram);
    makeRooms();

    auto* central = new QWidget(_window);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    mRBSplitView = new MRSplitView(central);
    mRBSplitView->setObjectName(QStringLiteral("splitView"));
    auto* topBox = new QWidget();
    auto* bottomBox = new QWidget();
    QLabel* topHeading = buildQueuePane(topBox);
    mPhonePane->buildPhonePane(bottomBox);
    mRBSplitView->setPanes(topBox, bottomBox);
    layout->addWidget(mRBSplitView, 1);

    // The strip under the panes: the status line.
    auto* strip = new QWidget(central);
    auto* stripLayout = new QHBoxLayout(strip);
    stripLayout->setContentsMargins(kPaneMargin, kPaneMargin / 2, kPaneMargin, kPaneMargin / 2);
    auto* statusLine = new QLabel(strip);
    statusLine->setTextFormat(Qt::PlainText);
    statusLine->setWordWrap(true);
    statusLine->setObjectName(QStringLiteral("statusLine"));
    // Read out as its text, which changes; what it is stays in its description.
    statusLine->setAccessibleDescription(tr("Connection status"));
    stripLayout->addWidget(statusLine, 1);
    layout->addWidget(strip);
    mStatus->setLabels({statusLine, topHeading, mPhonePane->heading()});
    orderTabs();

    _window->setCentralWidget(central);
    buildMenus();
    wireRooms();
    _window->restoreSavedGeometry();
}

void AppController::orderTabs() {
    // The keyboard goes through the files first, then the buttons: queue, phone, Add, Stop.
    IDDragTableView* phone = mPhonePane->phoneTable();
    QWidget::setTabOrder(queueTable_, phone);
    QWidget::setTabOrder(phone, plusButton);
    QWidget::setTabOrder(plusButton, mUpload->stopButtonWidget());
}

void AppController::quit() {
    mPhase = Phase::Ending;
    // Its place is kept; a window in the tray kept it when it hid.
    if (_window && _window->isVisible()) _window->close();
    endProgram();
}

void AppController::endProgram() {
    mPhase = Phase::Ending;
    // What then closes the sheets, shown or hidden with the window, is no answer.
    if (mPresenter) mPresenter->abandon();
    QCoreApplication::quit();
}

QLabel* AppController::buildQueuePane(QWidget* pane) {
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(kPaneMargin, kPaneMargin, kPaneMargin, 0);

    auto* head = new QHBoxLayout();
    QLabel* topHeading = paneHeading(tr("Files awaiting transfer"), pane);
    topHeading->setObjectName(QStringLiteral("topHeading"));
    head->addWidget(topHeading, 1);
    plusButton = new QToolButton(pane);
    plusButton->setObjectName(QStringLiteral("plusButton"));
    plusButton->setText(QStringLiteral("+"));
    plusButton->setToolTip(tr("Add Files..."));
    plusButton->setAccessibleName(tr("Add Files"));
    plusButton->setAccessibleDescription(tr("Choose files to send to the phone"));
    connect(plusButton, &QToolButton::clicked, this, [this] { addFileToQueue(); });
    head->addWidget(plusButton);
    layout->addLayout(head);

    queueTable_ = new IDDragTableView(pane);
    queueTable_->setObjectName(QStringLiteral("queueTable"));
    queueTable_->setItemDelegate(new MRFileCell(queueTable_));
    queueTable_->setModel(mQueue);
    queueTable_->setAccessibleName(tr("Files awaiting transfer"));
    queueTable_->setAccessibleDescription(
        tr("Sent to the phone one after the other. Delete removes the selected files; the "
           "menu key shows a file's actions."));
    layout->addWidget(queueTable_, 1);
    // The hint lies over the empty queue and takes drops there too.
    helpfulMessage_ = new MRCoolTextView(pane);
    helpfulMessage_->setObjectName(QStringLiteral("helpfulMessage"));
    helpfulMessage_->placeOver(queueTable_);

    mUpload = new UploadFlow(
        {*_transfer, *mClientServer, *mQueue, *mPresenter, *queueTable_,
         [this] { return mStatus->uploadsAllowed() && connected() && mStatus->granted(); }},
        this);
    mUpload->buildUploadRow(pane, layout);
    connectQueueTable();
    return topHeading;
}

void AppController::buildMenus() {
    QMenuBar* bar = _window->menuBar();
    const auto add = [this](QMenu* menu, const QString& name, const QString& title,
                            const QKeySequence& keys, auto slot) {
        QAction* action = menu->addAction(title);
        action->setObjectName(name);
        if (!keys.isEmpty()) action->setShortcut(keys);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    const auto checkable = [](QAction* action) {
        action->setCheckable(true);
        return action;
    };

    QMenu* file = bar->addMenu(tr("&File"));
    mActions.addFiles = add(file, QStringLiteral("addFileToQueue:"), tr("Add Files..."),
                            QKeySequence::Open, [this] { addFileToQueue(); });
    mActions.directConnect = add(file, QStringLiteral("directConnect:"), tr("Manual Connect..."),
                                 {}, [this] { mStatus->directConnect(); });
    mActions.transferHistory =
        add(file, QStringLiteral("showTransferHistory:"), tr("Transfer History..."), {},
            [this] { showTransferHistory(); });
    file->addSeparator();
    mActions.autoConnect =
        checkable(add(file, QStringLiteral("autoConnectMenu:"), tr("Automatically Connect"), {},
                      [this] { autoConnectMenu(); }));
    mActions.logging = checkable(add(file, QStringLiteral("loggingMenu:"), tr("Create Debug Logs"),
                                     {}, [this] { loggingMenu(); }));
    mActions.notifications =
        checkable(add(file, QStringLiteral("notificationsMenu:"), tr("Show Notifications"), {},
                      [this] { notificationsMenu(); }));
    mActions.checkForUpdates = add(file, QStringLiteral("checkForUpdates:"),
                                   tr("Check for Updates..."), {}, [this] { checkForUpdates(); });
    file->addSeparator();
    mActions.quit =
        add(file, QStringLiteral("terminate:"), tr("Quit"), QKeySequence::Quit, [this] { quit(); });
    mActions.quit->setMenuRole(QAction::QuitRole);
    connect(file, &QMenu::aboutToShow, this, [this] { validateMenus(); });

    QMenu* edit = bar->addMenu(tr("&Edit"));
    mActions.deleteItems = add(edit, QStringLiteral("delete:"), tr("Delete"), {}, [this] {
        if (auto* table = qobject_cast<IDDragTableView*>(QApplication::focusWidget()))
            emit table->deleteRequested();
        else
            emit queueTable_->deleteRequested();
    });
    edit->addSeparator();
    // The desktop's own key for preferences is none on Linux.
    mActions.preferences =
        add(edit, QStringLiteral("showPreferences:"), tr("Preferences..."),
            QKeySequence(Qt::CTRL | Qt::Key_Comma), [this] { showPreferences(); });
    mActions.preferences->setMenuRole(QAction::PreferencesRole);

    QMenu* help = bar->addMenu(tr("&Help"));
    mActions.diagnostics =
        add(help, QStringLiteral("showConnectionDiagnostics:"), tr("Connection Diagnostics..."), {},
            [this] { showConnectionDiagnostics(); });
    // Links are build options; without an address their items stay away.
    if (!links::connectionHelp().isEmpty())
        mActions.connectionHelp =
            add(help, QStringLiteral("helpButtonClicked:"), tr("Connection Help"), {},
                [this] { openLink(links::connectionHelp()); });
    if (!links::webSite().isEmpty())
        mActions.webSite = add(help, QStringLiteral("openweb:"), tr("Vantle Web Site"), {},
                               [this] { openLink(links::webSite()); });
}

TransferHistoryWindow* AppController::transferHistoryWindow() const {
    return mHistoryWindow;
}

void AppController::showTransferHistory() {
    if (!mHistoryWindow) {
        mHistoryWindow = new TransferHistoryWindow(*mHistory, *mPresenter, _window);
        mHistoryWindow->setAttribute(Qt::WA_DeleteOnClose);
    }
    mHistoryWindow->show();
    mHistoryWindow->raise();
    mHistoryWindow->activateWindow();
}

} // namespace vantle
