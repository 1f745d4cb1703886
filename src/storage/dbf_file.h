#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "field.h"
#include "file.h"
#include "status.h"

namespace storage {

class IndexHook;
class MemoFile;

// Day of last update as the table header stores it.
struct HeaderDate {
    int year = 0;
    int month = 0;
    int day = 0;
};

// One open dBASE table file (".dbf") and its memo file (".dbt"), if it has one.
//
// Records are raw byte buffers of recordLength() bytes exactly as stored: byte 0 is the deletion
// flag ('*' deleted, ' ' live), then the fields in descriptor order as OEM (code page 437) text.
// Field values are read and written through the codec in record.h.
//
// Every failure is returned as a Status whose context text names the file and the operation in
// brackets; nothing here shows messages or ends the program (the caller decides, see
// reportFatal). A malformed file gives an error, never a crash or a write to the file.
//
// Shared tables: readers take no lock; rewriting record n needs its record lock, appending needs
// the append lock. Exclusive tables take no locks at all. Not thread-safe: one object per thread.
class DbfFile {
  public:
    // Locks lie above this offset of the table file so that they never cover data.
    static constexpr uint64_t kLockBase = 0x40000000;
    static constexpr size_t kMaxFields = 255;

    DbfFile(const DbfFile&) = delete;
    DbfFile& operator=(const DbfFile&) = delete;
    // Closes the table as close() does, without telling an index hook still installed (it may be
    // gone); a failure there is lost, so callers that care close first.
    ~DbfFile();

    // Creates a new table file at `path` (replacing a file of that name in any letter case) from
    // `fields` (name, type, width, decimals; offsets are ignored), then its memo file when a field
    // has a memo type (M, B, G, P). Type letters are upper-cased; D, L and memo widths are forced
    // to 8, 1 and 10; decimals are kept for N and F only. An empty name, a name longer than 10
    // characters, a C, N or F width of 0, an unknown type, no fields or more than kMaxFields give
    // error 211 "Invalid dBASE field definition [CreateDBF]" and create nothing; when the memo
    // file cannot be created, the table file is removed again. The new file is left closed:
    // header, terminator 0x0D, end-of-file byte 0x1A, today's date, 0 records.
    static Status create(Env* env, const std::string& path,
                         const std::vector<FieldDescriptor>& fields);
    // As create, but safe against other processes creating the same table at the same moment:
    // where a table of that name exists (or appears meanwhile) nothing is written and the code
    // is 80. The table file appears complete, after its memo file, or not at all.
    // `productionIndex` sets the header's production index flag (byte 28) from the start.
    static Status createNew(Env* env, const std::string& path,
                            const std::vector<FieldDescriptor>& fields,
                            bool productionIndex = false);
    // How often createNew waits for a table whose memo file another process has just created.
    static constexpr int kCreateAttempts = 100;

    // Opens an existing table (found whatever its letter case) and, when its version byte says so,
    // its memo file with the same access and share. Accepted version bytes: 0x02, 0x03, 0x04,
    // 0x83, 0x8B, 0x8C, 0xF5. A malformed header gives error 210 (or 213 when the file ends
    // inside its header) with "<path> is not a dBASE database. (<reason>) [USE/OpenDBF]".
    // On failure *table is left empty and nothing has been written.
    static Status open(Env* env, const std::string& path, Access access, Share share,
                       std::unique_ptr<DbfFile>* table);

    // Releases every lock and closes the files. A table whose records were rewritten gets its
    // header rewritten (today's date, record count); one that was appended to (or just created)
    // also gets the end-of-file byte after its last record. In shared mode the count written is
    // the one the file size gives at that moment, taken under the append lock when it can be had,
    // so a stale count of ours never hides another workstation's records. A clean table is
    // closed without writing. The object is unusable afterwards, even when close fails.
    Status close();

    const std::string& path() const { return path_; }  // in its stored letter case
    Env* env() const { return env_; }
    Access access() const { return access_; }
    Share share() const { return share_; }
    uint8_t version() const { return version_; }
    bool hasMemo() const { return memo_ != nullptr; }
    HeaderDate lastUpdate() const { return lastUpdate_; }

    const std::vector<FieldDescriptor>& fields() const { return fields_; }
    // The index of the field named `name` in any letter case; -1 when there is none.
    int fieldIndex(std::string_view name) const;
    uint16_t headerLength() const { return headerLength_; }
    uint16_t recordLength() const { return recordLength_; }

    // The number of records. Shared tables take it from the file size at open and before every
    // append (refreshRecordCount); exclusive ones from the header, capped by the file size.
    uint32_t recordCount() const { return recordCount_; }
    // Recomputes the count from the file size: (size - header length) / record length.
    Status refreshRecordCount();
    // The table file's size and modification stamp as the last refresh of the count (or the
    // opening) saw them.
    const FileStamp& lastStamp() const { return stamp_; }
    // The table file's size and modification stamp now; nothing else is refreshed.
    Status stat(FileStamp* stamp) const;
    // The whole records a table file of `size` bytes holds.
    uint32_t recordsInSize(uint64_t size) const;

