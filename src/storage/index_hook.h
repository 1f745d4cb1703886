#pragma once

#include <cstdint>

#include "status.h"

namespace storage {

// Keeps the indexes of a table current. The table file calls it on every write, with raw
// records as stored (deletion flag first, text in the table's code page). A failed hook fails
// the write that called it.
class IndexHook {
public:
    virtual ~IndexHook() = default;

    virtual Status recordAppended(uint32_t recno, const uint8_t* record) = 0;
    virtual Status recordRewritten(uint32_t recno, const uint8_t* oldRecord,
                                   const uint8_t* newRecord) = 0;
};

}  // namespace storage
