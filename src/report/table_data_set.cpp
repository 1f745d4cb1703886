#include "report/table_data_set.h"

#include <QHash>

#include "storage/filtered_dataset.h"
#include "storage/record.h"

namespace report {

namespace {

bool hasRecord(const storage::TDbfCDataSet& table) { return table.Active() && !table.IsEmpty(); }

}  // namespace

storage::TField* TableDataSet::currentField(const QString& name) const {
    if (atEnd()) return nullptr;
    return table_.FindField(name.toStdString());
}

void TableDataSet::first() {
    if (hasRecord(table_)) table_.First();
    pastEnd_ = !hasRecord(table_);
}

void TableDataSet::next() {
    if (atEnd()) return;
    table_.Next();
    pastEnd_ = table_.Eof();
}

bool TableDataSet::atEnd() const { return pastEnd_ || !hasRecord(table_); }

// How every report data set over a table reads one of its fields.
namespace {

FieldKind kindOf(const storage::TField& field) {
    switch (field.DataType()) {
        case 'N':
        case 'F':
            return FieldKind::Number;
        case 'D':
            return FieldKind::Date;
        case 'L':
            return FieldKind::Boolean;
        default:
            return storage::isMemoType(field.DataType()) ? FieldKind::Memo : FieldKind::Text;
    }
}

QString textOf(const storage::TField& field) {
    QString text = QString::fromStdString(field.AsString());
    if (storage::isMemoType(field.DataType())) text.replace(QStringLiteral("\r\n"), "\n");
    return text;
}

std::optional<double> numberOf(const storage::TField& field) {
    if (field.IsNull()) return std::nullopt;
    return field.AsFloat();
}

QDate dateOf(const storage::TField& field) {
    const auto value = field.AsDate();
    return value ? QDate(value->year, value->month, value->day) : QDate();
}

}  // namespace

std::optional<FieldKind> TableDataSet::fieldKind(const QString& name) const {
    if (!table_.Active()) return std::nullopt;
    const storage::TField* field = table_.FindField(name.toStdString());
    if (!field) return std::nullopt;
    return kindOf(*field);
}

QString TableDataSet::text(const QString& name) const {
    storage::TField* field = currentField(name);
    return field ? textOf(*field) : QString();
}

std::optional<double> TableDataSet::number(const QString& name) const {
    storage::TField* field = currentField(name);
    return field ? numberOf(*field) : std::nullopt;
}

QDate TableDataSet::date(const QString& name) const {
    storage::TField* field = currentField(name);
    return field ? dateOf(*field) : QDate();
}

bool TableDataSet::boolean(const QString& name) const {
    storage::TField* field = currentField(name);
    return field && field->AsBoolean();
}

// ---- TableSnapshot ---------------------------------------------------------------------------

TableSnapshot::TableSnapshot(storage::TDbfCDataSet& table) {
    if (!table.Active()) return;
    for (int i = 0; i < table.FieldCount(); ++i) {
        const storage::TField& field = table.Fields(i);
        columns_.insert(QString::fromStdString(field.FieldName()).toLower(), i);
        kinds_.push_back(kindOf(field));
    }
    const uint32_t current = table.IsEmpty() ? 0 : table.RecNo();
    table.forEachVisible([&](uint32_t recno) {
        if (recno == current) position_ = rows_.size();
        std::vector<Cell> row;
        row.reserve(size_t(table.FieldCount()));
        for (int i = 0; i < table.FieldCount(); ++i) {
            storage::TField& field = table.Fields(i);
            row.push_back({textOf(field), numberOf(field), dateOf(field), field.AsBoolean()});
        }
        rows_.push_back(std::move(row));
        return true;
    });
    if (current == 0) position_ = rows_.size();
}

void TableSnapshot::next() {
    if (position_ < rows_.size()) ++position_;
}

std::optional<FieldKind> TableSnapshot::fieldKind(const QString& name) const {
    const auto column = columns_.constFind(name.toLower());
    if (column == columns_.constEnd()) return std::nullopt;
    return kinds_[size_t(*column)];
}

const TableSnapshot::Cell* TableSnapshot::cell(const QString& name) const {
    if (atEnd()) return nullptr;
    const auto column = columns_.constFind(name.toLower());
    return column == columns_.constEnd() ? nullptr : &rows_[position_][size_t(*column)];
}

QString TableSnapshot::text(const QString& name) const {
    const Cell* found = cell(name);
    return found ? found->text : QString();
}

std::optional<double> TableSnapshot::number(const QString& name) const {
    const Cell* found = cell(name);
    return found ? found->number : std::nullopt;
}

QDate TableSnapshot::date(const QString& name) const {
    const Cell* found = cell(name);
    return found ? found->date : QDate();
}

bool TableSnapshot::boolean(const QString& name) const {
    const Cell* found = cell(name);
    return found && found->boolean;
}

}  // namespace report
