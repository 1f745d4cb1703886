// Opening a production or one-tag index as found, reading it and seeking in its tags.

#include "production_index.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "file_names.h"
#include "mdx_check.h"

namespace storage {

ProductionIndex::ProductionIndex(DbfFile* table, std::unique_ptr<MdxFile> mdx)
    : table_(table), mdx_(std::move(mdx)), semaphore_(table->env(), table->path()) {}

ProductionIndex::~ProductionIndex() = default;

std::string ProductionIndex::pathFor(Env* env, const std::string& tablePath) {
    return env->resolvePath(indexPathFor(tablePath));
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

Status ProductionIndex::openFile(DbfFile* table, const std::string& path, TreeCheck check,
                                 std::unique_ptr<ProductionIndex>* out) {
    Env* env = table->env();
    if (!env->fileExists(path)) return Status::Error(kFileNotFound, path + " [OpenMDX]");
    std::unique_ptr<File> file;
    Status s = env->openFile(path, table->access(), Share::Shared, &file);
    if (!s.ok()) return s;
    std::unique_ptr<MdxFile> mdx;
    s = MdxFile::open(std::move(file), &mdx);
    if (!s.ok()) return s;
    std::unique_ptr<ProductionIndex> index(new ProductionIndex(table, std::move(mdx)));
    index->strict_ = check != TreeCheck::None;
    s = index->compileExpressions();
    if (!s.ok()) return s;
    if (check != TreeCheck::None) {
        // Checked opens hold the semaphore (or the table exclusively): an update in progress
        // now is one that was cut short.
        MdxFile* mdx = index->mdx_.get();
        if (mdx->updateInterrupted()) return mdx->corrupted("an update of the index was cut short");
        s = table->refreshRecordCount();
        if (!s.ok()) return s;
        if (check == TreeCheck::Whole || !mdx->checkedAsIs(table->recordCount())) {
            s = checkAllTags(mdx, table->recordCount());
            if (!s.ok()) return s;
            // Recorded, so that the next opening need not walk the trees again; failing to
            // record it (a full disk) costs only that walk.
            if (table->access() == Access::ReadWrite) (void)mdx->markChecked(table->recordCount());
        }
    }
    *out = std::move(index);
    return Status::OK();
}

Status ProductionIndex::open(DbfFile* table, const std::string& path,
                             std::unique_ptr<ProductionIndex>* out, bool strict) {
    out->reset();
    if (!strict) return openFile(table, path, TreeCheck::None, out);
    IndexSemaphore semaphore(table->env(), table->path());
    SemaphoreGuard guard(table->share() == Share::Shared ? &semaphore : nullptr, "Open");
    if (!guard.status().ok()) return guard.status();
    return openFile(table, path, TreeCheck::AsRecorded, out);
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
    cursor->setMender([this](bool damaged) { return mend(damaged); });
    return cursor;
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

}  // namespace storage

namespace storage {

Status ProductionIndex::keyedRecords(int tag, std::string_view prefix,
                                     std::vector<uint32_t>* recnos, bool* all, FileStamp* asOf) {
    recnos->clear();
    *all = false;
    const TagInfo& info = tags().at(tag);
    Status s;
    auto everyRecord = [&] {
        *all = true;
        recnos->clear();
        return table_->stat(asOf);
    };
    if (prefix.empty() || prefix.size() > info.keyLength || info.kind != KeyKind::Character)
        return everyRecord();
    bool broughtUpToDate = false;
    bool reloaded = false;
    for (int attempt = 0; attempt < 4; ++attempt) {
        uint32_t covered = 0;
        s = mdx_->reloadRoots();
        if (!s.ok() && !reloaded) {
            // Rebuilt by another workstation since it was read: read it afresh.
            reloaded = true;
            s = reload();
        }
        if (s.ok()) s = table_->stat(asOf);
        if (!s.ok() || !mdx_->covers(*asOf, &covered)) {
            // A file system that keeps no modification times cannot show changes behind the
            // index's back: nothing is gained by a rebuild there.
            if (broughtUpToDate || !production_ || table_->access() != Access::ReadWrite ||
                !asOf->known())
                return everyRecord();
            broughtUpToDate = true;
            s = bringUpToDate();
            if (!s.ok()) return s;
            continue;
        }
        // The tags as they stand at this counter list the file as it is now.
        const uint32_t counter = mdx_->updateCounter();
        s = listPrefix(tag, prefix, recnos);
        if (s.code() == kCorruptedIndex) {
            if (broughtUpToDate || table_->access() != Access::ReadWrite) return everyRecord();
            // Under the semaphore, a whole walk confirms the damage before the rebuild.
            broughtUpToDate = true;
            SemaphoreGuard guard(semaphore(), "Read");
            if (!guard.status().ok()) return guard.status();
            s = mend(true);
            if (!s.ok()) return s;
            s = guard.release();
            if (!s.ok()) return s;
            continue;
        }
        uint32_t after = 0;
        if (s.ok()) s = mdx_->readCounter(&after);
        if (!s.ok()) return s;
        if (after != counter) continue;  // another workstation changed the tags meanwhile
        const uint32_t records = table_->recordsInSize(asOf->size);
        for (uint32_t recno = covered + 1; recno <= records; ++recno) recnos->push_back(recno);
        std::sort(recnos->begin(), recnos->end());
        recnos->erase(std::unique(recnos->begin(), recnos->end()), recnos->end());
        while (!recnos->empty() && recnos->back() > records) recnos->pop_back();
        return Status::OK();
    }
    return everyRecord();
}

Status ProductionIndex::listPrefix(int tag, std::string_view prefix,
                                   std::vector<uint32_t>* recnos) {
    recnos->clear();
    std::unique_ptr<TagCursor> walk = cursor(tag);
    const TagInfo& info = tags().at(tag);
    const auto* bytes = reinterpret_cast<const uint8_t*>(prefix.data());
    bool found = false;
    Status s = walk->seekFrom(bytes, prefix.size(), &found);
    while (s.ok() && found && std::memcmp(walk->key(), bytes, prefix.size()) == 0) {
        recnos->push_back(walk->recno());
        s = walk->next(&found);
    }
    if (!s.ok() || !found) return s;
    // The entry that ends the run must not be followed by a smaller key: a key damaged in place
    // would end the run early, or hide it, unseen by the reads.
    const std::vector<uint8_t> ending(walk->key(), walk->key() + info.keyLength);
    s = walk->next(&found);
    if (s.ok() && found && compareKeys(info.kind, walk->key(), ending.data(), info.keyLength) < 0)
        return mdx_->corrupted("keys out of order in tag " + info.name);
    return s;
}

Status ProductionIndex::bringUpToDate() {
    SemaphoreGuard guard(semaphore(), "Read");
    if (!guard.status().ok()) return guard.status();
    Status s = mdx_->reload();
    if (s.ok()) s = compileExpressions();
    if (s.ok() && !coverageHolds()) {
        // Another program changed the table without keeping the index (or an update was cut
        // short): the keys of every record are read again.
        s = rebuildLocked(nullptr);
    } else if (s.code() == kCorruptedIndex && !mdx_->tags().empty()) {
        s = rebuildLocked(nullptr);
    }
    if (!s.ok()) return s;
    return guard.release();
}

}  // namespace storage
