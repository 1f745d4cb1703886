#include "production_index.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <numeric>

#include "mdx_check.h"
#include "tag_writer.h"

namespace storage {

namespace {

constexpr uint32_t kRecordsPerRead = 2048;

std::string directoryOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string withExtension(const std::string& path, const std::string& extension) {
    const size_t slash = path.find_last_of("/\\");
    const size_t dot = path.rfind('.');
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? path.substr(0, dot) : path) + "." + extension;
}

std::string baseNameOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

bool rebuildable(int code) {
    return code == 2 || code == kCorruptedIndex || code == kIndexVersionMismatch;
}

struct CompiledTag {
    TagDefinition definition;
    std::unique_ptr<KeyExpression> expression;
};

Status compileTags(const DbfFile& table, const std::vector<IndexListEntry>& tags,
                   std::vector<CompiledTag>* out) {
    if (tags.size() > size_t(kMdxMaxTags))
        return Status::Error(220, "Too many index tags [" + table.path() + "]");
    for (const IndexListEntry& entry : tags) {
        CompiledTag tag;
        Status s = KeyExpression::compile(entry.expression, table.fields(), &tag.expression);
        if (!s.ok()) return s;
        tag.definition.name = entry.name.substr(0, 10);
        tag.definition.expression = entry.expression;
        tag.definition.keyType = tag.expression->keyType();
        tag.definition.keyLength = tag.expression->keyLength();
        tag.definition.descending = entry.descending;
        tag.definition.unique = entry.unique;
        out->push_back(std::move(tag));
    }
    return Status::OK();
}

// Record order of the sorted entries of one tag. Unique tags keep the first record of a key, or
// rather its first live record when `deleted` (by record index) says which are deleted: a matter
// deleted and created again must be found under its name.
std::vector<uint32_t> sortedOrder(const TagDefinition& definition, const std::vector<uint8_t>& keys,
                                  uint32_t count, const std::vector<bool>& deleted = {}) {
    std::vector<uint32_t> order(count);
    std::iota(order.begin(), order.end(), 0u);
    const uint16_t length = definition.keyLength;
    const uint8_t* base = keys.data();
    const bool descending = definition.descending;
    if (definition.keyType == 'C') {
        std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
            int c = std::memcmp(base + size_t(a) * length, base + size_t(b) * length, length);
            if (descending) c = -c;
            return c != 0 ? c < 0 : a < b;
        });
    } else {
        std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
            int c = compareKeys(KeyKind::Double, base + size_t(a) * length,
                                base + size_t(b) * length, length);
            if (descending) c = -c;
            return c != 0 ? c < 0 : a < b;
        });
    }
    if (definition.unique && !order.empty()) {
        const KeyKind kind = definition.keyType == 'C' ? KeyKind::Character : KeyKind::Double;
        size_t kept = 1;
        for (size_t i = 1; i < order.size(); ++i) {
            if (compareKeys(kind, base + size_t(order[kept - 1]) * length,
                            base + size_t(order[i]) * length, length) != 0) {
                order[kept++] = order[i];
            } else if (!deleted.empty() && deleted[order[kept - 1]] && !deleted[order[i]]) {
                order[kept - 1] = order[i];
            }
        }
        order.resize(kept);
    }
    return order;
}

// The deletion flag of every record, by record index.
Status deletionFlags(DbfFile* table, std::vector<bool>* deleted) {
    const uint32_t records = table->recordCount();
    const uint16_t recordLength = table->recordLength();
    std::vector<uint8_t> buffer(size_t(kRecordsPerRead) * recordLength);
    deleted->clear();
    while (deleted->size() < records) {
        const uint32_t done = static_cast<uint32_t>(deleted->size());
        uint32_t got = 0;
        Status s = table->readRecords(done + 1, std::min(kRecordsPerRead, records - done),
                                      buffer.data(), &got);
        if (!s.ok()) return s;
        if (got == 0) break;
        for (uint32_t i = 0; i < got; ++i)
            deleted->push_back(buffer[size_t(i) * recordLength] == '*');
    }
    return Status::OK();
}

