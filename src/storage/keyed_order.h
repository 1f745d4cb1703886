#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "file.h"
#include "record_order.h"
#include "status.h"

namespace storage {

class DbfFile;

// Where the records that may hold one value of a field come from: an index tag on that field.
class KeyedSource {
  public:
    virtual ~KeyedSource() = default;
    // The records that may hold `value` (UTF-8 text, as the field reads without trailing
    // blanks), in record order: a superset of those that do. *all when the source cannot tell,
    // and any record may. *asOf: the table file as the answer holds for.
    virtual Status list(std::string_view value, std::vector<uint32_t>* recnos, bool* all,
                        FileStamp* asOf) = 0;
};

// The records a keyed source lists under one value of its field, in record-number order: the
// walk of a data set whose filter routine passes only records holding that value. It is
// gathered again whenever the table file changed (as its size and modification stamp show) or
// the value did, at refresh(), which the data set calls where a walk starts afresh.
class KeyedOrder : public RecordOrder {
  public:
    // `value` gives the value (UTF-8) afresh at every refresh. The table's count and stamp must
    // have been refreshed (DbfFile::refreshRecordCount) before each refresh().
    KeyedOrder(DbfFile* table, KeyedSource* source, std::function<std::string()> value);

    Status refresh();

    Status first(uint32_t* recno) override;
    Status last(uint32_t* recno) override;
    Status next(uint32_t* recno) override;
    Status prior(uint32_t* recno) override;
    // Positions on `recno`; a record not listed (one just written) is taken into the list.
    Status seek(uint32_t recno, const uint8_t* record) override;

    // How many consecutive records from `recno` (down from it when not `forward`) to read in one
    // call: the listed ones there and gaps of a few unlisted ones between them, at most `limit`.
    uint32_t span(uint32_t recno, bool forward, uint32_t limit) const;

    const std::vector<uint32_t>& records() const { return recnos_; }

  private:
    Status moveTo(size_t position, uint32_t* recno);

    DbfFile* table_;
    KeyedSource* source_;
    std::function<std::string()> value_;
    std::vector<uint32_t> recnos_;
    size_t position_ = 0;  // recnos_.size(): on none
    bool gathered_ = false;
    std::string gatheredValue_;
    FileStamp gatheredStamp_;  // the table file the list holds for
};

}  // namespace storage
