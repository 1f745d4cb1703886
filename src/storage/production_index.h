#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "dbf_file.h"
#include "index_hook.h"
#include "index_list.h"
#include "index_semaphore.h"
#include "key_expression.h"
#include "mdx_file.h"
#include "tag_cursor.h"
#include "tag_keys.h"

namespace storage {

// Receives "Indexing <index file name>..." when an index file is built, for a progress window.
using ProgressHook = std::function<void(const std::string& text)>;

// How much of an index file an opening checks; every opening checks the header and tag headers.
enum class TreeCheck {
    None,        // nothing more, and a tag that does not fit the table may be read (see open)
    AsRecorded,  // the trees too, unless the file records a whole walk that still holds
    Whole,       // the trees too, always
};

// A multiple-index file bound to an open table: the production index (".mdx" beside the table)
// or a one-tag temporary index (indexOnOne). It keeps every tag current as the table changes:
// install it with table.setIndexHook(index.get()); an append adds the keys of every tag, a rewrite
// that changes a key moves it. On shared tables each change is made under the table's index
// semaphore (".@S@"); exclusive tables take none.
//
// The table must stay at the same address while the index lives; the index does not own it and
// never touches it when destroyed, so a table that outlives its index must have the hook
// uninstalled first (table.setIndexHook(nullptr)). Not thread-safe.
class ProductionIndex : public IndexHook {
  public:
    ~ProductionIndex() override;

    // The production index's path for a table: the table's extension replaced by "MDX", in the
    // letter case of an existing file when there is one.
    static std::string pathFor(Env* env, const std::string& tablePath);

    // Opening with the "build when not found" rule: sets the table's production index flag
    // (writable tables), then opens the file; if it is missing, or opening or checking it fails
    // with 2, 222 or 223, builds it anew from `tags` (progress shown). An existing, sound file
    // is used as found, whatever its tags. Other failures are returned as they are.
    static Status openOrBuild(DbfFile* table, const std::vector<IndexListEntry>& tags,
                              const ProgressHook& progress, std::unique_ptr<ProductionIndex>* out);

    // Opens an existing index file as found and checks every tag (222 on damage, 223 when a tag's
    // expression no longer fits the table's fields, 2 when the file is missing). The trees are
    // walked only when the file does not record a walk that still holds (MdxFile::checkedAsIs:
    // another program changed it, or an update was cut short); a writable opener that walked
    // them records it. Damage that neither shows is met by the reads, which rebuild the file
    // once a whole walk confirms it (writable tables). openOrBuild checks the same way;
    // openOrRepair walks every tree. With `strict`
    // false only the header and tag headers are read, and a tag whose expression does not fit
    // the table can be read but not kept current (writes then fail with 223): for looking at
    // files written elsewhere.
    static Status open(DbfFile* table, const std::string& path,
                       std::unique_ptr<ProductionIndex>* out, bool strict = true);

    // Writes the index file at `path` anew (replacing any file of that name) with `tags` over
    // every record of the table, and opens it. `production` sets the header's production flag.
    static Status build(DbfFile* table, const std::string& path, bool production,
                        const std::vector<IndexListEntry>& tags, const ProgressHook& progress,
                        std::unique_ptr<ProductionIndex>* out);

    // A new index file named `name` with the extension "MDX" (in the table's directory when the
    // name has no path), replacing any file of that name, with the single tag "dummy_tag" on
    // `expression`.
    static Status indexOnOne(DbfFile* table, const std::string& expression, const std::string& name,
                             const ProgressHook& progress, std::unique_ptr<ProductionIndex>* out);

    // Rebuilds this file in place with its current tags (reindex).
    Status rebuild(const ProgressHook& progress);
    // Adds those of `tags` that the file lacks (by name) after its own, rebuilding it under the
    // semaphore: tags a program declares for files that programs before it built.
    Status addTags(const std::vector<IndexListEntry>& tags, const ProgressHook& progress);

