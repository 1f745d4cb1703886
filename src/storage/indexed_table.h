#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "index_hook.h"
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
    };

    // Opens or builds the production index of `table` as `options` say and installs itself as
    // the table's index hook. Failures come back as the index layer reports them.
    static Status open(DbfFile* table, const Options& options, std::unique_ptr<IndexedTable>* out);
    ~IndexedTable() override;

    std::unique_ptr<RecordOrder> makeOrder();
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

  private:
    IndexedTable(DbfFile* table, const Options& options) : table_(table), options_(options) {}
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
};

}  // namespace storage
