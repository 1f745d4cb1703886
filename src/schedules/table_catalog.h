#pragma once

#include <QString>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace storage {
class TDbfTable;
}

namespace schedules {

// One field of a table's record format, as the table file declares it.
struct FieldDef {
    const char* name;  // as written in the definition; the file stores it upper case
    char type;         // C, N, L, D or M
    int width;
    int decimals;
};

// The forms that own table sets. `Main` owns the print job's copies (T_PFamily ...).
enum class FormId { Family, Expenses, Income, Assets, Liabilities, Summary, Main };

// A table of the data directory as one form declares it: the component's name, the fixed file
// name, the record format and the table settings. Constant data; every form, the print job and
// the matter filters read their tables from here.
struct TableDef {
    FormId form;
    const char* component;  // "T_Family", "t_cash", ...: the component's (and object's) name
    const char* file;       // fixed file name in the data directory, e.g. "Family.dbf"
    std::span<const FieldDef> fields;
    // Index tags, two lines per tag ("NAME,descending,unique,expression", then a filter line);
    // empty when the table has no production index.
    std::span<const char* const> indexList;
    bool hideDeletedRecs = false;
    // The field whose emptiness makes the form drop a record (see the forms); nullptr when none.
    const char* keyField = nullptr;
    // Holds many records per matter and shows only the current matter's: it gets a matter
    // filter routine. `filterCategory` is the `etype` the routine also requires, or nullptr.
    bool matterFiltered = false;
    const char* filterCategory = nullptr;
};

// The ordered table set of `form`: the order of opening, posting and closing.
std::span<const TableDef> tableSet(FormId form);

// Every table definition of every form, print copies included.
std::vector<const TableDef*> allTables();

// The definition of table component `component` (letter case counts); nullptr when none.
// `form` narrows the search where two forms use one component name.
const TableDef* findTable(std::string_view component);
const TableDef* findTable(FormId form, std::string_view component);

// The definition lines of the table component ("name,C,50,0"), in file order.
std::vector<std::string> dbfFieldLines(const TableDef& table);

// Declares `table` as `definition` says: field lines, index list, deleted-record hiding, and its
// file: `dataDirectory` (ending with a separator) followed by the fixed file name. The table is
// not opened.
void applyDefinition(storage::TDbfTable& table, const TableDef& definition,
                     const QString& dataDirectory);

}  // namespace schedules
