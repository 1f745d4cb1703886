#pragma once

#include <QPlainTextEdit>

#include "platform/data_source.h"

namespace platform {

// A data-aware memo: shows its field's text with the platform's line breaks and stores it
// with CR LF, when the record is about to be written and when the memo loses the focus after a
// change. Typing puts a browsing record into editing. Without a field it shows nothing and is
// read-only.
class DbMemo : public QPlainTextEdit {
    Q_OBJECT

  public:
    explicit DbMemo(QWidget* parent = nullptr);

    void setDataSource(DataSource* source) { link_.setDataSource(source); }
    DataSource* dataSource() const { return link_.dataSource(); }
    void setDataField(const QString& name) { link_.setFieldName(name); }
    QString dataField() const { return link_.fieldName(); }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    void showField();
    void storeField();
    void userChanged();

    FieldDataLink link_;
    bool showing_ = false;
    bool replacing_ = false;
};

}  // namespace platform
