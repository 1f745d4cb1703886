#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "file.h"
#include "status.h"

namespace storage {

// The dBASE IV multiple-index file (see docs/index_format.md). Pages are 512 bytes; space is
// allocated in blocks of 2 pages (1024 bytes). Pages 0 to 3 hold the file header and the tag
// table; every tag header and every B-tree node is one block.
constexpr uint32_t kMdxPageSize = 512;
constexpr uint32_t kMdxBlockSize = 1024;
constexpr uint32_t kMdxPagesPerBlock = 2;
constexpr uint32_t kMdxFirstTagPage = 4;
constexpr int kMdxMaxTags = 47;
constexpr int kMdxMaxKeyLength = 100;

// How two keys of a tag compare.
enum class KeyKind {
    Character,  // unsigned bytes
    Double,     // 8-byte IEEE double (this program's numeric and date keys)
    Bcd,        // 12-byte BCD numbers as dBASE IV writes them (read only)
};

// What the tags of an index cover: every record of the table up to `records`, at the keys the
// records hold while the table file is as `table` saw it.
struct TableCoverage {
    uint32_t records = 0;
    FileStamp table;
};

// What a tag is to be: the input of building one.
struct TagDefinition {
    std::string name;        // at most 10 characters
    std::string expression;  // at most 100 bytes
    char keyType = 'C';      // C, N or D
    uint16_t keyLength = 0;  // 1..100 for C, 8 for N and D
    bool descending = false;
    bool unique = false;
};

// A tag as the file describes it.
struct TagInfo {
    std::string name;
    uint32_t headerPage = 0;
    uint32_t rootPage = 0;
    uint8_t keyFormat = 0x10;
    char keyType = 'C';
    uint16_t keyLength = 0;
    uint16_t maxKeys = 0;
    uint16_t entryLength = 0;
    bool descending = false;
    bool unique = false;
    std::string expression;
    KeyKind kind = KeyKind::Character;

    // Whether the tag lists every record in ascending order of `expression` (compared with
    // letter case and blanks ignored), equal keys by record number.
    bool ordersBy(std::string_view expression) const;
};

// The tag header block of `definition` (all bytes the program does not set are zero), and the
// derived sizes.
uint16_t mdxEntryLength(uint16_t keyLength);
uint16_t mdxMaxKeys(uint16_t keyLength);
void encodeTagHeader(const TagDefinition& definition, uint32_t rootPage, uint8_t* block);

// Compares keys a and b of a tag of this kind (keyLength bytes each): <0, 0, >0 in ascending
// order. Descending tags reverse it.
int compareKeys(KeyKind kind, const uint8_t* a, const uint8_t* b, uint16_t keyLength);
// The value of a 12-byte BCD key.
double decodeBcdKey(const uint8_t* key);

// One node block in memory.
struct MdxNode {
    uint32_t page = 0;
    uint8_t bytes[kMdxBlockSize] = {};

    uint32_t count() const;
    void setCount(uint32_t n);
    uint8_t* entry(uint32_t i, uint16_t entryLength) { return bytes + 8 + i * entryLength; }
    const uint8_t* entry(uint32_t i, uint16_t entryLength) const {
        return bytes + 8 + i * entryLength;
    }
    // Record number (leaf) or child page (interior) of entry i; i == count() gives the rightmost
    // child of an interior node, 0 in a leaf.
    uint32_t pointer(uint32_t i, uint16_t entryLength) const;
    void setPointer(uint32_t i, uint16_t entryLength, uint32_t value);
    const uint8_t* key(uint32_t i, uint16_t entryLength) const { return entry(i, entryLength) + 4; }
    bool interior(uint16_t entryLength) const { return pointer(count(), entryLength) != 0; }
};

// An open multiple-index file. Not thread-safe; one object per open file. In shared use, call
// reload() after taking the index semaphore and before changing anything, so the object sees
// what other workstations wrote.
class MdxFile {
  public:
    // Reads and checks the header, tag table and tag headers (not the trees). A file that is too
    // short, out of bounds or inconsistent fails with 222; a version or key form this code does
    // not know fails with 223.
    static Status open(std::unique_ptr<File> file, std::unique_ptr<MdxFile>* out);

