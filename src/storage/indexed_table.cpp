#include "indexed_table.h"

#include <algorithm>
#include <cctype>
#include <mutex>

#include "codepage.h"
#include "dbf_file.h"
#include "index_list.h"

namespace storage {

namespace {

std::mutex progressMutex;
ProgressHook progressHandler;

// A tag on recno() alone lists every record once in record order: walk the table instead.
bool isRecordNumberTag(const TagInfo& tag) { return tag.ordersBy("recno()"); }

}  // namespace

ProgressHook setIndexProgressHandler(ProgressHook handler) {
    std::lock_guard<std::mutex> lock(progressMutex);
    std::swap(progressHandler, handler);
    return handler;
}

ProgressHook IndexedTable::progress() const {
    if (!options_.showProgress) return {};
    std::lock_guard<std::mutex> lock(progressMutex);
    return progressHandler;
}

IndexedTable::ProgressWindow::~ProgressWindow() {
    if (shown_ && hook_) hook_(std::string());
}

ProgressHook IndexedTable::ProgressWindow::hook() {
    return [this](const std::string& text) {
        shown_ = true;
        if (hook_) hook_(text);
    };
}

// A production index tag on one field, as the keyed source of that field.
class IndexedTable::FieldSource : public KeyedSource {
  public:
    FieldSource(ProductionIndex* index, std::string field, std::string tagName)
        : index_(index), field_(std::move(field)), tagName_(std::move(tagName)) {}

    const std::string& field() const { return field_; }

    Status list(std::string_view value, std::vector<uint32_t>* recnos, bool* all,
                FileStamp* asOf) override {
        std::string prefix;
        utf8ToOem(value, &prefix);
        const int tag = index_->findTag(tagName_);
        if (tag < 0) {
            *all = true;
            recnos->clear();
            return Status::OK();
        }
        return index_->keyedRecords(tag, prefix, recnos, all, asOf);
    }

