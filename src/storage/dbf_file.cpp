#include "dbf_file.h"

#include <algorithm>
#include <cstring>

#include "codepage.h"
#include "coding.h"
#include "dbf_layout.h"
#include "file_names.h"
#include "index_hook.h"
#include "memo_file.h"
#include "record.h"

namespace storage {

using namespace dbf;

namespace {

constexpr uint64_t kAppendLockOffset = DbfFile::kLockBase + 1;
// Close waits this many attempts for the append lock before it rewrites the header.
constexpr int kCloseLockAttempts = 11;

constexpr const char* kOpenOperation = "USE/OpenDBF";
constexpr const char* kReadOperation = "GetDbfRecord";
constexpr const char* kWriteOperation = "Replace/Append/PutDbfRecord";
constexpr const char* kDeleteOperation = "DeleteRec/RecallRec";

bool acceptedVersion(uint8_t version) {
    switch (version) {
        case 0x02:
        case 0x03:
        case 0x04:
        case 0x83:
        case 0x8B:
        case 0x8C:
        case 0xF5:
            return true;
        default:
            return false;
    }
}

std::string recordContext(const std::string& path, uint32_t recno, const char* operation) {
    return path + ": record #" + std::to_string(recno) + " [" + operation + "]";
}

Status notDbase(int code, const std::string& path, const std::string& reason) {
    return Status::Error(
        code, path + " is not a dBASE database. (" + reason + ") [" + kOpenOperation + "]");
}

}  // namespace

DbfFile::~DbfFile() {
    // An index hook still installed may be gone already: only an explicit close tells it.
    indexHook_ = nullptr;
    close();
}

Status DbfFile::open(Env* env, const std::string& path, Access access, Share share,
                     std::unique_ptr<DbfFile>* table) {
    table->reset();
    std::unique_ptr<DbfFile> t(new DbfFile());
    t->env_ = env;
    t->access_ = access;
    t->share_ = share;
    Status s = env->openFile(path, access, share, &t->file_);
    if (!s.ok())
        return Status::Error(s.code(), env->resolvePath(path) + " [" + kOpenOperation + "]");
    t->path_ = t->file_->path();
    s = t->loadHeader();
    if (!s.ok()) return s;

    const bool memoField = std::any_of(t->fields_.begin(), t->fields_.end(),
                                       [](const FieldDescriptor& f) { return isMemoType(f.type); });
    if ((t->version_ & 0x80) != 0 && memoField) {
        const std::string memoPath = env->resolvePath(memoPathFor(t->path_));
        const auto kind = t->version_ == 0x83 ? MemoFile::Kind::DBase3 : MemoFile::Kind::DBase4;
        s = MemoFile::open(env, memoPath, access, share, kind, &t->memo_);
        if (!s.ok()) {
            if (s.notFound())
                return Status::Error(kFileNotFound, memoPath + " [" + kOpenOperation + "]");
            return s;
        }
    }
    *table = std::move(t);
    return Status::OK();
}

Status DbfFile::loadHeader() {
    Status s = file_->stat(&stamp_);
    if (!s.ok()) return s;
    const uint64_t size = stamp_.size;
    uint8_t prolog[kPrologLength];
    size_t got = 0;
    s = file_->read(0, prolog, sizeof prolog, &got);
    if (!s.ok()) return s;
    if (got < kPrologLength) return notDbase(kNotADbaseFile, path_, "Prolog is less than 32 bytes");
    version_ = prolog[0];
    if (!acceptedVersion(version_)) {
        return Status::Error(
            kNotADbaseFile,
            path_ + " is not a dBASE database.(Invalid version byte)+ [" + kOpenOperation + "]");
    }
    lastUpdate_ = {1900 + prolog[1], prolog[2], prolog[3]};
    const uint32_t headerCount = getU32(prolog + 4);
    headerLength_ = getU16(prolog + 8);
    recordLength_ = getU16(prolog + 10);
    productionIndexFlag_ = prolog[28] != 0;

    if (headerLength_ < kPrologLength + kDescriptorLength + 1)
        return notDbase(kNotADbaseFile, path_,
                        "Header length is too small for its field descriptors");
    if (headerLength_ > size)
        return notDbase(kEndOfFileTooSoon, path_, "Header length is past the end of the file");

    std::vector<uint8_t> descriptors(headerLength_ - kPrologLength);
    s = file_->read(kPrologLength, descriptors.data(), descriptors.size(), &got);
    if (!s.ok()) return s;
    if (got != descriptors.size()) return notDbase(kEndOfFileTooSoon, path_, "Header is cut short");

    fields_.clear();
    size_t at = 0;
    uint32_t offset = 1;
    for (; at < descriptors.size() && descriptors[at] != kTerminator; at += kDescriptorLength) {
        if (fields_.size() == kMaxFields)
            return notDbase(kNotADbaseFile, path_, "Number of fields is out of range");
        if (at + kDescriptorLength > descriptors.size()) break;
        const uint8_t* d = descriptors.data() + at;
        FieldDescriptor field;
        size_t nameLength = 0;
        while (nameLength < 11 && d[nameLength] != 0) ++nameLength;
        field.name.assign(reinterpret_cast<const char*>(d), nameLength);
        field.name = trimBlanks(field.name);
        field.type = static_cast<char>(d[11]);
        field.width = d[16];
        field.decimals = (field.type == 'N' || field.type == 'F') ? d[17] : 0;
        field.offset = offset;
        offset += field.width;
        fields_.push_back(std::move(field));
    }
    if (at >= descriptors.size() || descriptors[at] != kTerminator) {
        return notDbase(kNotADbaseFile, path_,
                        "Header length is too small for its field descriptors");
    }
    if (fields_.empty()) return notDbase(kNotADbaseFile, path_, "Number of fields is out of range");
    if (recordLength_ == 0 || offset != recordLength_)
        return notDbase(kNotADbaseFile, path_,
                        "Record length does not match the field descriptors");

    const uint32_t sizeCount = recordsInSize(size);
    recordCount_ = share_ == Share::Shared ? sizeCount : std::min(headerCount, sizeCount);
    return Status::OK();
}

Status DbfFile::countFromSize(uint32_t* count) {
    Status s = file_->stat(&stamp_);
    if (!s.ok()) return s;
    *count = recordsInSize(stamp_.size);
    return Status::OK();
}

uint32_t DbfFile::recordsInSize(uint64_t size) const {
    if (size < headerLength_) return 0;
    return static_cast<uint32_t>(
        std::min<uint64_t>((size - headerLength_) / recordLength_, UINT32_MAX));
}

Status DbfFile::stat(FileStamp* stamp) const {
    if (!file_) return Status::Error(kFileNotOpen, path_ + " [RecCount]");
    return file_->stat(stamp);
}

Status DbfFile::refreshRecordCount() {
    if (!file_) return Status::Error(kFileNotOpen, path_ + " [RecCount]");
    return countFromSize(&recordCount_);
}

Status DbfFile::rewriteHeader(uint32_t count, bool writeEndOfFile) {
    uint8_t bytes[7];
    putDate(bytes, today());
    putU32(bytes + 3, count);
    Status s = file_->write(1, bytes, sizeof bytes);
    if (s.ok() && writeEndOfFile) {
        const uint8_t eof = kEndOfFile;
        s = file_->write(recordOffset(count + 1), &eof, 1);
    }
    return s;
}

Status DbfFile::close() {
    if (!file_) return Status::OK();
    Status s;
    if (changes_ != Changes::None && access_ == Access::ReadWrite) {
        bool locked = true;
        bool tookLock = false;
        uint32_t count = recordCount_;
        if (share_ == Share::Shared) {
            locked = appendLocked_;
            for (int attempt = 1; !locked; ++attempt) {
                locked = tookLock = file_->tryLock(kAppendLockOffset, 1);
                if (locked || attempt == kCloseLockAttempts) break;
                env_->sleepBetweenAttempts();
            }
            s = countFromSize(&count);
        }
        // Without the append lock another workstation may be writing past our count, so the
        // end-of-file byte (already written by each append) is left alone.
        if (s.ok()) {
            // The index hook watches this write too (the production index records the file's
            // new stamp); should it fail to prepare, the header is written all the same.
            const bool watched = indexHook_ != nullptr && indexHook_->prepareTableWrite().ok();
            s = rewriteHeader(count, changes_ == Changes::Appended && locked);
            if (watched) indexHook_->tableWritten();
        }
        if (tookLock) file_->unlock(kAppendLockOffset, 1);
    }
    lockedRecords_.clear();
    appendLocked_ = false;
    memo_.reset();
    file_.reset();
    changes_ = Changes::None;
    if (!s.ok()) return Status::Error(s.code(), "[CloseDbf(" + path_ + ")]");
    return Status::OK();
}

int DbfFile::fieldIndex(std::string_view name) const {
    for (size_t i = 0; i < fields_.size(); ++i) {
        const std::string& candidate = fields_[i].name;
        if (candidate.size() != name.size()) continue;
        bool same = true;
        for (size_t k = 0; k < name.size() && same; ++k) {
            char a = candidate[k], b = name[k];
            if (a >= 'a' && a <= 'z') a = static_cast<char>(a - 'a' + 'A');
            if (b >= 'a' && b <= 'z') b = static_cast<char>(b - 'a' + 'A');
            same = a == b;
        }
        if (same) return static_cast<int>(i);
    }
    return -1;
}

Status DbfFile::setProductionIndexFlag(bool on) {
    if (!file_) return Status::Error(kFileNotOpen, path_ + " [SetMdxFlag]");
    if (access_ == Access::ReadOnly) return Status::Error(kAccessDenied, path_ + " [SetMdxFlag]");
    const uint8_t value = on ? 1 : 0;
    Status s = file_->write(28, &value, 1);
    if (!s.ok()) return Status::Error(s.code(), path_ + " [SetMdxFlag]");
    productionIndexFlag_ = on;
    return Status::OK();
}

uint64_t DbfFile::recordOffset(uint32_t recno) const {
    return headerLength_ + uint64_t(recno - 1) * recordLength_;
}

Status DbfFile::readRecord(uint32_t recno, uint8_t* buffer) {
    auto error = [&](int code) {
        return Status::Error(code, recordContext(path_, recno, kReadOperation));
    };
    if (!file_) return error(kFileNotOpen);
    if (recno > recordCount_ && share_ == Share::Shared) {
        Status s = refreshRecordCount();
        if (!s.ok()) return error(s.code());
    }
    if (recno == 0 || recno > recordCount_) return error(kRecordOutOfRange);
    size_t got = 0;
    Status s = file_->read(recordOffset(recno), buffer, recordLength_, &got);
    if (!s.ok()) return error(s.code());
    if (got != recordLength_) return error(kEndOfFileTooSoon);
    return Status::OK();
}

Status DbfFile::readRecords(uint32_t first, uint32_t count, uint8_t* buffer, uint32_t* got) {
    *got = 0;
    auto error = [&](int code) {
        return Status::Error(code, recordContext(path_, first, kReadOperation));
    };
    if (!file_) return error(kFileNotOpen);
    if (first == 0) return error(kRecordOutOfRange);
    if (first > recordCount_ || count == 0) return Status::OK();
    const uint32_t n = std::min(count, recordCount_ - first + 1);
    size_t bytes = 0;
    Status s = file_->read(recordOffset(first), buffer, size_t(n) * recordLength_, &bytes);
    if (!s.ok()) return error(s.code());
    *got = static_cast<uint32_t>(bytes / recordLength_);
    return Status::OK();
}

Status DbfFile::checkWritable(uint32_t recno, const char* operation) {
    auto where = [&] { return " [" + std::string(operation) + "]"; };
    if (!file_) return Status::Error(kFileNotOpen, path_ + where());
    if (access_ == Access::ReadOnly) return Status::Error(kAccessDenied, path_ + where());
    if (recno > recordCount_ && share_ == Share::Shared) {
        Status s = refreshRecordCount();
        if (!s.ok()) return Status::Error(s.code(), path_ + where());
    }
    if (recno == 0 || recno > recordCount_)
        return Status::Error(kRecordOutOfRange,
                             path_ + ": record #" + std::to_string(recno) + where());
    if (!holdsRecordLock(recno)) {
        return Status::Error(kRecordNotLocked, "Record #" + std::to_string(recno) + " of " + path_ +
                                                   " is not locked" + where());
    }
    return Status::OK();
}

Status DbfFile::writeRecord(uint32_t recno, const uint8_t* buffer, const uint8_t* stored) {
    Status s = checkWritable(recno, kWriteOperation);
    if (!s.ok()) return s;
    if (indexHook_ == nullptr) {
        s = file_->write(recordOffset(recno), buffer, recordLength_);
        if (!s.ok()) return writeError(s, kWriteOperation);
        if (changes_ == Changes::None) changes_ = Changes::Rewritten;
        return Status::OK();
    }
    scratch_.resize(recordLength_);
    if (stored) {
        std::memcpy(scratch_.data(), stored, recordLength_);
    } else {
        s = readRecord(recno, scratch_.data());
        if (!s.ok()) return s;
    }
    s = indexHook_->prepareRewrite(recno, scratch_.data(), buffer);
    if (!s.ok()) return s;
    s = file_->write(recordOffset(recno), buffer, recordLength_);
    if (s.ok()) {
        if (changes_ == Changes::None) changes_ = Changes::Rewritten;
        Status hooked = indexHook_->recordRewritten(recno, scratch_.data(), buffer);
        if (hooked.ok()) return hooked;
        s = hooked;
    } else {
        s = writeError(s, kWriteOperation);
    }
    // Put the old bytes back so that the failed write leaves nothing of itself behind.
    (void)file_->write(recordOffset(recno), scratch_.data(), recordLength_);
    indexHook_->writeUndone();
    return s;
}

Status DbfFile::writeError(const Status& s, const char* operation) const {
    // Keep the system's reason ("No space left on device") that the file's context carries.
    const std::string& inner = s.context();
    const size_t reason = inner.rfind("]: ");
    return Status::Error(s.code(),
                         path_ + " [" + operation + "]" +
                             (reason == std::string::npos ? "" : inner.substr(reason + 1)));
}

Status DbfFile::appendRecord(const uint8_t* buffer, uint32_t* recno) {
    const std::string where = std::string(" [") + kWriteOperation + "]";
    if (!file_) return Status::Error(kFileNotOpen, path_ + where);
    if (access_ == Access::ReadOnly) return Status::Error(kAccessDenied, path_ + where);
    if (share_ == Share::Shared) {
        if (!appendLocked_)
            return Status::Error(kAccessDenied,
                                 "File must be locked to append: " + path_ + " [APPEND]");
        Status s = refreshRecordCount();
        if (!s.ok()) return Status::Error(s.code(), path_ + where);
    }
    if (recordCount_ == UINT32_MAX) return Status::Error(kRecordOutOfRange, path_ + where);
    const uint32_t n = recordCount_ + 1;
    if (indexHook_ != nullptr) {
        // Before the record is written the index is marked as being updated, so that a record
        // whose keys never reached the index is found and indexed at the next update or open.
        Status s = indexHook_->prepareAppend(buffer);
        if (!s.ok()) return s;
    }
    // The record and a new end-of-file byte in one write, so the file is whole after every
    // append; the next append overwrites the byte.
    std::vector<uint8_t> bytes(buffer, buffer + recordLength_);
    bytes.push_back(kEndOfFile);
    Status s = file_->write(recordOffset(n), bytes.data(), bytes.size());
    if (s.ok()) {
        recordCount_ = n;
        changes_ = Changes::Appended;
        if (indexHook_ == nullptr) {
            if (recno != nullptr) *recno = n;
            return Status::OK();
        }
        s = indexHook_->recordAppended(n, buffer);
        if (s.ok()) {
            if (recno != nullptr) *recno = n;
            return s;
        }
    } else {
        s = writeError(s, kWriteOperation);
    }
    // A failed append leaves nothing behind: the end-of-file byte goes back where the record
    // began (an overwrite, which needs no new space) and the file is cut after it.
    const uint8_t eof = kEndOfFile;
    const bool endWritten = file_->write(recordOffset(n), &eof, 1).ok();
    (void)file_->truncate(recordOffset(n) + (endWritten ? 1 : 0));
    recordCount_ = n - 1;
    if (indexHook_ != nullptr) indexHook_->writeUndone();
    return s;
}

Status DbfFile::setDeleted(uint32_t recno, bool deleted) {
    Status s = checkWritable(recno, kDeleteOperation);
    if (!s.ok()) return s;
    std::vector<uint8_t> before(recordLength_);
    s = readRecord(recno, before.data());
    if (!s.ok()) return Status::Error(s.code(), path_ + " [" + kDeleteOperation + "]");
    const uint8_t flag = deleted ? '*' : ' ';
    std::vector<uint8_t> after = before;
    after[0] = flag;
    if (indexHook_ != nullptr) {
        s = indexHook_->prepareRewrite(recno, before.data(), after.data());
        if (!s.ok()) return s;
    }
    s = file_->write(recordOffset(recno), &flag, 1);
    if (!s.ok()) {
        if (indexHook_ != nullptr) indexHook_->writeUndone();
        return writeError(s, kDeleteOperation);
    }
    if (changes_ == Changes::None) changes_ = Changes::Rewritten;
    if (indexHook_ != nullptr) {
        s = indexHook_->recordRewritten(recno, before.data(), after.data());
        if (!s.ok()) {
            (void)file_->write(recordOffset(recno), before.data(), 1);
            indexHook_->writeUndone();
        }
        return s;
    }
    return Status::OK();
}

void DbfFile::blankRecord(uint8_t* buffer) const { std::memset(buffer, ' ', recordLength_); }

bool DbfFile::holdsRecordLock(uint32_t recno) const {
    return share_ == Share::Exclusive || lockedRecords_.count(recno) != 0;
}

bool DbfFile::lockRecord(uint32_t recno) {
    if (!file_ || recno == 0) return false;
    if (holdsRecordLock(recno)) return true;
    if (!file_->tryLock(kLockBase + recordOffset(recno), recordLength_)) return false;
    lockedRecords_.insert(recno);
    return true;
}

void DbfFile::unlockRecord(uint32_t recno) {
    if (!file_ || lockedRecords_.erase(recno) == 0) return;
    file_->unlock(kLockBase + recordOffset(recno), recordLength_);
}

bool DbfFile::lockAppend() {
    if (!file_) return false;
    if (share_ == Share::Exclusive || appendLocked_) return true;
    appendLocked_ = file_->tryLock(kAppendLockOffset, 1);
    return appendLocked_;
}

void DbfFile::unlockAppend() {
    if (!file_ || !appendLocked_) return;
    file_->unlock(kAppendLockOffset, 1);
    appendLocked_ = false;
}

Status DbfFile::readMemo(const uint8_t* record, int field, std::string* text) {
    text->clear();
    if (!memo_ || field < 0 || static_cast<size_t>(field) >= fields_.size() ||
        !isMemoType(fields_[field].type)) {
        return Status::Error(kNoMemoFile, path_ + " [ReadMemo]");
    }
    const uint32_t block = getMemoBlock(fields_[field], record);
    if (block == UINT32_MAX) {
        return Status::Error(kInvalidMemoAddress, memo_->path() + ": memo pointer of field " +
                                                      fields_[field].name +
                                                      " is not a number [ReadMemo]");
    }
    std::string bytes;
    Status s = memo_->read(block, &bytes);
    if (!s.ok()) return s;
    oemToUtf8(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), text);
    return Status::OK();
}

Status DbfFile::writeMemo(uint8_t* record, int field, std::string_view text) {
    if (!memo_ || field < 0 || static_cast<size_t>(field) >= fields_.size() ||
        !isMemoType(fields_[field].type)) {
        return Status::Error(kNoMemoFile, path_ + " [WriteMemo]");
    }
    if (access_ == Access::ReadOnly)
        return Status::Error(kAccessDenied, memo_->path() + " [WriteMemo]");
    std::string bytes;
    utf8ToOem(text, &bytes);
    uint32_t oldBlock = getMemoBlock(fields_[field], record);
    if (oldBlock == UINT32_MAX) oldBlock = 0;
    uint32_t block = 0;
    Status s = memo_->write(oldBlock, bytes, &block);
    if (!s.ok()) return s;
    setMemoBlock(fields_[field], record, block);
    return Status::OK();
}

}  // namespace storage
