#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "storage/filtered_dataset.h"

class QWidget;

namespace platform {

class DataSource;

// A control's binding to one field of a data source. The control supplies how it shows the
// field and how it stores its own value; the link decides when, following the data set:
// it shows the field after every move, state change or change of that field, and stores the
// control's value (only when the user changed it) when the record is about to be written.
// A link without a data source, on a closed data set or on a field the table does not have has
// no field(): the control shows nothing and takes no input.
class FieldDataLink {
  public:
    // `control` (not owned) is the widget the user reads the field in; its caption names the
    // field in questions and messages (see controlCaption).
    FieldDataLink(std::function<void()> show, std::function<void()> store,
                  const QWidget* control = nullptr);
    ~FieldDataLink();
    FieldDataLink(const FieldDataLink&) = delete;
    FieldDataLink& operator=(const FieldDataLink&) = delete;

    // Not owned; the link unregisters itself when either side goes away.
    void setDataSource(DataSource* source);
    DataSource* dataSource() const { return source_; }
    void setFieldName(const QString& name);
    const QString& fieldName() const { return fieldName_; }

    // The bound field of the current record, or null.
    storage::TField* field() const;
    // The control's caption; empty when it has none.
    QString caption() const;
    // How the bound field is named to the user: the control's caption, else the data source's
    // (see DataSource::fieldCaption); empty without a field.
    QString fieldCaption() const;
    // The data set is in edit or insert state.
    bool editing() const;

    // The user is about to change the control's value: a browsing record is put into editing
    // (the control itself is not shown again meanwhile, so it keeps what the user typed). True
    // when the change may go ahead; the control then counts as modified until its value is
    // stored or the field is shown again. False leaves the control to undo the change.
    bool beginChange();
    bool modified() const { return modified_; }
    // Shows the field again, dropping a change the control has not stored.
    void reset();
    // Stores the control's value when the user changed it. Errors of the store (a number that
    // does not read) propagate and leave the control modified.
    void updateData();

  private:
    friend class DataSource;
    void show();

    std::function<void()> show_;
    std::function<void()> store_;
    const QWidget* control_;
    DataSource* source_ = nullptr;
    QString fieldName_;
    bool modified_ = false;
};

// The link between one data set and its data-aware controls. It registers with the data set as
// its DataLink and passes the data set's notifications on: after every move and state change
// all controls show the record again; after a field was set, the controls of that field; when
// the record is about to be written or left, the controls store their values and then the
// update-data event runs (which may Cancel the change).
//
// When a post finds that another workstation changed fields this one changed too, the data
// source asks the user (Yes/No, through platform::dialogs()) whether to replace the other
// workstation's values, naming the fields by their captions; when the record was deleted at
// another workstation it says so.
class DataSource : public QObject, public storage::DataLink {
    Q_OBJECT

  public:
    explicit DataSource(QObject* parent = nullptr);
    // Unregisters from the data set and detaches every control.
    ~DataSource() override;

    // Not owned. The data set must outlive the data source, or be detached first with
    // setDataSet(nullptr). Binding shows the current record in every control.
    void setDataSet(storage::TDbfCDataSet* dataSet);
    storage::TDbfCDataSet* dataSet() const { return dataSet_; }

    bool active() const { return dataSet_ && dataSet_->Active(); }
    // The data set is in edit or insert state.
    bool editing() const;
    // Some control holds a change the user made that is not stored yet.
    bool hasPendingInput() const;

    // Puts a browsing record into editing (Edit; on a data set without a visible record this
    // starts an insert). `origin` is not shown again while that happens. True when the data
    // set is editing or inserting afterwards. Errors of the data set propagate.
    bool edit(FieldDataLink* origin = nullptr);

    // The update-data event: runs after the controls stored their values, whenever the record
    // is about to be written or left. It may Cancel the data set's change.
    std::function<void(DataSource&)> OnUpdateData;

    // How field `name` is named to the user where no bound control says it (a field set by the
    // form itself, a grid column); overrides the controls' captions.
    void setFieldCaption(const QString& name, const QString& caption);
    // The caption of field `field` (its index): the one set, else the first bound control's,
    // else the field's name.
    QString fieldCaption(int field) const;
    // The question about fields that another workstation changed too, and the message about a
    // record it deleted.
    static QString conflictQuestion(const QStringList& captions);
    static QString deletedElsewhereMessage();

    // While a QuietScope lives, the controls are not shown each record the data set passes
    // (the walk must come back to the record it left). The pending change is still finished
    // as always: the controls store their values and the update event runs.
    class QuietScope {
      public:
        explicit QuietScope(DataSource& source) : source_(source) { ++source_.quiet_; }
        ~QuietScope() { --source_.quiet_; }
        QuietScope(const QuietScope&) = delete;
        QuietScope& operator=(const QuietScope&) = delete;

      private:
        DataSource& source_;
    };

    // storage::DataLink
    void updateData() override;
    void dataChanged() override;
    void fieldChanged(int field) override;
    void dataSetDestroyed() override;
    std::optional<bool> replaceOtherValues(const std::vector<int>& fields) override;
    bool toldDeletedElsewhere() override;

  signals:
    // The record is about to be written or left, before the controls store their values (a
    // grid commits its open cell editor here). Connected directly, it runs synchronously.
    void aboutToUpdateData();
    // After the controls showed a new record or state.
    void recordChanged();
    // After the controls of field `field` (its index) showed its new value.
    void fieldValueChanged(int field);

  private:
    friend class FieldDataLink;
    void addLink(FieldDataLink* link);
    void removeLink(FieldDataLink* link);
    bool registered(FieldDataLink* link) const;

    storage::TDbfCDataSet* dataSet_ = nullptr;
    std::vector<FieldDataLink*> links_;
    FieldDataLink* origin_ = nullptr;
    int quiet_ = 0;
    QHash<QString, QString> captions_;  // by field name in upper case
};

// Runs a data-set operation that the user started from a control, so that no exception passes
// through Qt's event loop: EAbort ends it silently, an EDbfError or other error is shown in a
// message box, and a fatal storage error has already been reported by its handler. True when
// the operation completed.
bool runDataAction(const std::function<void()>& action);

}  // namespace platform
