#pragma once

#include "app/TransferRecord.h"

#include <QAbstractTableModel>
#include <QList>

namespace vantle {

class TransferHistory;

// The history as a table, newest first: time, direction, name, size, phone, result. Follows the
// history it shows. Main thread.
class TransferHistoryModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { TimeColumn, DirectionColumn, NameColumn, SizeColumn, PhoneColumn, ResultColumn };
    static constexpr int kColumns = ResultColumn + 1;
    // The local file of the row, whether or not it is still there.
    static constexpr int LocalPathRole = Qt::UserRole;

    explicit TransferHistoryModel(TransferHistory& history, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The texts a row shows.
    static QString directionText(const TransferRecord& record);
    static QString resultText(const TransferRecord& record);

private:
    void entryAdded(const TransferRecord& record);
    void reload();
    QString cellText(const TransferRecord& record, int column) const;

    TransferHistory& mHistory;
    // A copy of the history's entries: the model changes them only between its own begin and
    // end calls.
    QList<TransferRecord> mRows;
};

} // namespace vantle
