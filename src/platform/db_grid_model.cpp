#include "platform/db_grid_model.h"

#include "platform/field_text.h"

namespace platform {

using storage::DataSetState;

namespace {

// What a grid cell shows: memo fields only their first line.
QString cellText(const storage::TField& field) {
    QString text = fieldDisplayText(field);
    if (isMemoField(field)) text = text.section(QLatin1Char('\n'), 0, 0);
    return text;
}

}  // namespace

DbGridModel::DbGridModel(QObject* parent)
    : QAbstractTableModel(parent),
      refusedLink_([this] { refused_.reset(); }, [this] { storeRefused(); }) {}

void DbGridModel::setDataSource(DataSource* source) {
    if (source_) disconnect(source_, nullptr, this, nullptr);
    source_ = source;
    if (source_) {
        connect(source_, &DataSource::recordChanged, this, &DbGridModel::recordChanged);
        connect(source_, &DataSource::fieldValueChanged, this, &DbGridModel::fieldValueChanged);
    }
    nameColumns();
    reload();
}

void DbGridModel::nameColumns() {
    if (!source_) return;
    for (const DbGridColumn& column : columns_)
        source_->setFieldCaption(column.field, column.title);
}

void DbGridModel::setColumns(std::vector<DbGridColumn> columns) {
    beginResetModel();
    columns_ = std::move(columns);
    for (Row& row : rows_) row.values.clear();
    endResetModel();
    nameColumns();
    reload();
}

storage::TDbfCDataSet* DbGridModel::dataSet() const {
    return source_ && source_->active() ? source_->dataSet() : nullptr;
}

storage::TField* DbGridModel::fieldOf(int column) const {
    storage::TDbfCDataSet* set = dataSet();
    if (!set || column < 0 || column >= int(columns_.size())) return nullptr;
    return set->FindField(columns_[column].field.toStdString());
}

DbGridModel::Row DbGridModel::readCurrent() const {
    Row row;
    storage::TDbfCDataSet* set = dataSet();
    row.recno = set ? set->RecNo() : 0;
    for (int column = 0; column < int(columns_.size()); ++column) {
        storage::TField* field = fieldOf(column);
        row.values << (field ? cellText(*field) : QString());
    }
    return row;
}

int DbGridModel::indexOfRecno(uint32_t recno) const {
    if (recno == 0) return -1;
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].recno == recno) return int(i);
    }
    return -1;
}

int DbGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size()) + (inserting_ ? 1 : 0);
}

int DbGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant DbGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !checkIndex(index)) return QVariant();
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        if (refused_ && index.row() == currentRow_ && index.column() == refused_->column)
            return refused_->text;
        const Row& row = index.row() < int(rows_.size()) ? rows_[index.row()] : insertRow_;
        return index.column() < row.values.size() ? row.values[index.column()] : QString();
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(columns_[index.column()].alignment | Qt::AlignVCenter);
    }
    return QVariant();
}

QVariant DbGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= int(columns_.size())) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    if (role == Qt::DisplayRole) return columns_[section].title;
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(columns_[section].alignment | Qt::AlignVCenter);
    }
    return QVariant();
}

Qt::ItemFlags DbGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid() || !checkIndex(index)) return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    storage::TField* field = fieldOf(index.column());
    if (field && !isMemoField(*field)) result |= Qt::ItemIsEditable;
    return result;
}

bool DbGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || !checkIndex(index)) return false;
    const QString text = value.toString();
    if (data(index, Qt::EditRole).toString() == text && index.row() == currentRow_) return true;
    if (!beginEdit(index.row())) return false;
    const int column = index.column();
    if (refused_ && refused_->column == column) forgetRefused();
    const QString& caption = columns_[column].title;
    storage::TField* field = fieldOf(column);
    if (!field) return false;
    if (runDataAction([&] { setFieldFromText(*field, text, caption); })) return true;
    if (!numberFitError(*field, text.trimmed(), caption).isEmpty()) keepRefused(column, text);
    return false;
}

void DbGridModel::keepRefused(int column, const QString& text) {
    refusedLink_.setDataSource(source_);
    refusedLink_.setFieldName(columns_[column].field);
    if (!refusedLink_.beginChange()) return;
    refused_ = RefusedCell{column, text};
    const QModelIndex cell = index(currentRow_, column);
    emit dataChanged(cell, cell);
}

void DbGridModel::forgetRefused() {
    const std::optional<RefusedCell> was = refused_;
    refusedLink_.reset();  // its show forgets the text
    if (was && currentRow_ >= 0) {
        const QModelIndex cell = index(currentRow_, was->column);
        emit dataChanged(cell, cell);
    }
}

void DbGridModel::storeRefused() {
    if (!refused_) return;
    if (storage::TField* field = fieldOf(refused_->column))
        setFieldFromText(*field, refused_->text, columns_[refused_->column].title);
}

bool DbGridModel::moveToRow(int row) {
    storage::TDbfCDataSet* set = dataSet();
    if (!set || row < 0 || row >= rowCount()) return false;
    if (row == currentRow_) return true;
    if (row == insertRowIndex()) return false;  // the new record is reached only by inserting
    const uint32_t target = rows_[row].recno;
    return runDataAction([&] {
               set->CheckBrowseMode();
               if (source_->editing()) return;  // the change stayed pending
               // A new record that was just written is not among the rows yet: read them again.
               if (indexOfRecno(set->RecNo()) < 0 && set->RecNo() != 0) reload();
               int at = indexOfRecno(set->RecNo());
               const int goal = indexOfRecno(target);
               if (goal < 0) return;
               moving_ = true;
               try {
                   if (at < 0) {
                       set->First();
                       at = indexOfRecno(set->RecNo());
                   }
                   while (at >= 0 && at != goal) {
                       const uint32_t before = set->RecNo();
                       at < goal ? set->Next() : set->Prior();
                       if (set->RecNo() == before) break;
                       at = indexOfRecno(set->RecNo());
                   }
               } catch (...) {
                   moving_ = false;
                   throw;
               }
               moving_ = false;
               // Someone else changed the table under the rows: read them again.
               if (set->RecNo() != target) scheduleReload();
           }) &&
           set->Active() && set->RecNo() == target;
}

