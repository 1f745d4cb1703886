#pragma once

#include <QAbstractTableModel>
#include <QPointer>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/data_source.h"

namespace platform {

// One column of a data grid.
struct DbGridColumn {
    QString field;
    QString title;
    int width = 100;
    Qt::Alignment alignment = Qt::AlignLeft;
};

// The rows of a data grid: the visible records of the data source's data set, in its order,
// one column per DbGridColumn, plus the new record at the end while one is being inserted.
//
// The model reads the records with the data set's read-only walk, which leaves its position,
// state and events alone. It reads only while the data set is browsing, or editing a record
// with no change yet; otherwise it waits for the next notification that allows it. Walks are
// deferred to the event loop and coalesced, except right after a filter was installed (the rows
// are read while the data set can end the walk early); moves the model makes itself, edits and
// posts of the current record only refresh that record's row.
class DbGridModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    explicit DbGridModel(QObject* parent = nullptr);

    // Not owned. Binding reads the rows at once when the data set allows it.
    void setDataSource(DataSource* source);
    DataSource* dataSource() const { return source_; }
    void setColumns(std::vector<DbGridColumn> columns);
    const std::vector<DbGridColumn>& columns() const { return columns_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Stores the text into the row's field: the data set first moves to the row, a browsing
    // record is put into editing; an unchanged text starts nothing. A number the field cannot
    // hold is refused with a message naming the column, and stays in its cell for correction:
    // until it is corrected (or the change dropped), every move or post of the record stops
    // there with the same message.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // The row of the data set's current record (the new record while inserting); -1 when the
    // current record is not among the rows read.
    int currentRow() const { return currentRow_; }
    // Moves the data set to the record of `row`. The pending change is finished first, as
    // every move does (CheckBrowseMode: the controls store, the update-data event runs, then
    // the record is posted if modified and cancelled if not). True when the data set stands on
    // the row's record afterwards; false leaves it where the finishing left it (a refused lock
    // keeps the change pending on the old record). Errors are shown in a message box.
    bool moveToRow(int row);
    // Moves to `row` if needed and puts its record into editing; true when editing.
    bool beginEdit(int row);
    // Reads the rows again now when the data set allows it (see above), else later.
    void reload();
    // Reads the rows now if a notification since the last reading asked for it.
    void reloadIfWanted() {
        if (reloadWanted_ || reloadScheduled_) reload();
    }

  signals:
    // The data set's current record moved to `row` (-1: not among the rows).
    void currentRowChanged(int row);

  private:
    struct Row {
        uint32_t recno = 0;
        QStringList values;
    };

    storage::TDbfCDataSet* dataSet() const;
    storage::TField* fieldOf(int column) const;
    // The column titles name their fields in the data source's questions and messages.
    void nameColumns();
    Row readCurrent() const;
    int indexOfRecno(uint32_t recno) const;
    int insertRowIndex() const { return int(rows_.size()); }
    void walk(std::vector<Row>& rows);
    void scheduleReload();
    void recordChanged();
    void fieldValueChanged(int field);
    void refreshCurrentRow();
    void setCurrentRow(int row, bool force = false);
    void showInsertRow(bool shown);
    // The refused number of the current record (see setData).
    void keepRefused(int column, const QString& text);
    void forgetRefused();
    void storeRefused();

    QPointer<DataSource> source_;
    std::vector<DbGridColumn> columns_;
    std::vector<Row> rows_;
    Row insertRow_;
    bool inserting_ = false;
    int currentRow_ = -1;
    storage::DataSetState lastState_ = storage::DataSetState::Inactive;
    uint32_t lastRecno_ = 0;
    bool moving_ = false;
    bool reloadWanted_ = false;
    bool reloadScheduled_ = false;
    struct RefusedCell {
        int column;
        QString text;
    };
    std::optional<RefusedCell> refused_;
    // Stores the refused text again whenever the record is about to be written or left; shown
    // again (another record, the change dropped), it forgets the text.
    FieldDataLink refusedLink_;
};

}  // namespace platform
