#pragma once

#include <QDate>
#include <QString>
#include <optional>

namespace report {

// How a field of a data set is best read.
enum class FieldKind { Text, Number, Date, Boolean, Memo };

// The rows a report reads: a table filtered and ordered by its owner, or anything else that can
// walk its records. The engine never writes through it and never owns it.
//
// Position: the engine reads fields of the current row. For a connection printed by a detail band
// (or summed with total()/rows()) it calls first() and then next() until atEnd(), and leaves the
// data set at its end. A connection that a report only reads as a single record is never moved,
// so its owner positions it before the report runs.
class ReportDataSet {
  public:
    virtual ~ReportDataSet() = default;

    virtual void first() = 0;
    virtual void next() = 0;
    // True when there is no current row: the set is empty or next() went past the last row.
    virtual bool atEnd() const = 0;

    // The kind of the named field, or nullopt when the data set has no such field. Field names
    // are compared without regard to letter case.
    virtual std::optional<FieldKind> fieldKind(const QString& name) const = 0;

    // Field values of the current row. Text is right-trimmed. A blank numeric field gives nullopt;
    // a blank date an invalid QDate. An absent field or a set at its end reads as blank.
    virtual QString text(const QString& name) const = 0;
    virtual std::optional<double> number(const QString& name) const = 0;
    virtual QDate date(const QString& name) const = 0;
    virtual bool boolean(const QString& name) const = 0;
};

}  // namespace report