    // The records that may hold in character tag `tag` a key beginning with `prefix` (table
    // bytes, code page 437), in record order: those the tag lists under such keys and every
    // record beyond those the index covers (appended by a program that does not keep it). When
    // the index cannot tell (the table file changed behind it: another program rewrote records;
    // an update is under way or was cut short), a writable table's index is brought up to date
    // under the semaphore first (mended, or rebuilt); on a read-only table *all is set: any
    // record may. *asOf is the table file as the answer holds for: it holds until the file
    // changes.
    Status keyedRecords(int tag, std::string_view prefix, std::vector<uint32_t>* recnos, bool* all,
                        FileStamp* asOf);

    // The tag definitions of the index file at `path`, read from its tag table and tag headers
    // without trusting the rest of the file (its page count, its trees): what a repair rebuilds
    // from. 222 when the tag table itself is unreadable.
    static Status readTagDefinitions(Env* env, const std::string& path,
                                     std::vector<IndexListEntry>* tags);
    // Opens the production index of a writable table, and when it is damaged, an update of it
    // was cut short or the table was changed behind it, rebuilds it from its own tag definitions
    // (dbftool's append). A missing file gives 2.
    static Status openOrRepair(DbfFile* table, const ProgressHook& progress,
                               std::unique_ptr<ProductionIndex>* out);

    const std::string& path() const { return mdx_->path(); }
    MdxFile* file() { return mdx_.get(); }
    const std::vector<TagInfo>& tags() const { return mdx_->tags(); }
    int findTag(const std::string& name) const { return mdx_->findTag(name); }
    const KeyExpression& expression(int tag) const { return *expressions_.at(tag); }
    // False for a tag whose expression does not fit the table (opened with strict = false).
    bool hasExpression(int tag) const { return expressions_.at(tag) != nullptr; }

    // A cursor over tag `tag` (0-based), not positioned.
    std::unique_ptr<TagCursor> cursor(int tag);

    // The key to seek for `value` in tag `tag`: character values are raw table bytes (code page
    // 437) and are padded with blanks when `exact`; numeric values are text ("12.5"); dates are
    // "YYYYMMDD". False when the value cannot be a key of the tag (too long, not a number).
    bool seekKey(int tag, std::string_view value, bool exact, std::vector<uint8_t>* key) const;

    // Positions `cursor` on the first entry whose key equals `value` (FindExact) or, when
    // `exact` is false, begins with it (Find). *found tells whether one was found. On a shared
    // table, a walk that meets damage (another workstation may be rebuilding) is tried once more
    // after a reload under the index semaphore.
    Status seek(TagCursor* cursor, std::string_view value, bool exact, bool* found);

    // Rereads the file (under the semaphore when shared), after others changed or rebuilt it.
    Status reload();

    // Checks each tag against the table: sound B-tree, keys in order, every entry's key that of
    // its record, every record present exactly once (unique tags: every distinct key present
    // once, and no two live records with the same key, of which the tag could list only one).
    // Writes one line per problem into *problems.
    Status verify(std::vector<std::string>* problems);

    // IndexHook. Each update is bracketed: prepare takes the semaphore (shared tables), rereads
    // the file, mends it first when an earlier update was cut short (rebuild), and marks the
    // index as being updated before the table writes; the record call changes the trees and
    // clears the mark. A failure leaves the hook prepared until writeUndone, which clears the
    // mark when the trees were not touched yet and otherwise leaves it for the next update or
    // open to mend (rebuild). Called without prepare, the record calls prepare first.
    Status prepareAppend(const uint8_t* record) override;
    Status recordAppended(uint32_t recno, const uint8_t* record) override;
    Status prepareRewrite(uint32_t recno, const uint8_t* oldRecord,
                          const uint8_t* newRecord) override;
    Status recordRewritten(uint32_t recno, const uint8_t* oldRecord,
                           const uint8_t* newRecord) override;
    void writeUndone() override;
    // A write of the table that moves no key (its header at closing): the coverage record is
    // kept in step with it, under the semaphore.
    Status prepareTableWrite() override;
    void tableWritten() override;
    // The two halves of the record calls, for a caller that keeps several indexes: apply the
    // change to the trees, then finish (clear the mark, release) once every index took it.
    Status applyAppend(uint32_t recno, const uint8_t* record);
    Status applyRewrite(uint32_t recno, const uint8_t* oldRecord, const uint8_t* newRecord);
    Status finishUpdate();
    // Marks the index as interrupted, so that the next update or open rebuilds it: for a change
    // it took that the table has taken back since.
    Status markForRebuild();
    bool updatePrepared() const { return prepared_; }
    // With `refuse`, an append whose key a live record already holds in a unique character tag
    // (blank keys aside) is refused by prepareAppend with kKeyTaken, and keyTakenBy() names that
    // record: for a writer that keeps one record per key. The check is made under the index
    // semaphore, with the append lock held, so no other append can slip in between.
    void setRefuseTakenKeys(bool refuse) { refuseTakenKeys_ = refuse; }
    uint32_t keyTakenBy() const { return keyTakenBy_; }

