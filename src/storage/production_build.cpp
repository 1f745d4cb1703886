// Building a production or one-tag index: compiling the tags, writing the whole file from the
// table's keys, rebuilding it in place, and mending a damaged one from its own tag table.

#include <algorithm>
#include <cstring>

#include "coding.h"
#include "file_names.h"
#include "production_index.h"
#include "tag_keys.h"

namespace storage {

namespace {

struct CompiledTag {
    TagDefinition definition;
    std::unique_ptr<KeyExpression> expression;
};

Status compileTags(const DbfFile& table, const std::vector<IndexListEntry>& tags,
                   std::vector<CompiledTag>* out) {
    if (tags.size() > size_t(kMdxMaxTags))
        return Status::Error(kInvalidParameter, "Too many index tags [" + table.path() + "]");
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

// Writes a whole index file at `path` for `tags`; the caller holds the semaphore if needed.
Status buildFile(DbfFile* table, const std::string& path, bool production,
                 const std::vector<CompiledTag>& tags, const ProgressHook& progress,
                 std::unique_ptr<MdxFile>* out) {
    if (progress) progress("Indexing " + path + "...");
    Status s = table->refreshRecordCount();
    if (!s.ok()) return s;
    const TableCoverage coverage{table->recordCount(), table->lastStamp()};
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
    // The keys were read from the file as `coverage` saw it; a program that changed it since
    // changed its stamp too, so that the record does not hold.
    return MdxFile::create(std::move(file), baseNameOf(table->path()), production, definitions,
                           contents, out, previous, table->recordCount(),
                           coverage.table.known() ? &coverage : nullptr);
}

}  // namespace

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
    Status s = openFile(table, path, TreeCheck::AsRecorded, out);
    if (s.indexToRebuild()) s = buildUnlocked(table, path, true, tags, progress, out);
    if (!s.ok()) return s;
    return guard.release();
}

Status ProductionIndex::indexOnOne(DbfFile* table, const std::string& expression,
                                   const std::string& name, const ProgressHook& progress,
                                   std::unique_ptr<ProductionIndex>* out) {
    const std::string path = oneTagIndexPathFor(table->path(), name);
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

Status ProductionIndex::addTags(const std::vector<IndexListEntry>& tags,
                                const ProgressHook& progress) {
    // Usually the tags as read at opening hold them already: then the index is not locked again.
    const auto present = [&](const IndexListEntry& tag) {
        return findTag(tag.name.substr(0, 10)) >= 0;
    };
    if (std::all_of(tags.begin(), tags.end(), present)) return Status::OK();
    SemaphoreGuard guard(semaphore(), "Index");
    if (!guard.status().ok()) return guard.status();
    // Another workstation may have added them meanwhile.
    Status s = mdx_->reload();
    if (s.ok()) s = compileExpressions();
    if (!s.ok()) return s;
    std::vector<IndexListEntry> missing;
    for (const IndexListEntry& tag : tags)
        if (!present(tag)) missing.push_back(tag);
    if (missing.empty()) return guard.release();
    s = rebuildLocked(progress, missing);
    if (!s.ok()) return s;
    return guard.release();
}

Status ProductionIndex::rebuildLocked(const ProgressHook& progress,
                                      const std::vector<IndexListEntry>& extra) {
    std::vector<IndexListEntry> entries;
    for (const TagInfo& tag : mdx_->tags())
        entries.push_back({tag.name, tag.descending, tag.unique, tag.expression, {}});
    entries.insert(entries.end(), extra.begin(), extra.end());
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
    if (!env->fileExists(path)) return Status::Error(kFileNotFound, path + " [OpenMDX]");
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
    const uint32_t count = getU16(header.data() + 28);
    if (count == 0 || count > uint32_t(kMdxMaxTags)) return damaged("no readable tag table");
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* entry = header.data() + 512 + 32 * (i + 1);
        const uint32_t page = getU32(entry);
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
    Status s = openFile(table, path, TreeCheck::Whole, out);
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
    } else if (s.ok() && table->access() == Access::ReadWrite && (*out)->changedBehind()) {
        s = (*out)->rebuildLocked(progress);
    }
    if (!s.ok()) return s;
    return guard.release();
}

}  // namespace storage
