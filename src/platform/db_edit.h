#pragma once

#include <QLineEdit>
#include <optional>

#include "platform/data_source.h"
#include "platform/entry_mask.h"

namespace platform {

// A data-aware edit box: shows its field of the current record, and typing into it puts a
// browsing record into editing. It takes at most the field's width in characters, or what its
// entry mask allows. Its text is stored when the record is about to be written and when the
// box loses the focus after a change; Escape brings back the field's value. Without a field
// (no data source, closed table, a field the table lacks) it shows nothing and is read-only.
//
// A masked box whose required positions are not all filled (an empty box is fine) is never
// stored: storing it raises EDbfError "Invalid input value.  Use escape key to abandon
// changes", so that the post that wanted it does not happen; when the focus moves to another
// control that message is shown and the focus comes back to the box.
class DbEdit : public QLineEdit {
    Q_OBJECT

  public:
    explicit DbEdit(QWidget* parent = nullptr);

    void setDataSource(DataSource* source) { link_.setDataSource(source); }
    DataSource* dataSource() const { return link_.dataSource(); }
    void setDataField(const QString& name) { link_.setFieldName(name); }
    QString dataField() const { return link_.fieldName(); }

    // An entry mask such as "99/99/0000;1;_" (see EntryMask); "" removes it.
    void setEntryMask(const QString& mask);
    const std::optional<EntryMask>& entryMask() const { return mask_; }

    // What the box would store now: the typed text, or the mask's stored form of it ("" for a
    // masked box with nothing entered).
    QString valueText() const;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    void showField();
    void storeField();
    void userEdited();

    FieldDataLink link_;
    std::optional<EntryMask> mask_;
    bool showing_ = false;
};

}  // namespace platform
