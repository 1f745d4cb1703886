#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "file.h"
#include "status.h"

namespace storage {

// A memo file (".dbt"): 512-byte blocks numbered from 0, block 0 the header. Works on stored
// bytes (code page 437); DbfFile converts text.
//
// dBASE IV memos (what this program writes) start a block with FF FF 08 00 and their total length
// (8 + text), followed by the text and a 0x1F end mark. Memos of dBASE III files (version 0x83)
// are plain text ended by 1A 1A; both kinds are read, and each file is written in its own kind.
//
// Released blocks are never reused for other memos, so a failed or concurrent write can never
// overwrite live text; a rewrite stays in place only when the memo's own blocks hold it.
class MemoFile {
  public:
    enum class Kind { DBase3, DBase4 };
    static constexpr uint32_t kBlockSize = 512;
    static constexpr int kLockAttempts = 11;

    ~MemoFile();

    // Creates (or replaces) the memo file `path` with the 24-byte dBASE IV header: next free
    // block 1, the first 8 characters of the file's base name, 02 01, block size 512.
    static Status create(Env* env, const std::string& path);
    // As create, but only where no file of that name exists (code 80 otherwise).
    static Status createNew(Env* env, const std::string& path);
    // Opens an existing memo file. A file shorter than its header or with a block size that
    // cannot be gives 213 / 1003. `kind` says how new memos are written.
    static Status open(Env* env, const std::string& path, Access access, Share share, Kind kind,
                       std::unique_ptr<MemoFile>* memo);

    const std::string& path() const;
    uint32_t blockSize() const { return blockSize_; }

    // Replaces *bytes with the memo starting at `block` (0: empty). A block at or past the end
    // of the file gives 1003, a length that runs past the end 213. [ReadMemo]
    Status read(uint32_t block, std::string* bytes);
    // Stores `bytes` and sets *block to its first block: `oldBlock`'s blocks when the new memo
    // fits in them, else new blocks at the end (the header's next free block advanced past them).
    // Empty bytes give *block = 0 and write nothing. Shared files are locked at byte 10 for the
    // write (up to 11 attempts, else 1017); free disk space is checked first (1004). [WriteMemo]
    Status write(uint32_t oldBlock, std::string_view bytes, uint32_t* block);

  private:
    MemoFile() = default;
    Status lock();
    void unlock();
    Status readNextFree(uint64_t fileSize, uint32_t* nextFree);
    // Blocks that the memo at `block` occupies; 0 when there is no memo of this file's kind.
    uint64_t blocksInUse(uint32_t block, uint64_t fileSize);
    Status error(int code, const std::string& what, const char* operation) const;

    Env* env_ = nullptr;
    std::unique_ptr<File> file_;
    Share share_ = Share::Shared;
    Kind kind_ = Kind::DBase4;
    uint32_t blockSize_ = kBlockSize;
};

}  // namespace storage
