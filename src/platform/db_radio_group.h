#pragma once

#include <QGroupBox>
#include <QStringList>

#include "platform/data_source.h"

class QButtonGroup;
class QGridLayout;

namespace platform {

// A data-aware radio group: a titled box of choices laid out in columns (filled column by
// column). Each caption stands for a stored value (the caption itself when no values are
// given). The choice whose value the field holds is selected; a value outside the list shows
// no choice. Choosing puts a browsing record into editing and stores the value at once. The
// choices are named "Choice0", "Choice1", ... in caption order.
class DbRadioGroup : public QGroupBox {
    Q_OBJECT

  public:
    explicit DbRadioGroup(QWidget* parent = nullptr);
    DbRadioGroup(const QString& title, QWidget* parent = nullptr);

    void setDataSource(DataSource* source) { link_.setDataSource(source); }
    DataSource* dataSource() const { return link_.dataSource(); }
    void setDataField(const QString& name) { link_.setFieldName(name); }
    QString dataField() const { return link_.fieldName(); }

    // The captions and, in the same order, their stored values.
    void setItems(const QStringList& captions, const QStringList& values = {});
    const QStringList& captions() const { return captions_; }
    void setColumns(int columns);
    // The selected choice, -1 for none.
    int itemIndex() const;
    // The stored value of the selected choice; empty for none.
    QString value() const { return valueOf(itemIndex()); }

  signals:
    // The user chose `index` (after its value was stored).
    void chosen(int index);

  private:
    void rebuild();
    void showField();
    void storeField();
    void userChose(int index);
    QString valueOf(int index) const;

    FieldDataLink link_;
    QStringList captions_;
    QStringList values_;
    int columns_ = 1;
    QButtonGroup* buttons_;
    QGridLayout* layout_;
};

}  // namespace platform
