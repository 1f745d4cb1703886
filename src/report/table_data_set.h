#pragma once

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

}  // namespace report
