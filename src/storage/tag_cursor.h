#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "mdx_file.h"
#include "status.h"

namespace storage {

// A position in one tag of an open multiple-index file, moving in tag order (keys ascending, or
// descending for a descending tag; equal keys in record-number order).
//
// first(), last() and the seeks start from the tag's root as the file holds it now (they reread
// the page count and roots); next() and prior() continue through the nodes read before, so after
// others change the tag, seek again. Damage met on
// the way (a page out of range, a node with too many keys, a path deeper than any real tree)
// gives 222; the cursor is then not positioned. A cursor does not own the file.
class TagCursor {
public:
    TagCursor(MdxFile* file, int tag);

    const TagInfo& tag() const { return file_->tags()[tag_]; }

    // Each sets *found to whether the cursor now stands on an entry. next() and prior() from an
    // unpositioned cursor behave like first() and last().
    Status first(bool* found);
    Status last(bool* found);
    Status next(bool* found);
    Status prior(bool* found);

    // Positions on the first entry (in tag order) whose key equals `key` (keyLength bytes), or
    // whose key begins with `prefix` (1 to keyLength bytes; character tags).
    Status seekExact(const uint8_t* key, bool* found);
    Status seekPrefix(const uint8_t* prefix, size_t length, bool* found);

    bool positioned() const { return !path_.empty(); }
    // The entry the cursor stands on; only while positioned().
    uint32_t recno() const;
    const uint8_t* key() const;

protected:
    friend class TagWriter;

    struct Step {
        MdxNode node;
        uint32_t index = 0;  // entry in a leaf; child (0 .. count) in an interior node
    };

    // Sign of (entry key - probe) in tag order.
    using Probe = std::function<int(const uint8_t* entryKey)>;

    // Descends from the root to the first entry whose probe result is >= 0 (or > 0 when `upper`),
    // leaving the path on that leaf slot; the slot may be one past the leaf's last entry.
    Status descend(const Probe& probe, bool upper);
    // From a leaf slot that may be past its end, moves to the next real entry, or clears the path.
    Status settle(bool* found);
    Status descendEdge(uint32_t page, bool rightmost);
    // Reads the node at `page` onto the end of the path (222 past any possible depth); the path
    // is cleared on failure.
    Status pushNode(uint32_t page);
    int orderCompare(const uint8_t* a, const uint8_t* b) const;

    Status reloadRoots();

    MdxFile* file_;
    int tag_;
    std::vector<Step> path_;
};

}  // namespace storage
