#pragma once

#include <QHash>
#include <QStringList>
#include <QVariant>
#include <vector>

#include "report_data_set.h"

namespace report {

// A data set held in memory, for tests, benchmarks and sample renders. Columns are declared with
// a kind; rows hold QVariants (an invalid QVariant is a blank field). The current position starts
// on the first row, like a freshly opened table.
class MemoryDataSet : public ReportDataSet {
  public:
    MemoryDataSet() = default;
    // Adds a column; rows added before it read it as blank.
    void addField(const QString& name, FieldKind kind);
    // Appends a row; values map to the declared columns in order, missing ones are blank.
    void addRow(const QVariantList& values);
    int rowCount() const { return static_cast<int>(rows_.size()); }
    // Moves to a row by index (0-based); out of range puts the set at its end.
    void setPosition(int row) { position_ = row; }
    int position() const { return position_; }

    void first() override { position_ = 0; }
    void next() override;
    bool atEnd() const override;
    std::optional<FieldKind> fieldKind(const QString& name) const override;
    QString text(const QString& name) const override;
    std::optional<double> number(const QString& name) const override;
    QDate date(const QString& name) const override;
    bool boolean(const QString& name) const override;

  private:
    QVariant cell(const QString& name) const;

    QStringList names_;
    std::vector<FieldKind> kinds_;
    QHash<QString, int> columnByLowerName_;
    std::vector<QVariantList> rows_;
    int position_ = 0;
};

}  // namespace report