    // Header byte 28: the table has a production index. The setter writes the byte at once.
    bool productionIndexFlag() const { return productionIndexFlag_; }
    Status setProductionIndexFlag(bool on);

    // Reads record `recno` (1-based) into `buffer` (recordLength() bytes). A number past the
    // count (after a refresh, for shared tables) gives 212; a file that ends inside the record
    // gives 213. [GetDbfRecord]
    Status readRecord(uint32_t recno, uint8_t* buffer);
    // Reads up to `count` consecutive records from `first` in one file read into `buffer`
    // (count * recordLength() bytes); *got receives how many were read, fewer only at the end
    // of the table. Meant for sequential scans.
    Status readRecords(uint32_t first, uint32_t count, uint8_t* buffer, uint32_t* got);

    // Rewrites record `recno` with `buffer`. Shared tables need the record's lock, else error
    // 1200 "Record #<n> ..."; read-only tables give error 5. The index hook, if any, is
    // prepared before the write and called after it with the old and the new bytes; when the
    // write or the hook fails, the old bytes are put back and the failure returned. `stored`,
    // when given, is what the file holds now (read under the record's lock), which spares
    // reading the old bytes again. [Replace/Append/PutDbfRecord]
    Status writeRecord(uint32_t recno, const uint8_t* buffer, const uint8_t* stored = nullptr);
    // Appends `buffer` as record count + 1 (the count recomputed from the file size first on
    // shared tables, which need the append lock, else error 5 "File must be locked to append:
    // <path> [APPEND]"). The end-of-file byte is written after it at once. *recno, if given,
    // receives the new record's number. The index hook is prepared before the write and called
    // after it. A failure (of the write, a full disk, or of the hook) leaves nothing behind: the
    // file is cut back to its former records and end-of-file byte, the count is as before.
    Status appendRecord(const uint8_t* buffer, uint32_t* recno = nullptr);
    // Sets ('*') or clears (' ') the deletion flag of record `recno`; same locking rules as
    // writeRecord. [DeleteRec/RecallRec]
    Status setDeleted(uint32_t recno, bool deleted);
    // Fills `buffer` with a live record of blank fields.
    void blankRecord(uint8_t* buffer) const;

    // Locks: one attempt each; true when held. On exclusive tables they succeed without a lock.
    // A record lock already held by this object is not asked for again. Any number of record
    // locks may be held at once; close releases all.
    bool lockRecord(uint32_t recno);
    void unlockRecord(uint32_t recno);
    bool holdsRecordLock(uint32_t recno) const;
    bool lockAppend();
    void unlockAppend();
    bool holdsAppendLock() const { return appendLocked_; }

    // Memo text of memo field `field` (an index into fields()) of `record`, as UTF-8 with the
    // stored CR LF line breaks; empty for a blank pointer. Bad pointers give 1003, a memo that
    // runs past the end of the memo file 213, a table without memo file 1019.
    Status readMemo(const uint8_t* record, int field, std::string* text);
    // Stores `text` (UTF-8) as the memo of field `field` and puts its block number into
    // `record`, which the caller then writes. The old memo's blocks are reused when the text fits
    // in them. Empty text blanks the pointer. Shared tables take the memo lock (up to 11
    // attempts, else 1017); too little free disk space gives 1004.
    Status writeMemo(uint8_t* record, int field, std::string_view text);

    // Not owned; may be null. Called after every append and rewrite.
    void setIndexHook(IndexHook* hook) { indexHook_ = hook; }
    IndexHook* indexHook() const { return indexHook_; }

  private:
    enum class Changes { None, Rewritten, Appended };

    DbfFile() = default;
    Status loadHeader();
    uint64_t recordOffset(uint32_t recno) const;
    Status checkWritable(uint32_t recno, const char* operation);
    Status rewriteHeader(uint32_t count, bool writeEndOfFile);
    Status countFromSize(uint32_t* count);
    // A write failure of the file as this table reports it, the system's reason kept.
    Status writeError(const Status& s, const char* operation) const;

    Env* env_ = nullptr;
    std::unique_ptr<File> file_;
    std::unique_ptr<MemoFile> memo_;
    std::string path_;
    Access access_ = Access::ReadOnly;
    Share share_ = Share::Shared;
    uint8_t version_ = 0;
    HeaderDate lastUpdate_;
    uint16_t headerLength_ = 0;
    uint16_t recordLength_ = 0;
    uint32_t recordCount_ = 0;
    FileStamp stamp_;
    bool productionIndexFlag_ = false;
    std::vector<FieldDescriptor> fields_;
    std::set<uint32_t> lockedRecords_;
    bool appendLocked_ = false;
    Changes changes_ = Changes::None;
    IndexHook* indexHook_ = nullptr;
    std::vector<uint8_t> scratch_;  // the old record handed to the index hook
};

}  // namespace storage
