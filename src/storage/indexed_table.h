#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "index_hook.h"
#include "keyed_order.h"
#include "production_index.h"
#include "record_order.h"

namespace storage {

class DbfFile;

enum class CreateIndexMode { ciNotFound, ciAlways, ciVerifyHeader, ciNever };

// Where "Indexing <file>..." goes while an index is built for a component that shows progress;
// an empty text follows when the build is over. The program routes it to a progress window; by
// default it is dropped. Returns the previous one.
ProgressHook setIndexProgressHandler(ProgressHook handler);

// The indexes of a table component: its production index (from its IndexList) and the one-tag
// temporary index of IndexOnOne. Keeps both current as the table is written, and gives the
// component its order: the temporary tag when there is one, else the production index's first
// tag, else record order.
class IndexedTable : public IndexHook {
  public:
    struct Options {
        std::vector<std::string> indexList;
        CreateIndexMode mode = CreateIndexMode::ciNotFound;
        bool showProgress = true;
        std::function<void()> beforeMakeIndex;
        std::function<void()> afterMakeIndex;
        // Tags the production index is to hold as well, in the form of `indexList`, for finding
        // records by a field (keyedSource) rather than for the order: added to the table's
        // index, or to a new one, when the table is writable. Failing to add them costs reads
        // only, never the opening.
        std::vector<std::string> lookupTags;
    };

    // Opens or builds the production index of `table` as `options` say and installs itself as
    // the table's index hook. Failures come back as the index layer reports them.
    static Status open(DbfFile* table, const Options& options, std::unique_ptr<IndexedTable>* out);
    ~IndexedTable() override;

    std::unique_ptr<RecordOrder> makeOrder();
    // The records holding a value of `field`, from a production index tag on that field alone;
    // null when the index has none. Valid while this object lives.
    KeyedSource* keyedSource(const std::string& field);
    // Appends whose key a live record holds in a unique tag of the production index are
    // refused with kKeyTaken (see ProductionIndex::setRefuseTakenKeys); keyTakenBy() then names
    // that record.
    void setRefuseTakenKeys(bool refuse);
    uint32_t keyTakenBy() const;
    Status buildTemporary(const std::string& expression, const std::string& name);
    // Uninstalls the hook and closes the index files.
    Status close();

    Status prepareAppend(const uint8_t* record) override;
    Status recordAppended(uint32_t recno, const uint8_t* record) override;
    Status prepareRewrite(uint32_t recno, const uint8_t* oldRecord,
                          const uint8_t* newRecord) override;
    Status recordRewritten(uint32_t recno, const uint8_t* oldRecord,
                           const uint8_t* newRecord) override;
    void writeUndone() override;
    Status prepareTableWrite() override;
    void tableWritten() override;

  private:
    class FieldSource;
    IndexedTable(DbfFile* table, const Options& options);
    ProgressHook progress() const;

    // Passes the build's progress text on, and the empty text once the build is over.
    class ProgressWindow {
      public:
        explicit ProgressWindow(ProgressHook hook) : hook_(std::move(hook)) {}
        ~ProgressWindow();
        ProgressHook hook();

      private:
        ProgressHook hook_;
        bool shown_ = false;
    };

    DbfFile* table_;
    Options options_;
    std::unique_ptr<ProductionIndex> production_;
    std::unique_ptr<ProductionIndex> temporary_;
    bool productionDone_ = false;  // the production index took the current write
    std::vector<std::string> lookupNames_;
    std::vector<std::unique_ptr<FieldSource>> sources_;
};

}  // namespace storage
