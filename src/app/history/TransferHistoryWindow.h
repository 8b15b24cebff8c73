#pragma once

#include "platform/DesktopServices.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QTableView;

namespace vantle {

class SheetPresenter;
class TransferHistory;
class TransferHistoryModel;

// "Transfer History": the history's table with Open, Show in File Manager, Remove from History
// and Clear. A window of its own; Escape closes it, Return opens the current row's file, Delete
// removes the selected rows. Open and Show are off while the row's local file is gone.
class TransferHistoryWindow final : public QWidget {
    Q_OBJECT

public:
    TransferHistoryWindow(TransferHistory& history, SheetPresenter& presenter,
                          QWidget* parent = nullptr);

    void setDesktopOpener(DesktopOpener opener) { mOpener = std::move(opener); }
    QTableView* table() const { return mTable; }

    void openCurrent();
    void revealCurrent();
    void removeSelected();
    // Asks first.
    void askToClear();

protected:
    void changeEvent(QEvent* event) override;

private:
    // The local file of the current row, when it is still there; empty otherwise.
    QString currentFile() const;
    void updateState();

    TransferHistory& mHistory;
    SheetPresenter& mPresenter;
    TransferHistoryModel* mModel = nullptr;
    DesktopOpener mOpener;
    QLabel* mLoading = nullptr;
    QTableView* mTable = nullptr;
    QPushButton* mOpen = nullptr;
    QPushButton* mReveal = nullptr;
    QPushButton* mRemove = nullptr;
    QPushButton* mClear = nullptr;
};

} // namespace vantle
