#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "mdx_file.h"
#include "status.h"

namespace storage {

class IndexSemaphore;

// A position in one tag of an open multiple-index file, moving in tag order (keys ascending, or
// descending for a descending tag; equal keys in record-number order).
//
// first(), last() and the seeks start from the tag's root as the file holds it now (they reread
// the page count and roots); next() and prior() continue through the nodes read before, so after
// others change the tag, seek again. Damage met on
// the way (a page out of range, a node with too many keys, a path deeper than any real tree)
// gives 222; the cursor is then not positioned. A cursor does not own the file.
//
// Given the index semaphore of a shared table (setSemaphore), the cursor reads without it but
// checks the index's update counter after every read of nodes that a miss, an error or a step
// into another node depended on: when another workstation changed the index meanwhile, the
// read is repeated (a step continues from the entry the cursor stood on), a few times, then once
// more under the semaphore, where nobody writes. So a walk never fails or skips entries because
// of a concurrent writer.
class TagCursor {
  public:
    TagCursor(MdxFile* file, int tag);

    const TagInfo& tag() const { return file_->tags()[tag_]; }
    // Not owned; null (the default) for exclusive tables and for writers holding the semaphore.
    void setSemaphore(IndexSemaphore* semaphore) { semaphore_ = semaphore; }
    // Called (under the semaphore, when there is one) when the index shows an update that was
    // cut short, or a read meets damage (222: `damaged`), and nobody is writing: rebuilds the
    // index if it can. The read is then repeated.
    void setMender(std::function<Status(bool damaged)> mender) { mender_ = std::move(mender); }

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
    // Positions on the first entry whose key is not below `prefix` in tag order (keys compared
    // over the prefix's length; character tags), whether or not it begins with it.
    Status seekFrom(const uint8_t* prefix, size_t length, bool* found);

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

    // The moves without the concurrency checks (what TagWriter uses under the semaphore).
    Status firstRaw(bool* found);
    Status lastRaw(bool* found);
    Status nextRaw(bool* found);
    Status priorRaw(bool* found);
    Status seekExactRaw(const uint8_t* key, bool* found);
    Status seekPrefixRaw(const uint8_t* prefix, size_t length, bool* found);
    Status seekFromRaw(const uint8_t* prefix, size_t length, bool* found);
    // From the entry (key, recno), wherever it now is, one step on or back.
    Status stepFrom(const std::vector<uint8_t>& key, uint32_t recno, bool forward, bool* found);
    // Runs `attempt` until the index did not change under it (see the class comment). With
    // `trustFound`, a found entry is taken without asking the counter.
    Status consistent(const std::function<Status()>& attempt, const std::function<Status()>& retry,
                      bool* found, bool trustFound);
    bool unchanged(const Status& s);

    MdxFile* file_;
    int tag_;
    std::vector<Step> path_;
    IndexSemaphore* semaphore_ = nullptr;
    std::function<Status(bool damaged)> mender_;
    uint32_t counter_ = 0;  // the update counter when the path was read from the root
};

}  // namespace storage