// Writes a whole index file at `path` for `tags`; the caller holds the semaphore if needed.
Status buildFile(DbfFile* table, const std::string& path, bool production,
                 const std::vector<CompiledTag>& tags, const ProgressHook& progress,
                 std::unique_ptr<MdxFile>* out) {
    if (progress) progress("Indexing " + path + "...");
    Status s = table->refreshRecordCount();
    if (!s.ok()) return s;
    std::vector<std::vector<uint8_t>> keys(tags.size());
    std::vector<std::vector<uint32_t>> orders(tags.size());
    std::vector<MdxFile::TagContents> contents(tags.size());
    std::vector<TagDefinition> definitions;
    std::vector<bool> deleted;
    for (const CompiledTag& tag : tags) {
        if (tag.definition.unique && deleted.empty()) {
            s = deletionFlags(table, &deleted);
            if (!s.ok()) return s;
        }
    }
    for (size_t t = 0; t < tags.size(); ++t) {
        uint32_t count = 0;
        s = tableKeys(table, *tags[t].expression, &keys[t], &count);
        if (!s.ok()) return s;
        orders[t] = sortedOrder(tags[t].definition, keys[t], count,
                                deleted.size() == count ? deleted : std::vector<bool>());
        contents[t] = {keys[t].data(), orders[t].data(), orders[t].size()};
        definitions.push_back(tags[t].definition);
    }
    const uint32_t previous = MdxFile::storedCounter(table->env(), path);
    std::unique_ptr<File> file;
    s = table->env()->createFile(path, &file);
    if (!s.ok()) return s;
    return MdxFile::create(std::move(file), baseNameOf(table->path()), production, definitions,
                           contents, out, previous);
}

}  // namespace

Status tableKeys(DbfFile* table, const KeyExpression& expression, std::vector<uint8_t>* keys,
                 uint32_t* count) {
    const uint32_t records = table->recordCount();
    const uint16_t length = expression.keyLength();
    const uint16_t recordLength = table->recordLength();
    keys->resize(size_t(records) * length);
    std::vector<uint8_t> buffer(size_t(kRecordsPerRead) * recordLength);
    uint32_t done = 0;
    while (done < records) {
        uint32_t got = 0;
        Status s = table->readRecords(done + 1, std::min(kRecordsPerRead, records - done),
                                      buffer.data(), &got);
        if (!s.ok()) return s;
        if (got == 0) break;
        for (uint32_t i = 0; i < got; ++i)
            expression.evaluate(buffer.data() + size_t(i) * recordLength, done + i + 1,
                                keys->data() + size_t(done + i) * length);
        done += got;
    }
    keys->resize(size_t(done) * length);
    *count = done;
    return Status::OK();
}

ProductionIndex::ProductionIndex(DbfFile* table, std::unique_ptr<MdxFile> mdx)
    : table_(table), mdx_(std::move(mdx)), semaphore_(table->env(), table->path()) {}

ProductionIndex::~ProductionIndex() = default;

std::string ProductionIndex::pathFor(Env* env, const std::string& tablePath) {
    return env->resolvePath(withExtension(tablePath, "MDX"));
}

Status ProductionIndex::compileExpressions() {
    std::vector<std::unique_ptr<KeyExpression>> expressions;
    for (const TagInfo& tag : mdx_->tags()) {
        std::unique_ptr<KeyExpression> expression;
        Status s = KeyExpression::compile(tag.expression, table_->fields(), &expression);
        if (!s.ok()) {
            if (!strict_) {
                expressions.emplace_back();
                continue;
            }
            return Status::Error(kIndexVersionMismatch,
                                 path() + ": " + s.context() + " (tag " + tag.name + ")");
        }
        const bool fits = expression->keyLength() == tag.keyLength &&
                          (expression->keyType() == 'C') == (tag.kind == KeyKind::Character) &&
                          tag.kind != KeyKind::Bcd;
        if (!fits) {
            if (!strict_) {
                expressions.emplace_back();
                continue;
            }
            return Status::Error(kIndexVersionMismatch, path() + ": key of tag " + tag.name +
                                                            " does not match its expression [MDX]");
        }
        expressions.push_back(std::move(expression));
    }
    expressions_ = std::move(expressions);
    return Status::OK();
}

