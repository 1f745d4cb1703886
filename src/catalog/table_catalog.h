#pragma once

// The catalog of every table the program opens: plain data below the forms, so that the forms,
// the matter selection, the print job and the tools declare a table the same way.
//
// Adding a table: define its fields and its TableDef in the file of its owner's tables (or a
// file of its own that defines the set), declare the set's accessor below and list it in
// kTableSets (table_catalog.cpp). Its file name must not be any other table's file name in any
// letter case, unless both components mean the same file (the print copies).

#include <string>
#include <string_view>
#include <vector>

#include "catalog/table_def.h"

namespace storage {
class TDbfFileDataSet;
}

namespace catalog {

// The table sets, one per owner.
TableSet generalTables();          // F_General: DbfTable1 on "General.dbf"
TableSet matterSelectionTables();  // F_SelectMatter: T_Matter, the list of matters
TableSet familyTables();
TableSet expensesTables();
TableSet incomeTables();
TableSet assetsTables();
TableSet liabilitiesTables();
TableSet summaryTables();
// F_Guidelines: its own "Guidelines.dbf" and read-only views of the records it takes figures from.
TableSet guidelinesTables();
// The print job's own components on the main window (T_PFamily, T_PExpenses, T_PIncome).
TableSet printTables();
// The answer marks and statement options (statement_items.h): marksTables().

// Every table definition of every set, in the order the sets are listed above.
std::vector<const TableDef*> allTables();

// The definition of table component `component` (letter case counts); nullptr when none.
// `set` narrows the search to one owner's tables.
const TableDef* findTable(std::string_view component);
const TableDef* findTable(TableSet set, std::string_view component);

// The General Information form's table on "General.dbf": what every other reader or writer of
// that file declares too.
const TableDef& generalTable();

// The definition lines of the table component ("name,C,50,0"), in file order.
std::vector<std::string> dbfFieldLines(const TableDef& table);

// The table's path: `dataDirectory` (ending with a separator) followed by the fixed file name.
std::string tablePath(const std::string& dataDirectory, const TableDef& table);

// Declares `table` as `definition` says: field lines, index list, deleted-record hiding and
// read-only opening. The file name is left alone.
void declare(storage::TDbfFileDataSet& table, const TableDef& definition);
// The same, and points the table at its file in `dataDirectory`. The table is not opened.
void applyDefinition(storage::TDbfFileDataSet& table, const TableDef& definition,
                     const std::string& dataDirectory);

}  // namespace catalog
