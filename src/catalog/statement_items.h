#pragma once

// The items of the printed statement that may be left without an answer, as data: the forms
// place a mark choice for each (NONE, INAPPLICABLE or UNKNOWN), the print job prints the mark in
// the item's place, and the completeness check names every item neither answered nor marked.
// Each item's mark is a field of the matter's record in "Marks.dbf" (marksTable()), named by the
// item's key; the same record holds how the statement closes (`oath`).

#include <span>
#include <string_view>

#include "catalog/table_def.h"

namespace catalog {

// The parts of the statement, in the order it prints them. General stands for the caption and
// oath that the General Information form fills; it has no marks.
enum class StatementSection {
    General,
    Family,
    Expenses,
    Income,
    Assets,
    Liabilities,
    Transfers,
    Fees,
    OtherData,
};

// The section's heading as the statement prints it ("IV. ASSETS"); for General the form's
// name, "GENERAL INFORMATION".
const char* sectionTitle(StatementSection section);

// How the stored answers tell that an item is answered.
enum class AnswerKind {
    // `fields` of the matter's one record (Family, Income, Support): one of them holds a value.
    Fields,
    // Expense lines of category `category`: one of them holds a value in one of `fields` (an
    // item text alone, as seeded, is no answer).
    Lines,
    // The records of `component`: one of them holds a value in a field other than `matter` (a
    // record the form seeded holds only the matter).
    Records,
};

struct StatementItem {
    // The item's field in "Marks.dbf" (at most 10 characters): "a_d".
    const char* key;
    StatementSection section;
    // The item's name as the statement prints it, "(d) Security deposits"; empty for a section
    // that is one item (assets transferred, fees, other data).
    const char* label;
    // The form that shows the item's mark: its registry name, "F_Assets".
    const char* form;
    // The table component that holds the item's answers (the form's own).
    const char* component;
    AnswerKind answer;
    // Fields and Lines: the fields that answer the item, separated by commas.
    const char* fields = nullptr;
    // Lines: the `etype` of the category.
    const char* category = nullptr;
};

// Every item, in the order of the statement.
std::span<const StatementItem> statementItems();
// The item with key `key` (letter case counts); nullptr when there is none.
const StatementItem* findStatementItem(std::string_view key);

// The marks a user may choose, as they are stored and printed.
inline constexpr const char* kMarkNone = "NONE";
inline constexpr const char* kMarkInapplicable = "INAPPLICABLE";
inline constexpr const char* kMarkUnknown = "UNKNOWN";
std::span<const char* const> markValues();

// How the statement closes, stored in the `oath` field: the notarized jurat (an empty field, so
// that matters without a choice keep it) or the affirmation of CPLR 2106.
inline constexpr const char* kOathField = "oath";
inline constexpr const char* kOathAffirmation = "affirmation";

// "Marks.dbf": one record per matter, `matter`, `oath` and one field of 12 characters per item
// of statementItems(), in that order. Like "Family.dbf", the matter's record is found through
// the unique tag MYKEY on `matter`, so every reader stands on the same one. Owned by the
// Statement Options form; every form with marks opens its own component on it.
TableSet marksTables();
const TableDef& marksTable();

}  // namespace catalog