Status ProductionIndex::openFile(DbfFile* table, const std::string& path, bool check,
                                 std::unique_ptr<ProductionIndex>* out) {
    Env* env = table->env();
    if (!env->fileExists(path)) return Status::Error(2, path + " [OpenMDX]");
    std::unique_ptr<File> file;
    Status s = env->openFile(path, table->access(), Share::Shared, &file);
    if (!s.ok()) return s;
    std::unique_ptr<MdxFile> mdx;
    s = MdxFile::open(std::move(file), &mdx);
    if (!s.ok()) return s;
    std::unique_ptr<ProductionIndex> index(new ProductionIndex(table, std::move(mdx)));
    index->strict_ = check;
    s = index->compileExpressions();
    if (!s.ok()) return s;
    if (check) {
        // Checked opens hold the semaphore (or the table exclusively): an update in progress
        // now is one that was cut short.
        if (index->mdx_->updateInterrupted())
            return index->mdx_->corrupted("an update of the index was cut short");
        s = table->refreshRecordCount();
        if (!s.ok()) return s;
        s = checkAllTags(index->mdx_.get(), table->recordCount());
        if (!s.ok()) return s;
    }
    *out = std::move(index);
    return Status::OK();
}

Status ProductionIndex::open(DbfFile* table, const std::string& path,
                             std::unique_ptr<ProductionIndex>* out, bool strict) {
    out->reset();
    if (!strict) return openFile(table, path, false, out);
    IndexSemaphore semaphore(table->env(), table->path());
    SemaphoreGuard guard(table->share() == Share::Shared ? &semaphore : nullptr, "Open");
    if (!guard.status().ok()) return guard.status();
    return openFile(table, path, true, out);
}

Status ProductionIndex::build(DbfFile* table, const std::string& path, bool production,
                              const std::vector<IndexListEntry>& tags, const ProgressHook& progress,
                              std::unique_ptr<ProductionIndex>* out) {
    out->reset();
    IndexSemaphore semaphore(table->env(), table->path());
    SemaphoreGuard guard(table->share() == Share::Shared ? &semaphore : nullptr, "Index");
    if (!guard.status().ok()) return guard.status();
    Status s = buildUnlocked(table, path, production, tags, progress, out);
    if (!s.ok()) return s;
    return guard.release();
}

Status ProductionIndex::buildUnlocked(DbfFile* table, const std::string& path, bool production,
                                      const std::vector<IndexListEntry>& tags,
                                      const ProgressHook& progress,
                                      std::unique_ptr<ProductionIndex>* out) {
    std::vector<CompiledTag> compiled;
    Status s = compileTags(*table, tags, &compiled);
    if (!s.ok()) return s;
    std::unique_ptr<MdxFile> mdx;
    s = buildFile(table, path, production, compiled, progress, &mdx);
    if (!s.ok()) return s;
    std::unique_ptr<ProductionIndex> index(new ProductionIndex(table, std::move(mdx)));
    index->production_ = production;
    for (CompiledTag& tag : compiled) index->expressions_.push_back(std::move(tag.expression));
    *out = std::move(index);
    return Status::OK();
}

Status ProductionIndex::openOrBuild(DbfFile* table, const std::vector<IndexListEntry>& tags,
                                    const ProgressHook& progress,
                                    std::unique_ptr<ProductionIndex>* out) {
    out->reset();
    if (table->access() == Access::ReadWrite && !table->productionIndexFlag()) {
        Status s = table->setProductionIndexFlag(true);
        if (!s.ok()) return s;
    }
    const std::string path = pathFor(table->env(), table->path());
    // One hold of the semaphore for the check and the rebuild, so that no other workstation
    // changes the file between them.
    IndexSemaphore semaphore(table->env(), table->path());
    SemaphoreGuard guard(table->share() == Share::Shared ? &semaphore : nullptr, "Open");
    if (!guard.status().ok()) return guard.status();
    Status s = openFile(table, path, true, out);
    if (!s.ok() && rebuildable(s.code())) s = buildUnlocked(table, path, true, tags, progress, out);
    if (!s.ok()) return s;
    return guard.release();
}

Status ProductionIndex::indexOnOne(DbfFile* table, const std::string& expression,
                                   const std::string& name, const ProgressHook& progress,
                                   std::unique_ptr<ProductionIndex>* out) {
    std::string path = withExtension(name, "MDX");
    if (path.find_first_of("/\\") == std::string::npos) path = directoryOf(table->path()) + path;
    IndexListEntry tag;
    tag.name = "dummy_tag";
    tag.expression = expression;
    return build(table, table->env()->resolvePath(path), false, {tag}, progress, out);
}

