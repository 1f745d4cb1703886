#pragma once

#include <QPointer>
#include <QWidget>

#include "platform/data_source.h"

class QToolButton;

namespace platform {

// A record navigator with four buttons on its data source's data set: prior and next record
// (each first finishes the pending change, as every move does), insert (a new record; the
// data set's AfterInsert runs) and delete, which asks "Delete record?" (OK / Cancel) and
// deletes the current record only on OK. Their hints are "Prior record", "Next record",
// "Insert record" and "Delete record"; they are named PriorButton, NextButton, InsertButton and
// DeleteButton. The buttons are enabled while the data set is open (delete: while it has a
// record). Failures of the data set are shown in a message box.
class DbNavigator : public QWidget {
    Q_OBJECT

  public:
    explicit DbNavigator(QWidget* parent = nullptr);

    // Not owned.
    void setDataSource(DataSource* source);
    DataSource* dataSource() const { return source_; }

    void prior();
    void next();
    void insert();
    void deleteRecord();

  private:
    void updateButtons();

    QPointer<DataSource> source_;
    QToolButton* prior_;
    QToolButton* next_;
    QToolButton* insert_;
    QToolButton* delete_;
};

}  // namespace platform
