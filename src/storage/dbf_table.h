#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "file.h"
#include "filtered_dataset.h"
#include "indexed_table.h"
#include "record_merge.h"

namespace storage {

class DbfFile;

// Creation of a missing file, the index list, exclusive and read-only opening, the lock-failure
// events and the writes under locks.
//
// Other workstations may change a record between the moment this one read it and its post. A
// post therefore reads the record again under its lock and writes only the fields this data set
// changed since it read the record, onto the bytes stored now (memo fields are compared by their
// texts); the data set then shows the record as stored. A new record whose key in a unique tag
// another workstation's record took meanwhile (checked under the append lock) is laid onto that
// record the same way instead of being added, so that such a table keeps one record per key.
class TDbfFileDataSet : public TDbfCDataSet {
  public:
    explicit TDbfFileDataSet(std::string name, Env* env = Env::Default());
    // Closes the table without posting.
    ~TDbfFileDataSet() override;

    // Index tags, two lines per tag: "NAME,descending,unique,expression", then a filter line.
    std::vector<std::string> IndexList;
    // Tags the production index also holds, in IndexList's form, so that a filter routine with
    // a key (SetFilterToCB) on one of their fields reads only the records that may pass: added
    // to the index when the table is writable; they give no order.
    std::vector<std::string> LookupTags;
    // Visits the records in record order whatever the indexes are (for counts): a tag lists only
    // the records of the programs that keep it.
    bool NaturalOrder = false;
    bool ReadOnly = false;
    bool Exclusive = false;
    bool CreateIfNotFound = true;
    bool ShowProgress = true;
    CreateIndexMode CreateIndex = CreateIndexMode::ciNotFound;

    // A lock could not be had; setting retry asks for it once more.
    using LockFailedEvent = std::function<void(TDbfFileDataSet& table, bool& retry)>;
    LockFailedEvent OnALockFailedOnInsert;
    LockFailedEvent OnRLockFailedOnPost;
    LockFailedEvent OnRLockFailedOnDelete;
    std::function<void(TDbfFileDataSet&)> OnBeforeMakeIndex;
    std::function<void(TDbfFileDataSet&)> OnAfterMakeIndex;

    // Posting found fields that this data set changed and another workstation changed too, to
    // other values, since this one read the record (`fields`: indexes of Fields()). True writes
    // this data set's values over theirs, false keeps theirs for those fields; the other changed
    // fields are written either way. No lock is held while it runs; should the record change
    // again before it can be written, the question comes again. Unassigned: the data links are
    // asked (a data source asks the user); when none answers, this data set's values are written.
    using ConflictEvent =
        std::function<bool(TDbfFileDataSet& table, const std::vector<int>& fields)>;
    ConflictEvent OnPostConflict;
    // A record being posted that another workstation deleted meanwhile is not written: its
    // deletion flag stays, the change is dropped, and the data set stands on the deleted
    // record, browsing. This event tells the user; unassigned, the data links do, and when none
    // does the message handler shows kDeletedElsewhereMessage.
    std::function<void(TDbfFileDataSet& table)> OnDeletedElsewhere;
    static constexpr const char* kDeletedElsewhereMessage =
        "This record was deleted at another workstation; the changes to it were not saved.";
    // A new record whose key another workstation's live record took meanwhile, in a unique tag
    // of the production index: true lays this record's fields onto that record (as an edit of it
    // would, the question of OnPostConflict included), false drops the new record and leaves the
    // data set on that one, browsing. Called with no lock held. Unassigned: laid onto it.
    std::function<bool(TDbfFileDataSet& table)> OnKeyTakenElsewhere;

    // Builds a new index file `name` (extension "MDX"; in the table's directory when the name
    // has no path), replacing any file of that name, with the single tag "dummy_tag" on
    // `expression`, and makes it the order. The data set stays on its record.
    void IndexOnOne(const std::string& expression, const std::string& name);

    // The open table file, for tools and tests; null while closed.
    DbfFile* tableFile() const { return table(); }

  protected:
    void openFiles() override;
    void closeFiles() override;
    std::string readMemo(const uint8_t* record, int field) override;
    WriteOutcome writeCurrent(bool inserting) override;
    void postDropped() override;
    bool deleteWithLock(uint32_t recno) override;
    KeyedSource* keyedSource(const std::string& field) override;
    bool fieldsReadOnly() const override { return ReadOnly; }

  private:
    std::string openPath() const;
    void createTable(const std::string& path);
    // One attempt at a lock, repeated while the event asks for a retry; false when refused,
    // after "Lock failed [<operation>]" was shown.
    bool takeLock(const std::function<bool()>& lock, const LockFailedEvent& event,
                  const char* operation);
    void writeMemos(bool inserting);
    WriteOutcome appendWithLock();
    WriteOutcome replaceWithLock();

    // A question about fields that another workstation changed too, with what they held when it
    // was asked (bytes, or the memo's text); its answer holds while they hold the same.
    struct Question {
        std::vector<int> fields;
        std::vector<std::string> theirs;
        bool replace = true;
    };
    enum class Merge { Written, Deleted, Ask };
    // With the record lock of `recno` held: reads the record as stored now, lays onto it the
    // fields changed since `asRead` and writes it (Written; the data set then holds it as
    // stored). Deleted: another workstation deleted it meanwhile. Ask: fields need an answer
    // that *question does not give for what is stored now; *question is the new one.
    Merge mergeOnto(uint32_t recno, const uint8_t* asRead, std::optional<Question>* question);
    bool replaceTheirs(const std::vector<int>& fields);

    Env* env_;
    std::unique_ptr<DbfFile> file_;
    std::unique_ptr<IndexedTable> indexes_;
    bool deletedElsewhere_ = false;  // why the last post was dropped
    std::vector<int> memoFields_;
    // Reused by every post: the record as stored now (read under its lock), what is written,
    // the fields compared, the memo fields changed and the texts stored now of those in conflict.
    std::vector<uint8_t> stored_;
    std::vector<uint8_t> merged_;
    FieldMerge merge_;
    std::vector<int> memosChanged_;
    std::vector<std::pair<int, std::string>> memoTexts_;
};

// The component that forms place: a table bound to one file.
class TDbfTable : public TDbfFileDataSet {
  public:
    using TDbfFileDataSet::TDbfFileDataSet;
};

}  // namespace storage