Status ProductionIndex::rebuild(const ProgressHook& progress) {
    SemaphoreGuard guard(semaphore(), "Index");
    if (!guard.status().ok()) return guard.status();
    Status s = rebuildLocked(progress);
    if (!s.ok()) return s;
    return guard.release();
}

Status ProductionIndex::rebuildLocked(const ProgressHook& progress) {
    std::vector<IndexListEntry> entries;
    for (const TagInfo& tag : mdx_->tags())
        entries.push_back({tag.name, tag.descending, tag.unique, tag.expression, {}});
    std::vector<CompiledTag> compiled;
    Status s = compileTags(*table_, entries, &compiled);
    if (!s.ok()) return s;
    std::unique_ptr<MdxFile> mdx;
    s = buildFile(table_, path(), production_, compiled, progress, &mdx);
    if (!s.ok()) return s;
    // The same object, so that cursors and orders over it stay valid.
    mdx_->replaceWith(std::move(mdx));
    expressions_.clear();
    for (CompiledTag& tag : compiled) expressions_.push_back(std::move(tag.expression));
    return Status::OK();
}

Status ProductionIndex::readTagDefinitions(Env* env, const std::string& path,
                                           std::vector<IndexListEntry>* tags) {
    tags->clear();
    auto damaged = [&](const std::string& why) {
        return Status::Error(kCorruptedIndex, path + ": " + why + " [MDX]");
    };
    std::unique_ptr<File> file;
    if (!env->fileExists(path)) return Status::Error(2, path + " [OpenMDX]");
    Status s = env->openFile(path, Access::ReadOnly, Share::Shared, &file);
    if (!s.ok()) return s;
    uint64_t size = 0;
    s = file->size(&size);
    if (!s.ok()) return s;
    std::vector<uint8_t> header(kMdxFirstTagPage * kMdxPageSize);
    size_t got = 0;
    s = file->read(0, header.data(), header.size(), &got);
    if (!s.ok()) return s;
    if (got != header.size()) return damaged("shorter than its tag table");
    const uint32_t count = header[28] | uint32_t(header[29]) << 8;
    if (count == 0 || count > uint32_t(kMdxMaxTags)) return damaged("no readable tag table");
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* entry = header.data() + 512 + 32 * (i + 1);
        const uint32_t page = uint32_t(entry[0]) | uint32_t(entry[1]) << 8 |
                              uint32_t(entry[2]) << 16 | uint32_t(entry[3]) << 24;
        IndexListEntry tag;
        const char* name = reinterpret_cast<const char*>(entry + 4);
        tag.name.assign(name, strnlen(name, 11));
        if (tag.name.empty() || page < kMdxFirstTagPage ||
            (uint64_t(page) + kMdxPagesPerBlock) * kMdxPageSize > size)
            return damaged("tag entry " + std::to_string(i + 1) + " unreadable");
        uint8_t block[kMdxBlockSize];
        s = file->read(uint64_t(page) * kMdxPageSize, block, sizeof block, &got);
        if (!s.ok()) return s;
        if (got != sizeof block) return damaged("tag header of " + tag.name + " cut short");
        tag.descending = (block[8] & 0x08) != 0;
        tag.unique = (block[8] & 0x40) != 0 || block[23] != 0;
        const char* expression = reinterpret_cast<const char*>(block + 24);
        tag.expression.assign(expression, strnlen(expression, 220));
        if (tag.expression.empty()) return damaged("tag " + tag.name + " has no expression");
        tags->push_back(std::move(tag));
    }
    return Status::OK();
}

Status ProductionIndex::openOrRepair(DbfFile* table, const ProgressHook& progress,
                                     std::unique_ptr<ProductionIndex>* out) {
    out->reset();
    const std::string path = pathFor(table->env(), table->path());
    IndexSemaphore semaphore(table->env(), table->path());
    SemaphoreGuard guard(table->share() == Share::Shared ? &semaphore : nullptr, "Open");
    if (!guard.status().ok()) return guard.status();
    Status s = openFile(table, path, true, out);
    if (!s.ok() && s.code() == kCorruptedIndex && table->access() == Access::ReadWrite) {
        std::vector<IndexListEntry> tags;
        if (!readTagDefinitions(table->env(), path, &tags).ok()) return s;
        bool production = true;
        {
            uint8_t flag = 1;
            std::unique_ptr<File> file;
            size_t got = 0;
            if (table->env()->openFile(path, Access::ReadOnly, Share::Shared, &file).ok() &&
                file->read(24, &flag, 1, &got).ok() && got == 1)
                production = flag != 0;
        }
        s = buildUnlocked(table, path, production, tags, progress, out);
    }
    if (!s.ok()) return s;
    return guard.release();
}

