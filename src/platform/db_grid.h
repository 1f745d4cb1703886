#pragma once

#include <QTableView>
#include <vector>

#include "platform/db_grid_model.h"

namespace platform {

// A data grid over its data source's visible records (see DbGridModel). The current row
// follows the data set's current record, and moving to another row moves the data set there,
// finishing the pending change first as every move does. Editing a cell puts the record into
// editing; the cell's text is stored when the editor closes and, for an open editor, when the
// record is about to be written. The Insert key starts a new record (the data set's Insert,
// with its AfterInsert); Ctrl+Delete asks "Delete record?" (OK / Cancel) and deletes the
// current record on OK. Failures of the data set are shown in a message box.
class DbGrid : public QTableView {
    Q_OBJECT

  public:
    explicit DbGrid(QWidget* parent = nullptr);

    // Not owned.
    void setDataSource(DataSource* source);
    DataSource* dataSource() const { return model_->dataSource(); }
    // Titles, widths and alignment (of title and values) per column.
    void setColumns(std::vector<DbGridColumn> columns);
    DbGridModel* gridModel() const { return model_; }

    void insertRecord();
    // Asks first; deletes on OK.
    void deleteRecord();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

  private:
    void followDataSet(int row);
    void commitOpenEditor();
    void applyColumnWidths();

    DbGridModel* model_;
    bool following_ = false;
};

}  // namespace platform