    // The sorted entries of one tag for building: entry i has the key at
    // keys + order[i] * keyLength and the record number order[i] + 1.
    struct TagContents {
        const uint8_t* keys = nullptr;
        const uint32_t* order = nullptr;
        size_t count = 0;
    };

    // Replaces the contents of `file` with a new index: header, tag table, and per tag its
    // header block followed by its B-tree, packed bottom-up from `contents` (a missing entry
    // gives an empty tag). `tableName` is the table's base name; `production` sets the header's
    // production flag. Definitions must be valid (names of 1 to 10 characters, key lengths as
    // TagDefinition says, at most 47 tags). On failure the file is left partly written.
    // The update counter is written odd with the header and made even once everything else is
    // written, so a build cut short is seen as interrupted; it continues from `previousCounter`
    // (the replaced file's) so that readers of the old file notice the change. The new trees
    // are recorded as checked for a table of `tableRecords` records (see checkedAsIs; the
    // default records no check).
    static Status create(std::unique_ptr<File> file, const std::string& tableName, bool production,
                         const std::vector<TagDefinition>& tags,
                         const std::vector<TagContents>& contents, std::unique_ptr<MdxFile>* out,
                         uint32_t previousCounter = 0, uint32_t tableRecords = UINT32_MAX,
                         const TableCoverage* coverage = nullptr);
    // The update counter stored in the index file at `path`, 0 when it cannot be read.
    static uint32_t storedCounter(Env* env, const std::string& path);

    const std::vector<TagInfo>& tags() const { return tags_; }
    // Index of the tag named `name` (any letter case), or -1.
    int findTag(const std::string& name) const;
    uint32_t pageCount() const { return pageCount_; }
    File* file() { return file_.get(); }
    const std::string& path() const { return file_->path(); }

    // Rereads everything open() reads.
    Status reload();
    // Rereads only the page count, the update counter, the check and coverage records and each
    // tag's root:
    // enough before a read-only walk.
    Status reloadRoots();
    // Rereads only the page count, the update counter and the check and coverage records.
    Status reloadState();

    // The update counter as last read (reload, reloadRoots): odd while an update is being
    // written, or after one was cut short.
    uint32_t updateCounter() const { return counter_; }
    bool updateInterrupted() const { return (counter_ & 1) != 0; }
    // Reads the counter as the file holds it now, without changing what this object has read.
    Status readCounter(uint32_t* counter);
    // Marks an update as begun (counter made odd) and as finished (made even). Writers hold the
    // index semaphore from before beginUpdate to after endUpdate. An update that began on a file
    // recorded as checked records it as checked again when it ends, for the table's record
    // count then (`tableRecords`): its changes keep the trees sound.
    // With `coverage`, the end also records what the tags now cover (see covers), in the same
    // write as the counter.
    Status beginUpdate(uint32_t tableRecords);
    Status endUpdate(uint32_t tableRecords, const TableCoverage* coverage = nullptr);

    // Whether the coverage record holds for the table file as it is now (`table`, as looked at
    // after this object last read the header): no update under way or cut short since it was
    // written, and the table file of the recorded size and stamp. *records is then the number
    // of records the tags cover; records beyond it were appended by a program that does not
    // keep this index.
    bool covers(const FileStamp& table, uint32_t* records) const;
    // Records the coverage at the present counter (a change of the table that moved no key).
    Status markCovered(const TableCoverage& coverage);

