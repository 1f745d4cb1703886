#include "schedules/schedule_table.h"

#include "catalog/table_catalog.h"
#include "platform/dialogs.h"

namespace schedules {

ScheduleTable::ScheduleTable(const catalog::TableDef& definition, const ScheduleContext& context)
    : definition_(definition),
      context_(context),
      table_(definition.component, context.env ? context.env : storage::Env::Default()),
      dataSource_(std::make_unique<platform::DataSource>()) {
    table_.AfterInsert = [this](storage::TDbfPrimDataset&) { nameNewRecord(); };
    table_.BeforePost = [this](storage::TDbfPrimDataset&) { beforePost(); };
}

ScheduleTable::~ScheduleTable() {
    dataSource_->setDataSet(nullptr);
    try {
        close();
    } catch (...) {
        // A failure to close has been reported (the file layer's errors are fatal); nothing
        // more can be done here.
    }
}

void ScheduleTable::open(bool firstRecord) {
    onMatterRecord_ = false;
    openFile();
    if (definition_.matterFiltered) {
        standOnMatterRecords(firstRecord);
    } else {
        standOnMatterRecord();
    }
    if (!definition_.readOnly) onMatterRecord_ = true;
    bind();
}

void ScheduleTable::openFile() {
    catalog::applyDefinition(table_, definition_, context_.dataDirectory.toStdString());
    table_.Open();
}

void ScheduleTable::bind() { dataSource_->setDataSet(&table_); }

void ScheduleTable::standOnMatterRecords(bool firstRecord) {
    if (context_.installMatterFilter) {
        context_.installMatterFilter(QString::fromLatin1(definition_.component), table_);
    }
    if (firstRecord) table_.First();
    // Whether any record passes, without counting them all: installing the filter leaves the
    // table on a passing record whenever there is one (the current or else the last).
    if (table_.IsEmpty()) {
        table_.Insert();  // the seed record; AfterInsert names its matter
    } else {
        table_.Edit();
    }
}

void ScheduleTable::standOnMatterRecord() {
    const std::string matter =
        context_.currentMatter ? context_.currentMatter().toStdString() : std::string();
    const bool found = table_.Locate("matter", {matter}, storage::loCaseInsensitive);
    if (definition_.readOnly) {
        onMatterRecord_ = found;
    } else if (found) {
        table_.Edit();
    } else {
        table_.Insert();  // written when the form closes; AfterInsert names its matter
    }
}

bool ScheduleTable::editing() const {
    return table_.State() == storage::DataSetState::Edit ||
           table_.State() == storage::DataSetState::Insert;
}

bool ScheduleTable::post() {
    if (!table_.Active() || !editing()) return true;
    platform::runDataAction([this] { table_.Post(); });
    return !editing();
}

void ScheduleTable::close() {
    onMatterRecord_ = false;
    if (table_.Active()) table_.Close();
}

void ScheduleTable::nameNewRecord() {
    const QString matter = context_.currentMatter ? context_.currentMatter() : QString();
    table_.FieldByName("matter").setAsString(matter.toStdString());
    if (afterInsert) afterInsert(table_);
}

bool ScheduleTable::keyIsBlank() {
    return table_.FieldByName(definition_.keyField).AsString().empty();
}

bool ScheduleTable::holdsOnlyMatter() {
    for (int i = 0; i < table_.FieldCount(); ++i) {
        storage::TField& field = table_.Fields(i);
        if (field.Index() == table_.FieldByName("matter").Index()) continue;
        if (!field.AsString().empty()) return false;
    }
    return true;
}

void ScheduleTable::beforePost() {
    if (dropEmptyNew_ && table_.State() == storage::DataSetState::Insert && holdsOnlyMatter()) {
        table_.Cancel();
        return;
    }
    if (!blankKeyRule_ || !definition_.keyField) return;
    // The key is tested first: counting reads every record of the table.
    if (!keyIsBlank()) return;
    if (table_.GetFilteredCount() == 0) return;  // a matter's first record is always stored

    const bool inserting = table_.State() == storage::DataSetState::Insert;
    const bool silent = holdsOnlyMatter() || (!inserting && !table_.Modified());
    if (!silent) {
        const QString caption =
            keyCaption_.isEmpty() ? QString::fromLatin1(definition_.keyField) : keyCaption_;
        if (!platform::dialogs().confirmYesNo(blankKeyQuestion(category_, caption, inserting))) {
            if (focusKeyField) focusKeyField();
            throw storage::EAbort();
        }
    }
    table_.Cancel();  // the change is dropped; the move, add or close goes on
}

QString ScheduleTable::blankKeyQuestion(const QString& category, const QString& keyCaption,
                                        bool newRecord) {
    QString text = category.isEmpty() ? QString() : category + QStringLiteral(":\n");
    text += newRecord ? QStringLiteral(
                            "\"%1\" is empty, so this record will not be saved.\n\n"
                            "Discard the record?")
                      : QStringLiteral(
                            "\"%1\" is empty, so the changes to this record will not be "
                            "saved.\n\nDiscard the changes?");
    return text.arg(keyCaption);
}

}  // namespace schedules
