#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "file.h"
#include "filtered_dataset.h"
#include "indexed_table.h"

namespace storage {

class DbfFile;

// Creation of a missing file, the index list, exclusive and read-only opening, the lock-failure
// events and the writes under locks.
class TDbfFileDataSet : public TDbfCDataSet {
  public:
    explicit TDbfFileDataSet(std::string name, Env* env = Env::Default());
    // Closes the table without posting.
    ~TDbfFileDataSet() override;

    // Index tags, two lines per tag: "NAME,descending,unique,expression", then a filter line.
    std::vector<std::string> IndexList;
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
    bool writeCurrent(bool inserting) override;
    bool deleteWithLock(uint32_t recno) override;
    bool fieldsReadOnly() const override { return ReadOnly; }

  private:
    std::string openPath() const;
    void createTable(const std::string& path);
    // One attempt at a lock, repeated while the event asks for a retry; false when refused,
    // after "Lock failed [<operation>]" was shown.
    bool takeLock(const std::function<bool()>& lock, const LockFailedEvent& event,
                  const char* operation);
    void writeMemos(bool inserting);
    bool appendWithLock();
    bool replaceWithLock();

    Env* env_;
    std::unique_ptr<DbfFile> file_;
    std::unique_ptr<IndexedTable> indexes_;
};

// The component that forms place: a table bound to one file.
class TDbfTable : public TDbfFileDataSet {
  public:
    using TDbfFileDataSet::TDbfFileDataSet;
};

}  // namespace storage
