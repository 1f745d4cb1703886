#pragma once

// What building a tag and checking one both read from the table: every record's key of the
// tag's expression, the records' deletion flags, and the order of the tag's entries.

#include <cstdint>
#include <vector>

#include "dbf_file.h"
#include "key_expression.h"
#include "mdx_file.h"

namespace storage {

// Every key of `expression` over the table's records, in record order (record n at index n - 1),
// read in large pieces.
Status tableKeys(DbfFile* table, const KeyExpression& expression, std::vector<uint8_t>* keys,
                 uint32_t* count);

// The deletion flag of every record, by record index.
Status deletionFlags(DbfFile* table, std::vector<bool>* deleted);

// Record indexes of the tag's entries in tag order, for `count` keys of `keys`. Unique tags keep
// the first record of a key, or rather its first live record when `deleted` (by record index)
// says which are deleted: a matter deleted and created again must be found under its name.
std::vector<uint32_t> sortedOrder(const TagDefinition& definition, const std::vector<uint8_t>& keys,
                                  uint32_t count, const std::vector<bool>& deleted = {});

}  // namespace storage
