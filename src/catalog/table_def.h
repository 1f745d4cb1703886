#pragma once

#include <span>

namespace catalog {

// One field of a table's record format, as the table file declares it.
struct FieldDef {
    const char* name;  // as written in the definition; the file stores it upper case
    char type;         // C, N, L, D or M
    int width;
    int decimals;
};

// A table of the data directory as one owner declares it: the component's name, the fixed file
// name, the record format and the table settings. Constant data: every form, the matter
// selection, the print job, the matter filters and the tools read their tables from here.
struct TableDef {
    // The object name of the form that owns the table component ("F_Family", ...); "F_Main" for
    // the print job's copies, which live on the main window.
    const char* owner;
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
    // Opened for reading only (the matter selection's list).
    bool readOnly = false;
};

// The fixed, ordered list of the tables one owner opens together: the order of opening,
// posting and closing.
using TableSet = std::span<const TableDef>;

}  // namespace catalog