Status ProductionIndex::reload() {
    SemaphoreGuard guard(semaphore(), "Read");
    if (!guard.status().ok()) return guard.status();
    Status s = mdx_->reload();
    if (!s.ok()) return s;
    return compileExpressions();
}

Status ProductionIndex::requireExpressions() const {
    for (size_t t = 0; t < expressions_.size(); ++t)
        if (!expressions_[t])
            return Status::Error(kIndexVersionMismatch, path() + ": tag " + mdx_->tags()[t].name +
                                                            " does not fit the table [MDX]");
    return Status::OK();
}

std::unique_ptr<TagCursor> ProductionIndex::cursor(int tag) {
    auto cursor = std::make_unique<TagCursor>(mdx_.get(), tag);
    cursor->setSemaphore(semaphore());
    cursor->setMender([this] { return mendInterrupted(); });
    return cursor;
}

Status ProductionIndex::mendInterrupted() {
    if (table_->access() != Access::ReadWrite) return Status::OK();
    Status s = mdx_->reload();
    if (s.ok() && !mdx_->updateInterrupted()) return compileExpressions();
    if (!s.ok() && s.code() != kCorruptedIndex) return s;
    return rebuildLocked(nullptr);
}

bool ProductionIndex::seekKey(int tag, std::string_view value, bool exact,
                              std::vector<uint8_t>* key) const {
    const TagInfo& info = mdx_->tags().at(tag);
    key->clear();
    if (info.kind == KeyKind::Character) {
        if (exact) {
            while (!value.empty() && value.back() == ' ') value.remove_suffix(1);
            if (value.size() > info.keyLength) return false;
            key->assign(info.keyLength, ' ');
        } else {
            if (value.empty() || value.size() > info.keyLength) return false;
            key->resize(value.size());
        }
        std::memcpy(key->data(), value.data(), value.size());
        return true;
    }
    if (info.kind != KeyKind::Double) return false;
    const std::string text(value);
    double number = 0.0;
    if (info.keyType == 'D') {
        if (text.size() != 8) return false;
        number = julianDayOfDigits(reinterpret_cast<const uint8_t*>(text.data()));
    } else {
        char* end = nullptr;
        number = std::strtod(text.c_str(), &end);
        if (text.empty() || *end != 0) return false;
    }
    key->resize(8);
    encodeNumericKey(number, key->data());
    return true;
}

Status ProductionIndex::seek(TagCursor* cursor, std::string_view value, bool exact, bool* found) {
    *found = false;
    const int tag = findTag(cursor->tag().name);
    std::vector<uint8_t> key;
    if (tag < 0 || !seekKey(tag, value, exact, &key)) return Status::OK();
    auto attempt = [&] {
        return exact ? cursor->seekExact(key.data(), found)
                     : cursor->seekPrefix(key.data(), key.size(), found);
    };
    // The cursor itself repeats reads that a concurrent writer disturbed; what is left is a
    // file rebuilt by another workstation since it was opened.
    Status s = attempt();
    if (s.ok() || table_->share() != Share::Shared) return s;
    s = reload();
    if (!s.ok()) return s;
    return attempt();
}

Status ProductionIndex::reloadAndMend() {
    if (semaphore()) {
        Status s = mdx_->reload();
        if (s.ok()) s = compileExpressions();
        // A file left cut short or half-written (a write that failed, a rebuild that could not
        // finish) is rebuilt from the tags known from before.
        if (s.code() == kCorruptedIndex && !mdx_->tags().empty()) return rebuildLocked(nullptr);
        if (!s.ok()) return s;
    }
    if (mdx_->updateInterrupted()) return rebuildLocked(nullptr);
    return Status::OK();
}

