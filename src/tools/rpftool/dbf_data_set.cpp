#include "dbf_data_set.h"

#include "storage/record.h"

namespace rpftool {

std::unique_ptr<DbfDataSet> DbfDataSet::open(const QString& path, const QString& filterField,
                                             const QString& filterValue, QString* error) {
    std::unique_ptr<storage::DbfFile> table;
    storage::Status status =
        storage::DbfFile::open(storage::Env::Default(), path.toStdString(),
                               storage::Access::ReadOnly, storage::Share::Shared, &table);
    if (!status.ok()) {
        *error = QString::fromStdString(status.message());
        return nullptr;
    }
    int filterIndex = -1;
    if (!filterField.isEmpty()) {
        filterIndex = table->fieldIndex(filterField.toStdString());
        if (filterIndex < 0) {
            *error = QStringLiteral("%1 has no field %2").arg(path, filterField);
            return nullptr;
        }
    }
    const std::string wanted = filterValue.toStdString();
    std::unique_ptr<DbfDataSet> dataSet(new DbfDataSet(std::move(table)));
    storage::DbfFile& file = *dataSet->table_;
    std::vector<uint8_t> buffer(file.recordLength());
    for (uint32_t recno = 1; recno <= file.recordCount(); ++recno) {
        status = file.readRecord(recno, buffer.data());
        if (!status.ok()) {
            *error = QString::fromStdString(status.message());
            return nullptr;
        }
        if (storage::isDeleted(buffer.data())) continue;
        if (filterIndex >= 0 && storage::getText(file.fields()[static_cast<size_t>(filterIndex)],
                                                 buffer.data()) != wanted) {
            continue;
        }
        dataSet->records_.push_back(buffer);
    }
    return dataSet;
}

void DbfDataSet::next() {
    if (!atEnd()) ++row_;
}

std::optional<std::pair<int, const uint8_t*>> DbfDataSet::locate(const QString& name) const {
    const int index = table_->fieldIndex(name.toStdString());
    if (index < 0 || atEnd()) return std::nullopt;
    return std::make_pair(index, records_[row_].data());
}

std::optional<report::FieldKind> DbfDataSet::fieldKind(const QString& name) const {
    const int index = table_->fieldIndex(name.toStdString());
    if (index < 0) return std::nullopt;
    const char type = table_->fields()[static_cast<size_t>(index)].type;
    switch (type) {
        case 'N':
        case 'F':
            return report::FieldKind::Number;
        case 'D':
            return report::FieldKind::Date;
        case 'L':
            return report::FieldKind::Boolean;
        default:
            return storage::isMemoType(type) ? report::FieldKind::Memo : report::FieldKind::Text;
    }
}

QString DbfDataSet::text(const QString& name) const {
    const auto located = locate(name);
    if (!located) return {};
    const auto [index, record] = *located;
    const storage::FieldDescriptor& field = table_->fields()[static_cast<size_t>(index)];
    if (storage::isMemoType(field.type)) {
        std::string memo;
        if (!table_->readMemo(record, index, &memo).ok()) return {};
        QString text = QString::fromStdString(memo);
        while (!text.isEmpty() && text.back().isSpace()) text.chop(1);
        return text;
    }
    return QString::fromStdString(storage::getText(field, record));
}

std::optional<double> DbfDataSet::number(const QString& name) const {
    const auto located = locate(name);
    if (!located) return std::nullopt;
    const storage::FieldDescriptor& field = table_->fields()[static_cast<size_t>(located->first)];
    if (storage::isBlank(field, located->second)) return std::nullopt;
    return storage::getNumber(field, located->second);
}

QDate DbfDataSet::date(const QString& name) const {
    const auto located = locate(name);
    if (!located) return {};
    const auto date =
        storage::getDate(table_->fields()[static_cast<size_t>(located->first)], located->second);
    return date ? QDate(date->year, date->month, date->day) : QDate();
}

bool DbfDataSet::boolean(const QString& name) const {
    const auto located = locate(name);
    return located &&
           storage::getBool(table_->fields()[static_cast<size_t>(located->first)], located->second);
}

}  // namespace rpftool