    // Whether the trees were walked whole and found sound at the update counter and page count
    // the file has now (as last read), for a table of at least as many records as then, so that
    // they need not be walked again.
    bool checkedAsIs(uint32_t tableRecords) const;
    // Records the file as checked at its present counter and page count.
    Status markChecked(uint32_t tableRecords);

    // Reads the node at `page` of `tag`, checking that it lies inside the file and holds at most
    // maxKeys entries (222 otherwise).
    Status readNode(const TagInfo& tag, uint32_t page, MdxNode* node);
    Status writeNode(const MdxNode& node);
    // A new block at the end of the file. The header's page count is written after the block
    // itself (writeNode), so that a failed write never leaves it counting pages that are not
    // there.
    Status allocateBlock(uint32_t* page);
    // From now on, notes whether a block that existed before (or a root) is written: until one
    // is, a failed change has left the trees as they were.
    void startTracking();
    bool changedExisting() const { return changedExisting_; }
    // Stores a new root page for tag `index` in its tag header.
    Status setRoot(int index, uint32_t page);
    // Takes over the file and everything read of it from `other` (a rebuilt file), so that
    // whoever points at this object reads the new file from now on.
    void replaceWith(std::unique_ptr<MdxFile> other);

    // Status 222 for this file with a short reason.
    Status corrupted(const std::string& why) const;

    // While alive, node reads are served from windows of many blocks read at once: for walks
    // that read most of the file while nobody writes it (checks under the index semaphore).
    class ReadAheadScope {
      public:
        explicit ReadAheadScope(MdxFile* file) : file_(file) { file_->readAhead_ = true; }
        ~ReadAheadScope() {
            file_->readAhead_ = false;
            file_->window_.clear();
            file_->window_.shrink_to_fit();
            file_->windowPages_ = 0;
            file_->readAheadEnd_ = 0;
        }
        ReadAheadScope(const ReadAheadScope&) = delete;
        ReadAheadScope& operator=(const ReadAheadScope&) = delete;

      private:
        MdxFile* file_;
    };

  private:
    explicit MdxFile(std::unique_ptr<File> file) : file_(std::move(file)) {}

    Status readPages(uint32_t page, uint32_t count, uint8_t* buffer);
    // The coverage record's bytes, from kHeaderCoveredRecords on, as recorded at `counter`.
    static void putCoverage(uint8_t* fromRecords, const TableCoverage& coverage, uint32_t counter);
    // Writes the update counter into the header and keeps it.
    Status storeCounter(uint32_t counter);
    // Takes the counter and the check and coverage records from the header's bytes from
    // kHeaderPageCount on.
    void readState(const uint8_t* fromPageCount);

    std::unique_ptr<File> file_;
    Status readPageCount(uint32_t* pages);
    // A four-byte header field at `offset` (kCorruptedIndex when the header is cut short).
    Status readHeaderU32(uint32_t offset, uint32_t* value);

    std::vector<TagInfo> tags_;
    uint32_t pageCount_ = 0;
    uint32_t storedPageCount_ = 0;  // as the header holds it
    uint32_t counter_ = 0;
    // The check record (kHeaderCheckedCounter...) as last read or written.
    uint32_t checkedCounter_ = 0;
    uint32_t checkedPages_ = 0;
    uint32_t checkedRecords_ = 0;
    // The coverage record (kHeaderCoveredRecords...) as last read or written.
    uint32_t coveredCounter_ = 0;
    TableCoverage covered_;
    bool checkedAtBegin_ = false;  // the update under way began on a file recorded as checked
    uint32_t firstNewPage_ = UINT32_MAX;
    bool changedExisting_ = false;

    // Read-ahead (ReadAheadScope): pages [windowFirst_, windowFirst_ + windowPages_), and the
    // page after the last one asked for.
    bool readAhead_ = false;
    uint32_t readAheadEnd_ = 0;
    std::vector<uint8_t> window_;
    uint32_t windowFirst_ = 0;
    uint32_t windowPages_ = 0;
};

}  // namespace storage
