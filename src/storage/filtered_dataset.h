#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dataset.h"
#include "keyed_order.h"
#include "record_order.h"

namespace storage {

// The component's exception for a file-layer failure it answers for (see dataset.h):
// "Dataset error: " followed by the file layer's message.
inline EDbfError datasetError(const Status& status) {
    return EDbfError("Dataset error: " + status.message());
}

class DbfFile;

// A filter routine: called with its owner for each candidate record while field reads of the
// data set give the candidate's values; true lets the record pass.
using FilterRoutine = std::function<bool(void* owner)>;

// What a filter routine promises about the records it passes: each holds in field `field`
// exactly the text `value(owner)` gives at that moment (letter case counting; trailing blanks
// do not count, as the field reads). A table whose production index has a tag on that field
// then hands the routine only the records the tag lists under that text (and those the index
// does not cover yet), which it still judges one by one; on any other table the routine sees
// every record, as without a key.
struct FilterKey {
    std::string field;
    std::function<std::string(void* owner)> value;
    bool empty() const { return field.empty() || !value; }
};

enum LocateOption : unsigned { loCaseInsensitive = 1, loPartialKey = 2 };

// The file name, deleted-record hiding, the filter routine and everything that moves over the
// records that pass them: navigation, Locate, Delete, counts.
class TDbfCDataSet : public TDbfDataSet {
  public:
    using TDbfDataSet::TDbfDataSet;
    ~TDbfCDataSet() override;

    // The path of the table file: trimmed; "DBF" is added when the name has no extension and does
    // not end with a point. Setting it on an open table closes and reopens it.
    void setDbfFileName(const std::string& name);
    const std::string& DbfFileName() const { return fileName_; }

    // Deleted records are skipped by all navigation.
    bool HideDeletedRecs = false;

    // Opens the table and stands on its first visible record; closing does not post.
    void Open();
    void Close();
    void setActive(bool active) { active ? Open() : Close(); }

    // Moves over the visible records (passing the filter routine and deletion hiding); each
    // first finishes a pending change (CheckBrowseMode). Next at the last visible record sets
    // Eof and stays; Prior at the first sets Bof and stays.
    void First();
    void Last();
    void Next();
    void Prior();
    bool Eof() const { return eof_; }
    bool Bof() const { return bof_; }
    bool IsEmpty() const { return !hasCurrent() && State() != DataSetState::Insert; }
    // The number of visible records.
    uint32_t RecordCount();

    // On an index order, searches `values[0]` among the order's keys whatever the field names:
    // the whole key (or, with loPartialKey, its beginning) must match, letter case counting.
    // Otherwise scans from the first visible record for one whose named fields (separated by
    // ";") equal the values, with loCaseInsensitive and loPartialKey as asked. Found: the data
    // set stands on it and the result is true; else it stays where it was.
    bool Locate(const std::string& fieldNames, const std::vector<std::string>& values,
                unsigned options);

    // Marks the current record deleted (under its lock); with HideDeletedRecs the data set then
    // stands on the next visible record, or on the preceding one when none follows. A pending
    // insert is cancelled instead.
    void Delete();

    // Installs (or, with an empty routine, removes) the filter routine, with what it promises
    // (`key`; none by default). The data set stays on its current record if that passes, else
    // moves to the last record that passes. A pending change on a record that passes is
    // dropped; on one that does not, it is finished as moves finish it before the move.
    void SetFilterToCB(FilterRoutine routine, void* owner, FilterKey key = {});
    bool Filtered() const { return static_cast<bool>(filter_); }
    // The number of stored records that pass, counted from the first; the data set stays where
    // it was, with its pending change (a record being added is not counted yet; one being
    // edited counts as stored). So a BeforePost handler may count.
    uint32_t GetFilteredCount();
    // Visits the visible records in order with their values readable, without moving.
    void forEachVisible(const std::function<bool(uint32_t recno)>& visit) override;
    // True while SetFilterToCB tells its links of the record it moved to: the search for the
    // last passing record has just read every record after it, so forEachVisible called then
    // ends at the current record instead of reading them again. A view that reads every visible
    // record does it in one pass over the file by reading at that moment.
    bool VisibleTailKnown() const { return tailKnown_.has_value(); }

  protected:
    // Opening and closing the files, in the derived class.
    virtual void openFiles() = 0;
    virtual void closeFiles() = 0;
    // Marks record `recno` deleted under its lock; false when the lock was refused.
    virtual bool deleteWithLock(uint32_t recno) = 0;
    // Where the records holding a value of `field` can be found without reading the others;
    // null when nowhere.
    virtual KeyedSource* keyedSource(const std::string& /*field*/) { return nullptr; }

    DbfFile* table() const { return table_; }
    void setTable(DbfFile* table) { table_ = table; }
    // The order the data set walks in: its own (`order`), or, with a filter key, the records
    // its keyed source lists for the key's value, in record order.
    void setOrder(std::unique_ptr<RecordOrder> order);
    RecordOrder* order() const { return keyed_ ? keyed_.get() : order_.get(); }
    void requireActive(const char* operation) const;
    // A failed status of a read or a move ends the program with the file layer's message.
    void check(const Status& status) const;
    // Forgets records read ahead, so that the next read sees what others wrote.
    void dropReadAhead();
    // Where a walk starts afresh: the record count from the file size, and the records listed
    // for the filter's key, as the table holds them now.
    void refresh();
    // The stored bytes of record `recno`, read ahead in the given direction.
    const uint8_t* fetch(uint32_t recno, bool forward);
    // After a write of the current record: reposition the order on it.
    void currentRecordWritten();

    bool isVisible(uint32_t recno, const uint8_t* record) override;
    void restorePosition() override;

  private:
    // Drops the order, read-ahead and field layout of the closed files.
    void forgetFiles();
    // Walks over the keyed source when the filter has a key and the order shows the records
    // that pass it in record order.
    void chooseKeyedOrder();
    // From the order's position, moves in the direction until a visible record; 0 when none.
    uint32_t seekVisible(uint32_t start, bool forward);
    // First or Last; Next or Prior.
    void moveToEnd(const char* operation, bool first);
    void step(const char* operation, bool forward);
    void standOn(uint32_t recno);
    void standNowhere();
    void standOnOrNowhere(uint32_t recno);
    bool fieldsMatch(const std::vector<int>& fields, const std::vector<std::string>& values,
                     unsigned options);
    uint32_t countVisible();
    void positionOrderOnCurrent();

    std::string fileName_;
    DbfFile* table_ = nullptr;
    std::unique_ptr<RecordOrder> order_;
    std::unique_ptr<KeyedOrder> keyed_;
    FilterRoutine filter_;
    void* filterOwner_ = nullptr;
    FilterKey filterKey_;
    bool bof_ = true;
    bool eof_ = true;

    // Set by SetFilterToCB while it notifies after a search from the end of the order: the
    // record it stands on (0: none passed) and the record count the search saw.
    struct KnownTail {
        uint32_t lastVisible;
        uint32_t recordCount;
    };
    std::optional<KnownTail> tailKnown_;

    // Read-ahead of consecutive records.
    std::vector<uint8_t> readAhead_;
    uint32_t readAheadFirst_ = 0;
    uint32_t readAheadCount_ = 0;
};

}  // namespace storage
