#pragma once

#include <QLocale>
#include <QString>
#include <functional>
#include <span>

namespace report {
class TReportProject;
}

namespace printing {

// Where a mark parameter reads its value.
enum class MarkSource { Family, Support, General };

// A check-box mark of the statement: the text parameter `parameter` is "X" when `field` of the
// source record holds exactly `value` (whole value, letter case counting, trailing blanks
// trimmed), and empty otherwise.
struct MarkDef {
    const char* parameter;
    MarkSource source;
    const char* field;
    const char* value;
};

// The 29 marks in the order in which they are first cleared.
std::span<const MarkDef> markDefinitions();
// The parameter names of the marks in the order in which they are set.
std::span<const char* const> markSettingOrder();

// The 19 amounts of an income record that make up the total income, in the order they are added.
std::span<const char* const> incomeTotalFields();

// The total income: 0 plus each amount of incomeTotalFields() in order, as binary floating point;
// `amount` gives a field's value (a blank amount gives 0).
double incomeTotal(const std::function<double(const char* field)>& amount);

// "#,##0.00" with the separators of `locale`: thousands grouped, two decimals, rounded; a zero
// total gives "0.00".
QString formatTotal(double total, const QLocale& locale = QLocale::system());

// Reads a field of a mark's source record as text (right-trimmed); "" when there is no record.
using MarkReader = std::function<QString(MarkSource source, const char* field)>;

// Sets the report parameters: every mark to "", then "r_totincome" to `totalIncome`, then each mark
// whose condition holds to "X", in the setting order.
void setReportParameters(report::TReportProject& project, const QString& totalIncome,
                         const MarkReader& read);

}  // namespace printing
