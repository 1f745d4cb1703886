#pragma once

// The guideline case of a matter, from what the Guidelines form holds ("Guidelines.dbf") and
// the matter's records it takes figures from (General Information, Gross Income, Family). The
// form reads its controls and the headless print reads the stored record; both come here, so a
// worksheet printed either way is computed from the same rules.

#include <QDate>
#include <QHash>
#include <QString>
#include <QStringList>
#include <span>

#include "guidelines/guideline_case.h"
#include "guidelines/problem.h"

namespace storage {
class TDbfPrimDataset;
}

namespace schedules {

// Field values as text by lower-case field name, as the data-aware controls show them (numbers
// with the system's decimal point and no grouping, dates as typed through the date mask). A
// missing name reads as empty.
using FieldTexts = QHash<QString, QString>;

// Every field of the table's current record, as the controls would show it.
FieldTexts recordTexts(storage::TDbfPrimDataset& table);

// One line of a party's income as the Child Support Standards Act counts it. The Guidelines
// table holds each line twice: "d" + key for the deponent, "o" + key for the other party. A
// blank deponent's field takes the Gross Income figure of `incomeField`; a blank other party's
// field, or a deponent's line without a Gross Income field, counts nothing.
struct GuidelineIncomeLine {
    const char* key;
    const char* caption;
    const char* incomeField;  // in "Income.dbf", or nullptr
    bool deduction;
    const char* basis;  // the statute
};

// The lines in the order of the form and the worksheet: additions first, then deductions.
std::span<const GuidelineIncomeLine> guidelineIncomeLines();

// Gross Income figures the form shows for the deponent but the Act does not count as the
// party's income (public assistance, supplemental security income, a household member's pay).
struct NotCountedIncome {
    const char* incomeField;
    const char* caption;
};
std::span<const NotCountedIncome> notCountedIncome();

// The matter's records the form takes figures from; a matter without one leaves it empty.
struct GuidelineSources {
    FieldTexts general;  // "General.dbf"
    FieldTexts income;   // "Income.dbf"
    FieldTexts family;   // "Family.dbf"
};

enum class PartyRole { Unknown, Plaintiff, Defendant };

// The deponent's role as General Information states it: one of the Plaintiff and Defendant
// boxes ticked. Unknown when neither or both are.
PartyRole generalDeponentRole(const FieldTexts& general);
// The role in force: General Information's, else the form's own choice (`deponent`).
PartyRole deponentRole(const FieldTexts& entries, const GuidelineSources& sources);

// The parties as the worksheet names them: Party A is the deponent, Party B the other party.
struct GuidelineParties {
    PartyRole deponentRole = PartyRole::Unknown;
    QString deponentName;  // General's deponent, else the first line of the caption's party
    QString otherName;     // the form's `oname`, else the first line of the caption's party
    // "plaintiff, the deponent" / "defendant"; "the deponent" / "the other party" when the
    // role is unknown.
    QString deponentDescription() const;
    QString otherDescription() const;
};
GuidelineParties guidelineParties(const FieldTexts& entries, const GuidelineSources& sources);

// The name the other party's caption memo gives (its first line without the trailing comma),
// which the form shows until the user types another.
QString captionName(const FieldTexts& general, PartyRole role);

// The Gross Income figure of a deponent's line, as text; empty for a line without one or a
// matter without a Gross Income record.
QString grossIncomeText(const GuidelineIncomeLine& line, const GuidelineSources& sources);

// The case to compute: the deponent's and the other party's income lines (the deponent's taken
// from Gross Income where the form leaves them blank), the maintenance, children, custodial
// parent, add-ons, the choices on caps and on income above the cap, the date whose parameters
// apply (blank: `today`) and, for post-divorce maintenance, the dates of marriage and of
// commencement. The notes say where figures came from and which were not counted. A problem
// names the calculator's field ("as_of", "income.a", "children", ...) of a value that does not
// read.
guidelines::Outcome<guidelines::GuidelineCase> guidelineCase(const FieldTexts& entries,
                                                             const GuidelineSources& sources,
                                                             const QDate& today);

// A problem as the form and the headless print show it, naming the input in the form's words
// ("Custodial parent: required when there are children ...").
QString problemText(const guidelines::Problem& problem);

// The defaults of a new Guidelines record: temporary maintenance, the caps in force, nothing
// counted above the cap.
void setGuidelineDefaults(storage::TDbfPrimDataset& table);

}  // namespace schedules
