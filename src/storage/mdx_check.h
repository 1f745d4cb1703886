#pragma once

#include <cstdint>

#include "mdx_file.h"
#include "status.h"

namespace storage {

// Walks the whole B-tree of tag `tag` and fails with 222 at the first sign of damage: a page out
// of range, a node whose block overlaps one met before or a tag header (a cycle, a shared
// subtree, a block starting inside another), a node with too many keys, leaves at different
// depths, keys out of tag order (or repeated in a unique tag), a separator that does not bound
// its subtrees, or a record number of 0 or above `maxRecno`.
// Reads every node once; never loops. *entries (optional) receives the number of entries.
Status checkTag(MdxFile* file, int tag, uint32_t maxRecno, uint64_t* entries = nullptr);

// checkTag for every tag of the file; besides, no two tags may share a block.
Status checkAllTags(MdxFile* file, uint32_t maxRecno);

}  // namespace storage
