#pragma once

#include <cstdint>

#include "status.h"

namespace storage {

// An append refused because a live record holds the new record's key in a unique tag.
constexpr int kKeyTaken = 9001;

// Keeps the indexes of a table current. The table file calls it around every write, with raw
// records as stored (deletion flag first, text in the table's code page).
//
// A write runs: prepareAppend (or prepareRewrite), the table's own write, then recordAppended
// (or recordRewritten). A prepare that succeeds leaves the hook holding what it took (the index
// semaphore, the index marked as being updated) until either the matching record call succeeds
// or writeUndone is called: the table calls writeUndone when its own write failed, and after it
// has taken its write back because the record call failed. A failed hook fails the write.
class IndexHook {
  public:
    virtual ~IndexHook() = default;

    // `record` is the record about to be appended. A prepare may refuse the append with
    // kKeyTaken (see ProductionIndex::setRefuseTakenKeys), holding nothing afterwards.
    virtual Status prepareAppend(const uint8_t* /*record*/) { return Status::OK(); }
    virtual Status recordAppended(uint32_t recno, const uint8_t* record) = 0;
    virtual Status prepareRewrite(uint32_t /*recno*/, const uint8_t* /*oldRecord*/,
                                  const uint8_t* /*newRecord*/) {
        return Status::OK();
    }
    virtual Status recordRewritten(uint32_t recno, const uint8_t* oldRecord,
                                   const uint8_t* newRecord) = 0;
    // The table's write did not happen, or was taken back: bring the index in line with the
    // table again (or leave it marked for mending at the next update or open) and release.
    virtual void writeUndone() {}
    // Around the table's writes that change no record (its header, when it is closed): a prepare
    // that succeeds holds what it took until tableWritten.
    virtual Status prepareTableWrite() { return Status::OK(); }
    virtual void tableWritten() {}
};

}  // namespace storage
