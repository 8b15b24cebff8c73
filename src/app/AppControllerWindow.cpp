// The window's layout: the outlets the controller works with, in one place.
#include "app/AppController.h"
#include "app/AppLinks.h"
#include "app/QueueDataSource.h"
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
#include <QProgressBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace vantle {
namespace {

constexpr int kDefaultWidth = 420;
constexpr int kDefaultHeight = 560;
constexpr int kPaneMargin = 6;
constexpr int kHeadingPointSizeDelta = 1;

QLabel* heading(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    QFont font = label->font();
    font.setBold(true);
    font.setPointSize(font.pointSize() + kHeadingPointSizeDelta);
    label->setFont(font);
    return label;
}

QProgressBar* progressBar(QWidget* parent) {
    auto* bar = new QProgressBar(parent);
    bar->setTextVisible(false);
    bar->setRange(0, 1);
    bar->setValue(0);
    bar->setHidden(true);
    return bar;
}

} // namespace

void AppController::buildWindow() {
    _window = new MRWindow();
    _window->setWindowTitle(QStringLiteral("Vantle"));
    _window->resize(kDefaultWidth, kDefaultHeight);
    mPresenter = new SheetPresenter(_window);
    // The window closes first when the program ends; what then closes the sheets is no answer.
    connect(_window, &MRWindow::closed, mPresenter, &SheetPresenter::abandon);

    auto* central = new QWidget(_window);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    mRBSplitView = new MRSplitView(central);
    mRBSplitView->setObjectName(QStringLiteral("splitView"));
    auto* topBox = new QWidget();
    auto* bottomBox = new QWidget();
    buildQueuePane(topBox);
    buildPhonePane(bottomBox);
    mRBSplitView->setPanes(topBox, bottomBox);
    layout->addWidget(mRBSplitView, 1);

    // The strip under the panes: the status line.
    auto* strip = new QWidget(central);
    auto* stripLayout = new QHBoxLayout(strip);
    stripLayout->setContentsMargins(kPaneMargin, kPaneMargin / 2, kPaneMargin, kPaneMargin / 2);
    label1 = new QLabel(strip);
    label1->setTextFormat(Qt::PlainText);
    label1->setObjectName(QStringLiteral("statusLine"));
    stripLayout->addWidget(label1, 1);
    layout->addWidget(strip);

    _window->setCentralWidget(central);
    buildMenus();
    _window->restoreSavedGeometry();
}

void AppController::buildQueuePane(QWidget* pane) {
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(kPaneMargin, kPaneMargin, kPaneMargin, 0);

    auto* head = new QHBoxLayout();
    topLabelText = heading(QStringLiteral("Files awaiting transfer"), pane);
    topLabelText->setObjectName(QStringLiteral("topHeading"));
    head->addWidget(topLabelText, 1);
    plusButton = new QToolButton(pane);
    plusButton->setObjectName(QStringLiteral("plusButton"));
    plusButton->setText(QStringLiteral("+"));
    plusButton->setToolTip(QStringLiteral("Add Files..."));
    plusButton->setAccessibleName(QStringLiteral("Add Files"));
    connect(plusButton, &QToolButton::clicked, this, [this] { addFileToQueue(); });
    head->addWidget(plusButton);
    layout->addLayout(head);

    queueTable_ = new IDDragTableView(pane);
    queueTable_->setObjectName(QStringLiteral("queueTable"));
    queueTable_->setItemDelegate(new MRFileCell(queueTable_));
    queueTable_->setModel(mQueue);
    layout->addWidget(queueTable_, 1);
    // The hint lies over the empty queue and takes drops there too.
    helpfulMessage_ = new MRCoolTextView(pane);
    helpfulMessage_->setObjectName(QStringLiteral("helpfulMessage"));
    helpfulMessage_->placeOver(queueTable_);

    // The upload row: the item's name, its bar and the stop button.
    auto* uploadRow = new QHBoxLayout();
    textField = new QLabel(pane);
    textField->setTextFormat(Qt::PlainText);
    uploadRow->addWidget(textField);
    progressIndicator = progressBar(pane);
    uploadRow->addWidget(progressIndicator, 1);
    stopButton_ = new QToolButton(pane);
    stopButton_->setText(QStringLiteral("Stop"));
    stopButton_->setEnabled(false);
    connect(stopButton_, &QToolButton::clicked, this, [this] { stopButton(); });
    uploadRow->addWidget(stopButton_);
    layout->addLayout(uploadRow);
    buildUploadRow(pane, layout);

    connectQueueTable();
}

