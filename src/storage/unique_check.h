#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "mdx_file.h"
#include "status.h"

namespace storage {

class DbfFile;

// A unique tag lists one record per key, so of two live records with the same key one is missing
// from it (and from every walk in its order). Given the tag's key of every record of `table`
// (`keys`: record n's key at (n - 1) * tag.keyLength), adds one line to *problems for each live
// record whose key an earlier live record has, naming both: "records 2 and 5 are both live with
// the key "Smith v. Smith"; the unique tag lists only one of them". Reads the deletion flags.
Status findLiveDuplicates(DbfFile* table, const TagInfo& tag, const std::vector<uint8_t>& keys,
                          uint32_t count, std::vector<std::string>* problems);

}  // namespace storage
