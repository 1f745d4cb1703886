#pragma once

// The table sets of the individual forms, each defined beside its form's data.

#include <span>

#include "schedules/table_catalog.h"

namespace schedules::catalog {

std::span<const TableDef> familyTables();
std::span<const TableDef> expensesTables();
std::span<const TableDef> incomeTables();
std::span<const TableDef> assetsTables();
std::span<const TableDef> liabilitiesTables();
std::span<const TableDef> summaryTables();
// The print job's own components on the main window (T_PFamily, T_PExpenses, T_PIncome).
std::span<const TableDef> printTables();

}  // namespace schedules::catalog
