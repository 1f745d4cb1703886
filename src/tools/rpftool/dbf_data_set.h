#pragma once

#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "report/report_data_set.h"
#include "storage/dbf_file.h"

namespace rpftool {

// A table file read as a report data set: its live records in file order, optionally only those
// whose field equals a value (right-trimmed text, letter case counts). The table is opened
// read-only and shared and stays open for memo reads.
class DbfDataSet : public report::ReportDataSet {
  public:
    // Returns nullptr and fills *error when the table cannot be read or has no such field.
    static std::unique_ptr<DbfDataSet> open(const QString& path, const QString& filterField,
                                            const QString& filterValue, QString* error);

    void first() override { row_ = 0; }
    void next() override;
    bool atEnd() const override { return row_ >= records_.size(); }
    std::optional<report::FieldKind> fieldKind(const QString& name) const override;
    QString text(const QString& name) const override;
    std::optional<double> number(const QString& name) const override;
    QDate date(const QString& name) const override;
    bool boolean(const QString& name) const override;

    size_t rowCount() const { return records_.size(); }

  private:
    explicit DbfDataSet(std::unique_ptr<storage::DbfFile> table) : table_(std::move(table)) {}
    // The field's descriptor index and the current record, or nullopt when absent or at the end.
    std::optional<std::pair<int, const uint8_t*>> locate(const QString& name) const;

    std::unique_ptr<storage::DbfFile> table_;
    std::vector<std::vector<uint8_t>> records_;
    size_t row_ = 0;
};

}  // namespace rpftool
