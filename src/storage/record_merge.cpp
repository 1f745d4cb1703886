#include "record_merge.h"

#include <cstring>

#include "record.h"

namespace storage {

bool sameField(const FieldDescriptor& field, const uint8_t* a, const uint8_t* b) {
    return std::memcmp(a + field.offset, b + field.offset, field.width) == 0;
}

void compareFields(const std::vector<FieldDescriptor>& fields, const uint8_t* asRead,
                   const uint8_t* ours, const uint8_t* stored, FieldMerge* merge) {
    merge->changed.clear();
    merge->conflicting.clear();
    for (int i = 0; i < static_cast<int>(fields.size()); ++i) {
        const FieldDescriptor& field = fields[i];
        if (isMemoType(field.type) || sameField(field, asRead, ours)) continue;
        merge->changed.push_back(i);
        if (!sameField(field, asRead, stored) && !sameField(field, ours, stored))
            merge->conflicting.push_back(i);
    }
}

void copyField(const FieldDescriptor& field, const uint8_t* from, uint8_t* to) {
    std::memcpy(to + field.offset, from + field.offset, field.width);
}

}  // namespace storage
