#include "app/history/TransferHistoryWindow.h"

#include "app/history/TransferHistory.h"
#include "app/history/TransferHistoryModel.h"
#include "support/ParoxLog.h"
#include "ui/SheetPresenter.h"

#include <QAction>
#include <QBoxLayout>
#include <QEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>

namespace vantle {
namespace {

constexpr QSize kInitialSize{860, 420};

QPushButton* button(const QString& name, const QString& title, QWidget* parent) {
    auto* made = new QPushButton(title, parent);
    made->setObjectName(name);
    made->setAutoDefault(false);
    return made;
}

} // namespace

TransferHistoryWindow::TransferHistoryWindow(TransferHistory& history, SheetPresenter& presenter,
                                             QWidget* parent)
    : QWidget(parent, Qt::Window), mHistory(history), mPresenter(presenter),
      mModel(new TransferHistoryModel(history, this)) {
    setObjectName(QStringLiteral("transferHistoryWindow"));
    setWindowTitle(tr("Transfer History"));
    resize(kInitialSize);
    auto* layout = new QVBoxLayout(this);

    mLoading = new QLabel(tr("Loading..."), this);
    mLoading->setObjectName(QStringLiteral("historyLoading"));
    mLoading->setAlignment(Qt::AlignCenter);
    layout->addWidget(mLoading, 1);

    mTable = new QTableView(this);
    mTable->setObjectName(QStringLiteral("historyTable"));
    mTable->setModel(mModel);
    mTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    mTable->setSelectionMode(QAbstractItemView::ExtendedSelection);
    mTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    mTable->setWordWrap(false);
    mTable->setTextElideMode(Qt::ElideMiddle);
    mTable->verticalHeader()->hide();
    // The short columns as wide as what they hold; the name and the result share the rest.
    QHeaderView* header = mTable->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(TransferHistoryModel::NameColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(TransferHistoryModel::ResultColumn, QHeaderView::Stretch);
    layout->addWidget(mTable, 1);
    connect(mTable, &QTableView::activated, this, [this] { openCurrent(); });

    auto* buttons = new QHBoxLayout();
    mOpen = button(QStringLiteral("historyOpen"), tr("Open"), this);
    mReveal = button(QStringLiteral("historyReveal"), tr("Show in File Manager"), this);
    mRemove = button(QStringLiteral("historyRemove"), tr("Remove from History"), this);
    mClear = button(QStringLiteral("historyClear"), tr("Clear"), this);
    for (QPushButton* each : {mOpen, mReveal, mRemove})
        buttons->addWidget(each);
    buttons->addStretch(1);
    buttons->addWidget(mClear);
    layout->addLayout(buttons);
    connect(mOpen, &QPushButton::clicked, this, &TransferHistoryWindow::openCurrent);
    connect(mReveal, &QPushButton::clicked, this, &TransferHistoryWindow::revealCurrent);
    connect(mRemove, &QPushButton::clicked, this, &TransferHistoryWindow::removeSelected);
    connect(mClear, &QPushButton::clicked, this, &TransferHistoryWindow::askToClear);

    auto* remove = new QAction(tr("Remove from History"), this);
    remove->setShortcut(QKeySequence::Delete);
    remove->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(remove, &QAction::triggered, this, &TransferHistoryWindow::removeSelected);
    addAction(remove);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &QWidget::close);

    connect(mTable->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TransferHistoryWindow::updateState);
    connect(mTable->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TransferHistoryWindow::updateState);
    connect(mModel, &QAbstractItemModel::modelReset, this, &TransferHistoryWindow::updateState);
    connect(mModel, &QAbstractItemModel::rowsInserted, this, &TransferHistoryWindow::updateState);
    connect(&mHistory, &TransferHistory::loaded, this, &TransferHistoryWindow::updateState);
    updateState();
}

void TransferHistoryWindow::changeEvent(QEvent* event) {
    // A file may have gone, or come back, while the user was elsewhere.
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) updateState();
    QWidget::changeEvent(event);
}

QString TransferHistoryWindow::currentFile() const {
    const QModelIndex current = mTable->currentIndex();
    if (!current.isValid() || !mTable->selectionModel()->isRowSelected(current.row())) return {};
    const QString path = current.data(TransferHistoryModel::LocalPathRole).toString();
    return !path.isEmpty() && QFileInfo::exists(path) ? path : QString();
}

void TransferHistoryWindow::updateState() {
    const bool loading = mHistory.state() == TransferHistory::State::Loading;
    mLoading->setVisible(loading);
    mTable->setVisible(!loading);
    const bool fileThere = !loading && !currentFile().isEmpty();
    mOpen->setEnabled(fileThere);
    mReveal->setEnabled(fileThere);
    mRemove->setEnabled(!loading && mTable->selectionModel()->hasSelection());
    mClear->setEnabled(!loading && mModel->rowCount() > 0);
}

void TransferHistoryWindow::openCurrent() {
    const QString path = currentFile();
    if (!path.isEmpty() && !mOpener.open(path)) ParoxLog("could not open %@", path);
}

void TransferHistoryWindow::revealCurrent() {
    const QString path = currentFile();
    if (!path.isEmpty() && !mOpener.reveal(path)) ParoxLog("could not reveal %@", path);
}

void TransferHistoryWindow::removeSelected() {
    if (mHistory.state() == TransferHistory::State::Loading) return;
    QList<int> rows;
    for (const QModelIndex& index : mTable->selectionModel()->selectedRows())
        rows.append(index.row());
    if (!rows.isEmpty()) mHistory.removeAt(rows);
}

void TransferHistoryWindow::askToClear() {
    if (mHistory.state() == TransferHistory::State::Loading || mModel->rowCount() == 0) return;
    using Role = SheetPresenter::Role;
    mPresenter.show(
        {tr("Clear Transfer History?"),
         tr("Every entry of the history is removed. The files themselves stay where they are."),
         {{tr("Clear"), Role::Remove}, {tr("Cancel"), Role::Cancel}},
         std::nullopt,
         SheetPresenter::Kind::Alert},
        // The window may have closed by the answer; the history is there still.
        [history = &mHistory](Role role, bool) {
            if (role == Role::Remove) history->clear();
        });
}

} // namespace vantle
