#include "memo_file.h"

#include <algorithm>
#include <cstring>

#include "coding.h"
#include "file_names.h"

namespace storage {

namespace {

constexpr uint8_t kBlockMark[4] = {0xFF, 0xFF, 0x08, 0x00};
constexpr uint32_t kMemoHeaderLength = 8;
constexpr size_t kFileHeaderLength = 24;
constexpr uint64_t kLockOffset = 10;
constexpr uint32_t kMinBlockSize = 64;

}  // namespace

MemoFile::~MemoFile() = default;

const std::string& MemoFile::path() const { return file_->path(); }

Status MemoFile::error(int code, const std::string& what, const char* operation) const {
    return Status::Error(code, path() + ": " + what + " [" + operation + "]");
}

namespace {

Status writeMemoHeader(File* file) {
    uint8_t header[kFileHeaderLength] = {};
    putU32(header, 1);
    // The header names the table: the memo file's name without its extension.
    const std::string name = baseNameOf(file->path());
    std::memcpy(header + 8, name.data(), std::min<size_t>(name.size(), 8));
    header[18] = 0x02;
    header[19] = 0x01;
    putU16(header + 20, MemoFile::kBlockSize);
    return file->write(0, header, sizeof header);
}

}  // namespace

Status MemoFile::create(Env* env, const std::string& path) {
    std::unique_ptr<File> file;
    Status s = env->createFile(path, &file);
    if (!s.ok()) return s;
    return writeMemoHeader(file.get());
}

Status MemoFile::createNew(Env* env, const std::string& path) {
    std::unique_ptr<File> file;
    Status s = env->createNewFile(path, &file);
    if (!s.ok()) return s;
    return writeMemoHeader(file.get());
}

Status MemoFile::open(Env* env, const std::string& path, Access access, Share share, Kind kind,
                      std::unique_ptr<MemoFile>* memo) {
    std::unique_ptr<MemoFile> m(new MemoFile());
    m->env_ = env;
    m->share_ = share;
    m->kind_ = kind;
    Status s = env->openFile(path, access, share, &m->file_);
    if (!s.ok()) return s;
    uint8_t header[kFileHeaderLength];
    size_t got = 0;
    s = m->file_->read(0, header, sizeof header, &got);
    if (!s.ok()) return s;
    if (got < sizeof header)
        return m->error(kEndOfFileTooSoon, "the memo file has no header", "USE/OpenDBF");
    if (kind == Kind::DBase4) {
        const uint32_t size = getU16(header + 20);
        m->blockSize_ = size == 0 ? kBlockSize : size;
        if (m->blockSize_ < kMinBlockSize) {
            return m->error(kInvalidMemoAddress, "invalid memo block size " + std::to_string(size),
                            "USE/OpenDBF");
        }
    }
    *memo = std::move(m);
    return Status::OK();
}

Status MemoFile::read(uint32_t block, std::string* bytes) {
    bytes->clear();
    if (block == 0) return Status::OK();
    uint64_t size = 0;
    Status s = file_->size(&size);
    if (!s.ok()) return s;
    const uint64_t offset = uint64_t(block) * blockSize_;
    if (offset >= size) {
        return error(kInvalidMemoAddress,
                     "memo block " + std::to_string(block) + " lies past the end of the file",
                     "ReadMemo");
    }
    uint8_t head[kMemoHeaderLength];
    size_t got = 0;
    s = file_->read(offset, head, sizeof head, &got);
    if (!s.ok()) return s;
    if (got == sizeof head && std::memcmp(head, kBlockMark, 4) == 0) {
        const uint32_t length = getU32(head + 4);
        if (length < kMemoHeaderLength) {
            return error(kInvalidMemoAddress,
                         "memo at block " + std::to_string(block) + " has an invalid length",
                         "ReadMemo");
        }
        if (offset + length > size) {
            return error(
                kEndOfFileTooSoon,
                "memo at block " + std::to_string(block) + " runs past the end of the file",
                "ReadMemo");
        }
        bytes->resize(length - kMemoHeaderLength);
        s = file_->read(offset + kMemoHeaderLength, bytes->data(), bytes->size(), &got);
        if (!s.ok()) return s;
        if (got != bytes->size()) {
            bytes->clear();
            return error(kEndOfFileTooSoon,
                         "memo at block " + std::to_string(block) + " was cut short", "ReadMemo");
        }
        return Status::OK();
    }
    // dBASE III memo: text up to the first 0x1A (or the end of the file).
    std::string chunk(blockSize_, '\0');
    for (uint64_t at = offset; at < size; at += blockSize_) {
        s = file_->read(at, chunk.data(), chunk.size(), &got);
        if (!s.ok()) return s;
        const auto* end = static_cast<const char*>(std::memchr(chunk.data(), 0x1A, got));
        if (end != nullptr) {
            bytes->append(chunk.data(), static_cast<size_t>(end - chunk.data()));
            return Status::OK();
        }
        bytes->append(chunk.data(), got);
        if (got < chunk.size()) break;
    }
    return Status::OK();
}

Status MemoFile::lock() {
    if (share_ == Share::Exclusive) return Status::OK();
    for (int attempt = 1;; ++attempt) {
        if (file_->tryLock(kLockOffset, 1)) return Status::OK();
        if (attempt == kLockAttempts) break;
        env_->sleepBetweenAttempts();
    }
    return error(kMemoLockFailed, "Cannot lock memo file", "WriteMemo");
}

void MemoFile::unlock() {
    if (share_ != Share::Exclusive) file_->unlock(kLockOffset, 1);
}

Status MemoFile::readNextFree(uint64_t fileSize, uint32_t* nextFree) {
    uint8_t raw[4];
    size_t got = 0;
    Status s = file_->read(0, raw, sizeof raw, &got);
    if (!s.ok()) return s;
    if (got < sizeof raw)
        return error(kEndOfFileTooSoon, "the memo file has no header", "WriteMemo");
    // Never trust a next free block that lies inside the file's data: whatever is there may be
    // live text.
    const uint64_t endBlock = (fileSize + blockSize_ - 1) / blockSize_;
    *nextFree = static_cast<uint32_t>(
        std::clamp<uint64_t>(std::max<uint64_t>(getU32(raw), endBlock), 1, UINT32_MAX));
    return Status::OK();
}

uint64_t MemoFile::blocksInUse(uint32_t block, uint64_t fileSize) {
    if (kind_ != Kind::DBase4 || block == 0) return 0;
    const uint64_t offset = uint64_t(block) * blockSize_;
    uint8_t head[kMemoHeaderLength];
    size_t got = 0;
    if (offset >= fileSize || !file_->read(offset, head, sizeof head, &got).ok() ||
        got != sizeof head || std::memcmp(head, kBlockMark, 4) != 0) {
        return 0;
    }
    const uint32_t length = getU32(head + 4);
    if (length < kMemoHeaderLength || offset + length > fileSize) return 0;
    return (uint64_t(length) + blockSize_ - 1) / blockSize_;
}

Status MemoFile::write(uint32_t oldBlock, std::string_view bytes, uint32_t* block) {
    *block = 0;
    if (bytes.empty()) return Status::OK();
    if (bytes.size() > UINT32_MAX - 2 * kMemoHeaderLength)
        return error(kMemoWriteError, "memo text is too long", "WriteMemo");

    std::string image;
    if (kind_ == Kind::DBase4) {
        image.resize(kMemoHeaderLength);
        std::memcpy(image.data(), kBlockMark, 4);
        putU32(reinterpret_cast<uint8_t*>(image.data()) + 4,
               static_cast<uint32_t>(kMemoHeaderLength + bytes.size()));
        image.append(bytes);
        // Not counted in the length; lets readers that look for an end mark stop here.
        image.push_back('\x1F');
    } else {
        image.assign(bytes);
        image.append("\x1A\x1A");
    }
    const uint64_t needed = (image.size() + blockSize_ - 1) / blockSize_;

    uint64_t space = 0;
    Status s = env_->freeSpace(path(), &space);
    if (!s.ok()) return s;
    if (space < image.size())
        return error(kDiskFull, "not enough disk space for memo text", "WriteMemo");

    s = lock();
    if (!s.ok()) return s;
    uint64_t size = 0;
    uint32_t nextFree = 0;
    s = file_->size(&size);
    if (s.ok()) s = readNextFree(size, &nextFree);
    if (s.ok()) {
        const uint64_t inUse = blocksInUse(oldBlock, size);
        if (inUse >= needed && oldBlock + inUse <= nextFree) {
            s = file_->write(uint64_t(oldBlock) * blockSize_, image.data(), image.size());
            if (s.ok()) *block = oldBlock;
        } else if (uint64_t(nextFree) + needed > UINT32_MAX) {
            s = error(kMemoWriteError, "the memo file is full", "WriteMemo");
        } else {
            // The text first, then the header: a failure leaves the next free block unchanged.
            s = file_->write(uint64_t(nextFree) * blockSize_, image.data(), image.size());
            uint8_t raw[4];
            putU32(raw, static_cast<uint32_t>(nextFree + needed));
            if (s.ok()) s = file_->write(0, raw, sizeof raw);
            if (s.ok()) *block = nextFree;
        }
    }
    unlock();
    if (!s.ok() && s.code() != kMemoWriteError)
        return error(kMemoWriteError, s.context(), "WriteMemo");
    return s;
}

}  // namespace storage
