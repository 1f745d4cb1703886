#include "report/table_data_set.h"

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

std::optional<FieldKind> TableDataSet::fieldKind(const QString& name) const {
    if (!table_.Active()) return std::nullopt;
    const storage::TField* field = table_.FindField(name.toStdString());
    if (!field) return std::nullopt;
    switch (field->DataType()) {
        case 'N':
        case 'F':
            return FieldKind::Number;
        case 'D':
            return FieldKind::Date;
        case 'L':
            return FieldKind::Boolean;
        default:
            return storage::isMemoType(field->DataType()) ? FieldKind::Memo : FieldKind::Text;
    }
}

QString TableDataSet::text(const QString& name) const {
    storage::TField* field = currentField(name);
    if (!field) return QString();
    QString text = QString::fromStdString(field->AsString());
    if (storage::isMemoType(field->DataType())) text.replace(QStringLiteral("\r\n"), "\n");
    return text;
}

std::optional<double> TableDataSet::number(const QString& name) const {
    storage::TField* field = currentField(name);
    if (!field || field->IsNull()) return std::nullopt;
    return field->AsFloat();
}

QDate TableDataSet::date(const QString& name) const {
    storage::TField* field = currentField(name);
    if (!field) return QDate();
    const auto value = field->AsDate();
    return value ? QDate(value->year, value->month, value->day) : QDate();
}

bool TableDataSet::boolean(const QString& name) const {
    storage::TField* field = currentField(name);
    return field && field->AsBoolean();
}

}  // namespace report
