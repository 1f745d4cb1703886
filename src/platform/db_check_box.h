#pragma once

#include <QCheckBox>

#include "platform/data_source.h"

namespace platform {

// A data-aware check box. It is ticked when its field holds the "checked" value and clear
// otherwise (the other value, blank, or anything else). Clicking it puts a browsing record
// into editing and stores the value for the new state at once. Values compare without letter
// case and surrounding blanks; on a logical field "True"/"False" (the defaults) store T and F.
// The General form uses "X" and " " on character fields.
class DbCheckBox : public QCheckBox {
    Q_OBJECT

  public:
    explicit DbCheckBox(QWidget* parent = nullptr);
    DbCheckBox(const QString& text, QWidget* parent = nullptr);

    void setDataSource(DataSource* source) { link_.setDataSource(source); }
    DataSource* dataSource() const { return link_.dataSource(); }
    void setDataField(const QString& name) { link_.setFieldName(name); }
    QString dataField() const { return link_.fieldName(); }

    void setValueChecked(const QString& value);
    void setValueUnchecked(const QString& value);
    const QString& valueChecked() const { return checkedValue_; }
    const QString& valueUnchecked() const { return uncheckedValue_; }

  private:
    void showField();
    void storeField();
    void userClicked();

    FieldDataLink link_;
    QString checkedValue_ = QStringLiteral("True");
    QString uncheckedValue_ = QStringLiteral("False");
};

}  // namespace platform