  private:
    ProductionIndex(DbfFile* table, std::unique_ptr<MdxFile> mdx);

    static Status openFile(DbfFile* table, const std::string& path, TreeCheck check,
                           std::unique_ptr<ProductionIndex>* out);
    static Status buildUnlocked(DbfFile* table, const std::string& path, bool production,
                                const std::vector<IndexListEntry>& tags,
                                const ProgressHook& progress,
                                std::unique_ptr<ProductionIndex>* out);
    Status compileExpressions();
    // A unique tag lists one record per key. Before an append, the record each unique tag lists
    // under the new key is looked up (deletedHolders_: the deleted ones, whose entries give way
    // to the live record being added; a live one refuses the append when asked to).
    Status findHolders(const uint8_t* record);
    Status requireExpressions() const;
    // Under the semaphore: reread the file and rebuild it when an update was cut short.
    Status reloadAndMend();
    // Takes the semaphore for `operation`, rereads (and mends) the file and marks an update as
    // begun; on failure nothing is held.
    Status beginUpdate(const char* operation);
    // Rebuilds the file with its tags and `extra` ones after them.
    Status rebuildLocked(const ProgressHook& progress,
                         const std::vector<IndexListEntry>& extra = {});
    // A reader that met an update cut short, or damage (under the semaphore): rebuilt when
    // writable (damage only once a whole walk confirms it).
    Status mend(bool damaged);
    bool keysChange(uint32_t recno, const uint8_t* oldRecord, const uint8_t* newRecord);
    // The records tag `tag` lists under keys beginning with `prefix`, in tag order.
    Status listPrefix(int tag, std::string_view prefix, std::vector<uint32_t>* recnos);
    // Under the semaphore: reread the file; rebuild it when it is damaged, an update was cut
    // short, or the table changed behind it.
    Status bringUpToDate();
    // Whether the coverage record holds for the table file as it is now.
    bool coverageHolds();
    // Whether the table file changed since the coverage was recorded, as far as its stamp shows:
    // another program wrote it without keeping this index.
    bool changedBehind();
    // What the tags cover once the table's write is done: every record of the file now.
    bool coverageNow(TableCoverage* coverage);
    // Around a table write that moves no key: takes the semaphore and notes whether the coverage
    // holds; the finish records the coverage again for the changed file.
    Status beginRestamp(const char* operation);
    void finishRestamp();
    IndexSemaphore* semaphore() { return table_->share() == Share::Shared ? &semaphore_ : nullptr; }

    DbfFile* table_;
    std::unique_ptr<MdxFile> mdx_;
    std::vector<std::unique_ptr<KeyExpression>> expressions_;
    IndexSemaphore semaphore_;
    bool production_ = true;
    bool strict_ = true;
    bool prepared_ = false;        // an update is under way: semaphore held, index marked
    bool touched_ = false;         // ... and its trees were changed
    bool restamping_ = false;      // a write that moves no key is under way: semaphore held
    bool coveredAtBegin_ = false;  // the coverage record held when the update or write began
    std::vector<uint32_t> deletedHolders_;  // per tag, for the append prepared
    bool refuseTakenKeys_ = false;
    uint32_t keyTakenBy_ = 0;
};

}  // namespace storage
