#pragma once

#include <QString>
#include <functional>
#include <vector>

#include "storage/filtered_dataset.h"

namespace storage {
class TDbfPrimDataset;
}

namespace app {

// A table that shows only the current matter's records, with its matter filter routine.
struct MatterFilterTable {
    const char* form;       // the form that owns the table, e.g. "F_Assets"
    const char* component;  // the table component, e.g. "t_cash"
    const char* file;       // its file in the data directory
    const char* etype;      // the category the record's `etype` must also equal, or nullptr
};

// The 33 filtered tables: 32 of the schedule forms and the print copy of the expenses table, in
// the order of the table catalog (the tables it marks matterFiltered).
const std::vector<MatterFilterTable>& matterFilterTables();
// The row of `component` (letter case counts); nullptr when there is none.
const MatterFilterTable* findMatterFilterTable(const QString& component);

// The matter filter routine of `component`, reading the candidate record of `table`. The
// routine's owner (SetFilterToCB's context) is what `currentMatter` receives: it reads the current
// matter afresh on every call. A record passes when its `matter`, read without trailing blanks,
// equals the current matter exactly (letter case counting) and, for the expenses table of the
// Expenses form, its `etype` equals "(a) Housing".
using CurrentMatterReader = std::function<QString(void* owner)>;
storage::FilterRoutine matterFilter(const QString& component, storage::TDbfPrimDataset& table,
                                    CurrentMatterReader currentMatter);

// What every routine above promises: the records it passes hold the current matter in `matter`.
// Installed with the routine (SetFilterToCB), it lets a table with a matter tag read only the
// matter's records.
storage::FilterKey matterKey(CurrentMatterReader currentMatter);

// A routine passing the current matter's records of one category: the Expenses form installs one
// for each category the user picks. An empty `etype` passes all of the matter's records.
storage::FilterRoutine categoryFilter(const QString& etype, storage::TDbfPrimDataset& table,
                                      CurrentMatterReader currentMatter);

}  // namespace app
