#pragma once

#include <QHash>
#include <cstddef>
#include <vector>

#include "report/report_data_set.h"

namespace storage {
class TDbfCDataSet;
class TField;
}  // namespace storage

namespace report {

// A table component read as a report data set: the visible records (its filter routine and
// deleted-record hiding apply) in the table's order. first() and next() move the table itself,
// as the print job expects of a connection bound to a table object; until first() is called
// the fields are those of the record the table stands on. Memo text is given with plain line
// breaks. Not owned; the table must outlive this object.
class TableDataSet : public ReportDataSet {
  public:
    explicit TableDataSet(storage::TDbfCDataSet& table) : table_(table) {}

    void first() override;
    void next() override;
    bool atEnd() const override;
    std::optional<FieldKind> fieldKind(const QString& name) const override;
    QString text(const QString& name) const override;
    std::optional<double> number(const QString& name) const override;
    QDate date(const QString& name) const override;
    bool boolean(const QString& name) const override;

  private:
    storage::TField* currentField(const QString& name) const;

    storage::TDbfCDataSet& table_;
    bool pastEnd_ = false;  // next() went past the last record
};

// The visible rows of a table read once, in the table's order, with all their fields; until
// first() is called the current row is the record the table stood on. Every pass of a report
// (its totals, then its details) reads the same rows, whatever other workstations write
// meanwhile, and a pass over a filtered table does not walk the file again to its first row.
// The table may change or close afterwards; the snapshot keeps what it read.
class TableSnapshot : public ReportDataSet {
  public:
    // Reads the rows now; a closed table gives no fields and no rows.
    explicit TableSnapshot(storage::TDbfCDataSet& table);

    void first() override { position_ = 0; }
    void next() override;
    bool atEnd() const override { return position_ >= rows_.size(); }
    std::optional<FieldKind> fieldKind(const QString& name) const override;
    QString text(const QString& name) const override;
    std::optional<double> number(const QString& name) const override;
    QDate date(const QString& name) const override;
    bool boolean(const QString& name) const override;

  private:
    struct Cell {
        QString text;
        std::optional<double> number;
        QDate date;
        bool boolean = false;
    };
    const Cell* cell(const QString& name) const;

    QHash<QString, int> columns_;  // lower-case field name to column
    std::vector<FieldKind> kinds_;
    std::vector<std::vector<Cell>> rows_;
    size_t position_ = 0;
};

}  // namespace report
