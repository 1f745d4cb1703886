#pragma once

#include <QComboBox>
#include <QStringList>

#include "platform/data_source.h"

namespace platform {

// A data-aware drop-down list of fixed choices. Each caption stands for a stored value (the
// caption itself when no values are given). The choice whose value the field holds (compared
// without surrounding blanks) is shown; a value outside the list shows no choice. Choosing puts
// a browsing record into editing and stores the value at once. Without a field (no data source,
// a closed data set, an unknown field) the box is disabled.
class DbComboBox : public QComboBox {
    Q_OBJECT

  public:
    explicit DbComboBox(QWidget* parent = nullptr);

    void setDataSource(DataSource* source) { link_.setDataSource(source); }
    DataSource* dataSource() const { return link_.dataSource(); }
    // Binding to another field shows that field's value at once.
    void setDataField(const QString& name) { link_.setFieldName(name); }
    QString dataField() const { return link_.fieldName(); }

    // The captions and, in the same order, their stored values.
    void setItems(const QStringList& captions, const QStringList& values = {});
    // The stored value of the choice shown, "" when none is.
    QString currentValue() const;

  private:
    void showField();
    void storeField();
    void userChose(int index);
    QString valueOf(int index) const;

    FieldDataLink link_;
    QStringList values_;
};

}  // namespace platform
