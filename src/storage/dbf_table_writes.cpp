// The writes of the table component under their locks: the post of an edit or a new record,
// laid onto what other workstations stored meanwhile, and the deletion.
#include <algorithm>
#include <cstring>

#include "dbf_file.h"
#include "dbf_table.h"
#include "indexed_table.h"
#include "record.h"
#include "record_merge.h"

namespace storage {

namespace {

// Releases a lock taken for one write unless it was held before; release() gives it back early.
class HeldLock {
  public:
    HeldLock(std::function<void()> unlock, bool heldBefore)
        : unlock_(heldBefore ? nullptr : std::move(unlock)) {}
    ~HeldLock() { release(); }
    HeldLock(const HeldLock&) = delete;
    HeldLock& operator=(const HeldLock&) = delete;
    void release() {
        if (unlock_) unlock_();
        unlock_ = nullptr;
    }

  private:
    std::function<void()> unlock_;
};

std::string fieldBytes(const FieldDescriptor& field, const uint8_t* record) {
    return std::string(reinterpret_cast<const char*>(record) + field.offset, field.width);
}

}  // namespace

bool TDbfFileDataSet::takeLock(const std::function<bool()>& lock, const LockFailedEvent& event,
                               const char* operation) {
    for (;;) {
        if (lock()) return true;
        bool retry = false;
        if (event) event(*this, retry);
        if (!retry) {
            showMessage(std::string("Lock failed [") + operation + "]");
            return false;
        }
    }
}

void TDbfFileDataSet::writeMemos(bool inserting) {
    const auto& fields = descriptors();
    for (int i = 0; i < static_cast<int>(fields.size()); ++i) {
        if (!isMemoType(fields[i].type)) continue;
        if (memoChanged(i)) {
            check(file_->writeMemo(buffer(), i, *pendingMemo(i)));
        } else if (inserting) {
            setMemoBlock(fields[i], buffer(), 0);
        }
    }
}

bool TDbfFileDataSet::replaceTheirs(const std::vector<int>& fields) {
    if (OnPostConflict) return OnPostConflict(*this, fields);
    return askLinksToReplace(fields).value_or(true);
}

TDbfFileDataSet::Merge TDbfFileDataSet::mergeOnto(uint32_t recno, const uint8_t* asRead,
                                                  std::optional<Question>* question) {
    const auto& fields = descriptors();
    const size_t length = recordLength();
    stored_.resize(length);
    check(file_->readRecord(recno, stored_.data()));
    if (isDeleted(stored_.data()) && !isDeleted(asRead)) return Merge::Deleted;

    // Mostly nobody else wrote the record meanwhile: then every changed field is taken as it is.
    const bool othersWrote = std::memcmp(stored_.data(), asRead, length) != 0;
    merge_.changed.clear();
    merge_.conflicting.clear();
    if (othersWrote) compareFields(fields, asRead, buffer(), stored_.data(), &merge_);
    // Memo fields by their texts: one rewritten in place keeps its block number. A memo whose
    // text this data set never read before setting it is written as it is.
    memosChanged_.clear();
    memoTexts_.clear();
    for (int i : memoFields_) {
        if (!memoChanged(i)) continue;
        const std::string& ours = *pendingMemo(i);
        const std::optional<std::string>& read = memoAsRead(i);
        if (read && ours == *read) continue;
        memosChanged_.push_back(i);
        if (!read) continue;
        std::string theirs = readMemo(stored_.data(), i);
        if (theirs != *read && theirs != ours) {
            merge_.conflicting.push_back(i);
            memoTexts_.emplace_back(i, std::move(theirs));
        }
    }

    bool keepTheirs = false;
    if (!merge_.conflicting.empty()) {
        std::sort(merge_.conflicting.begin(), merge_.conflicting.end());
        Question asked{merge_.conflicting, {}, true};
        for (int i : merge_.conflicting) {
            if (!isMemoType(fields[i].type)) {
                asked.theirs.push_back(fieldBytes(fields[i], stored_.data()));
                continue;
            }
            for (const auto& [field, text] : memoTexts_)
                if (field == i) asked.theirs.push_back(text);
        }
        if (!*question || (*question)->fields != asked.fields ||
            (*question)->theirs != asked.theirs) {
            *question = std::move(asked);
            return Merge::Ask;
        }
        keepTheirs = !(*question)->replace;
    }
    auto taken = [&](int field) {
        return !keepTheirs ||
               !std::binary_search(merge_.conflicting.begin(), merge_.conflicting.end(), field);
    };

    if (othersWrote) {
        merged_ = stored_;
        for (int i : merge_.changed)
            if (taken(i)) copyField(fields[i], buffer(), merged_.data());
    } else {
        merged_.assign(buffer(), buffer() + length);  // the memo pointers are the stored ones
    }
    for (int field : memosChanged_) {
        // Into the blocks of the memo stored now, when the text fits there.
        if (taken(field)) check(file_->writeMemo(merged_.data(), field, *pendingMemo(field)));
    }
    if (merged_ != stored_) check(file_->writeRecord(recno, merged_.data(), stored_.data()));
    loadCurrent(recno, merged_.data());
    return Merge::Written;
}

TDbfFileDataSet::WriteOutcome TDbfFileDataSet::replaceWithLock() {
    if (!Active() || !file_) notOpen("s_ReplaceWithLock");
    const uint32_t recno = RecNo();
    std::optional<Question> question;
    for (;;) {
        const bool held = file_->holdsRecordLock(recno);
        if (!held && !takeLock([this, recno] { return file_->lockRecord(recno); },
                               OnRLockFailedOnPost, "Post")) {
            return WriteOutcome::Refused;
        }
        HeldLock lock([this, recno] { file_->unlockRecord(recno); }, held);
        switch (mergeOnto(recno, recordAsRead(), &question)) {
            case Merge::Written:
                return WriteOutcome::Written;
            case Merge::Deleted:
                loadCurrent(recno, stored_.data());
                deletedElsewhere_ = true;
                return WriteOutcome::Dropped;
            case Merge::Ask:
                break;
        }
        lock.release();  // nobody waits for the record while the user answers
        question->replace = replaceTheirs(question->fields);
    }
}

TDbfFileDataSet::WriteOutcome TDbfFileDataSet::appendWithLock() {
    if (!Active() || !file_) notOpen("s_AppendWithLock");
    std::vector<uint8_t> blank(recordLength());
    file_->blankRecord(blank.data());
    std::optional<Question> question;
    bool layOnto = !OnKeyTakenElsewhere;
    for (;;) {
        if (!takeLock([this] { return file_->lockAppend(); }, OnALockFailedOnInsert, "Insert")) {
            return WriteOutcome::Refused;
        }
        HeldLock appendLock([this] { file_->unlockAppend(); }, false);
        // Every append finished elsewhere is in the index while this lock is held; the index
        // refuses the record when a live record holds its key in a unique tag. (Memo text
        // written for a refused record stays in the memo file, unreferenced.)
        writeMemos(true);
        uint32_t recno = 0;
        const Status appended = file_->appendRecord(buffer(), &recno);
        if (appended.code() != kKeyTaken) {
            check(appended);
            setRecNo(recno);
            return WriteOutcome::Written;
        }
        const uint32_t holder = indexes_->keyTakenBy();
        if (!layOnto) {
            appendLock.release();
            if (!OnKeyTakenElsewhere(*this)) {
                stored_.resize(recordLength());
                check(file_->readRecord(holder, stored_.data()));
                loadCurrent(holder, stored_.data());
                return WriteOutcome::Dropped;
            }
            layOnto = true;
            continue;
        }
        const bool held = file_->holdsRecordLock(holder);
        if (!held && !takeLock([this, holder] { return file_->lockRecord(holder); },
                               OnRLockFailedOnPost, "Post")) {
            return WriteOutcome::Refused;
        }
        HeldLock recordLock([this, holder] { file_->unlockRecord(holder); }, held);
        // The new record's fields are those changed since a blank record.
        switch (mergeOnto(holder, blank.data(), &question)) {
            case Merge::Written:
                return WriteOutcome::Written;
            case Merge::Deleted:
                continue;  // deleted since it was found: the record is added after all
            case Merge::Ask:
                break;
        }
        recordLock.release();
        appendLock.release();
        question->replace = replaceTheirs(question->fields);
    }
}

TDbfFileDataSet::WriteOutcome TDbfFileDataSet::writeCurrent(bool inserting) {
    deletedElsewhere_ = false;
    const WriteOutcome outcome = inserting ? appendWithLock() : replaceWithLock();
    if (outcome != WriteOutcome::Refused) currentRecordWritten();
    return outcome;
}

void TDbfFileDataSet::postDropped() {
    if (!deletedElsewhere_) return;  // a new record given up for another's: the event told
    deletedElsewhere_ = false;
    if (OnDeletedElsewhere) {
        OnDeletedElsewhere(*this);
    } else if (!tellLinksDeletedElsewhere()) {
        showMessage(kDeletedElsewhereMessage);
    }
}

bool TDbfFileDataSet::deleteWithLock(uint32_t recno) {
    if (!Active() || !file_) notOpen("s_DeleteWithLock");
    const bool held = file_->holdsRecordLock(recno);
    if (!held && !takeLock([this, recno] { return file_->lockRecord(recno); },
                           OnRLockFailedOnDelete, "Delete")) {
        return false;
    }
    Status status = file_->setDeleted(recno, true);
    if (!held) file_->unlockRecord(recno);
    check(status);
    return true;
}

}  // namespace storage
