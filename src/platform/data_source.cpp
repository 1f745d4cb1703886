#include "platform/data_source.h"

#include <algorithm>

#include "platform/control_text.h"
#include "platform/dialogs.h"
#include "storage/dbf_table.h"
#include "storage/status.h"

namespace platform {

using storage::DataSetState;

// ---- FieldDataLink ---------------------------------------------------------------------------

FieldDataLink::FieldDataLink(std::function<void()> show, std::function<void()> store,
                             const QWidget* control)
    : show_(std::move(show)), store_(std::move(store)), control_(control) {}

FieldDataLink::~FieldDataLink() {
    if (source_) source_->removeLink(this);
}

void FieldDataLink::setDataSource(DataSource* source) {
    if (source_ == source) return;
    if (source_) source_->removeLink(this);
    source_ = source;
    if (source_) source_->addLink(this);
    show();
}

void FieldDataLink::setFieldName(const QString& name) {
    fieldName_ = name;
    show();
}

storage::TField* FieldDataLink::field() const {
    if (!source_ || !source_->active() || fieldName_.isEmpty()) return nullptr;
    return source_->dataSet()->FindField(fieldName_.toStdString());
}

bool FieldDataLink::editing() const { return source_ && source_->editing(); }

QString FieldDataLink::caption() const { return controlCaption(control_); }

QString FieldDataLink::fieldCaption() const {
    const QString own = caption();
    if (!own.isEmpty()) return own;
    storage::TField* bound = field();
    return bound ? source_->fieldCaption(bound->Index()) : QString();
}

bool FieldDataLink::beginChange() {
    if (!field()) return false;
    bool editingNow = false;
    if (!runDataAction([&] { editingNow = source_->edit(this); })) return false;
    // The edit may have closed the table or lost the field (an AfterInsert handler).
    if (!editingNow || !field()) return false;
    modified_ = true;
    return true;
}

void FieldDataLink::reset() { show(); }

void FieldDataLink::updateData() {
    if (!modified_ || !field()) return;
    modified_ = false;
    try {
        store_();
    } catch (...) {
        modified_ = true;
        throw;
    }
}

void FieldDataLink::show() {
    modified_ = false;
    if (show_) show_();
}

// ---- DataSource ------------------------------------------------------------------------------

DataSource::DataSource(QObject* parent) : QObject(parent) {}

DataSource::~DataSource() {
    if (dataSet_) dataSet_->removeDataLink(this);
    for (FieldDataLink* link : links_) link->source_ = nullptr;
}

void DataSource::dataSetDestroyed() {
    dataSet_ = nullptr;
    dataChanged();
}

void DataSource::setDataSet(storage::TDbfCDataSet* dataSet) {
    if (dataSet_ == dataSet) return;
    if (dataSet_) dataSet_->removeDataLink(this);
    dataSet_ = dataSet;
    if (dataSet_) dataSet_->addDataLink(this);
    dataChanged();
}

bool DataSource::editing() const {
    if (!dataSet_) return false;
    const DataSetState state = dataSet_->State();
    return state == DataSetState::Edit || state == DataSetState::Insert;
}

bool DataSource::hasPendingInput() const {
    return std::any_of(links_.begin(), links_.end(),
                       [](const FieldDataLink* link) { return link->modified(); });
}

bool DataSource::edit(FieldDataLink* origin) {
    if (!active()) return false;
    if (editing()) return true;
    FieldDataLink* previous = origin_;
    origin_ = origin;
    try {
        dataSet_->Edit();
    } catch (...) {
        origin_ = previous;
        throw;
    }
    origin_ = previous;
    return editing();
}

void DataSource::addLink(FieldDataLink* link) {
    if (!registered(link)) links_.push_back(link);
}

void DataSource::removeLink(FieldDataLink* link) {
    links_.erase(std::remove(links_.begin(), links_.end(), link), links_.end());
    if (origin_ == link) origin_ = nullptr;
}

bool DataSource::registered(FieldDataLink* link) const {
    return std::find(links_.begin(), links_.end(), link) != links_.end();
}

void DataSource::updateData() {
    // Not silenced by a QuietScope: a record left during a walk still gets what was typed, and
    // the update event (a blank-item rule) still decides whether it is written.
    emit aboutToUpdateData();
    const auto links = links_;
    for (FieldDataLink* link : links) {
        if (!editing()) return;
        if (registered(link)) link->updateData();
    }
    if (editing() && OnUpdateData) OnUpdateData(*this);
}

void DataSource::dataChanged() {
    if (quiet_) return;
    const auto links = links_;
    for (FieldDataLink* link : links) {
        if (link != origin_ && registered(link)) link->show();
    }
    emit recordChanged();
}

void DataSource::fieldChanged(int field) {
    if (quiet_) return;
    const auto links = links_;
    for (FieldDataLink* link : links) {
        if (link == origin_ || !registered(link)) continue;
        storage::TField* bound = link->field();
        if (bound && bound->Index() == field) link->show();
    }
    emit fieldValueChanged(field);
}

void DataSource::setFieldCaption(const QString& name, const QString& caption) {
    captions_[name.toUpper()] = caption;
}

QString DataSource::fieldCaption(int field) const {
    if (!dataSet_ || field < 0 || field >= dataSet_->FieldCount()) return QString();
    const QString name = QString::fromStdString(dataSet_->Fields(field).FieldName());
    if (auto it = captions_.find(name.toUpper()); it != captions_.end()) return *it;
    for (const FieldDataLink* link : links_) {
        storage::TField* bound = link->field();
        if (!bound || bound->Index() != field) continue;
        const QString caption = link->caption();
        if (!caption.isEmpty()) return caption;
    }
    return name;
}

QString DataSource::conflictQuestion(const QStringList& captions) {
    QString list;
    for (const QString& caption : captions) list += QStringLiteral("\n    \"%1\"").arg(caption);
    return QStringLiteral(
               "Another workstation has changed these fields of this record since you began "
               "editing it:\n%1\n\nReplace the other workstation's values with yours?\n\n"
               "No keeps the other workstation's values in these fields; your other changes "
               "are saved either way.")
        .arg(list);
}

QString DataSource::deletedElsewhereMessage() {
    return QString::fromUtf8(storage::TDbfFileDataSet::kDeletedElsewhereMessage);
}

std::optional<bool> DataSource::replaceOtherValues(const std::vector<int>& fields) {
    QStringList captions;
    for (int field : fields) captions << fieldCaption(field);
    return dialogs().confirmYesNo(conflictQuestion(captions));
}

bool DataSource::toldDeletedElsewhere() {
    dialogs().showMessage(deletedElsewhereMessage());
    return true;
}

// ---- runDataAction ---------------------------------------------------------------------------

bool runDataAction(const std::function<void()>& action) {
    try {
        action();
        return true;
    } catch (const storage::EAbort&) {
    } catch (const storage::FatalError&) {
        // Already reported through the fatal handler, which normally ends the program.
    } catch (const std::exception& error) {
        dialogs().showMessage(QString::fromStdString(error.what()));
    }
    return false;
}

}  // namespace platform