Status ProductionIndex::beginUpdate(const char* operation) {
    if (IndexSemaphore* held = semaphore()) {
        Status s = held->lock(operation);
        if (!s.ok()) return s;
    }
    Status s = reloadAndMend();
    if (s.ok()) s = requireExpressions();
    if (s.ok()) s = mdx_->beginUpdate();
    if (!s.ok()) {
        if (semaphore()) semaphore()->unlock();
        return s;
    }
    prepared_ = true;
    touched_ = false;
    mdx_->startTracking();
    return Status::OK();
}

Status ProductionIndex::prepareAppend() {
    if (prepared_) return Status::OK();
    if (Status s = requireExpressions(); !s.ok()) return s;
    return beginUpdate("Append");
}

Status ProductionIndex::applyAppend(uint32_t recno, const uint8_t* record) {
    if (!prepared_) {
        Status s = prepareAppend();
        if (!s.ok()) return s;
    }
    touched_ = true;
    uint8_t key[kMdxMaxKeyLength];
    for (size_t t = 0; t < expressions_.size(); ++t) {
        expressions_[t]->evaluate(record, recno, key);
        if (mdx_->tags()[t].unique) {
            Status s = releaseDeletedHolder(static_cast<int>(t), key);
            if (!s.ok()) return s;
        }
        bool added = false;
        Status s = TagWriter(mdx_.get(), static_cast<int>(t)).insert(key, recno, &added);
        if (!s.ok()) return s;
    }
    return Status::OK();
}

Status ProductionIndex::finishUpdate() {
    if (!prepared_) return Status::OK();
    // The trees are whole now. Should clearing the mark fail (a full disk), the change still
    // stands; the mark only costs a needless rebuild at the next update or open.
    (void)mdx_->endUpdate();
    prepared_ = false;
    touched_ = false;
    if (semaphore()) return semaphore()->unlock();
    return Status::OK();
}

Status ProductionIndex::recordAppended(uint32_t recno, const uint8_t* record) {
    Status s = applyAppend(recno, record);
    if (s.ok()) s = finishUpdate();
    return s;
}

void ProductionIndex::writeUndone() {
    if (!prepared_) return;
    // Trees that took part of the change keep the mark: the next update or open rebuilds them,
    // once there is room for it (rebuilding now, on a full disk, could only make it worse).
    if (!touched_ || !mdx_->changedExisting()) (void)mdx_->endUpdate();
    prepared_ = false;
    touched_ = false;
    if (semaphore()) (void)semaphore()->unlock();
}

Status ProductionIndex::markForRebuild() {
    SemaphoreGuard guard(semaphore(), "Replace");
    if (!guard.status().ok()) return guard.status();
    Status s = mdx_->beginUpdate();
    if (!s.ok()) return s;
    return guard.release();
}

Status ProductionIndex::releaseDeletedHolder(int tag, const uint8_t* key) {
    TagCursor cursor(mdx_.get(), tag);
    bool found = false;
    Status s = cursor.seekExact(key, &found);
    if (!s.ok() || !found) return s;
    const uint32_t holder = cursor.recno();
    std::vector<uint8_t> record(table_->recordLength());
    s = table_->readRecord(holder, record.data());
    if (!s.ok() || record[0] != '*') return s;
    bool removed = false;
    return TagWriter(mdx_.get(), tag).remove(key, holder, &removed);
}

bool ProductionIndex::keysChange(uint32_t recno, const uint8_t* oldRecord,
                                 const uint8_t* newRecord) {
    uint8_t oldKey[kMdxMaxKeyLength], newKey[kMdxMaxKeyLength];
    for (const auto& expression : expressions_) {
        expression->evaluate(oldRecord, recno, oldKey);
        expression->evaluate(newRecord, recno, newKey);
        if (std::memcmp(oldKey, newKey, expression->keyLength()) != 0) return true;
    }
    return false;
}

Status ProductionIndex::prepareRewrite(uint32_t recno, const uint8_t* oldRecord,
                                       const uint8_t* newRecord) {
    if (prepared_) return Status::OK();
    // Most rewrites leave every key as it was: nothing to take or mark for them.
    if (Status s = requireExpressions(); !s.ok()) return s;
    if (!keysChange(recno, oldRecord, newRecord)) return Status::OK();
    return beginUpdate("Replace");
}