bool DbGridModel::beginEdit(int row) {
    if (!dataSet() || !source_) return false;
    if (row != currentRow_ && !moveToRow(row)) return false;
    bool editing = false;
    runDataAction([&] { editing = source_->edit(); });
    return editing;
}

void DbGridModel::reload() {
    reloadScheduled_ = false;
    storage::TDbfCDataSet* set = dataSet();
    if (!set) {
        beginResetModel();
        rows_.clear();
        inserting_ = false;
        endResetModel();
        lastState_ = DataSetState::Inactive;
        lastRecno_ = 0;
        reloadWanted_ = false;
        setCurrentRow(-1, true);
        return;
    }
    const DataSetState state = set->State();
    if (state == DataSetState::Insert ||
        (state == DataSetState::Edit && (set->Modified() || source_->hasPendingInput()))) {
        reloadWanted_ = true;
        return;
    }
    std::vector<Row> rows;
    runDataAction([&] { walk(rows); });
    beginResetModel();
    rows_ = std::move(rows);
    inserting_ = false;
    endResetModel();
    reloadWanted_ = false;
    lastState_ = set->Active() ? set->State() : DataSetState::Inactive;
    lastRecno_ = set->Active() ? set->RecNo() : 0;
    setCurrentRow(indexOfRecno(lastRecno_), true);
}

void DbGridModel::walk(std::vector<Row>& rows) {
    storage::TDbfCDataSet& set = *dataSet();
    set.forEachVisible([&](uint32_t recno) {
        Row row;
        row.recno = recno;
        for (const DbGridColumn& column : columns_) {
            storage::TField* field = set.FindField(column.field.toStdString());
            row.values << (field ? cellText(*field) : QString());
        }
        rows.push_back(std::move(row));
        return true;
    });
}

void DbGridModel::scheduleReload() {
    reloadWanted_ = true;
    if (reloadScheduled_) return;
    reloadScheduled_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (reloadScheduled_) reload();
        },
        Qt::QueuedConnection);
}

void DbGridModel::showInsertRow(bool shown) {
    if (shown == inserting_) return;
    if (shown) {
        beginInsertRows(QModelIndex(), insertRowIndex(), insertRowIndex());
        inserting_ = true;
        insertRow_ = Row();
        insertRow_.values = QStringList(QList<QString>(columns_.size()));
        endInsertRows();
    } else {
        beginRemoveRows(QModelIndex(), insertRowIndex(), insertRowIndex());
        inserting_ = false;
        endRemoveRows();
    }
}

void DbGridModel::recordChanged() {
    storage::TDbfCDataSet* set = dataSet();
    if (!set) {
        if (!rows_.empty() || inserting_ || currentRow_ != -1) reload();
        return;
    }
    const DataSetState state = set->State();
    const uint32_t recno = set->RecNo();
    const DataSetState was = lastState_;
    const uint32_t wasRecno = lastRecno_;
    lastState_ = state;
    lastRecno_ = recno;

    if (state == DataSetState::Insert) {
        showInsertRow(true);
        setCurrentRow(insertRowIndex());
        refreshCurrentRow();
        return;
    }
    showInsertRow(false);
    // Only the current record's row changed: an edit started, written or dropped, or a move
    // this model made. Anything else (a filter, a new record written, a deletion, a move made
    // elsewhere) may change which records are visible.
    const bool sameRecord = recno == wasRecno && recno != 0;
    const bool rowOnly =
        moving_ || (sameRecord && ((was == DataSetState::Browse && state == DataSetState::Edit) ||
                                   (was == DataSetState::Edit && state == DataSetState::Browse)));
    const int row = indexOfRecno(recno);
    if (rowOnly && row >= 0) {
        setCurrentRow(row);
        refreshCurrentRow();
        if (reloadWanted_) scheduleReload();
        return;
    }
    setCurrentRow(row);
    // A filter just installed has read the end of the table: reading the rows now finishes the
    // same pass over the file instead of starting another.
    if (set->VisibleTailKnown()) {
        reload();
    } else {
        scheduleReload();
    }
}

void DbGridModel::fieldValueChanged(int) {
    if (dataSet()) refreshCurrentRow();
}

void DbGridModel::refreshCurrentRow() {
    storage::TDbfCDataSet* set = dataSet();
    if (!set || currentRow_ < 0 || columns_.empty()) return;
    if (currentRow_ < int(rows_.size()) && rows_[currentRow_].recno != set->RecNo()) return;
    Row& row = currentRow_ < int(rows_.size()) ? rows_[currentRow_] : insertRow_;
    const uint32_t recno = row.recno;
    row = readCurrent();
    if (currentRow_ < int(rows_.size())) row.recno = recno;
    emit dataChanged(index(currentRow_, 0), index(currentRow_, int(columns_.size()) - 1));
}

void DbGridModel::setCurrentRow(int row, bool force) {
    if (row == currentRow_ && !force) return;
    currentRow_ = row;
    emit currentRowChanged(row);
}

}  // namespace platform