void AppController::buildPhonePane(QWidget* pane) {
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(kPaneMargin, 0, kPaneMargin, kPaneMargin);
    phoneLabel = heading(QStringLiteral("Open Vantle on iPhone to start the transfer"), pane);
    phoneLabel->setObjectName(QStringLiteral("phoneHeading"));
    layout->addWidget(phoneLabel);
    phoneTable_ = new IDDragTableView(pane);
    phoneTable_->setObjectName(QStringLiteral("phoneTable"));
    phoneTable_->setItemDelegate(new MRFileCell(phoneTable_));
    // Nothing is ever dropped on the phone's files.
    phoneTable_->setDropPolicy([] { return false; });
    mPhone = new PhoneDataSource(this, this);
    phoneTable_->setModel(mPhone);
    layout->addWidget(phoneTable_, 1);
    // The download bar lies over the row of the file being downloaded.
    downloadProgressIndicator = progressBar(phoneTable_->viewport());
    downloadProgressIndicator->setObjectName(QStringLiteral("downloadBar"));
    connectPhoneTable();
}

void AppController::buildMenus() {
    QMenuBar* bar = _window->menuBar();
    const auto add = [this](QMenu* menu, const QString& name, const QString& title,
                            const QKeySequence& keys, auto slot) {
        QAction* action = menu->addAction(title);
        action->setObjectName(name);
        if (!keys.isEmpty()) action->setShortcut(keys);
        connect(action, &QAction::triggered, this, slot);
        mActions.insert(name, action);
        return action;
    };

    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    add(file, QStringLiteral("addFileToQueue:"), QStringLiteral("Add Files..."), QKeySequence::Open,
        [this] { addFileToQueue(); });
    add(file, QStringLiteral("directConnect:"), QStringLiteral("Manual Connect..."), {},
        [this] { directConnect(); });
    file->addSeparator();
    QAction* autoConnect =
        add(file, QStringLiteral("autoConnectMenu:"), QStringLiteral("Automatically Connect"), {},
            [this] { autoConnectMenu(); });
    autoConnect->setCheckable(true);
    QAction* logging = add(file, QStringLiteral("loggingMenu:"),
                           QStringLiteral("Create Debug Logs"), {}, [this] { loggingMenu(); });
    logging->setCheckable(true);
    QAction* notifications =
        add(file, QStringLiteral("notificationsMenu:"), QStringLiteral("Show Notifications"), {},
            [this] { notificationsMenu(); });
    notifications->setCheckable(true);
    add(file, QStringLiteral("checkForUpdates:"), QStringLiteral("Check for Updates..."), {},
        [this] { checkForUpdates(); });
    file->addSeparator();
    QAction* quit =
        add(file, QStringLiteral("terminate:"), QStringLiteral("Quit"), QKeySequence::Quit, [this] {
            if (_window) _window->close();
        });
    quit->setMenuRole(QAction::QuitRole);
    connect(file, &QMenu::aboutToShow, this, [this] { validateMenus(); });

    QMenu* edit = bar->addMenu(QStringLiteral("&Edit"));
    add(edit, QStringLiteral("delete:"), QStringLiteral("Delete"), {}, [this] {
        if (auto* table = qobject_cast<IDDragTableView*>(QApplication::focusWidget()))
            emit table->deleteRequested();
        else
            emit queueTable_->deleteRequested();
    });

    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    add(help, QStringLiteral("showConnectionDiagnostics:"),
        QStringLiteral("Connection Diagnostics..."), {}, [this] { showConnectionDiagnostics(); });
    // Links are build options; without an address their items stay away.
    if (!links::connectionHelp().isEmpty())
        add(help, QStringLiteral("helpButtonClicked:"), QStringLiteral("Connection Help"), {},
            [this] { openLink(links::connectionHelp()); });
    if (!links::webSite().isEmpty())
        add(help, QStringLiteral("openweb:"), QStringLiteral("Vantle Web Site"), {},
            [this] { openLink(links::webSite()); });
}

} // namespace vantle
