#pragma once

#include <QHash>
#include <QString>
#include <vector>

#include "expression.h"
#include "report_data_set.h"
#include "value.h"

namespace report {

// Running sum and count of one sum()/count() call over the rows seen so far.
struct Accumulator {
    double sum = 0;
    int count = 0;
};

// Field values of a detail's last row, kept for its footers (names in lower case).
struct RowSnapshot {
    QString connection;
    QHash<QString, Value> fields;
};

// What an expression can see where it is evaluated. Nothing here is owned.
struct EvalScope {
    const QHash<QString, QString>* parameters = nullptr;          // lower-case name -> text
    const QHash<QString, ReportDataSet*>* connections = nullptr;  // lower-case name -> data set
    const std::vector<Value>* totals = nullptr;                   // total()/rows() results by slot
    const std::vector<Accumulator>* aggregates = nullptr;         // sum()/count() of this band
    const RowSnapshot* snapshot = nullptr;                        // set in detail and group footers
    int page = 0;
    int pages = 0;
};

// Evaluates an expression. Never fails: a missing parameter reads as "", an unbound connection
// or unknown field as blank, a division by zero gives blank.
Value evaluate(const Expr& expr, const EvalScope& scope);

// The current row's field as a value of the field's kind (blank when absent or at the end).
Value readField(const ReportDataSet& dataSet, const QString& field);

}  // namespace report
