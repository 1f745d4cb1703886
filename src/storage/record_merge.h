#pragma once

#include <cstdint>
#include <vector>

#include "field.h"

namespace storage {

// One workstation's edit of a record laid onto what the record holds now, field by field: the
// three versions are raw records of the same layout (see DbfFile): `asRead` when this workstation
// read it, `ours` with its changes, `stored` as the file holds it now. Memo fields are left to
// the caller, whose texts they point at (the pointer alone does not tell a memo rewritten in
// place).
struct FieldMerge {
    // Fields whose bytes this workstation changed.
    std::vector<int> changed;
    // Of those, the fields that another workstation changed meanwhile to other bytes.
    std::vector<int> conflicting;
};

// Fills *merge (reusing its storage) for the fields other than memo fields.
void compareFields(const std::vector<FieldDescriptor>& fields, const uint8_t* asRead,
                   const uint8_t* ours, const uint8_t* stored, FieldMerge* merge);

// Copies the bytes of `field` from `from` to `to`.
void copyField(const FieldDescriptor& field, const uint8_t* from, uint8_t* to);

// Whether field `field` holds the same bytes in both records.
bool sameField(const FieldDescriptor& field, const uint8_t* a, const uint8_t* b);

}  // namespace storage