Status ProductionIndex::applyRewrite(uint32_t recno, const uint8_t* oldRecord,
                                     const uint8_t* newRecord) {
    if (!prepared_) {
        Status s = prepareRewrite(recno, oldRecord, newRecord);
        if (!s.ok() || !prepared_) return s;
    }
    touched_ = true;
    uint8_t oldKey[kMdxMaxKeyLength], newKey[kMdxMaxKeyLength];
    for (size_t t = 0; t < expressions_.size(); ++t) {
        const KeyExpression& expression = *expressions_[t];
        expression.evaluate(oldRecord, recno, oldKey);
        expression.evaluate(newRecord, recno, newKey);
        if (std::memcmp(oldKey, newKey, expression.keyLength()) == 0) continue;
        TagWriter writer(mdx_.get(), static_cast<int>(t));
        bool done = false;
        Status s = writer.remove(oldKey, recno, &done);
        if (s.ok()) s = writer.insert(newKey, recno, &done);
        if (!s.ok()) return s;
    }
    return Status::OK();
}

Status ProductionIndex::recordRewritten(uint32_t recno, const uint8_t* oldRecord,
                                        const uint8_t* newRecord) {
    Status s = applyRewrite(recno, oldRecord, newRecord);
    if (s.ok()) s = finishUpdate();
    return s;
}

Status ProductionIndex::verify(std::vector<std::string>* problems) {
    SemaphoreGuard guard(semaphore(), "Check");
    if (!guard.status().ok()) return guard.status();
    Status s = mdx_->reload();
    if (s.ok()) s = compileExpressions();
    if (s.ok()) s = table_->refreshRecordCount();
    if (!s.ok()) return s;
    const uint32_t records = table_->recordCount();
    if (s = requireExpressions(); !s.ok()) problems->push_back(s.context());
    if (mdx_->updateInterrupted())
        problems->push_back("an update of the index was cut short; it is rebuilt at the next open");

    for (size_t t = 0; t < mdx_->tags().size(); ++t) {
        const TagInfo& tag = mdx_->tags()[t];
        const std::string where = "tag " + tag.name + ": ";
        s = checkTag(mdx_.get(), static_cast<int>(t), records);
        if (!s.ok()) {
            problems->push_back(where + s.context());
            continue;
        }
        if (!expressions_[t]) continue;
        std::vector<uint8_t> keys;
        uint32_t count = 0;
        s = tableKeys(table_, *expressions_[t], &keys, &count);
        if (!s.ok()) return s;
        const uint16_t length = tag.keyLength;
        TagDefinition definition{tag.name, tag.expression, tag.keyType,
                                 length,   tag.descending, tag.unique};
        const std::vector<uint32_t> expected = sortedOrder(definition, keys, count);

        std::vector<uint8_t> seen(count, 0);
        size_t position = 0;
        TagCursor cursor(mdx_.get(), static_cast<int>(t));
        bool found = false;
        for (s = cursor.first(&found); s.ok() && found; s = cursor.next(&found), ++position) {
            const uint32_t recno = cursor.recno();
            if (recno == 0 || recno > count) {
                problems->push_back(where + "record " + std::to_string(recno) +
                                    " not in the table");
                continue;
            }
            if (std::memcmp(cursor.key(), keys.data() + size_t(recno - 1) * length, length) != 0)
                problems->push_back(where + "key of record " + std::to_string(recno) +
                                    " differs from the record");
            if (seen[recno - 1]++)
                problems->push_back(where + "record " + std::to_string(recno) + " listed twice");
            // Unique tags may hold another record of a key than a rebuild would; compare keys.
            if (position < expected.size() &&
                std::memcmp(cursor.key(), keys.data() + size_t(expected[position]) * length,
                            length) != 0 &&
                problems->size() < 100)
                problems->push_back(where + "entry " + std::to_string(position + 1) +
                                    " is not the key expected there");
        }
        if (!s.ok()) {
            problems->push_back(where + s.context());
            continue;
        }
        if (position != expected.size())
            problems->push_back(where + std::to_string(position) + " entries, expected " +
                                std::to_string(expected.size()));
        if (!tag.unique) {
            for (uint32_t r = 0; r < count; ++r)
                if (!seen[r])
                    problems->push_back(where + "record " + std::to_string(r + 1) + " missing");
        }
    }
    return guard.release();
}

}  // namespace storage
