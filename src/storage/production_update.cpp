// The update bracket of a production index: each change of the table's records is prepared
// (semaphore taken, file reread and mended, index marked as being updated), applied to the
// trees, and finished (mark cleared, semaphore released) or undone.

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "mdx_check.h"
#include "production_index.h"
#include "tag_writer.h"

namespace storage {

Status ProductionIndex::mend(bool damaged) {
    if (table_->access() != Access::ReadWrite) return Status::OK();
    Status s = mdx_->reload();
    if (s.ok() && !mdx_->updateInterrupted()) {
        s = compileExpressions();
        if (!s.ok() || !damaged) return s;
        // Damage met by a read with nobody writing (the opening walks the trees only when the
        // file is not recorded as checked): rebuilt once a whole walk confirms it.
        s = table_->refreshRecordCount();
        if (!s.ok()) return s;
        s = checkAllTags(mdx_.get(), table_->recordCount());
        if (s.ok() || s.code() != kCorruptedIndex) return s;
    }
    if (!s.ok() && s.code() != kCorruptedIndex) return s;
    return rebuildLocked(nullptr);
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
    coveredAtBegin_ = s.ok() && coverageHolds();
    if (s.ok()) s = mdx_->beginUpdate(table_->recordCount());
    if (!s.ok()) {
        if (semaphore()) semaphore()->unlock();
        return s;
    }
    prepared_ = true;
    touched_ = false;
    mdx_->startTracking();
    return Status::OK();
}

Status ProductionIndex::prepareAppend(const uint8_t* record) {
    if (prepared_) return Status::OK();
    if (Status s = requireExpressions(); !s.ok()) return s;
    Status s = beginUpdate("Append");
    if (s.ok()) s = findHolders(record);
    if (!s.ok()) writeUndone();  // nothing was touched yet: the mark is cleared again
    return s;
}

Status ProductionIndex::findHolders(const uint8_t* record) {
    deletedHolders_.assign(expressions_.size(), 0);
    keyTakenBy_ = 0;
    uint8_t key[kMdxMaxKeyLength];
    std::vector<uint8_t> holder;
    for (size_t t = 0; t < expressions_.size(); ++t) {
        const TagInfo& tag = mdx_->tags()[t];
        if (!tag.unique) continue;
        // The record is appended as the next one after those the file holds now.
        expressions_[t]->evaluate(record, table_->recordCount() + 1, key);
        TagCursor cursor(mdx_.get(), static_cast<int>(t));
        bool found = false;
        Status s = cursor.seekExact(key, &found);
        if (!s.ok()) return s;
        if (!found) continue;
        const uint32_t recno = cursor.recno();
        holder.resize(table_->recordLength());
        s = table_->readRecord(recno, holder.data());
        if (!s.ok()) return s;
        if (holder[0] == '*') {
            deletedHolders_[t] = recno;
            continue;
        }
        const uint16_t length = expressions_[t]->keyLength();
        const bool blank = std::all_of(key, key + length, [](uint8_t c) { return c == ' '; });
        if (refuseTakenKeys_ && tag.kind == KeyKind::Character && !blank) {
            keyTakenBy_ = recno;
            return Status::Error(kKeyTaken, table_->path() + ": the key of tag " + tag.name +
                                                " is held by record #" + std::to_string(recno) +
                                                " [Append]");
        }
    }
    return Status::OK();
}

Status ProductionIndex::applyAppend(uint32_t recno, const uint8_t* record) {
    if (!prepared_) {
        Status s = prepareAppend(record);
        if (!s.ok()) return s;
    }
    touched_ = true;
    uint8_t key[kMdxMaxKeyLength];
    for (size_t t = 0; t < expressions_.size(); ++t) {
        expressions_[t]->evaluate(record, recno, key);
        if (t < deletedHolders_.size() && deletedHolders_[t] != 0) {
            bool removed = false;
            Status s = TagWriter(mdx_.get(), static_cast<int>(t))
                           .remove(key, deletedHolders_[t], &removed);
            if (!s.ok()) return s;
        }
        bool added = false;
        Status s = TagWriter(mdx_.get(), static_cast<int>(t)).insert(key, recno, &added);
        if (!s.ok()) return s;
    }
    deletedHolders_.clear();
    return Status::OK();
}

Status ProductionIndex::finishUpdate() {
    finishRestamp();
    if (!prepared_) return Status::OK();
    // The trees are whole now. Should clearing the mark fail (a full disk), the change still
    // stands; the mark only costs a needless rebuild at the next update or open. The tags cover
    // the file as it is now if they covered it before this change.
    TableCoverage coverage;
    const bool covered = coveredAtBegin_ && coverageNow(&coverage);
    (void)mdx_->endUpdate(table_->recordCount(), covered ? &coverage : nullptr);
    prepared_ = false;
    touched_ = false;
    if (semaphore()) return semaphore()->unlock();
    return Status::OK();
}

bool ProductionIndex::coverageHolds() {
    FileStamp now;
    uint32_t records = 0;
    return production_ && table_->stat(&now).ok() && mdx_->covers(now, &records);
}

bool ProductionIndex::changedBehind() {
    FileStamp now;
    return table_->stat(&now).ok() && now.known() && !coverageHolds();
}

bool ProductionIndex::coverageNow(TableCoverage* coverage) {
    if (!table_->stat(&coverage->table).ok()) return false;
    coverage->records = table_->recordsInSize(coverage->table.size);
    return true;
}

Status ProductionIndex::beginRestamp(const char* operation) {
    // Only the production index keeps a coverage record.
    if (!production_) return Status::OK();
    if (IndexSemaphore* held = semaphore()) {
        Status s = held->lock(operation);
        if (!s.ok()) return s;
    }
    Status s = mdx_->reloadState();
    if (!s.ok()) {
        if (semaphore()) semaphore()->unlock();
        return s;
    }
    coveredAtBegin_ = coverageHolds();
    restamping_ = true;
    return Status::OK();
}

void ProductionIndex::finishRestamp() {
    if (!restamping_) return;
    restamping_ = false;
    // A failure to record it only costs a rebuild when the file is next read by the key.
    TableCoverage coverage;
    if (coveredAtBegin_ && coverageNow(&coverage)) (void)mdx_->markCovered(coverage);
    if (semaphore()) (void)semaphore()->unlock();
}

Status ProductionIndex::prepareTableWrite() {
    if (prepared_ || restamping_) return Status::OK();
    return beginRestamp("Close");
}

void ProductionIndex::tableWritten() { finishRestamp(); }

Status ProductionIndex::recordAppended(uint32_t recno, const uint8_t* record) {
    Status s = applyAppend(recno, record);
    if (s.ok()) s = finishUpdate();
    return s;
}

void ProductionIndex::writeUndone() {
    if (restamping_) {
        // The file may have changed, or not: the coverage is left as it was, and holds only if
        // the file is as it was.
        restamping_ = false;
        if (semaphore()) (void)semaphore()->unlock();
        return;
    }
    if (!prepared_) return;
    // Trees that took part of the change keep the mark: the next update or open rebuilds them,
    // once there is room for it (rebuilding now, on a full disk, could only make it worse).
    if (!touched_ || !mdx_->changedExisting()) (void)mdx_->endUpdate(table_->recordCount());
    prepared_ = false;
    touched_ = false;
    if (semaphore()) (void)semaphore()->unlock();
}

Status ProductionIndex::markForRebuild() {
    SemaphoreGuard guard(semaphore(), "Replace");
    if (!guard.status().ok()) return guard.status();
    Status s = mdx_->beginUpdate(table_->recordCount());
    if (!s.ok()) return s;
    return guard.release();
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
    if (prepared_ || restamping_) return Status::OK();
    // Most rewrites leave every key as it was: nothing to mark for them, only the coverage to
    // keep in step.
    if (Status s = requireExpressions(); !s.ok()) return s;
    if (!keysChange(recno, oldRecord, newRecord)) return beginRestamp("Replace");
    return beginUpdate("Replace");
}

Status ProductionIndex::applyRewrite(uint32_t recno, const uint8_t* oldRecord,
                                     const uint8_t* newRecord) {
    if (!prepared_ && !restamping_) {
        Status s = prepareRewrite(recno, oldRecord, newRecord);
        if (!s.ok()) return s;
    }
    if (!prepared_) return Status::OK();
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

}  // namespace storage
