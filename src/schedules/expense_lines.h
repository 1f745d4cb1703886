#pragma once

#include <span>

namespace schedules {

// One expense category of the statement: its text as stored in `etype` and shown in the
// category list, and the standard items seeded under it for a new matter.
struct ExpenseCategory {
    const char* etype;
    std::span<const char* const> items;
};

// The fourteen categories in list order, "(a) Housing" to "(n) Other". The items of all
// categories together, in this order, are the 99 standard lines; "(n) Other" has none.
std::span<const ExpenseCategory> expenseCategories();

// The number of standard lines over all categories.
int standardExpenseLineCount();

}  // namespace schedules
