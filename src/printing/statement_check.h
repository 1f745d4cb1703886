#pragma once

// The completeness check of a matter's statement: every item of the statement that is neither
// answered nor marked, every item marked although it has an answer, and the General Information
// fields that the caption and the oath print. The print job runs it on the rows it hands to the
// report, before the output options; `networth --check` runs it alone.

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "catalog/statement_items.h"

namespace report {
class ReportDataSet;
class TReportProject;
}  // namespace report

namespace printing {

// What the check reads of the matter.
struct CheckSource {
    // The rows that hold `item`'s answers: for an item of fields, a data set standing on the
    // matter's one record (never moved by the check); otherwise the matter's rows, walked from
    // the first. Null: no rows.
    std::function<report::ReportDataSet*(const catalog::StatementItem& item)> answers;
    // The item's mark as stored ("" for none).
    std::function<QString(const catalog::StatementItem& item)> mark;
    // A field of the matter's General record, as text.
    std::function<QString(const char* field)> general;
};

// One item as the check found it. `mark` is the stored mark when it is one of the marks a user
// may choose, "" otherwise.
struct ItemAnswer {
    const catalog::StatementItem* item;
    bool answered;
    QString mark;
};

// Something the statement still lacks.
struct OpenItem {
    enum class Kind {
        Unanswered,  // neither answered nor marked
        Conflict,    // marked, and answered all the same
        Missing,     // a General Information field the caption or oath prints is empty
    };
    catalog::StatementSection section;
    QString label;  // as the statement names it; "" for a section that is one item
    Kind kind;
    QString mark;  // Conflict: the mark

    // The line naming it in the statement's words: "IV. ASSETS (d) Security deposits",
    // "IV. ASSETS (a) Cash: marked NONE, but it has entries", "VI. ASSETS TRANSFERRED".
    QString line() const;
    // The line without the section's heading ("(a) Cash: marked NONE, but it has entries"; ""
    // for a section that is one item, unanswered).
    QString entry() const;
    // What is wrong beyond the lack of an answer: "marked NONE, but it has entries", or "".
    QString problem() const;
};

struct StatementCheck {
    std::vector<ItemAnswer> items;  // every item of catalog::statementItems(), in order
    std::vector<OpenItem> open;     // in the statement's order, General Information first

    // The mark the statement prints in the item's place: its mark when it has no answer, else ""
    // (an answered item prints its answers).
    QString printedMark(const catalog::StatementItem& item) const;
};

StatementCheck checkStatement(const CheckSource& source);

// One line per open item, in order.
QStringList openItemLines(const StatementCheck& check);
// The question asked before printing: the open items grouped under their sections, then whether
// to print the statement anyway.
QString openItemsQuestion(const StatementCheck& check, const QString& matter);

// The report parameter carrying an item's printed mark: "m_" followed by its key.
QString markParameterName(const catalog::StatementItem& item);
// Sets every item's mark parameter to its printed mark.
void setMarkParameters(report::TReportProject& project, const StatementCheck& check);

}  // namespace printing