  private:
    ProductionIndex* index_;
    std::string field_;
    std::string tagName_;
};

IndexedTable::IndexedTable(DbfFile* table, const Options& options)
    : table_(table), options_(options) {}

IndexedTable::~IndexedTable() {
    if (table_ && table_->indexHook() == this) table_->setIndexHook(nullptr);
}

Status IndexedTable::open(DbfFile* table, const Options& options,
                          std::unique_ptr<IndexedTable>* out) {
    std::unique_ptr<IndexedTable> indexes(new IndexedTable(table, options));
    std::vector<IndexListEntry> tags;
    Status status = parseIndexList(options.indexList, &tags);
    if (!status.ok()) return status;
    std::vector<IndexListEntry> lookup;
    status = parseIndexList(options.lookupTags, &lookup);
    if (!status.ok()) return status;
    for (const IndexListEntry& tag : lookup) indexes->lookupNames_.push_back(tag.name);
    const bool writable = table->access() == Access::ReadWrite;
    // A new file gets the lookup tags in the same build.
    std::vector<IndexListEntry> declared = tags;
    declared.insert(declared.end(), lookup.begin(), lookup.end());

    const std::string path = ProductionIndex::pathFor(table->env(), table->path());
    if (!tags.empty()) {
        const bool exists = table->env()->fileExists(path);
        const bool rebuild = options.mode == CreateIndexMode::ciAlways;
        if (options.mode == CreateIndexMode::ciNever) {
            if (exists) status = ProductionIndex::open(table, path, &indexes->production_);
        } else if (!rebuild && !exists && table->share() == Share::Shared) {
            // Another workstation may be building the same missing index right now: the check
            // and the build happen under the index semaphore.
            if (options.beforeMakeIndex) options.beforeMakeIndex();
            ProgressWindow window(indexes->progress());
            status =
                ProductionIndex::openOrBuild(table, declared, window.hook(), &indexes->production_);
            if (options.afterMakeIndex) options.afterMakeIndex();
        } else if (rebuild || !exists) {
            if (table->access() == Access::ReadWrite && !table->productionIndexFlag()) {
                status = table->setProductionIndexFlag(true);
                if (!status.ok()) return status;
            }
            if (options.beforeMakeIndex) options.beforeMakeIndex();
            ProgressWindow window(indexes->progress());
            status = ProductionIndex::build(table, path, true, declared, window.hook(),
                                            &indexes->production_);
            if (options.afterMakeIndex) options.afterMakeIndex();
        } else {
            ProgressWindow window(indexes->progress());
            status =
                ProductionIndex::openOrBuild(table, declared, window.hook(), &indexes->production_);
        }
    } else if (!lookup.empty() && writable && options.mode != CreateIndexMode::ciNever) {
        ProgressWindow window(indexes->progress());
        if (!ProductionIndex::openOrBuild(table, lookup, window.hook(), &indexes->production_).ok())
            indexes->production_.reset();
    } else if (table->productionIndexFlag() && table->env()->fileExists(path)) {
        // A production index declared by another component of this file: use it as found.
        status = ProductionIndex::open(table, path, &indexes->production_);
        if (!status.ok()) {
            indexes->production_.reset();
            status = Status::OK();
        }
    }
    if (!status.ok()) return status;
    if (indexes->production_ && writable && !lookup.empty()) {
        // An index built before these tags were declared. Should adding them fail (a full
        // disk), the file is left as a build cut short, which the next update or open mends.
        ProgressWindow window(indexes->progress());
        (void)indexes->production_->addTags(lookup, window.hook());
    }
    table->setIndexHook(indexes.get());
    *out = std::move(indexes);
    return Status::OK();
}

std::unique_ptr<RecordOrder> IndexedTable::makeOrder() {
    ProductionIndex* index = temporary_ ? temporary_.get() : production_.get();
    if (!index || index->tags().empty() || isRecordNumberTag(index->tags()[0])) {
        return makeRecordNumberOrder(table_);
    }
    // A lookup tag first (the only declared one) gives no order.
    if (index == production_.get() &&
        std::any_of(lookupNames_.begin(), lookupNames_.end(),
                    [&](const std::string& name) { return index->findTag(name) == 0; }))
        return makeRecordNumberOrder(table_);
    return makeTagOrder(index, 0);
}

KeyedSource* IndexedTable::keyedSource(const std::string& field) {
    for (const auto& source : sources_)
        if (source->field() == field) return source.get();
    if (!production_) return nullptr;
    const std::vector<TagInfo>& tags = production_->tags();
    for (size_t t = 0; t < tags.size(); ++t) {
        if (tags[t].kind != KeyKind::Character || !tags[t].ordersBy(field) ||
            !production_->hasExpression(static_cast<int>(t)))
            continue;
        sources_.push_back(std::make_unique<FieldSource>(production_.get(), field, tags[t].name));
        return sources_.back().get();
    }
    return nullptr;
}

void IndexedTable::setRefuseTakenKeys(bool refuse) {
    if (production_) production_->setRefuseTakenKeys(refuse);
}

uint32_t IndexedTable::keyTakenBy() const { return production_ ? production_->keyTakenBy() : 0; }

Status IndexedTable::buildTemporary(const std::string& expression, const std::string& name) {
    std::unique_ptr<ProductionIndex> index;
    if (options_.beforeMakeIndex) options_.beforeMakeIndex();
    Status status;
    {
        ProgressWindow window(progress());
        status = ProductionIndex::indexOnOne(table_, expression, name, window.hook(), &index);
    }
    if (options_.afterMakeIndex) options_.afterMakeIndex();
    if (!status.ok()) return status;
    temporary_ = std::move(index);
    return Status::OK();
}

Status IndexedTable::close() {
    if (table_ && table_->indexHook() == this) table_->setIndexHook(nullptr);
    sources_.clear();
    temporary_.reset();
    production_.reset();
    return Status::OK();
}

// The production index is prepared before the table writes; the temporary one (which takes the
// same semaphore file) only after the production index has finished, so that the two never wait
// for each other.
Status IndexedTable::prepareAppend(const uint8_t* record) {
    productionDone_ = false;
    return production_ ? production_->prepareAppend(record) : Status::OK();
}

Status IndexedTable::recordAppended(uint32_t recno, const uint8_t* record) {
    Status status = production_ ? production_->recordAppended(recno, record) : Status::OK();
    productionDone_ = status.ok();
    if (status.ok() && temporary_) status = temporary_->recordAppended(recno, record);
    return status;
}

Status IndexedTable::prepareRewrite(uint32_t recno, const uint8_t* oldRecord,
                                    const uint8_t* newRecord) {
    productionDone_ = false;
    return production_ ? production_->prepareRewrite(recno, oldRecord, newRecord) : Status::OK();
}

Status IndexedTable::recordRewritten(uint32_t recno, const uint8_t* oldRecord,
                                     const uint8_t* newRecord) {
    Status status =
        production_ ? production_->recordRewritten(recno, oldRecord, newRecord) : Status::OK();
    productionDone_ = status.ok();
    if (status.ok() && temporary_)
        status = temporary_->recordRewritten(recno, oldRecord, newRecord);
    return status;
}

Status IndexedTable::prepareTableWrite() {
    return production_ ? production_->prepareTableWrite() : Status::OK();
}

void IndexedTable::tableWritten() {
    if (production_) production_->tableWritten();
}

void IndexedTable::writeUndone() {
    if (temporary_) temporary_->writeUndone();
    if (!production_) return;
    // The production index took a change that the table has taken back since.
    if (productionDone_)
        (void)production_->markForRebuild();
    else
        production_->writeUndone();
    productionDone_ = false;
}

}  // namespace storage
