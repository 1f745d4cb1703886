#pragma once

#include <cstdint>

#include "tag_cursor.h"

namespace storage {

// Adds and removes single entries of one tag, keeping the B-tree balanced: a full node splits in
// two (the new block takes the lower half), a root split adds a level, an emptied node leaves its
// parent, and every separator stays the largest key of its subtree. Nothing is merged; blocks of
// removed nodes are not reused until the index is rebuilt.
//
// In shared use the caller holds the index semaphore and has called MdxFile::reload(). A failure
// (222 for damage met, or a write error) may leave the tag partly changed; rebuild it then.
class TagWriter {
  public:
    TagWriter(MdxFile* file, int tag) : cursor_(file, tag) {}

    // Adds (key, recno) after the entries of smaller keys and of equal keys with smaller record
    // numbers. In a unique tag a key already present is not added again (*added = false).
    Status insert(const uint8_t* key, uint32_t recno, bool* added);
    // Removes the entry (key, recno); *removed = false when it is not there.
    Status remove(const uint8_t* key, uint32_t recno, bool* removed);

  private:
    using Path = std::vector<TagCursor::Step>;

    Status insertIntoNode(Path& path, size_t level, uint32_t index, const uint8_t* entry);
    Status removeFromNode(Path& path, size_t level);
    // The node at `level` has a new largest key: store it in the nearest ancestor that keeps a
    // separator for it.
    Status updateSeparatorAbove(Path& path, size_t level, const uint8_t* key);

    TagCursor cursor_;
};

}  // namespace storage
