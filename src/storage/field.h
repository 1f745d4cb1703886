#pragma once

#include <cstdint>
#include <string>

namespace storage {

// One field of a table, as its descriptor in the table file says.
struct FieldDescriptor {
    std::string name;      // upper case, at most 10 characters
    char type = 'C';       // C, N, F, L, D, M (B, G, P count as memo types)
    uint8_t width = 0;     // bytes in the record
    uint8_t decimals = 0;  // N and F only
    uint32_t offset = 0;   // of the field's first byte in the record; byte 0 is the deletion flag
};

}  // namespace storage
